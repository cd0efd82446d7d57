// What the public class does with its window: Cargar, Ocultar and Cerrar on a window with a
// default instance, with the host's data and failures.

#include "DatosComunes.h"
#include "EsquemaProvincias.h"
#include "Falsos.h"
#include "InstanciaPredeterminada.h"
#include "TextBox.h"
#include "VentanaComponente.h"

#include <QTemporaryDir>
#include <QtTest>

namespace {

// Loads as the maintenance window does: copies FormUbicacion's position and reads the texts.
class VentanaFicha : public Form
{
public:
    VentanaFicha() : Form(QStringLiteral("VentanaFicha"))
    {
        Move(0, 0, 6000, 4000);
        codigo = new TextBox(this, QStringLiteral("TxtCodigo"));
        codigo->Move(100, 100, 1000, 400);
    }

    static inline int Cargas = 0;
    static inline int Descargas = 0;
    TextBox* codigo;

protected:
    void Form_Load() override
    {
        ++Cargas;
        setTop(ObjetoEstablecido(DatosComunes::FormUbicacion).Top());
        setLeft(DatosComunes::FormUbicacion->Left());
        codigo->setText(DatosComunes::Textos->Fields(QStringLiteral("Codigo")).Value().toString());
    }
    void Form_Unload(int& Cancel) override
    {
        Q_UNUSED(Cancel);
        ++Descargas;
    }
};

using Ficha = InstanciaPredeterminada<VentanaFicha>;

} // namespace

class TestClaseComponente : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void cargarDosVeces();
    void falloDelAnfitrion();
    void ocultarAntesDeCargar();
    void ocultarYVolver();
    void cerrarYCargarDeNuevo();

private:
    std::shared_ptr<UtilidadesFalsas> NuevasUtilidades();
    void Descartar();

    QTemporaryDir carpeta_;
    ConnectionPtr conexion_;
    Form* ubicacion_ = nullptr;
    Form* principal_ = nullptr;
};

void TestClaseComponente::init()
{
    QVERIFY(carpeta_.isValid());
    conexion_ = AbrirBaseProvincias(carpeta_.filePath(QStringLiteral("clase.sqlite")));
    ubicacion_ = new Form(QStringLiteral("FormUbicacion"));
    ubicacion_->Move(1500, 900, 300, 300);
    principal_ = new Form(QStringLiteral("FormPrincipal"));
    VentanaFicha::Cargas = VentanaFicha::Descargas = 0;
    DatosComunes::Liberar();
}

void TestClaseComponente::cleanup()
{
    if (Ficha::Existe())
        Ficha::Obtener()->Unload();
    Descartar();
    DatosComunes::Liberar();
    delete ubicacion_;
    delete principal_;
}

void TestClaseComponente::Descartar()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

std::shared_ptr<UtilidadesFalsas> TestClaseComponente::NuevasUtilidades()
{
    auto utiles = std::make_shared<UtilidadesFalsas>();
    utiles->Conexion = conexion_;
    utiles->SentenciaTextos = SentenciaTextos();
    utiles->Ubicacion = ubicacion_;
    utiles->Principal = principal_;
    return utiles;
}

void TestClaseComponente::cargarDosVeces()
{
    auto primeras = NuevasUtilidades();
    std::shared_ptr<IUtilidades> datos = primeras;
    VentanaComponente::Cargar<VentanaFicha>(datos);
    VentanaFicha* ventana = Ficha::Obtener();
    QVERIFY(ventana->isVisible());
    QCOMPARE(ventana->Top(), 900);
    QCOMPARE(ventana->Left(), 1500);
    QCOMPARE(ventana->codigo->Text(), QStringLiteral("Código"));

    auto segundas = NuevasUtilidades();
    segundas->Usuario = QStringLiteral("segundo");
    std::shared_ptr<IUtilidades> otros = segundas;
    VentanaComponente::Cargar<VentanaFicha>(otros);

    QCOMPARE(Ficha::Obtener(), ventana);
    QCOMPARE(VentanaFicha::Cargas, 1);
    QCOMPARE(primeras->LlamadasObtenerDatos, 1);
    QCOMPARE(segundas->LlamadasObtenerDatos, 1);
    QCOMPARE(DatosComunes::Utiles, otros);
    QCOMPARE(DatosComunes::Usuario, QStringLiteral("segundo"));
    QCOMPARE(primeras.use_count(), 2L); // the test's two references: the library let it go
    int ventanas = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
        ventanas += dynamic_cast<VentanaFicha*>(w) ? 1 : 0;
    QCOMPARE(ventanas, 1);
}

void TestClaseComponente::falloDelAnfitrion()
{
    auto utiles = NuevasUtilidades();
    utiles->FallarTrasValores = 3;
    std::shared_ptr<IUtilidades> datos = utiles;
    try {
        VentanaComponente::Cargar<VentanaFicha>(datos);
        QFAIL("Cargar debía fallar");
    } catch (const ErrorEjecucion& error) {
        QCOMPARE(error.Number(), 5);
    }
    QCOMPARE(DatosComunes::Utiles, datos);
    QVERIFY(DatosComunes::FormUbicacion.isNull());
    QCOMPARE(DatosComunes::Dato3, QVariant(3));
    QVERIFY(!DatosComunes::Dato4.isValid());
    QVERIFY(!Ficha::Existe());
    QCOMPARE(VentanaFicha::Cargas, 0);
}

void TestClaseComponente::ocultarAntesDeCargar()
{
    try {
        VentanaComponente::Ocultar<VentanaFicha>();
        QFAIL("Ocultar debía fallar");
    } catch (const ErrorEjecucion& error) {
        QCOMPARE(error.Number(), 91);
        QCOMPARE(error.Description(), QStringLiteral("Variable de objeto o bloque With no establecido"));
    }
    QCOMPARE(VentanaFicha::Cargas, 1);
    QVERIFY(Ficha::Existe());
    QVERIFY(!Ficha::Obtener()->Loaded());
    QVERIFY(!Ficha::Obtener()->isVisible());
}

void TestClaseComponente::ocultarYVolver()
{
    std::shared_ptr<IUtilidades> datos = NuevasUtilidades();
    VentanaComponente::Cargar<VentanaFicha>(datos);
    VentanaFicha* ventana = Ficha::Obtener();
    ventana->codigo->setText(QStringLiteral("28"));
    VentanaComponente::Ocultar<VentanaFicha>();
    QVERIFY(!ventana->isVisible());
    QVERIFY(ventana->Loaded());
    VentanaComponente::Cargar<VentanaFicha>(datos);
    QVERIFY(ventana->isVisible());
    QCOMPARE(ventana->codigo->Text(), QStringLiteral("28"));
    QCOMPARE(VentanaFicha::Cargas, 1);
}

void TestClaseComponente::cerrarYCargarDeNuevo()
{
    std::shared_ptr<IUtilidades> datos = NuevasUtilidades();
    VentanaComponente::Cargar<VentanaFicha>(datos);
    QPointer<VentanaFicha> primera = Ficha::Obtener();
    VentanaComponente::Cerrar<VentanaFicha>();
    QCOMPARE(VentanaFicha::Descargas, 1);
    QVERIFY(!Ficha::Existe());
    Descartar();
    QVERIFY(primera.isNull());

    VentanaComponente::Cargar<VentanaFicha>(datos);
    QCOMPARE(VentanaFicha::Cargas, 2);
    QVERIFY(Ficha::Obtener()->isVisible());
}

QTEST_MAIN(TestClaseComponente)
#include "tst_ClaseComponente.moc"
