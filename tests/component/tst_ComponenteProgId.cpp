// The component as a host sees it: registered in the class registry, created by its ProgID from
// libquiltren.so, and unloadable only when nothing of it is alive.

#include "CodigosServidor.h"
#include "CrearObjeto.h"
#include "EsquemaProvincias.h"
#include "ErrorEjecucion.h"
#include "ErrorServidor.h"
#include "ExportacionesServidor.h"
#include "InterfazClassProvincias.h"
#include "RegistroClases.h"
#include "UtilidadesAnfitrion.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>
#include <dlfcn.h>

namespace {

const QString ProgId = QStringLiteral("Quiltren.ClassProvincias");

QString Componente()
{
    return QFileInfo(QStringLiteral(RUTA_QUILTREN)).canonicalFilePath();
}

int VentanasFicha()
{
    int n = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
        n += (w->objectName() == QLatin1String("FrmProvincias") && qobject_cast<Form*>(w)) ? 1 : 0;
    return n;
}

} // namespace

class TestComponenteProgId : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanupTestCase();
    void version();
    void registrarYDesregistrar();
    void sinRegistrar();
    void crearYDescargar();
    void ocultarAntesDeCargar();
    void cargarDosVeces();
    void ventanaAbiertaImpideDescarga();

private:
    int PuedeDescargarse() const { return dllCanUnloadNow_(); }
    std::shared_ptr<IUtilidades> Utilidades();
    void Descartar() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

    QTemporaryDir carpeta_;
    void* biblioteca_ = nullptr;
    TipoDllCanUnloadNow dllCanUnloadNow_ = nullptr;
    ConnectionPtr conexion_;
    Form* ubicacion_ = nullptr;
    Form* principal_ = nullptr;
};

void TestComponenteProgId::initTestCase()
{
    QVERIFY(carpeta_.isValid());
    QVERIFY2(!qEnvironmentVariableIsEmpty("QUILTREN_REGISTRO"), "cada prueba usa su propio registro");
    QFile::remove(RegistroClases::RutaPredeterminada());
    biblioteca_ = dlopen(QFile::encodeName(Componente()).constData(), RTLD_NOW | RTLD_LOCAL);
    QVERIFY2(biblioteca_, dlerror());
    dllCanUnloadNow_ = reinterpret_cast<TipoDllCanUnloadNow>(dlsym(biblioteca_, "DllCanUnloadNow"));
    QVERIFY(dllCanUnloadNow_);
    conexion_ = AbrirBaseProvincias(carpeta_.filePath(QStringLiteral("progid.sqlite")));
    ubicacion_ = new Form(QStringLiteral("FormUbicacion"));
    ubicacion_->Move(600, 480, 300, 300);
    principal_ = new Form(QStringLiteral("FormPrincipal"));
}

void TestComponenteProgId::init()
{
    RegistrarBiblioteca(Componente());
}

void TestComponenteProgId::cleanupTestCase()
{
    delete ubicacion_;
    delete principal_;
}

std::shared_ptr<IUtilidades> TestComponenteProgId::Utilidades()
{
    UtilidadesAnfitrion::Datos datos;
    datos.Conexion = conexion_;
    datos.Ubicacion = ubicacion_;
    datos.Principal = principal_;
    datos.Usuario = QStringLiteral("prueba");
    return std::make_shared<UtilidadesAnfitrion>(datos);
}

void TestComponenteProgId::version()
{
    const DatosVersion datos = LeerVersion(Componente());
    QCOMPARE(datos.Version, QStringLiteral("1.00.0051"));
    QCOMPARE(datos.Locale, QStringLiteral("es-ES"));
}

void TestComponenteProgId::registrarYDesregistrar()
{
    const std::optional<EntradaClase> entrada = RegistroClases().Buscar(ProgId);
    QVERIFY(entrada);
    QCOMPARE(QFileInfo(entrada->Biblioteca).canonicalFilePath(), Componente());
    QCOMPARE(entrada->Clase, QStringLiteral("ClassProvincias"));
    QCOMPARE(entrada->Version, QStringLiteral("1.00.0051"));

    DesregistrarBiblioteca(Componente());
    QVERIFY(!RegistroClases().Buscar(ProgId));
    // Registering again gives the same single entry.
    RegistrarBiblioteca(Componente());
    RegistrarBiblioteca(Componente());
    int entradas = 0;
    for (const EntradaClase& e : RegistroClases().Entradas())
        entradas += e.ProgId == ProgId ? 1 : 0;
    QCOMPARE(entradas, 1);
}

void TestComponenteProgId::sinRegistrar()
{
    DesregistrarBiblioteca(Componente());
    try {
        CrearObjeto(ProgId);
        QFAIL("la clase no está registrada");
    } catch (const ErrorServidor& error) {
        QCOMPARE(error.Numero(), CodigoServidor::ClaseNoRegistrada);
        QVERIFY(error.Descripcion().contains(ProgId));
    }
}

void TestComponenteProgId::crearYDescargar()
{
    QCOMPARE(PuedeDescargarse(), CodigoServidor::Correcto);
    std::shared_ptr<QObject> objeto = CrearObjeto(ProgId);
    QVERIFY(qobject_cast<_ClassProvincias*>(objeto.get()));
    QCOMPARE(PuedeDescargarse(), CodigoServidor::Falso);
    std::shared_ptr<QObject> otro = CrearObjeto(ProgId);
    QVERIFY(otro != objeto);
    objeto.reset();
    QCOMPARE(PuedeDescargarse(), CodigoServidor::Falso);
    otro.reset();
    QCOMPARE(PuedeDescargarse(), CodigoServidor::Correcto);

    // Windows of the host, built on the same runtime, are not the component's.
    Form anfitriona(QStringLiteral("Anfitriona"));
    anfitriona.Show();
    QCOMPARE(PuedeDescargarse(), CodigoServidor::Correcto);
}

void TestComponenteProgId::cargarDosVeces()
{
    std::shared_ptr<QObject> objeto = CrearObjeto(ProgId);
    auto* clase = qobject_cast<_ClassProvincias*>(objeto.get());
    auto primeras = Utilidades();
    clase->Cargar(primeras);
    QCOMPARE(VentanasFicha(), 1);
    auto segundas = Utilidades();
    clase->Cargar(segundas);
    QCOMPARE(VentanasFicha(), 1);
    // The library let the first utilities object go: only the test holds it now.
    QCOMPARE(primeras.use_count(), 1L);
    QVERIFY(segundas.use_count() > 1);
    clase->Cerrar();
    Descartar();
    QCOMPARE(VentanasFicha(), 0);
}

void TestComponenteProgId::ocultarAntesDeCargar()
{
    std::shared_ptr<QObject> objeto = CrearObjeto(ProgId);
    auto* clase = qobject_cast<_ClassProvincias*>(objeto.get());
    // No Cargar has run in this process yet: the window's load finds no FormUbicacion.
    try {
        clase->Ocultar();
        QFAIL("Ocultar debía fallar");
    } catch (const ErrorEjecucion& error) {
        QCOMPARE(error.Number(), 91);
    }
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == QLatin1String("FrmProvincias"))
            QVERIFY(!w->isVisible());
    clase->Cerrar();
    Descartar();
}

void TestComponenteProgId::ventanaAbiertaImpideDescarga()
{
    std::shared_ptr<QObject> objeto = CrearObjeto(ProgId);
    auto* clase = qobject_cast<_ClassProvincias*>(objeto.get());
    auto utiles = Utilidades();
    clase->Cargar(utiles);
    objeto.reset();
    // No object, but its window is open.
    QCOMPARE(PuedeDescargarse(), CodigoServidor::Falso);

    objeto = CrearObjeto(ProgId);
    qobject_cast<_ClassProvincias*>(objeto.get())->Cerrar();
    objeto.reset();
    Descartar();
    QCOMPARE(VentanasFicha(), 0);
    QCOMPARE(PuedeDescargarse(), CodigoServidor::Correcto);
}

QTEST_MAIN(TestComponenteProgId)
#include "tst_ComponenteProgId.moc"
