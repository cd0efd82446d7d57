#pragma once
// A printer surface: a system printer chosen by device name, or the PDF printer writing a file.
// Pages stream out as they are ended: nothing of an earlier page is kept, so a listing of any length
// prints in bounded memory. The document opens on the first drawing and ends with EndDoc; a surface
// destroyed without EndDoc abandons its document (a PDF being written is removed).
// On a system printer the pages go to a temporary PDF laid out on that printer's sheet and
// printable area, and EndDoc sends it as one job: a document abandoned part way never reaches the
// queue, and a queue that is stopped or refuses the job is an error of EndDoc (or of the
// constructor, before anything is drawn).

#include "printing/SuperficieBase.h"

#include <QString>
#include <memory>

class QPrinter;

class SuperficieImpresora : public SuperficieBase {
public:
    // The printer named nombreDispositivo (see Printers). The PDF printer needs archivoPdf, whose
    // folder must exist and be writable: checked here, before anything is drawn. Throws ErrorImpresion
    // for an unknown printer, a missing or unwritable PDF path.
    explicit SuperficieImpresora(const QString& nombreDispositivo, const QString& archivoPdf = QString());
    ~SuperficieImpresora() override;

    bool EsImpresora() const override { return true; }
    const QString& DeviceName() const { return nombre_; }
    const QString& ArchivoPdf() const { return archivoPdf_; }
    // Number of the page being drawn (1 on the first), 0 before the document has begun.
    int Page() const { return pagina_; }
    // The document's title and author, for the PDF's properties and the name of the print job.
    void Documento(const QString& titulo, const QString& autor);
    // The number the print server gave the last job this surface sent, 0 before any.
    int Trabajo() const { return trabajo_; }

    // The sheet's size in twips.
    int Width() const;
    int Height() const;

    // PaperSize values.
    static constexpr int PapelCarta = 1;
    static constexpr int PapelA4 = 9;
    int PaperSize() const { return papel_; }
    void SetPaperSize(int tamano);
    // Ends the page and starts the next.
    void NewPage();
    // Ends the document and reports any failure to complete it.
    void EndDoc();
    // Abandons the document (a PDF being written is removed).
    void KillDoc();
    SuperficieDestino& PaginaSiguiente() override
    {
        NewPage();
        return *this;
    }

protected:
    QPainter& Pintor() override;
    QSizeF TamanoUtil() const override;

private:
    void AbrirDocumento();
    void Abandonar();

    QString nombre_;
    QString archivoPdf_;
    QString parcial_;  // the file the PDF is being written to until EndDoc
    QString titulo_, autor_;
    bool esPdf_ = false;
    int papel_ = PapelA4;
    int pagina_ = 0;
    int trabajo_ = 0;
    // The system printer, for its sheet and printable area only; the pages are drawn on impresora_.
    std::unique_ptr<QPrinter> cola_;
    std::unique_ptr<QPrinter> impresora_;
    std::unique_ptr<QPainter> pintor_;
};
