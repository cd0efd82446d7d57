// What the component keeps from its host (the common data), the scaling of a window's controls
// from the design screen to the current one, and the component as a host creates it by its ProgID
// from libquiltren.so. The province window's own layout at other screens is checked by the host's
// tests; here, the arithmetic, the combo box that window lacks, and the title bar.

#include "component/AjustarControles.h"
#include "controls/Barra.h"
#include "tests/apoyo/Apoyo.h"
#include "runtime/ComboBox.h"
#include "component/DatosComunes.h"
#include "data/EsquemaProvincias.h"
#include "tests/apoyo/Falsos.h"
#include "server/CrearObjeto.h"
#include "server/ExportacionesServidor.h"
#include "component/InterfazClassProvincias.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>
#include <dlfcn.h>

class TestDatosComunes : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir carpeta_;
    std::shared_ptr<UtilidadesFalsas> utiles_;
    QPointer<Form> ubicacionAnterior_, principalAnterior_;

private slots:
    void init()
    {
        Comunes().Liberar();
        utiles_ = std::make_shared<UtilidadesFalsas>();
        utiles_->Conexion = AbrirBaseProvincias(carpeta_.filePath(QStringLiteral("datos.sqlite")));
        utiles_->Ubicacion = new Form(QStringLiteral("FormUbicacion"));
        utiles_->Principal = new Form(QStringLiteral("FormPrincipal"));
        utiles_->Usuario = QStringLiteral("ana");
        Comunes().Utiles = utiles_;
        // What a former Cargar left behind.
        ubicacionAnterior_ = new Form(QStringLiteral("UbicacionAnterior"));
        principalAnterior_ = new Form(QStringLiteral("PrincipalAnterior"));
        Comunes().FormUbicacion = ubicacionAnterior_;
        Comunes().FormPrincipal = principalAnterior_;
        Comunes().AnchoBase = 1;
        Comunes().Usuario = QStringLiteral("anterior");
    }

    void cleanup()
    {
        Comunes().Liberar();
        for (QObject* o : {utiles_->Ubicacion.data(), utiles_->Principal.data(), static_cast<QObject*>(ubicacionAnterior_.data()),
                           static_cast<QObject*>(principalAnterior_.data())})
            delete o;
        utiles_.reset();
    }

    void falloParcial_data()
    {
        QTest::addColumn<bool>("falla");
        QTest::addColumn<int>("noVentana");   // position (6 or 7) given a non-window, or 0
        QTest::addColumn<int>("numero");
        QTest::newRow("todo y luego falla") << true << 0 << 5;
        QTest::newRow("posición 6 no es ventana") << false << 6 << 13;
        QTest::newRow("posición 7 no es ventana") << false << 7 << 13;
    }

    void falloParcial()
    {
        QFETCH(bool, falla);
        QFETCH(int, noVentana);
        QFETCH(int, numero);
        utiles_->Fallar = falla;
        QObject ajeno;
        QPointer<QObject>& destino = noVentana == 6 ? utiles_->Ubicacion : utiles_->Principal;
        const std::unique_ptr<QObject> apartada(noVentana ? destino.data() : nullptr);
        if (noVentana)
            destino = &ajeno;
        Form* ubicacionNueva = qobject_cast<Form*>(utiles_->Ubicacion.data());
        QCOMPARE(NumeroDeError([] { Comunes().CargarDatosComunes(); }), numero);
        // What the host wrote stays; the windows keep their former values, except that position 6
        // is stored before 7 is converted.
        QVERIFY(Comunes().Conexion);
        QCOMPARE(Comunes().Usuario, QStringLiteral("ana"));
        QCOMPARE(Comunes().FormUbicacion.data(), noVentana == 7 ? ubicacionNueva : ubicacionAnterior_.data());
        QCOMPARE(Comunes().FormPrincipal.data(), principalAnterior_.data());
        QCOMPARE(ubicacionAnterior_->Name(), QStringLiteral("UbicacionAnterior"));
    }

    void noEstablecido()
    {
        Comunes().Utiles.reset();
        const auto error = Capturar<ErrorEjecucion>([] { Comunes().CargarDatosComunes(); });
        QCOMPARE(error.value_or(ErrorEjecucion(0, {})).Number(), 91);
        QCOMPARE(error->Description(), QStringLiteral("Variable de objeto o bloque With no establecido"));
        QCOMPARE(Comunes().FormUbicacion.data(), ubicacionAnterior_.data());
        // A host window that is destroyed reads as unset, never as a dangling window.
        delete principalAnterior_.data();
        QVERIFY_THROWS_EXCEPTION(ErrorEjecucion, ObjetoEstablecido(Comunes().FormPrincipal));
    }

    void escalar_data()
    {
        QTest::addColumn<long>("valor");
        QTest::addColumn<long>("actual");
        QTest::addColumn<long>("base");
        QTest::addColumn<long>("esperado");
        QTest::addColumn<int>("error");
        // Three quarters of the base width: 750.75 is cut, never rounded.
        QTest::newRow("1001 a tres cuartos") << 1001L << 11520L << 15360L << 750L << 0;
        // The product is taken first: 90 × 7 ÷ 10 is 63, where 90 × (7 ÷ 10) would cut 62.999… to 62.
        QTest::newRow("producto primero") << 90L << 7L << 10L << 63L << 0;
        QTest::newRow("base cero") << 100L << 15360L << 0L << 0L << 11;
        QTest::newRow("desbordamiento") << 2000000000L << 15360L << 1L << 0L << 6;
    }

    void escalar()
    {
        QFETCH(long, valor);
        QFETCH(long, actual);
        QFETCH(long, base);
        QFETCH(long, esperado);
        QFETCH(int, error);
        long obtenido = 0;
        QCOMPARE(NumeroDeError([&] { obtenido = Escalado::Escalar(valor, actual, base); }), long(error));
        QCOMPARE(obtenido, esperado);
    }

    void comboYBarra()
    {
        Form ventana(QStringLiteral("VentanaEscala"));
        auto* barra = new Barra(&ventana, QStringLiteral("Barra1"));
        barra->Move(0, 0, 12015, 555);
        auto* lista = new ComboBox(&ventana, QStringLiteral("CbxOrden"));
        lista->Move(1000, 4000, 2000);
        lista->Font().setSize(12);
        // Three quarters as wide, half as high.
        AjustarControles(ventana.Controls(), 11520, 5760, 15360, 11520);
        // A combo box: left, top and width; its height is the one its (smaller) font gives.
        QCOMPARE(QList<int>({lista->Left(), lista->Top(), lista->Width()}), QList<int>({750, 2000, 1500}));
        QCOMPARE(lista->Font().Size(), 9.0);
        ComboBox referencia(&ventana, QStringLiteral("CbxReferencia"));
        referencia.Font().setSize(9);
        QCOMPARE(lista->Height(), referencia.Height());
        // The title bar keeps its design geometry.
        QCOMPARE(QList<int>({barra->Width(), barra->Height()}), QList<int>({12015, 555}));
    }
    // The library may be unloaded only when no object and no window of its own is alive (the host's
    // windows, built on the same runtime, do not count); a second Cargar shows the same window.
    void porProgId()
    {
        const QString componente = QFileInfo(QStringLiteral(RUTA_QUILTREN)).canonicalFilePath();
        QVERIFY2(!qEnvironmentVariableIsEmpty("QUILTREN_REGISTRO"), "cada prueba usa su propio registro");
        void* biblioteca = dlopen(QFile::encodeName(componente).constData(), RTLD_NOW | RTLD_LOCAL);
        QVERIFY2(biblioteca, dlerror());
        const auto enUso = reinterpret_cast<TipoDllCanUnloadNow>(dlsym(biblioteca, "DllCanUnloadNow"));
        RegistrarBiblioteca(componente);
        const auto fichas = [] {
            QList<QWidget*> fichas;
            for (QWidget* w : QApplication::topLevelWidgets())
                if (w->objectName() == QLatin1String("FrmProvincias"))
                    fichas << w;
            return fichas;
        };
        std::shared_ptr<QObject> objeto = CrearObjeto(QStringLiteral("Quiltren.ClassProvincias"));
        const auto clase = [&] { return qobject_cast<_ClassProvincias*>(objeto.get()); };
        std::shared_ptr<IUtilidades> primeras = utiles_, segundas = std::make_shared<UtilidadesFalsas>(*utiles_);
        clase()->Cargar(primeras);
        QPointer<QWidget> ficha = fichas().value(0);
        QVERIFY(ficha && ficha->isVisible());
        // The new host object replaces the first; a recordset kept from one call is handed to the next.
        Recordset* textos = Comunes().Textos.Referencia().get();
        clase()->Cargar(segundas);
        QCOMPARE(fichas(), QList<QWidget*>{ficha.data()});
        QCOMPARE(Comunes().Utiles, segundas);
        QCOMPARE(Comunes().Textos.Referencia().get(), textos);
        clase()->Ocultar();
        QVERIFY(!ficha->isVisible());
        objeto.reset();
        QCOMPARE(enUso(), 1);
        objeto = CrearObjeto(QStringLiteral("Quiltren.ClassProvincias"));
        clase()->Cerrar();
        objeto.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(ficha.isNull() && fichas().isEmpty());
        QCOMPARE(enUso(), 0);
        dlclose(biblioteca);
    }
};

QTEST_MAIN(TestDatosComunes)
#include "tst_DatosComunes.moc"
