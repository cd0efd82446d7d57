#include "runtime/PictureBox.h"

#include "runtime/ErrorEjecucion.h"
#include "runtime/Imagenes.h"
#include "runtime/Screen.h"

#include <QPainter>
#include <QWidget>

class LienzoImagen : public QWidget
{
public:
    explicit LienzoImagen(PictureBox* caja) : caja_(caja) {}

protected:
    void paintEvent(QPaintEvent*) override
    {
        {
            QPainter pintor(this);
            pintor.fillRect(rect(), palette().color(QPalette::Window));
            if (!caja_->imagen_.isNull())
                pintor.drawImage(QPoint(0, 0), caja_->imagen_);
            if (caja_->borde_ == 1) {
                pintor.setPen(QColor(0, 0, 0, 70));
                pintor.drawRect(rect().adjusted(0, 0, -1, -1));
            }
        }
        QPainter pintor(this);
        AtenderEvento([&] { emit caja_->Paint(&pintor); });
    }

private:
    PictureBox* caja_;
};

PictureBox::PictureBox(Form* formulario, const QString& nombre, Control* contenedor)
    : Control(Clase::PictureBox, formulario, nombre, contenedor)
{
    lienzo_ = new LienzoImagen(this);
    inicializar(lienzo_);
}

void PictureBox::setPicture(const QString& archivo)
{
    setPicture(CargarImagen(archivo));
}

void PictureBox::setPicture(const QImage& imagen)
{
    imagen_ = imagen;
    lienzo_->update();
}

void PictureBox::setBorderStyle(int estilo)
{
    if (estilo != 0 && estilo != 1)
        throw ErrorEjecucion(ErrorEjecucion::ValorPropiedadNoValido,
                             QStringLiteral("El valor de BorderStyle no es válido: %1").arg(estilo));
    borde_ = estilo;
    lienzo_->update();
}

int PictureBox::ScaleWidth() const
{
    return qMax(0, Width() - (borde_ == 1 ? 2 * Screen::PixelesATwipsX(1) : 0));
}

int PictureBox::ScaleHeight() const
{
    return qMax(0, Height() - (borde_ == 1 ? 2 * Screen::PixelesATwipsY(1) : 0));
}

QWidget* PictureBox::SuperficieHijos() const
{
    return lienzo_;
}

void PictureBox::CopiarPropiedadesDe(const Control& otro)
{
    Control::CopiarPropiedadesDe(otro);
    if (const auto* caja = qobject_cast<const PictureBox*>(&otro)) {
        borde_ = caja->borde_;
        setPicture(caja->imagen_);
    }
}
