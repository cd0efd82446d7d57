#pragma once

#include "runtime/Fuente.h"

#include <QColor>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QWidget>

class Form;

// Base of every control of a window: a QObject that owns and drives one QWidget.
// Geometry is kept in whole twips, relative to the container, and mapped to pixels through
// Screen; reading a position back returns the twips stored, never a value rounded to pixels.
// A control registers itself in its window's Controls collection when it is created.
class Control : public QObject
{
    Q_OBJECT
public:
    // The class of a control, as the scaling routine and HabilitarControles test it.
    enum class Clase {
        Label, TextBox, ComboBox, OptionButton, Image, Line, Shape, PictureBox,
        ScrollBar, Grid, Timer, Barra, Boton, Otro
    };

    ~Control() override;

    Clase TipoControl() const { return clase_; }
    // True for an input control of the host's libraries (the further interface that
    // HabilitarControles enables and the scaling routine shrinks). None of the runtime's own.
    virtual bool EsControlEntradaAnfitrion() const { return false; }

    QString Name() const { return nombre_; }

    QString Tag() const { return tag_; }
    void setTag(const QString& tag) { tag_ = tag; }

    virtual int Left() const;
    virtual int Top() const;
    virtual int Width() const;
    virtual int Height() const;
    void setLeft(int twips);
    void setTop(int twips);
    void setWidth(int twips);
    void setHeight(int twips);
    // Move(Left, [Top], [Width], [Height]): the members left out keep their value.
    void Move(int left);
    void Move(int left, int top);
    void Move(int left, int top, int width);
    void Move(int left, int top, int width, int height);

    bool Enabled() const { return habilitado_; }
    virtual void setEnabled(bool habilitado);
    // The control's own setting; a control inside a hidden window can still be Visible.
    bool Visible() const { return visible_; }
    virtual void setVisible(bool visible);

    Fuente& Font() { return fuente_; }
    const Fuente& Font() const { return fuente_; }

    QColor BackColor() const { return fondo_; }
    void setBackColor(const QColor& color);
    QColor ForeColor() const { return texto_; }
    void setForeColor(const QColor& color);

    // Place in the window's tab order; assigning one renumbers the others as the platform does.
    int TabIndex() const;
    void setTabIndex(int indice);
    bool TabStop() const { return tabStop_; }
    void setTabStop(bool tabStop);

    void SetFocus();
    void Refresh();
    // 0 brings the control to the front of its container, 1 sends it to the back.
    void ZOrder(int posicion = 0);

    // The widget that shows the control (for tests and for painting code).
    QWidget* Widget() const { return widget_; }
    // The widget that holds the controls placed inside this one (picture boxes).
    virtual QWidget* SuperficieHijos() const { return nullptr; }

    // Copies the settings a new control array element takes over from its first element.
    virtual void CopiarPropiedadesDe(const Control& otro);

protected:
    Control(Clase clase, Form* formulario, const QString& nombre, Control* contenedor);

    // Called once by the subclass constructor with the widget it created: parents it to the
    // container, applies geometry, font and colours.
    void inicializar(QWidget* widget);

    // Pixels of the stored geometry; subclasses whose widget extends beyond it override.
    virtual void aplicarGeometria();
    virtual void aplicarFuente();
    virtual void aplicarColores();
    // False for lines, shapes, images and labels: drawn below every windowed control.
    virtual bool TieneVentana() const { return true; }
    // True when a widget is allowed to take the keyboard focus.
    virtual bool PuedeTenerFoco() const { return false; }
    void fijarGeometria(int left, int top, int width, int height);
    void fijarIndice(int indice) { indice_ = indice; }

    int left_ = 0, top_ = 0, width_ = 0, height_ = 0;

private:
    friend class Form;
    template <class T> friend class ArregloControles;

    Clase clase_;
    Form* formulario_;
    QString nombre_;
    Control* contenedor_;
    QPointer<QWidget> widget_;
    QString tag_;
    int indice_ = -1;
    bool habilitado_ = true;
    bool visible_ = true;
    bool tabStop_ = true;
    Fuente fuente_;
    QColor fondo_;
    QColor texto_;
};
