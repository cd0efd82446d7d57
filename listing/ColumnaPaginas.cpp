#include "listing/ColumnaPaginas.h"

#include "runtime/ErrorEjecucion.h"
#include "listing/PaginaListado.h"
#include "runtime/Screen.h"

#include <QEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QWheelEvent>
#include <QWidget>
#include <algorithm>

namespace {

// Rasters kept for scrolling back and forth: a screenful of pages at the smallest zoom and a few more.
constexpr int rastersMaximos = 8;
const QColor colorMarco(0x80, 0x80, 0x80);

}  // namespace

// The widget over the visible part of the column.
class VistaColumna : public QWidget
{
public:
    explicit VistaColumna(ColumnaPaginas* columna) : columna_(columna)
    {
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

protected:
    void paintEvent(QPaintEvent* evento) override
    {
        QPainter pintor(this);
        AtenderEvento([&] { columna_->Pintar(pintor, evento->rect()); });
    }

    void wheelEvent(QWheelEvent* evento) override
    {
        const int pasos = evento->angleDelta().y() / 120;
        if (pasos != 0)
            emit columna_->Rueda(pasos);
        evento->accept();
    }

    bool eventFilter(QObject* objeto, QEvent* evento) override
    {
        // The container changed size: a different part of the column may be on screen now.
        if (objeto == parentWidget() && evento->type() == QEvent::Resize)
            columna_->aplicarGeometria();
        return false;
    }

private:
    ColumnaPaginas* columna_;
};

ColumnaPaginas::ColumnaPaginas(Form* formulario, const QString& nombre, Control* contenedor)
    : Control(Clase::PictureBox, formulario, nombre, contenedor), vista_(new VistaColumna(this))
{
    inicializar(vista_);
    if (QWidget* padre = vista_->parentWidget())
        padre->installEventFilter(vista_);
}

ColumnaPaginas::~ColumnaPaginas() = default;

void ColumnaPaginas::Cls()
{
    colocadas_.clear();
    rasters_.clear();
    vista_->update();
}

void ColumnaPaginas::PaintPicture(const PaginaListado& pagina, long x, long y, long ancho, long alto)
{
    if (ancho < 0 || alto < 0)
        throw ErrorEjecucion(ErrorEjecucion::ValorPropiedadNoValido,
                             QStringLiteral("El tamaño %1 x %2 no es válido para dibujar una página").arg(ancho).arg(alto));
    colocadas_.push_back(Colocada{&pagina, x, y, ancho, alto});
    vista_->update();
}

QRect ColumnaPaginas::Posicion(int indice) const
{
    const Colocada& c = colocadas_.at(std::size_t(indice));
    return QRect(int(c.x), int(c.y), int(c.ancho), int(c.alto));
}

void ColumnaPaginas::setBorderStyle(int estilo)
{
    if (estilo != 0 && estilo != 1)
        throw ErrorEjecucion(ErrorEjecucion::ValorPropiedadNoValido,
                             QStringLiteral("El valor de BorderStyle no es válido: %1").arg(estilo));
    borde_ = estilo;
    vista_->update();
}

int ColumnaPaginas::ScaleWidth() const
{
    return AnchoInterior(width_);
}

int ColumnaPaginas::AnchoInterior(int ancho) const
{
    return std::max(0, ancho - int(2 * BordePixeles() * Screen::TwipsPerPixelX()));
}

int ColumnaPaginas::ScaleHeight() const
{
    return std::max(0, height_ - int(2 * BordePixeles() * Screen::TwipsPerPixelY()));
}

QWidget* ColumnaPaginas::SuperficieHijos() const
{
    return vista_;
}

QRect ColumnaPaginas::Extension() const
{
    const int x = Screen::TwipsAPixelesX(left_);
    const int y = Screen::TwipsAPixelesY(top_);
    const int w = Screen::TwipsAPixelesX(double(left_) + width_) - x;
    const int h = Screen::TwipsAPixelesY(double(top_) + height_) - y;
    return QRect(x, y, w, h);
}

void ColumnaPaginas::aplicarGeometria()
{
    extension_ = Extension();
    QWidget* padre = vista_->parentWidget();
    const QRect visible = padre ? extension_.intersected(padre->rect()) : QRect();
    vista_->setGeometry(visible.isEmpty() ? QRect() : visible);
    vista_->update();
}

void ColumnaPaginas::aplicarColores()
{
    if (vista_)
        vista_->update();
}

QRect ColumnaPaginas::ParteVisible() const
{
    const QRect geometria = vista_->geometry();
    return geometria.isEmpty() ? QRect() : geometria;
}

QList<int> ColumnaPaginas::PaginasVisibles() const
{
    QList<int> indices;
    const QRect visible = ParteVisible();
    if (visible.isEmpty())
        return indices;
    const int arribaInterior = extension_.top() + BordePixeles();
    // Pages are placed from the top down: skip to the first one whose bottom reaches the visible part.
    auto primera = std::lower_bound(colocadas_.cbegin(), colocadas_.cend(), visible.top(),
                                    [&](const Colocada& c, int arriba) {
                                        return arribaInterior + Screen::TwipsAPixelesY(double(c.y) + c.alto) < arriba;
                                    });
    for (auto it = primera; it != colocadas_.cend(); ++it) {
        const int arriba = arribaInterior + Screen::TwipsAPixelesY(double(it->y));
        if (arriba > visible.bottom())
            break;
        indices.append(int(it - colocadas_.cbegin()));
    }
    return indices;
}

QImage ColumnaPaginas::Raster(int indice, const QSize& pixeles)
{
    for (int i = 0; i < rasters_.size(); ++i) {
        if (rasters_[i].first == indice && rasters_[i].second.size() == pixeles) {
            if (i > 0)
                rasters_.move(i, 0);
            return rasters_.first().second;
        }
    }
    QImage imagen = colocadas_[std::size_t(indice)].pagina->Superficie().Imagen(pixeles);
    rasters_.prepend(qMakePair(indice, imagen));
    while (rasters_.size() > rastersMaximos)
        rasters_.removeLast();
    return imagen;
}

void ColumnaPaginas::Pintar(QPainter& pintor, const QRect& zona)
{
    pintor.fillRect(zona, BackColor().isValid() ? BackColor() : QColor(Qt::white));
    // Everything below is in pixels of the container, like extension_.
    pintor.translate(-vista_->pos());
    if (borde_) {
        pintor.setPen(colorMarco);
        pintor.drawRect(extension_.adjusted(0, 0, -1, -1));
    }
    const int izquierdaInterior = extension_.left() + BordePixeles();
    const int arribaInterior = extension_.top() + BordePixeles();
    const qreal proporcion = vista_->devicePixelRatioF();
    for (int indice : PaginasVisibles()) {
        const Colocada& c = colocadas_[std::size_t(indice)];
        const int x1 = izquierdaInterior + Screen::TwipsAPixelesX(double(c.x));
        const int x2 = izquierdaInterior + Screen::TwipsAPixelesX(double(c.x) + c.ancho);
        const int y1 = arribaInterior + Screen::TwipsAPixelesY(double(c.y));
        const int y2 = arribaInterior + Screen::TwipsAPixelesY(double(c.y) + c.alto);
        if (x2 <= x1 || y2 <= y1)
            continue;
        const QSize pixeles(qRound((x2 - x1) * proporcion), qRound((y2 - y1) * proporcion));
        QImage imagen = Raster(indice, pixeles);
        imagen.setDevicePixelRatio(proporcion);
        pintor.drawImage(QPoint(x1, y1), imagen);
    }
}
