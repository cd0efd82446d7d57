// quiltren-registrar: registers or unregisters a component library in the class registry, as
// the platform's registration tool does: it loads the library and calls its own entry point.

#include "server/CodigosServidor.h"
#include "server/CrearObjeto.h"
#include "server/ErrorServidor.h"
#include "server/RegistroClases.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTextStream>

int main(int argc, char* argv[])
{
    QCoreApplication aplicacion(argc, argv);
    QStringList argumentos = QCoreApplication::arguments().mid(1);
    const bool desregistrar = argumentos.removeAll(QStringLiteral("-u")) + argumentos.removeAll(QStringLiteral("--desregistrar")) > 0;
    const bool sistema = argumentos.removeAll(QStringLiteral("--sistema")) > 0;
    QTextStream salida(stdout);
    QTextStream errores(stderr);
    if (argumentos.size() != 1 || argumentos.first().startsWith(QLatin1Char('-'))) {
        errores << "Uso: quiltren-registrar [-u|--desregistrar] [--sistema] BIBLIOTECA\n"
                   "Registra la biblioteca de un componente en el registro de clases, o la quita con -u.\n"
                   "Con --sistema usa el registro de todo el equipo (" << RegistroClases::RutaSistema()
                << ") en lugar del del usuario.\n";
        return 2;
    }
    // The library's own DllRegisterServer writes the registry of this process: point it there.
    if (sistema)
        qputenv("QUILTREN_REGISTRO", QFile::encodeName(RegistroClases::RutaSistema()));
    const QString biblioteca = QDir::toNativeSeparators(argumentos.first());
    try {
        if (desregistrar) {
            DesregistrarBiblioteca(argumentos.first());
            salida << QStringLiteral("Biblioteca «%1» desregistrada.\n").arg(biblioteca);
        } else {
            RegistrarBiblioteca(argumentos.first());
            salida << QStringLiteral("Biblioteca «%1» registrada.\n").arg(biblioteca);
        }
    } catch (const ErrorServidor& error) {
        errores << QStringLiteral("Error %1: %2\n").arg(CodigoServidor::EnHexadecimal(error.Numero()), error.Descripcion());
        return 1;
    }
    return 0;
}
