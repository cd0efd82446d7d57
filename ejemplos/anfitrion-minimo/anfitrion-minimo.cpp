// anfitrion-minimo: the smallest host of the province component, built against an installed
// Quiltren. It opens (or creates) an SQLite database, creates Quiltren.ClassProvincias by its
// ProgID, hands it the host utilities and shows its window until the user closes it.
//
//   anfitrion-minimo BASE.sqlite [--prueba]
//
// With --prueba it runs Cargar, Ocultar and Cerrar by itself and ends with 0 only when every
// step succeeded and the component could be unloaded afterwards.

#include <quiltren/CrearObjeto.h>
#include <quiltren/EsquemaProvincias.h>
#include <quiltren/Form.h>
#include <quiltren/FuncionesQt.h>
#include <quiltren/InterfazClassProvincias.h>
#include <quiltren/UtilidadesAnfitrion.h>

#include <QApplication>
#include <QTextStream>
#include <QTimer>

#include <exception>
#include <stdexcept>
#include <functional>

namespace {

// The default functions of the host utilities, plus one thing of this host: it ends when the
// component's window is unloaded (the window hands itself to LiberarFormulario as it goes).
class FuncionesAnfitrion : public FuncionesQt
{
public:
    void LiberarFormulario(QObject*& Ventana) override
    {
        const auto* ventana = qobject_cast<Form*>(Ventana);
        if (ventana && ventana->Name() == QLatin1String("FrmProvincias"))
            QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        FuncionesQt::LiberarFormulario(Ventana);
    }
};

// Runs one step and says how it went; false when it failed.
bool Paso(const QString& nombre, const std::function<void()>& paso)
{
    try {
        paso();
        QTextStream(stdout) << nombre << ": correcto" << Qt::endl;
        return true;
    } catch (const std::exception& error) {
        QTextStream(stderr) << nombre << ": " << QString::fromUtf8(error.what()) << Qt::endl;
        return false;
    }
}

} // namespace

int main(int argc, char** argv)
{
    QApplication aplicacion(argc, argv);
    QStringList argumentos = QCoreApplication::arguments().mid(1);
    const bool prueba = argumentos.removeAll(QStringLiteral("--prueba")) > 0;
    if (argumentos.size() != 1) {
        QTextStream(stderr) << "Uso: anfitrion-minimo BASE.sqlite [--prueba]" << Qt::endl;
        return 2;
    }
    Tramacor::FijarFunciones(std::make_shared<FuncionesAnfitrion>());

    // The host's two windows: the component opens at the position of the first and refers to
    // the second as the host's main window. Neither needs to be shown.
    Form ubicacion(QStringLiteral("FormUbicacion"));
    Form principal(QStringLiteral("FormPrincipal"));
    UtilidadesAnfitrion::Datos datos;
    datos.Ubicacion = &ubicacion;
    datos.Principal = &principal;
    datos.Usuario = UtilidadesAnfitrion::UsuarioDelSistema();
    std::shared_ptr<IUtilidades> utiles;
    std::shared_ptr<QObject> objeto;
    _ClassProvincias* clase = nullptr;

    bool correcto = Paso(QStringLiteral("Base de datos"), [&] {
        datos.Conexion = AbrirBaseProvincias(argumentos.first());
        utiles = std::make_shared<UtilidadesAnfitrion>(datos);
    });
    correcto = correcto && Paso(QStringLiteral("Crear la clase"), [&] {
        objeto = CrearObjeto(QStringLiteral("Quiltren.ClassProvincias"), VersionMayorClassProvincias);
        clase = qobject_cast<_ClassProvincias*>(objeto.get());
        if (!clase)
            throw std::runtime_error("el objeto creado no ofrece la interfaz _ClassProvincias");
    });
    correcto = correcto && Paso(QStringLiteral("Cargar"), [&] { clase->Cargar(utiles); });
    if (correcto && prueba)
        correcto = Paso(QStringLiteral("Ocultar"), [&] { clase->Ocultar(); });
    if (correcto && !prueba)
        aplicacion.exec();
    if (clase)
        correcto = Paso(QStringLiteral("Cerrar"), [&] { clase->Cerrar(); }) && correcto;

    // Released and with its window gone, the component says it may be unloaded.
    objeto.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    if (clase)
        correcto = Paso(QStringLiteral("Descargar"), [] {
            if (LiberarBibliotecasSinUso() != 1)
                throw std::runtime_error("el componente sigue en uso y no se puede descargar");
        }) && correcto;
    return correcto ? 0 : 1;
}
