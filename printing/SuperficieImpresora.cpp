#include "printing/SuperficieImpresora.h"

#include "printing/ColaCups.h"
#include "printing/ErrorImpresion.h"
#include "printing/Printers.h"
#include "printing/PropiedadesPdf.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>
#include <QPrinterInfo>
#include <QRandomGenerator>
#include <QTemporaryFile>

#include <cstdio>

namespace {

// The PDF is written beside its final name and moved there only once complete, so a failure never
// leaves a truncated file under the name the user asked for. The name is new each time so that no
// file of the user's is overwritten on the way.
QString NombreParcial(const QString& archivo)
{
    QString nombre;
    do {
        nombre = QStringLiteral("%1.parcial-%2").arg(archivo).arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0'));
    } while (QFileInfo::exists(nombre));
    return nombre;
}

void ComprobarDestinoPdf(const QString& archivo)
{
    if (archivo.trimmed().isEmpty())
        throw ErrorImpresion(QStringLiteral("No se ha indicado el archivo PDF de destino."));
    const QFileInfo info(archivo);
    const QString carpeta = info.absolutePath();
    if (!QFileInfo(carpeta).isDir())
        throw ErrorImpresion(
            QStringLiteral("No se puede escribir el archivo PDF \"%1\": la carpeta \"%2\" no existe.").arg(archivo, carpeta));
    if (info.exists() && !info.isFile())
        throw ErrorImpresion(
            QStringLiteral("No se puede escribir el archivo PDF \"%1\": ya existe y no es un archivo.").arg(archivo));
    if (info.exists() && !info.isWritable())
        throw ErrorImpresion(
            QStringLiteral("No se puede escribir el archivo PDF \"%1\": el archivo está protegido contra escritura.")
                .arg(archivo));
    // Permissions alone do not tell a read-only file system or a full quota: create a file there.
    QTemporaryFile prueba(QDir(carpeta).filePath(QStringLiteral(".quiltren-XXXXXX")));
    if (!prueba.open())
        throw ErrorImpresion(
            QStringLiteral("No se puede escribir el archivo PDF \"%1\": no se puede escribir en la carpeta \"%2\".")
                .arg(archivo, carpeta));
}

// A PDF that ended cleanly is not empty and closes with its end-of-file marker.
bool PdfCompleto(const QString& archivo)
{
    QFile pdf(archivo);
    if (!pdf.open(QIODevice::ReadOnly) || pdf.size() < 64)
        return false;
    if (!pdf.seek(pdf.size() - 32))
        return false;
    return pdf.read(32).contains("%%EOF");
}

QPageSize TamanoPapel(int tamano)
{
    return QPageSize(tamano == SuperficieImpresora::PapelCarta ? QPageSize::Letter : QPageSize::A4);
}

}  // namespace

SuperficieImpresora::SuperficieImpresora(const QString& nombreDispositivo, const QString& archivoPdf)
    : nombre_(nombreDispositivo)
{
    const std::optional<Impresora> impresora = Printers::Buscar(nombreDispositivo);
    if (!impresora)
        throw ErrorImpresion(QStringLiteral("No existe la impresora \"%1\".").arg(nombreDispositivo));
    esPdf_ = impresora->EsPdf();
    impresora_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    impresora_->setOutputFormat(QPrinter::PdfFormat);
    impresora_->setResolution(1200);
    impresora_->setCreator(QStringLiteral("Quiltren"));
    if (esPdf_) {
        ComprobarDestinoPdf(archivoPdf);
        archivoPdf_ = QFileInfo(archivoPdf).absoluteFilePath();
        // A PDF sheet has no unprintable edge: the usable area is the whole A4, as on the preview.
        impresora_->setFullPage(true);
        impresora_->setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
    } else {
        ColaCups::ComprobarDisponible(nombreDispositivo);
        cola_ = std::make_unique<QPrinter>(QPrinterInfo::printerInfo(nombreDispositivo), QPrinter::HighResolution);
        if (!cola_->isValid())
            throw ErrorImpresion(QStringLiteral("La impresora \"%1\" no está disponible.").arg(nombreDispositivo));
        cola_->setFullPage(false);
        cola_->setPageOrientation(QPageLayout::Portrait);
    }
    impresora_->setPageOrientation(QPageLayout::Portrait);
    SetPaperSize(papel_);
}

SuperficieImpresora::~SuperficieImpresora()
{
    Abandonar();
}

int SuperficieImpresora::Width() const
{
    return qRound(impresora_->pageLayout().fullRect(QPageLayout::Millimeter).width() * 1440.0 / 25.4);
}

int SuperficieImpresora::Height() const
{
    return qRound(impresora_->pageLayout().fullRect(QPageLayout::Millimeter).height() * 1440.0 / 25.4);
}

void SuperficieImpresora::SetPaperSize(int tamano)
{
    if (tamano != PapelA4 && tamano != PapelCarta)
        throw ErrorImpresion(QStringLiteral("El tamaño de papel %1 no está admitido (9 A4, 1 carta).").arg(tamano),
                             ErrorImpresion::ValorNoValido);
    QPrinter& hoja = cola_ ? *cola_ : *impresora_;
    if (!hoja.setPageSize(TamanoPapel(tamano)))
        throw ErrorImpresion(
            QStringLiteral("La impresora \"%1\" no admite el tamaño de papel %2.").arg(nombre_).arg(tamano));
    // The printer's sheet and its own printable area, so that the pages break where they will on
    // paper. Qt adds margins of its choosing on top of the printer's; those are left out.
    if (cola_) {
        QPageLayout hojaCola = cola_->pageLayout();
        hojaCola.setMargins(hojaCola.minimumMargins());
        impresora_->setPageLayout(hojaCola);
    }
    papel_ = tamano;
}

QSizeF SuperficieImpresora::TamanoUtil() const
{
    const QRectF util = impresora_->pageLayout().paintRect(QPageLayout::Inch);
    return util.size() * ResolucionMaquetacion;
}

void SuperficieImpresora::Documento(const QString& titulo, const QString& autor)
{
    titulo_ = titulo;
    autor_ = autor;
}

void SuperficieImpresora::AbrirDocumento()
{
    if (esPdf_) {
        // Checked again: the folder may have gone since the surface was made.
        ComprobarDestinoPdf(archivoPdf_);
        parcial_ = NombreParcial(archivoPdf_);
    } else {
        QTemporaryFile trabajo(QDir(QDir::tempPath()).filePath(QStringLiteral("quiltren-trabajo-XXXXXX.pdf")));
        trabajo.setAutoRemove(false);
        if (!trabajo.open())
            throw ErrorImpresion(
                QStringLiteral("No se puede preparar el trabajo para la impresora \"%1\": no se puede escribir en %2.")
                    .arg(nombre_, QDir::tempPath()));
        parcial_ = trabajo.fileName();
    }
    impresora_->setOutputFileName(parcial_);
    impresora_->setDocName(titulo_);
    auto pintor = std::make_unique<QPainter>();
    if (!pintor->begin(impresora_.get())) {
        QFile::remove(parcial_);
        throw ErrorImpresion(esPdf_ ? QStringLiteral("No se puede escribir el archivo PDF \"%1\".").arg(archivoPdf_)
                                    : QStringLiteral("No se puede imprimir en la impresora \"%1\".").arg(nombre_));
    }
    const double escala = impresora_->resolution() / ResolucionMaquetacion;
    pintor->scale(escala, escala);
    pintor_ = std::move(pintor);
    pagina_ = 1;
    PintorNuevo();
}

QPainter& SuperficieImpresora::Pintor()
{
    if (!pintor_)
        AbrirDocumento();
    return *pintor_;
}

void SuperficieImpresora::NewPage()
{
    Pintor();
    if (!impresora_->newPage() || impresora_->printerState() == QPrinter::Error) {
        Abandonar();
        throw ErrorImpresion(esPdf_ ? QStringLiteral("Error al escribir el archivo PDF \"%1\".").arg(archivoPdf_)
                                    : QStringLiteral("Error en la impresora \"%1\".").arg(nombre_));
    }
    ++pagina_;
    PlumaAlOrigen();
}

void SuperficieImpresora::EndDoc()
{
    if (!pintor_)
        return;
    const bool terminado = pintor_->end() && impresora_->printerState() != QPrinter::Error;
    pintor_.reset();
    pagina_ = 0;
    PlumaAlOrigen();
    const QString parcial = parcial_;
    parcial_.clear();
    // The unfinished or sent file goes away however this ends; only a PDF moved to its name stays.
    std::unique_ptr<const QString, void (*)(const QString*)> borrar(&parcial, [](const QString* f) { QFile::remove(*f); });
    if (!terminado || !PdfCompleto(parcial))
        throw ErrorImpresion(esPdf_ ? QStringLiteral("No se ha podido completar el archivo PDF \"%1\".").arg(archivoPdf_)
                                    : QStringLiteral("La impresora \"%1\" no ha podido terminar el documento.").arg(nombre_));
    EscribirPropiedadesPdf(parcial, titulo_, autor_);
    if (!esPdf_) {
        trabajo_ = ColaCups::Enviar(nombre_, parcial, titulo_, cola_->pageLayout().pageSize().key());
        return;
    }
    // rename() replaces an existing file in one step; QFile::rename would refuse to.
    if (std::rename(QFile::encodeName(parcial).constData(), QFile::encodeName(archivoPdf_).constData()) != 0)
        throw ErrorImpresion(QStringLiteral("No se ha podido guardar el archivo PDF \"%1\".").arg(archivoPdf_));
    borrar.release();
}

void SuperficieImpresora::KillDoc()
{
    Abandonar();
}

void SuperficieImpresora::Abandonar()
{
    if (!pintor_)
        return;
    impresora_->abort();
    pintor_->end();
    pintor_.reset();
    pagina_ = 0;
    PlumaAlOrigen();
    QFile::remove(parcial_);
    parcial_.clear();
}
