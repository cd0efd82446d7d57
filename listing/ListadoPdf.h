#pragma once
// The province listing written to a PDF file or sent to a print queue without any window (the demo
// host's --listado and --impresora), drawn by the same routines as the print command.

#include "data/Connection.h"
#include "listing/ListadoProvincias.h"

#include <QString>
#include <exception>

// Writes the listing of the table on `Conexion` to ArchivoPdf, ordered by code or by name, limited to
// the codes from CodigoDesde to CodigoHasta when either is given (an empty CodigoHasta then selects
// no row; a first code after the last gives the same one-page empty listing). Pages stream to the
// file as they are drawn; Progreso hears of every finished page. Returns the number of pages.
// Throws on failure (a range with a single quote, a database, file or printer error), and then no
// file is left behind. The common data the listing reads is restored afterwards.
int GenerarListadoPdf(ConnectionPtr Conexion, const QString& ArchivoPdf, bool OrdenPorCodigo,
                      const QString& CodigoDesde, const QString& CodigoHasta, const AvisoPaginas& Progreso = {});

// The same listing sent as one job to the print queue named Impresora (exactly: a name that matches
// no queue, or the PDF printer, is an error, never another printer). Returns the number of pages once
// the queue has accepted the job. Throws on failure, and then no job is left in any queue.
int GenerarListadoImpresora(ConnectionPtr Conexion, const QString& Impresora, bool OrdenPorCodigo,
                            const QString& CodigoDesde, const QString& CodigoHasta, const AvisoPaginas& Progreso = {});

// The description of an error raised by the listing, fit for a message to the user.
QString DescripcionError(const std::exception& error);
