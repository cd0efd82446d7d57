#include "controls/Barra.h"

#include "runtime/ErrorEjecucion.h"
#include "runtime/Screen.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QWidget>
#include <QWindow>
#include <cmath>

namespace {

// 1440 twips to the inch, 2540 hundredths of a millimetre to the inch.
int twipsDesdeCentesimas(int centesimas) { return int(std::lround(centesimas * 1440.0 / 2540.0)); }
int centesimasDesdeTwips(int twips) { return int(std::lround(twips * 2540.0 / 1440.0)); }

const QColor rojoCierre(0xC4, 0x2B, 0x1C);

} // namespace

// The band itself: it paints the caption and the two window buttons and moves the window.
class BarraTitulo : public QWidget
{
public:
    explicit BarraTitulo(Barra* barra) : barra_(barra)
    {
        setMouseTracking(true);
        setAttribute(Qt::WA_Hover);
    }

    enum class Zona { Ninguna, Minimizar, Cerrar };

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        const QColor base = Barra::ColorMarca(barra_->color_);
        QLinearGradient degradado(0, 0, 0, height());
        degradado.setColorAt(0, base.lighter(112));
        degradado.setColorAt(1, base);
        p.fillRect(rect(), degradado);
        // A fine light edge under the band separates it from the window below.
        p.fillRect(QRect(0, height() - 1, width(), 1), base.darker(130));

        // Accent stripe and caption.
        const int margen = qMax(10, height() / 3);
        p.fillRect(QRect(margen, height() / 4, 3, height() / 2), QColor(255, 255, 255, 150));
        p.setPen(Qt::white);
        p.setFont(font());
        const QRect texto(margen + 12, 0, zonaMinimizar().left() - margen - 16, height());
        p.drawText(texto, Qt::AlignVCenter | Qt::AlignLeft,
                   p.fontMetrics().elidedText(barra_->titulo_, Qt::ElideRight, texto.width()));

        pintarBotonCierre(p);
        if (barra_->minimizar_)
            pintarBotonMinimizar(p);
    }

    void mousePressEvent(QMouseEvent* evento) override
    {
        if (evento->button() != Qt::LeftButton)
            return;
        pulsada_ = zonaEn(evento->position().toPoint());
        if (pulsada_ == Zona::Ninguna) {
            // Let the window system move the window where it can; otherwise follow the mouse.
            QWindow* ventana = window()->windowHandle();
            arrastrando_ = !(ventana && ventana->startSystemMove());
            desplazamiento_ = evento->globalPosition().toPoint() - window()->pos();
        }
        update();
    }

    void mouseMoveEvent(QMouseEvent* evento) override
    {
        if (arrastrando_ && (evento->buttons() & Qt::LeftButton))
            window()->move(evento->globalPosition().toPoint() - desplazamiento_);
        const Zona zona = zonaEn(evento->position().toPoint());
        if (zona != encima_) {
            encima_ = zona;
            update();
        }
    }

    void mouseReleaseEvent(QMouseEvent* evento) override
    {
        arrastrando_ = false;
        const Zona pulsada = pulsada_;
        pulsada_ = Zona::Ninguna;
        update();
        if (evento->button() != Qt::LeftButton || pulsada != zonaEn(evento->position().toPoint()))
            return;
        if (pulsada == Zona::Cerrar)
            AtenderEvento([this] { emit barra_->SolicitudCierre(); });
        else if (pulsada == Zona::Minimizar)
            window()->showMinimized();
    }

    void leaveEvent(QEvent*) override
    {
        encima_ = Zona::Ninguna;
        update();
    }

private:
    int anchoBoton() const { return qMax(height(), int(height() * 1.25)); }
    QRect zonaCerrar() const { return QRect(width() - anchoBoton(), 0, anchoBoton(), height() - 1); }
    QRect zonaMinimizar() const
    {
        if (!barra_->minimizar_)
            return QRect(zonaCerrar().left(), 0, 0, height());
        return QRect(zonaCerrar().left() - anchoBoton(), 0, anchoBoton(), height() - 1);
    }
    Zona zonaEn(const QPoint& p) const
    {
        if (zonaCerrar().contains(p))
            return Zona::Cerrar;
        if (barra_->minimizar_ && zonaMinimizar().contains(p))
            return Zona::Minimizar;
        return Zona::Ninguna;
    }

    void pintarBotonCierre(QPainter& p)
    {
        const QRect r = zonaCerrar();
        if (pulsada_ == Zona::Cerrar)
            p.fillRect(r, rojoCierre.darker(120));
        else if (encima_ == Zona::Cerrar)
            p.fillRect(r, rojoCierre);
        const int lado = qMax(8, height() / 4);
        const QPointF c = QRectF(r).center();
        QPen pluma(Qt::white, 1.6);
        pluma.setCapStyle(Qt::RoundCap);
        p.setPen(pluma);
        p.drawLine(c + QPointF(-lado / 2.0, -lado / 2.0), c + QPointF(lado / 2.0, lado / 2.0));
        p.drawLine(c + QPointF(-lado / 2.0, lado / 2.0), c + QPointF(lado / 2.0, -lado / 2.0));
    }

    void pintarBotonMinimizar(QPainter& p)
    {
        const QRect r = zonaMinimizar();
        if (pulsada_ == Zona::Minimizar)
            p.fillRect(r, QColor(255, 255, 255, 60));
        else if (encima_ == Zona::Minimizar)
            p.fillRect(r, QColor(255, 255, 255, 35));
        const int lado = qMax(8, height() / 4);
        const QPointF c = QRectF(r).center();
        QPen pluma(Qt::white, 1.6);
        pluma.setCapStyle(Qt::RoundCap);
        p.setPen(pluma);
        p.drawLine(c + QPointF(-lado / 2.0, 0.5), c + QPointF(lado / 2.0, 0.5));
    }

    Barra* barra_;
    Zona pulsada_ = Zona::Ninguna;
    Zona encima_ = Zona::Ninguna;
    bool arrastrando_ = false;
    QPoint desplazamiento_;
};

Barra::Barra(Form* formulario, const QString& nombre, Control* contenedor)
    : Control(Clase::Barra, formulario, nombre, contenedor)
{
    Font().setName(QGuiApplication::font().family());
    Font().setSize(10.5);
    Font().setWeight(600);
    left_ = 0;
    top_ = 0;
    width_ = 4800;
    height_ = 555;
    barra_ = new BarraTitulo(this);
    barra_->setCursor(Qt::ArrowCursor);
    inicializar(barra_);
}

void Barra::setCaption(const QString& titulo)
{
    titulo_ = titulo;
    barra_->update();
}

void Barra::setColor(const QString& color)
{
    color_ = color;
    barra_->update();
}

void Barra::setMinimizar(bool minimizar)
{
    minimizar_ = minimizar;
    barra_->update();
}

void Barra::setExtentX(int centesimasMm)
{
    if (centesimasMm < 0)
        throw ErrorEjecucion(ErrorEjecucion::ValorPropiedadNoValido,
                             QStringLiteral("El valor de _extentx no es válido: %1").arg(centesimasMm));
    setWidth(twipsDesdeCentesimas(centesimasMm));
}

int Barra::ExtentY() const
{
    return centesimasDesdeTwips(Height());
}

void Barra::setExtentY(int centesimasMm)
{
    if (centesimasMm < 0)
        throw ErrorEjecucion(ErrorEjecucion::ValorPropiedadNoValido,
                             QStringLiteral("El valor de _extenty no es válido: %1").arg(centesimasMm));
    setHeight(twipsDesdeCentesimas(centesimasMm));
}

QColor Barra::ColorMarca(const QString& color)
{
    return color == QLatin1String("2") ? QColor(0x2E, 0x5E, 0x7E) : QColor(0x27, 0x3C, 0x75);
}
