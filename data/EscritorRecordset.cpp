#include "data/EscritorRecordset.h"

#include "data/ErrorDatos.h"
#include "data/ErroresDatos.h"
#include "data/LectorRecordset.h"

#include <QRegularExpression>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlIndex>
#include <QSqlQuery>

void EscritorRecordset::ExigirActualizable(const LectorRecordset& lector, bool soloLectura)
{
    if (soloLectura)
        LanzarErrorDatos(ErroresDatos::NoActualizable,
                         QStringLiteral("El recordset es de solo lectura."), lector.Origen());
    if (!tabla_.isEmpty())
        return;

    // One table after FROM, nothing joined to it and no grouping: its rows map one to one onto ours.
    static const QRegularExpression unaTabla(
        QStringLiteral(R"(^\s*SELECT\s.*?\sFROM\s+([A-Za-z_][A-Za-z0-9_]*)\s*(?:(?:WHERE|ORDER)\b.*)?$)"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    const auto coincidencia = unaTabla.match(lector.Origen());
    if (!coincidencia.hasMatch())
        LanzarErrorDatos(ErroresDatos::NoActualizable,
                         QStringLiteral("Solo se pueden modificar las filas de una consulta sobre una sola tabla."), lector.Origen());
    const QString tabla = coincidencia.captured(1);

    QList<int> clave;
    bool primaria = true;
    const QSqlIndex indicePrimario = lector.Conexion().BaseLista().primaryIndex(tabla);
    if (indicePrimario.count() > 0) {
        for (int i = 0; i < indicePrimario.count(); ++i) {
            const int columna = lector.IndiceColumna(indicePrimario.fieldName(i));
            if (columna < 0)
                LanzarErrorDatos(ErroresDatos::NoActualizable,
                                 QStringLiteral("La consulta no incluye la clave «%1» de la tabla %2.").arg(indicePrimario.fieldName(i), tabla),
                                 lector.Origen());
            clave << columna;
        }
    } else {
        const int columna = lector.IndiceColumna(QStringLiteral("Codigo"));
        if (columna < 0)
            LanzarErrorDatos(ErroresDatos::NoActualizable,
                             QStringLiteral("La tabla %1 no tiene clave con la que localizar sus filas.").arg(tabla), lector.Origen());
        clave << columna;
        primaria = false;
    }
    tabla_ = tabla;
    columnasClave_ = clave;
    clavePrimaria_ = primaria;
}

QString EscritorRecordset::NombreSql(const LectorRecordset& lector, int columna)
{
    return lector.Conexion().Base().driver()->escapeIdentifier(lector.Datos().Nombres()[columna], QSqlDriver::FieldName);
}

void EscritorRecordset::Insertar(LectorRecordset& lector, const QList<QVariant>& pendientes, const QList<bool>& asignados)
{
    QStringList columnas, marcas;
    QList<QVariant> valores;
    for (int i = 0; i < lector.Datos().Columnas(); ++i) {
        if (asignados[i]) {
            columnas << NombreSql(lector, i);
            marcas << QStringLiteral("?");
            valores << pendientes[i];
        }
    }
    const QString sentencia = columnas.isEmpty()
        ? QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(tabla_)
        : QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)").arg(tabla_, columnas.join(QStringLiteral(", ")),
                                                               marcas.join(QStringLiteral(", ")));
    Ejecutar(lector.Conexion(), sentencia, valores);
    lector.AgregarFila(pendientes);
}

void EscritorRecordset::Actualizar(LectorRecordset& lector, qsizetype fila, const QList<QVariant>& pendientes,
                                   const QList<bool>& asignados)
{
    Connection& conexion = lector.Conexion();
    QStringList asignaciones, condiciones;
    QList<QVariant> valores;
    for (int i = 0; i < lector.Datos().Columnas(); ++i) {
        if (asignados[i]) {
            asignaciones << NombreSql(lector, i) + QStringLiteral(" = ?");
            valores << pendientes[i];
        }
    }
    if (asignaciones.isEmpty())
        return;
    // The row is found by the key it had when it was read, whatever the edit did to it, and
    // only if the fields being changed still hold what was read: otherwise another user's
    // change would be overwritten unseen.
    for (int columna : columnasClave_) {
        condiciones << NombreSql(lector, columna) + QStringLiteral(" = ?");
        valores << lector.Datos().Valor(fila, columna);
    }
    const QString igualONulo = conexion.EsPostgres() ? QStringLiteral(" IS NOT DISTINCT FROM ?")
                                                        : QStringLiteral(" IS ?");
    for (int i = 0; i < lector.Datos().Columnas(); ++i) {
        if (asignados[i] && !columnasClave_.contains(i)) {
            condiciones << NombreSql(lector, i) + igualONulo;
            valores << lector.Datos().Valor(fila, i);
        }
    }
    const QString sentencia = QStringLiteral("UPDATE %1 SET %2 WHERE %3")
                                  .arg(tabla_, asignaciones.join(QStringLiteral(", ")),
                                       condiciones.join(QStringLiteral(" AND ")));

    // Without a primary key the UPDATE could reach several rows; it runs in a transaction of
    // its own (nested in the caller's, if any) so that it can be undone then.
    const bool enTransaccion = !clavePrimaria_;
    if (enTransaccion)
        conexion.BeginTrans();
    qsizetype cambiadas;
    try {
        cambiadas = Ejecutar(conexion, sentencia, valores);
        if (cambiadas > 1 && enTransaccion)
            LanzarErrorDatos(ErroresDatos::NoActualizable,
                             QStringLiteral("La clave no identifica una sola fila de %1; no se ha cambiado nada.").arg(tabla_), sentencia);
    } catch (...) {
        if (enTransaccion) {
            try {
                conexion.RollbackTrans();
            } catch (const ErrorDatos&) {
                // The failure of the write is the one to report.
            }
        }
        throw;
    }
    if (enTransaccion)
        conexion.CommitTrans();
    if (cambiadas == 0)
        LanzarErrorDatos(ErroresDatos::FilaDesaparecida,
                         QStringLiteral("No se pudo actualizar la fila: otro usuario la ha borrado o cambiado desde que se leyó."), sentencia);

    lector.CambiarFila(fila, pendientes);
}

qsizetype EscritorRecordset::Ejecutar(Connection& conexion, const QString& sentencia, const QList<QVariant>& valores)
{
    for (const QVariant& valor : valores)
        conexion.ExigirValorAdmisible(valor, sentencia);
    QSqlQuery consulta(conexion.BaseLista());
    if (!consulta.prepare(sentencia))
        throw conexion.Error(consulta.lastError(), sentencia);
    for (const QVariant& valor : valores)
        consulta.addBindValue(valor);
    if (!consulta.exec())
        throw conexion.Error(consulta.lastError(), sentencia);
    return consulta.numRowsAffected();
}

void EscritorRecordset::Olvidar()
{
    tabla_.clear();
    columnasClave_.clear();
}
