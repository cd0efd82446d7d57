#pragma once
// A province database of its own for one test run: an SQLite file in a temporary folder, or a
// uniquely named database on the PostgreSQL server of QUILTREN_PG_URL, dropped at the end.

#include "Connection.h"

#include <QTemporaryDir>

class BasePrueba
{
public:
    // Throws ErrorDatos when PostgreSQL is asked for and QUILTREN_PG_URL is missing or unreachable.
    explicit BasePrueba(bool postgres);
    ~BasePrueba();
    BasePrueba(const BasePrueba&) = delete;
    BasePrueba& operator=(const BasePrueba&) = delete;

    ConnectionPtr Conexion() const { return conexion_; }

private:
    QTemporaryDir carpeta_;
    QString servidor_;
    QString nombre_;
    ConnectionPtr conexion_;
};
