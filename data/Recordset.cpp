#include "data/Recordset.h"

#include "data/CacheLecturas.h"
#include "data/CriterioBusqueda.h"
#include "data/ErrorDatos.h"
#include "data/ErroresDatos.h"

#include <QRegularExpression>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlIndex>
#include <QSqlQuery>
#include <QSqlRecord>

#include <algorithm>
#include <atomic>

namespace {

// The statement without its quoted texts, which may hold anything.
QString SinTextos(const QString& sentencia)
{
    static const QRegularExpression textos(QStringLiteral(R"('(?:[^']|'')*')"));
    QString sinTextos = sentencia;
    return sinTextos.replace(textos, QStringLiteral("''"));
}

// One SELECT and nothing after it.
bool EsLecturaSola(const QString& sentencia)
{
    static const QRegularExpression lectura(QStringLiteral(R"(^\s*SELECT\b)"),
                                            QRegularExpression::CaseInsensitiveOption);
    return lectura.match(sentencia).hasMatch() && !SinTextos(sentencia).contains(QLatin1Char(';'));
}

// Only plain reads are answered from rows already held: a PRAGMA, a write with RETURNING or
// a function call (random(), the clock) may give something new with the data unchanged.
bool SePuedeReutilizar(const QString& sentencia)
{
    if (!EsLecturaSola(sentencia))
        return false;
    static const QRegularExpression llamada(QStringLiteral(R"(([A-Za-z_][A-Za-z0-9_]*)\s*\()"));
    static const QStringList palabrasClave = {
        QStringLiteral("where"), QStringLiteral("and"), QStringLiteral("or"), QStringLiteral("not"),
        QStringLiteral("in"), QStringLiteral("on"), QStringLiteral("like"), QStringLiteral("from"),
        QStringLiteral("select"), QStringLiteral("by"), QStringLiteral("as"), QStringLiteral("is"),
        QStringLiteral("between"), QStringLiteral("when"), QStringLiteral("then"), QStringLiteral("else"),
        QStringLiteral("having"), QStringLiteral("values")};
    auto coincidencias = llamada.globalMatch(SinTextos(sentencia));
    while (coincidencias.hasNext()) {
        if (!palabrasClave.contains(coincidencias.next().captured(1).toLower()))
            return false;
    }
    return true;
}

[[noreturn]] void Lanzar(long numero, const QString& descripcion, const QString& sentencia = {})
{
    throw ErrorDatos(numero, descripcion, {}, sentencia);
}

} // namespace

Recordset::Recordset() = default;
Recordset::~Recordset()
{
    TerminarLectura();
}

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
    m_tabla.clear();
    m_columnasClave.clear();
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

void Recordset::Leer(bool todo)
{
    Connection& conexion = *m_conexion;
    const bool reutilizable = SePuedeReutilizar(m_origen);
    const QString marca = reutilizable ? conexion.MarcaCambios() : QString();
    if (reutilizable) {
        if (const CacheLecturas::Entrada* guardada = conexion.Cache().Buscar(m_origen, marca)) {
            TerminarLectura();
            m_datos = guardada->filas;
            m_base = 0;
            m_filas = m_datos.Filas();
            m_pos = 0;
            m_abierto = true;
            return;
        }
    }

    conexion.ExigirSentenciaAdmisible(m_origen);
    // A read-only recordset on the server reads as it goes, so that a long forward pass (a
    // listing) needs memory for one block of rows, not for the whole table. On SQLite the
    // statement stays pending: another statement on the same connection does not disturb it,
    // and WAL lets other users write meanwhile. On PostgreSQL a held cursor keeps the rows on
    // the server, and each block is one FETCH, a statement of its own. Anything else reads
    // every row now. So does a read inside a transaction: undoing it would drop a cursor
    // declared in it, and the rest of the rows with it.
    const bool aPlazos = !todo && m_ubicacion == adUseServer && m_bloqueo == adLockReadOnly
                         && (!conexion.EsPostgres() || EsLecturaSola(m_origen)) && !conexion.EnTransaccion();
    std::unique_ptr<QSqlQuery> consulta;
    QString cursor;
    if (aPlazos && conexion.EsPostgres()) {
        static std::atomic<quint64> cursores{0};
        cursor = QStringLiteral("quiltren_lectura_%1").arg(++cursores);
        QSqlQuery declarar(conexion.BaseLista());
        if (!declarar.exec(QStringLiteral("DECLARE %1 NO SCROLL CURSOR WITH HOLD FOR %2").arg(cursor, m_origen)))
            throw conexion.Error(declarar.lastError(), m_origen);
        consulta = std::make_unique<QSqlQuery>(conexion.BaseLista());
        if (!consulta->exec(SentenciaBloque(cursor))) {
            const ErrorDatos error = conexion.Error(consulta->lastError(), m_origen);
            CerrarCursor(conexion, cursor);
            throw error;
        }
    } else {
        consulta = std::make_unique<QSqlQuery>(conexion.BaseLista());
        consulta->setForwardOnly(true);
        if (!consulta->exec(m_origen))
            throw conexion.Error(consulta->lastError(), m_origen);
        if (!consulta->isSelect()) {
            Close();
            return;
        }
    }

    const QSqlRecord registro = consulta->record();
    QStringList nombres;
    nombres.reserve(registro.count());
    for (int i = 0; i < registro.count(); ++i)
        nombres << registro.fieldName(i);

    FilasLeidas datos(nombres);
    if (!aPlazos) {
        const int columnas = int(nombres.size());
        while (consulta->next()) {
            for (int i = 0; i < columnas; ++i)
                datos.Agregar(consulta->value(i));
        }
        // next() also ends on a failure half-way (a lock, a lost server): never show part of the rows.
        if (consulta->lastError().isValid())
            throw conexion.Error(consulta->lastError(), m_origen);
    }

    TerminarLectura();
    m_datos = std::move(datos);
    m_base = 0;
    m_filas = m_datos.Filas();
    m_pos = 0;
    m_abierto = true;
    if (aPlazos) {
        m_lectura = std::move(consulta);
        m_cursorServidor = cursor;
        m_leidasDelBloque = 0;
        m_marcaLectura = reutilizable ? marca : QString();
        m_guardarLectura = reutilizable;
        LeerBloque(false);
    } else if (reutilizable) {
        conexion.Cache().Guardar(marca, {m_origen, m_datos});
    }
}

void Recordset::LeerBloque(bool conservar)
{
    // The rows behind the cursor are kept while they are few, so that a small table is still
    // read once and reused; past that only the current block is held.
    if (!conservar && m_filas >= FilasRetenidas && m_datos.Filas() > 0) {
        m_datos = FilasLeidas(m_datos.Nombres());
        m_base = m_filas;
        m_guardarLectura = false;
    }
    const int columnas = int(m_datos.Columnas());
    qsizetype leidas = 0;
    bool fin = false;
    while (leidas < FilasPorBloque) {
        if (m_lectura->next()) {
            for (int i = 0; i < columnas; ++i)
                m_datos.Agregar(m_lectura->value(i));
            ++leidas;
            ++m_leidasDelBloque;
            continue;
        }
        // next() also ends on a failure half-way (a lock, a lost server).
        bool fallo = m_lectura->lastError().isValid();
        fin = !fallo && (m_cursorServidor.isEmpty() || m_leidasDelBloque < FilasPorBloque);
        if (!fallo && !fin) {
            // A full FETCH may have more behind it.
            m_lectura = std::make_unique<QSqlQuery>(m_conexion->BaseLista());
            m_leidasDelBloque = 0;
            fallo = !m_lectura->exec(SentenciaBloque(m_cursorServidor));
        }
        if (fallo) {
            m_filas = m_base + m_datos.Filas();
            const ErrorDatos error = m_conexion->Error(m_lectura->lastError(), m_origen);
            TerminarLectura();
            throw error;
        }
        if (fin)
            break;
    }
    m_filas = m_base + m_datos.Filas();
    if (!fin)
        return;
    TerminarLectura();
    if (m_guardarLectura)
        m_conexion->Cache().Guardar(m_marcaLectura, {m_origen, m_datos});
    m_guardarLectura = false;
}

void Recordset::TerminarLectura()
{
    m_lectura.reset();
    if (!m_cursorServidor.isEmpty() && m_conexion)
        CerrarCursor(*m_conexion, m_cursorServidor);
    m_cursorServidor.clear();
}

QString Recordset::SentenciaBloque(const QString& cursor)
{
    return QStringLiteral("FETCH FORWARD %1 FROM %2").arg(FilasPorBloque).arg(cursor);
}

void Recordset::CerrarCursor(Connection& conexion, const QString& cursor)
{
    // A held cursor lasts as long as the session: close it, but a lost server has already
    // dropped it, so a failure here changes nothing.
    QSqlQuery cerrar(conexion.Base());
    cerrar.exec(QStringLiteral("CLOSE %1").arg(cursor));
}

void Recordset::LeerTodo()
{
    if (!m_lectura && m_base == 0)
        return;
    if (m_base == 0) {
        // Nothing dropped yet: the rest of the same read completes the rows.
        while (m_lectura)
            LeerBloque(true);
        return;
    }
    // Rows behind were dropped: read the statement again in full, on the same row number.
    const qsizetype pos = m_pos;
    Leer(true);
    m_pos = std::min(pos, m_filas);
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
    return m_edicion != adEditAdd && m_pos >= m_filas;
}

bool Recordset::Bof() const
{
    ExigirAbierto();
    return m_edicion != adEditAdd && (m_filas == 0 || m_pos < 0);
}

long Recordset::RecordCount() const
{
    ExigirAbierto();
    // Counting needs every row; reading the rest changes nothing the caller can see.
    const_cast<Recordset*>(this)->LeerTodo();
    return long(m_filas);
}

void Recordset::MoveFirst()
{
    ExigirAbierto();
    ExigirSinEdicion("MoveFirst");
    if (m_base > 0)
        LeerTodo();
    m_pos = 0;
}

void Recordset::MoveLast()
{
    ExigirAbierto();
    ExigirSinEdicion("MoveLast");
    LeerTodo();
    m_pos = m_filas > 0 ? m_filas - 1 : 0;
}

void Recordset::MoveNext()
{
    ExigirAbierto();
    ExigirSinEdicion("MoveNext");
    if (m_pos >= m_filas)
        Lanzar(ErroresDatos::SinRegistroActual, QStringLiteral("No se puede avanzar: el recordset ya está al final (EOF)."), m_origen);
    ++m_pos;
    if (m_lectura && m_pos >= m_filas)
        LeerBloque(false);
}

void Recordset::MovePrevious()
{
    ExigirAbierto();
    ExigirSinEdicion("MovePrevious");
    if (m_pos < 0 || m_filas == 0)
        Lanzar(ErroresDatos::SinRegistroActual, QStringLiteral("No se puede retroceder: el recordset ya está al principio (BOF)."), m_origen);
    if (m_pos - 1 < m_base)
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
        if (!ok || desde < 0 || desde >= m_filas)
            Lanzar(ErroresDatos::ArgumentosNoValidos, QStringLiteral("El marcador de inicio no es válido."), criteria);
    } else {
        if (!HayFilaActual())
            Lanzar(ErroresDatos::SinRegistroActual,
                   QStringLiteral("No hay registro actual desde el que buscar (BOF o EOF)."), criteria);
        desde = m_pos;
    }

    for (qsizetype fila = desde + qsizetype(skipRecords) * searchDirection; fila >= 0 && fila < m_filas;
         fila += searchDirection) {
        QStringView texto;
        const bool cumple = m_datos.Texto(fila, indice, texto) ? criterio.CumpleTexto(texto)
                                                               : criterio.Cumple(m_datos.Valor(fila, indice));
        if (cumple) {
            m_pos = fila;
            return;
        }
    }
    m_pos = searchDirection == adSearchForward ? m_filas : -1;
}

void Recordset::BuscarIgual(QAnyStringView columna, const QString& valor)
{
    ExigirAbierto();
    ExigirSinEdicion("BuscarIgual");
    const int indice = IndiceExigido(columna);
    LeerTodo();
    if (m_pos >= m_filas)
        return;
    const qsizetype fila = m_datos.BuscarTexto(indice, valor, m_pos);
    m_pos = fila >= 0 ? fila : m_filas;
}

void Recordset::ExigirActualizable()
{
    if (m_bloqueo == adLockReadOnly)
        Lanzar(ErroresDatos::NoActualizable, QStringLiteral("El recordset es de solo lectura."), m_origen);
    if (!m_tabla.isEmpty())
        return;

    // One table after FROM, nothing joined to it and no grouping: its rows map one to one onto ours.
    static const QRegularExpression unaTabla(
        QStringLiteral(R"(^\s*SELECT\s.*?\sFROM\s+([A-Za-z_][A-Za-z0-9_]*)\s*(?:(?:WHERE|ORDER)\b.*)?$)"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    const auto coincidencia = unaTabla.match(m_origen);
    if (!coincidencia.hasMatch())
        Lanzar(ErroresDatos::NoActualizable,
               QStringLiteral("Solo se pueden modificar las filas de una consulta sobre una sola tabla."), m_origen);
    const QString tabla = coincidencia.captured(1);

    QList<int> clave;
    bool primaria = true;
    const QSqlIndex indicePrimario = m_conexion->BaseLista().primaryIndex(tabla);
    if (indicePrimario.count() > 0) {
        for (int i = 0; i < indicePrimario.count(); ++i) {
            const int columna = IndiceColumna(indicePrimario.fieldName(i));
            if (columna < 0)
                Lanzar(ErroresDatos::NoActualizable,
                       QStringLiteral("La consulta no incluye la clave «%1» de la tabla %2.").arg(indicePrimario.fieldName(i), tabla),
                       m_origen);
            clave << columna;
        }
    } else {
        const int columna = IndiceColumna(QStringLiteral("Codigo"));
        if (columna < 0)
            Lanzar(ErroresDatos::NoActualizable,
                   QStringLiteral("La tabla %1 no tiene clave con la que localizar sus filas.").arg(tabla), m_origen);
        clave << columna;
        primaria = false;
    }
    m_tabla = tabla;
    m_columnasClave = clave;
    m_clavePrimaria = primaria;
}

void Recordset::AddNew()
{
    ExigirAbierto();
    ExigirActualizable();
    ExigirSinEdicion("AddNew");
    m_posAntesDeAgregar = m_pos;
    m_pendientes = QList<QVariant>(m_datos.Columnas());
    m_asignados = QList<bool>(m_datos.Columnas(), false);
    m_edicion = adEditAdd;
}

void Recordset::Collect(QAnyStringView nombre, const QVariant& valor)
{
    ExigirAbierto();
    const int columna = IndiceExigido(nombre);
    if (m_edicion == adEditNone) {
        ExigirActualizable();
        if (!HayFilaActual())
            Lanzar(ErroresDatos::SinRegistroActual, QStringLiteral("No hay registro actual que modificar (BOF o EOF)."), m_origen);
        m_pendientes = m_datos.Fila(m_pos);
        m_asignados = QList<bool>(m_datos.Columnas(), false);
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
    if (m_edicion == adEditAdd)
        InsertarFila();
    else if (m_edicion == adEditInProgress)
        ActualizarFila();
}

QString Recordset::NombreSql(int columna) const
{
    return m_conexion->Base().driver()->escapeIdentifier(m_datos.Nombres()[columna], QSqlDriver::FieldName);
}

void Recordset::InsertarFila()
{
    QStringList columnas, marcas;
    QList<QVariant> valores;
    for (int i = 0; i < m_datos.Columnas(); ++i) {
        if (m_asignados[i]) {
            columnas << NombreSql(i);
            marcas << QStringLiteral("?");
            valores << m_pendientes[i];
        }
    }
    const QString sentencia = columnas.isEmpty()
        ? QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(m_tabla)
        : QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)").arg(m_tabla, columnas.join(QStringLiteral(", ")),
                                                               marcas.join(QStringLiteral(", ")));
    Ejecutar(sentencia, valores);

    m_datos.AgregarFila(m_pendientes);
    ++m_filas;
    m_pos = m_filas - 1;
    DescartarEdicion();
}

void Recordset::ActualizarFila()
{
    QStringList asignaciones, condiciones;
    QList<QVariant> valores;
    for (int i = 0; i < m_datos.Columnas(); ++i) {
        if (m_asignados[i]) {
            asignaciones << NombreSql(i) + QStringLiteral(" = ?");
            valores << m_pendientes[i];
        }
    }
    if (asignaciones.isEmpty()) {
        DescartarEdicion();
        return;
    }
    // The row is found by the key it had when it was read, whatever the edit did to it, and
    // only if the fields being changed still hold what was read: otherwise another user's
    // change would be overwritten unseen.
    for (int columna : m_columnasClave) {
        condiciones << NombreSql(columna) + QStringLiteral(" = ?");
        valores << m_datos.Valor(m_pos, columna);
    }
    const QString igualONulo = m_conexion->EsPostgres() ? QStringLiteral(" IS NOT DISTINCT FROM ?")
                                                        : QStringLiteral(" IS ?");
    for (int i = 0; i < m_datos.Columnas(); ++i) {
        if (m_asignados[i] && !m_columnasClave.contains(i)) {
            condiciones << NombreSql(i) + igualONulo;
            valores << m_datos.Valor(m_pos, i);
        }
    }
    const QString sentencia = QStringLiteral("UPDATE %1 SET %2 WHERE %3")
                                  .arg(m_tabla, asignaciones.join(QStringLiteral(", ")),
                                       condiciones.join(QStringLiteral(" AND ")));

    // Without a primary key the UPDATE could reach several rows; it runs in a transaction of
    // its own (nested in the caller's, if any) so that it can be undone then.
    const bool enTransaccion = !m_clavePrimaria;
    if (enTransaccion)
        m_conexion->BeginTrans();
    qsizetype cambiadas;
    try {
        cambiadas = Ejecutar(sentencia, valores);
        if (cambiadas > 1 && enTransaccion)
            Lanzar(ErroresDatos::NoActualizable,
                   QStringLiteral("La clave no identifica una sola fila de %1; no se ha cambiado nada.").arg(m_tabla), sentencia);
    } catch (...) {
        if (enTransaccion) {
            try {
                m_conexion->RollbackTrans();
            } catch (const ErrorDatos&) {
                // The failure of the write is the one to report.
            }
        }
        throw;
    }
    if (enTransaccion)
        m_conexion->CommitTrans();
    if (cambiadas == 0)
        Lanzar(ErroresDatos::FilaDesaparecida,
               QStringLiteral("No se pudo actualizar la fila: otro usuario la ha borrado o cambiado desde que se leyó."), sentencia);

    m_datos.CambiarFila(m_pos, m_pendientes);
    DescartarEdicion();
}

qsizetype Recordset::Ejecutar(const QString& sentencia, const QList<QVariant>& valores)
{
    for (const QVariant& valor : valores)
        m_conexion->ExigirValorAdmisible(valor, sentencia);
    QSqlQuery consulta(m_conexion->BaseLista());
    if (!consulta.prepare(sentencia))
        throw m_conexion->Error(consulta.lastError(), sentencia);
    for (const QVariant& valor : valores)
        consulta.addBindValue(valor);
    if (!consulta.exec())
        throw m_conexion->Error(consulta.lastError(), sentencia);
    return consulta.numRowsAffected();
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
    const QStringList nombres = m_datos.Nombres();
    Leer();
    if (m_abierto && m_datos.Nombres() != nombres) {
        m_tabla.clear();
        m_columnasClave.clear();
    }
}

void Recordset::Close()
{
    DescartarEdicion();
    TerminarLectura();
    m_abierto = false;
    m_datos = FilasLeidas();
    m_base = 0;
    m_filas = 0;
    m_pos = 0;
    m_tabla.clear();
    m_columnasClave.clear();
    m_conexion.reset();
}

Field Recordset::Fields(QAnyStringView nombre) const
{
    return Field(this, IndiceExigido(nombre));
}

int Recordset::NumeroColumnas() const
{
    return int(m_datos.Columnas());
}

QString Recordset::NombreColumna(int columna) const
{
    ExigirAbierto();
    if (columna < 0 || columna >= m_datos.Columnas())
        Lanzar(ErroresDatos::CampoNoEncontrado, QStringLiteral("No existe el campo número %1.").arg(columna), m_origen);
    return m_datos.Nombres()[columna];
}

int Recordset::IndiceColumna(QAnyStringView nombre) const
{
    // Callers nearly always spell the name as the engine does; letter case is the fallback.
    const QStringList& nombres = m_datos.Nombres();
    for (int i = 0; i < nombres.size(); ++i) {
        if (QAnyStringView::equal(nombres[i], nombre))
            return i;
    }
    for (int i = 0; i < nombres.size(); ++i) {
        if (QAnyStringView::compare(nombres[i], nombre, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
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
    if (columna < 0 || columna >= m_datos.Columnas())
        Lanzar(ErroresDatos::CampoNoEncontrado, QStringLiteral("No existe el campo número %1.").arg(columna), m_origen);
    if (m_edicion != adEditNone)
        return m_pendientes[columna];
    if (!HayFilaActual())
        Lanzar(ErroresDatos::SinRegistroActual, QStringLiteral("No hay registro actual (BOF o EOF)."), m_origen);
    return m_datos.Valor(m_pos - m_base, columna);
}
