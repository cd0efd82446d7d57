#pragma once

#include "runtime/Control.h"

class QScrollBar;

// A vertical scroll bar. Min, Max and Value are 32-bit whole numbers (wider than the platform's
// 16 bits, so that a preview can span tens of thousands of pages); step sizes stay 16-bit;
// a Value outside Min..Max raises run-time error 380. Change is raised when Value changes,
// by the program or by the user (at the end of a drag); Scroll while the thumb is dragged.
class ScrollBar : public Control
{
    Q_OBJECT
public:
    ScrollBar(Form* formulario, const QString& nombre, Control* contenedor = nullptr);

    int Min() const { return min_; }
    void setMin(int valor);
    int Max() const { return max_; }
    void setMax(int valor);
    int Value() const { return valor_; }
    void setValue(int valor);
    int SmallChange() const;
    void setSmallChange(int paso);
    int LargeChange() const;
    void setLargeChange(int paso);

signals:
    void Change();
    void Scroll();

protected:
    bool PuedeTenerFoco() const override { return true; }

private:
    void ajustarRango();
    QScrollBar* barra_;
    int min_ = 0, max_ = 32767, valor_ = 0;
    bool asignando_ = false;
};
