#include "runtime/VistaGrilla.h"

#include "runtime/ErrorEjecucion.h"
#include "runtime/Screen.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QScrollBar>

namespace {

Qt::Alignment alineacionQt(int alineacion, const QString& texto)
{
    Qt::Alignment horizontal;
    Qt::Alignment vertical;
    if (alineacion == FlexGrid::General || alineacion < FlexGrid::IzquierdaArriba || alineacion > FlexGrid::General) {
        // General: numbers to the right, everything else to the left.
        bool esNumero = false;
        texto.trimmed().toDouble(&esNumero);
        return (esNumero ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter;
    }
    switch (alineacion / 3) {
    case 0: horizontal = Qt::AlignLeft; break;
    case 1: horizontal = Qt::AlignHCenter; break;
    default: horizontal = Qt::AlignRight; break;
    }
    switch (alineacion % 3) {
    case 0: vertical = Qt::AlignTop; break;
    case 1: vertical = Qt::AlignVCenter; break;
    default: vertical = Qt::AlignBottom; break;
    }
    return horizontal | vertical;
}

int botonPlataforma(Qt::MouseButton boton)
{
    switch (boton) {
    case Qt::LeftButton: return 1;
    case Qt::RightButton: return 2;
    case Qt::MiddleButton: return 4;
    default: return 0;
    }
}

int mayusculasPlataforma(Qt::KeyboardModifiers modificadores)
{
    return (modificadores & Qt::ShiftModifier ? 1 : 0) | (modificadores & Qt::ControlModifier ? 2 : 0)
        | (modificadores & Qt::AltModifier ? 4 : 0);
}

} // namespace

void DelegadoGrilla::paint(QPainter* pintor, const QStyleOptionViewItem& opcion, const QModelIndex& indice) const
{
    const QRect r = opcion.rect;
    const int fila = indice.row() + g_->filasFijas_;
    const bool seleccionada = fila == g_->fila_;
    pintor->fillRect(r, seleccionada ? g_->fondoSel_ : g_->BackColor());
    const QString texto = g_->columnas_[indice.column()].Texto(indice.row());
    if (!texto.isEmpty()) {
        pintor->setPen(seleccionada ? g_->textoSel_ : g_->ForeColor());
        pintor->setFont(opcion.font);
        pintor->drawText(r.adjusted(4, 0, -4, -1), int(alineacionQt(g_->alineaciones_[indice.column()], texto)), texto);
    }
    pintor->setPen(g_->colorLineas_);
    pintor->drawLine(r.topRight(), r.bottomRight());
    pintor->drawLine(r.bottomLeft(), r.bottomRight());
    if (seleccionada && g_->Widget()->hasFocus()) {
        // With the keyboard on the grid, the current row is outlined.
        pintor->setPen(g_->fondoSel_.darker(160));
        const QRect borde = r.adjusted(0, 0, -1, -1);
        pintor->drawLine(borde.topLeft(), borde.topRight());
        pintor->drawLine(borde.bottomLeft(), borde.bottomRight());
        if (indice.column() == 0)
            pintor->drawLine(borde.topLeft(), borde.bottomLeft());
        if (indice.column() == g_->Cols() - 1)
            pintor->drawLine(borde.topRight(), borde.bottomRight());
    }
}

QSize DelegadoGrilla::sizeHint(const QStyleOptionViewItem& opcion, const QModelIndex& indice) const
{
    Q_UNUSED(opcion);
    return QSize(Screen::TwipsAPixelesX(g_->ColWidth(indice.column())), g_->altoFilaPixeles());
}

void CabeceraGrilla::paintSection(QPainter* pintor, const QRect& r, int seccion) const
{
    pintor->save();
    pintor->fillRect(r, g_->fondoFijo_);
    const QString& texto = g_->cabecera_.value(seccion);
    if (!texto.isEmpty()) {
        pintor->setPen(g_->textoFijo_);
        pintor->setFont(font());
        pintor->drawText(r.adjusted(4, 0, -4, -1), int(alineacionQt(g_->alineacionesFijas_.value(seccion), texto)), texto);
    }
    pintor->setPen(g_->colorLineasFijas_);
    pintor->drawLine(r.topRight(), r.bottomRight());
    pintor->drawLine(r.bottomLeft(), r.bottomRight());
    pintor->restore();
}

void CabeceraGrilla::mousePressEvent(QMouseEvent* evento)
{
    const QPoint p = viewport()->mapTo(g_->Widget(), evento->position().toPoint());
    AtenderEvento([&] {
        emit g_->MouseDown(botonPlataforma(evento->button()), mayusculasPlataforma(evento->modifiers()),
                           Screen::PixelesATwipsX(p.x()), Screen::PixelesATwipsY(p.y()));
    });
}

void VistaGrilla::mousePressEvent(QMouseEvent* evento)
{
    QPointer<VistaGrilla> viva(this);
    const QPoint p = viewport()->mapTo(this, evento->position().toPoint());
    AtenderEvento([&] {
        emit g_->MouseDown(botonPlataforma(evento->button()), mayusculasPlataforma(evento->modifiers()),
                           Screen::PixelesATwipsX(p.x()), Screen::PixelesATwipsY(p.y()));
    });
    if (!viva || !isEnabled())
        return;
    diferido([&] { QTableView::mousePressEvent(evento); });
}

void VistaGrilla::mouseReleaseEvent(QMouseEvent* evento)
{
    diferido([&] { QTableView::mouseReleaseEvent(evento); });
}

void VistaGrilla::mouseMoveEvent(QMouseEvent* evento)
{
    diferido([&] { QTableView::mouseMoveEvent(evento); });
}

void VistaGrilla::mouseDoubleClickEvent(QMouseEvent* evento)
{
    diferido([&] { QTableView::mouseDoubleClickEvent(evento); });
}

void VistaGrilla::keyPressEvent(QKeyEvent* evento)
{
    diferido([&] { QTableView::keyPressEvent(evento); });
}

void VistaGrilla::focusInEvent(QFocusEvent* evento)
{
    // The view would make its first row current on getting the focus; the grid keeps its own.
    const bool antes = g_->sincronizando_;
    g_->sincronizando_ = true;
    QTableView::focusInEvent(evento);
    g_->sincronizando_ = antes;
    g_->aplicarActual();
}

void VistaGrilla::focusOutEvent(QFocusEvent* evento)
{
    QTableView::focusOutEvent(evento);
    viewport()->update();
}

void VistaGrilla::currentChanged(const QModelIndex& actual, const QModelIndex& anterior)
{
    QTableView::currentChanged(actual, anterior);
    if (!g_->sincronizando_ && actual.isValid())
        g_->alCambiarActual(actual.row() + g_->filasFijas_, actual.column());
}

void VistaGrilla::scrollTo(const QModelIndex& indice, ScrollHint pista)
{
    if (!g_->sincronizando_)
        QTableView::scrollTo(indice, pista);
}

void VistaGrilla::updateGeometries()
{
    const bool antes = g_->sincronizando_;
    g_->sincronizando_ = true;
    QTableView::updateGeometries();
    verticalScrollBar()->setRange(0, g_->maximoDesplazamiento());
    verticalScrollBar()->setValue(g_->filaSuperior_ - g_->filasFijas_);
    g_->sincronizando_ = antes;
    corregirDesplazamiento();
}

void VistaGrilla::scrollContentsBy(int dx, int dy)
{
    QTableView::scrollContentsBy(dx, dy);
    corregirDesplazamiento();
}

void VistaGrilla::corregirDesplazamiento()
{
    QHeaderView* filas = verticalHeader();
    const int antes = filas->offset();
    filas->setOffsetToSectionPosition(verticalScrollBar()->value());
    if (filas->offset() != antes)
        viewport()->update();
}

void VistaGrilla::diferido(const std::function<void()>& manejar)
{
    QPointer<VistaGrilla> viva(this);
    const bool antes = g_->diferir_;
    g_->diferir_ = true;
    manejar();
    if (!viva)
        return;
    g_->diferir_ = antes;
    if (!antes)
        g_->avisarCambioDiferido();
}
