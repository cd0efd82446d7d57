#pragma once
// What the listing and printing tests share: their database, fixed listing options, a page that
// records the report's calls, the real report drawn on any surface, and programs run to their end.

#include "tests/apoyo/BasePrueba.h"
#include "runtime/Form.h"
#include "listing/ListadoProvincias.h"
#include "printing/SuperficiePagina.h"
#include "tramacor/DialogoDestino.h"

#include <QStringList>
#include <memory>

class ClassProvincias;
class FrmProvincias;

class BaseListado : public BasePrueba
{
public:
    using BasePrueba::BasePrueba;
    ~BaseListado();
    // Replaces every province with these (code, name) rows, or with `cuantas` generated ones.
    void Filas(const QList<QPair<QString, QString>>& filas);
    void Generadas(int cuantas);
    QStringList CodigosSegun(const QString& sentencia) const;
    // Makes this database the one of the common data, with the listing texts open on it.
    void Instalar() const;
    // Loads the real province window through the component, as a host does (with the stand-in
    // host utilities).
    void CargarVentana(ClassProvincias& clase);

private:
    std::unique_ptr<Form> principal_, ubicacion_;
};

FrmProvincias* VentanaProvincias();

// Listing options as the print dialog leaves them.
class OpcionesFijas : public DialogoConOpciones
{
public:
    OpcionesFijas(bool porCodigo = true, bool conRango = false, const QString& desde = {}, const QString& hasta = {})
    {
        opciones_ = {QString(), porCodigo, conRango, desde, hasta, QString()};
    }
    void ElegirDestino(IUtilidades*, QObject*&, QString&) override {}
};

// A page that records every Print, page break and page-break test (the pen and TextHeight("X")).
// As a printer, a page break is counted and the drawing starts again on the same page; a usable
// height may be imposed to place the breaks.
class SuperficieGrabadora : public SuperficiePagina
{
public:
    struct Impreso {
        QString Texto;
        double X, Puntos;
        int Salto;  // page breaks before it
    };
    struct Medida {
        double Pluma, Alto, Puntos;
    };

    explicit SuperficieGrabadora(bool comoImpresora = true, double altoUtil = 0)
        : impresora_(comoImpresora), altoUtil_(altoUtil)
    {
    }

    QList<Impreso> Impresos;
    mutable QList<Medida> Medidas;
    int Saltos = 0;
    int Veces(const QString& texto) const;
    // The codes printed as rows (11 pt at 1.2 cm); those before the first page break only.
    QStringList Filas(bool soloPrimeraPagina = false) const;

    bool EsImpresora() const override { return impresora_; }
    double ScaleHeight() const override { return altoUtil_ > 0 ? altoUtil_ : SuperficiePagina::ScaleHeight(); }
    double TextHeight(const QString& texto) const override;
    void Print(const QString& texto = QString(), bool finLinea = true) override;
    SuperficieDestino& PaginaSiguiente() override;

private:
    bool impresora_;
    double altoUtil_;
};

// Draws the listing of the installed database from page 1, the surface set up as the print command
// sets a printer (a page picture gets the A4 size); the document is not ended. A page picture that
// is no printer holds one page only. Returns the finished listing.
std::unique_ptr<ListadoEnCurso> Dibujar(SuperficieDestino& superficie,
                                        const IDialogoImpresion& opciones = OpcionesFijas());
// How many rows of the current table the first A4 page of the listing holds.
int FilasPorPaginaA4();

struct Salida {
    int codigo = -1;
    QString errores, texto;
};
Salida Ejecutar(const QString& programa, const QStringList& argumentos);
// pdftotext -layout's text of a PDF file, and pdfinfo's page count (-1 when unreadable).
QString TextoPdf(const QString& archivo);
int PaginasPdf(const QString& archivo);
// The codes of the rows in the text of a listing, in order, among the codes given.
QStringList CodigosDelTexto(const QString& texto, const QStringList& posibles);
