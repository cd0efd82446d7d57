#include "host/ListadoSinVentana.h"

#include "listing/ExportacionListado.h"
#include "host/Anfitrion.h"
#include "printing/Printers.h"

#include <QDir>
#include <QElapsedTimer>
#include <QLibrary>
#include <QTextStream>
#include <unistd.h>

namespace {

// Pages drawn so far, on the terminal: one line rewritten in place, or a line now and then when
// the output goes to a file.
struct Progreso
{
    bool terminal = isatty(STDERR_FILENO) != 0;
    QElapsedTimer reloj;
    int ultimaMostrada = 0;
    bool escrito = false;
};

void AvisarPaginas(int paginas, void* datos)
{
    auto& progreso = *static_cast<Progreso*>(datos);
    QTextStream error(stderr);
    if (progreso.terminal) {
        if (progreso.reloj.elapsed() < 200 && paginas > 1)
            return;
        progreso.reloj.restart();
        error << QStringLiteral("\rPáginas dibujadas: %1").arg(paginas) << Qt::flush;
        progreso.escrito = true;
    } else if (paginas - progreso.ultimaMostrada >= 1000) {
        progreso.ultimaMostrada = paginas;
        error << QStringLiteral("Páginas dibujadas: %1").arg(paginas) << Qt::endl;
    }
}

}  // namespace

int ImprimirListadoSinVentana(const OpcionesDemo& opciones, const ConnectionPtr& conexion)
{
    QTextStream error(stderr);
    const QString ruta = Anfitrion::RutaComponentePredeterminada();
    QLibrary componente(ruta);
    if (!componente.load()) {
        error << QStringLiteral("No se pudo cargar el componente %1: %2")
                     .arg(QDir::toNativeSeparators(ruta), componente.errorString())
              << Qt::endl;
        return 1;
    }
    const bool aImpresora = !opciones.Impresora.isEmpty();
    const auto listado = reinterpret_cast<TipoQuiltrenListadoPdf>(
        componente.resolve(aImpresora ? "QuiltrenListadoImpresora" : "QuiltrenListadoPdf"));
    if (!listado) {
        error << QStringLiteral("El componente %1 no ofrece el listado %2.")
                     .arg(QDir::toNativeSeparators(ruta),
                          aImpresora ? QStringLiteral("por impresora") : QStringLiteral("en PDF"))
              << Qt::endl;
        return 1;
    }

    const QString archivo = aImpresora ? opciones.Impresora : QDir::current().absoluteFilePath(opciones.Listado);
    Progreso progreso;
    progreso.reloj.start();
    char motivo[2048] = {};
    const int paginas = listado(conexion->Origen().toUtf8().constData(), archivo.toUtf8().constData(),
                                opciones.OrdenPorCodigo ? 1 : 0, opciones.CodigoDesde.toUtf8().constData(),
                                opciones.CodigoHasta.toUtf8().constData(), AvisarPaginas, &progreso, motivo,
                                int(sizeof motivo));
    if (progreso.escrito)
        error << Qt::endl;
    if (paginas <= 0) {
        error << QStringLiteral("No se pudo generar el listado: %1").arg(QString::fromUtf8(motivo)) << Qt::endl;
        return 1;
    }
    QTextStream(stdout) << (aImpresora ? QStringLiteral("Listado de provincias enviado a la impresora %1 (%2 %3).")
                                       : QStringLiteral("Listado de provincias guardado en %1 (%2 %3)."))
                               .arg(aImpresora ? archivo : QDir::toNativeSeparators(archivo))
                               .arg(paginas)
                               .arg(paginas == 1 ? QStringLiteral("página") : QStringLiteral("páginas"))
                        << Qt::endl;
    return 0;
}

bool ExisteImpresora(const QString& nombre)
{
    const std::optional<Impresora> impresora = Printers::Buscar(nombre);
    return impresora && !impresora->EsPdf();
}

int MostrarImpresoras()
{
    const QString predeterminada = Printers::Predeterminada().DeviceName();
    QTextStream salida(stdout);
    for (const Impresora& impresora : Printers::Lista()) {
        if (impresora.EsPdf())
            continue;
        salida << impresora.DeviceName();
        if (impresora.DeviceName() == predeterminada)
            salida << QStringLiteral(" (predeterminada)");
        salida << Qt::endl;
    }
    return 0;
}
