#include "BasePrueba.h"

#include "ErrorDatos.h"
#include "ErroresDatos.h"
#include "EsquemaProvincias.h"

#include <QCoreApplication>
#include <QRandomGenerator>
#include <QUrl>

BasePrueba::BasePrueba(bool postgres)
{
    if (!postgres) {
        conexion_ = AbrirBaseProvincias(carpeta_.filePath(QStringLiteral("prueba.sqlite")));
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
    conexion_ = AbrirBaseProvincias(url.toString());
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
