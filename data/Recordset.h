#pragma once

#include "data/Connection.h"
#include "data/EscritorRecordset.h"
#include "data/Field.h"
#include "data/Fields.h"
#include "data/LectorRecordset.h"

#include <QList>
#include <QAnyStringView>
#include <QString>
#include <QStringList>
#include <QVariant>

// A cursor over the rows of a statement, with the members and behaviour the windows rely on;
// LectorRecordset reads the rows and EscritorRecordset writes them. Lock type read-only (1, also
// the default) refuses AddNew and Collect; optimistic (3) and the others allow them. A read-only
// recordset whose CursorLocation is the server (set before Open) reads as MoveNext goes; a move
// that needs rows it has dropped or their count (RecordCount, MoveLast, MovePrevious, MoveFirst,
// Find) reads the statement again, on the same row number. A statement that returns no rows (a
// DELETE) leaves the recordset closed. A written row is held as written, not read again. Every
// failure throws ErrorDatos (numbers in ErroresDatos.h) and leaves the stored data intact.
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
    int State() const { return abierto_ ? adStateOpen : adStateClosed; }
    int CursorType() const { return cursor_; }
    // Where the rows are kept: adUseClient (the default) or adUseServer. Only while closed.
    int CursorLocation() const { return ubicacion_; }
    void setCursorLocation(int ubicacion);
    int LockType() const { return bloqueo_; }

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
    int EditMode() const { return edicion_; }

    // Runs the statement again and goes to the first row.
    void Requery(long options = -1);
    // Closes the recordset and drops pending changes; closing a closed recordset does nothing.
    void Close();

    ::Fields Fields() const { return ::Fields(this); }
    // Throws ErrorDatos CampoNoEncontrado when there is no such column.
    Field Fields(QAnyStringView nombre) const;

    QString Source() const { return origen_; }
    ConnectionPtr ActiveConnection() const { return conexion_; }

    // Column access for Field and Fields.
    int NumeroColumnas() const;
    QString NombreColumna(int columna) const;
    int IndiceColumna(QAnyStringView nombre) const { return lector_.IndiceColumna(nombre); } // -1 when missing
    QVariant ValorColumna(int columna) const;

private:
    void ExigirAbierto() const;
    void ExigirSinEdicion(const char* operacion) const;
    // Runs the statement and goes to the first row.
    void Leer();
    // Holds every row, staying on the same row number.
    void LeerTodo();
    int IndiceExigido(QAnyStringView nombre) const;
    bool HayFilaActual() const { return pos_ >= 0 && pos_ < lector_.Filas(); }
    void DescartarEdicion();

    // Declared before lector_, which reads through it until it is destroyed.
    ConnectionPtr conexion_;
    QString origen_;
    int cursor_ = adOpenUnspecified;
    int bloqueo_ = adLockReadOnly;
    int ubicacion_ = adUseClient;
    bool abierto_ = false;

    LectorRecordset lector_;
    EscritorRecordset escritor_;
    qsizetype pos_ = 0; // counts from the first row: -1 at BOF, lector_.Filas() at EOF

    int edicion_ = adEditNone;
    qsizetype posAntesDeAgregar_ = 0;
    QList<QVariant> pendientes_;
    QList<bool> asignados_;
};
