// The province window as a user meets it: loading, the grid, the record display, the arrows,
// the code check, the offer to save, cancel, closing, and the layout at several screens. The real
// window runs on the offscreen platform over a real database; the host's message box is scripted.

#include "BancoProvincias.h"

#include "DatosComunes.h"
#include "InstanciaPredeterminada.h"
#include "Line.h"
#include "Screen.h"
#include "TextosProvincias.h"

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
        // Placed where the host's location window is.
        QCOMPARE(QPoint(v->Left(), v->Top()), QPoint(600, 450));
        QVERIFY(v->TxtCodigo->Enabled() && banco->Utiles->LlamadasPintar > 0);
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
        QVERIFY(!!banco->Fila(QStringLiteral("98")).Codigo.isNull());
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
            banco->Ejecutar(QStringLiteral("DELETE FROM Provincias WHERE Codigo = '02'"));
        banco->Clic(v->LblCancelar);
        banco->Clic(v->LblCancelar);
        QCOMPARE(v->TxtCodigo->Text(), codigo);
        QCOMPARE(v->TxtProvincia->Text(), banco->Fila(codigo).Provincia);
        QCOMPARE(v->LinProvincias->Row(), fila);
        QCOMPARE(v->LinProvincias->Rows(), borradaPorOtro ? 52 : 53);
        QVERIFY(!v->EstadoVentana().RegistroNuevo && !DatosComunes::EdicionEnCurso);
        QVERIFY(v->LblNuevo->Enabled() && v->LblBuscar->Enabled() && v->LblBorrar->Enabled());
        QVERIFY(v->LinProvincias->Enabled() && v->ImgProvDerecha->Enabled() && v->ImgProvIzquierda->Enabled());
        QVERIFY(!!banco->Fila(QStringLiteral("77")).Codigo.isNull());
        QCOMPARE(banco->Mensajes->Llamadas, Mensajes{});
    }

    void filaBorradaPorOtroUsuario()
    {
        v = banco->Abrir();
        banco->Ejecutar(QStringLiteral("DELETE FROM Provincias WHERE Codigo = '02'"));
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
        banco->Ejecutar(QStringLiteral("DELETE FROM Municipios"));
        banco->Ejecutar(QStringLiteral("DELETE FROM Provincias"));
        v = banco->Abrir();
        QCOMPARE(v->LinProvincias->Rows(), 1);
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
        QCOMPARE(!banco->Fila(QStringLiteral("53")).Codigo.isNull(), cerrada && respuesta == 6 && nuevo);
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
        struct Fila { const char* control; QList<int> estrecha, ancha; };
        // Left, Top, Width, Height (the line: X1, Y1, X2, Y2) after the load on 800 by 600, and on a
        // screen 1280 pixels wide of the design height: one control of each kind the scaling treats apart.
        const Fila filas[] = {
            {"PicProvincias", {0, 0, 9489, 8234}, {0, 0, 15182, 10540}},
            {"Barra1", {0, 0, 9489, 555}, {0, 0, 15182, 555}},
            {"LblNuevo", {964, 824, 1230, 574}, {1543, 1055, 1968, 735}},
            {"LinProvincias", {546, 781, 3011, 1953}, {875, 1000, 4818, 2500}},
            {"LblCodigo", {4339, 1171, 1453, 314}, {6943, 1500, 2325, 400}},
            {"TxtCodigo", {5832, 1171, 457, 246}, {9331, 1500, 731, 335}},
            {"Line5", {93, 1789, 9395, 1789}, {150, 2290, 15032, 2290}},
            {"ImgImpresora", {7507, 746, 937, 703}, {12012, 955, 1500, 900}},
        };
        for (const Fila& f : filas) {
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
        QCOMPARE(v->LinProvincias->ColWidth(1), v->LinProvincias->Width() - 900);
        QCOMPARE(v->LblCodigo->Font().Size(), 10.25);
        QCOMPARE(v->TxtCodigo->Font().Size(), 9.0);
    }
};

QTEST_MAIN(PruebaVentanaProvincias)
#include "tst_ventana_provincias.moc"
