#pragma once

#include "data/FilasLeidas.h"

#include <QList>
#include <QString>

// Rows a connection has read recently, kept so that a statement repeated while the database
// has not changed is answered from memory. The rows are implicitly shared with the recordsets
// that use them; a recordset that changes its copy detaches it.
struct CacheLecturas {
    struct Entrada {
        QString sentencia;
        FilasLeidas filas;
    };

    // Entries are valid only under the mark they were read with.
    QString marca;
    QList<Entrada> entradas; // most recent first

    static constexpr int MaximoEntradas = 4;

    const Entrada* Buscar(const QString& sentencia, const QString& marcaActual);
    void Guardar(const QString& marcaActual, Entrada entrada);
};
