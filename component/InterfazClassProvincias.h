#pragma once
// The interface `_ClassProvincias` of the component's public class, as a host sees it. A host
// creates the object by its ProgID (CrearObjeto("Quiltren.ClassProvincias")) and reaches these
// methods with qobject_cast<_ClassProvincias*>; the cast compares the interface identifier by
// name, so a host needs this header only and never links the component:
//
//   std::shared_ptr<QObject> objeto = CrearObjeto(QStringLiteral("Quiltren.ClassProvincias"), VersionMayorClassProvincias);
//   qobject_cast<_ClassProvincias*>(objeto.get())->Cargar(utiles);

#include "tramacor/Tramacor.h"

#include <QObject>
#include <memory>

class _ClassProvincias
{
public:
    virtual ~_ClassProvincias() = default;

    // Keeps the host's utilities object, asks it for the common data and shows the maintenance
    // window, modeless; returns at once. A window already open is only shown again.
    virtual void Cargar(std::shared_ptr<IUtilidades>& DatosClase) = 0;
    // Hides the window (loading it first, hidden, when it is not loaded).
    virtual void Ocultar() = 0;
    // Unloads the window.
    virtual void Cerrar() = 0;
};

#define IID_ClassProvincias "Quiltren._ClassProvincias"
Q_DECLARE_INTERFACE(_ClassProvincias, IID_ClassProvincias)

// The major version of this interface. A host passes it to CrearObjeto, so that a library of
// another major version, whose class may lay these methods out otherwise, is refused with a
// clear error instead of being called.
constexpr int VersionMayorClassProvincias = 1;
