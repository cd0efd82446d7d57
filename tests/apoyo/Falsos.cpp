#include "Falsos.h"

#include "ErrorEjecucion.h"
#include "MensajesQt.h"
#include "Recordset.h"
#include "VentanaBusqueda.h"

int MensajesFalsos::MostrarMensaje(const QString& Texto, int Estilo, const QString& Titulo)
{
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

QString BusquedaFalsa::BuscarRegistro(IUtilidades* Utiles, QObject*& Ventana, const QString& Tabla,
                                      const QString& Campo, const QString& ValorActual, const QString& Modo,
                                      bool& Marca)
{
    Q_UNUSED(Utiles);
    guion_->Llamadas.append({Ventana, Tabla, Campo, ValorActual, Modo, Marca});
    const QString elegido = guion_->Elecciones.isEmpty() ? QString() : guion_->Elecciones.takeFirst();
    if (elegido.isEmpty())
        return QString();
    EntregarCodigo(Ventana, Campo, elegido);
    return elegido;
}

std::shared_ptr<GuionBusqueda> InstalarBusquedaFalsa()
{
    auto guion = std::make_shared<GuionBusqueda>();
    Tramacor::FijarFabricaBusqueda([guion] { return std::make_unique<BusquedaFalsa>(guion); });
    return guion;
}

void DialogoImpresionFalso::ElegirDestino(IUtilidades* Utiles, QObject*& Ventana, QString& Destino)
{
    Q_UNUSED(Utiles);
    guion_->Ventanas.append(Ventana);
    opciones_ = guion_->Respuestas.isEmpty() ? guion_->Predeterminada : guion_->Respuestas.takeFirst();
    Destino = opciones_.Destino;
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
    Registros.append({Parametro, Sentencia});
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

void UtilidadesFalsas::ObtenerDatos(std::shared_ptr<Connection>& Conexion_, QVariant& Valor2_, QVariant& Valor3_,
                                    QVariant& Valor4_, QVariant& Valor5_, QObject*& Ubicacion_,
                                    QObject*& Principal_, long& AnchoBase_, long& AltoBase_, QVariant& Valor10_,
                                    std::shared_ptr<Recordset>& Textos_,
                                    std::shared_ptr<Recordset>& TextosListado_,
                                    std::shared_ptr<Recordset>& RecordsetSinUso_, QVariant& ParametroRegistro_,
                                    QString& Usuario_)
{
    Q_UNUSED(RecordsetSinUso_);
    ++LlamadasObtenerDatos;
    auto abrir = [this](std::shared_ptr<Recordset>& textos) {
        if (SentenciaTextos.isEmpty())
            return;
        if (!textos)
            textos = std::make_shared<Recordset>();
        if (textos->State() == Recordset::adStateOpen)
            textos->Close();
        textos->Open(SentenciaTextos, Conexion, Recordset::adOpenStatic, Recordset::adLockReadOnly, -1);
        textos->MoveFirst();
    };
    // Each step writes one value, in the order of the arguments; the failure comes after as many
    // steps as the test asked for.
    const std::function<void()> pasos[15] = {
        [&] { Conexion_ = Conexion; },
        [&] { Valor2_ = Valor2; },
        [&] { Valor3_ = Valor3; },
        [&] { Valor4_ = Valor4; },
        [&] { Valor5_ = Valor5; },
        [&] { Ubicacion_ = Ubicacion.data(); },
        [&] { Principal_ = Principal.data(); },
        [&] { AnchoBase_ = AnchoBase; },
        [&] { AltoBase_ = AltoBase; },
        [&] { Valor10_ = Valor10; },
        [&] { abrir(Textos_); },
        [&] { abrir(TextosListado_); },
        [] {},
        [&] { ParametroRegistro_ = ParametroRegistro; },
        [&] { Usuario_ = Usuario; },
    };
    for (int i = 0; i < 15; ++i) {
        if (i == FallarTrasValores)
            throw ErrorEjecucion(NumeroFallo, DescripcionFallo);
        pasos[i]();
    }
    if (FallarTrasValores == 15)
        throw ErrorEjecucion(NumeroFallo, DescripcionFallo);
}

void UtilidadesFalsas::PintarFormulario(QObject*& Ventana)
{
    ++LlamadasPintar;
    Pintadas.append(Ventana);
}
