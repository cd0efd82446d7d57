#pragma once

#include "runtime/Control.h"

#include <QImage>

class QPainter;
class LienzoImagen;

// A picture box: a container for other controls, with a back colour and an optional picture
// drawn at its top-left corner. Paint lets the window draw on it after the picture.
class PictureBox : public Control
{
    Q_OBJECT
public:
    PictureBox(Form* formulario, const QString& nombre, Control* contenedor = nullptr);

    // Loads a PNG, GIF, BMP or JPEG file; a missing file raises run-time error 53 and an
    // unreadable one error 481, leaving the current picture as it was. An empty name clears it.
    void setPicture(const QString& archivo);
    void setPicture(const QImage& imagen);
    QImage Picture() const { return imagen_; }

    // 0 none, 1 a one-pixel frame (the default).
    int BorderStyle() const { return borde_; }
    void setBorderStyle(int estilo);
    // The inner area in twips (without the frame).
    int ScaleWidth() const;
    int ScaleHeight() const;

    QWidget* SuperficieHijos() const override;
    void CopiarPropiedadesDe(const Control& otro) override;

signals:
    void Paint(QPainter* pintor);

private:
    friend class LienzoImagen;
    LienzoImagen* lienzo_;
    QImage imagen_;
    int borde_ = 1;
};
