#include "runtime/ScrollBar.h"

#include "runtime/ErrorEjecucion.h"

#include <QScrollBar>

ScrollBar::ScrollBar(Form* formulario, const QString& nombre, Control* contenedor)
    : Control(Clase::ScrollBar, formulario, nombre, contenedor)
{
    barra_ = new QScrollBar(Qt::Vertical);
    barra_->setRange(min_, max_);
    barra_->setSingleStep(1);
    barra_->setPageStep(1);
    connect(barra_, &QScrollBar::valueChanged, this, [this](int valor) {
        if (asignando_)
            return;
        valor_ = valor;
        if (barra_->isSliderDown())
            AtenderEvento([this] { emit Scroll(); });
        else
            AtenderEvento([this] { emit Change(); });
    });
    connect(barra_, &QScrollBar::sliderReleased, this, [this] {
        AtenderEvento([this] { emit Change(); });
    });
    inicializar(barra_);
}

void ScrollBar::setMin(int valor)
{
    min_ = valor;
    ajustarRango();
}

void ScrollBar::setMax(int valor)
{
    max_ = valor;
    ajustarRango();
}

void ScrollBar::ajustarRango()
{
    // A value left outside the new range moves to its nearest end, and that is a change.
    const int anterior = valor_;
    valor_ = qBound(qMin(min_, max_), valor_, qMax(min_, max_));
    asignando_ = true;
    barra_->setRange(qMin(min_, max_), qMax(min_, max_));
    barra_->setValue(valor_);
    asignando_ = false;
    if (valor_ != anterior)
        emit Change();
}

void ScrollBar::setValue(int valor)
{
    if (valor < qMin(min_, max_) || valor > qMax(min_, max_))
        throw ErrorEjecucion(ErrorEjecucion::ValorPropiedadNoValido,
                             QStringLiteral("El valor de Value no es válido: %1 (entre %2 y %3)").arg(valor).arg(min_).arg(max_));
    if (valor == valor_)
        return;
    valor_ = valor;
    asignando_ = true;
    barra_->setValue(valor);
    asignando_ = false;
    emit Change();
}

int ScrollBar::SmallChange() const
{
    return barra_->singleStep();
}

void ScrollBar::setSmallChange(int paso)
{
    if (paso < 1 || paso > 32767)
        throw ErrorEjecucion(ErrorEjecucion::ValorPropiedadNoValido,
                             QStringLiteral("El valor de SmallChange no es válido: %1").arg(paso));
    barra_->setSingleStep(paso);
}

int ScrollBar::LargeChange() const
{
    return barra_->pageStep();
}

void ScrollBar::setLargeChange(int paso)
{
    if (paso < 1 || paso > 32767)
        throw ErrorEjecucion(ErrorEjecucion::ValorPropiedadNoValido,
                             QStringLiteral("El valor de LargeChange no es válido: %1").arg(paso));
    barra_->setPageStep(paso);
}
