// The component as a host sees it: registered in the class registry, created by its ProgID from
// libquiltren.so, its window shown, hidden and closed, and unloadable only when nothing of it is
// alive. The test also links the library, to look at the data it keeps from its host.

#include "CodigosServidor.h"
#include "CrearObjeto.h"
#include "DatosComunes.h"
#include "EsquemaProvincias.h"
#include "ErrorServidor.h"
#include "ExportacionesServidor.h"
#include "Falsos.h"
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

QList<Form*> Fichas()
{
    QList<Form*> fichas;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == QLatin1String("FrmProvincias"))
            fichas.append(qobject_cast<Form*>(w));
    return fichas;
}

void Descartar()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace

class TestComponenteProgId : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanupTestCase();
    void registro();
    void crearYDescargar();
    void ocultarAntesDeCargar();
    void falloDelAnfitrion();
    void cargarDosVeces();
    void cerrarYCargarDeNuevo();
    void ventanaAbiertaImpideDescarga();

private:
    _ClassProvincias* Clase();
    std::shared_ptr<IUtilidades> Utilidades();

    QTemporaryDir carpeta_;
    TipoDllCanUnloadNow dllCanUnloadNow_ = nullptr;
    std::shared_ptr<QObject> objeto_;
    ConnectionPtr conexion_;
    Form* ubicacion_ = nullptr;
    Form* principal_ = nullptr;
};

void TestComponenteProgId::initTestCase()
{
    QVERIFY(carpeta_.isValid());
    QVERIFY2(!qEnvironmentVariableIsEmpty("QUILTREN_REGISTRO"), "cada prueba usa su propio registro");
    QFile::remove(RegistroClases::RutaPredeterminada());
    void* biblioteca = dlopen(QFile::encodeName(Componente()).constData(), RTLD_NOW | RTLD_LOCAL);
    QVERIFY2(biblioteca, dlerror());
    dllCanUnloadNow_ = reinterpret_cast<TipoDllCanUnloadNow>(dlsym(biblioteca, "DllCanUnloadNow"));
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
    objeto_.reset();
    delete ubicacion_;
    delete principal_;
}

_ClassProvincias* TestComponenteProgId::Clase()
{
    if (!objeto_)
        objeto_ = CrearObjeto(ProgId);
    return qobject_cast<_ClassProvincias*>(objeto_.get());
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

void TestComponenteProgId::registro()
{
    const DatosVersion version = LeerVersion(Componente());
    QCOMPARE(version.Version, QStringLiteral("1.00.0051"));
    QCOMPARE(version.Locale, QStringLiteral("es-ES"));

    const std::optional<EntradaClase> entrada = RegistroClases().Buscar(ProgId);
    QVERIFY(entrada);
    QCOMPARE(QFileInfo(entrada->Biblioteca).canonicalFilePath(), Componente());
    QCOMPARE(entrada->Clase, QStringLiteral("ClassProvincias"));
    RegistrarBiblioteca(Componente());
    QCOMPARE(RegistroClases().Entradas().size(), 1);

    DesregistrarBiblioteca(Componente());
    QVERIFY(!RegistroClases().Buscar(ProgId));
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
    QCOMPARE(dllCanUnloadNow_(), CodigoServidor::Correcto);
    std::shared_ptr<QObject> objeto = CrearObjeto(ProgId);
    QVERIFY(qobject_cast<_ClassProvincias*>(objeto.get()));
    std::shared_ptr<QObject> otro = CrearObjeto(ProgId);
    QVERIFY(otro != objeto);
    objeto.reset();
    QCOMPARE(dllCanUnloadNow_(), CodigoServidor::Falso);
    otro.reset();
    QCOMPARE(dllCanUnloadNow_(), CodigoServidor::Correcto);
    // Windows of the host, built on the same runtime, are not the component's.
    Form anfitriona(QStringLiteral("Anfitriona"));
    anfitriona.Show();
    QCOMPARE(dllCanUnloadNow_(), CodigoServidor::Correcto);
}

void TestComponenteProgId::ocultarAntesDeCargar()
{
    // No Cargar has run in this process yet: the window's load finds no FormUbicacion.
    try {
        Clase()->Ocultar();
        QFAIL("Ocultar debía fallar");
    } catch (const ErrorEjecucion& error) {
        QCOMPARE(error.Number(), 91);
    }
    QCOMPARE(Fichas().size(), 1);
    QVERIFY(!Fichas().first()->isVisible());
    QVERIFY(!Fichas().first()->Loaded());
}

void TestComponenteProgId::falloDelAnfitrion()
{
    auto falsas = std::make_shared<UtilidadesFalsas>();
    falsas->Conexion = conexion_;
    falsas->Ubicacion = ubicacion_;
    falsas->FallarTrasValores = 3;
    std::shared_ptr<IUtilidades> utiles = falsas;
    try {
        Clase()->Cargar(utiles);
        QFAIL("Cargar debía fallar");
    } catch (const ErrorEjecucion& error) {
        QCOMPARE(error.Number(), 5);
    }
    // Utiles is already replaced, what the host wrote stays, the windows keep their values.
    QCOMPARE(DatosComunes::Utiles, utiles);
    QCOMPARE(DatosComunes::Dato3, QVariant(3));
    QVERIFY(!DatosComunes::Dato4.isValid());
    QVERIFY(DatosComunes::FormUbicacion.isNull());
    for (Form* ficha : Fichas())
        QVERIFY(!ficha->isVisible());
}

void TestComponenteProgId::cargarDosVeces()
{
    auto primeras = Utilidades();
    Clase()->Cargar(primeras);
    QCOMPARE(Fichas().size(), 1);
    Form* ficha = Fichas().first();
    QVERIFY(ficha->isVisible());
    QCOMPARE(ficha->Top(), 480);
    QCOMPARE(ficha->Left(), 600);

    auto segundas = Utilidades();
    Clase()->Cargar(segundas);
    QCOMPARE(Fichas(), QList<Form*>{ficha});
    QCOMPARE(DatosComunes::Utiles, segundas);
    QCOMPARE(primeras.use_count(), 1L);   // the library let the first object go
    QCOMPARE(DatosComunes::Usuario, QStringLiteral("prueba"));
}

void TestComponenteProgId::cerrarYCargarDeNuevo()
{
    auto utiles = Utilidades();
    Clase()->Cargar(utiles);
    QPointer<Form> primera = Fichas().first();
    Clase()->Ocultar();
    QVERIFY(!primera->isVisible() && primera->Loaded());
    Clase()->Cerrar();
    Descartar();
    QVERIFY(primera.isNull());
    QVERIFY(Fichas().isEmpty());
    // The next Cargar loads a new window.
    Clase()->Cargar(utiles);
    QCOMPARE(Fichas().size(), 1);
    QVERIFY(Fichas().first()->isVisible());
}

void TestComponenteProgId::ventanaAbiertaImpideDescarga()
{
    auto utiles = Utilidades();
    Clase()->Cargar(utiles);
    objeto_.reset();
    // No object, but its window is open.
    QCOMPARE(dllCanUnloadNow_(), CodigoServidor::Falso);
    Clase()->Cerrar();
    objeto_.reset();
    Descartar();
    QCOMPARE(dllCanUnloadNow_(), CodigoServidor::Correcto);
}

QTEST_MAIN(TestComponenteProgId)
#include "tst_ComponenteProgId.moc"
