#include "server/ServidorComponente.h"

#include "server/CodigosServidor.h"
#include "server/RegistroClases.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <dlfcn.h>

namespace {

thread_local std::optional<ErrorServidor> UltimoError;

} // namespace

void RegistrarServidor(const QString& rutaBiblioteca, const QString& progId, const QString& clase,
                       const QString& version)
{
    RegistroClases().Registrar({EntradaClase{progId, rutaBiblioteca, clase, version}});
}

void DesregistrarServidor(const QString& progId)
{
    RegistroClases().Desregistrar({progId});
}

QString RutaBibliotecaDe(const void* direccion)
{
    Dl_info info{};
    if (dladdr(direccion, &info) == 0 || info.dli_fname == nullptr || *info.dli_fname == '\0')
        throw ErrorServidor(CodigoServidor::Inesperado,
                            QStringLiteral("No se puede averiguar qué biblioteca contiene el servidor de clases."));
    return QDir::cleanPath(QFileInfo(QFile::decodeName(info.dli_fname)).absoluteFilePath());
}

void GuardarUltimoError(const ErrorServidor& error)
{
    UltimoError = error;
}

void BorrarUltimoError()
{
    UltimoError.reset();
}

std::optional<ErrorServidor> UltimoErrorServidor()
{
    return UltimoError;
}

int EjecutarExportacion(const std::function<void()>& trabajo)
{
    BorrarUltimoError();
    try {
        trabajo();
        return CodigoServidor::Correcto;
    } catch (const ErrorServidor& error) {
        GuardarUltimoError(error);
        return error.Numero();
    } catch (const std::exception& error) {
        GuardarUltimoError(ErrorServidor(CodigoServidor::Inesperado,
                                         QStringLiteral("Error inesperado en el servidor de clases: %1").arg(QString::fromUtf8(error.what()))));
    } catch (...) {
        GuardarUltimoError(ErrorServidor(CodigoServidor::Inesperado, QStringLiteral("Error inesperado en el servidor de clases.")));
    }
    return CodigoServidor::Inesperado;
}
