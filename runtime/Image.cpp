#include "runtime/Image.h"

#include "runtime/ErrorEjecucion.h"
#include "runtime/Imagenes.h"
#include "runtime/Screen.h"

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
        const QImage& imagen = imagen_->imagen_;
        const QSize logico = imagen_->estirar_ ? size() : imagen.deviceIndependentSize().toSize();
        if (logico.isEmpty())
            return;
        // Scaled once to the device pixels it covers, with an averaging filter: a picture drawn for
        // a larger size would lose its fine lines if the painter sampled it on the fly.
        const qreal proporcion = devicePixelRatioF();
        const QSize dispositivo(qRound(logico.width() * proporcion), qRound(logico.height() * proporcion));
        if (escalada_.size() != dispositivo || origen_ != imagen.cacheKey()) {
            escalada_ = imagen.size() == dispositivo
                ? imagen
                : imagen.scaled(dispositivo, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
            origen_ = imagen.cacheKey();
        }
        escalada_.setDevicePixelRatio(proporcion);
        QPainter pintor(this);
        pintor.drawImage(QPoint(0, 0), escalada_);
    }

    void mouseReleaseEvent(QMouseEvent* evento) override
    {
        QWidget::mouseReleaseEvent(evento);
        if (evento->button() == Qt::LeftButton && rect().contains(evento->position().toPoint()))
            AtenderEvento([this] { emit imagen_->Click(); });
    }

private:
    Image* imagen_;
    QImage escalada_;
    qint64 origen_ = 0;
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
        Move(Left(), Top(), Screen::PixelesATwipsX(qRound(imagen.deviceIndependentSize().width())),
             Screen::PixelesATwipsY(qRound(imagen.deviceIndependentSize().height())));
    lienzo_->update();
}

void Image::setStretch(bool estirar)
{
    estirar_ = estirar;
    lienzo_->update();
}
