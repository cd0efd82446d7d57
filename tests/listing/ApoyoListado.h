#pragma once
// What the listing tests share: a province database of their own (an SQLite file, or a database on
// the PostgreSQL server of QUILTREN_PG_URL), fixed listing options, and a drawing surface that
// records every call the report makes on it.

#include "Connection.h"
#include "SuperficieDestino.h"
#include "SuperficiePagina.h"
#include "Tramacor.h"

#include <QColor>
#include <QList>
#include <QPair>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>

// A database for one test, with the province schema and its 52 provinces; on PostgreSQL a uniquely
// named database dropped again at the end. Throws when the server is not set or cannot be reached.
class BaseListado
{
public:
    explicit BaseListado(bool postgres);
    ~BaseListado();
    BaseListado(const BaseListado&) = delete;
    BaseListado& operator=(const BaseListado&) = delete;

    ConnectionPtr Conexion() const { return conexion_; }
    // Replaces every province with these (code, name) rows.
    void Filas(const QList<QPair<QString, QString>>& filas);
    // Replaces every province with these codes, each named "Provincia <code>".
    void Codigos(const QStringList& codigos);
    // Drops the tables and creates the schema again, with its 52 provinces.
    void Reponer();
    // Replaces every province with `cuantas` generated ones.
    void Generadas(int cuantas);
    // Codes of the table in the order of the statement.
    QStringList CodigosSegun(const QString& sentencia) const;

    // Makes this database the one of DatosComunes, with the listing texts open on it.
    void Instalar() const;

private:
    bool postgres_;
    std::unique_ptr<QTemporaryDir> carpeta_;
    QString servidor_;
    QString nombre_;
    ConnectionPtr conexion_;
};

// Listing options as the print dialog leaves them.
class OpcionesFijas : public IDialogoImpresion
{
public:
    OpcionesFijas(bool ordenPorCodigo = true, bool conRango = false, const QString& desde = {},
                  const QString& hasta = {}, const QString& archivoPdf = {})
        : orden_(ordenPorCodigo), rango_(conRango), desde_(desde), hasta_(hasta), archivo_(archivoPdf)
    {
    }
    void ElegirDestino(IUtilidades*, QObject*&, QString&) override {}
    bool OrdenPorCodigo() const override { return orden_; }
    bool ConRango() const override { return rango_; }
    QString CodigoDesde() const override { return desde_; }
    QString CodigoHasta() const override { return hasta_; }
    QString ArchivoPdf() const override { return archivo_; }

private:
    bool orden_, rango_;
    QString desde_, hasta_, archivo_;
};

// A surface that records every drawing call with the pen and font it was made with.
//
// Over a real page it forwards everything to that page, so measures and drawing are the real ones.
// On its own it is a printer of the given size in centimetres with simple exact measures: a line of
// text is FontSize / 16 cm high and a character FontSize / 40 cm wide, so that a test can place a
// page break exactly where it wants it.
class SuperficieGrabadora : public SuperficieDestino
{
public:
    struct Llamada {
        QString Que;       // "Print", "Line", "PaintPicture", "NewPage", "EndDoc", "Cls"
        QString Texto;
        double X = 0, Y = 0, X2 = 0, Y2 = 0;
        double Puntos = 0;
        bool Negrita = false;
        QString Fuente;
        QColor Color;
        ModoLinea Modo = ModoLinea::Linea;
    };

    SuperficieGrabadora(double anchoCm, double altoCm);
    // Over a real page; as a printer, page breaks are recorded as NewPage and drawing goes on over
    // the same page, which measures a real page's breaks without the preview window.
    explicit SuperficieGrabadora(SuperficiePagina& pagina, bool comoImpresora = false);

    QList<Llamada> Llamadas;
    // The calls of one kind, in order.
    QList<Llamada> De(const QString& que) const;
    // The Print calls of one text.
    QList<Llamada> Textos(const QString& texto) const;

    bool EsImpresora() const override { return !real_ || comoImpresora_; }
    int SetBkMode(int modo) override;
    int ScaleMode() const override;
    void SetScaleMode(int modo) override;
    bool FontTransparent() const override;
    void SetFontTransparent(bool transparente) override;
    int FillStyle() const override;
    void SetFillStyle(int estilo) override;
    QColor FillColor() const override;
    void SetFillColor(const QColor& color) override;
    QColor BackColor() const override;
    void SetBackColor(const QColor& color) override;
    double ScaleWidth() const override;
    double ScaleHeight() const override;
    double CurrentX() const override;
    void SetCurrentX(double x) override;
    double CurrentY() const override;
    void SetCurrentY(double y) override;
    double TextWidth(const QString& texto) const override;
    double TextHeight(const QString& texto) const override;
    QString FontName() const override;
    void SetFontName(const QString& nombre) override;
    double FontSize() const override;
    void SetFontSize(double puntos) override;
    bool FontBold() const override;
    void SetFontBold(bool negrita) override;
    QColor ForeColor() const override;
    void SetForeColor(const QColor& color) override;
    void Print(const QString& texto = QString(), bool finLinea = true) override;
    void Line(double x1, double y1, double x2, double y2, const QColor& color = QColor(),
              ModoLinea modo = ModoLinea::Linea) override;
    void PaintPicture(const QImage& imagen, double x, double y, double ancho, double alto) override;
    void Cls() override;
    int Width() const override;
    void SetWidth(int twips) override;
    int Height() const override;
    void SetHeight(int twips) override;
    int Left() const override;
    void SetLeft(int twips) override;
    int Top() const override;
    void SetTop(int twips) override;
    int PaperSize() const override { return SuperficieDestino::PapelA4; }
    void SetPaperSize(int) override {}
    void NewPage() override;
    void EndDoc() override;
    void KillDoc() override {}

private:
    Llamada Anotar(const QString& que, const QString& texto = {}) const;

    SuperficiePagina* real_ = nullptr;
    bool comoImpresora_ = false;
    double ancho_ = 0, alto_ = 0;
    double x_ = 0, y_ = 0;
    double puntos_ = 10;
    bool negrita_ = false;
    QString fuente_;
    QColor color_ = Qt::black;
    QColor fondo_ = Qt::white;
    QColor relleno_ = Qt::black;
    int modo_ = 2, escala_ = Centimetros, estilo_ = 1;
    bool transparente_ = false;
};

// An A4 page of the preview set up as the print command sets it.
void PrepararPaginaA4(SuperficiePagina& pagina);
// How many rows of the current table the first A4 page of the listing holds.
int FilasPorPaginaA4();

// The text of a PDF file (pdftotext -layout) and its page count (pdfinfo); -1 when unreadable.
QString TextoPdf(const QString& archivo);
int PaginasPdf(const QString& archivo);
