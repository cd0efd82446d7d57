#pragma once

#include "data/Connection.h"
#include "data/FilasLeidas.h"

#include <QAnyStringView>
#include <QList>
#include <QString>
#include <QVariant>

#include <memory>

class QSqlQuery;

// The rows of a recordset's statement and how they are read. A read takes every row at once,
// and a read of the same statement while the database has not changed is answered from the
// connection's rows. A read as it goes takes blocks of rows as the cursor reaches them (on
// PostgreSQL through a cursor held on the server); past a few thousand rows it keeps only the
// current block, so a forward pass over any number of rows needs little memory, and completing
// it after rows were dropped reads the statement again in full. An error half-way through such
// a read is thrown by the block that meets it.
class LectorRecordset {
public:
    LectorRecordset();
    ~LectorRecordset();
    LectorRecordset(const LectorRecordset&) = delete;
    LectorRecordset& operator=(const LectorRecordset&) = delete;

    // Runs `origen` on `conexion`, which must outlive the rows held; `aPlazos` lets it read as it
    // goes. False, with nothing changed, for a statement that returns no rows. Nothing changes
    // either until the new rows are complete, so a failing read keeps the rows held before.
    bool Leer(Connection& conexion, const QString& origen, bool aPlazos);
    // Whether a read as it goes has rows still to take.
    bool Leyendo() const { return lectura_ != nullptr; }
    // Takes the next block of a read in progress; without `conservar`, rows behind are dropped
    // once there are many.
    void LeerBloque(bool conservar = false);
    // Completes a read in progress, so that every row is held.
    void LeerTodo();
    // Ends any read and drops the rows and the connection.
    void Cerrar();

    // Rows Base() to Filas() - 1 are held in Datos(), the first of them at its row 0.
    const FilasLeidas& Datos() const { return datos_; }
    qsizetype Base() const { return base_; }
    qsizetype Filas() const { return filas_; }
    int IndiceColumna(QAnyStringView nombre) const; // -1 when missing

    // What a write has made of the rows held.
    void AgregarFila(const QList<QVariant>& valores);
    void CambiarFila(qsizetype fila, const QList<QVariant>& valores);

    Connection& Conexion() const { return *conexion_; }
    const QString& Origen() const { return origen_; }

private:
    // Ends any read in progress and holds `datos`, the rows of `origen`, from the first.
    void Adoptar(Connection& conexion, const QString& origen, FilasLeidas datos);
    void TerminarLectura();
    static QString SentenciaBloque(const QString& cursor);
    static void CerrarCursor(Connection& conexion, const QString& cursor);

    // The statement of the rows held and its connection, which the recordset keeps.
    Connection* conexion_ = nullptr;
    QString origen_;

    FilasLeidas datos_;
    qsizetype base_ = 0;
    qsizetype filas_ = 0;

    // A read in progress, the change mark it started under and whether its rows, once complete,
    // go to the connection's cache of reads.
    std::unique_ptr<QSqlQuery> lectura_;
    QString cursorServidor_;        // the held cursor of a read on PostgreSQL
    qsizetype leidasDelBloque_ = 0; // rows taken from the current query or FETCH
    QString marcaLectura_;
    bool guardarLectura_ = false;
    static constexpr qsizetype FilasPorBloque = 1024;
    static constexpr qsizetype FilasRetenidas = 16384;
};
