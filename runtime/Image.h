#pragma once

#include "runtime/Control.h"

#include <QImage>

class LienzoFoto;

// An image control. Without Stretch the control takes the size of the picture when one is
// loaded and shows it unscaled; with Stretch the picture follows the control's size. A picture's
// size is its size in pixels of the screen: one read from a file named "@2x" (up to "@9x") holds
// that many device pixels to each, and is drawn from them on a dense screen.
class Image : public Control
{
    Q_OBJECT
public:
    Image(Form* formulario, const QString& nombre, Control* contenedor = nullptr);

    // Same files and errors as PictureBox::setPicture.
    void setPicture(const QString& archivo);
    void setPicture(const QImage& imagen);
    QImage Picture() const { return imagen_; }
    bool Stretch() const { return estirar_; }
    void setStretch(bool estirar);

signals:
    void Click();

protected:
    bool TieneVentana() const override { return false; }

private:
    friend class LienzoFoto;
    LienzoFoto* lienzo_;
    QImage imagen_;
    bool estirar_ = false;
};
