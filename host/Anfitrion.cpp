#include "host/Anfitrion.h"

#include "server/CrearObjeto.h"
#include "data/ErrorDatos.h"
#include "runtime/ErrorEjecucion.h"
#include "server/ErrorServidor.h"
#include "data/EsquemaProvincias.h"
#include "component/InterfazClassProvincias.h"
#include "server/RegistroClases.h"
#include "runtime/Screen.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <cmath>

const QString Anfitrion::ProgId = QStringLiteral("Quiltren.ClassProvincias");

namespace {

// Size of the maintenance window as laid out for the design screen, in twips.
constexpr long AnchoFicha = 12146;
constexpr long AltoFicha = 10540;

// The maintenance window's size once it has scaled itself to this screen: in proportion to the
// screen, truncated to whole twips, unless the screen is exactly as wide as the design screen.
QSize TamanoFichaEscalada(long anchoBase, long altoBase)
{
    const long ancho = std::lrint(Screen::Width());
    const long alto = std::lrint(Screen::Height());
    if (Screen::Width() == double(anchoBase) || anchoBase <= 0 || altoBase <= 0)
        return QSize(int(AnchoFicha), int(AltoFicha));
    return QSize(int(std::trunc(double(AnchoFicha) * double(ancho) / double(anchoBase))),
                 int(std::trunc(double(AltoFicha) * double(alto) / double(altoBase))));
}

QString MismoArchivo(const QString& ruta)
{
    const QFileInfo info(ruta);
    const QString canonica = info.canonicalFilePath();
    return canonica.isEmpty() ? info.absoluteFilePath() : canonica;
}

} // namespace

Anfitrion::Anfitrion(Configuracion configuracion) : configuracion_(std::move(configuracion))
{
    if (configuracion_.Base.isEmpty())
        configuracion_.Base = BasePredeterminada();
    if (configuracion_.RutaComponente.isEmpty())
        configuracion_.RutaComponente = RutaComponentePredeterminada();
    if (configuracion_.Usuario.isEmpty())
        configuracion_.Usuario = UtilidadesAnfitrion::UsuarioDelSistema();
}

Anfitrion::~Anfitrion()
{
    componente_.reset();
    delete principal_.data();
    delete ubicacion_.data();
}

QString Anfitrion::BasePredeterminada()
{
    const QString carpeta = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QDir().mkpath(carpeta);
    return QDir(carpeta).filePath(QStringLiteral("provincias.sqlite"));
}

QString Anfitrion::RutaComponentePredeterminada()
{
    // The build folder keeps its libraries in lib beside bin; an installation may keep them deeper.
    const QDir programas(QCoreApplication::applicationDirPath());
    const QString enCompilacion = programas.absoluteFilePath(QStringLiteral("../lib/libquiltren.so"));
    const QString instalada = programas.absoluteFilePath(QStringLiteral(QUILTREN_BIBLIOTECAS_DESDE_PROGRAMAS "/libquiltren.so"));
    return QFileInfo::exists(enCompilacion) || !QFileInfo::exists(instalada) ? enCompilacion : instalada;
}

bool Anfitrion::AsegurarRegistro(const QString& rutaComponente)
{
    const std::optional<EntradaClase> entrada = RegistroClases().Buscar(ProgId);
    if (entrada && MismoArchivo(entrada->Biblioteca) == MismoArchivo(rutaComponente))
        return false;
    RegistrarBiblioteca(MismoArchivo(rutaComponente));
    return true;
}

void Anfitrion::AbrirBase()
{
    conexion_ = AbrirBaseProvincias(configuracion_.Base);
}

void Anfitrion::Iniciar()
{
    try {
        AsegurarRegistro(configuracion_.RutaComponente);
    } catch (const ErrorServidor& error) {
        MostrarError(QStringLiteral("No se pudo registrar el componente %1:\n%2")
                         .arg(QDir::toNativeSeparators(configuracion_.RutaComponente), error.Descripcion()));
    }

    principal_ = new VentanaPrincipal;
    ubicacion_ = new VentanaUbicacion;
    SituarFicha();
    connect(principal_, &VentanaPrincipal::Provincias, this, [this] { AbrirProvincias(); });
    connect(principal_, &VentanaPrincipal::Salir, this, &Anfitrion::SalidaPedida);
    const QString base = conexion_ && conexion_->EsPostgres()
                             ? configuracion_.Base.section(QLatin1Char('@'), -1)
                             : QDir::toNativeSeparators(configuracion_.Base);
    principal_->FijarEstado(QStringLiteral("Base de datos: %1    ·    Usuario: %2").arg(base, configuracion_.Usuario));

    UtilidadesAnfitrion::Datos datos;
    datos.Conexion = conexion_;
    datos.Ubicacion = ubicacion_.data();
    datos.Principal = principal_.data();
    datos.AnchoBase = configuracion_.AnchoBase;
    datos.AltoBase = configuracion_.AltoBase;
    datos.Usuario = configuracion_.Usuario;
    utiles_ = std::make_shared<UtilidadesAnfitrion>(datos);

    principal_->Show();
}

bool Anfitrion::AbrirProvincias()
{
    try {
        if (!componente_)
            componente_ = CrearObjeto(ProgId, VersionMayorClassProvincias);
        auto* clase = qobject_cast<_ClassProvincias*>(componente_.get());
        if (!clase)
            throw ErrorEjecucion(ErrorEjecucion::TiposNoCoinciden,
                                 QStringLiteral("El objeto creado para %1 no ofrece la interfaz _ClassProvincias").arg(ProgId));
        SituarFicha();
        std::shared_ptr<IUtilidades> utiles = utiles_;
        clase->Cargar(utiles);
        return true;
    } catch (const ErrorServidor& error) {
        MostrarError(QStringLiteral("No se pudo crear la clase %1:\n%2").arg(ProgId, error.Descripcion()));
    } catch (const ErrorEjecucion& error) {
        MostrarError(QStringLiteral("No se pudo abrir la ficha de provincias.\n\nError %1: %2")
                         .arg(error.Number()).arg(error.Description()));
    } catch (const ErrorDatos& error) {
        MostrarError(QStringLiteral("No se pudo abrir la ficha de provincias.\n\nError %1: %2")
                         .arg(error.Number()).arg(error.Description()));
    } catch (const std::exception& error) {
        MostrarError(QStringLiteral("No se pudo abrir la ficha de provincias:\n%1").arg(QString::fromUtf8(error.what())));
    }
    return false;
}

void Anfitrion::Terminar()
{
    if (auto* clase = qobject_cast<_ClassProvincias*>(componente_.get())) {
        AtenderEvento([clase] { clase->Cerrar(); });
    }
    componente_.reset();
}

void Anfitrion::SituarFicha()
{
    if (!ubicacion_ || !principal_)
        return;
    const QSize ficha = TamanoFichaEscalada(configuracion_.AnchoBase, configuracion_.AltoBase);
    ubicacion_->Centrar(ficha.width(), ficha.height(), principal_->AreaLibre());
}

void Anfitrion::MostrarError(const QString& texto)
{
    AtenderEvento([&texto] { Tramacor::Mensajes().MostrarMensaje(texto, EstiloMensaje::IconoCritico, QStringLiteral("Error")); });
}
