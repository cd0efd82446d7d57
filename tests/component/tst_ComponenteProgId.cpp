// The component as a host sees it: created by its ProgID from libquiltren.so, its window shown,
// hidden and closed, and unloadable only when nothing of it is alive. The test also links the
// library, to look at the data it keeps from its host.

#include "server/CrearObjeto.h"
#include "component/DatosComunes.h"
#include "data/EsquemaProvincias.h"
#include "server/ExportacionesServidor.h"
#include "component/InterfazClassProvincias.h"
#include "server/RegistroClases.h"
#include "tramacor/UtilidadesAnfitrion.h"

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

} // namespace

class TestComponenteProgId : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir carpeta_;
    TipoDllCanUnloadNow dllCanUnloadNow_ = nullptr;
    std::shared_ptr<QObject> objeto_;
    ConnectionPtr conexion_;
    std::unique_ptr<Form> ubicacion_, principal_;

    _ClassProvincias* Clase()
    {
        if (!objeto_)
            objeto_ = CrearObjeto(ProgId);
        return qobject_cast<_ClassProvincias*>(objeto_.get());
    }

    std::shared_ptr<IUtilidades> Utilidades()
    {
        UtilidadesAnfitrion::Datos datos;
        datos.Conexion = conexion_;
        datos.Ubicacion = ubicacion_.get();
        datos.Principal = principal_.get();
        datos.Usuario = QStringLiteral("prueba");
        return std::make_shared<UtilidadesAnfitrion>(datos);
    }

private slots:
    void initTestCase()
    {
        QVERIFY2(!qEnvironmentVariableIsEmpty("QUILTREN_REGISTRO"), "cada prueba usa su propio registro");
        QFile::remove(RegistroClases::RutaPredeterminada());
        void* biblioteca = dlopen(QFile::encodeName(Componente()).constData(), RTLD_NOW | RTLD_LOCAL);
        QVERIFY2(biblioteca, dlerror());
        dllCanUnloadNow_ = reinterpret_cast<TipoDllCanUnloadNow>(dlsym(biblioteca, "DllCanUnloadNow"));
        QVERIFY(dllCanUnloadNow_);
        conexion_ = AbrirBaseProvincias(carpeta_.filePath(QStringLiteral("progid.sqlite")));
        ubicacion_ = std::make_unique<Form>(QStringLiteral("FormUbicacion"));
        ubicacion_->Move(600, 480, 300, 300);
        principal_ = std::make_unique<Form>(QStringLiteral("FormPrincipal"));
    }

    void init() { RegistrarBiblioteca(Componente()); }
    void cleanupTestCase() { objeto_.reset(); }

    void crearYDescargar()
    {
        QCOMPARE(dllCanUnloadNow_(), 0);
        std::shared_ptr<QObject> objeto = CrearObjeto(ProgId);
        QVERIFY(qobject_cast<_ClassProvincias*>(objeto.get()));
        std::shared_ptr<QObject> otro = CrearObjeto(ProgId);
        objeto.reset();
        QCOMPARE(dllCanUnloadNow_(), 1);
        otro.reset();
        QCOMPARE(dllCanUnloadNow_(), 0);
        // Windows of the host, built on the same runtime, are not the component's.
        Form anfitriona(QStringLiteral("Anfitriona"));
        anfitriona.Show();
        QCOMPARE(dllCanUnloadNow_(), 0);
    }

    void ocultarAntesDeCargar()
    {
        // No Cargar has run in this process yet: the window's load finds no FormUbicacion.
        try {
            Clase()->Ocultar();
            QFAIL("Ocultar debía fallar");
        } catch (const ErrorEjecucion& error) {
            QCOMPARE(error.Number(), 91);
        }
        QCOMPARE(Fichas().size(), 1);
        QVERIFY(!Fichas().first()->isVisible() && !Fichas().first()->Loaded());
    }

    void cargarDosVecesYCerrar()
    {
        auto primeras = Utilidades();
        Clase()->Cargar(primeras);
        QCOMPARE(Fichas().size(), 1);
        QPointer<Form> ficha = Fichas().first();
        QVERIFY(ficha->isVisible());
        QCOMPARE(QPoint(ficha->Left(), ficha->Top()), QPoint(600, 480));

        auto segundas = Utilidades();
        Clase()->Cargar(segundas);
        QCOMPARE(Fichas(), QList<Form*>{ficha.data()});
        QCOMPARE(Comunes().Utiles, segundas);
        QCOMPARE(primeras.use_count(), 1L);   // the library let the first object go

        Clase()->Ocultar();
        QVERIFY(!ficha->isVisible() && ficha->Loaded());
        // No object left, but its window is open: the library must stay.
        objeto_.reset();
        QCOMPARE(dllCanUnloadNow_(), 1);
        Clase()->Cerrar();
        objeto_.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(ficha.isNull() && Fichas().isEmpty());
        QCOMPARE(dllCanUnloadNow_(), 0);
        // The next Cargar loads a new window.
        Clase()->Cargar(segundas);
        QCOMPARE(Fichas().size(), 1);
        QVERIFY(Fichas().first()->isVisible());
    }
};

QTEST_MAIN(TestComponenteProgId)
#include "tst_ComponenteProgId.moc"
