#include "server/FabricaClases.h"

#include "server/CodigosServidor.h"
#include "server/RegistroClases.h"
#include "server/ServidorComponente.h"

FabricaClases::FabricaClases(QString version, std::initializer_list<ClaseServida> clases)
    : version_(std::move(version))
{
    for (const ClaseServida& clase : clases)
        clases_.push_back(std::make_unique<FabricaClase>(clase.ProgId, clase.Clase, clase.Crear, objetosVivos_));
}

void FabricaClases::FijarContadorVentanas(std::function<int()> contador)
{
    contadorVentanas_ = std::move(contador);
}

int FabricaClases::RegistrarServidor() const
{
    return EjecutarExportacion([this] {
        // This table is a static of the component library, so its own address names that file.
        const QString ruta = RutaBibliotecaDe(this);
        QList<EntradaClase> entradas;
        for (const auto& clase : clases_)
            entradas.append(EntradaClase{clase->ProgId(), ruta, clase->Clase(), version_});
        RegistroClases().Registrar(entradas);
    });
}

int FabricaClases::DesregistrarServidor() const
{
    return EjecutarExportacion([this] {
        QStringList progIds;
        for (const auto& clase : clases_)
            progIds.append(clase->ProgId());
        RegistroClases().Desregistrar(progIds);
    });
}

int FabricaClases::ObtenerFabrica(const char* progId, void** fabrica) const
{
    return EjecutarExportacion([this, progId, fabrica] {
        if (fabrica == nullptr)
            throw ErrorServidor(CodigoServidor::PunteroNulo, QStringLiteral("Falta dónde devolver la fábrica de la clase."));
        *fabrica = nullptr;
        if (progId == nullptr)
            throw ErrorServidor(CodigoServidor::PunteroNulo, QStringLiteral("Falta el ProgID de la clase pedida."));
        const QString nombre = QString::fromUtf8(progId);
        const FabricaClase* encontrada = Buscar(nombre);
        if (encontrada == nullptr)
            throw ErrorServidor(CodigoServidor::ClaseNoDisponible,
                                QStringLiteral("La biblioteca no ofrece la clase «%1».").arg(nombre));
        *fabrica = const_cast<FabricaClase*>(encontrada);
    });
}

int FabricaClases::ConsultarDescarga() const
{
    if (ObjetosVivos() > 0)
        return CodigoServidor::Falso;
    try {
        return VentanasCargadas() > 0 ? CodigoServidor::Falso : CodigoServidor::Correcto;
    } catch (...) {
        return CodigoServidor::Falso;   // unloading code a window may still run is never safe
    }
}

int FabricaClases::VentanasCargadas() const
{
    return contadorVentanas_ ? contadorVentanas_() : 0;
}

const FabricaClase* FabricaClases::Buscar(const QString& progId) const
{
    for (const auto& clase : clases_)
        if (clase->ProgId().compare(progId, Qt::CaseInsensitive) == 0)
            return clase.get();
    return nullptr;
}
