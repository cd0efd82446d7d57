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

    long Number() const { return m_numero; }
    QString Description() const { return m_descripcion; }
    QString NativeCode() const { return m_codigoNativo; }
    QString Statement() const { return m_sentencia; }

    const char* what() const noexcept override { return m_texto.constData(); }

private:
    long m_numero;
    QString m_descripcion;
    QString m_codigoNativo;
    QString m_sentencia;
    QByteArray m_texto;
};
