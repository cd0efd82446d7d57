// The province window as a user meets it: loading, the grid, the record display, the arrows,
// the code check, the offer to save, new and cancel, and the layout in twips. The real window
// runs on the offscreen platform over a real database; the host's message box is scripted.

#include "BancoProvincias.h"

#include "DatosComunes.h"
#include "InstanciaPredeterminada.h"
#include "Line.h"
#include "Screen.h"
#include "TextosProvincias.h"

#include <QApplication>
#include <QDir>
#include <QTest>

namespace T = TextosProvincias;

class PruebaVentanaProvincias : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<BancoProvincias> banco;
    FrmProvincias* v = nullptr;

    void MostrarFilaConFlechas(int fila)
    {
        while (v->LinProvincias->Row() < fila)
            banco->Clic(v->ImgProvDerecha);
    }

private slots:
    void cleanupTestCase()
    {
        BancoProvincias::BorrarBase();
    }

    void init()
    {
        banco = std::make_unique<BancoProvincias>();
    }

    void cleanup()
    {
        const QStringList errores = banco->ErroresEventos;
        banco.reset();
        v = nullptr;
        QVERIFY2(errores.isEmpty(), qPrintable(errores.join(QLatin1Char('\n'))));
    }

    void cargaMuestraLaGrillaEnOrdenEspanol()
    {
        v = banco->Abrir();
        QCOMPARE(banco->ColumnaGrilla(2), NombresEnOrdenEspanol());
        QCOMPARE(v->LinProvincias->TextMatrix(0, 0), QStringLiteral("CÓDIGO"));
        QCOMPARE(v->LinProvincias->TextMatrix(0, 1), QStringLiteral("PROVINCIA"));
        QCOMPARE(v->LinProvincias->Rows(), 53);
        QCOMPARE(banco->ColumnaGrilla(1).mid(0, 4), (QStringList{"15", "01", "02", "03"}));
        // The first province by name is shown; the fill copied it into the fields without
        // making any data row current.
        QCOMPARE(v->TxtCodigo->Text(), QStringLiteral("15"));
        QCOMPARE(v->TxtProvincia->Text(), QStringLiteral("A Coruña"));
        QCOMPARE(v->EstadoVentana().CodigoActual, QStringLiteral("15"));
        QCOMPARE(v->LinProvincias->Row(), 0);
        QVERIFY(v->TxtCodigo->Enabled());
        // Captions from the host's texts, window caption and title bar.
        QCOMPARE(v->LblProv->Caption(), QStringLiteral("  Provincias  "));
        QCOMPARE(v->LblDatosProvincias->Caption(), QStringLiteral("  Datos Provincias  "));
        QCOMPARE(v->LblCodigo->Caption(), QStringLiteral(" Código:"));
        QCOMPARE(v->LblProvincia->Caption(), QStringLiteral(" Provincia:"));
        QCOMPARE(v->Caption(), QStringLiteral("Provincias"));
        QCOMPARE(v->Barra1->Caption(), QStringLiteral("Ficha de Provincias"));
        // The window sits where the host's placing window is and is painted through the host.
        QCOMPARE(v->Left(), 600);
        QCOMPARE(v->Top(), 450);
        QVERIFY(banco->Utiles->LlamadasPintar > 0);
        QVERIFY(banco->Mensajes->Llamadas.isEmpty());
    }

    void seleccionarFilaMuestraLaProvincia_data()
    {
        QTest::addColumn<int>("fila");
        QTest::addColumn<QString>("codigo");
        QTest::addColumn<QString>("nombre");
        QTest::newRow("segunda") << 2 << "01" << "Álava";
        QTest::newRow("cuarta") << 4 << "03" << "Alicante";
        QTest::newRow("vuelta a la primera") << 1 << "15" << "A Coruña";
    }

    void seleccionarFilaMuestraLaProvincia()
    {
        QFETCH(int, fila);
        QFETCH(QString, codigo);
        QFETCH(QString, nombre);
        v = banco->Abrir();
        banco->ClicFila(3);
        banco->ClicFila(fila);
        QCOMPARE(v->LinProvincias->Row(), fila);
        QCOMPARE(v->TxtCodigo->Text(), codigo);
        QCOMPARE(v->TxtProvincia->Text(), nombre);
        QCOMPARE(v->EstadoVentana().CodigoActual, codigo);
        QCOMPARE(v->LinProvincias->Tag(), QStringLiteral("0"));
        // The window's recordset stays on the whole table, on the province shown.
        QCOMPARE(v->RecordsetProvincias()->Fields(QStringLiteral("Codigo")).Value().toString(), codigo);
        QVERIFY(banco->Mensajes->Llamadas.isEmpty());
    }

    void teclasDelCursorMuevenLaGrilla()
    {
        v = banco->Abrir();
        banco->ClicFila(1);
        for (int i = 0; i < 10; ++i)
            QTest::keyClick(v->LinProvincias->Widget(), Qt::Key_Down);
        QCOMPARE(v->LinProvincias->Row(), 11);
        QCOMPARE(v->TxtProvincia->Text(), QStringLiteral("Burgos"));
        QCOMPARE(v->TxtCodigo->Text(), QStringLiteral("09"));
        QVERIFY(v->LinProvincias->RowIsVisible(11));
    }

    void flechasAvanzanYSeDetienenEnLosExtremos_data()
    {
        QTest::addColumn<int>("desde");
        QTest::addColumn<bool>("derecha");
        QTest::addColumn<int>("pulsaciones");
        QTest::addColumn<int>("filaFinal");
        QTest::addColumn<QString>("nombre");
        QTest::newRow("izquierda en la primera") << 1 << false << 1 << 1 << "A Coruña";
        QTest::newRow("derecha tres veces") << 1 << true << 3 << 4 << "Alicante";
        QTest::newRow("izquierda desde la quinta") << 5 << false << 2 << 3 << "Albacete";
        QTest::newRow("derecha pasada la última") << 50 << true << 5 << 52 << "Zaragoza";
    }

    void flechasAvanzanYSeDetienenEnLosExtremos()
    {
        QFETCH(int, desde);
        QFETCH(bool, derecha);
        QFETCH(int, pulsaciones);
        QFETCH(int, filaFinal);
        QFETCH(QString, nombre);
        v = banco->Abrir();
        MostrarFilaConFlechas(desde);
        // The buttons the arrows enable again, whatever they do with the row.
        v->LblBorrar->setEnabled(false);
        v->LblBuscar->setEnabled(false);
        for (int i = 0; i < pulsaciones; ++i)
            banco->Clic(derecha ? v->ImgProvDerecha : v->ImgProvIzquierda);
        QCOMPARE(v->LinProvincias->Row(), filaFinal);
        QCOMPARE(v->TxtProvincia->Text(), nombre);
        QVERIFY(v->LinProvincias->RowIsVisible(filaFinal));
        QVERIFY(v->LblBorrar->Enabled());
        QVERIFY(v->LblBuscar->Enabled());
        QVERIFY(v->LblNuevo->Enabled() && v->LblNuevo->Visible());
    }

    void codigoExistenteAlSalirDelCampo_data()
    {
        QTest::addColumn<bool>("nuevo");
        QTest::addColumn<QString>("escrito");
        QTest::addColumn<bool>("aviso");
        QTest::addColumn<QString>("queda");
        QTest::newRow("editando, código de otra") << false << "28" << true << "15";
        QTest::newRow("nuevo, código existente") << true << "28" << true << "";
        QTest::newRow("editando, código libre") << false << "99" << false << "99";
        QTest::newRow("nuevo, código libre") << true << "99" << false << "99";
        QTest::newRow("editando, el mismo código") << false << "15" << false << "15";
        QTest::newRow("mayúsculas no coinciden") << true << "AB" << false << "AB";
    }

    void codigoExistenteAlSalirDelCampo()
    {
        QFETCH(bool, nuevo);
        QFETCH(QString, escrito);
        QFETCH(bool, aviso);
        QFETCH(QString, queda);
        v = banco->Abrir();
        banco->Ejecutar(QStringLiteral("INSERT INTO Provincias (Codigo, Provincia) VALUES ('ab', 'Minúsculas')"));
        if (nuevo)
            banco->Clic(v->LblNuevo);
        banco->Escribir(v->TxtCodigo, escrito);
        banco->SalirDelCodigo();
        const QList<LlamadaMensaje> esperado = aviso
            ? QList<LlamadaMensaje>{{T::CodigoYaExiste, 16, QStringLiteral("Aviso")}}
            : QList<LlamadaMensaje>{};
        QCOMPARE(banco->Mensajes->Llamadas, esperado);
        QCOMPARE(v->TxtCodigo->Text(), queda);
        // After the warning the focus is back in the code field, with its white background
        // turned to the focus colour again.
        QCOMPARE(v->ActiveControl(), aviso ? static_cast<Control*>(v->TxtCodigo) : v->TxtProvincia);
    }

    void codigoConCaracteresNoAdmitidos_data()
    {
        QTest::addColumn<QString>("escrito");
        QTest::newRow("comilla") << "'";
        QTest::newRow("porcentaje") << "1%";
        QTest::newRow("subrayado") << "_";
        QTest::newRow("asterisco") << "*";
        QTest::newRow("corchete") << "[";
        QTest::newRow("barra invertida") << "\\";
    }

    void codigoConCaracteresNoAdmitidos()
    {
        QFETCH(QString, escrito);
        v = banco->Abrir();
        const QList<FilaProvincia> antes = banco->Filas();
        banco->Clic(v->LblNuevo);
        banco->Escribir(v->TxtCodigo, escrito);
        banco->SalirDelCodigo();
        QCOMPARE(banco->Mensajes->Llamadas,
                 (QList<LlamadaMensaje>{{T::CodigoNoValido, 16, QStringLiteral("Atención")}}));
        QCOMPARE(v->TxtCodigo->Text(), escrito);
        QCOMPARE(v->ActiveControl(), static_cast<Control*>(v->TxtCodigo));
        QCOMPARE(banco->Filas(), antes);
    }

    void camposLimitadosAlEscribir_data()
    {
        QTest::addColumn<bool>("codigo");
        QTest::addColumn<QString>("escrito");
        QTest::addColumn<QString>("queda");
        QTest::newRow("código de más de dos") << true << "12345" << "12";
        QTest::newRow("nombre de más de veinte") << false << "Provincia de nombre muy largo" << "Provincia de nombre ";
    }

    void camposLimitadosAlEscribir()
    {
        QFETCH(bool, codigo);
        QFETCH(QString, escrito);
        QFETCH(QString, queda);
        v = banco->Abrir();
        banco->Clic(v->LblNuevo);
        TextBox* caja = codigo ? v->TxtCodigo : v->TxtProvincia;
        banco->Escribir(caja, escrito);
        QCOMPARE(caja->Text(), queda);
    }

    void focoCambiaElFondoYIntroAvanza()
    {
        v = banco->Abrir();
        v->TxtCodigo->SetFocus();
        QCOMPARE(v->TxtCodigo->BackColor(), QColor(203, 202, 165));
        QCOMPARE(v->TxtCodigo->SelLength(), 2);
        banco->Tecla(v->TxtCodigo, Qt::Key_Return);
        QCOMPARE(v->ActiveControl(), static_cast<Control*>(v->TxtProvincia));
        QCOMPARE(v->TxtCodigo->BackColor(), QColor(Qt::white));
        QCOMPARE(v->TxtProvincia->BackColor(), QColor(203, 202, 165));
        QCOMPARE(v->TxtProvincia->SelText(), QStringLiteral("A Coruña"));
        banco->Tecla(v->TxtProvincia, Qt::Key_Return);
        QCOMPARE(v->ActiveControl(), static_cast<Control*>(v->lblAceptar));
        QCOMPARE(v->TxtProvincia->BackColor(), QColor(Qt::white));
        // Enter moved the focus without saving anything.
        QCOMPARE(banco->Fila(QStringLiteral("15")).Actualizado, QString());
    }

    void cambiosPendientesOfrecenGuardar_data()
    {
        QTest::addColumn<QString>("campo");
        QTest::addColumn<bool>("pregunta");
        QTest::newRow("nombre cambiado") << "nombre" << true;
        QTest::newRow("código cambiado") << "codigo" << true;
        QTest::newRow("sin cambios") << "" << false;
    }

    void cambiosPendientesOfrecenGuardar()
    {
        QFETCH(QString, campo);
        QFETCH(bool, pregunta);
        v = banco->Abrir();
        banco->ClicFila(3);
        if (campo == QLatin1String("nombre"))
            banco->Escribir(v->TxtProvincia, QStringLiteral("Albacete Sur"));
        else if (campo == QLatin1String("codigo"))
            banco->Escribir(v->TxtCodigo, QStringLiteral("98"));
        banco->Mensajes->Respuestas = {7};
        banco->ClicFila(2);
        const QList<LlamadaMensaje> esperado = pregunta
            ? QList<LlamadaMensaje>{{T::DeseaGuardar, 4, QStringLiteral("Atención")}}
            : QList<LlamadaMensaje>{};
        QCOMPARE(banco->Mensajes->Llamadas, esperado);
        // No: the clicked province replaces the edits, and nothing was written.
        QCOMPARE(v->TxtCodigo->Text(), QStringLiteral("01"));
        QCOMPARE(v->TxtProvincia->Text(), QStringLiteral("Álava"));
        QCOMPARE(banco->Fila(QStringLiteral("02")).Provincia, QStringLiteral("Albacete"));
        QVERIFY(!banco->Existe(QStringLiteral("98")));
    }

    void nuevoYCancelarVuelveALaPrimera()
    {
        v = banco->Abrir();
        banco->ClicFila(4);
        banco->Clic(v->LblNuevo);
        QCOMPARE(v->TxtCodigo->Text(), QString());
        QCOMPARE(v->TxtProvincia->Text(), QString());
        QVERIFY(v->EstadoVentana().RegistroNuevo);
        QVERIFY(DatosComunes::EdicionEnCurso);
        QVERIFY(!v->LblNuevo->Enabled() && !v->LblBuscar->Enabled() && !v->LblBorrar->Enabled());
        QVERIFY(v->lblAceptar->Enabled() && v->LblCancelar->Enabled() && v->LblCancelar->Visible());
        QVERIFY(!v->LinProvincias->Enabled() && !v->ImgProvDerecha->Enabled() && !v->ImgProvIzquierda->Enabled());
        QCOMPARE(v->ActiveControl(), static_cast<Control*>(v->TxtCodigo));
        // The code shown before stays the current one until something is saved.
        QCOMPARE(v->EstadoVentana().CodigoActual, QStringLiteral("03"));

        banco->Escribir(v->TxtCodigo, QStringLiteral("77"));
        banco->Escribir(v->TxtProvincia, QStringLiteral("Sin guardar"));
        banco->Clic(v->LblNuevo); // already entering one: what was typed stays
        QCOMPARE(v->TxtProvincia->Text(), QStringLiteral("Sin guardar"));

        banco->Clic(v->LblCancelar);
        QCOMPARE(v->TxtCodigo->Text(), QStringLiteral("15"));
        QCOMPARE(v->TxtProvincia->Text(), QStringLiteral("A Coruña"));
        QCOMPARE(v->LinProvincias->Row(), 1);
        QVERIFY(!v->EstadoVentana().RegistroNuevo);
        QVERIFY(!DatosComunes::EdicionEnCurso);
        QVERIFY(v->LblNuevo->Enabled() && v->LblBuscar->Enabled() && v->LblBorrar->Enabled());
        QVERIFY(v->LinProvincias->Enabled() && v->ImgProvDerecha->Enabled() && v->ImgProvIzquierda->Enabled());
        QVERIFY(!banco->Existe(QStringLiteral("77")));
        QVERIFY(banco->Mensajes->Llamadas.isEmpty());
    }

    void flechasNoMuevenMientrasSeIntroduceUnaNueva()
    {
        v = banco->Abrir();
        banco->ClicFila(2);
        banco->Clic(v->LblNuevo);
        // The arrows are disabled; even run from code they do not move the grid.
        v->ImgProvDerecha->setEnabled(true);
        banco->Clic(v->ImgProvDerecha);
        QCOMPARE(v->LinProvincias->Row(), 2);
        QCOMPARE(v->TxtCodigo->Text(), QString());
    }

    void cancelarEdicionRestauraLosValoresGuardados()
    {
        v = banco->Abrir();
        banco->ClicFila(3);
        banco->Escribir(v->TxtProvincia, QStringLiteral("Otra cosa"));
        banco->Escribir(v->TxtCodigo, QStringLiteral("97"));
        banco->Clic(v->LblCancelar);
        QCOMPARE(v->TxtCodigo->Text(), QStringLiteral("02"));
        QCOMPARE(v->TxtProvincia->Text(), QStringLiteral("Albacete"));
        QCOMPARE(v->LinProvincias->Row(), 3);
        banco->Clic(v->LblCancelar);
        QCOMPARE(v->TxtProvincia->Text(), QStringLiteral("Albacete"));
        QCOMPARE(v->LinProvincias->Row(), 3);
    }

    void cancelarTrasBorradoPorOtroMuestraLaPrimera()
    {
        v = banco->Abrir();
        banco->ClicFila(3);
        banco->Ejecutar(QStringLiteral("DELETE FROM Provincias WHERE Codigo = '02'"));
        banco->Clic(v->LblCancelar);
        QCOMPARE(v->TxtCodigo->Text(), QStringLiteral("15"));
        QCOMPARE(v->LinProvincias->Rows(), 52);
        QVERIFY(!banco->ColumnaGrilla(1).contains(QStringLiteral("02")));
    }

    void filaBorradaPorOtroUsuario()
    {
        v = banco->Abrir();
        ConnectionPtr otro = banco->NuevaConexion();
        otro->Execute(QStringLiteral("DELETE FROM Provincias WHERE Codigo = '02'"));
        banco->ClicFila(3);
        QCOMPARE(banco->Mensajes->Llamadas,
                 (QList<LlamadaMensaje>{{T::RegistroEliminado, 64, QString()}}));
        // The grid was filled again without the lost province, and shows the first one.
        QCOMPARE(v->LinProvincias->Rows(), 52);
        QVERIFY(!banco->ColumnaGrilla(1).contains(QStringLiteral("02")));
        QCOMPARE(v->TxtCodigo->Text(), QStringLiteral("15"));
        QCOMPARE(v->TxtProvincia->Text(), QStringLiteral("A Coruña"));
        QCOMPARE(v->EstadoVentana().CodigoActual, QStringLiteral("15"));
    }

    void tablaVacia()
    {
        banco->VaciarProvincias();
        v = banco->Abrir();
        QCOMPARE(v->LinProvincias->Rows(), 1);
        QVERIFY(!v->TxtCodigo->Enabled());
        QVERIFY(!v->TxtProvincia->Enabled());
        QCOMPARE(v->TxtCodigo->Text(), QString());
        // With three rows or fewer the name column takes the rest of the grid.
        QCOMPARE(v->LinProvincias->ColWidth(1), 2955);
        banco->Clic(v->ImgProvDerecha);
        banco->Clic(v->ImgProvIzquierda);
        banco->Clic(v->LblCancelar);

        banco->Clic(v->LblNuevo);
        QVERIFY(v->TxtCodigo->Enabled() && v->TxtProvincia->Enabled());
        QCOMPARE(v->ActiveControl(), static_cast<Control*>(v->TxtCodigo));
        banco->Clic(v->LblCancelar);
        QVERIFY(!v->TxtCodigo->Enabled() && !v->TxtProvincia->Enabled());
        QCOMPARE(v->TxtCodigo->Text(), QString());
        QVERIFY(banco->Mensajes->Llamadas.isEmpty());
    }

    void anchoDeColumnasSegunFilas_data()
    {
        QTest::addColumn<int>("provincias");
        QTest::addColumn<int>("anchoNombre");
        QTest::newRow("tres filas") << 3 << 2955;
        QTest::newRow("cuatro filas, con barra") << 4 << 2605;
    }

    void anchoDeColumnasSegunFilas()
    {
        QFETCH(int, provincias);
        QFETCH(int, anchoNombre);
        banco->Ejecutar(QStringLiteral("DELETE FROM Municipios"));
        banco->Ejecutar(QStringLiteral("DELETE FROM Provincias WHERE Codigo > '0%1'").arg(provincias));
        v = banco->Abrir();
        QCOMPARE(v->LinProvincias->Rows(), provincias + 1);
        QCOMPARE(v->LinProvincias->ColWidth(0), 900);
        QCOMPARE(v->LinProvincias->ColWidth(1), anchoNombre);
    }

    void geometria_data()
    {
        QTest::addColumn<int>("anchoPantalla");
        QTest::addColumn<int>("altoPantalla");
        QTest::addColumn<QString>("control");
        QTest::addColumn<QList<int>>("esperado");
        struct Fila { const char* control; QList<int> diseno, estrecha, ancha; };
        // Left, Top, Width, Height (the line: X1, Y1, X2, Y2) after the load at the design screen
        // (1024 by 768 pixels), on 800 by 600, and on a screen 1280 pixels wide of the same height.
        const Fila filas[] = {
            {"PicProvincias", {0, 0, 12146, 10540}, {0, 0, 9489, 8234}, {0, 0, 15182, 10540}},
            {"Barra1", {0, 0, 12146, 555}, {0, 0, 9489, 555}, {0, 0, 15182, 555}},
            {"LblNuevo", {1235, 1055, 1575, 735}, {964, 824, 1230, 574}, {1543, 1055, 1968, 735}},
            {"lblAceptar", {2910, 1055, 1575, 735}, {2273, 824, 1230, 574}, {3637, 1055, 1968, 735}},
            {"LblBuscar", {4585, 1055, 1575, 735}, {3582, 824, 1230, 574}, {5731, 1055, 1968, 735}},
            {"LblBorrar", {6260, 1055, 1575, 735}, {4890, 824, 1230, 574}, {7825, 1055, 1968, 735}},
            {"LblCancelar", {7935, 1055, 1575, 735}, {6199, 824, 1230, 574}, {9918, 1055, 1968, 735}},
            {"PicDatosProvincias", {200, 3790, 11746, 4830}, {156, 2960, 9176, 3773}, {250, 3790, 14682, 4830}},
            {"LinProvincias", {700, 1000, 3855, 2500}, {546, 781, 3011, 1953}, {875, 1000, 4818, 2500}},
            {"LblProv", {1000, 570, 1995, 330}, {781, 445, 1558, 267}, {1250, 570, 2493, 340}},
            {"LblDatosProvincias", {5755, 570, 2745, 330}, {4496, 445, 2144, 267}, {7193, 570, 3431, 340}},
            {"LblCodigo", {5555, 1500, 1860, 390}, {4339, 1171, 1453, 314}, {6943, 1500, 2325, 400}},
            {"LblProvincia", {5555, 2290, 1860, 390}, {4339, 1789, 1453, 314}, {6943, 2290, 2325, 400}},
            {"TxtCodigo", {7465, 1500, 585, 405}, {5832, 1171, 457, 246}, {9331, 1500, 731, 335}},
            {"TxtProvincia", {7465, 2290, 3420, 390}, {5832, 1789, 2671, 234}, {9331, 2290, 4275, 320}},
            {"SpProvincias", {500, 800, 4255, 2900}, {390, 625, 3324, 2265}, {625, 800, 5318, 2900}},
            {"SpDatosProvincias", {5255, 800, 5980, 2900}, {4105, 625, 4671, 2265}, {6568, 800, 7475, 2900}},
            {"Line5", {120, 2290, 12026, 2290}, {93, 1789, 9395, 1789}, {150, 2290, 15032, 2290}},
            {"ImgImpresora", {9610, 955, 1200, 900}, {7507, 746, 937, 703}, {12012, 955, 1500, 900}},
            {"ImgProvDerecha", {10910, 1122, 1065, 600}, {8523, 876, 832, 468}, {13637, 1122, 1331, 600}},
            {"ImgProvIzquierda", {70, 1122, 1065, 600}, {54, 876, 832, 468}, {87, 1122, 1331, 600}},
        };
        for (const Fila& f : filas) {
            QTest::addRow("diseño %s", f.control) << 15360 << 11520 << f.control << f.diseno;
            QTest::addRow("800x600 %s", f.control) << 12000 << 9000 << f.control << f.estrecha;
            QTest::addRow("1280 de ancho %s", f.control) << 19200 << 11520 << f.control << f.ancha;
        }
    }

    void geometria()
    {
        QFETCH(int, anchoPantalla);
        QFETCH(int, altoPantalla);
        QFETCH(QString, control);
        QFETCH(QList<int>, esperado);
        Screen::FijarTamano(anchoPantalla, altoPantalla);
        v = banco->Abrir();
        Control* c = v->Controls().Item(control);
        QList<int> medido;
        if (auto* linea = qobject_cast<Line*>(c))
            medido = {linea->X1(), linea->Y1(), linea->X2(), linea->Y2()};
        else
            medido = {c->Left(), c->Top(), c->Width(), c->Height()};
        QCOMPARE(medido, esperado);
        // The window takes the size of its background panel; the grid's first column is 900
        // again after any scaling, the second one fills the rest but for the scroll bar.
        QCOMPARE(v->Width(), v->PicProvincias->Width());
        QCOMPARE(v->Height(), v->PicProvincias->Height());
        QCOMPARE(v->LinProvincias->ColWidth(0), 900);
        QCOMPARE(v->LinProvincias->ColWidth(1), v->LinProvincias->Width() - 900 - (anchoPantalla == 15360 ? 350 : 0));
    }

    void fuentesTrasEscalar_data()
    {
        QTest::addColumn<int>("anchoPantalla");
        QTest::addColumn<double>("etiqueta");
        QTest::addColumn<double>("campo");
        QTest::newRow("diseño") << 15360 << 14.25 << 12.0;
        QTest::newRow("más estrecha") << 12000 << 10.25 << 9.0;
        QTest::newRow("más ancha") << 19200 << 10.25 << 9.0;
    }

    void fuentesTrasEscalar()
    {
        QFETCH(int, anchoPantalla);
        QFETCH(double, etiqueta);
        QFETCH(double, campo);
        Screen::FijarTamano(anchoPantalla, 11520);
        v = banco->Abrir();
        QCOMPARE(v->LblCodigo->Font().Size(), etiqueta);
        QCOMPARE(v->LblProv->Font().Size(), etiqueta);
        QCOMPARE(v->TxtCodigo->Font().Size(), campo);
        QCOMPARE(v->TxtProvincia->Font().Size(), campo);
        QCOMPARE(v->Barra1->Height(), 555);
        QCOMPARE(v->ImgImpresora->Stretch(), anchoPantalla != 15360);
    }

    void cerrarDesdeLaBarra_data()
    {
        QTest::addColumn<bool>("nuevo");
        QTest::addColumn<bool>("editado");
        QTest::addColumn<int>("preguntas");
        QTest::newRow("sin cambios") << false << false << 0;
        QTest::newRow("con cambios, no") << false << true << 1;
        QTest::newRow("nueva sin escribir, no") << true << false << 1;
    }

    void cerrarDesdeLaBarra()
    {
        QFETCH(bool, nuevo);
        QFETCH(bool, editado);
        QFETCH(int, preguntas);
        v = banco->Abrir();
        QPointer<FrmProvincias> ventana(v);
        if (nuevo)
            banco->Clic(v->LblNuevo);
        if (editado)
            banco->Escribir(v->TxtProvincia, QStringLiteral("Cambiada"));
        emit v->Barra1->SolicitudCierre();
        QCOMPARE(banco->Mensajes->Llamadas.size(), preguntas);
        QVERIFY(!InstanciaPredeterminada<FrmProvincias>::Existe());
        QVERIFY(!DatosComunes::EdicionEnCurso);
        QCOMPARE(DatosComunes::FormPrincipal->Tag(), QString());
        QCOMPARE(banco->Funciones->Liberados.size(), 1);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(ventana.isNull());
        QCOMPARE(banco->Fila(QStringLiteral("15")).Provincia, QStringLiteral("A Coruña"));
    }

    void captura()
    {
        v = banco->Abrir();
        banco->ClicFila(3);
        QApplication::processEvents();
        const QImage imagen = v->grab().toImage();
        QCOMPARE(imagen.size(), QSize(810, 703));
        // Not a blank surface: the background, the panel and the controls give many colours.
        QSet<QRgb> colores;
        for (int y = 0; y < imagen.height(); y += 7)
            for (int x = 0; x < imagen.width(); x += 7)
                colores.insert(imagen.pixel(x, y));
        QVERIFY(colores.size() > 50);
        const QString ruta = QDir::current().filePath(QStringLiteral("captura-provincias.png"));
        QVERIFY(imagen.save(ruta));
        qInfo("Captura de la ventana: %s", qPrintable(ruta));
    }
};

QTEST_MAIN(PruebaVentanaProvincias)
#include "tst_ventana_provincias.moc"
