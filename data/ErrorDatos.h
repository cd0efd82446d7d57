#pragma once

#include <QByteArray>
#include <QString>
#include <exception>

class QSqlError;

// The one error the data layer raises: a number from ErroresDatos.h, the provider's text
// (or a Spanish text where the layer itself refuses something), the driver's native code
// ("2067", "23505", ...) and the statement that failed.
class ErrorDatos : public std::exception {
public:
    ErrorDatos(long numero, const QString& descripcion, const QString& codigoNativo = {},
               const QString& sentencia = {});

    // Classifies a driver error into the numbers of ErroresDatos.h.
    static ErrorDatos DesdeSql(const QSqlError& error, const QString& sentencia, bool postgres);

    long Number() const { return numero_; }
    QString Description() const { return descripcion_; }
    QString NativeCode() const { return codigoNativo_; }
    QString Statement() const { return sentencia_; }

    const char* what() const noexcept override { return texto_.constData(); }

private:
    long numero_;
    QString descripcion_;
    QString codigoNativo_;
    QString sentencia_;
    QByteArray texto_;
};

// Throws the layer's own refusal: a number of ErroresDatos.h, a Spanish text and the statement
// refused, with no native code.
[[noreturn]] void LanzarErrorDatos(long numero, const QString& descripcion, const QString& sentencia = {});
