#include "maintenance/FondoProvincias.h"

#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>
#include <algorithm>
#include <cmath>

namespace {

const QColor Cielo(0x5d, 0x7a, 0x95);
const QColor Pizarra(0x46, 0x62, 0x7d);
const QColor PizarraOscura(0x2c, 0x42, 0x58);

// Step of the weave, in logical pixels.
constexpr int PasoTrama = 9;

// One repeat of the fine diagonal weave: a light line one way and a dark one the other.
QImage Trama(qreal proporcion)
{
    const int lado = int(std::lround(PasoTrama * proporcion));
    QImage tesela(lado, lado, QImage::Format_ARGB32_Premultiplied);
    tesela.fill(Qt::transparent);
    QPainter p(&tesela);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(qreal(lado) / PasoTrama, qreal(lado) / PasoTrama);
    for (int desplazamiento : {-PasoTrama, 0, PasoTrama}) {
        p.setPen(QPen(QColor(255, 255, 255, 10), 1));
        p.drawLine(QPointF(desplazamiento, 0), QPointF(desplazamiento + PasoTrama, PasoTrama));
        p.setPen(QPen(QColor(0, 0, 0, 8), 1));
        p.drawLine(QPointF(desplazamiento + PasoTrama, 0), QPointF(desplazamiento, PasoTrama));
    }
    return tesela;
}

} // namespace

QImage FondoProvincias(const QSize& pixeles, qreal proporcion)
{
    const QSize tamano = pixeles.expandedTo(QSize(1, 1));
    proporcion = std::max<qreal>(1.0, proporcion);
    QImage imagen(int(std::ceil(tamano.width() * proporcion)), int(std::ceil(tamano.height() * proporcion)),
                  QImage::Format_RGB32);
    imagen.setDevicePixelRatio(proporcion);
    const QRectF area(QPointF(0, 0), QSizeF(tamano));
    QPainter p(&imagen);
    p.setRenderHint(QPainter::Antialiasing);

    QLinearGradient degradado(0, 0, 0, area.height());
    degradado.setColorAt(0.0, Cielo);
    degradado.setColorAt(0.45, Pizarra);
    degradado.setColorAt(1.0, PizarraOscura);
    p.fillRect(area, degradado);

    // A soft light from the upper left, so the surface does not look flat; it grows with the window.
    const qreal escala = std::min(area.width() / 810.0, area.height() / 703.0);
    QRadialGradient luz(QPointF(220, 90) * escala, 700 * escala);
    luz.setColorAt(0.0, QColor(255, 255, 255, 46));
    luz.setColorAt(1.0, QColor(255, 255, 255, 0));
    p.fillRect(area, luz);

    // The weave, painted once and repeated in device pixels so that it stays crisp.
    QBrush trama(Trama(proporcion));
    trama.setTransform(QTransform::fromScale(1 / proporcion, 1 / proporcion));
    p.fillRect(area, trama);

    // The brand mark, faint, near the lower right corner: a ring around a quilt of squares.
    const QPointF centro(area.width() - 68 * escala, area.height() - 63 * escala);
    p.setPen(QPen(QColor(255, 255, 255, 30), 5 * escala));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(centro, 44 * escala, 44 * escala);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 26));
    for (int fila = -1; fila <= 1; ++fila) {
        for (int columna = -1; columna <= 1; ++columna) {
            if ((fila + columna) % 2 != 0)
                continue;
            p.drawRoundedRect(QRectF(centro.x() + (columna * 20 - 8) * escala, centro.y() + (fila * 20 - 8) * escala,
                                     16 * escala, 16 * escala),
                              3 * escala, 3 * escala);
        }
    }
    return imagen;
}
