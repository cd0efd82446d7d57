#include "controls/Boton.h"

#include "controls/Barra.h"
#include "runtime/ErrorEjecucion.h"

#include <QAbstractButton>
#include <QKeyEvent>
#include <QPainter>
#include <QPainterPath>

// The painted button: flat, rounded, in the brand colour, with hover, pressed, focus and
// disabled looks.
class BotonPlano : public QAbstractButton
{
public:
    explicit BotonPlano(Boton* boton) : boton_(boton)
    {
        setAttribute(Qt::WA_Hover);
        setCursor(Qt::PointingHandCursor);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        const QColor marca = Barra::ColorMarca(QStringLiteral("1"));
        QColor relleno = marca;
        QColor texto = Qt::white;
        if (!isEnabled()) {
            relleno = QColor(0xD5, 0xD9, 0xE0);
            texto = QColor(0x8A, 0x92, 0x9E);
        } else if (isDown()) {
            relleno = marca.darker(125);
        } else if (underMouse()) {
            relleno = marca.lighter(125);
        }
        const qreal radio = qMin(8.0, height() / 4.0);
        const QRectF caja = QRectF(rect()).adjusted(1.5, 1.5, -1.5, -1.5);
        if (isEnabled() && !isDown()) {
            // A soft shadow under the button lifts it off the background picture.
            QPainterPath sombra;
            sombra.addRoundedRect(caja.translated(0, 1.5), radio, radio);
            p.fillPath(sombra, QColor(0, 0, 0, 45));
        }
        QPainterPath forma;
        forma.addRoundedRect(caja, radio, radio);
        p.fillPath(forma, relleno);
        if (hasFocus() && isEnabled()) {
            QPen anillo(QColor(0xA9, 0xC8, 0xFF), 2);
            p.setPen(anillo);
            p.drawPath(forma);
        }
        p.setPen(texto);
        p.setFont(font());
        p.drawText(caja.adjusted(4, 0, -4, 0), Qt::AlignCenter, boton_->titulo_);
    }

    void keyPressEvent(QKeyEvent* evento) override
    {
        if ((evento->key() == Qt::Key_Return || evento->key() == Qt::Key_Enter) && !evento->isAutoRepeat()) {
            click();
            return;
        }
        QAbstractButton::keyPressEvent(evento);
    }

    void enterEvent(QEnterEvent* evento) override
    {
        QAbstractButton::enterEvent(evento);
        update();
    }

    void leaveEvent(QEvent* evento) override
    {
        QAbstractButton::leaveEvent(evento);
        update();
    }

private:
    Boton* boton_;
};

Boton::Boton(Form* formulario, const QString& nombre, Control* contenedor)
    : Control(Clase::Boton, formulario, nombre, contenedor)
{
    width_ = 1575;
    height_ = 735;
    boton_ = new BotonPlano(this);
    connect(boton_, &QAbstractButton::clicked, this, [this] {
        if (Enabled() && Visible())
            AtenderEvento([this] { emit Click(); });
    });
    inicializar(boton_);
}

void Boton::setCaption(const QString& titulo)
{
    titulo_ = titulo;
    boton_->setAccessibleName(titulo);
    boton_->update();
}

void Boton::HacerClick()
{
    if (!Enabled() || !Visible())
        return;
    emit Click();
}
