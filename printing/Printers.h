#pragma once
// The printers a listing can go to: the system's printers (CUPS queues, through Qt's print support)
// in the system's order, then a PDF printer that is always present and writes a file.

#include <QList>
#include <QString>
#include <optional>

// One entry of Printers.
class Impresora {
public:
    Impresora() = default;
    Impresora(const QString& nombreDispositivo, bool esPdf);

    // The name a destination is chosen by (exact, case-sensitive).
    const QString& DeviceName() const { return nombre_; }
    // True for the PDF printer, which needs an output file.
    bool EsPdf() const { return esPdf_; }

    bool operator==(const Impresora& otra) const { return nombre_ == otra.nombre_ && esPdf_ == otra.esPdf_; }
    bool operator!=(const Impresora& otra) const { return !(*this == otra); }

private:
    QString nombre_;
    bool esPdf_ = false;
};

class Printers {
public:
    // Device name of the PDF printer.
    static const QString NombrePdf;

    // Every printer, the system's first, the PDF printer last. Read afresh on every call.
    static QList<Impresora> Lista();
    static int Count();
    // Entry i of Lista(); an index out of range throws ErrorImpresion.
    static Impresora Item(int indice);

    // The first printer whose device name equals nombre exactly, if any.
    static std::optional<Impresora> Buscar(const QString& nombre);

    // The system's default printer, or the PDF printer when the system has none.
    static Impresora Predeterminada();

    // The current printer of the process ("Printer"): the default until another is chosen.
    static Impresora Actual();
    static void EstablecerActual(const Impresora& impresora);
    // Makes the first printer named nombre current and returns true; with no match the current
    // printer stays as it was and the result is false.
    static bool Seleccionar(const QString& nombre);
};
