#include "BaseDePrueba.h"

#include "ErrorDatos.h"
#include "ErroresDatos.h"
#include "EsquemaProvincias.h"

#include <QCoreApplication>
#include <QRandomGenerator>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>

BaseDePrueba::BaseDePrueba(bool postgres, const QString& carpeta) : m_postgres(postgres)
{
    if (!postgres) {
        if (carpeta.isEmpty())
            m_carpeta = std::make_unique<QTemporaryDir>();
        m_origen = (carpeta.isEmpty() ? m_carpeta->path() : carpeta) + QStringLiteral("/provincias.db");
        AbrirBaseProvincias(m_origen);
        return;
    }
    m_servidor = qEnvironmentVariable("QUILTREN_PG_URL");
    if (m_servidor.isEmpty())
        throw ErrorDatos(ErroresDatos::FalloConexion,
                         QStringLiteral("QUILTREN_PG_URL no está definida: estas pruebas necesitan un servidor PostgreSQL."));
    m_nombre = QStringLiteral("prueba_datos_%1_%2")
                   .arg(QCoreApplication::applicationPid())
                   .arg(QRandomGenerator::global()->generate());
    Connection::Abrir(m_servidor)->Execute(QStringLiteral("CREATE DATABASE %1").arg(m_nombre));
    QUrl url(m_servidor);
    url.setPath(QLatin1Char('/') + m_nombre);
    m_origen = url.toString();
    AbrirBaseProvincias(m_origen);
}

BaseDePrueba::~BaseDePrueba()
{
    if (m_postgres && !m_nombre.isEmpty()) {
        try {
            Connection::Abrir(m_servidor)->Execute(QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(m_nombre));
        } catch (const ErrorDatos& error) {
            qWarning("No se pudo borrar la base de pruebas %s: %s", qPrintable(m_nombre), error.what());
        }
    }
}

void BaseDePrueba::Reiniciar(Connection& conexion) const
{
    for (const char* tabla : {"Municipios", "Provincias", "Textos", "Auditoria"})
        conexion.Execute(QStringLiteral("DROP TABLE IF EXISTS %1").arg(QLatin1String(tabla)));
    CrearEsquemaSiFalta(conexion);
}

QVariant Escalar(Connection& conexion, const QString& sql)
{
    QSqlQuery consulta(conexion.Base());
    if (!consulta.exec(sql) || !consulta.next())
        return QStringLiteral("<fallo: %1>").arg(consulta.lastError().text());
    return consulta.value(0);
}

QString NombreDe(Connection& conexion, const QString& codigo)
{
    return Escalar(conexion, QStringLiteral("SELECT Provincia FROM Provincias WHERE Codigo = '%1'").arg(codigo)).toString();
}
