#include "data/Recordset.h"

#include "data/CriterioBusqueda.h"
#include "data/ErrorDatos.h"
#include "data/ErroresDatos.h"

#include <algorithm>

Recordset::Recordset() = default;
Recordset::~Recordset() = default;

void Recordset::Open(const QString& source, const ConnectionPtr& conexion, int cursorType, int lockType, long options)
{
    if (abierto_)
        LanzarErrorDatos(ErroresDatos::ObjetoAbierto,
                         QStringLiteral("El recordset ya está abierto; ciérrelo antes de abrirlo de nuevo."));
    if (!conexion)
        LanzarErrorDatos(ErroresDatos::ConexionNoValida, QStringLiteral("No se ha indicado la conexión."), source);
    if (cursorType < adOpenUnspecified || cursorType > adOpenStatic)
        LanzarErrorDatos(ErroresDatos::ArgumentosNoValidos,
                         QStringLiteral("Tipo de cursor no válido: %1").arg(cursorType), source);
    if (lockType != adLockUnspecified && (lockType < adLockReadOnly || lockType > adLockBatchOptimistic))
        LanzarErrorDatos(ErroresDatos::ArgumentosNoValidos,
                         QStringLiteral("Tipo de bloqueo no válido: %1").arg(lockType), source);
    // -1 leaves the kind of command to the provider; 1 says it is a text and 8 that it is unknown.
    if (options != -1 && options != 1 && options != 8)
        LanzarErrorDatos(ErroresDatos::ArgumentosNoValidos,
                         QStringLiteral("Opciones no válidas: %1").arg(options), source);
    if (source.trimmed().isEmpty())
        LanzarErrorDatos(ErroresDatos::ArgumentosNoValidos, QStringLiteral("No se ha indicado la sentencia."));

    conexion_ = conexion;
    origen_ = source;
    cursor_ = cursorType;
    bloqueo_ = lockType == adLockUnspecified ? adLockReadOnly : lockType;
    escritor_.Olvidar();
    try {
        Leer();
    } catch (...) {
        conexion_.reset();
        throw;
    }
    if (!abierto_)
        conexion_.reset();
}

void Recordset::setCursorLocation(int ubicacion)
{
    if (abierto_)
        LanzarErrorDatos(ErroresDatos::ObjetoAbierto,
                         QStringLiteral("CursorLocation no se puede cambiar con el recordset abierto."), origen_);
    if (ubicacion != adUseServer && ubicacion != adUseClient)
        LanzarErrorDatos(ErroresDatos::ArgumentosNoValidos,
                         QStringLiteral("Ubicación del cursor no válida: %1").arg(ubicacion));
    ubicacion_ = ubicacion;
}

void Recordset::Leer()
{
    // Only a read-only recordset on the server may leave its rows there and read as it goes.
    if (!lector_.Leer(*conexion_, origen_, ubicacion_ == adUseServer && bloqueo_ == adLockReadOnly)) {
        Close();
        return;
    }
    pos_ = 0;
    abierto_ = true;
}

void Recordset::LeerTodo()
{
    // After reading the statement again the row number stays, within the rows there are now.
    lector_.LeerTodo();
    pos_ = std::min(pos_, lector_.Filas());
}

void Recordset::ExigirAbierto() const
{
    if (!abierto_)
        LanzarErrorDatos(ErroresDatos::ObjetoCerrado,
                         QStringLiteral("La operación no está permitida si el recordset está cerrado."));
}

void Recordset::ExigirSinEdicion(const char* operacion) const
{
    if (edicion_ != adEditNone)
        LanzarErrorDatos(ErroresDatos::EdicionPendiente,
                         QStringLiteral("%1 no está permitido con cambios pendientes: llame antes a Update o a CancelUpdate.")
                   .arg(QLatin1String(operacion)),
                         origen_);
}

bool Recordset::Eof() const
{
    ExigirAbierto();
    return edicion_ != adEditAdd && pos_ >= lector_.Filas();
}

bool Recordset::Bof() const
{
    ExigirAbierto();
    return edicion_ != adEditAdd && (lector_.Filas() == 0 || pos_ < 0);
}

long Recordset::RecordCount() const
{
    ExigirAbierto();
    // Counting needs every row; reading the rest changes nothing the caller can see.
    const_cast<Recordset*>(this)->LeerTodo();
    return long(lector_.Filas());
}

void Recordset::MoveFirst()
{
    ExigirAbierto();
    ExigirSinEdicion("MoveFirst");
    if (lector_.Base() > 0)
        LeerTodo();
    pos_ = 0;
}

void Recordset::MoveLast()
{
    ExigirAbierto();
    ExigirSinEdicion("MoveLast");
    LeerTodo();
    pos_ = lector_.Filas() > 0 ? lector_.Filas() - 1 : 0;
}

void Recordset::MoveNext()
{
    ExigirAbierto();
    ExigirSinEdicion("MoveNext");
    if (pos_ >= lector_.Filas())
        LanzarErrorDatos(ErroresDatos::SinRegistroActual,
                         QStringLiteral("No se puede avanzar: el recordset ya está al final (EOF)."), origen_);
    ++pos_;
    if (lector_.Leyendo() && pos_ >= lector_.Filas())
        lector_.LeerBloque();
}

void Recordset::MovePrevious()
{
    ExigirAbierto();
    ExigirSinEdicion("MovePrevious");
    if (pos_ < 0 || lector_.Filas() == 0)
        LanzarErrorDatos(ErroresDatos::SinRegistroActual,
                         QStringLiteral("No se puede retroceder: el recordset ya está al principio (BOF)."), origen_);
    if (pos_ - 1 < lector_.Base())
        LeerTodo();
    --pos_;
}

QVariant Recordset::Bookmark() const
{
    ExigirAbierto();
    if (!HayFilaActual() || edicion_ == adEditAdd)
        LanzarErrorDatos(ErroresDatos::SinRegistroActual, QStringLiteral("No hay registro actual."), origen_);
    return QVariant::fromValue<qlonglong>(pos_);
}

void Recordset::Find(const QString& criteria, long skipRecords, int searchDirection, const QVariant& start)
{
    ExigirAbierto();
    ExigirSinEdicion("Find");
    if (searchDirection != adSearchForward && searchDirection != adSearchBackward)
        LanzarErrorDatos(ErroresDatos::ArgumentosNoValidos,
                         QStringLiteral("Dirección de búsqueda no válida: %1").arg(searchDirection), criteria);
    if (skipRecords < 0)
        LanzarErrorDatos(ErroresDatos::ArgumentosNoValidos,
                         QStringLiteral("El número de registros que saltar no puede ser negativo."), criteria);

    const CriterioBusqueda criterio = CriterioBusqueda::Analizar(criteria);
    LeerTodo();
    // A column named with its table ("Provincias.Codigo") is found by its own name.
    const QString columna = criterio.Columna();
    int indice = IndiceColumna(columna);
    if (indice < 0)
        indice = IndiceExigido(columna.mid(columna.lastIndexOf(QLatin1Char('.')) + 1));

    qsizetype desde;
    if (start.isValid()) {
        bool ok = false;
        desde = start.toLongLong(&ok);
        if (!ok || desde < 0 || desde >= lector_.Filas())
            LanzarErrorDatos(ErroresDatos::ArgumentosNoValidos,
                             QStringLiteral("El marcador de inicio no es válido."), criteria);
    } else {
        if (!HayFilaActual())
            LanzarErrorDatos(ErroresDatos::SinRegistroActual,
                             QStringLiteral("No hay registro actual desde el que buscar (BOF o EOF)."), criteria);
        desde = pos_;
    }

    for (qsizetype fila = desde + qsizetype(skipRecords) * searchDirection; fila >= 0 && fila < lector_.Filas();
         fila += searchDirection) {
        QStringView texto;
        const bool cumple = lector_.Datos().Texto(fila, indice, texto)
                                ? criterio.CumpleTexto(texto)
                                : criterio.Cumple(lector_.Datos().Valor(fila, indice));
        if (cumple) {
            pos_ = fila;
            return;
        }
    }
    pos_ = searchDirection == adSearchForward ? lector_.Filas() : -1;
}

void Recordset::BuscarIgual(QAnyStringView columna, const QString& valor)
{
    ExigirAbierto();
    ExigirSinEdicion("BuscarIgual");
    const int indice = IndiceExigido(columna);
    LeerTodo();
    if (pos_ >= lector_.Filas())
        return;
    const qsizetype fila = lector_.Datos().BuscarTexto(indice, valor, pos_);
    pos_ = fila >= 0 ? fila : lector_.Filas();
}

void Recordset::AddNew()
{
    ExigirAbierto();
    escritor_.ExigirActualizable(lector_, bloqueo_ == adLockReadOnly);
    ExigirSinEdicion("AddNew");
    posAntesDeAgregar_ = pos_;
    pendientes_ = QList<QVariant>(lector_.Datos().Columnas());
    asignados_ = QList<bool>(lector_.Datos().Columnas(), false);
    edicion_ = adEditAdd;
}

void Recordset::Collect(QAnyStringView nombre, const QVariant& valor)
{
    ExigirAbierto();
    const int columna = IndiceExigido(nombre);
    if (edicion_ == adEditNone) {
        escritor_.ExigirActualizable(lector_, bloqueo_ == adLockReadOnly);
        if (!HayFilaActual())
            LanzarErrorDatos(ErroresDatos::SinRegistroActual,
                             QStringLiteral("No hay registro actual que modificar (BOF o EOF)."), origen_);
        pendientes_ = lector_.Datos().Fila(pos_);
        asignados_ = QList<bool>(lector_.Datos().Columnas(), false);
        edicion_ = adEditInProgress;
    }
    pendientes_[columna] = valor;
    asignados_[columna] = true;
}

QVariant Recordset::Collect(QAnyStringView nombre) const
{
    return ValorColumna(IndiceExigido(nombre));
}

void Recordset::Update()
{
    ExigirAbierto();
    if (edicion_ == adEditAdd) {
        escritor_.Insertar(lector_, pendientes_, asignados_);
        pos_ = lector_.Filas() - 1;
    } else if (edicion_ == adEditInProgress) {
        escritor_.Actualizar(lector_, pos_, pendientes_, asignados_);
    } else {
        return;
    }
    DescartarEdicion();
}

void Recordset::DescartarEdicion()
{
    edicion_ = adEditNone;
    pendientes_.clear();
    asignados_.clear();
}

void Recordset::CancelUpdate()
{
    if (!abierto_)
        return;
    if (edicion_ == adEditAdd)
        pos_ = posAntesDeAgregar_;
    DescartarEdicion();
}

void Recordset::CancelBatch(int affectRecords)
{
    if (affectRecords < adAffectCurrent || affectRecords > adAffectAll)
        LanzarErrorDatos(ErroresDatos::ArgumentosNoValidos,
                         QStringLiteral("Valor de registros afectados no válido: %1").arg(affectRecords));
    CancelUpdate();
}

void Recordset::Requery(long options)
{
    ExigirAbierto();
    ExigirSinEdicion("Requery");
    if (options != -1 && options != 0)
        LanzarErrorDatos(ErroresDatos::ArgumentosNoValidos,
                         QStringLiteral("Opciones no válidas: %1").arg(options), origen_);
    // Leer changes nothing until the new rows are complete, so a failing read keeps the old ones.
    const QStringList nombres = lector_.Datos().Nombres();
    Leer();
    if (abierto_ && lector_.Datos().Nombres() != nombres)
        escritor_.Olvidar();
}

void Recordset::Close()
{
    DescartarEdicion();
    lector_.Cerrar();
    abierto_ = false;
    pos_ = 0;
    escritor_.Olvidar();
    conexion_.reset();
}

Field Recordset::Fields(QAnyStringView nombre) const
{
    return Field(this, IndiceExigido(nombre));
}

int Recordset::NumeroColumnas() const
{
    return int(lector_.Datos().Columnas());
}

QString Recordset::NombreColumna(int columna) const
{
    ExigirAbierto();
    if (columna < 0 || columna >= lector_.Datos().Columnas())
        LanzarErrorDatos(ErroresDatos::CampoNoEncontrado,
                         QStringLiteral("No existe el campo número %1.").arg(columna), origen_);
    return lector_.Datos().Nombres()[columna];
}

int Recordset::IndiceExigido(QAnyStringView nombre) const
{
    ExigirAbierto();
    const int columna = IndiceColumna(nombre);
    if (columna < 0)
        LanzarErrorDatos(ErroresDatos::CampoNoEncontrado,
                         QStringLiteral("No existe el campo «%1» en el recordset.").arg(nombre.toString()), origen_);
    return columna;
}

QVariant Recordset::ValorColumna(int columna) const
{
    ExigirAbierto();
    if (columna < 0 || columna >= lector_.Datos().Columnas())
        LanzarErrorDatos(ErroresDatos::CampoNoEncontrado,
                         QStringLiteral("No existe el campo número %1.").arg(columna), origen_);
    if (edicion_ != adEditNone)
        return pendientes_[columna];
    if (!HayFilaActual())
        LanzarErrorDatos(ErroresDatos::SinRegistroActual,
                         QStringLiteral("No hay registro actual (BOF o EOF)."), origen_);
    return lector_.Datos().Valor(pos_ - lector_.Base(), columna);
}