#include "data/Connection.h"

#include "data/CacheLecturas.h"
#include "data/ColacionEspanola.h"
#include "data/ErrorDatos.h"
#include "data/ErroresDatos.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>
#include <QUrlQuery>

#include <atomic>
#include <libpq-fe.h>
#include <sqlite3.h>

namespace {

constexpr int EsperaBloqueoInicial = 5000;

QString NuevoNombreConexion()
{
    static std::atomic<unsigned> contador{0};
    return QStringLiteral("quiltren-datos-%1").arg(++contador);
}

bool TieneSustitutoSuelto(QStringView texto)
{
    for (qsizetype i = 0; i < texto.size(); ++i) {
        if (texto[i].isHighSurrogate() && i + 1 < texto.size() && texto[i + 1].isLowSurrogate())
            ++i;
        else if (texto[i].isSurrogate())
            return true;
    }
    return false;
}

bool EsUrlPostgres(const QString& origen)
{
    return origen.startsWith(QLatin1String("postgresql://"), Qt::CaseInsensitive)
        || origen.startsWith(QLatin1String("postgres://"), Qt::CaseInsensitive);
}

// Where a PostgreSQL session stands: idle, in a transaction, in one with a failed statement, or
// unknown while a statement is under way.
PGTransactionStatusType EstadoSesionPostgres(const QSqlDatabase& base)
{
    // Qt names the handle after libpq's struct.
    const QVariant manejador = base.driver()->handle();
    if (!manejador.isValid()
        || (qstrcmp(manejador.typeName(), "pg_conn*") != 0 && qstrcmp(manejador.typeName(), "PGconn*") != 0))
        return PQTRANS_UNKNOWN;
    const PGconn* sesion = *static_cast<PGconn* const*>(manejador.constData());
    return sesion ? PQtransactionStatus(sesion) : PQTRANS_UNKNOWN;
}

} // namespace

const CacheLecturas::Entrada* CacheLecturas::Buscar(const QString& sentencia, const QString& marcaActual)
{
    if (marcaActual.isEmpty() || marcaActual != marca) {
        entradas.clear();
        marca = marcaActual;
        return nullptr;
    }
    for (qsizetype i = 0; i < entradas.size(); ++i) {
        if (entradas[i].sentencia == sentencia) {
            if (i > 0)
                entradas.move(i, 0);
            return &entradas.first();
        }
    }
    return nullptr;
}

void CacheLecturas::Guardar(const QString& marcaActual, Entrada entrada)
{
    if (marcaActual.isEmpty())
        return;
    if (marcaActual != marca) {
        entradas.clear();
        marca = marcaActual;
    }
    entradas.prepend(std::move(entrada));
    while (entradas.size() > MaximoEntradas)
        entradas.removeLast();
}

Connection::Connection(const QString& origen, const QString& nombreConexion, bool postgres)
    : origen_(origen), nombreConexion_(nombreConexion), postgres_(postgres), cache_(new CacheLecturas)
{
}

Connection::~Connection()
{
    cache_.reset();
    {
        QSqlDatabase base = QSqlDatabase::database(nombreConexion_, false);
        base.close();
    }
    QSqlDatabase::removeDatabase(nombreConexion_);
}

ConnectionPtr Connection::Abrir(const QString& origen, Apertura modo)
{
    const bool postgres = EsUrlPostgres(origen);
    const QString nombre = NuevoNombreConexion();

    if (!postgres) {
        if (origen.trimmed().isEmpty())
            throw ErrorDatos(ErroresDatos::BaseNoEncontrada, QStringLiteral("No se ha indicado la base de datos."));
        if (origen != QLatin1String(":memory:")) {
            const QFileInfo archivo(origen);
            if (!archivo.absoluteDir().exists())
                throw ErrorDatos(ErroresDatos::BaseNoEncontrada,
                                 QStringLiteral("No existe la carpeta de la base de datos: %1").arg(archivo.absolutePath()));
            if (archivo.isDir())
                throw ErrorDatos(ErroresDatos::BaseNoEncontrada,
                                 QStringLiteral("La ruta es una carpeta, no una base de datos: %1").arg(origen));
            if (!archivo.exists() && modo == Apertura::Existente)
                throw ErrorDatos(ErroresDatos::BaseNoEncontrada,
                                 QStringLiteral("No existe la base de datos: %1").arg(origen));
        }
    }

    // Built before the driver connection so that any failure below removes it again.
    ConnectionPtr conexion(new Connection(origen, nombre, postgres));
    QSqlDatabase base = QSqlDatabase::addDatabase(postgres ? QStringLiteral("QPSQL") : QStringLiteral("QSQLITE"), nombre);
    if (!base.isValid())
        throw ErrorDatos(ErroresDatos::FalloConexion,
                         QStringLiteral("No está disponible el controlador de base de datos %1.").arg(base.driverName()));

    if (postgres) {
        const QUrl url(origen);
        if (!url.isValid() || url.host().isEmpty())
            throw ErrorDatos(ErroresDatos::ArgumentosNoValidos,
                             QStringLiteral("La dirección de la base de datos no es válida: %1").arg(origen));
        base.setHostName(url.host());
        base.setPort(url.port(5432));
        base.setUserName(url.userName(QUrl::FullyDecoded));
        base.setPassword(url.password(QUrl::FullyDecoded));
        base.setDatabaseName(url.path(QUrl::FullyDecoded).mid(1));
        QStringList opciones{QStringLiteral("connect_timeout=5")};
        for (const auto& par : QUrlQuery(url).queryItems(QUrl::FullyDecoded))
            opciones << par.first + QLatin1Char('=') + par.second;
        base.setConnectOptions(opciones.join(QLatin1Char(';')));
    } else {
        base.setDatabaseName(origen);
    }

    if (!base.open()) {
        const QSqlError error = base.lastError();
        QString descripcion = error.databaseText().trimmed();
        if (descripcion.isEmpty())
            descripcion = error.text().trimmed();
        throw ErrorDatos(postgres ? ErroresDatos::FalloConexion : ErroresDatos::BaseNoEncontrada,
                         QStringLiteral("No se puede abrir la base de datos %1: %2").arg(origen, descripcion),
                         error.nativeErrorCode());
    }

    if (postgres)
        conexion->PrepararPostgres();
    else
        conexion->PrepararSqlite();
    return conexion;
}

void Connection::PrepararSqlite()
{
    QSqlDatabase base = Base();
    const QVariant manejador = base.driver()->handle();
    if (!manejador.isValid() || qstrcmp(manejador.typeName(), "sqlite3*") != 0)
        throw ErrorDatos(ErroresDatos::FalloConexion, QStringLiteral("El controlador SQLite no ofrece su conexión interna."));
    auto* sqlite = *static_cast<sqlite3* const*>(manejador.constData());
    if (!sqlite)
        throw ErrorDatos(ErroresDatos::FalloConexion, QStringLiteral("La conexión SQLite no está abierta."));
    manejador_ = sqlite;

    // Extended codes tell a duplicate key (1555, 2067) and a reference (787) from other refusals.
    sqlite3_extended_result_codes(sqlite, 1);
    sqlite3_busy_timeout(sqlite, EsperaBloqueoInicial);
    const int registro = RegistrarColacionEspanola(sqlite);
    if (registro != SQLITE_OK)
        throw ErrorDatos(ErroresDatos::ErrorProveedor,
                         QStringLiteral("No se pudo registrar la colación española: %1").arg(QString::fromUtf8(sqlite3_errstr(registro))),
                         QString::number(registro));

    Execute(QStringLiteral("PRAGMA foreign_keys = ON"));
    // Text compares exactly: `like` must tell letter case apart as `=` does.
    Execute(QStringLiteral("PRAGMA case_sensitive_like = ON"));
    Execute(QStringLiteral("PRAGMA journal_mode = WAL"));
}

void Connection::PrepararPostgres()
{
    Execute(QStringLiteral("SET client_encoding TO 'UTF8'"));
}

QSqlDatabase Connection::Base() const
{
    return QSqlDatabase::database(nombreConexion_, false);
}

void Connection::ExigirSentenciaAdmisible(const QString& sql) const
{
    // SQLite would end the statement at a NUL and both engines would alter half a UTF-16 pair:
    // what ran would not be what was written.
    if (sql.contains(QChar(0)) || TieneSustitutoSuelto(sql))
        throw ErrorDatos(ErroresDatos::ConversionNoValida,
                         QStringLiteral("La sentencia contiene un carácter nulo o incompleto (media pareja UTF-16) "
                                        "y no se puede enviar a la base de datos."),
                         {}, sql);
}

void Connection::ExigirValorAdmisible(const QVariant& valor, const QString& sentencia) const
{
    if (valor.userType() != QMetaType::QString)
        return;
    const QString& texto = *static_cast<const QString*>(valor.constData());
    if (TieneSustitutoSuelto(texto))
        throw ErrorDatos(ErroresDatos::ConversionNoValida,
                         QStringLiteral("El texto contiene un carácter incompleto (media pareja UTF-16) y no se puede "
                                        "guardar tal como está."),
                         {}, sentencia);
    if (postgres_ && texto.contains(QChar(0)))
        throw ErrorDatos(ErroresDatos::ConversionNoValida,
                         QStringLiteral("PostgreSQL no admite el carácter nulo (U+0000) dentro de un texto."), {}, sentencia);
}

void Connection::Execute(const QString& sql)
{
    ExigirSentenciaAdmisible(sql);
    QSqlQuery consulta(BaseLista());
    if (!consulta.exec(sql))
        throw Error(consulta.lastError(), sql);
}

QSqlDatabase Connection::BaseLista()
{
    QSqlDatabase base = Base();
    if (base.isOpen())
        return base;
    // A new session would run the rest of the transaction's work on its own, committed piece by piece.
    if (nivel_ > 0)
        throw ErrorDatos(ErroresDatos::FalloConexion,
                         QStringLiteral("Se ha perdido la conexión con la base de datos durante una transacción; "
                                        "sus cambios se han deshecho."));
    if (!base.open()) {
        const QSqlError error = base.lastError();
        throw ErrorDatos(ErroresDatos::FalloConexion,
                         QStringLiteral("Se ha perdido la conexión con la base de datos y no se puede restablecer: %1")
                             .arg(error.text().trimmed()),
                         error.nativeErrorCode());
    }
    // A new session starts its change counters afresh: rows kept from the old one must go.
    *cache_ = CacheLecturas();
    if (postgres_)
        PrepararPostgres();
    else
        PrepararSqlite();
    return base;
}

ErrorDatos Connection::Error(const QSqlError& error, const QString& sentencia)
{
    ErrorDatos resultado = ErrorDatos::DesdeSql(error, sentencia, postgres_);
    if (postgres_ && resultado.Number() == ErroresDatos::FalloConexion)
        Base().close();
    return resultado;
}

void Connection::EstablecerEsperaBloqueo(int milisegundos)
{
    if (milisegundos < 0)
        throw ErrorDatos(ErroresDatos::ArgumentosNoValidos, QStringLiteral("El tiempo de espera no puede ser negativo."));
    if (postgres_)
        Execute(QStringLiteral("SET lock_timeout = %1").arg(milisegundos));
    else
        sqlite3_busy_timeout(static_cast<sqlite3*>(manejador_), milisegundos);
}

bool Connection::EnTransaccion() const
{
    if (!postgres_)
        return manejador_ && !sqlite3_get_autocommit(static_cast<sqlite3*>(manejador_));
    const QSqlDatabase base = Base();
    if (!base.isOpen())
        return false;
    switch (EstadoSesionPostgres(base)) {
    case PQTRANS_INTRANS:
    case PQTRANS_INERROR:
        return true;
    case PQTRANS_IDLE:
        return false;
    default:
        // A statement still under way tells nothing: only our own levels are known.
        return nivel_ > 0;
    }
}

QString Connection::PuntoGuardado(long nivel)
{
    return QStringLiteral("quiltren_nivel_%1").arg(nivel);
}

void Connection::ExigirTransaccion(const char* operacion) const
{
    if (nivel_ == 0)
        throw ErrorDatos(ErroresDatos::SinTransaccion,
                         QStringLiteral("%1: no hay ninguna transacción abierta.").arg(QLatin1String(operacion)));
}

long Connection::BeginTrans()
{
    BaseLista();
    if (nivel_ == 0 && !EnTransaccion()) {
        Execute(postgres_ ? QStringLiteral("BEGIN") : QStringLiteral("BEGIN IMMEDIATE"));
        transaccionPropia_ = true;
    } else {
        Execute(QStringLiteral("SAVEPOINT %1").arg(PuntoGuardado(nivel_ + 1)));
        if (nivel_ == 0)
            transaccionPropia_ = false;
    }
    return ++nivel_;
}

void Connection::CommitTrans()
{
    ExigirTransaccion("CommitTrans");
    if (!Base().isOpen() || !EnTransaccion()) {
        nivel_ = 0;
        throw ErrorDatos(ErroresDatos::FalloConexion,
                         QStringLiteral("La transacción ya no existe (se perdió la conexión o la base de datos la "
                                        "deshizo tras un error); sus cambios no se han guardado."));
    }
    if (NivelEsPuntoGuardado()) {
        const QString liberar = QStringLiteral("RELEASE SAVEPOINT %1").arg(PuntoGuardado(nivel_));
        try {
            Execute(liberar);
        } catch (const ErrorDatos&) {
            RollbackTrans();
            throw;
        }
        --nivel_;
        return;
    }

    QSqlDatabase base = Base();
    // PostgreSQL answers COMMIT in a transaction with a failed statement by undoing it, without an error.
    const bool fallida = postgres_ && EstadoSesionPostgres(base) == PQTRANS_INERROR;
    const QString confirmar = QStringLiteral("COMMIT");
    QSqlQuery consulta(base);
    if (!fallida && consulta.exec(confirmar)) {
        nivel_ = 0;
        return;
    }
    const ErrorDatos error = fallida
        ? ErrorDatos(ErroresDatos::ErrorProveedor,
                     QStringLiteral("Una sentencia de la transacción falló; la transacción se ha deshecho entera."),
                     {}, confirmar)
        : Error(consulta.lastError(), confirmar);
    // SQLite keeps the transaction open after a refused COMMIT (a deferred reference, a lock):
    // it is undone here, so the connection is usable and holds no lock.
    if (Base().isOpen() && EnTransaccion())
        QSqlQuery(Base()).exec(QStringLiteral("ROLLBACK"));
    nivel_ = 0;
    throw error;
}

void Connection::RollbackTrans()
{
    ExigirTransaccion("RollbackTrans");
    // A lost session or a failure that ended the transaction has undone every level already.
    const auto deshechaYa = [this] { return !Base().isOpen() || !EnTransaccion(); };
    if (deshechaYa()) {
        nivel_ = 0;
        return;
    }
    try {
        if (NivelEsPuntoGuardado()) {
            const QString punto = PuntoGuardado(nivel_);
            Execute(QStringLiteral("ROLLBACK TO SAVEPOINT %1").arg(punto));
            Execute(QStringLiteral("RELEASE SAVEPOINT %1").arg(punto));
        } else {
            Execute(QStringLiteral("ROLLBACK"));
        }
    } catch (const ErrorDatos&) {
        if (!deshechaYa())
            throw;
        nivel_ = 0;
        return;
    }
    --nivel_;
}

QString Connection::MarcaCambios()
{
    if (postgres_)
        return MarcaCambiosPostgres();
    if (!manejador_)
        return {};
    // Inside a transaction our own changes may still be rolled back without moving any
    // counter, so nothing read there may be reused.
    if (!sqlite3_get_autocommit(static_cast<sqlite3*>(manejador_)))
        return {};
    QSqlQuery consulta(Base());
    consulta.setForwardOnly(true);
    // Other connections' commits move data_version, our own row changes total_changes, and
    // any schema change schema_version.
    if (!consulta.exec(QStringLiteral("SELECT * FROM pragma_data_version, pragma_schema_version"))
        || !consulta.next())
        return {};
    return QStringLiteral("%1:%2:%3")
        .arg(consulta.value(0).toLongLong())
        .arg(consulta.value(1).toLongLong())
        .arg(sqlite3_total_changes64(static_cast<sqlite3*>(manejador_)));
}

QString Connection::MarcaCambiosPostgres()
{
    // Two statements that see the same snapshot (the same committed and in-progress transactions)
    // see the same rows: every change of a row takes a transaction id. The snapshot is taken
    // before the rows are read, so rows read later can only be newer than the mark, which makes
    // the next comparison miss, never hit wrongly. Inside a transaction of our own that has
    // written, nothing may be reused.
    QSqlQuery consulta(Base());
    consulta.setForwardOnly(true);
    if (!consulta.exec(QStringLiteral("SELECT pg_current_snapshot()::text, txid_current_if_assigned()"))
        || !consulta.next() || !consulta.value(1).isNull())
        return {};
    return QStringLiteral("pg:") + consulta.value(0).toString();
}
