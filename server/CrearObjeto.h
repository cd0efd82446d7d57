#pragma once

#include "server/RegistroClases.h"

#include <QObject>
#include <QString>
#include <memory>

// The host side of the server. Every failure is an ErrorServidor with a Spanish message.

// Creates a new object of a registered class: registry lookup, dlopen of its library (kept
// loaded afterwards), DllGetClassObject, factory. See FabricaClase.h for the object's lifetime.
std::shared_ptr<QObject> CrearObjeto(const QString& progId);
// The same for a host built against one major version of the class's interface: a library of
// another major version (as the registry states it or as the library reports it) is refused
// with CodigoServidor::VersionIncompatible before any object is made. 0 takes any version.
std::shared_ptr<QObject> CrearObjeto(const QString& progId, int versionMayor);
std::shared_ptr<QObject> CrearObjeto(const QString& progId, const RegistroClases& registro, int versionMayor = 0);

// Unloads every library CrearObjeto loaded whose DllCanUnloadNow says it may go; returns how
// many it unloaded. The host calls it when it has released objects (and at idle times).
int LiberarBibliotecasSinUso();

// Loads a component library and calls its DllRegisterServer / DllUnregisterServer.
void RegistrarBiblioteca(const QString& rutaBiblioteca);
void DesregistrarBiblioteca(const QString& rutaBiblioteca);

// The version data a component library carries ("1.00.0051", "es-ES").
struct DatosVersion
{
    QString Version;
    QString Locale;
};
DatosVersion LeerVersion(const QString& rutaBiblioteca);
