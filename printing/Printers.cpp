#include "printing/Printers.h"

#include "printing/ErrorImpresion.h"

#include <QPrinterInfo>

const QString Printers::NombrePdf = QStringLiteral("Imprimir a PDF");

namespace {
// The process's current printer; empty until one is chosen, which means the default.
std::optional<Impresora>& ImpresoraActual()
{
    static std::optional<Impresora> actual;
    return actual;
}
}  // namespace

Impresora::Impresora(const QString& nombreDispositivo, bool esPdf) : nombre_(nombreDispositivo), esPdf_(esPdf) {}

QList<Impresora> Printers::Lista()
{
    QList<Impresora> lista;
    const QStringList nombres = QPrinterInfo::availablePrinterNames();
    for (const QString& nombre : nombres)
        lista.append(Impresora(nombre, false));
    lista.append(Impresora(NombrePdf, true));
    return lista;
}

int Printers::Count()
{
    return static_cast<int>(Lista().size());
}

Impresora Printers::Item(int indice)
{
    const QList<Impresora> lista = Lista();
    if (indice < 0 || indice >= lista.size())
        throw ErrorImpresion(QStringLiteral("No hay ninguna impresora con el índice %1 (hay %2).")
                                 .arg(indice)
                                 .arg(lista.size()),
                             ErrorImpresion::ValorNoValido);
    return lista.at(indice);
}

std::optional<Impresora> Printers::Buscar(const QString& nombre)
{
    for (const Impresora& impresora : Lista()) {
        if (impresora.DeviceName() == nombre)
            return impresora;
    }
    return std::nullopt;
}

Impresora Printers::Predeterminada()
{
    const QString nombre = QPrinterInfo::defaultPrinterName();
    if (!nombre.isEmpty())
        return Impresora(nombre, false);
    return Impresora(NombrePdf, true);
}

Impresora Printers::Actual()
{
    return ImpresoraActual().value_or(Predeterminada());
}

void Printers::EstablecerActual(const Impresora& impresora)
{
    ImpresoraActual() = impresora;
}

bool Printers::Seleccionar(const QString& nombre)
{
    const std::optional<Impresora> encontrada = Buscar(nombre);
    if (!encontrada)
        return false;
    ImpresoraActual() = *encontrada;
    return true;
}
