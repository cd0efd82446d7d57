#pragma once
// The host's functions object: window release, text drawing on report pages, the operation log
// and the date text.

#include "tramacor/Tramacor.h"

#include <QString>

// "06/12/2026 14:05:09": day, month, four-digit year, 24-hour time with seconds.
QString TextoFecha(const QDateTime& fecha);

class FuncionesQt : public IFunciones
{
public:
    // Leaves the reference as it is while the window stays loaded; a window that is unloading
    // or unloaded is released (nothing is left in the reference).
    void LiberarFormulario(QObject*& Ventana) override;

    // "I": the text starts at X; "D": it ends at X. Drawn at the pen's line (its top at CurrentY)
    // in the surface's font and colour. FinDeLinea moves the pen to the start of the next line;
    // otherwise the pen stays on the line, after the text. Another alignment is an error 5.
    void ImprimirTexto(SuperficieDestino& Superficie, double X, const QString& Alineacion,
                       const QString& Texto, bool FinDeLinea, int Reservado) override;

    // Inserts the statement, the user and the time into the table Auditoria of Conexion, with
    // bound parameters. The user is the text the host put in Parametro (a name), or, when it holds
    // none, the one given to FijarUsuario. A missing connection is an error 91; a failing insert
    // raises the data layer's error.
    void RegistrarOperacion(QVariant& Parametro, std::shared_ptr<Connection>& Conexion,
                            const QString& Sentencia) override;

    QString FormatearFecha(const QDateTime& Fecha) override;

    // The user written to the log when the host's parameter names none.
    void FijarUsuario(const QString& usuario) { usuario_ = usuario; }
    QString UsuarioPredeterminado() const { return usuario_; }

private:
    QString usuario_;
};
