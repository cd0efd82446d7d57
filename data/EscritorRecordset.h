#pragma once

#include <QList>
#include <QString>
#include <QVariant>

class Connection;
class LectorRecordset;

// The writes of a recordset, with bound parameters, to the database and then to the rows held.
// A new row is one INSERT; an edited row is one UPDATE keyed by the row's original primary key
// and guarded by the values the changed fields had when they were read (optimistic locking):
// when another user has deleted the row or changed one of those fields since, the UPDATE finds
// no row and ErrorDatos FilaDesaparecida is thrown, so no change is ever lost in silence. Only
// rows of a single-table statement that include the key column can be written. Texts that no
// engine stores as they are (half a UTF-16 pair; a NUL character on PostgreSQL) are refused
// with ConversionNoValida.
class EscritorRecordset {
public:
    // Refuses (NoActualizable) a write to a read-only recordset or to rows that cannot be told
    // apart at the database; otherwise finds the statement's table and key, once.
    void ExigirActualizable(const LectorRecordset& lector, bool soloLectura);
    // The statement or its columns have changed: the next write finds the table and key again.
    void Olvidar();
    // Writes the `asignados` values of a new row and appends the row.
    void Insertar(LectorRecordset& lector, const QList<QVariant>& pendientes, const QList<bool>& asignados);
    // Writes the `asignados` values of row `fila` and changes it; nothing when none was assigned.
    void Actualizar(LectorRecordset& lector, qsizetype fila, const QList<QVariant>& pendientes,
                    const QList<bool>& asignados);

private:
    static qsizetype Ejecutar(Connection& conexion, const QString& sentencia, const QList<QVariant>& valores);
    static QString NombreSql(const LectorRecordset& lector, int columna);

    QString tabla_;            // the one table of the statement, once a write needs it
    QList<int> columnasClave_; // its key columns among the recordset's
    bool clavePrimaria_ = true; // false when the key is only a column named Codigo
};
