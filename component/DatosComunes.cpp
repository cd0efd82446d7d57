#include "component/DatosComunes.h"

#include "runtime/Control.h"
#include "runtime/Controles.h"

#include <limits>

std::shared_ptr<Recordset>& RecordsetAutomatico::Referencia()
{
    if (!recordset_)
        recordset_ = std::make_shared<Recordset>();
    return recordset_;
}

RecordsetAutomatico& RecordsetAutomatico::operator=(std::shared_ptr<Recordset> otro)
{
    recordset_ = std::move(otro);
    return *this;
}

namespace DatosComunes {

std::shared_ptr<IUtilidades> Utiles;
std::shared_ptr<Connection> Conexion;
QVariant Dato2, Dato3, Dato4, Dato5, Dato10;
QPointer<Form> FormUbicacion;
QPointer<Form> FormPrincipal;
long AnchoBase = 0;
long AltoBase = 0;
RecordsetAutomatico Textos;
RecordsetAutomatico TextosListado;
RecordsetAutomatico RecordsetSinUso;
QVariant ParametroRegistro;
QString Usuario;
bool EdicionEnCurso = false;
QString Destino;
short NumeroPagina = 0;
double LimiteInferior = 0;
long ModoFondoAnterior = 0;

QPointer<Form> ComoVentana(QObject* objeto)
{
    if (!objeto)
        return nullptr;
    Form* ventana = qobject_cast<Form*>(objeto);
    if (!ventana)
        throw ErrorEjecucion(ErrorEjecucion::TiposNoCoinciden);
    return ventana;
}

void CargarDatosComunes()
{
    RecordsetSinUso.Referencia();
    TextosListado.Referencia();
    Textos.Referencia();

    QObject* ubicacion = FormUbicacion.data();
    QObject* principal = FormPrincipal.data();
    // The host may re-seat any reference; the utilities object itself is kept alive across the
    // call even if the host replaces Utiles from inside it.
    std::shared_ptr<IUtilidades> utiles = Utiles;
    ObjetoEstablecido(utiles).ObtenerDatos(Conexion, Dato2, Dato3, Dato4, Dato5, ubicacion, principal,
                                           AnchoBase, AltoBase, Dato10, Textos.Referencia(),
                                           TextosListado.Referencia(), RecordsetSinUso.Referencia(),
                                           ParametroRegistro, Usuario);
    FormUbicacion = ComoVentana(ubicacion);
    FormPrincipal = ComoVentana(principal);
}

void HabilitarControles(Controles& Controles, bool Habilitar)
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

void Liberar()
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

} // namespace DatosComunes
