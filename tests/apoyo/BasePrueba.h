#pragma once
// A province database of its own for one test, with the 52 provinces of the schema: an SQLite
// file in a temporary folder (or in `carpeta`), or a uniquely named database on the PostgreSQL
// server of QUILTREN_PG_URL, dropped at the end. The engine is chosen when the test runs:
// QUILTREN_MOTOR=postgresql (set by quiltren_test_motores for the _postgresql variant).

#include "data/Connection.h"

#include <QTemporaryDir>
#include <QVariant>

#include <memory>

class BasePrueba
{
public:
    static bool EnPostgres();

    // Throws ErrorDatos when PostgreSQL is asked for and QUILTREN_PG_URL is missing or unreachable.
    explicit BasePrueba(const QString& carpeta = {}) : BasePrueba(EnPostgres(), carpeta) {}
    BasePrueba(bool postgres, const QString& carpeta = {});
    ~BasePrueba();
    BasePrueba(const BasePrueba&) = delete;
    BasePrueba& operator=(const BasePrueba&) = delete;

    // The connection the database was created with, and new ones (another user).
    ConnectionPtr Conexion() const { return conexion_; }
    ConnectionPtr Abrir() const { return Connection::Abrir(origen_); }
    // The file path or URL another connection (or process) opens the same database with.
    QString Origen() const { return origen_; }
    QString Carpeta() const { return carpeta_ ? carpeta_->path() : QString(); }
    // Drops the tables and creates the province schema again, with its 52 provinces.
    void Reiniciar(Connection& conexion) const;

private:
    std::unique_ptr<QTemporaryDir> carpeta_;
    QString servidor_;
    QString nombre_;
    QString origen_;
    ConnectionPtr conexion_;
};

// Checks read the table through a bare query, not through the recordset under test: the first
// value, or every row as the texts of its columns.
QVariant Escalar(Connection& conexion, const QString& sql);
QList<QStringList> FilasDe(Connection& conexion, const QString& sql);
QString NombreDe(Connection& conexion, const QString& codigo);
