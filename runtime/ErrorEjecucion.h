#pragma once

#include <QString>
#include <exception>
#include <functional>
#include <string>

// A run-time error raised by the forms runtime: a number from the platform's own table of
// run-time errors and a Spanish description. It propagates to whoever called the member.
class ErrorEjecucion : public std::exception
{
public:
    ErrorEjecucion(int numero, const QString& descripcion);
    // One of the errors below that have a fixed description (Desbordamiento, DivisionPorCero,
    // TiposNoCoinciden, VariableObjetoNoEstablecida), with that description.
    explicit ErrorEjecucion(int numero);

    int Number() const { return numero_; }
    QString Description() const { return descripcion_; }
    const char* what() const noexcept override { return texto_.c_str(); }

    // The numbers the runtime raises.
    static constexpr int LlamadaNoValida = 5;
    static constexpr int Desbordamiento = 6;
    static constexpr int SubindiceFueraIntervalo = 9;
    static constexpr int DivisionPorCero = 11;
    static constexpr int TiposNoCoinciden = 13;
    static constexpr int ArchivoNoEncontrado = 53;
    static constexpr int VariableObjetoNoEstablecida = 91;
    static constexpr int ElementoNoExiste = 340;
    static constexpr int ValorPropiedadNoValido = 380;
    static constexpr int IndiceMatrizPropiedadesNoValido = 381;
    static constexpr int NoAdmitePropiedadOMetodo = 438;
    static constexpr int ImagenNoValida = 481;
    static constexpr int ControlNoEncontrado = 730;
    static constexpr int ValorFilaNoValido = 30009;
    static constexpr int ValorColumnaNoValido = 30010;

private:
    int numero_;
    QString descripcion_;
    std::string texto_;
};

// Errors that escape an event handler raised by the user (a click, a key, a paint) cannot go
// back to any caller: the runtime hands them to this handler instead of letting them reach the
// event loop. The default one writes them to the error output and shows a message box.
using ManejadorErroresEventos = std::function<void(int numero, const QString& descripcion)>;
void FijarManejadorErroresEventos(ManejadorErroresEventos manejador);
void InformarErrorEvento(int numero, const QString& descripcion);

// Runs an event handler reached from the event loop and reports whatever it throws.
template <class F>
void AtenderEvento(F&& manejador) noexcept
{
    try {
        manejador();
    } catch (const ErrorEjecucion& e) {
        InformarErrorEvento(e.Number(), e.Description());
    } catch (const std::exception& e) {
        InformarErrorEvento(0, QString::fromUtf8(e.what()));
    } catch (...) {
        InformarErrorEvento(0, QStringLiteral("Error desconocido en un controlador de eventos"));
    }
}
