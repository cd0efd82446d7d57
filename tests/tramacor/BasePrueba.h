#pragma once
// A province database of its own for one test: an SQLite file in a temporary folder, or a
// uniquely named database on the PostgreSQL server of QUILTREN_PG_URL, dropped at the end.
// Shared by the search, listing and maintenance tests.

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
    // The file path or URL another connection (or process) opens the same database with.
    QString Origen() const { return conexion_->Origen(); }

private:
    QTemporaryDir carpeta_;
    QString servidor_;
    QString nombre_;
    ConnectionPtr conexion_;
};
