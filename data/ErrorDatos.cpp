#include "data/ErrorDatos.h"

#include "data/ErroresDatos.h"

#include <QSqlError>

ErrorDatos::ErrorDatos(long numero, const QString& descripcion, const QString& codigoNativo,
                       const QString& sentencia)
    : numero_(numero), descripcion_(descripcion), codigoNativo_(codigoNativo), sentencia_(sentencia)
{
    texto_ = QStringLiteral("Error %1: %2").arg(numero).arg(descripcion).toUtf8();
}

namespace {

long NumeroSqlite(const QString& codigo, const QString& mensaje)
{
    bool ok = false;
    const int extendido = codigo.toInt(&ok);
    if (!ok)
        return ErroresDatos::ErrorProveedor;
    switch (extendido) {
    case 1555: // primary key
    case 2067: // unique
    case 787:  // foreign key
        return ErroresDatos::ViolacionIntegridad;
    default:
        break;
    }
    switch (extendido & 0xff) {
    case 1: // SQLITE_ERROR: the message tells the kinds apart
        if (mensaje.startsWith(QLatin1String("no such table")))
            return ErroresDatos::TablaNoExiste;
        if (mensaje.startsWith(QLatin1String("no such column")))
            return ErroresDatos::ColumnaNoExiste;
        if (mensaje.contains(QLatin1String("syntax error")) || mensaje.contains(QLatin1String("incomplete input"))
            || mensaje.contains(QLatin1String("unrecognized token")))
            return ErroresDatos::ErrorSintaxis;
        return ErroresDatos::ErrorProveedor;
    case 19: // SQLITE_CONSTRAINT without extended code
        if (mensaje.startsWith(QLatin1String("UNIQUE")) || mensaje.startsWith(QLatin1String("FOREIGN KEY")))
            return ErroresDatos::ViolacionIntegridad;
        return ErroresDatos::RestriccionIncumplida;
    case 3: case 23:
        return ErroresDatos::PermisoDenegado;
    case 5: case 6:
        return ErroresDatos::BaseBloqueada;
    case 8:
        return ErroresDatos::SoloLectura;
    case 10: case 13:
        return ErroresDatos::ErrorEntradaSalida;
    case 11: case 26:
        return ErroresDatos::BaseDanada;
    case 14:
        return ErroresDatos::BaseNoEncontrada;
    case 18: case 20: case 25:
        return ErroresDatos::ConversionNoValida;
    default:
        return ErroresDatos::ErrorProveedor;
    }
}

long NumeroPostgres(const QString& estado)
{
    // A server error always carries its SQLSTATE; none means the client lost the server.
    if (estado.isEmpty())
        return ErroresDatos::FalloConexion;
    if (estado == QLatin1String("23505") || estado == QLatin1String("23503"))
        return ErroresDatos::ViolacionIntegridad;
    if (estado == QLatin1String("42601"))
        return ErroresDatos::ErrorSintaxis;
    if (estado == QLatin1String("42P01"))
        return ErroresDatos::TablaNoExiste;
    if (estado == QLatin1String("42703"))
        return ErroresDatos::ColumnaNoExiste;
    if (estado == QLatin1String("42501"))
        return ErroresDatos::PermisoDenegado;
    if (estado == QLatin1String("25006"))
        return ErroresDatos::SoloLectura;
    if (estado == QLatin1String("3D000"))
        return ErroresDatos::BaseNoEncontrada;
    if (estado == QLatin1String("40P01") || estado == QLatin1String("55P03") || estado == QLatin1String("40001"))
        return ErroresDatos::BaseBloqueada;
    if (estado.startsWith(QLatin1String("57P")))
        return ErroresDatos::FalloConexion;
    const QString clase = estado.left(2);
    if (clase == QLatin1String("23"))
        return ErroresDatos::RestriccionIncumplida;
    if (clase == QLatin1String("42"))
        return ErroresDatos::ErrorSintaxis;
    if (clase == QLatin1String("22"))
        return ErroresDatos::ConversionNoValida;
    if (clase == QLatin1String("08"))
        return ErroresDatos::FalloConexion;
    if (clase == QLatin1String("28"))
        return ErroresDatos::PermisoDenegado;
    if (clase == QLatin1String("53") || clase == QLatin1String("58"))
        return ErroresDatos::ErrorEntradaSalida;
    return ErroresDatos::ErrorProveedor;
}

} // namespace

ErrorDatos ErrorDatos::DesdeSql(const QSqlError& error, const QString& sentencia, bool postgres)
{
    QString descripcion = error.databaseText().trimmed();
    if (descripcion.isEmpty())
        descripcion = error.driverText().trimmed();
    if (descripcion.isEmpty())
        descripcion = QStringLiteral("Error desconocido de la base de datos");
    const QString codigo = error.nativeErrorCode();
    long numero;
    if (postgres)
        numero = NumeroPostgres(codigo);
    else if (codigo.isEmpty() && error.type() == QSqlError::ConnectionError)
        numero = ErroresDatos::BaseNoEncontrada;
    else
        numero = NumeroSqlite(codigo, descripcion);
    return ErrorDatos(numero, descripcion, codigo, sentencia);
}

void LanzarErrorDatos(long numero, const QString& descripcion, const QString& sentencia)
{
    throw ErrorDatos(numero, descripcion, {}, sentencia);
}
