#pragma once
// The host utilities library: every operation the component asks of its host, as interfaces.
// The component sees only these; the demo host supplies Qt implementations and tests put
// scripted fakes in their place through the setters at the end.

#include "data/RecordsetAutomatico.h"

#include <QDateTime>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QVariant>
#include <functional>
#include <memory>

class Connection;
class SuperficieDestino;

// The fifteen common values the host's utilities object hands over, in the host's order. The host
// writes each one in place, so a host that fails part way leaves what it wrote until then.
struct DatosAnfitrion
{
    std::shared_ptr<Connection> Conexion;         // 1
    QVariant Dato2, Dato3, Dato4, Dato5;          // 2 to 5: nothing reads them
    // 6 and 7: two windows, as generic objects. The receiver converts them back to windows and
    // fails with a type mismatch when the host leaves something else there.
    QPointer<QObject> Ubicacion;
    QPointer<QObject> Principal;
    long AnchoBase = 0;                           // 8 and 9: the design screen, in twips
    long AltoBase = 0;
    QVariant Dato10;                              // 10: nothing reads it
    RecordsetAutomatico Textos;                   // 11
    RecordsetAutomatico TextosListado;            // 12
    RecordsetAutomatico RecordsetSinUso;          // 13: nothing reads it
    QVariant ParametroRegistro;                   // 14
    QString Usuario;                              // 15
};

// The host's utilities object, handed to the component by Cargar.
class IUtilidades {
public:
    virtual ~IUtilidades() = default;

    // Fills the common values.
    virtual void ObtenerDatos(DatosAnfitrion& Datos) = 0;

    // Paints the host's decoration on a window; what it leaves in the reference is kept by the caller.
    virtual void PintarFormulario(QObject*& Ventana) = 0;
};

// The numbers of message box styles and answers, as hosts pass and expect them. A style adds one
// choice of buttons, one icon and one default button.
namespace EstiloMensaje {
constexpr int SoloAceptar = 0;
constexpr int AceptarCancelar = 1;
constexpr int AnularReintentarOmitir = 2;
constexpr int SiNoCancelar = 3;
constexpr int SiNo = 4;
constexpr int ReintentarCancelar = 5;
constexpr int IconoCritico = 16;
constexpr int IconoPregunta = 32;
constexpr int IconoExclamacion = 48;
constexpr int IconoInformacion = 64;
constexpr int SegundoBotonPredeterminado = 256;
constexpr int TercerBotonPredeterminado = 512;
} // namespace EstiloMensaje

namespace RespuestaMensaje {
constexpr int Aceptar = 1;
constexpr int Cancelar = 2;
constexpr int Anular = 3;
constexpr int Reintentar = 4;
constexpr int Omitir = 5;
constexpr int Si = 6;
constexpr int No = 7;
} // namespace RespuestaMensaje

// Message boxes: MostrarMensaje returns the answer of the button pressed.
class IMensajes {
public:
    virtual ~IMensajes() = default;
    virtual int MostrarMensaje(const QString& Texto, int Estilo, const QString& Titulo) = 0;
};

// The host's functions object.
class IFunciones {
public:
    virtual ~IFunciones() = default;
    // Receives a window's default reference as it unloads; what it leaves becomes the default instance.
    virtual void LiberarFormulario(QObject*& Ventana) = 0;
    // Draws a text on the pen's line: "I" starts at X, "D" ends at X (centimetres). FinDeLinea ends the line.
    virtual void ImprimirTexto(SuperficieDestino& Superficie, double X, const QString& Alineacion,
                               const QString& Texto, bool FinDeLinea, int Reservado) = 0;
    // Records a statement that has just run; may leave another connection in Conexion.
    virtual void RegistrarOperacion(QVariant& Parametro, std::shared_ptr<Connection>& Conexion,
                                    const QString& Sentencia) = 0;
    // The text stored in Actualizado.
    virtual QString FormatearFecha(const QDateTime& Fecha) = 0;
};

// The host's search window, one object per search.
class IBusqueda {
public:
    virtual ~IBusqueda() = default;
    // Modal. A chosen code is written to the Tag of the window's TxtCodigo and then that text box's
    // text is changed, both before the call returns.
    virtual QString BuscarRegistro(IUtilidades* Utiles, QObject*& Ventana, const QString& Tabla,
                                   const QString& Campo, const QString& ValorActual, const QString& Modo,
                                   bool& Marca) = 0;
};

// The host's print dialog, one object per print.
class IDialogoImpresion {
public:
    virtual ~IDialogoImpresion() = default;
    // Destino returns "Null Impresora", "Pantalla" or a printer's device name.
    virtual void ElegirDestino(IUtilidades* Utiles, QObject*& Ventana, QString& Destino) = 0;
    virtual bool OrdenPorCodigo() const = 0;
    virtual bool ConRango() const = 0;
    virtual QString CodigoDesde() const = 0;
    virtual QString CodigoHasta() const = 0;
    // File written when the chosen device is the PDF printer.
    virtual QString ArchivoPdf() const = 0;
};

namespace Tramacor {

// The global objects, created on first use with the default Qt implementations.
IMensajes& Mensajes();
IFunciones& Funciones();
std::unique_ptr<IBusqueda> NuevaBusqueda();
std::unique_ptr<IDialogoImpresion> NuevoDialogoImpresion();

// Replacements (tests, other hosts). Passing nullptr / an empty function restores the default.
void FijarMensajes(std::shared_ptr<IMensajes> mensajes);
void FijarFunciones(std::shared_ptr<IFunciones> funciones);
void FijarFabricaBusqueda(std::function<std::unique_ptr<IBusqueda>()> fabrica);
void FijarFabricaDialogoImpresion(std::function<std::unique_ptr<IDialogoImpresion>()> fabrica);

} // namespace Tramacor
