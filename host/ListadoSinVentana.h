#pragma once
// `quiltren-demo --listado ARCHIVO.pdf`: the listing printed to a PDF file without any window,
// through the same report code as the maintenance window's printer picture.

#include "Connection.h"
#include "OpcionesDemo.h"

// Returns the program's exit code: 0 when the file was written.
int ImprimirListadoSinVentana(const OpcionesDemo& opciones, const ConnectionPtr& conexion);
