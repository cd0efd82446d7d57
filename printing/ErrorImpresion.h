#pragma once
// The failure of a drawing surface: a printer that cannot be opened or fails, a PDF that cannot be
// written, a value out of range. The description is in Spanish and is meant to be shown to the user
// as it stands.

#include <QString>
#include <stdexcept>

class ErrorImpresion : public std::runtime_error {
public:
    // Numbers follow the forms runtime: 482 printer error, 380 invalid property value.
    static constexpr long ErrorImpresora = 482;
    static constexpr long ValorNoValido = 380;

    explicit ErrorImpresion(const QString& descripcion, long numero = ErrorImpresora);

    const QString& Descripcion() const { return descripcion_; }
    long Numero() const { return numero_; }

private:
    QString descripcion_;
    long numero_;
};
