#pragma once
// Everything the component receives from its host, shared by every window and routine of the
// library, and the two shared routines that work on a window's controls.
//
// The variables live until the next Cargar replaces them or the library is unloaded. Host
// windows are held through QPointer, so a host window that is destroyed reads as unset instead
// of dangling; use ObjetoEstablecido() to reach one and get the run-time error 91 when it is unset.

#include "data/Connection.h"
#include "runtime/ErrorEjecucion.h"
#include "runtime/Form.h"
#include "data/Recordset.h"
#include "tramacor/Tramacor.h"

#include <QPointer>
#include <QString>
#include <QVariant>
#include <memory>

class Controles;

// A recordset variable created on first use: the first reference to a missing one makes an
// empty, closed Recordset, so the host always receives a live object it may open or replace.
class RecordsetAutomatico
{
public:
    Recordset* operator->() { return Referencia().get(); }
    Recordset& operator*() { return *Referencia(); }
    // The variable itself, created if missing, for code that passes it by reference.
    std::shared_ptr<Recordset>& Referencia();
    bool Existe() const { return recordset_ != nullptr; }
    // Drops the object; the next reference creates a new one.
    void Liberar() { recordset_.reset(); }
    RecordsetAutomatico& operator=(std::shared_ptr<Recordset> otro);

private:
    std::shared_ptr<Recordset> recordset_;
};

namespace DatosComunes {

// The host's utilities object, kept from the last Cargar.
extern std::shared_ptr<IUtilidades> Utiles;
// The connection of every recordset of the library (value 1).
extern std::shared_ptr<Connection> Conexion;
// Four values the host fills and nothing reads (values 2 to 5), and one more (value 10).
extern QVariant Dato2, Dato3, Dato4, Dato5, Dato10;
// The host window whose Top and Left the maintenance window copies when it loads (value 6).
extern QPointer<Form> FormUbicacion;
// The host's main window (value 7).
extern QPointer<Form> FormPrincipal;
// The screen size, in twips, the windows were laid out for (values 8 and 9).
extern long AnchoBase;
extern long AltoBase;
// Interface texts of the windows and of the listing (values 11 and 12), positioned on the row
// to read, and a third recordset the host may fill that nothing reads (value 13).
extern RecordsetAutomatico Textos;
extern RecordsetAutomatico TextosListado;
extern RecordsetAutomatico RecordsetSinUso;
// Handed back to the host's RegistrarOperacion after a delete; never read here (value 14).
extern QVariant ParametroRegistro;
// The current user's name, written with every save (value 15).
extern QString Usuario;

// True while a new record is being entered in the maintenance window.
extern bool EdicionEnCurso;

// The listing: destination chosen in the print dialog ("Pantalla", "Null Impresora" or a printer),
// page counter, lowest position (cm) a line may still be printed at, and the background mode
// the last SetBkMode replaced (never read).
extern QString Destino;
extern short NumeroPagina;
extern double LimiteInferior;
extern long ModoFondoAnterior;

// A generic object reference as the host leaves it, converted to a window reference: nothing stays
// nothing, a window stays that window, anything else is run-time error 13.
QPointer<Form> ComoVentana(QObject* objeto);

// Asks the host for the common data through Utiles->ObtenerDatos. Creates the three recordsets
// first when missing; the two host windows travel through temporaries and are stored back only
// after the host returns, so a failing host leaves them as they were. A non-window left in either
// raises run-time error 13; an unset Utiles raises 91. Errors of the host reach the caller.
void CargarDatosComunes();

// Sets Enabled on every text box, combo box and input control of the host's libraries in the
// collection; labels, pictures, images, shapes, lines, the grid and the buttons keep their state.
void HabilitarControles(Controles& Controles, bool Habilitar);

// Drops every value received from the host (the library is going away).
void Liberar();

} // namespace DatosComunes

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
