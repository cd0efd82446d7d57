#include "runtime/Line.h"

#include "runtime/ErrorEjecucion.h"
#include "runtime/Screen.h"

#include <QPainter>
#include <QWidget>

namespace {

[[noreturn]] void sinGeometria(const QString& nombre)
{
    throw ErrorEjecucion(ErrorEjecucion::NoAdmitePropiedadOMetodo,
                         QStringLiteral("El objeto no admite esta propiedad o método: la línea '%1' se sitúa con X1, Y1, X2 e Y2").arg(nombre));
}

} // namespace

class LienzoLinea : public QWidget
{
public:
    explicit LienzoLinea(Line* linea) : linea_(linea) {}

    QPoint origen;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter pintor(this);
        QPen pluma(linea_->colorBorde_, qMax(1, linea_->anchoBorde_));
        pluma.setCapStyle(Qt::FlatCap);
        pintor.setPen(pluma);
        const QPoint a(Screen::TwipsAPixelesX(linea_->x1_), Screen::TwipsAPixelesY(linea_->y1_));
        const QPoint b(Screen::TwipsAPixelesX(linea_->x2_), Screen::TwipsAPixelesY(linea_->y2_));
        // Pixel centres: a one-pixel line drawn at whole coordinates covers its own row.
        const QPointF medio(0.5, 0.5);
        pintor.drawLine(QPointF(a - origen) + medio, QPointF(b - origen) + medio);
    }

private:
    Line* linea_;
};

Line::Line(Form* formulario, const QString& nombre, Control* contenedor)
    : Control(Clase::Line, formulario, nombre, contenedor), colorBorde_(Qt::black)
{
    lienzo_ = new LienzoLinea(this);
    inicializar(lienzo_);
}

void Line::setX1(int twips) { x1_ = twips; aplicarGeometria(); }
void Line::setY1(int twips) { y1_ = twips; aplicarGeometria(); }
void Line::setX2(int twips) { x2_ = twips; aplicarGeometria(); }
void Line::setY2(int twips) { y2_ = twips; aplicarGeometria(); }

void Line::setBorderColor(const QColor& color)
{
    colorBorde_ = color;
    lienzo_->update();
}

void Line::setBorderWidth(int pixeles)
{
    if (pixeles < 1)
        throw ErrorEjecucion(ErrorEjecucion::ValorPropiedadNoValido,
                             QStringLiteral("El valor de BorderWidth no es válido: %1").arg(pixeles));
    anchoBorde_ = pixeles;
    aplicarGeometria();
}

int Line::Left() const { sinGeometria(Name()); }
int Line::Top() const { sinGeometria(Name()); }
int Line::Width() const { sinGeometria(Name()); }
int Line::Height() const { sinGeometria(Name()); }

void Line::aplicarGeometria()
{
    const QPoint a(Screen::TwipsAPixelesX(x1_), Screen::TwipsAPixelesY(y1_));
    const QPoint b(Screen::TwipsAPixelesX(x2_), Screen::TwipsAPixelesY(y2_));
    const int grosor = qMax(1, anchoBorde_);
    const QRect caja = QRect(a, b).normalized().adjusted(-grosor, -grosor, grosor, grosor);
    lienzo_->origen = caja.topLeft();
    lienzo_->setGeometry(caja);
    lienzo_->update();
}
