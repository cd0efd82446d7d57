// The province window as a user meets it: loading, the grid, the record display, the arrows,
// the code check, the offer to save, new and cancel, closing, and the layout in twips. The real
// window runs on the offscreen platform over a real database; the host's message box is scripted.

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
using Mensajes = QList<LlamadaMensaje>;

class PruebaVentanaProvincias : public QObject
{
    Q_OBJECT

    std::unique_ptr<BancoProvincias> banco;
    FrmProvincias* v = nullptr;

    Control* Activo() const { return v->ActiveControl(); }

private slots:
    void cleanupTestCase() { BancoProvincias::BorrarBase(); }
    void init() { banco = std::make_unique<BancoProvincias>(); }

    void cleanup()
    {
        const QStringList errores = banco->ErroresEventos;
        banco.reset();
        QVERIFY2(errores.isEmpty(), qPrintable(errores.join(QLatin1Char('\n'))));
    }

    void carga()
    {
        v = banco->Abrir();
        QCOMPARE(banco->ColumnaGrilla(2), NombresEnOrdenEspanol());
        QCOMPARE(banco->ColumnaGrilla(1).mid(0, 4), (QStringList{"15", "01", "02", "03"}));
        QCOMPARE(QStringList({v->LinProvincias->TextMatrix(0, 0), v->LinProvincias->TextMatrix(0, 1)}),
                 QStringList({"CÓDIGO", "PROVINCIA"}));
        // The fill copies the first province into the fields without making a data row current.
        QCOMPARE(QStringList({v->TxtCodigo->Text(), v->TxtProvincia->Text(), v->EstadoVentana().CodigoActual}),
                 QStringList({"15", "A Coruña", "15"}));
        QCOMPARE(v->LinProvincias->Row(), 0);
        QCOMPARE(v->LinProvincias->ColWidth(1), 3855 - 900 - 350);
        QCOMPARE(QPoint(v->Left(), v->Top()), QPoint(600, 450));
        QVERIFY(v->TxtCodigo->Enabled() && banco->Utiles->LlamadasPintar > 0);
        QCOMPARE(banco->Mensajes->Llamadas, Mensajes{});
    }

    void seleccionarFila_data()
    {
        QTest::addColumn<int>("fila");
        QTest::addColumn<int>("abajo");
        QTest::addColumn<QString>("codigo");
        QTest::addColumn<QString>("nombre");
        QTest::newRow("segunda") << 2 << 0 << "01" << "Álava";
        QTest::newRow("primera") << 1 << 0 << "15" << "A Coruña";
        QTest::newRow("diez filas más abajo con el teclado") << 1 << 10 << "09" << "Burgos";
    }

    void seleccionarFila()
    {
        QFETCH(int, fila);
        QFETCH(int, abajo);
        QFETCH(QString, codigo);
        QFETCH(QString, nombre);
        v = banco->Abrir();
        banco->ClicFila(3);
        banco->ClicFila(fila);
        for (int i = 0; i < abajo; ++i)
            QTest::keyClick(v->LinProvincias->Widget(), Qt::Key_Down);
        QCOMPARE(v->LinProvincias->Row(), fila + abajo);
        QCOMPARE(QStringList({v->TxtCodigo->Text(), v->TxtProvincia->Text(), v->EstadoVentana().CodigoActual}),
                 QStringList({codigo, nombre, codigo}));
        QCOMPARE(v->LinProvincias->Tag(), QStringLiteral("0"));
        // The window's recordset is left on the whole table, on the province shown.
        QCOMPARE(v->RecordsetProvincias()->Fields(QStringLiteral("Codigo")).Value().toString(), codigo);
        QCOMPARE(banco->Mensajes->Llamadas, Mensajes{});
    }

    void flechas_data()
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

    void flechas()
    {
        QFETCH(int, desde);
        QFETCH(bool, derecha);
        QFETCH(int, pulsaciones);
        QFETCH(int, filaFinal);
        QFETCH(QString, nombre);
        v = banco->Abrir();
        while (v->LinProvincias->Row() < desde)
            banco->Clic(v->ImgProvDerecha);
        // Buttons the arrows enable again, whether they move or not.
        v->LblBorrar->setEnabled(false);
        v->LblBuscar->setEnabled(false);
        for (int i = 0; i < pulsaciones; ++i)
            banco->Clic(derecha ? v->ImgProvDerecha : v->ImgProvIzquierda);
        QCOMPARE(v->LinProvincias->Row(), filaFinal);
        QCOMPARE(v->TxtProvincia->Text(), nombre);
        QVERIFY(v->LinProvincias->RowIsVisible(filaFinal));
        QVERIFY(v->LblBorrar->Enabled() && v->LblBuscar->Enabled() && v->LblNuevo->Enabled() && v->LblNuevo->Visible());
    }

    void comprobacionDelCodigo_data()
    {
        QTest::addColumn<bool>("nuevo");
        QTest::addColumn<QString>("escrito");
        QTest::addColumn<QString>("aviso");
        QTest::addColumn<QString>("queda");
        const QString existe = T::CodigoYaExiste;
        QTest::newRow("editando, código de otra") << false << "28" << existe << "15";
        QTest::newRow("nueva, código existente") << true << "28" << existe << "";
        QTest::newRow("editando, código libre") << false << "99" << "" << "99";
        QTest::newRow("editando, el mismo código") << false << "15" << "" << "15";
        QTest::newRow("mayúsculas no coinciden") << true << "AB" << "" << "AB";
        QTest::newRow("comilla") << true << "'" << T::CodigoNoValido << "'";
        QTest::newRow("porcentaje") << false << "1%" << T::CodigoNoValido << "1%";
        QTest::newRow("más de dos caracteres") << true << "98765" << "" << "98";
    }

    void comprobacionDelCodigo()
    {
        QFETCH(bool, nuevo);
        QFETCH(QString, escrito);
        QFETCH(QString, aviso);
        QFETCH(QString, queda);
        v = banco->Abrir();
        banco->Ejecutar(QStringLiteral("INSERT INTO Provincias (Codigo, Provincia) VALUES ('ab', 'Minúsculas')"));
        const QList<FilaProvincia> antes = banco->Filas();
        if (nuevo)
            banco->Clic(v->LblNuevo);
        banco->Escribir(v->TxtCodigo, escrito);
        banco->SalirDelCodigo();
        const QString titulo = aviso == T::CodigoYaExiste ? QStringLiteral("Aviso") : QStringLiteral("Atención");
        QCOMPARE(banco->Mensajes->Llamadas, (aviso.isEmpty() ? Mensajes{} : Mensajes{{aviso, 16, titulo}}));
        QCOMPARE(v->TxtCodigo->Text(), queda);
        // A warning keeps the focus in the code field.
        QCOMPARE(Activo(), aviso.isEmpty() ? static_cast<Control*>(v->TxtProvincia) : v->TxtCodigo);
        QCOMPARE(banco->Filas(), antes);
    }

    void ofertaDeGuardarAlCambiarDeFila_data()
    {
        QTest::addColumn<QString>("codigo");
        QTest::addColumn<QString>("nombre");
        QTest::addColumn<int>("respuesta");
        QTest::addColumn<Mensajes>("mensajes");
        QTest::addColumn<QString>("guardado");
        const LlamadaMensaje pregunta{T::DeseaGuardar, 4, QStringLiteral("Atención")};
        QTest::newRow("sin cambios") << "02" << "Albacete" << 6 << Mensajes{} << "Albacete";
        QTest::newRow("nombre cambiado, no") << "02" << "Albacete Sur" << 7 << Mensajes{pregunta} << "Albacete";
        QTest::newRow("código cambiado, no") << "98" << "Albacete" << 7 << Mensajes{pregunta} << "Albacete";
        QTest::newRow("nombre cambiado, sí") << "02" << "Albacete Sur" << 6 << Mensajes{pregunta} << "Albacete Sur";
        QTest::newRow("sí, pero el nombre está vacío") << "02" << "" << 6
            << Mensajes{pregunta, {T::ProvinciaEnBlanco, 16, QStringLiteral("Atención")}} << "Albacete";
    }

    void ofertaDeGuardarAlCambiarDeFila()
    {
        QFETCH(QString, codigo);
        QFETCH(QString, nombre);
        QFETCH(int, respuesta);
        QFETCH(Mensajes, mensajes);
        QFETCH(QString, guardado);
        v = banco->Abrir();
        banco->ClicFila(3);
        banco->Escribir(v->TxtCodigo, codigo);
        banco->Escribir(v->TxtProvincia, nombre);
        banco->Mensajes->Respuestas = {respuesta};
        banco->ClicFila(2);
        QCOMPARE(banco->Mensajes->Llamadas, mensajes);
        QCOMPARE(banco->Fila(QStringLiteral("02")).Provincia, guardado);
        QVERIFY(!banco->Existe(QStringLiteral("98")));
        // The clicked province replaces the fields whatever the answer; the grid lists the stored names.
        QCOMPARE(QStringList({v->TxtCodigo->Text(), v->TxtProvincia->Text()}), QStringList({"01", "Álava"}));
        QVERIFY(banco->ColumnaGrilla(2).contains(guardado));
    }

    void cancelar_data()
    {
        QTest::addColumn<bool>("nuevo");
        QTest::addColumn<bool>("borradaPorOtro");
        QTest::addColumn<QString>("codigo");
        QTest::addColumn<int>("fila");
        QTest::newRow("una nueva: la primera") << true << false << "15" << 1;
        QTest::newRow("una edición: la guardada") << false << false << "02" << 3;
        QTest::newRow("borrada por otro: la primera") << false << true << "15" << 1;
    }

    void cancelar()
    {
        QFETCH(bool, nuevo);
        QFETCH(bool, borradaPorOtro);
        QFETCH(QString, codigo);
        QFETCH(int, fila);
        v = banco->Abrir();
        banco->ClicFila(3);
        if (nuevo)
            banco->Clic(v->LblNuevo);
        banco->Escribir(v->TxtCodigo, QStringLiteral("77"));
        banco->Escribir(v->TxtProvincia, QStringLiteral("Otra cosa"));
        if (borradaPorOtro)
            banco->NuevaConexion()->Execute(QStringLiteral("DELETE FROM Provincias WHERE Codigo = '02'"));
        banco->Clic(v->LblCancelar);
        banco->Clic(v->LblCancelar);
        QCOMPARE(v->TxtCodigo->Text(), codigo);
        QCOMPARE(v->TxtProvincia->Text(), banco->Fila(codigo).Provincia);
        QCOMPARE(v->LinProvincias->Row(), fila);
        QCOMPARE(v->LinProvincias->Rows(), borradaPorOtro ? 52 : 53);
        QVERIFY(!v->EstadoVentana().RegistroNuevo && !DatosComunes::EdicionEnCurso);
        QVERIFY(v->LblNuevo->Enabled() && v->LblBuscar->Enabled() && v->LblBorrar->Enabled());
        QVERIFY(v->LinProvincias->Enabled() && v->ImgProvDerecha->Enabled() && v->ImgProvIzquierda->Enabled());
        QVERIFY(!banco->Existe(QStringLiteral("77")));
        QCOMPARE(banco->Mensajes->Llamadas, Mensajes{});
    }

    void filaBorradaPorOtroUsuario()
    {
        v = banco->Abrir();
        banco->NuevaConexion()->Execute(QStringLiteral("DELETE FROM Provincias WHERE Codigo = '02'"));
        banco->ClicFila(3);
        QCOMPARE(banco->Mensajes->Llamadas, (Mensajes{{T::RegistroEliminado, 64, QString()}}));
        // Filled again without the lost province; the first one is shown.
        QCOMPARE(v->LinProvincias->Rows(), 52);
        QVERIFY(!banco->ColumnaGrilla(1).contains(QStringLiteral("02")));
        QCOMPARE(QStringList({v->TxtCodigo->Text(), v->TxtProvincia->Text(), v->EstadoVentana().CodigoActual}),
                 QStringList({"15", "A Coruña", "15"}));
    }

    void tablaVacia()
    {
        banco->VaciarProvincias();
        v = banco->Abrir();
        QCOMPARE(v->LinProvincias->Rows(), 1);
        QCOMPARE(v->LinProvincias->ColWidth(1), 3855 - 900);
        QVERIFY(!v->TxtCodigo->Enabled() && !v->TxtProvincia->Enabled());
        banco->Clic(v->ImgProvDerecha);
        banco->Clic(v->ImgProvIzquierda);
        banco->Clic(v->LblCancelar);
        banco->Clic(v->LblNuevo);
        QVERIFY(v->TxtCodigo->Enabled() && v->TxtProvincia->Enabled());
        QCOMPARE(Activo(), static_cast<Control*>(v->TxtCodigo));
        banco->Clic(v->LblCancelar);
        QVERIFY(!v->TxtCodigo->Enabled() && !v->TxtProvincia->Enabled());
        QCOMPARE(v->TxtCodigo->Text(), QString());
        QCOMPARE(banco->Mensajes->Llamadas, Mensajes{});
    }

    void cerrar_data()
    {
        QTest::addColumn<bool>("nuevo");
        QTest::addColumn<QString>("nombre");
        QTest::addColumn<int>("respuesta");
        QTest::addColumn<int>("preguntas");
        QTest::addColumn<bool>("cerrada");
        QTest::newRow("sin cambios") << false << "A Coruña" << 0 << 0 << true;
        QTest::newRow("con cambios, no") << false << "Coruña" << 7 << 1 << true;
        QTest::newRow("nueva sin escribir, no") << true << "" << 7 << 1 << true;
        QTest::newRow("nueva sin nombre, sí: sigue abierta") << true << "" << 6 << 2 << false;
        QTest::newRow("nueva completa, sí: se guarda") << true << "Nueva Tabarca" << 6 << 1 << true;
    }

    void cerrar()
    {
        QFETCH(bool, nuevo);
        QFETCH(QString, nombre);
        QFETCH(int, respuesta);
        QFETCH(int, preguntas);
        QFETCH(bool, cerrada);
        v = banco->Abrir();
        QPointer<FrmProvincias> ventana(v);
        if (nuevo) {
            banco->Clic(v->LblNuevo);
            if (respuesta == 6)
                banco->Escribir(v->TxtCodigo, QStringLiteral("53"));
        }
        banco->Escribir(v->TxtProvincia, nombre);
        banco->Mensajes->Respuestas = {respuesta};
        banco->CerrarConLaBarra();
        QCOMPARE(banco->Mensajes->Llamadas.size(), preguntas);
        QCOMPARE(InstanciaPredeterminada<FrmProvincias>::Existe(), !cerrada);
        QCOMPARE(banco->Existe(QStringLiteral("53")), cerrada && respuesta == 6 && nuevo);
        // The host's main window forgets the edit unless a new province is still pending.
        QCOMPARE(DatosComunes::FormPrincipal->Tag(), cerrada ? QString() : QStringLiteral("Provincias"));
        QCOMPARE(banco->Funciones->Liberados.size(), cerrada ? 1 : 0);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(ventana.isNull(), cerrada);
        if (!cerrada)
            QVERIFY(!v->EstadoVentana().ValidacionFallida && v->LblNuevo->Visible() && v->LblBorrar->Enabled());
        QCOMPARE(banco->Fila(QStringLiteral("15")).Provincia, QStringLiteral("A Coruña"));
    }

    void cerrarDesdeElAnfitrion_data()
    {
        QTest::addColumn<bool>("baseRota");
        QTest::addColumn<int>("mensajes");
        QTest::addColumn<int>("errores");
        QTest::newRow("nueva sin nombre, sí") << false << 2 << 0;
        QTest::newRow("la tabla ya no existe") << true << 0 << 1;
    }

    void cerrarDesdeElAnfitrion()
    {
        QFETCH(bool, baseRota);
        QFETCH(int, mensajes);
        QFETCH(int, errores);
        v = banco->Abrir();
        if (baseRota) {
            banco->Escribir(v->TxtProvincia, QStringLiteral("Cambiada"));
            banco->Ejecutar(QStringLiteral("DROP TABLE Municipios"));
            banco->Ejecutar(QStringLiteral("DROP TABLE Provincias"));
        } else {
            banco->Clic(v->LblNuevo);
            banco->Escribir(v->TxtCodigo, QStringLiteral("53"));
            banco->Mensajes->Respuestas = {6};
        }
        // The window unloads whatever the answer, the save or the database do.
        banco->Cerrar();
        QVERIFY(!InstanciaPredeterminada<FrmProvincias>::Existe());
        QCOMPARE(banco->Mensajes->Llamadas.size(), mensajes);
        QCOMPARE(banco->ErroresEventos.size(), errores);
        banco->ErroresEventos.clear();
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
        auto* linea = qobject_cast<Line*>(c);
        const QList<int> medido = linea ? QList<int>{linea->X1(), linea->Y1(), linea->X2(), linea->Y2()}
                                        : QList<int>{c->Left(), c->Top(), c->Width(), c->Height()};
        QCOMPARE(medido, esperado);
        // The window takes its panel's size; after scaling the grid's columns are 900 and the rest.
        QCOMPARE(QSize(v->Width(), v->Height()), QSize(v->PicProvincias->Width(), v->PicProvincias->Height()));
        QCOMPARE(v->LinProvincias->ColWidth(0), 900);
        QCOMPARE(v->LinProvincias->ColWidth(1), v->LinProvincias->Width() - 900 - (anchoPantalla == 15360 ? 350 : 0));
        QCOMPARE(v->LblCodigo->Font().Size(), anchoPantalla == 15360 ? 14.25 : 10.25);
        QCOMPARE(v->TxtCodigo->Font().Size(), anchoPantalla == 15360 ? 12.0 : 9.0);
    }

    void captura()
    {
        v = banco->Abrir();
        banco->ClicFila(3);
        QApplication::processEvents();
        const QImage imagen = v->grab().toImage();
        QCOMPARE(imagen.size(), QSize(810, 703));
        // Not a blank surface: background, panel and controls give many colours.
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
