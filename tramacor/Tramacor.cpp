#include "tramacor/Tramacor.h"

#include "tramacor/DialogoDestino.h"
#include "tramacor/FuncionesQt.h"
#include "tramacor/MensajesQt.h"
#include "tramacor/VentanaBusqueda.h"

namespace Tramacor {

namespace {

// The global objects of the host, each created on first use. Replacements installed by a host
// or a test stand in front of the defaults until they are removed again.
std::shared_ptr<IMensajes> mensajesFijados;
std::shared_ptr<IFunciones> funcionesFijadas;
std::function<std::unique_ptr<IBusqueda>()> fabricaBusqueda;
std::function<std::unique_ptr<IDialogoImpresion>()> fabricaDialogo;

} // namespace

IMensajes& Mensajes()
{
    if (mensajesFijados)
        return *mensajesFijados;
    static MensajesQt predeterminado;
    return predeterminado;
}

IFunciones& Funciones()
{
    if (funcionesFijadas)
        return *funcionesFijadas;
    static FuncionesQt predeterminado;
    return predeterminado;
}

std::unique_ptr<IBusqueda> NuevaBusqueda()
{
    if (fabricaBusqueda)
        return fabricaBusqueda();
    return std::make_unique<BusquedaQt>();
}

std::unique_ptr<IDialogoImpresion> NuevoDialogoImpresion()
{
    if (fabricaDialogo)
        return fabricaDialogo();
    return std::make_unique<DialogoImpresionQt>();
}

void FijarMensajes(std::shared_ptr<IMensajes> mensajes)
{
    mensajesFijados = std::move(mensajes);
}

void FijarFunciones(std::shared_ptr<IFunciones> funciones)
{
    funcionesFijadas = std::move(funciones);
}

void FijarFabricaBusqueda(std::function<std::unique_ptr<IBusqueda>()> fabrica)
{
    fabricaBusqueda = std::move(fabrica);
}

void FijarFabricaDialogoImpresion(std::function<std::unique_ptr<IDialogoImpresion>()> fabrica)
{
    fabricaDialogo = std::move(fabrica);
}

} // namespace Tramacor
