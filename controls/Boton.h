#pragma once

#include "runtime/Control.h"

class BotonPlano;

// A flat push button with rounded corners. Click is raised by a mouse click, by Space or Enter
// while it has the focus, and by HacerClick; a disabled or hidden button raises it never.
class Boton : public Control
{
    Q_OBJECT
public:
    Boton(Form* formulario, const QString& nombre, Control* contenedor = nullptr);

    QString Caption() const { return titulo_; }
    void setCaption(const QString& titulo);
    // Clicks the button from code, under the same rule as the user.
    void HacerClick();

signals:
    void Click();

protected:
    bool PuedeTenerFoco() const override { return true; }

private:
    friend class BotonPlano;
    BotonPlano* boton_;
    QString titulo_;
};
