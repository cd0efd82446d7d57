#pragma once
// A page picture of the screen preview: an A4 page (21 x 29.7 cm) that records its drawing instead
// of keeping pixels, so that thousands of pages stay cheap. It is replayed onto any painter at any
// scale, or rendered to an image of any size.

#include "printing/SuperficieBase.h"

#include <QByteArray>
#include <QImage>
#include <QPicture>
#include <QRectF>
#include <QSize>
#include <functional>
#include <memory>
#include <vector>

class SuperficiePagina : public SuperficieBase {
public:
    // Width and Height of a new page: A4 in twips.
    static constexpr int AnchoA4 = 11906;
    static constexpr int AltoA4 = 16838;

    SuperficiePagina();
    ~SuperficiePagina() override;

    bool EsImpresora() const override { return false; }

    // Pictures are kept once, shared by every page that shows the same one.
    void PaintPicture(const QImage& imagen, double x, double y, double ancho, double alto) override;

    // Discards the drawing; the page shows BackColor only and the pen goes to (0, 0).
    void Cls();

    // Size and position of the page in twips; ScaleWidth and ScaleHeight follow Width and Height.
    int Width() const { return ancho_; }
    void SetWidth(int twips);
    int Height() const { return alto_; }
    void SetHeight(int twips);
    int Left() const { return izquierda_; }
    void SetLeft(int twips) { izquierda_ = twips; }
    int Top() const { return arriba_; }
    void SetTop(int twips) { arriba_ = twips; }

    // Takes over size, position, units, pen, font, colours and modes of another page, not its drawing.
    void CopiarAjustes(const SuperficiePagina& origen);

    // Replays the page (its BackColor, then its drawing) stretched into destino, clipped to it.
    void Dibujar(QPainter& pintor, const QRectF& destino) const;
    // The page rendered to an image of the given size in pixels.
    QImage Imagen(const QSize& pixeles) const;

    // Where the pages after this one come from (the preview loads a new page element); kept by
    // CopiarAjustes, so every page of a document has it.
    void FijarPaginaSiguiente(std::function<SuperficiePagina&()> fuente) { fuentePaginas_ = std::move(fuente); }
    SuperficieDestino& PaginaSiguiente() override;

    // Bytes held by the recorded drawing (pictures shared between pages are not counted).
    qint64 BytesGrabados() const;

protected:
    QPainter& Pintor() override;
    QSizeF TamanoUtil() const override;

private:
    struct Tramo;  // a piece of the recording: vector drawing or a placed picture
    void CerrarGrabacion() const;

    int ancho_ = AnchoA4;
    int alto_ = AltoA4;
    int izquierda_ = 0;
    int arriba_ = 0;
    mutable std::vector<Tramo> tramos_;
    mutable std::unique_ptr<QPicture> grabando_;
    mutable std::unique_ptr<QPainter> pintor_;
    std::function<SuperficiePagina&()> fuentePaginas_;
};
