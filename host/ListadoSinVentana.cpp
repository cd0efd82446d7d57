#include "ListadoSinVentana.h"

#include <QTextStream>

int ImprimirListadoSinVentana(const OpcionesDemo& opciones, const ConnectionPtr& conexion)
{
    // The report generator lives in the component's listing; it is called from here once it offers
    // a function that draws on a PDF surface with these options.
    Q_UNUSED(conexion);
    QTextStream(stderr) << QStringLiteral("El listado sin ventanas (%1) todavía no está disponible en esta versión.\n")
                               .arg(opciones.Listado);
    return 3;
}
