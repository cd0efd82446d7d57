#include "server/ErrorServidor.h"

ErrorServidor::ErrorServidor(int numero, const QString& descripcion)
    : std::runtime_error(descripcion.toStdString()), numero_(numero), descripcion_(descripcion)
{
}
