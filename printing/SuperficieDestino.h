#pragma once
// The drawing surface of the listing: a printer (paper or PDF) or one page picture of the preview.
// The report draws only through these members, so the same code serves every destination.
//
// Units. Every position, width and height is in the unit chosen by ScaleMode: 1 twips (1440 to the
// inch, the default, as on a new surface), 2 points, 5 inches, 6 millimetres, 7 centimetres. The
// origin is the top left corner of the usable area; y grows downwards. Width, Height, Left and Top
// are always in twips, whatever ScaleMode says.
//
// Text placement. Print draws the text with the TOP of its line at CurrentY and its left edge at
// CurrentX; the line is TextHeight high (ascent, descent and the font's leading), so the baseline
// sits at CurrentY + the font's ascent. Measures and drawing use the same font metrics at a fixed
// layout resolution on every surface, so a text laid out on the preview lands at the same place on
// paper and in a PDF.
//
// Errors. Every member that fails throws ErrorImpresion with a Spanish description; the surface
// keeps its previous state. What only one kind of surface has (the page picture's size and Cls,
// the printer's paper and document) is a member of that kind alone.

#include <QColor>
#include <QImage>
#include <QString>

class SuperficieDestino {
public:
    // How Line draws: a segment, a rectangle outline ("B") or a filled rectangle ("BF").
    enum class ModoLinea { Linea, B, BF };

    // Background modes of SetBkMode.
    static constexpr int Transparente = 1;
    static constexpr int Opaco = 2;

    // ScaleMode values.
    static constexpr int Twips = 1;
    static constexpr int Puntos = 2;
    static constexpr int Pulgadas = 5;
    static constexpr int Milimetros = 6;
    static constexpr int Centimetros = 7;

    virtual ~SuperficieDestino() = default;

    // True for a printer (paper or PDF), false for a page picture.
    virtual bool EsImpresora() const = 0;

    // Background mode of text, as the GDI call: 1 transparent, 2 opaque. Returns the previous mode.
    // The same setting as FontTransparent.
    virtual int SetBkMode(int modo) = 0;

    virtual int ScaleMode() const = 0;
    virtual void SetScaleMode(int modo) = 0;

    // True: text is drawn without a background box. False: text first fills its box with BackColor.
    virtual bool FontTransparent() const = 0;
    virtual void SetFontTransparent(bool transparente) = 0;

    // Fill of rectangle outlines (Line ... B): 0 solid in FillColor, 1 transparent (the default).
    virtual int FillStyle() const = 0;
    virtual void SetFillStyle(int estilo) = 0;
    virtual QColor FillColor() const = 0;
    virtual void SetFillColor(const QColor& color) = 0;

    // Colour of the cleared page and of opaque text boxes.
    virtual QColor BackColor() const = 0;
    virtual void SetBackColor(const QColor& color) = 0;

    // Usable width and height of the page, in the ScaleMode unit.
    virtual double ScaleWidth() const = 0;
    virtual double ScaleHeight() const = 0;

    // The pen, in the ScaleMode unit, from the top left corner of the usable area.
    virtual double CurrentX() const = 0;
    virtual void SetCurrentX(double x) = 0;
    virtual double CurrentY() const = 0;
    virtual void SetCurrentY(double y) = 0;

    // Extent of a text in the current font, in the ScaleMode unit. A text of several lines (split at
    // line breaks) is as wide as its widest line and as high as all its lines; "" is one line high.
    virtual double TextWidth(const QString& texto) const = 0;
    virtual double TextHeight(const QString& texto) const = 0;

    // Current font ("Font.Name", "Font.Size", "FontSize", "FontBold") and text and line colour.
    // The size is in points; "Bookman Old Style" is served by URW Bookman.
    virtual QString FontName() const = 0;
    virtual void SetFontName(const QString& nombre) = 0;
    virtual double FontSize() const = 0;
    virtual void SetFontSize(double puntos) = 0;
    virtual bool FontBold() const = 0;
    virtual void SetFontBold(bool negrita) = 0;
    virtual QColor ForeColor() const = 0;
    virtual void SetForeColor(const QColor& color) = 0;

    // Draws the text at the pen (see Text placement above) in the current font and ForeColor.
    // finLinea true ("Print s"): then CurrentX = 0 and CurrentY grows by TextHeight(texto).
    // finLinea false ("Print s;"): then CurrentX grows by TextWidth(texto) and CurrentY stays.
    virtual void Print(const QString& texto = QString(), bool finLinea = true) = 0;

    // A segment, an outline or a filled rectangle between the two points, in color or, when color is
    // not valid (the default), in ForeColor. The pen then stands at (x2, y2).
    virtual void Line(double x1, double y1, double x2, double y2, const QColor& color = QColor(),
                      ModoLinea modo = ModoLinea::Linea) = 0;

    // Draws the picture stretched into the rectangle (x, y, ancho, alto). A null picture is an error.
    virtual void PaintPicture(const QImage& imagen, double x, double y, double ancho, double alto) = 0;

    // Starts the next page of a document and returns the surface to draw it on, cleared and with
    // the pen at (0, 0): a printer starts a new sheet and is itself that surface; a page picture
    // asks its page source for a new page (a page without one throws).
    virtual SuperficieDestino& PaginaSiguiente() = 0;
};
