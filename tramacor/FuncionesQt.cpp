#include "tramacor/FuncionesQt.h"

#include "data/Connection.h"
#include "data/ErrorDatos.h"
#include "runtime/ErrorEjecucion.h"
#include "runtime/Form.h"
#include "printing/SuperficieDestino.h"

#include <QSqlError>
#include <QSqlQuery>

QString TextoFecha(const QDateTime& fecha)
{
    return fecha.toString(QStringLiteral("dd/MM/yyyy HH:mm:ss"));
}

void FuncionesQt::LiberarFormulario(QObject*& Ventana)
{
    const Form* ventana = qobject_cast<Form*>(Ventana);
    if (ventana && (ventana->Descargando() || !ventana->Loaded()))
        Ventana = nullptr;
}

void FuncionesQt::ImprimirTexto(SuperficieDestino& Superficie, double X, const QString& Alineacion,
                                const QString& Texto, bool FinDeLinea, int Reservado)
{
    Q_UNUSED(Reservado);
    double inicio;
    if (Alineacion == QLatin1String("I"))
        inicio = X;
    else if (Alineacion == QLatin1String("D"))
        inicio = X - Superficie.TextWidth(Texto);
    else
        throw ErrorEjecucion(ErrorEjecucion::LlamadaNoValida,
                             QStringLiteral("Alineación no válida: \"%1\" (se espera \"I\" o \"D\")").arg(Alineacion));
    Superficie.SetCurrentX(inicio);
    Superficie.Print(Texto, FinDeLinea);
}

void FuncionesQt::RegistrarOperacion(QVariant& Parametro, std::shared_ptr<Connection>& Conexion,
                                     const QString& Sentencia)
{
    if (!Conexion)
        throw ErrorEjecucion(ErrorEjecucion::VariableObjetoNoEstablecida);
    const QString enParametro = Parametro.canConvert<QString>() ? Parametro.toString() : QString();
    const QString usuario = enParametro.isEmpty() ? usuario_ : enParametro;

    const QString insercion = QStringLiteral("INSERT INTO Auditoria (Fecha, Usuario, Sentencia) VALUES (?, ?, ?)");
    QSqlQuery consulta(Conexion->Base());
    if (!consulta.prepare(insercion))
        throw ErrorDatos::DesdeSql(consulta.lastError(), insercion, Conexion->EsPostgres());
    // Sortable time, so the log reads in order whatever the date text of the records is.
    consulta.addBindValue(QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
    consulta.addBindValue(usuario);
    consulta.addBindValue(Sentencia);
    if (!consulta.exec())
        throw ErrorDatos::DesdeSql(consulta.lastError(), insercion, Conexion->EsPostgres());
}

QString FuncionesQt::FormatearFecha(const QDateTime& Fecha)
{
    return TextoFecha(Fecha);
}
