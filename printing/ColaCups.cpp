#include "printing/ColaCups.h"

#include "printing/ErrorImpresion.h"

#include <QFile>
#include <cups/cups.h>

namespace {

QString Motivo()
{
    return QString::fromUtf8(cupsLastErrorString());
}

}  // namespace

void ColaCups::ComprobarDisponible(const QString& nombre)
{
    const QString cola = nombre.section(QLatin1Char('/'), 0, 0);
    const QString instancia = nombre.section(QLatin1Char('/'), 1);
    cups_dest_t* destino = cupsGetNamedDest(CUPS_HTTP_DEFAULT, cola.toUtf8().constData(),
                                            instancia.isEmpty() ? nullptr : instancia.toUtf8().constData());
    if (!destino) {
        if (cupsLastError() == IPP_STATUS_ERROR_SERVICE_UNAVAILABLE || cupsLastError() == IPP_STATUS_ERROR_INTERNAL)
            throw ErrorImpresion(QStringLiteral("No se puede contactar con el servidor de impresión para usar la impresora \"%1\": %2")
                                     .arg(nombre, Motivo()));
        throw ErrorImpresion(QStringLiteral("No existe la impresora \"%1\".").arg(nombre));
    }
    const QByteArray estado = cupsGetOption("printer-state", destino->num_options, destino->options);
    const QByteArray acepta = cupsGetOption("printer-is-accepting-jobs", destino->num_options, destino->options);
    const QString razones = QString::fromUtf8(cupsGetOption("printer-state-message", destino->num_options, destino->options));
    cupsFreeDests(1, destino);
    // 5 is IPP's "stopped": a job sent now would wait in the queue without being printed.
    if (estado == "5")
        throw ErrorImpresion(QStringLiteral("La impresora \"%1\" está detenida%2.")
                                 .arg(nombre, razones.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(razones)));
    if (acepta == "false" || acepta == "0")
        throw ErrorImpresion(QStringLiteral("La impresora \"%1\" no acepta trabajos en este momento.").arg(nombre));
}

int ColaCups::Enviar(const QString& nombre, const QString& archivo, const QString& titulo, const QString& papel)
{
    ComprobarDisponible(nombre);
    cups_option_t* opciones = nullptr;
    int cuantas = cupsAddOption("media", papel.toUtf8().constData(), 0, &opciones);
    const int trabajo = cupsPrintFile2(CUPS_HTTP_DEFAULT, nombre.section(QLatin1Char('/'), 0, 0).toUtf8().constData(),
                                       QFile::encodeName(archivo).constData(), titulo.toUtf8().constData(), cuantas,
                                       opciones);
    cupsFreeOptions(cuantas, opciones);
    if (trabajo <= 0)
        throw ErrorImpresion(QStringLiteral("La impresora \"%1\" no ha aceptado el trabajo: %2").arg(nombre, Motivo()));
    return trabajo;
}
