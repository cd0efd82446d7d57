#pragma once

// The entry points a component library exports with C linkage. The host finds them with
// dlsym by these names; the component defines each as one line that forwards to its
// FabricaClases (FabricaClases.h) or returns its version data:
//
//   extern "C" int DllRegisterServer() { return Fabricas.RegistrarServidor(); }
//   extern "C" int DllUnregisterServer() { return Fabricas.DesregistrarServidor(); }
//   extern "C" int DllGetClassObject(const char* progId, void** fabrica) { return Fabricas.ObtenerFabrica(progId, fabrica); }
//   extern "C" int DllCanUnloadNow() { return Fabricas.ConsultarDescarga(); }
//   extern "C" const char* QuiltrenVersion() { return "1.00.0051"; }
//   extern "C" const char* QuiltrenLocale() { return "es-ES"; }
//
// Codes are those of CodigosServidor.h. Hosts load components with RTLD_LOCAL, so several
// components can export the same names side by side; a component should not call its own
// exports from inside, where another library's definition could take their place.

#define QUILTREN_EXPORTACION __attribute__((visibility("default")))

extern "C" {

// Registers every class of the library in the class registry. 0, or the error number.
QUILTREN_EXPORTACION int DllRegisterServer();
// Removes every class of the library from the registry. 0, or the error number.
QUILTREN_EXPORTACION int DllUnregisterServer();
// Puts the class object (a const FabricaClase*) of the ProgID (UTF-8) in *fabrica.
// 0; CodigoServidor::ClaseNoDisponible for a ProgID the library does not serve;
// CodigoServidor::PunteroNulo for a null argument.
QUILTREN_EXPORTACION int DllGetClassObject(const char* progId, void** fabrica);
// 0 when the library may be unloaded (no live object, no loaded window), 1 otherwise.
QUILTREN_EXPORTACION int DllCanUnloadNow();
// File and product version, "1.00.0051", and locale, "es-ES": static texts.
QUILTREN_EXPORTACION const char* QuiltrenVersion();
QUILTREN_EXPORTACION const char* QuiltrenLocale();

} // extern "C"

using TipoDllRegisterServer = int (*)();
using TipoDllUnregisterServer = int (*)();
using TipoDllGetClassObject = int (*)(const char*, void**);
using TipoDllCanUnloadNow = int (*)();
using TipoTextoVersion = const char* (*)();
