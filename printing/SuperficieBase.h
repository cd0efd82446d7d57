#pragma once
// The drawing shared by every surface: pen, font, colours, units, text measures, Print, Line and
// PaintPicture, all drawn through a QPainter that the concrete surface supplies. Printer, PDF and
// page picture therefore draw through identical code and look the same.
//
// The painter a surface supplies works in layout dots: ResolucionMaquetacion to the inch (twips), origin
// at the top left corner of the usable area. Fonts are sized in whole layout dots (a twentieth of a
// point, so every size the forms offer is kept exactly), so text measures do not depend on the device
// and match what is drawn everywhere. The resolution is also low enough for the font engine to keep
// its glyph cache: at much larger pixel sizes measuring and drawing text become many times slower.

#include "printing/SuperficieDestino.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QRectF>
#include <QSizeF>

class SuperficieBase : public SuperficieDestino {
public:
    static constexpr double ResolucionMaquetacion = 1440.0;

    SuperficieBase();
    ~SuperficieBase() override;

    int SetBkMode(int modo) override;
    int ScaleMode() const override { return escala_; }
    void SetScaleMode(int modo) override;
    bool FontTransparent() const override { return transparente_; }
    void SetFontTransparent(bool transparente) override { transparente_ = transparente; }
    int FillStyle() const override { return estiloRelleno_; }
    void SetFillStyle(int estilo) override;
    QColor FillColor() const override { return colorRelleno_; }
    void SetFillColor(const QColor& color) override;
    QColor BackColor() const override { return colorFondo_; }
    void SetBackColor(const QColor& color) override;

    double ScaleWidth() const override;
    double ScaleHeight() const override;
    double CurrentX() const override;
    void SetCurrentX(double x) override;
    double CurrentY() const override;
    void SetCurrentY(double y) override;

    double TextWidth(const QString& texto) const override;
    double TextHeight(const QString& texto) const override;

    QString FontName() const override { return fuente_.family(); }
    void SetFontName(const QString& nombre) override;
    double FontSize() const override { return puntos_; }
    void SetFontSize(double puntos) override;
    bool FontBold() const override { return fuente_.bold(); }
    void SetFontBold(bool negrita) override;
    QColor ForeColor() const override { return colorTexto_; }
    void SetForeColor(const QColor& color) override;

    void Print(const QString& texto = QString(), bool finLinea = true) override;
    void Line(double x1, double y1, double x2, double y2, const QColor& color = QColor(),
              ModoLinea modo = ModoLinea::Linea) override;
    void PaintPicture(const QImage& imagen, double x, double y, double ancho, double alto) override;

    // Unit conversions used by the surfaces.
    static double DesdeTwips(double twips) { return twips * ResolucionMaquetacion / 1440.0; }

protected:
    // The painter to draw on now, in layout dots; opened on first use. Throws ErrorImpresion.
    virtual QPainter& Pintor() = 0;
    // Size of the usable area in layout dots.
    virtual QSizeF TamanoUtil() const = 0;
    // A concrete surface calls this after opening a new painter, so the font and pen are set on it again.
    void PintorNuevo() { fuenteAplicada_ = false; }
    // Puts the pen back at the top left corner (Cls, NewPage).
    void PlumaAlOrigen() { x_ = 0.0; y_ = 0.0; }
    // Copies units, pen, font, colours and modes from another surface (not its drawing).
    void CopiarEstado(const SuperficieBase& origen);
    // One shared copy of a picture drawn again and again (the report loads the same background for
    // every page): pages and PDF keep it once instead of once per page.
    static QImage ImagenCompartida(const QImage& imagen);
    // The checked rectangle of PaintPicture in layout dots; throws for a null picture or a bad size.
    QRectF RectanguloImagen(const QImage& imagen, double x, double y, double ancho, double alto) const;

private:
    double Factor() const;  // layout dots per ScaleMode unit
    double AMaquetacion(double valor, const char* miembro) const;  // a checked value, in layout dots
    void AplicarFuente(QPainter& p);
    QFontMetricsF Medidas() const { return QFontMetricsF(fuente_); }

    int escala_ = Twips;
    bool transparente_ = false;
    int estiloRelleno_ = 1;
    QColor colorRelleno_ = Qt::black;
    QColor colorFondo_ = Qt::white;
    QColor colorTexto_ = Qt::black;
    QFont fuente_;
    QFont fuentePintor_;  // the font last set on the painter
    double puntos_ = 0.0;
    double x_ = 0.0;  // pen, in layout dots
    double y_ = 0.0;
    bool fuenteAplicada_ = false;
};
