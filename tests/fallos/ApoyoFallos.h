#pragma once

#include "Connection.h"

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>

// What the fault tests share: throw-away databases on both engines, the counts of the quick and
// the full (soak) runs, and reads of the province table to compare with a model.
namespace ApoyoFallos {

// True when QUILTREN_SOAK=1: the tests run their full counts instead of the quick ones.
bool EsSoak();
// `rapido` in the quick set, `completo` under QUILTREN_SOAK=1.
int Cuenta(int rapido, int completo);

// The server of QUILTREN_PG_URL, or an empty text when it is not set.
QString UrlServidorPostgres();

// A database of its own for one test, made empty with the province schema: an SQLite file in a
// temporary folder, or a uniquely named PostgreSQL database dropped again at the end.
class BasePrueba {
public:
    // Throws ErrorDatos when it cannot be made (no server, server down).
    explicit BasePrueba(bool postgres, const QString& carpeta = {});
    ~BasePrueba();
    BasePrueba(const BasePrueba&) = delete;
    BasePrueba& operator=(const BasePrueba&) = delete;

    // The text Connection::Abrir takes.
    QString Origen() const { return m_origen; }
    bool EsPostgres() const { return m_postgres; }
    // SQLite: the database file. Empty on PostgreSQL.
    QString Archivo() const { return m_postgres ? QString() : m_origen; }
    // A new connection to it.
    ConnectionPtr Abrir() const;

private:
    bool m_postgres;
    std::unique_ptr<QTemporaryDir> m_carpeta;
    QString m_origen;
    QString m_nombreBase;
};

// Codes and names of the province table, by code.
using Tabla = QMap<QString, QString>;
// Reads every row through a bare query (not the recordset under test).
Tabla LeerTabla(Connection& conexion);
// Codes that appear more than once (must never happen).
QStringList CodigosRepetidos(Connection& conexion);
// The first line of PRAGMA integrity_check ("ok" for a sound SQLite file).
QString ComprobarIntegridad(Connection& conexion);

// Writes the rows of `tabla` (after deleting every province and town) in one go, bare.
void CargarTabla(Connection& conexion, const Tabla& tabla);

// How two tables differ, in a few lines; empty when they are equal.
QString Diferencias(const Tabla& esperada, const Tabla& obtenida);

// Text order of codes as both engines compare them (byte order of UTF-8).
bool CodigoMenor(const QString& a, const QString& b);
int CompararCodigos(const QString& a, const QString& b);

} // namespace ApoyoFallos
