#include "data/Recordset.h"

#include "data/CriterioBusqueda.h"
#include "data/ErrorDatos.h"
#include "data/ErroresDatos.h"

#include <algorithm>

namespace {

[[noreturn]] void Lanzar(long numero, const QString& descripcion, const QString& sentencia = {})
{
    throw ErrorDatos(numero, descripcion, {}, sentencia);
}

} // namespace

Recordset::Recordset() = default;
Recordset::~Recordset() = default;

void Recordset::Open(const QString& source, const ConnectionPtr& conexion, int cursorType, int lockType, long options)
{
    if (m_abierto)
        Lanzar(ErroresDatos::ObjetoAbierto, QStringLiteral("El recordset ya está abierto; ciérrelo antes de abrirlo de nuevo."));
    if (!conexion)
        Lanzar(ErroresDatos::ConexionNoValida, QStringLiteral("No se ha indicado la conexión."), source);
    if (cursorType < adOpenUnspecified || cursorType > adOpenStatic)
        Lanzar(ErroresDatos::ArgumentosNoValidos, QStringLiteral("Tipo de cursor no válido: %1").arg(cursorType), source);
    if (lockType != adLockUnspecified && (lockType < adLockReadOnly || lockType > adLockBatchOptimistic))
        Lanzar(ErroresDatos::ArgumentosNoValidos, QStringLiteral("Tipo de bloqueo no válido: %1").arg(lockType), source);
    // -1 leaves the kind of command to the provider; 1 says it is a text and 8 that it is unknown.
    if (options != -1 && options != 1 && options != 8)
        Lanzar(ErroresDatos::ArgumentosNoValidos, QStringLiteral("Opciones no válidas: %1").arg(options), source);
    if (source.trimmed().isEmpty())
        Lanzar(ErroresDatos::ArgumentosNoValidos, QStringLiteral("No se ha indicado la sentencia."));

    m_conexion = conexion;
    m_origen = source;
    m_cursor = cursorType;
    m_bloqueo = lockType == adLockUnspecified ? adLockReadOnly : lockType;
    m_escritor.Olvidar();
    try {
        Leer();
    } catch (...) {
        m_conexion.reset();
        throw;
    }
    if (!m_abierto)
        m_conexion.reset();
}

void Recordset::setCursorLocation(int ubicacion)
{
    if (m_abierto)
        Lanzar(ErroresDatos::ObjetoAbierto, QStringLiteral("CursorLocation no se puede cambiar con el recordset abierto."), m_origen);
    if (ubicacion != adUseServer && ubicacion != adUseClient)
        Lanzar(ErroresDatos::ArgumentosNoValidos, QStringLiteral("Ubicación del cursor no válida: %1").arg(ubicacion));
    m_ubicacion = ubicacion;
}

void Recordset::Leer()
{
    // Only a read-only recordset on the server may leave its rows there and read as it goes.
    if (!m_lector.Leer(*m_conexion, m_origen, m_ubicacion == adUseServer && m_bloqueo == adLockReadOnly)) {
        Close();
        return;
    }
    m_pos = 0;
    m_abierto = true;
}

void Recordset::LeerTodo()
{
    // After reading the statement again the row number stays, within the rows there are now.
    m_lector.LeerTodo();
    m_pos = std::min(m_pos, m_lector.Filas());
}

void Recordset::ExigirAbierto() const
{
    if (!m_abierto)
        Lanzar(ErroresDatos::ObjetoCerrado, QStringLiteral("La operación no está permitida si el recordset está cerrado."));
}

void Recordset::ExigirSinEdicion(const char* operacion) const
{
    if (m_edicion != adEditNone)
        Lanzar(ErroresDatos::EdicionPendiente,
               QStringLiteral("%1 no está permitido con cambios pendientes: llame antes a Update o a CancelUpdate.")
                   .arg(QLatin1String(operacion)),
               m_origen);
}

bool Recordset::Eof() const
{
    ExigirAbierto();
    return m_edicion != adEditAdd && m_pos >= m_lector.Filas();
}

bool Recordset::Bof() const
{
    ExigirAbierto();
    return m_edicion != adEditAdd && (m_lector.Filas() == 0 || m_pos < 0);
}

long Recordset::RecordCount() const
{
    ExigirAbierto();
    // Counting needs every row; reading the rest changes nothing the caller can see.
    const_cast<Recordset*>(this)->LeerTodo();
    return long(m_lector.Filas());
}

void Recordset::MoveFirst()
{
    ExigirAbierto();
    ExigirSinEdicion("MoveFirst");
    if (m_lector.Base() > 0)
        LeerTodo();
    m_pos = 0;
}

void Recordset::MoveLast()
{
    ExigirAbierto();
    ExigirSinEdicion("MoveLast");
    LeerTodo();
    m_pos = m_lector.Filas() > 0 ? m_lector.Filas() - 1 : 0;
}

void Recordset::MoveNext()
{
    ExigirAbierto();
    ExigirSinEdicion("MoveNext");
    if (m_pos >= m_lector.Filas())
        Lanzar(ErroresDatos::SinRegistroActual, QStringLiteral("No se puede avanzar: el recordset ya está al final (EOF)."), m_origen);
    ++m_pos;
    if (m_lector.Leyendo() && m_pos >= m_lector.Filas())
        m_lector.LeerBloque();
}

void Recordset::MovePrevious()
{
    ExigirAbierto();
    ExigirSinEdicion("MovePrevious");
    if (m_pos < 0 || m_lector.Filas() == 0)
        Lanzar(ErroresDatos::SinRegistroActual, QStringLiteral("No se puede retroceder: el recordset ya está al principio (BOF)."), m_origen);
    if (m_pos - 1 < m_lector.Base())
        LeerTodo();
    --m_pos;
}

QVariant Recordset::Bookmark() const
{
    ExigirAbierto();
    if (!HayFilaActual() || m_edicion == adEditAdd)
        Lanzar(ErroresDatos::SinRegistroActual, QStringLiteral("No hay registro actual."), m_origen);
    return QVariant::fromValue<qlonglong>(m_pos);
}

void Recordset::Find(const QString& criteria, long skipRecords, int searchDirection, const QVariant& start)
{
    ExigirAbierto();
    ExigirSinEdicion("Find");
    if (searchDirection != adSearchForward && searchDirection != adSearchBackward)
        Lanzar(ErroresDatos::ArgumentosNoValidos, QStringLiteral("Dirección de búsqueda no válida: %1").arg(searchDirection), criteria);
    if (skipRecords < 0)
        Lanzar(ErroresDatos::ArgumentosNoValidos, QStringLiteral("El número de registros que saltar no puede ser negativo."), criteria);

    const CriterioBusqueda criterio = CriterioBusqueda::Analizar(criteria);
    LeerTodo();
    QString columna = criterio.Columna();
    const int indice = IndiceColumna(columna) >= 0 ? IndiceColumna(columna)
                                                   : IndiceExigido(columna.mid(columna.lastIndexOf(QLatin1Char('.')) + 1));

    qsizetype desde;
    if (start.isValid()) {
        bool ok = false;
        desde = start.toLongLong(&ok);
        if (!ok || desde < 0 || desde >= m_lector.Filas())
            Lanzar(ErroresDatos::ArgumentosNoValidos, QStringLiteral("El marcador de inicio no es válido."), criteria);
    } else {
        if (!HayFilaActual())
            Lanzar(ErroresDatos::SinRegistroActual,
                   QStringLiteral("No hay registro actual desde el que buscar (BOF o EOF)."), criteria);
        desde = m_pos;
    }

    for (qsizetype fila = desde + qsizetype(skipRecords) * searchDirection; fila >= 0 && fila < m_lector.Filas();
         fila += searchDirection) {
        QStringView texto;
        const bool cumple = m_lector.Datos().Texto(fila, indice, texto)
                                ? criterio.CumpleTexto(texto)
                                : criterio.Cumple(m_lector.Datos().Valor(fila, indice));
        if (cumple) {
            m_pos = fila;
            return;
        }
    }
    m_pos = searchDirection == adSearchForward ? m_lector.Filas() : -1;
}

void Recordset::BuscarIgual(QAnyStringView columna, const QString& valor)
{
    ExigirAbierto();
    ExigirSinEdicion("BuscarIgual");
    const int indice = IndiceExigido(columna);
    LeerTodo();
    if (m_pos >= m_lector.Filas())
        return;
    const qsizetype fila = m_lector.Datos().BuscarTexto(indice, valor, m_pos);
    m_pos = fila >= 0 ? fila : m_lector.Filas();
}

void Recordset::AddNew()
{
    ExigirAbierto();
    m_escritor.ExigirActualizable(m_lector, m_bloqueo == adLockReadOnly);
    ExigirSinEdicion("AddNew");
    m_posAntesDeAgregar = m_pos;
    m_pendientes = QList<QVariant>(m_lector.Datos().Columnas());
    m_asignados = QList<bool>(m_lector.Datos().Columnas(), false);
    m_edicion = adEditAdd;
}

void Recordset::Collect(QAnyStringView nombre, const QVariant& valor)
{
    ExigirAbierto();
    const int columna = IndiceExigido(nombre);
    if (m_edicion == adEditNone) {
        m_escritor.ExigirActualizable(m_lector, m_bloqueo == adLockReadOnly);
        if (!HayFilaActual())
            Lanzar(ErroresDatos::SinRegistroActual, QStringLiteral("No hay registro actual que modificar (BOF o EOF)."), m_origen);
        m_pendientes = m_lector.Datos().Fila(m_pos);
        m_asignados = QList<bool>(m_lector.Datos().Columnas(), false);
        m_edicion = adEditInProgress;
    }
    m_pendientes[columna] = valor;
    m_asignados[columna] = true;
}

QVariant Recordset::Collect(QAnyStringView nombre) const
{
    return ValorColumna(IndiceExigido(nombre));
}

void Recordset::Update()
{
    ExigirAbierto();
    if (m_edicion == adEditAdd) {
        m_escritor.Insertar(m_lector, m_pendientes, m_asignados);
        m_pos = m_lector.Filas() - 1;
    } else if (m_edicion == adEditInProgress) {
        m_escritor.Actualizar(m_lector, m_pos, m_pendientes, m_asignados);
    } else {
        return;
    }
    DescartarEdicion();
}

void Recordset::DescartarEdicion()
{
    m_edicion = adEditNone;
    m_pendientes.clear();
    m_asignados.clear();
}

void Recordset::CancelUpdate()
{
    if (!m_abierto)
        return;
    if (m_edicion == adEditAdd)
        m_pos = m_posAntesDeAgregar;
    DescartarEdicion();
}

void Recordset::CancelBatch(int affectRecords)
{
    if (affectRecords < adAffectCurrent || affectRecords > adAffectAll)
        Lanzar(ErroresDatos::ArgumentosNoValidos, QStringLiteral("Valor de registros afectados no válido: %1").arg(affectRecords));
    CancelUpdate();
}

void Recordset::Requery(long options)
{
    ExigirAbierto();
    ExigirSinEdicion("Requery");
    if (options != -1 && options != 0)
        Lanzar(ErroresDatos::ArgumentosNoValidos, QStringLiteral("Opciones no válidas: %1").arg(options), m_origen);
    // Leer changes nothing until the new rows are complete, so a failing read keeps the old ones.
    const QStringList nombres = m_lector.Datos().Nombres();
    Leer();
    if (m_abierto && m_lector.Datos().Nombres() != nombres)
        m_escritor.Olvidar();
}

void Recordset::Close()
{
    DescartarEdicion();
    m_lector.Cerrar();
    m_abierto = false;
    m_pos = 0;
    m_escritor.Olvidar();
    m_conexion.reset();
}

Field Recordset::Fields(QAnyStringView nombre) const
{
    return Field(this, IndiceExigido(nombre));
}

int Recordset::NumeroColumnas() const
{
    return int(m_lector.Datos().Columnas());
}

QString Recordset::NombreColumna(int columna) const
{
    ExigirAbierto();
    if (columna < 0 || columna >= m_lector.Datos().Columnas())
        Lanzar(ErroresDatos::CampoNoEncontrado, QStringLiteral("No existe el campo número %1.").arg(columna), m_origen);
    return m_lector.Datos().Nombres()[columna];
}

int Recordset::IndiceExigido(QAnyStringView nombre) const
{
    ExigirAbierto();
    const int columna = IndiceColumna(nombre);
    if (columna < 0)
        Lanzar(ErroresDatos::CampoNoEncontrado, QStringLiteral("No existe el campo «%1» en el recordset.").arg(nombre.toString()), m_origen);
    return columna;
}

QVariant Recordset::ValorColumna(int columna) const
{
    ExigirAbierto();
    if (columna < 0 || columna >= m_lector.Datos().Columnas())
        Lanzar(ErroresDatos::CampoNoEncontrado, QStringLiteral("No existe el campo número %1.").arg(columna), m_origen);
    if (m_edicion != adEditNone)
        return m_pendientes[columna];
    if (!HayFilaActual())
        Lanzar(ErroresDatos::SinRegistroActual, QStringLiteral("No hay registro actual (BOF o EOF)."), m_origen);
    return m_lector.Datos().Valor(m_pos - m_lector.Base(), columna);
}