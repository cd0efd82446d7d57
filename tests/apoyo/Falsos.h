#pragma once
// Scripted stand-ins for the host's objects: each records how it was called and answers as the
// test scripted it. Install them with the Instalar... functions; remove them with
// Tramacor::Fijar...(nullptr / {}).

#include "tramacor/DialogoDestino.h"
#include "tramacor/FuncionesQt.h"
#include "tramacor/Tramacor.h"

#include <QList>
#include <QPointer>
#include <QStringList>
#include <memory>

struct LlamadaMensaje
{
    QString Texto;
    int Estilo = 0;
    QString Titulo;
    bool operator==(const LlamadaMensaje& otra) const
    {
        return Texto == otra.Texto && Estilo == otra.Estilo && Titulo == otra.Titulo;
    }
};

class MensajesFalsos : public IMensajes
{
public:
    // Records the call and returns the next scripted answer; with none left,
    // RespuestaPredeterminada, or when that is 0 the answer of closing the box.
    int MostrarMensaje(const QString& Texto, int Estilo, const QString& Titulo) override;

    QList<LlamadaMensaje> Llamadas;
    QList<int> Respuestas;
    int RespuestaPredeterminada = 0;
};
std::shared_ptr<MensajesFalsos> InstalarMensajesFalsos();

struct LlamadaBusqueda
{
    QPointer<QObject> Ventana;
    QString Tabla, Campo, ValorActual, Modo;
    bool Marca = false;
};

struct GuionBusqueda
{
    // The code the user "chooses" in each search, in order; empty or none left: cancelled.
    QStringList Elecciones;
    QList<LlamadaBusqueda> Llamadas;
};
// The chosen code is handed over as the real search window hands it (EntregarCodigo).
std::shared_ptr<GuionBusqueda> InstalarBusquedaFalsa();

// The print dialog's answer "Pantalla" with every other option at its default.
inline OpcionesImpresion OpcionesPantalla()
{
    OpcionesImpresion opciones;
    opciones.Destino = QStringLiteral("Pantalla");
    return opciones;
}

struct GuionImpresion
{
    // One entry per dialog, in order; with none left, Predeterminada.
    QList<OpcionesImpresion> Respuestas;
    OpcionesImpresion Predeterminada;
    QList<QPointer<QObject>> Ventanas; // the window each call received
};
std::shared_ptr<GuionImpresion> InstalarDialogoImpresionFalso();

// The real functions, with the released windows recorded, a fixed date text when one is given
// and a scripted failure of RegistrarOperacion.
class FuncionesFalsas : public FuncionesQt
{
public:
    void LiberarFormulario(QObject*& Ventana) override;
    void RegistrarOperacion(QVariant& Parametro, std::shared_ptr<Connection>& Conexion,
                            const QString& Sentencia) override;
    QString FormatearFecha(const QDateTime& Fecha) override;

    QList<QPointer<QObject>> Liberados;
    bool SoloAnotar = true;  // RegistrarOperacion writes nothing
    int FalloRegistro = 0;   // when not zero, RegistrarOperacion fails with this number
    QString FechaFija;
};
std::shared_ptr<FuncionesFalsas> InstalarFuncionesFalsas();

// Hands over the values a test gives it, with the interface texts opened as the host opens them,
// and can fail once it has written them all.
class UtilidadesFalsas : public IUtilidades
{
public:
    void ObtenerDatos(DatosAnfitrion& Datos) override;
    void PintarFormulario(QObject*&) override { ++LlamadasPintar; }

    std::shared_ptr<Connection> Conexion;
    // Any object, so that the type check can be tested.
    QPointer<QObject> Ubicacion, Principal;
    QString Usuario = QStringLiteral("prueba");
    // When set, the call fails with error 5 after writing every value.
    bool Fallar = false;
    int LlamadasPintar = 0;
};
