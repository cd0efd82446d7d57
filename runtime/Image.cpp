#include "Image.h"

#include "ErrorEjecucion.h"
#include "Imagenes.h"
#include "Screen.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWidget>

class LienzoFoto : public QWidget
{
public:
    explicit LienzoFoto(Image* imagen) : imagen_(imagen) {}

protected:
    void paintEvent(QPaintEvent*) override
    {
        if (imagen_->imagen_.isNull())
            return;
        QPainter pintor(this);
        pintor.setRenderHint(QPainter::SmoothPixmapTransform);
        if (imagen_->estirar_)
            pintor.drawImage(rect(), imagen_->imagen_);
        else
            pintor.drawImage(QPoint(0, 0), imagen_->imagen_);
    }

    void mouseReleaseEvent(QMouseEvent* evento) override
    {
        QWidget::mouseReleaseEvent(evento);
        if (evento->button() == Qt::LeftButton && rect().contains(evento->position().toPoint()))
            AtenderEvento([this] { emit imagen_->Click(); });
    }

private:
    Image* imagen_;
};

Image::Image(Form* formulario, const QString& nombre, Control* contenedor)
    : Control(Clase::Image, formulario, nombre, contenedor)
{
    lienzo_ = new LienzoFoto(this);
    lienzo_->setCursor(Qt::PointingHandCursor);
    inicializar(lienzo_);
}

void Image::setPicture(const QString& archivo)
{
    setPicture(CargarImagen(archivo));
}

void Image::setPicture(const QImage& imagen)
{
    imagen_ = imagen;
    // Without Stretch the control takes the picture's size, as the platform's image does.
    if (!estirar_ && !imagen.isNull())
        Move(Left(), Top(), Screen::PixelesATwipsX(imagen.width()), Screen::PixelesATwipsY(imagen.height()));
    lienzo_->update();
}

void Image::setStretch(bool estirar)
{
    estirar_ = estirar;
    lienzo_->update();
}
