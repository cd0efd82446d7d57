#pragma once

#include "runtime/Control.h"

class LienzoFigura;

// A rectangle outline drawn on its container; it never takes the mouse.
class Shape : public Control
{
    Q_OBJECT
public:
    Shape(Form* formulario, const QString& nombre, Control* contenedor = nullptr);

    void setBorderColor(const QColor& color);
    // In pixels, as the platform counts it.
    int BorderWidth() const { return anchoBorde_; }
    void setBorderWidth(int pixeles);

protected:
    bool TieneVentana() const override { return false; }

private:
    friend class LienzoFigura;
    LienzoFigura* lienzo_;
    QColor colorBorde_;
    int anchoBorde_ = 1;
};
