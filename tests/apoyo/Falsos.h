#pragma once
// Scripted stand-ins for the host's objects, for tests: each records how it was called and
// answers as the test scripted it. Install them with the Instalar... functions and remove them
// with Tramacor::Fijar...(nullptr / {}).

#include "DialogoDestino.h"
#include "FuncionesQt.h"
#include "Tramacor.h"

#include <QList>
#include <QPointer>
#include <QStringList>
#include <memory>

// ---- Message box ----

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
    // Records the call and returns the next scripted answer; with none left, RespuestaPredeterminada,
    // or, when that is 0, the answer of closing the box (1 for OK boxes, 7 for Yes/No).
    // A style the real box refuses is refused here too (error 5), and is not recorded.
    int MostrarMensaje(const QString& Texto, int Estilo, const QString& Titulo) override;

    QList<LlamadaMensaje> Llamadas;
    QList<int> Respuestas;
    int RespuestaPredeterminada = 0;
};
std::shared_ptr<MensajesFalsos> InstalarMensajesFalsos();

// ---- Search window ----

struct LlamadaBusqueda
{
    QPointer<QObject> Ventana;
    QString Tabla, Campo, ValorActual, Modo;
    bool Marca = false;
};

struct GuionBusqueda
{
    // One entry per search, in order: the code the user "chooses", or an empty text to cancel.
    // With no entry left the search is cancelled.
    QStringList Elecciones;
    QList<LlamadaBusqueda> Llamadas;
};

// Hands a chosen code over exactly as the real search window does (EntregarCodigo).
class BusquedaFalsa : public IBusqueda
{
public:
    explicit BusquedaFalsa(std::shared_ptr<GuionBusqueda> guion) : guion_(std::move(guion)) {}
    QString BuscarRegistro(IUtilidades* Utiles, QObject*& Ventana, const QString& Tabla, const QString& Campo,
                           const QString& ValorActual, const QString& Modo, bool& Marca) override;

private:
    std::shared_ptr<GuionBusqueda> guion_;
};
std::shared_ptr<GuionBusqueda> InstalarBusquedaFalsa();

// ---- Print dialog ----

struct GuionImpresion
{
    // One entry per dialog, in order; with none left, Predeterminada.
    QList<OpcionesImpresion> Respuestas;
    OpcionesImpresion Predeterminada;
    QList<QPointer<QObject>> Ventanas;   // the window each call received
};

class DialogoImpresionFalso : public IDialogoImpresion
{
public:
    explicit DialogoImpresionFalso(std::shared_ptr<GuionImpresion> guion) : guion_(std::move(guion)) {}
    void ElegirDestino(IUtilidades* Utiles, QObject*& Ventana, QString& Destino) override;
    bool OrdenPorCodigo() const override { return opciones_.OrdenPorCodigo; }
    bool ConRango() const override { return opciones_.ConRango; }
    QString CodigoDesde() const override { return opciones_.CodigoDesde; }
    QString CodigoHasta() const override { return opciones_.CodigoHasta; }
    QString ArchivoPdf() const override { return opciones_.ArchivoPdf; }

private:
    std::shared_ptr<GuionImpresion> guion_;
    OpcionesImpresion opciones_;
};
std::shared_ptr<GuionImpresion> InstalarDialogoImpresionFalso();

// ---- Functions object ----

struct LlamadaRegistro
{
    QVariant Parametro;
    QString Sentencia;
};

// The real functions (drawing, log) with every call recorded, a fixed date text when one is
// given, and a scripted failure of RegistrarOperacion.
class FuncionesFalsas : public FuncionesQt
{
public:
    void LiberarFormulario(QObject*& Ventana) override;
    void RegistrarOperacion(QVariant& Parametro, std::shared_ptr<Connection>& Conexion,
                            const QString& Sentencia) override;
    QString FormatearFecha(const QDateTime& Fecha) override;

    QList<QPointer<QObject>> Liberados;
    QList<LlamadaRegistro> Registros;
    // When true, RegistrarOperacion only records the call and writes nothing.
    bool SoloAnotar = true;
    // When not zero, RegistrarOperacion fails with this number (after recording the call).
    int FalloRegistro = 0;
    QString FechaFija;
};
std::shared_ptr<FuncionesFalsas> InstalarFuncionesFalsas();

// ---- Utilities object ----

// Writes the values a test gives it, in argument order, and can fail part way.
class UtilidadesFalsas : public IUtilidades
{
public:
    void ObtenerDatos(std::shared_ptr<Connection>& Conexion, QVariant& Valor2, QVariant& Valor3,
                      QVariant& Valor4, QVariant& Valor5, QObject*& Ubicacion, QObject*& Principal,
                      long& AnchoBase, long& AltoBase, QVariant& Valor10,
                      std::shared_ptr<Recordset>& Textos, std::shared_ptr<Recordset>& TextosListado,
                      std::shared_ptr<Recordset>& RecordsetSinUso, QVariant& ParametroRegistro,
                      QString& Usuario) override;
    void PintarFormulario(QObject*& Ventana) override;

    // The values written. Ubicacion and Principal may be any object, to test the type check.
    std::shared_ptr<Connection> Conexion;
    QVariant Valor2 = 2, Valor3 = 3, Valor4 = 4, Valor5 = 5, Valor10 = 10;
    QPointer<QObject> Ubicacion;
    QPointer<QObject> Principal;
    long AnchoBase = 15360;
    long AltoBase = 11520;
    // When not empty, Textos and TextosListado are opened on this statement (read-only) and
    // positioned on their first row; otherwise they are left as received.
    QString SentenciaTextos;
    QVariant ParametroRegistro;
    QString Usuario = QStringLiteral("prueba");

    // How many of the 15 values are written before the call fails; -1 never fails.
    int FallarTrasValores = -1;
    int NumeroFallo = 5;
    QString DescripcionFallo = QStringLiteral("El anfitrión no pudo entregar los datos");

    int LlamadasObtenerDatos = 0;
    int LlamadasPintar = 0;
    QList<QPointer<QObject>> Pintadas;
};
