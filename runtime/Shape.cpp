#include "runtime/Shape.h"

#include "runtime/ErrorEjecucion.h"

#include <QPainter>
#include <QWidget>

class LienzoFigura : public QWidget
{
public:
    explicit LienzoFigura(Shape* figura) : figura_(figura) {}

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter pintor(this);
        const int grosor = qMax(1, figura_->anchoBorde_);
        QPen pluma(figura_->colorBorde_, grosor);
        pluma.setJoinStyle(Qt::MiterJoin);
        pintor.setPen(pluma);
        pintor.setBrush(Qt::NoBrush);
        // The pen is centred on the path: inset by half of it so the whole border shows.
        const qreal medio = grosor / 2.0;
        const QRectF marco = QRectF(rect()).adjusted(medio, medio, -medio, -medio);
        pintor.drawRect(marco);
    }

private:
    Shape* figura_;
};

Shape::Shape(Form* formulario, const QString& nombre, Control* contenedor)
    : Control(Clase::Shape, formulario, nombre, contenedor), colorBorde_(Qt::black)
{
    lienzo_ = new LienzoFigura(this);
    inicializar(lienzo_);
}

void Shape::setBorderColor(const QColor& color)
{
    colorBorde_ = color;
    lienzo_->update();
}

void Shape::setBorderWidth(int pixeles)
{
    if (pixeles < 1)
        throw ErrorEjecucion(ErrorEjecucion::ValorPropiedadNoValido,
                             QStringLiteral("El valor de BorderWidth no es válido: %1").arg(pixeles));
    anchoBorde_ = pixeles;
    lienzo_->update();
}

