#pragma once

#include "Connection.h"

#include <QString>
#include <QTemporaryDir>

#include <memory>

// A database of its own for one test: an SQLite file in a temporary folder (or in `carpeta`), or
// a uniquely named PostgreSQL database on the server of QUILTREN_PG_URL, dropped again at the end.
class BaseDePrueba {
public:
    // Throws ErrorDatos when the server is not set or cannot be reached.
    explicit BaseDePrueba(bool postgres, const QString& carpeta = {});
    ~BaseDePrueba();
    BaseDePrueba(const BaseDePrueba&) = delete;
    BaseDePrueba& operator=(const BaseDePrueba&) = delete;

    QString Origen() const { return m_origen; }
    QString Carpeta() const { return m_carpeta ? m_carpeta->path() : QString(); }
    ConnectionPtr Abrir() const { return Connection::Abrir(m_origen); }

    // Drops the tables and creates the province schema again, with its 52 provinces.
    void Reiniciar(Connection& conexion) const;

private:
    bool m_postgres;
    std::unique_ptr<QTemporaryDir> m_carpeta;
    QString m_origen;
    QString m_servidor;
    QString m_nombre;
};

// Checks read the table through a bare query, not through the recordset under test.
QVariant Escalar(Connection& conexion, const QString& sql);
QString NombreDe(Connection& conexion, const QString& codigo);
