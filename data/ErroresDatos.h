#pragma once

// Every error number the data layer raises, in one place. The numbers follow the
// recordset provider the system was written against, so the windows can compare them
// as they always have: a duplicate key or a delete refused because of related rows is
// ViolacionIntegridad on every engine; every other failure keeps a number of its own.
namespace ErroresDatos {

// Duplicate key (unique or primary key) or a row that other rows still refer to.
constexpr long ViolacionIntegridad = -2147217887; // 0x80040E21
// The engine rejected the statement text.
constexpr long ErrorSintaxis = -2147217900; // 0x80040E14
// The statement names a table that does not exist.
constexpr long TablaNoExiste = -2147217865; // 0x80040E37
// The statement names a column that does not exist.
constexpr long ColumnaNoExiste = -2147217904; // 0x80040E10
// A NOT NULL or CHECK rule refused the values (not a duplicate, not a reference).
constexpr long RestriccionIncumplida = -2147217873; // 0x80040E2F
// A value could not be converted to the column's type.
constexpr long ConversionNoValida = -2147217913; // 0x80040E07
// The server could not be reached or the connection was lost.
constexpr long FalloConexion = -2147467259; // 0x80004005
// The database file is missing, its directory does not exist, or it cannot be opened.
constexpr long BaseNoEncontrada = -2147467260; // 0x80004004
// The file is not a database or is damaged.
constexpr long BaseDanada = -2147217842; // 0x80040E4E
// Another connection holds the lock for longer than the busy timeout.
constexpr long BaseBloqueada = -2147217871; // 0x80040E31
// The database, the file or the transaction only allows reading.
constexpr long SoloLectura = -2147217911; // 0x80040E09
// The user has no permission for the operation.
constexpr long PermisoDenegado = -2147217910; // 0x80040E0A
// Disk or input/output failure under the database.
constexpr long ErrorEntradaSalida = -2147217849; // 0x80040E47
// Update of a row that no longer exists (another user deleted it or changed its key).
constexpr long FilaDesaparecida = -2147217864; // 0x80040E38
// CommitTrans or RollbackTrans with no transaction open.
constexpr long SinTransaccion = -2147168242; // 0x8004D00E
// Any other failure reported by the engine.
constexpr long ErrorProveedor = -2147418113; // 0x8000FFFF

// Errors of the recordset itself, numbered like the provider's own run-time errors.
// Arguments of the wrong value (open conventions, criteria, bookmarks).
constexpr long ArgumentosNoValidos = 3001;
// Either BOF or EOF is true, or the current record has been deleted.
constexpr long SinRegistroActual = 3021;
// The recordset is read-only or its source cannot be updated.
constexpr long NoActualizable = 3251;
// A field name that the recordset does not have.
constexpr long CampoNoEncontrado = 3265;
// A move, search or requery while a new row or edited values are pending.
constexpr long EdicionPendiente = 3219;
// The operation needs an open recordset.
constexpr long ObjetoCerrado = 3704;
// Open on a recordset that is already open.
constexpr long ObjetoAbierto = 3705;
// The connection given to Open is missing or closed.
constexpr long ConexionNoValida = 3709;

} // namespace ErroresDatos
