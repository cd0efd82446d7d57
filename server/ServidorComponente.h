#pragma once

#include "server/ErrorServidor.h"

#include <QString>
#include <functional>
#include <optional>

// The component side of the server: what the exports of a component library hand over to.
// FabricaClases (FabricaClases.h) uses these for a whole library at once.

// Writes (or replaces) the registry entry of one ProgID. Throws ErrorServidor.
void RegistrarServidor(const QString& rutaBiblioteca, const QString& progId, const QString& clase,
                       const QString& version);
// Removes the entry of one ProgID; a ProgID that is not there is not an error. Throws ErrorServidor.
void DesregistrarServidor(const QString& progId);

// Absolute path of the loaded library that holds this address (code or data), found with dladdr.
QString RutaBibliotecaDe(const void* direccion);

// Exports return a bare code across the C boundary; the full error of the last failed export
// of this thread stays here so the host side can report it word for word.
void GuardarUltimoError(const ErrorServidor& error);
void BorrarUltimoError();
std::optional<ErrorServidor> UltimoErrorServidor();

// Runs the work of an export: returns CodigoServidor::Correcto, or the number of the failure
// (any other exception becomes CodigoServidor::Inesperado), kept as the last error. Nothing
// is thrown through the export.
int EjecutarExportacion(const std::function<void()>& trabajo);
