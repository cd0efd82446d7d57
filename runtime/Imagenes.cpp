#include "runtime/Imagenes.h"

#include "runtime/ErrorEjecucion.h"

#include <QFileInfo>
#include <QImageReader>

QImage CargarImagen(const QString& archivo)
{
    if (archivo.isEmpty())
        return QImage();
    if (!QFileInfo(archivo).isFile())
        throw ErrorEjecucion(ErrorEjecucion::ArchivoNoEncontrado,
                             QStringLiteral("No se encontró el archivo '%1'").arg(archivo));
    QImageReader lector(archivo);
    QImage imagen = lector.read();
    if (imagen.isNull())
        throw ErrorEjecucion(ErrorEjecucion::ImagenNoValida,
                             QStringLiteral("La imagen no es válida: '%1' (%2)").arg(archivo, lector.errorString()));
    return imagen;
}
