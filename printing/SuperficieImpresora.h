#pragma once
// A printer surface: a system printer chosen by device name, or the PDF printer writing a file.
// Pages stream out as they are ended: nothing of an earlier page is kept, so a listing of any length
// prints in bounded memory. The document opens on the first drawing and ends with EndDoc; a surface
// destroyed without EndDoc abandons its document (a PDF being written is removed).

#include "SuperficieBase.h"

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

    // The sheet's size in twips; setting them is not supported.
    int Width() const override;
    int Height() const override;

    int PaperSize() const override { return papel_; }
    void SetPaperSize(int tamano) override;
    void NewPage() override;
    void EndDoc() override;
    void KillDoc() override;

protected:
    QPainter& Pintor() override;
    QSizeF TamanoUtil() const override;

private:
    void AbrirDocumento();
    void Abandonar();

    QString nombre_;
    QString archivoPdf_;
    QString parcial_;  // the file the PDF is being written to until EndDoc
    bool esPdf_ = false;
    int papel_ = PapelA4;
    int pagina_ = 0;
    std::unique_ptr<QPrinter> impresora_;
    std::unique_ptr<QPainter> pintor_;
};
