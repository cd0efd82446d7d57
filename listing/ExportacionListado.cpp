#include "listing/ExportacionListado.h"

#include "data/Connection.h"
#include "listing/ListadoPdf.h"

#include <QByteArray>
#include <algorithm>
#include <cstring>

namespace {

QString Texto(const char* utf8)
{
    return utf8 ? QString::fromUtf8(utf8) : QString();
}

void DejarError(const QString& descripcion, char* error, int tamanoError)
{
    if (!error || tamanoError <= 0)
        return;
    QByteArray texto = descripcion.toUtf8();
    // Cut at a character boundary, never inside one.
    int largo = std::min(int(texto.size()), tamanoError - 1);
    while (largo > 0 && largo < texto.size() && (uchar(texto[largo]) & 0xC0) == 0x80)
        --largo;
    std::memcpy(error, texto.constData(), std::size_t(largo));
    error[largo] = '\0';
}

// Both exports: the listing for one destination, errors left as text.
int Exportar(const char* base, const char* destino, bool impresora, int ordenPorCodigo, const char* desde,
             const char* hasta, AvisoPaginasListado progreso, void* datos, char* error, int tamanoError)
{
    DejarError(QString(), error, tamanoError);
    try {
        const ConnectionPtr conexion = Connection::Abrir(Texto(base), Connection::Apertura::Existente);
        AvisoPaginas aviso;
        if (progreso)
            aviso = [progreso, datos](int paginas) { progreso(paginas, datos); };
        return impresora ? GenerarListadoImpresora(conexion, Texto(destino), ordenPorCodigo != 0, Texto(desde), Texto(hasta), aviso)
                         : GenerarListadoPdf(conexion, Texto(destino), ordenPorCodigo != 0, Texto(desde), Texto(hasta), aviso);
    } catch (const std::exception& fallo) {
        DejarError(DescripcionError(fallo), error, tamanoError);
    } catch (...) {
        DejarError(QStringLiteral("Error desconocido al generar el listado."), error, tamanoError);
    }
    return 0;
}

}  // namespace

extern "C" int QuiltrenListadoPdf(const char* base, const char* archivo, int ordenPorCodigo, const char* desde,
                                  const char* hasta, AvisoPaginasListado progreso, void* datos, char* error,
                                  int tamanoError)
{
    return Exportar(base, archivo, false, ordenPorCodigo, desde, hasta, progreso, datos, error, tamanoError);
}

extern "C" int QuiltrenListadoImpresora(const char* base, const char* impresora, int ordenPorCodigo, const char* desde,
                                        const char* hasta, AvisoPaginasListado progreso, void* datos, char* error,
                                        int tamanoError)
{
    return Exportar(base, impresora, true, ordenPorCodigo, desde, hasta, progreso, datos, error, tamanoError);
}
