#include "tests/apoyo/BasePrueba.h"

#include "data/ErrorDatos.h"
#include "data/ErroresDatos.h"
#include "data/EsquemaProvincias.h"

#include <QCoreApplication>
#include <QRandomGenerator>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QUrl>

bool BasePrueba::EnPostgres()
{
    return qEnvironmentVariable("QUILTREN_MOTOR") == QLatin1String("postgresql");
}

BasePrueba::BasePrueba(bool postgres, const QString& carpeta)
{
    if (!postgres) {
        if (carpeta.isEmpty())
            carpeta_ = std::make_unique<QTemporaryDir>();
        origen_ = (carpeta.isEmpty() ? carpeta_->path() : carpeta) + QStringLiteral("/provincias.db");
        conexion_ = AbrirBaseProvincias(origen_);
        return;
    }
    servidor_ = qEnvironmentVariable("QUILTREN_PG_URL");
    if (servidor_.isEmpty())
        throw ErrorDatos(ErroresDatos::FalloConexion,
                         QStringLiteral("QUILTREN_PG_URL no está definida: esta prueba necesita un servidor PostgreSQL."));
    nombre_ = QStringLiteral("prueba_%1_%2")
                  .arg(QCoreApplication::applicationPid())
                  .arg(QRandomGenerator::global()->generate());
    Connection::Abrir(servidor_)->Execute(QStringLiteral("CREATE DATABASE %1").arg(nombre_));
    QUrl url(servidor_);
    url.setPath(QLatin1Char('/') + nombre_);
    origen_ = url.toString();
    conexion_ = AbrirBaseProvincias(origen_);
}

BasePrueba::~BasePrueba()
{
    conexion_.reset();
    if (nombre_.isEmpty())
        return;
    try {
        Connection::Abrir(servidor_)->Execute(QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(nombre_));
    } catch (const ErrorDatos& error) {
        qWarning("No se pudo borrar la base de pruebas %s: %s", qPrintable(nombre_), error.what());
    }
}

void BasePrueba::Reiniciar(Connection& conexion) const
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

QList<QStringList> FilasDe(Connection& conexion, const QString& sql)
{
    QSqlQuery consulta(conexion.Base());
    if (!consulta.exec(sql))
        return {{QStringLiteral("<fallo: %1>").arg(consulta.lastError().text())}};
    QList<QStringList> filas;
    while (consulta.next()) {
        filas.append(QStringList());
        for (int i = 0; i < consulta.record().count(); ++i)
            filas.last() << consulta.value(i).toString();
    }
    return filas;
}

QString NombreDe(Connection& conexion, const QString& codigo)
{
    return Escalar(conexion, QStringLiteral("SELECT Provincia FROM Provincias WHERE Codigo = '%1'").arg(codigo)).toString();
}
