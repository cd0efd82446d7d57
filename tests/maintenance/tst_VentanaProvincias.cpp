// The province window as a user meets it: loading, the arrows, the code check, the offer to save,
// cancel, a row lost to another user, the empty table, closing, and the layout at other screens.
// The real window runs on the offscreen platform over a real database; the host's message box is
// scripted.

#include "BancoProvincias.h"

#include "DatosComunes.h"
#include "InstanciaPredeterminada.h"
#include "Line.h"
#include "Screen.h"

#include <QTest>
#include <cstdlib>

class PruebaVentanaProvincias : public QObject
{
    Q_OBJECT

    std::unique_ptr<BancoProvincias> banco;
    FrmProvincias* v = nullptr;

    QStringList Campos() const { return {v->TxtCodigo->Text(), v->TxtProvincia->Text()}; }
    bool Existe(const QString& codigo) { return !banco->Fila(codigo).isEmpty(); }

private slots:
    void init()
    {
        banco = std::make_unique<BancoProvincias>();
        v = nullptr;
    }

    void cleanup()
    {
        const QStringList errores = banco->ErroresEventos;
        banco.reset();
        QVERIFY2(errores.isEmpty(), qPrintable(errores.join(QLatin1Char('\n'))));
    }

    void carga()
    {
        v = banco->Abrir();
        // Names in Spanish alphabetical order: accents and ñ where a Spanish reader looks for them.
        QCOMPARE(banco->ColumnaGrilla(2).join(QLatin1Char('|')),
                 QStringLiteral("A Coruña|Álava|Albacete|Alicante|Almería|Asturias|Ávila|Badajoz|Baleares|Barcelona|"
                                "Burgos|Cáceres|Cádiz|Cantabria|Castellón|Ceuta|Ciudad Real|Córdoba|Cuenca|Girona|"
                                "Granada|Guadalajara|Guipúzcoa|Huelva|Huesca|Jaén|La Rioja|Las Palmas|León|Lleida|"
                                "Lugo|Madrid|Málaga|Melilla|Murcia|Navarra|Ourense|Palencia|Pontevedra|"
                                "S.C. de Tenerife|Salamanca|Segovia|Sevilla|Soria|Tarragona|Teruel|Toledo|Valencia|"
                                "Valladolid|Vizcaya|Zamora|Zaragoza"));
        QCOMPARE(banco->ColumnaGrilla(1).mid(0, 2), QStringList({"15", "01"}));
        QCOMPARE(QStringList({v->LinProvincias->TextMatrix(0, 0), v->LinProvincias->TextMatrix(0, 1)}),
                 QStringList({"CÓDIGO", "PROVINCIA"}));
        // The fill copies the first province into the fields without making a data row current.
        QCOMPARE(Campos(), QStringList({"15", "A Coruña"}));
        QCOMPARE(v->LinProvincias->Row(), 0);
        // Placed where the host's location window is, and painted by the host.
        QCOMPARE(QPoint(v->Left(), v->Top()), QPoint(600, 450));
        QVERIFY(banco->Utiles->LlamadasPintar > 0);
        QCOMPARE(banco->Mensajes->Llamadas, Mensajes{});
    }

    void flechas_data()
    {
        QTest::addColumn<int>("desde");
        QTest::addColumn<int>("pulsaciones");  // negative: the left arrow
        QTest::addColumn<int>("filaFinal");
        QTest::addColumn<QString>("nombre");
        QTest::newRow("izquierda en la primera") << 1 << -1 << 1 << "A Coruña";
        QTest::newRow("derecha tres veces") << 1 << 3 << 4 << "Alicante";
        QTest::newRow("izquierda desde la quinta") << 5 << -2 << 3 << "Albacete";
        QTest::newRow("derecha pasada la última") << 50 << 5 << 52 << "Zaragoza";
    }

    void flechas()
    {
        QFETCH(int, desde);
        QFETCH(int, pulsaciones);
        QFETCH(int, filaFinal);
        QFETCH(QString, nombre);
        v = banco->Abrir();
        while (v->LinProvincias->Row() < desde)
            banco->Clic(v->ImgProvDerecha);
        // Buttons the arrows enable again, whether they move or not.
        v->LblBorrar->setEnabled(false);
        v->LblBuscar->setEnabled(false);
        for (int i = 0; i < std::abs(pulsaciones); ++i)
            banco->Clic(pulsaciones > 0 ? v->ImgProvDerecha : v->ImgProvIzquierda);
        QCOMPARE(v->LinProvincias->Row(), filaFinal);
        QCOMPARE(v->TxtProvincia->Text(), nombre);
        QVERIFY(v->LinProvincias->RowIsVisible(filaFinal));
        QVERIFY(v->LblBorrar->Enabled() && v->LblBuscar->Enabled());
    }

    void comprobacionDelCodigo_data()
    {
        QTest::addColumn<bool>("nuevo");
        QTest::addColumn<QString>("escrito");
        QTest::addColumn<Mensajes>("aviso");
        QTest::addColumn<QString>("queda");
        const Mensajes existe{{Dice::CodigoYaExiste, 16, QStringLiteral("Aviso")}};
        QTest::newRow("editando, código de otra") << false << "28" << existe << "15";
        QTest::newRow("nueva, código existente") << true << "28" << existe << "";
        QTest::newRow("editando, el mismo código") << false << "15" << Mensajes{} << "15";
        QTest::newRow("mayúsculas no coinciden") << true << "AB" << Mensajes{} << "AB";
        QTest::newRow("comilla") << true << "'" << Mensajes{Atencion(Dice::CodigoNoValido)} << "'";
        QTest::newRow("más de dos caracteres") << true << "98765" << Mensajes{} << "98";
    }

    void comprobacionDelCodigo()
    {
        QFETCH(bool, nuevo);
        QFETCH(QString, escrito);
        QFETCH(Mensajes, aviso);
        QFETCH(QString, queda);
        v = banco->Abrir();
        banco->Ejecutar(QStringLiteral("INSERT INTO Provincias (Codigo, Provincia) VALUES ('ab', 'Minúsculas')"));
        const QList<QStringList> antes = banco->Filas();
        if (nuevo)
            banco->Clic(v->LblNuevo);
        banco->Escribir(v->TxtCodigo, escrito);
        banco->SalirDelCodigo();
        QCOMPARE(banco->Mensajes->Llamadas, aviso);
        QCOMPARE(v->TxtCodigo->Text(), queda);
        // A warning keeps the focus in the code field.
        QCOMPARE(v->ActiveControl(), aviso.isEmpty() ? static_cast<Control*>(v->TxtProvincia) : v->TxtCodigo);
        QCOMPARE(banco->Filas(), antes);
    }

    void ofertaDeGuardarAlCambiarDeFila_data()
    {
        QTest::addColumn<QString>("codigo");
        QTest::addColumn<QString>("nombre");
        QTest::addColumn<int>("respuesta");
        QTest::addColumn<Mensajes>("mensajes");
        QTest::addColumn<QString>("guardado");
        const LlamadaMensaje pregunta = Atencion(Dice::DeseaGuardar, 4);
        QTest::newRow("sin cambios") << "02" << "Albacete" << 6 << Mensajes{} << "Albacete";
        QTest::newRow("nombre cambiado, no") << "02" << "Albacete Sur" << 7 << Mensajes{pregunta} << "Albacete";
        QTest::newRow("código cambiado, no") << "98" << "Albacete" << 7 << Mensajes{pregunta} << "Albacete";
        QTest::newRow("nombre cambiado, sí") << "02" << "Albacete Sur" << 6 << Mensajes{pregunta} << "Albacete Sur";
        QTest::newRow("sí, pero el nombre está vacío")
            << "02" << "" << 6 << Mensajes{pregunta, Atencion(Dice::ProvinciaEnBlanco)} << "Albacete";
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
        QCOMPARE(banco->Fila(QStringLiteral("02")).value(1), guardado);
        QVERIFY(!Existe(QStringLiteral("98")));
        // The clicked province replaces the fields whatever the answer; the grid lists the stored names.
        QCOMPARE(Campos(), QStringList({"01", "Álava"}));
        QCOMPARE(v->RecordsetProvincias()->Fields(QStringLiteral("Codigo")).Value().toString(), QStringLiteral("01"));
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
        QCOMPARE(Campos(), QStringList({codigo, banco->Fila(codigo).value(1)}));
        QCOMPARE(v->LinProvincias->Row(), fila);
        QCOMPARE(v->LinProvincias->Rows(), borradaPorOtro ? 52 : 53);
        QVERIFY(!v->EstadoVentana().RegistroNuevo && !DatosComunes::EdicionEnCurso);
        QVERIFY(v->LblNuevo->Enabled() && v->LblBorrar->Enabled() && v->LinProvincias->Enabled());
        QVERIFY(!Existe(QStringLiteral("77")));
        QCOMPARE(banco->Mensajes->Llamadas, Mensajes{});
    }

    void filaBorradaPorOtroUsuario()
    {
        v = banco->Abrir();
        banco->Ejecutar(QStringLiteral("DELETE FROM Provincias WHERE Codigo = '02'"));
        banco->ClicFila(3);
        QCOMPARE(banco->Mensajes->Llamadas, (Mensajes{{QStringLiteral("El Registro fue Eliminado por Otro Usuario"), 64, {}}}));
        // Filled again without the lost province; the first one is shown.
        QCOMPARE(v->LinProvincias->Rows(), 52);
        QVERIFY(!banco->ColumnaGrilla(1).contains(QStringLiteral("02")));
        QCOMPARE(Campos(), QStringList({"15", "A Coruña"}));
        QCOMPARE(v->EstadoVentana().CodigoActual, QStringLiteral("15"));
    }

    void tablaVacia()
    {
        banco->Ejecutar(QStringLiteral("DELETE FROM Municipios"));
        banco->Ejecutar(QStringLiteral("DELETE FROM Provincias"));
        v = banco->Abrir();
        QCOMPARE(v->LinProvincias->Rows(), 1);
        QVERIFY(!v->TxtCodigo->Enabled() && !v->TxtProvincia->Enabled());
        for (Control* c : {static_cast<Control*>(v->ImgProvDerecha), static_cast<Control*>(v->ImgProvIzquierda),
                           static_cast<Control*>(v->LblCancelar), static_cast<Control*>(v->LblNuevo)})
            banco->Clic(c);
        QVERIFY(v->TxtCodigo->Enabled() && v->TxtProvincia->Enabled());
        QCOMPARE(v->ActiveControl(), static_cast<Control*>(v->TxtCodigo));
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
        // The close button at the right end of the title bar.
        QWidget* barra = v->Barra1->Widget();
        QTest::mouseClick(barra, Qt::LeftButton, {}, QPoint(barra->width() - 6, barra->height() / 2));
        QCOMPARE(banco->Mensajes->Llamadas.size(), preguntas);
        QCOMPARE(InstanciaPredeterminada<FrmProvincias>::Existe(), !cerrada);
        QCOMPARE(Existe(QStringLiteral("53")), cerrada && respuesta == 6 && nuevo);
        // The host's main window forgets the edit unless a new province is still pending.
        QCOMPARE(DatosComunes::FormPrincipal->Tag(), cerrada ? QString() : QStringLiteral("Provincias"));
        QCOMPARE(banco->Funciones->Liberados.size(), cerrada ? 1 : 0);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(ventana.isNull(), cerrada);
        if (!cerrada)
            QVERIFY(!v->EstadoVentana().ValidacionFallida && v->LblNuevo->Visible() && v->LblBorrar->Enabled());
        QCOMPARE(banco->Fila(QStringLiteral("15")).value(1), QStringLiteral("A Coruña"));
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
        // Left, Top, Width, Height (a line: X1, Y1, X2, Y2) after the load, one control of each kind
        // the scaling treats apart; the window was laid out for 1024 by 768 pixels.
        QTest::addColumn<int>("ancho");
        QTest::addColumn<int>("alto");
        QTest::addColumn<QStringList>("esperado");
        QTest::addColumn<double>("puntosEtiqueta");
        QTest::newRow("800x600") << 12000 << 9000
            << QStringList{"PicProvincias 0 0 9489 8234", "Barra1 0 0 9489 555", "LblNuevo 964 824 1230 574",
                           "LinProvincias 546 781 3011 1953", "LblCodigo 4339 1171 1453 314",
                           "TxtCodigo 5832 1171 457 246", "Line5 93 1789 9395 1789", "ImgImpresora 7507 746 937 703"}
            << 10.25;
        QTest::newRow("1280 de ancho") << 19200 << 11520
            << QStringList{"PicProvincias 0 0 15182 10540", "Barra1 0 0 15182 555", "LblNuevo 1543 1055 1968 735",
                           "LinProvincias 875 1000 4818 2500", "LblCodigo 6943 1500 2325 400",
                           "TxtCodigo 9331 1500 731 335", "Line5 150 2290 15032 2290", "ImgImpresora 12012 955 1500 900"}
            << 10.25;
        QTest::newRow("la de diseño: sin escalar") << 15360 << 11520
            << QStringList{"PicProvincias 0 0 12146 10540", "LblCodigo 5555 1500 1860 390", "TxtCodigo 7465 1500 585 405"}
            << 14.25;
    }

    void geometria()
    {
        QFETCH(int, ancho);
        QFETCH(int, alto);
        QFETCH(QStringList, esperado);
        QFETCH(double, puntosEtiqueta);
        Screen::FijarTamano(ancho, alto);
        v = banco->Abrir();
        QStringList medido;
        for (const QString& fila : esperado) {
            const QString nombre = fila.section(QLatin1Char(' '), 0, 0);
            Control* c = v->Controls().Item(nombre);
            auto* linea = qobject_cast<Line*>(c);
            const QList<int> m = linea ? QList<int>{linea->X1(), linea->Y1(), linea->X2(), linea->Y2()}
                                       : QList<int>{c->Left(), c->Top(), c->Width(), c->Height()};
            medido << QStringLiteral("%1 %2 %3 %4 %5").arg(nombre).arg(m[0]).arg(m[1]).arg(m[2]).arg(m[3]);
        }
        QCOMPARE(medido, esperado);
        // The window takes its panel's size; the grid's code column stays 900 twips wide.
        QCOMPARE(QSize(v->Width(), v->Height()), QSize(v->PicProvincias->Width(), v->PicProvincias->Height()));
        QCOMPARE(v->LinProvincias->ColWidth(0), 900);
        QCOMPARE(v->LblCodigo->Font().Size(), puntosEtiqueta);
    }
};

QTEST_MAIN(PruebaVentanaProvincias)
#include "tst_VentanaProvincias.moc"
