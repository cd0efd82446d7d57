#include "data/LectorRecordset.h"

#include "data/CacheLecturas.h"

#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

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

} // namespace

LectorRecordset::LectorRecordset() = default;
LectorRecordset::~LectorRecordset()
{
    TerminarLectura();
}

bool LectorRecordset::Leer(Connection& conexion, const QString& origen, bool aPlazosPedido)
{
    const bool reutilizable = SePuedeReutilizar(origen);
    const QString marca = reutilizable ? conexion.MarcaCambios() : QString();
    if (reutilizable) {
        if (const CacheLecturas::Entrada* guardada = conexion.Cache().Buscar(origen, marca)) {
            Adoptar(conexion, origen, guardada->filas);
            return true;
        }
    }

    conexion.ExigirSentenciaAdmisible(origen);
    // A read-only recordset on the server reads as it goes, so that a long forward pass (a
    // listing) needs memory for one block of rows, not for the whole table. On SQLite the
    // statement stays pending: another statement on the same connection does not disturb it,
    // and WAL lets other users write meanwhile. On PostgreSQL a held cursor keeps the rows on
    // the server, and each block is one FETCH, a statement of its own. Anything else reads
    // every row now. So does a read inside a transaction: undoing it would drop a cursor
    // declared in it, and the rest of the rows with it.
    const bool aPlazos = aPlazosPedido && (!conexion.EsPostgres() || EsLecturaSola(origen)) && !conexion.EnTransaccion();
    std::unique_ptr<QSqlQuery> consulta;
    QString cursor;
    if (aPlazos && conexion.EsPostgres()) {
        static std::atomic<quint64> cursores{0};
        cursor = QStringLiteral("quiltren_lectura_%1").arg(++cursores);
        QSqlQuery declarar(conexion.BaseLista());
        if (!declarar.exec(QStringLiteral("DECLARE %1 NO SCROLL CURSOR WITH HOLD FOR %2").arg(cursor, origen)))
            throw conexion.Error(declarar.lastError(), origen);
        consulta = std::make_unique<QSqlQuery>(conexion.BaseLista());
        if (!consulta->exec(SentenciaBloque(cursor))) {
            const ErrorDatos error = conexion.Error(consulta->lastError(), origen);
            CerrarCursor(conexion, cursor);
            throw error;
        }
    } else {
        consulta = std::make_unique<QSqlQuery>(conexion.BaseLista());
        consulta->setForwardOnly(true);
        if (!consulta->exec(origen))
            throw conexion.Error(consulta->lastError(), origen);
        if (!consulta->isSelect())
            return false;
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
            throw conexion.Error(consulta->lastError(), origen);
    }

    Adoptar(conexion, origen, std::move(datos));
    if (aPlazos) {
        lectura_ = std::move(consulta);
        cursorServidor_ = cursor;
        leidasDelBloque_ = 0;
        marcaLectura_ = reutilizable ? marca : QString();
        guardarLectura_ = reutilizable;
        LeerBloque(false);
    } else if (reutilizable) {
        conexion.Cache().Guardar(marca, {origen, datos_});
    }
    return true;
}

void LectorRecordset::Adoptar(Connection& conexion, const QString& origen, FilasLeidas datos)
{
    TerminarLectura();
    conexion_ = &conexion;
    origen_ = origen;
    datos_ = std::move(datos);
    base_ = 0;
    filas_ = datos_.Filas();
}

void LectorRecordset::LeerBloque(bool conservar)
{
    // The rows behind the cursor are kept while they are few, so that a small table is still
    // read once and reused; past that only the current block is held.
    if (!conservar && filas_ >= FilasRetenidas && datos_.Filas() > 0) {
        datos_ = FilasLeidas(datos_.Nombres());
        base_ = filas_;
        guardarLectura_ = false;
    }
    const int columnas = int(datos_.Columnas());
    qsizetype leidas = 0;
    bool fin = false;
    while (leidas < FilasPorBloque) {
        if (lectura_->next()) {
            for (int i = 0; i < columnas; ++i)
                datos_.Agregar(lectura_->value(i));
            ++leidas;
            ++leidasDelBloque_;
            continue;
        }
        // next() also ends on a failure half-way (a lock, a lost server).
        bool fallo = lectura_->lastError().isValid();
        fin = !fallo && (cursorServidor_.isEmpty() || leidasDelBloque_ < FilasPorBloque);
        if (!fallo && !fin) {
            // A full FETCH may have more behind it.
            lectura_ = std::make_unique<QSqlQuery>(conexion_->BaseLista());
            leidasDelBloque_ = 0;
            fallo = !lectura_->exec(SentenciaBloque(cursorServidor_));
        }
        if (fallo) {
            filas_ = base_ + datos_.Filas();
            const ErrorDatos error = conexion_->Error(lectura_->lastError(), origen_);
            TerminarLectura();
            throw error;
        }
        if (fin)
            break;
    }
    filas_ = base_ + datos_.Filas();
    if (!fin)
        return;
    TerminarLectura();
    if (guardarLectura_)
        conexion_->Cache().Guardar(marcaLectura_, {origen_, datos_});
    guardarLectura_ = false;
}

void LectorRecordset::TerminarLectura()
{
    lectura_.reset();
    if (!cursorServidor_.isEmpty() && conexion_)
        CerrarCursor(*conexion_, cursorServidor_);
    cursorServidor_.clear();
}

QString LectorRecordset::SentenciaBloque(const QString& cursor)
{
    return QStringLiteral("FETCH FORWARD %1 FROM %2").arg(FilasPorBloque).arg(cursor);
}

void LectorRecordset::CerrarCursor(Connection& conexion, const QString& cursor)
{
    // A held cursor lasts as long as the session: close it, but a lost server has already
    // dropped it, so a failure here changes nothing.
    QSqlQuery cerrar(conexion.Base());
    cerrar.exec(QStringLiteral("CLOSE %1").arg(cursor));
}

void LectorRecordset::LeerTodo()
{
    if (!lectura_ && base_ == 0)
        return;
    if (base_ == 0) {
        // Nothing dropped yet: the rest of the same read completes the rows.
        while (lectura_)
            LeerBloque(true);
        return;
    }
    // Rows behind were dropped: read the statement again in full.
    Leer(*conexion_, origen_, false);
}

void LectorRecordset::Cerrar()
{
    TerminarLectura();
    datos_ = FilasLeidas();
    base_ = 0;
    filas_ = 0;
    conexion_ = nullptr;
}

int LectorRecordset::IndiceColumna(QAnyStringView nombre) const
{
    // Callers nearly always spell the name as the engine does; letter case is the fallback.
    const QStringList& nombres = datos_.Nombres();
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

void LectorRecordset::AgregarFila(const QList<QVariant>& valores)
{
    datos_.AgregarFila(valores);
    ++filas_;
}

void LectorRecordset::CambiarFila(qsizetype fila, const QList<QVariant>& valores)
{
    datos_.CambiarFila(fila, valores);
}
