#include "tests/apoyo/Falsos.h"

#include "runtime/ErrorEjecucion.h"
#include "tramacor/MensajesQt.h"
#include "tramacor/UtilidadesAnfitrion.h"
#include "tramacor/VentanaBusqueda.h"

int MensajesFalsos::MostrarMensaje(const QString& Texto, int Estilo, const QString& Titulo)
{
    // A style the real box refuses is refused here too (error 5) and not recorded.
    const EstiloMensaje::Descripcion caja = EstiloMensaje::Describir(Estilo);
    Llamadas.append({Texto, Estilo, Titulo});
    if (!Respuestas.isEmpty())
        return Respuestas.takeFirst();
    return RespuestaPredeterminada != 0 ? RespuestaPredeterminada : caja.RespuestaEscape;
}

std::shared_ptr<MensajesFalsos> InstalarMensajesFalsos()
{
    auto falsos = std::make_shared<MensajesFalsos>();
    Tramacor::FijarMensajes(falsos);
    return falsos;
}

namespace {

class BusquedaFalsa : public IBusqueda
{
public:
    explicit BusquedaFalsa(std::shared_ptr<GuionBusqueda> guion) : guion_(std::move(guion)) {}
    QString BuscarRegistro(IUtilidades*, QObject*& Ventana, const QString& Tabla, const QString& Campo,
                           const QString& ValorActual, const QString& Modo, bool& Marca) override
    {
        guion_->Llamadas.append({Ventana, Tabla, Campo, ValorActual, Modo, Marca});
        const QString elegido = guion_->Elecciones.isEmpty() ? QString() : guion_->Elecciones.takeFirst();
        if (!elegido.isEmpty())
            EntregarCodigo(Ventana, Campo, elegido);
        return elegido;
    }

private:
    std::shared_ptr<GuionBusqueda> guion_;
};

class DialogoImpresionFalso : public DialogoConOpciones
{
public:
    explicit DialogoImpresionFalso(std::shared_ptr<GuionImpresion> guion) : guion_(std::move(guion)) {}
    void ElegirDestino(IUtilidades*, QObject*& Ventana, QString& Destino) override
    {
        guion_->Ventanas.append(Ventana);
        opciones_ = guion_->Respuestas.isEmpty() ? guion_->Predeterminada : guion_->Respuestas.takeFirst();
        Destino = opciones_.Destino;
    }

private:
    std::shared_ptr<GuionImpresion> guion_;
};

} // namespace

std::shared_ptr<GuionBusqueda> InstalarBusquedaFalsa()
{
    auto guion = std::make_shared<GuionBusqueda>();
    Tramacor::FijarFabricaBusqueda([guion] { return std::make_unique<BusquedaFalsa>(guion); });
    return guion;
}

std::shared_ptr<GuionImpresion> InstalarDialogoImpresionFalso()
{
    auto guion = std::make_shared<GuionImpresion>();
    Tramacor::FijarFabricaDialogoImpresion([guion] { return std::make_unique<DialogoImpresionFalso>(guion); });
    return guion;
}

void FuncionesFalsas::LiberarFormulario(QObject*& Ventana)
{
    Liberados.append(Ventana);
    FuncionesQt::LiberarFormulario(Ventana);
}

void FuncionesFalsas::RegistrarOperacion(QVariant& Parametro, std::shared_ptr<Connection>& Conexion,
                                         const QString& Sentencia)
{
    if (FalloRegistro != 0)
        throw ErrorEjecucion(FalloRegistro, QStringLiteral("No se pudo registrar la operación"));
    if (!SoloAnotar)
        FuncionesQt::RegistrarOperacion(Parametro, Conexion, Sentencia);
}

QString FuncionesFalsas::FormatearFecha(const QDateTime& Fecha)
{
    return FechaFija.isEmpty() ? FuncionesQt::FormatearFecha(Fecha) : FechaFija;
}

std::shared_ptr<FuncionesFalsas> InstalarFuncionesFalsas()
{
    auto falsas = std::make_shared<FuncionesFalsas>();
    Tramacor::FijarFunciones(falsas);
    return falsas;
}

void UtilidadesFalsas::ObtenerDatos(DatosAnfitrion& Datos)
{
    Datos.Conexion = Conexion;
    Datos.Ubicacion = Ubicacion;
    Datos.Principal = Principal;
    Datos.AnchoBase = 15360;
    Datos.AltoBase = 11520;
    UtilidadesAnfitrion::AbrirTextos(Datos.Textos, Conexion);
    UtilidadesAnfitrion::AbrirTextos(Datos.TextosListado, Conexion);
    Datos.ParametroRegistro = QVariant();
    Datos.Usuario = Usuario;
    if (Fallar)
        throw ErrorEjecucion(5, QStringLiteral("El anfitrión no pudo entregar los datos"));
}
