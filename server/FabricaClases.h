#pragma once

#include "server/FabricaClase.h"

#include <QString>
#include <atomic>
#include <functional>
#include <initializer_list>
#include <memory>
#include <vector>

// One class a component library serves.
struct ClaseServida
{
    QString ProgId;         // "Quiltren.ClassProvincias"
    QString Clase;          // "ClassProvincias"
    FuncionFabrica Crear;   // [] { return new ClassProvincias; }
};

// The class table of ONE component library, with that library's counters. The library defines
// exactly one, as a namespace-scope static in its own code, so it is filled when the library
// is loaded and its address tells the library's own file:
//
//   static FabricaClases Fabricas(QStringLiteral("1.00.0051"),
//       {{QStringLiteral("Quiltren.ClassProvincias"), QStringLiteral("ClassProvincias"),
//         [] { return new ClassProvincias; }}});
//
// Each export then forwards to one member (see ExportacionesServidor.h). The members that
// stand behind an export return its code and never throw; failures stay in UltimoErrorServidor.
class FabricaClases
{
public:
    FabricaClases(QString version, std::initializer_list<ClaseServida> clases);
    FabricaClases(const FabricaClases&) = delete;
    FabricaClases& operator=(const FabricaClases&) = delete;

    // How many windows of the library are loaded; a loaded window keeps the library in memory.
    void FijarContadorVentanas(std::function<int()> contador);

    // DllRegisterServer: registers every class with this library's path and version.
    int RegistrarServidor() const;
    // DllUnregisterServer: removes every class of the library from the registry.
    int DesregistrarServidor() const;
    // DllGetClassObject: puts the FabricaClase of the ProgID in *fabrica (nullptr on failure).
    int ObtenerFabrica(const char* progId, void** fabrica) const;
    // DllCanUnloadNow: CodigoServidor::Correcto when no object is alive and no window loaded,
    // CodigoServidor::Falso otherwise (also when the window counter fails).
    int ConsultarDescarga() const;

    int ObjetosVivos() const { return objetosVivos_.load(); }
    int VentanasCargadas() const;   // 0 without a counter; throws what the counter throws
    const QString& Version() const { return version_; }
    const FabricaClase* Buscar(const QString& progId) const;   // nullptr when not served

private:
    QString version_;
    mutable std::atomic<int> objetosVivos_{0};
    std::vector<std::unique_ptr<FabricaClase>> clases_;
    std::function<int()> contadorVentanas_;
};
