#include "component/DatosComunes.h"

#include "runtime/Control.h"
#include "runtime/Controles.h"

#include <limits>

DatosComunes& Comunes()
{
    static DatosComunes datos;
    return datos;
}

QPointer<Form> DatosComunes::ComoVentana(QObject* objeto)
{
    if (!objeto)
        return nullptr;
    Form* ventana = qobject_cast<Form*>(objeto);
    if (!ventana)
        throw ErrorEjecucion(ErrorEjecucion::TiposNoCoinciden);
    return ventana;
}

void DatosComunes::CargarDatosComunes()
{
    RecordsetSinUso.Referencia();
    TextosListado.Referencia();
    Textos.Referencia();

    Ubicacion = FormUbicacion.data();
    Principal = FormPrincipal.data();
    // The windows in transit are let go however the call ends.
    struct Soltar {
        DatosAnfitrion& datos;
        ~Soltar()
        {
            datos.Ubicacion.clear();
            datos.Principal.clear();
        }
    } soltar{*this};
    // The host may re-seat any value; the utilities object itself is kept alive across the call
    // even if the host replaces Utiles from inside it.
    std::shared_ptr<IUtilidades> utiles = Utiles;
    ObjetoEstablecido(utiles).ObtenerDatos(*this);
    FormUbicacion = ComoVentana(Ubicacion);
    FormPrincipal = ComoVentana(Principal);
}

void DatosComunes::HabilitarControles(Controles& Controles, bool Habilitar)
{
    // The last index is a 16-bit Integer, as the routine has always counted.
    const int cuenta = Controles.Count();
    if (cuenta - 1 > std::numeric_limits<short>::max())
        throw ErrorEjecucion(ErrorEjecucion::Desbordamiento);
    const short ultimo = static_cast<short>(cuenta - 1);
    for (int i = 0; i <= ultimo; ++i) {
        Control* control = Controles.Item(i);
        if (control->EsControlEntradaAnfitrion() || control->TipoControl() == Control::Clase::ComboBox
            || control->TipoControl() == Control::Clase::TextBox)
            control->setEnabled(Habilitar);
    }
}

void DatosComunes::Liberar()
{
    Utiles.reset();
    Conexion.reset();
    Dato2 = Dato3 = Dato4 = Dato5 = Dato10 = QVariant();
    FormUbicacion.clear();
    FormPrincipal.clear();
    Textos.Liberar();
    TextosListado.Liberar();
    RecordsetSinUso.Liberar();
    ParametroRegistro = QVariant();
}
