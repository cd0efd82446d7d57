// quiltren-demo: the demo host of the province component.

#include "host/Anfitrion.h"
#include "host/Captura.h"
#include "server/CrearObjeto.h"
#include "data/ErrorDatos.h"
#include "server/ErrorServidor.h"
#include "host/ListadoSinVentana.h"
#include "tramacor/MensajesQt.h"
#include "host/OpcionesDemo.h"
#include "tramacor/TraduccionesQt.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QTextStream>
#include <QTimer>

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// How long the windows get to show and paint before --captura takes the picture.
constexpr int EsperaCaptura = 1500;

QStringList Argumentos(int argc, char** argv)
{
    QStringList argumentos;
    for (int i = 1; i < argc; ++i)
        argumentos.append(QString::fromLocal8Bit(argv[i]));
    return argumentos;
}

int MostrarVersion(int argc, char** argv)
{
    QCoreApplication aplicacion(argc, argv);
    const QString ruta = Anfitrion::RutaComponentePredeterminada();
    try {
        const DatosVersion datos = LeerVersion(ruta);
        QTextStream(stdout) << TextoVersion(datos.Version, datos.Locale) << Qt::endl;
        return 0;
    } catch (const ErrorServidor& error) {
        QTextStream(stderr) << QStringLiteral("No se pudo leer la versión de %1: %2")
                                   .arg(QDir::toNativeSeparators(ruta), error.Descripcion())
                            << Qt::endl;
        return 1;
    }
}

// Without a login session (root in a container, a service, ssh without PAM) the environment names no
// runtime folder, and Qt would warn and fall back to /tmp/runtime-USER. That folder is made here
// the way a session would make it, private to the account, so every start is quiet; one that exists
// with the wrong owner or permissions is left alone, and Qt then says what is wrong with it.
void PrepararCarpetaDeEjecucion()
{
    if (!qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR"))
        return;
    const passwd* cuenta = getpwuid(geteuid());
    if (!cuenta || !cuenta->pw_name)
        return;
    const QByteArray carpeta = QFile::encodeName(QDir::tempPath()) + "/runtime-" + cuenta->pw_name;
    mkdir(carpeta.constData(), 0700);
    struct stat datos {};
    if (lstat(carpeta.constData(), &datos) == 0 && S_ISDIR(datos.st_mode) && datos.st_uid == geteuid()
        && (datos.st_mode & 0777) == 0700)
        qputenv("XDG_RUNTIME_DIR", carpeta);
}

} // namespace

int main(int argc, char** argv)
{
    const OpcionesDemo opciones = LeerOpciones(Argumentos(argc, argv));
    if (!opciones.Error.isEmpty()) {
        QTextStream(stderr) << opciones.Error << Qt::endl;
        return 2;
    }
    if (opciones.Ayuda) {
        QTextStream(stdout) << TextoAyuda();
        return 0;
    }
    if (opciones.Version)
        return MostrarVersion(argc, argv);

    const bool sinVentanas = !opciones.Listado.isEmpty() || !opciones.Impresora.isEmpty() || opciones.Impresoras;
    if (sinVentanas && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY")
        && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");

    PrepararCarpetaDeEjecucion();
    QApplication aplicacion(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Quiltren"));
    QCoreApplication::setApplicationName(QStringLiteral("quiltren-demo"));
    QGuiApplication::setApplicationDisplayName(QStringLiteral("Quiltren"));
    QApplication::setQuitOnLastWindowClosed(false);
    if (!CargarTraduccionesQt())
        QTextStream(stderr) << QStringLiteral("Aviso: no están instaladas las traducciones de Qt al español "
                                              "(paquete qt6-translations-l10n); sus diálogos se verán en inglés.")
                            << Qt::endl;

    if (opciones.Impresoras)
        return MostrarImpresoras();
    if (!opciones.Impresora.isEmpty() && !ExisteImpresora(opciones.Impresora)) {
        QTextStream(stderr) << QStringLiteral("No existe la impresora «%1». Use --impresoras para ver las que hay.")
                                   .arg(opciones.Impresora)
                            << Qt::endl;
        return 2;
    }

    // A listing only reads: a mistyped path must not leave a new database behind and print its
    // sample provinces as if they were the user's.
    if (sinVentanas && !opciones.Base.isEmpty() && !opciones.Base.startsWith(QLatin1String("postgres"), Qt::CaseInsensitive)
        && !QFileInfo::exists(opciones.Base)) {
        QTextStream(stderr) << QStringLiteral("No se pudo abrir la base de datos: no existe el archivo %1.").arg(QDir::toNativeSeparators(opciones.Base))
                            << Qt::endl;
        return 1;
    }

    Anfitrion::Configuracion configuracion;
    configuracion.Base = opciones.Base;
    configuracion.AnchoBase = opciones.AnchoBase;
    configuracion.AltoBase = opciones.AltoBase;
    Anfitrion anfitrion(configuracion);

    try {
        anfitrion.AbrirBase();
    } catch (const ErrorDatos& error) {
        const QString texto = QStringLiteral("No se pudo abrir la base de datos.\n\nError %1: %2")
                                  .arg(error.Number()).arg(error.Description());
        if (sinVentanas)
            QTextStream(stderr) << texto << Qt::endl;
        else
            MensajesQt().MostrarMensaje(texto, EstiloMensaje::IconoCritico, QStringLiteral("Error"));
        return 1;
    }

    if (sinVentanas)
        return ImprimirListadoSinVentana(opciones, anfitrion.Conexion());

    anfitrion.Iniciar();
    QObject::connect(&anfitrion, &Anfitrion::SalidaPedida, &aplicacion, [&anfitrion] {
        anfitrion.Terminar();
        QCoreApplication::quit();
    });
    // The maintenance window opens at once, as if the user had chosen Maestros > Provincias.
    QTimer::singleShot(0, &anfitrion, [&anfitrion] { anfitrion.AbrirProvincias(); });

    if (!opciones.Captura.isEmpty()) {
        QTimer::singleShot(EsperaCaptura, &aplicacion, [&opciones] {
            const QImage imagen = CapturarPantalla();
            if (imagen.isNull() || !imagen.save(opciones.Captura, "PNG")) {
                QTextStream(stderr) << QStringLiteral("No se pudo guardar la captura en %1")
                                           .arg(QDir::toNativeSeparators(opciones.Captura))
                                    << Qt::endl;
                QCoreApplication::exit(1);
                return;
            }
            QCoreApplication::exit(0);
        });
    }

    const int resultado = aplicacion.exec();
    anfitrion.Terminar();
    LiberarBibliotecasSinUso();
    return resultado;
}
