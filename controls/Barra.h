#pragma once

#include "runtime/Control.h"

class BarraTitulo;

// The window's title bar: a band in the brand colour with the caption, an optional minimize
// button and a close button. Dragging it moves the window. The close button does not close
// anything itself: it raises SolicitudCierre and the window decides.
//
// Stored properties: caption, color ("1" or "2": the two tones of the brand), minimizar
// (show the minimize button), _extentx and _extenty (size in hundredths of a millimetre,
// as the control persists it; setting them sizes the control).
class Barra : public Control
{
    Q_OBJECT
public:
    Barra(Form* formulario, const QString& nombre, Control* contenedor = nullptr);

    QString Caption() const { return titulo_; }
    void setCaption(const QString& titulo);
    void setColor(const QString& color);
    bool Minimizar() const { return minimizar_; }
    void setMinimizar(bool minimizar);
    void setExtentX(int centesimasMm);
    int ExtentY() const;
    void setExtentY(int centesimasMm);

    // The band colour of a color value; any value but "2" gives the first tone.
    static QColor ColorMarca(const QString& color);

signals:
    // The user asked to close the window (the close button, or Alt+F4 on the bar).
    void SolicitudCierre();

private:
    friend class BarraTitulo;
    BarraTitulo* barra_;
    QString titulo_;
    QString color_ = QStringLiteral("1");
    bool minimizar_ = false;
};
