#pragma once
// `quiltren-demo --listado ARCHIVO.pdf` and `--impresora NOMBRE`: the listing printed to a PDF file
// or sent to a print queue without any window, through the same report code as the maintenance
// window's printer picture; and `--impresoras`, the queues it can be sent to.

#include "data/Connection.h"
#include "host/OpcionesDemo.h"

// Returns the program's exit code: 0 when the file was written or the queue accepted the job.
int ImprimirListadoSinVentana(const OpcionesDemo& opciones, const ConnectionPtr& conexion);

// Whether `nombre` is a print queue of the system (the PDF printer is not one).
bool ExisteImpresora(const QString& nombre);

// Writes the system's print queues on the standard output, one a line, the default followed by
// " (predeterminada)". Returns the exit code.
int MostrarImpresoras();
