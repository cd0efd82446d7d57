#pragma once
// Everything the component receives from its host, in one object shared by every window and
// routine of the library, and the two shared routines that work on a window's controls.
//
// The values live until the next Cargar replaces them or the library is unloaded. Host windows
// are held through QPointer, so a host window that is destroyed reads as unset instead of
// dangling; use ObjetoEstablecido() to reach one and get the run-time error 91 when it is unset.

#include "data/Connection.h"
#include "runtime/ErrorEjecucion.h"
#include "runtime/Form.h"
#include "tramacor/Tramacor.h"

#include <QPointer>
#include <QString>
#include <memory>

class Controles;

// The host's fifteen values as the host wrote them (the windows of positions 6 and 7 only while
// the host is being asked), and what the library keeps besides.
class DatosComunes : public DatosAnfitrion
{
public:
    // The host's utilities object, kept from the last Cargar.
    std::shared_ptr<IUtilidades> Utiles;
    // The host window whose Top and Left the maintenance window copies when it loads (value 6).
    QPointer<Form> FormUbicacion;
    // The host's main window (value 7).
    QPointer<Form> FormPrincipal;
    // True while a new record is being entered in the maintenance window.
    bool EdicionEnCurso = false;

    // Asks the host for the common data through Utiles->ObtenerDatos. Creates the three recordsets
    // first when missing; the two host windows travel as generic objects and are stored back only
    // after the host returns, so a failing host leaves them as they were. A non-window left in
    // either raises run-time error 13; an unset Utiles raises 91. Errors of the host reach the caller.
    void CargarDatosComunes();

    // Drops every value received from the host (the library is going away).
    void Liberar();

    // A generic object reference as the host leaves it, converted to a window reference: nothing
    // stays nothing, a window stays that window, anything else is run-time error 13.
    static QPointer<Form> ComoVentana(QObject* objeto);

    // Sets Enabled on every text box, combo box and input control of the host's libraries in the
    // collection; labels, pictures, images, shapes, lines, the grid and the buttons keep their state.
    static void HabilitarControles(Controles& Controles, bool Habilitar);
};

// The library's one set of common data, which Cargar fills.
DatosComunes& Comunes();

// The object a reference points to, or run-time error 91 when the reference is unset.
template <class T>
T& ObjetoEstablecido(const QPointer<T>& referencia)
{
    if (!referencia)
        throw ErrorEjecucion(ErrorEjecucion::VariableObjetoNoEstablecida);
    return *referencia;
}

template <class T>
T& ObjetoEstablecido(const std::shared_ptr<T>& referencia)
{
    if (!referencia)
        throw ErrorEjecucion(ErrorEjecucion::VariableObjetoNoEstablecida);
    return *referencia;
}
