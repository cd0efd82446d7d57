#include "printing/ErrorImpresion.h"

ErrorImpresion::ErrorImpresion(const QString& descripcion, long numero)
    : std::runtime_error(descripcion.toStdString()), descripcion_(descripcion), numero_(numero)
{
}
