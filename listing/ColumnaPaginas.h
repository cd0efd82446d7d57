#pragma once
// The preview window's picture box Listado: the tall column that shows every page, one under the
// other, at the chosen zoom.
//
// Its geometry in twips is the column's whole extent (thousands of pages high, its top far above the
// window when scrolled), but its widget only ever covers the part that lies inside its container,
// and painting replays just the pages that cross it. Pages are placed, not copied: the column keeps
// a reference to each page's recording and rasters a page only when it comes into view, keeping the
// few last rasters for smooth scrolling.

#include "runtime/Control.h"

#include <QImage>
#include <QList>
#include <QPair>
#include <QRect>
#include <vector>

class PaginaListado;
class QPainter;
class VistaColumna;

class ColumnaPaginas : public Control
{
    Q_OBJECT
public:
    ColumnaPaginas(Form* formulario, const QString& nombre, Control* contenedor = nullptr);
    ~ColumnaPaginas() override;

    // Forgets every placed page.
    void Cls();
    // Places a page stretched into the rectangle (x, y, ancho, alto), in twips inside the frame.
    void PaintPicture(const PaginaListado& pagina, long x, long y, long ancho, long alto);
    int CantidadColocadas() const { return int(colocadas_.size()); }
    // Where the placed page `indice` is, in twips inside the frame.
    QRect Posicion(int indice) const;

    // 0 none, 1 a one-pixel frame (the default).
    int BorderStyle() const { return borde_; }
    void setBorderStyle(int estilo);
    // The inner size in twips (without the frame).
    int ScaleWidth() const;
    int ScaleHeight() const;
    // The inner width the column would have with the given width.
    int AnchoInterior(int ancho) const;

    // The part of the column that is on screen, in pixels of the container; empty when none.
    QRect ParteVisible() const;
    // Indexes of the placed pages that cross the part on screen.
    QList<int> PaginasVisibles() const;
    // How many page rasters are kept now.
    int RastersGuardados() const { return int(rasters_.size()); }

    QWidget* SuperficieHijos() const override;

signals:
    // The mouse wheel turned over the column: positive steps move it up the listing.
    void Rueda(int pasos);

protected:
    void aplicarGeometria() override;
    void aplicarColores() override;

private:
    friend class VistaColumna;

    struct Colocada {
        const PaginaListado* pagina;
        long x, y, ancho, alto;
    };

    void Pintar(QPainter& pintor, const QRect& zona);
    // The column's rectangle in pixels of the container.
    QRect Extension() const;
    QImage Raster(int indice, const QSize& pixeles);
    int BordePixeles() const { return borde_ ? 1 : 0; }

    VistaColumna* vista_;
    int borde_ = 1;
    QRect extension_;  // the column in pixels of the container, as last applied
    std::vector<Colocada> colocadas_;
    // The last rasters made, most recent first: (page index, raster).
    QList<QPair<int, QImage>> rasters_;
};
