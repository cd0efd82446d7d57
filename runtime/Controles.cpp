#include "runtime/Controles.h"

#include "runtime/Control.h"
#include "runtime/ErrorEjecucion.h"

Control* Controles::Item(int indice) const
{
    if (indice < 0 || indice >= lista_.size())
        throw ErrorEjecucion(ErrorEjecucion::SubindiceFueraIntervalo,
                             QStringLiteral("El subíndice está fuera del intervalo (%1 de %2 controles)")
                                 .arg(indice).arg(lista_.size()));
    return lista_.at(indice);
}

Control* Controles::Item(const QString& nombre) const
{
    Control* c = Buscar(nombre);
    if (!c)
        throw ErrorEjecucion(ErrorEjecucion::ControlNoEncontrado,
                             QStringLiteral("No se encontró el control '%1'").arg(nombre));
    return c;
}

Control* Controles::Buscar(const QString& nombre) const
{
    for (Control* c : lista_) {
        if (c->Name().compare(nombre, Qt::CaseInsensitive) == 0)
            return c;
    }
    return nullptr;
}
