#pragma once

#include "data/Connection.h"
#include "data/Field.h"
#include "data/Fields.h"
#include "data/FilasLeidas.h"

#include <QList>
#include <QAnyStringView>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <memory>

class QSqlQuery;

// A recordset over a Connection with the members and behaviour the windows rely on.
//
// Open reads every row of the statement into memory at once, in a compact block, so cursors
// and locks only decide whether the rows can be written: lock type read-only (1, also the
// default) refuses AddNew and Collect; optimistic (3) and the others allow them. Reads of the
// same statement while the database has not changed are answered from the connection's rows.
// A read-only recordset whose CursorLocation is the server (set before Open) leaves the rows
// at the database instead and reads blocks of them as MoveNext reaches them (on PostgreSQL
// through a cursor held on the server); past a few thousand rows it keeps only the current
// block, so a forward pass over any number of rows needs little memory. A move that needs rows
// it has dropped or their count (RecordCount, MoveLast, MovePrevious, MoveFirst, Find) reads
// the statement again in full, on the same row number. An error half-way through such a read
// is thrown by the MoveNext that meets it. A statement that returns no rows (a DELETE) leaves the recordset closed.
// Writes use bound parameters: AddNew + Update is one INSERT; Update after Collect on a row
// is one UPDATE keyed by the row's original primary key and guarded by the values the changed
// fields had when they were read (optimistic locking): when another user has deleted the row
// or changed one of those fields since, the UPDATE finds no row and Update throws ErrorDatos
// FilaDesaparecida, so no change is ever lost in silence. Only rows of a single-table
// statement that include the key column can be written. Texts that no engine stores as they
// are (half a UTF-16 pair; a NUL character on PostgreSQL) are refused with ConversionNoValida.
// Every failure throws ErrorDatos (numbers in ErroresDatos.h) and leaves the stored data intact.
class Recordset {
public:
    enum CursorTypeEnum { adOpenUnspecified = -1, adOpenForwardOnly = 0, adOpenKeyset = 1,
                          adOpenDynamic = 2, adOpenStatic = 3 };
    enum LockTypeEnum { adLockUnspecified = -1, adLockReadOnly = 1, adLockPessimistic = 2,
                        adLockOptimistic = 3, adLockBatchOptimistic = 4 };
    enum ObjectStateEnum { adStateClosed = 0, adStateOpen = 1 };
    enum SearchDirectionEnum { adSearchBackward = -1, adSearchForward = 1 };
    enum AffectEnum { adAffectCurrent = 1, adAffectGroup = 2, adAffectAll = 3 };
    enum EditModeEnum { adEditNone = 0, adEditInProgress = 1, adEditAdd = 2 };
    enum CursorLocationEnum { adUseServer = 2, adUseClient = 3 };

    Recordset();
    ~Recordset();
    Recordset(const Recordset&) = delete;
    Recordset& operator=(const Recordset&) = delete;

    // Runs `source` on `conexion`. The system's conventions are (2, 3, -1) for a window's
    // editable recordset and (3, 1, -1) for read-only ones. Options accepts -1 and 1 (text).
    // Opening a recordset that is already open is an error (ObjetoAbierto).
    void Open(const QString& source, const ConnectionPtr& conexion, int cursorType = adOpenUnspecified,
              int lockType = adLockUnspecified, long options = -1);
    int State() const { return m_abierto ? adStateOpen : adStateClosed; }
    int CursorType() const { return m_cursor; }
    // Where the rows are kept: adUseClient (the default) or adUseServer. Only while closed.
    int CursorLocation() const { return m_ubicacion; }
    void setCursorLocation(int ubicacion);
    int LockType() const { return m_bloqueo; }

    // An empty recordset is at both BOF and EOF.
    bool Eof() const;
    bool Bof() const;
    long RecordCount() const;

    // MoveFirst and MoveLast on an empty recordset leave it at BOF and EOF without error;
    // MoveNext at EOF and MovePrevious at BOF are errors (SinRegistroActual).
    void MoveFirst();
    void MoveNext();
    void MoveLast();
    void MovePrevious();

    // One column, an operator (=, <>, <, >, <=, >=, like) and a value: 'text' with '' for a
    // quote, or a number. `like` takes * or % for any run of characters and _ for one.
    // Text compares exactly (letter case and trailing spaces count). The search starts at the
    // current row (or at `start`, a Bookmark()) after skipping `skipRecords`; a forward miss
    // leaves EOF, a backward miss BOF. Without a current row it is an error (SinRegistroActual).
    void Find(const QString& criteria, long skipRecords = 0, int searchDirection = adSearchForward,
              const QVariant& start = {});
    // Moves forward from the current row to the first row whose `columna` holds exactly the text
    // `valor` (case and spaces count), or to EOF: the result of walking with MoveNext and
    // comparing, answered from an index of the rows held. At EOF it stays there.
    void BuscarIgual(QAnyStringView columna, const QString& valor);
    // The current row's position, usable as the start of Find.
    QVariant Bookmark() const;

    // Starts a new row; its fields are empty until assigned through Collect.
    void AddNew();
    // Assigns a field of the new row or of the current row; it reaches the database on Update.
    void Collect(QAnyStringView nombre, const QVariant& valor);
    // Reads a field of the current row (the pending value when one was assigned).
    QVariant Collect(QAnyStringView nombre) const;
    // Writes the pending new row or edits. On failure they stay pending (CancelUpdate drops them).
    void Update();
    // Drops the pending new row or edits; does nothing when there are none or the recordset is closed.
    void CancelUpdate();
    // The same for every row (the recordset writes each Update at once, so there is no batch).
    void CancelBatch(int affectRecords = adAffectAll);
    int EditMode() const { return m_edicion; }

    // Runs the statement again and goes to the first row.
    void Requery(long options = -1);
    // Closes the recordset and drops pending changes; closing a closed recordset does nothing.
    void Close();

    ::Fields Fields() const { return ::Fields(this); }
    // Throws ErrorDatos CampoNoEncontrado when there is no such column.
    Field Fields(QAnyStringView nombre) const;

    QString Source() const { return m_origen; }
    ConnectionPtr ActiveConnection() const { return m_conexion; }

    // Column access for Field and Fields.
    int NumeroColumnas() const;
    QString NombreColumna(int columna) const;
    int IndiceColumna(QAnyStringView nombre) const; // -1 when missing
    QVariant ValorColumna(int columna) const;

private:
    void ExigirAbierto() const;
    void ExigirSinEdicion(const char* operacion) const;
    void ExigirActualizable();
    // Runs the statement; `todo` reads every row even where the recordset could read as it goes.
    void Leer(bool todo = false);
    // Reads the next block of a read in progress; without `conservar`, rows behind are dropped
    // once there are many.
    void LeerBloque(bool conservar);
    // Completes a read in progress, so that every row is held.
    void LeerTodo();
    void TerminarLectura();
    static QString SentenciaBloque(const QString& cursor);
    static void CerrarCursor(Connection& conexion, const QString& cursor);
    int IndiceExigido(QAnyStringView nombre) const;
    bool HayFilaActual() const { return m_pos >= 0 && m_pos < m_filas; }
    void DescartarEdicion();
    void InsertarFila();
    void ActualizarFila();
    qsizetype Ejecutar(const QString& sentencia, const QList<QVariant>& valores);
    QString NombreSql(int columna) const;

    ConnectionPtr m_conexion;
    QString m_origen;
    int m_cursor = adOpenUnspecified;
    int m_bloqueo = adLockReadOnly;
    int m_ubicacion = adUseClient;
    bool m_abierto = false;

    // Rows held: m_datos holds row numbers m_base to m_filas - 1; m_pos counts from the first row.
    FilasLeidas m_datos;
    qsizetype m_base = 0;
    qsizetype m_filas = 0;
    qsizetype m_pos = 0; // -1 at BOF, m_filas at EOF

    // A read in progress (read-only recordsets on SQLite), the change mark it started under and
    // whether its rows, once complete, go to the connection's cache of reads.
    std::unique_ptr<QSqlQuery> m_lectura;
    QString m_cursorServidor;        // the held cursor of a read on PostgreSQL
    qsizetype m_leidasDelBloque = 0; // rows taken from the current query or FETCH
    QString m_marcaLectura;
    bool m_guardarLectura = false;
    static constexpr qsizetype FilasPorBloque = 1024;
    static constexpr qsizetype FilasRetenidas = 16384;

    int m_edicion = adEditNone;
    qsizetype m_posAntesDeAgregar = 0;
    QList<QVariant> m_pendientes;
    QList<bool> m_asignados;

    QString m_tabla;           // the one table of the statement, once a write needs it
    QList<int> m_columnasClave; // its key columns among the recordset's
    bool m_clavePrimaria = true; // false when the key is only a column named Codigo
};
