#pragma once
// A host's utilities object built from what the host knows: its connection, its two windows, the
// screen size its windows were laid out for, the user and the interface texts of its database.

#include "runtime/Form.h"
#include "tramacor/Tramacor.h"

#include <QPointer>

class UtilidadesAnfitrion : public IUtilidades
{
public:
    struct Datos
    {
        std::shared_ptr<Connection> Conexion;
        QPointer<Form> Ubicacion;
        QPointer<Form> Principal;
        // 1024 × 768 pixels at 15 twips per pixel.
        long AnchoBase = 15360;
        long AltoBase = 11520;
        QString Usuario;
        // Handed back to RegistrarOperacion; the user's name when left empty.
        QVariant ParametroRegistro;
        // Row of the table Textos to read.
        QString Idioma = QStringLiteral("es");
    };

    explicit UtilidadesAnfitrion(Datos datos) : datos_(std::move(datos)) {}

    Datos& Configuracion() { return datos_; }

    // Fills all 15 values. Textos and TextosListado are (re)opened, read-only, on the row of the
    // language in the table Textos and left positioned on it; a recordset the caller left open is
    // closed first, a missing one is created. The unread slots receive 0. Errors of the data layer
    // (no connection, no such table or row) reach the caller; values before the failing one stay.
    void ObtenerDatos(DatosAnfitrion& Datos) override;

    // Draws nothing of its own; the reference stays as it is.
    void PintarFormulario(QObject*& Ventana) override;

    // Opens `textos` (created if missing, closed first if open), read-only, on the row of the
    // language in the table Textos and leaves it positioned there; no such row is an error.
    static void AbrirTextos(RecordsetAutomatico& textos, const std::shared_ptr<Connection>& conexion,
                            const QString& idioma = QStringLiteral("es"));

    // The user's login name: from the environment, else the account of the process, else "usuario".
    static QString UsuarioDelSistema();

private:
    Datos datos_;
};
