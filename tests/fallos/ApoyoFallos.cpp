#include "ApoyoFallos.h"

#include "ErrorDatos.h"
#include "ErroresDatos.h"
#include "EsquemaProvincias.h"

#include <QDateTime>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>

#include <atomic>
#include <unistd.h>

namespace ApoyoFallos {

bool EsSoak()
{
    return qEnvironmentVariable("QUILTREN_SOAK") == QLatin1String("1");
}

int Cuenta(int rapido, int completo)
{
    return EsSoak() ? completo : rapido;
}

QString UrlServidorPostgres()
{
    return qEnvironmentVariable("QUILTREN_PG_URL");
}

namespace {

QString UrlConBase(const QString& url, const QString& base)
{
    QUrl direccion(url);
    direccion.setPath(QLatin1Char('/') + base);
    return direccion.toString();
}

void Ejecutar(QSqlQuery& consulta, const QString& sentencia, bool postgres)
{
    if (!consulta.exec(sentencia))
        throw ErrorDatos::DesdeSql(consulta.lastError(), sentencia, postgres);
}

} // namespace

BasePrueba::BasePrueba(bool postgres, const QString& carpeta) : m_postgres(postgres)
{
    if (postgres) {
        const QString servidor = UrlServidorPostgres();
        if (servidor.isEmpty())
            throw ErrorDatos(ErroresDatos::FalloConexion,
                             QStringLiteral("QUILTREN_PG_URL no está definida: estas pruebas necesitan PostgreSQL "
                                            "(ejecútelas con scripts/con-postgresql.sh)."));
        static std::atomic<int> contador{0};
        m_nombreBase = QStringLiteral("fallos_%1_%2_%3")
                           .arg(getpid())
                           .arg(QDateTime::currentMSecsSinceEpoch() % 100000000)
                           .arg(++contador);
        {
            ConnectionPtr admin = Connection::Abrir(servidor);
            admin->Execute(QStringLiteral("CREATE DATABASE %1").arg(m_nombreBase));
        }
        m_origen = UrlConBase(servidor, m_nombreBase);
    } else {
        QString dentro = carpeta;
        if (dentro.isEmpty()) {
            m_carpeta = std::make_unique<QTemporaryDir>();
            if (!m_carpeta->isValid())
                throw ErrorDatos(ErroresDatos::BaseNoEncontrada, QStringLiteral("No se pudo crear una carpeta temporal."));
            dentro = m_carpeta->path();
        }
        m_origen = dentro + QStringLiteral("/provincias.db");
    }
    AbrirBaseProvincias(m_origen);
}

BasePrueba::~BasePrueba()
{
    if (!m_postgres)
        return;
    try {
        ConnectionPtr admin = Connection::Abrir(UrlServidorPostgres());
        admin->Execute(QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(m_nombreBase));
    } catch (const ErrorDatos& error) {
        qWarning("No se pudo borrar la base de pruebas %s: %s", qPrintable(m_nombreBase), error.what());
    }
}

ConnectionPtr BasePrueba::Abrir() const
{
    return Connection::Abrir(m_origen);
}

Tabla LeerTabla(Connection& conexion)
{
    QSqlQuery consulta(conexion.Base());
    consulta.setForwardOnly(true);
    Ejecutar(consulta, QStringLiteral("SELECT Codigo, Provincia FROM Provincias"), conexion.EsPostgres());
    Tabla tabla;
    while (consulta.next())
        tabla.insert(consulta.value(0).toString(), consulta.value(1).toString());
    if (consulta.lastError().isValid())
        throw ErrorDatos::DesdeSql(consulta.lastError(), QStringLiteral("SELECT"), conexion.EsPostgres());
    return tabla;
}

QStringList CodigosRepetidos(Connection& conexion)
{
    QSqlQuery consulta(conexion.Base());
    Ejecutar(consulta, QStringLiteral("SELECT Codigo FROM Provincias GROUP BY Codigo HAVING COUNT(*) > 1"),
             conexion.EsPostgres());
    QStringList repetidos;
    while (consulta.next())
        repetidos << consulta.value(0).toString();
    return repetidos;
}

QString ComprobarIntegridad(Connection& conexion)
{
    QSqlQuery consulta(conexion.Base());
    Ejecutar(consulta, QStringLiteral("PRAGMA integrity_check"), false);
    return consulta.next() ? consulta.value(0).toString() : QStringLiteral("(sin respuesta)");
}

void CargarTabla(Connection& conexion, const Tabla& tabla)
{
    QSqlDatabase base = conexion.Base();
    const bool postgres = conexion.EsPostgres();
    if (!base.transaction())
        throw ErrorDatos::DesdeSql(base.lastError(), QStringLiteral("BEGIN"), postgres);
    QSqlQuery consulta(base);
    Ejecutar(consulta, QStringLiteral("DELETE FROM Municipios"), postgres);
    Ejecutar(consulta, QStringLiteral("DELETE FROM Provincias"), postgres);
    const QString insertar = QStringLiteral("INSERT INTO Provincias (Codigo, Provincia) VALUES (?, ?)");
    if (!consulta.prepare(insertar))
        throw ErrorDatos::DesdeSql(consulta.lastError(), insertar, postgres);
    for (auto fila = tabla.cbegin(); fila != tabla.cend(); ++fila) {
        consulta.bindValue(0, fila.key());
        consulta.bindValue(1, fila.value());
        if (!consulta.exec()) {
            const QSqlError error = consulta.lastError();
            base.rollback();
            throw ErrorDatos::DesdeSql(error, insertar, postgres);
        }
    }
    if (!base.commit())
        throw ErrorDatos::DesdeSql(base.lastError(), QStringLiteral("COMMIT"), postgres);
}

QString Diferencias(const Tabla& esperada, const Tabla& obtenida)
{
    QStringList lineas;
    const auto corto = [](const QString& texto) {
        QString visible = texto.left(40);
        for (QChar& c : visible) {
            if (c.category() == QChar::Other_Control)
                c = QChar(u'·');
        }
        return QLatin1Char('"') + visible + (texto.size() > 40 ? QStringLiteral("…\"") : QStringLiteral("\""));
    };
    for (auto fila = esperada.cbegin(); fila != esperada.cend() && lineas.size() < 8; ++fila) {
        if (!obtenida.contains(fila.key()))
            lineas << QStringLiteral("falta %1").arg(corto(fila.key()));
        else if (obtenida.value(fila.key()) != fila.value())
            lineas << QStringLiteral("%1 tiene %2 en lugar de %3")
                          .arg(corto(fila.key()), corto(obtenida.value(fila.key())), corto(fila.value()));
    }
    for (auto fila = obtenida.cbegin(); fila != obtenida.cend() && lineas.size() < 8; ++fila) {
        if (!esperada.contains(fila.key()))
            lineas << QStringLiteral("sobra %1").arg(corto(fila.key()));
    }
    if (lineas.isEmpty())
        return {};
    return QStringLiteral("%1 filas esperadas, %2 obtenidas: %3")
        .arg(esperada.size()).arg(obtenida.size()).arg(lineas.join(QStringLiteral("; ")));
}

int CompararCodigos(const QString& a, const QString& b)
{
    const QByteArray x = a.toUtf8();
    const QByteArray y = b.toUtf8();
    const int menor = int(std::min(x.size(), y.size()));
    const int c = menor > 0 ? memcmp(x.constData(), y.constData(), size_t(menor)) : 0;
    if (c != 0)
        return c < 0 ? -1 : 1;
    return x.size() < y.size() ? -1 : (x.size() > y.size() ? 1 : 0);
}

bool CodigoMenor(const QString& a, const QString& b)
{
    return CompararCodigos(a, b) < 0;
}

} // namespace ApoyoFallos
