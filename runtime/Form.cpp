#include "runtime/Form.h"

#include "runtime/Control.h"
#include "runtime/ErrorEjecucion.h"
#include "runtime/Screen.h"

#include <QCloseEvent>
#include <QEventLoop>
#include <QGuiApplication>
#include <QPainter>
#include <QPointer>

namespace {

int formulariosCargados = 0;

void traerAlFrente(QWidget* ventana)
{
    // The offscreen platform has no stacking and complains when asked for it.
    if (QGuiApplication::platformName() != QLatin1String("offscreen"))
        ventana->raise();
    ventana->activateWindow();
}

} // namespace

Form::Form(const QString& nombre, QWidget* padre)
    : QWidget(padre, Qt::Window | Qt::FramelessWindowHint), nombre_(nombre)
{
    setObjectName(nombre);
    setAttribute(Qt::WA_DeleteOnClose, false);
    fondo_ = palette().color(QPalette::Window);
    Move(0, 0, 4800, 3600);
}

Form::~Form()
{
    if (cargado_)
        --formulariosCargados;
    soltarInstancia();
    // Controls go first, innermost last created first, while the window is still whole.
    const QList<Control*> controles = controles_.lista_;
    for (auto it = controles.crbegin(); it != controles.crend(); ++it)
        delete *it;
}

int Form::FormulariosCargados()
{
    return formulariosCargados;
}

void Form::setLeft(int twips) { Move(twips, top_, width_, height_); }
void Form::setTop(int twips) { Move(left_, twips, width_, height_); }
void Form::setWidth(int twips) { Move(left_, top_, twips, height_); }
void Form::setHeight(int twips) { Move(left_, top_, width_, twips); }

void Form::Move(int left, int top, int width, int height)
{
    if (width < 0 || height < 0)
        throw ErrorEjecucion(ErrorEjecucion::ValorPropiedadNoValido,
                             QStringLiteral("El valor de la propiedad no es válido: la ventana '%1' no admite un tamaño negativo").arg(nombre_));
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    aplicarGeometria();
}

void Form::aplicarGeometria()
{
    const int x = Screen::TwipsAPixelesX(left_);
    const int y = Screen::TwipsAPixelesY(top_);
    const int w = Screen::TwipsAPixelesX(double(left_) + width_) - x;
    const int h = Screen::TwipsAPixelesY(double(top_) + height_) - y;
    moviendoPorPrograma_ = true;
    setGeometry(x, y, w, h);
    moviendoPorPrograma_ = false;
}

void Form::setBackColor(const QColor& color)
{
    fondo_ = color;
    update();
}

int Form::WindowState() const
{
    const Qt::WindowStates estado = windowState();
    if (estado & Qt::WindowMinimized)
        return 1;
    if (estado & Qt::WindowMaximized)
        return 2;
    return 0;
}

void Form::setWindowState(int estado)
{
    if (estado < 0 || estado > 2)
        throw ErrorEjecucion(ErrorEjecucion::ValorPropiedadNoValido,
                             QStringLiteral("El valor de WindowState no es válido: %1").arg(estado));
    QWidget::setWindowState(estado == 1 ? Qt::WindowMinimized
                                        : estado == 2 ? Qt::WindowMaximized : Qt::WindowNoState);
}

void Form::Load()
{
    if (cargado_)
        return;
    cargado_ = true;
    ++formulariosCargados;
    try {
        Form_Load();
    } catch (...) {
        cargado_ = false;
        --formulariosCargados;
        hide();
        throw;
    }
}

void Form::Show()
{
    Load();
    if (!cargado_ || descargando_)
        return;
    show();
    traerAlFrente(this);
}

void Form::ShowModal()
{
    Load();
    if (!cargado_ || descargando_)
        return;
    QPointer<Form> yo(this);
    setWindowModality(Qt::ApplicationModal);
    show();
    traerAlFrente(this);
    QEventLoop bucle;
    connect(this, &Form::Cerrada, &bucle, &QEventLoop::quit);
    if (isVisible())
        bucle.exec();
    if (yo && !descargando_) {
        hide();
        setWindowModality(Qt::NonModal);
    }
}

void Form::Hide()
{
    Load();
    hide();
    emit Cerrada();
}

bool Form::Unload()
{
    if (descargando_)
        return true;
    if (!cargado_) {
        descargando_ = true;
        soltarInstancia();
        hide();
        deleteLater();
        return true;
    }
    descargando_ = true;
    int cancelar = 0;
    try {
        Form_Unload(cancelar);
    } catch (...) {
        descargando_ = false;
        throw;
    }
    if (cancelar != 0) {
        descargando_ = false;
        return false;
    }
    hide();
    cargado_ = false;
    --formulariosCargados;
    soltarInstancia();
    emit Cerrada();
    // Deleted from the event loop: the handler that asked for the unload may still be running
    // inside one of this window's controls.
    deleteLater();
    return true;
}

void Form::Refresh()
{
    if (isVisible() && !pintando_)
        repaint();
    else
        update();
}

Control* Form::ActiveControl() const
{
    // The innermost control around the focus widget: a text box, not the picture box holding it.
    for (QWidget* w = focusWidget(); w && w != this; w = w->parentWidget()) {
        for (Control* c : controles_) {
            if (c->Widget() == w)
                return c;
        }
    }
    return nullptr;
}

void Form::soltarInstancia()
{
    if (ranura_ && *ranura_ == this)
        *ranura_ = nullptr;
    ranura_ = nullptr;
}

void Form::registrarControl(Control* c)
{
    controles_.agregar(c);
    ordenTab_.append(c);
}

void Form::olvidarControl(Control* c)
{
    controles_.quitar(c);
    ordenTab_.removeOne(c);
}

void Form::renumerarTabulacion(Control* c, int indice)
{
    ordenTab_.removeOne(c);
    ordenTab_.insert(qMin(indice, int(ordenTab_.size())), c);
}

bool Form::focusNextPrevChild(bool siguiente)
{
    // Tab follows TabIndex among the controls that can take the focus now.
    QList<QWidget*> orden;
    for (Control* c : ordenTab_) {
        QWidget* w = c->Widget();
        if (w && c->TabStop() && (w->focusPolicy() & Qt::TabFocus) && w->isVisibleTo(this) && w->isEnabled())
            orden.append(w);
    }
    if (orden.isEmpty())
        return QWidget::focusNextPrevChild(siguiente);
    const Control* activo = ActiveControl();
    const int i = activo ? int(orden.indexOf(activo->Widget())) : -1;
    const int n = int(orden.size());
    const int j = i < 0 ? (siguiente ? 0 : n - 1) : (i + (siguiente ? 1 : -1) + n) % n;
    orden[j]->setFocus(siguiente ? Qt::TabFocusReason : Qt::BacktabFocusReason);
    return true;
}

void Form::paintEvent(QPaintEvent* evento)
{
    Q_UNUSED(evento);
    {
        QPainter pintor(this);
        pintor.fillRect(rect(), fondo_);
    }
    pintando_ = true;
    AtenderEvento([this] { Form_Paint(); });
    pintando_ = false;
}

void Form::resizeEvent(QResizeEvent* evento)
{
    QWidget::resizeEvent(evento);
    if (!moviendoPorPrograma_) {
        // Only a size the user or the window system gave changes the stored twips; the pixels
        // of our own geometry map back to it.
        const int x = Screen::TwipsAPixelesX(left_);
        const int y = Screen::TwipsAPixelesY(top_);
        if (width() != Screen::TwipsAPixelesX(double(left_) + width_) - x)
            width_ = Screen::PixelesATwipsX(width());
        if (height() != Screen::TwipsAPixelesY(double(top_) + height_) - y)
            height_ = Screen::PixelesATwipsY(height());
    }
    if (cargado_)
        AtenderEvento([this] { Form_Resize(); });
}

void Form::moveEvent(QMoveEvent* evento)
{
    QWidget::moveEvent(evento);
    if (moviendoPorPrograma_)
        return;
    if (x() != Screen::TwipsAPixelesX(left_))
        left_ = Screen::PixelesATwipsX(x());
    if (y() != Screen::TwipsAPixelesY(top_))
        top_ = Screen::PixelesATwipsY(y());
}

void Form::closeEvent(QCloseEvent* evento)
{
    // The window system asks to close: the same path as an unload from code.
    evento->ignore();
    AtenderEvento([this] { Unload(); });
}

void Form::changeEvent(QEvent* evento)
{
    QWidget::changeEvent(evento);
    if (!cargado_)
        return;
    if (evento->type() == QEvent::ActivationChange && isActiveWindow())
        AtenderEvento([this] { Form_Activate(); });
    else if (evento->type() == QEvent::WindowStateChange)
        AtenderEvento([this] { Form_Resize(); });
}
