#include "runtime/Control.h"

#include "runtime/ErrorEjecucion.h"
#include "runtime/Form.h"
#include "runtime/Screen.h"

#include <QWidget>

namespace {

// Marks the widgets of windowed controls, so that windowless ones can be stacked below them.
const char* const propiedadConVentana = "quiltrenConVentana";

} // namespace

Control::Control(Clase clase, Form* formulario, const QString& nombre, Control* contenedor)
    : QObject(formulario), clase_(clase), formulario_(formulario), nombre_(nombre), contenedor_(contenedor)
{
    Q_ASSERT(formulario);
    setObjectName(nombre);
    formulario_->registrarControl(this);
    fuente_.AlCambiar([this] { aplicarFuente(); });
}

Control::~Control()
{
    fuente_.AlCambiar(nullptr);
    formulario_->olvidarControl(this);
    delete widget_.data();
}

void Control::inicializar(QWidget* widget)
{
    widget_ = widget;
    QWidget* padre = contenedor_ && contenedor_->SuperficieHijos() ? contenedor_->SuperficieHijos()
                                                                    : static_cast<QWidget*>(formulario_);
    widget->setParent(padre);
    widget->setObjectName(nombre_);
    widget->setProperty(propiedadConVentana, TieneVentana());
    if (!TieneVentana()) {
        // Lines, shapes, images and labels are painted on their container, under every
        // windowed control (a grid or a text box inside a frame must stay clickable).
        widget->setAttribute(Qt::WA_TransparentForMouseEvents, clase_ == Clase::Line || clase_ == Clase::Shape);
        for (QObject* hermano : padre->children()) {
            auto* w = qobject_cast<QWidget*>(hermano);
            if (w && w != widget && w->property(propiedadConVentana).toBool()) {
                widget->stackUnder(w);
                break;
            }
        }
    }
    widget->setFocusPolicy(PuedeTenerFoco() ? (tabStop_ ? Qt::StrongFocus : Qt::ClickFocus) : Qt::NoFocus);
    aplicarFuente();
    aplicarColores();
    aplicarGeometria();
    widget->setEnabled(habilitado_);
    widget->setVisible(visible_);
}

int Control::Left() const { return left_; }
int Control::Top() const { return top_; }
int Control::Width() const { return width_; }
int Control::Height() const { return height_; }

void Control::setLeft(int twips) { Move(twips, Top(), Width(), Height()); }
void Control::setTop(int twips) { Move(Left(), twips, Width(), Height()); }
void Control::setWidth(int twips) { Move(Left(), Top(), twips, Height()); }
void Control::setHeight(int twips) { Move(Left(), Top(), Width(), twips); }

void Control::Move(int left) { Move(left, Top(), Width(), Height()); }
void Control::Move(int left, int top) { Move(left, top, Width(), Height()); }
void Control::Move(int left, int top, int width) { Move(left, top, width, Height()); }

void Control::Move(int left, int top, int width, int height)
{
    if (clase_ == Clase::Line)
        throw ErrorEjecucion(ErrorEjecucion::NoAdmitePropiedadOMetodo,
                             QStringLiteral("El objeto no admite esta propiedad o método: la línea '%1' se sitúa con X1, Y1, X2 e Y2").arg(nombre_));
    if (width < 0 || height < 0)
        throw ErrorEjecucion(ErrorEjecucion::ValorPropiedadNoValido,
                             QStringLiteral("El valor de la propiedad no es válido: '%1' no admite un tamaño negativo").arg(nombre_));
    fijarGeometria(left, top, width, height);
}

void Control::fijarGeometria(int left, int top, int width, int height)
{
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    if (widget_)
        aplicarGeometria();
}

void Control::aplicarGeometria()
{
    // Edges are converted, not sizes, so controls that meet in twips meet in pixels too.
    const int x = Screen::TwipsAPixelesX(left_);
    const int y = Screen::TwipsAPixelesY(top_);
    const int w = Screen::TwipsAPixelesX(double(left_) + width_) - x;
    const int h = Screen::TwipsAPixelesY(double(top_) + height_) - y;
    widget_->setGeometry(x, y, w, h);
}

void Control::aplicarFuente()
{
    if (widget_)
        widget_->setFont(fuente_.AQFont());
}

void Control::aplicarColores()
{
    if (!widget_)
        return;
    QPalette paleta = widget_->palette();
    if (fondo_.isValid()) {
        paleta.setColor(QPalette::Window, fondo_);
    }
    if (texto_.isValid()) {
        paleta.setColor(QPalette::WindowText, texto_);
        paleta.setColor(QPalette::Text, texto_);
    }
    widget_->setPalette(paleta);
}

void Control::setEnabled(bool habilitado)
{
    habilitado_ = habilitado;
    if (widget_)
        widget_->setEnabled(habilitado);
}

void Control::setVisible(bool visible)
{
    visible_ = visible;
    if (widget_)
        widget_->setVisible(visible);
}

void Control::setBackColor(const QColor& color)
{
    fondo_ = color;
    aplicarColores();
    if (widget_)
        widget_->update();
}

void Control::setForeColor(const QColor& color)
{
    texto_ = color;
    aplicarColores();
    if (widget_)
        widget_->update();
}

int Control::TabIndex() const
{
    return int(formulario_->ordenTab_.indexOf(const_cast<Control*>(this)));
}

void Control::setTabIndex(int indice)
{
    if (indice < 0)
        throw ErrorEjecucion(ErrorEjecucion::ValorPropiedadNoValido,
                             QStringLiteral("El valor de la propiedad TabIndex no es válido: %1").arg(indice));
    formulario_->renumerarTabulacion(this, indice);
}

void Control::setTabStop(bool tabStop)
{
    tabStop_ = tabStop;
    if (widget_ && PuedeTenerFoco())
        widget_->setFocusPolicy(tabStop ? Qt::StrongFocus : Qt::ClickFocus);
}

void Control::SetFocus()
{
    if (!widget_ || !PuedeTenerFoco() || !habilitado_ || !visible_)
        throw ErrorEjecucion(ErrorEjecucion::LlamadaNoValida,
                             QStringLiteral("No se puede dar el foco a '%1': no está visible o habilitado").arg(nombre_));
    widget_->setFocus(Qt::OtherFocusReason);
}

void Control::Refresh()
{
    if (!widget_)
        return;
    if (widget_->isVisible() && !formulario_->pintando_)
        widget_->repaint();
    else
        widget_->update();
}

void Control::ZOrder(int posicion)
{
    if (!widget_)
        return;
    if (posicion == 0)
        widget_->raise();
    else
        widget_->lower();
}

void Control::CopiarPropiedadesDe(const Control& otro)
{
    tag_ = otro.tag_;
    fondo_ = otro.fondo_;
    texto_ = otro.texto_;
    fuente_.Asignar(otro.fuente_);
    aplicarColores();
    setEnabled(otro.habilitado_);
    Move(otro.left_, otro.top_, otro.width_, otro.height_);
}
