#pragma once

#include "runtime/Control.h"

class LienzoLinea;

// A line between two points given in twips relative to its container. It has no Left, Top,
// Width, Height nor Move: those raise run-time error 438, as on the platform.
class Line : public Control
{
    Q_OBJECT
public:
    Line(Form* formulario, const QString& nombre, Control* contenedor = nullptr);

    int X1() const { return x1_; }
    int Y1() const { return y1_; }
    int X2() const { return x2_; }
    int Y2() const { return y2_; }
    void setX1(int twips);
    void setY1(int twips);
    void setX2(int twips);
    void setY2(int twips);

    void setBorderColor(const QColor& color);
    int BorderWidth() const { return anchoBorde_; }
    void setBorderWidth(int pixeles);

    int Left() const override;
    int Top() const override;
    int Width() const override;
    int Height() const override;

protected:
    bool TieneVentana() const override { return false; }
    void aplicarGeometria() override;

private:
    friend class LienzoLinea;
    LienzoLinea* lienzo_;
    int x1_ = 0, y1_ = 0, x2_ = 0, y2_ = 0;
    QColor colorBorde_;
    int anchoBorde_ = 1;
};
