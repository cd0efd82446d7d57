#include "runtime/ComboBox.h"

#include "runtime/ErrorEjecucion.h"
#include "runtime/Screen.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QPointer>
#include <QProxyStyle>
#include <QStyleOptionComboBox>

namespace {

// The platform's combo box gives its text all the width left of a narrow arrow button; the
// desktop style keeps wide margins and a wide button, and a longest item that the platform
// shows whole would lose its last letters.
class EstiloCombo : public QProxyStyle
{
public:
    QRect subControlRect(ComplexControl control, const QStyleOptionComplex* opcion, SubControl parte,
                         const QWidget* widget) const override
    {
        if (control != CC_ComboBox || !opcion)
            return QProxyStyle::subControlRect(control, opcion, parte, widget);
        const QRect caja = opcion->rect;
        const int boton = qMin(16, caja.width() / 2);
        switch (parte) {
        case SC_ComboBoxArrow:
            return QRect(caja.right() - boton, caja.top() + 1, boton, caja.height() - 2);
        case SC_ComboBoxEditField:
            return QRect(caja.left() + 2, caja.top() + 2, caja.width() - boton - 4, caja.height() - 4);
        default:
            return QProxyStyle::subControlRect(control, opcion, parte, widget);
        }
    }
};

QStyle* Estilo()
{
    static QPointer<EstiloCombo> estilo;
    if (!estilo) {
        estilo = new EstiloCombo;
        estilo->setParent(QCoreApplication::instance());
    }
    return estilo;
}

} // namespace

ComboBox::ComboBox(Form* formulario, const QString& nombre, Control* contenedor)
    : Control(Clase::ComboBox, formulario, nombre, contenedor)
{
    combo_ = new QComboBox;
    combo_->setStyle(Estilo());
    combo_->setEditable(false);
    combo_->setInsertPolicy(QComboBox::NoInsert);
    setBackColor(Qt::white);
    setForeColor(Qt::black);
    // The user's pick, even of the item already shown, is a click; the program's own
    // assignments raise it in setListIndex.
    connect(combo_, &QComboBox::activated, this, [this](int) {
        if (!asignando_)
            AtenderEvento([this] { emit Click(); });
    });
    inicializar(combo_);
}

void ComboBox::AddItem(const QString& elemento)
{
    AddItem(elemento, combo_->count());
}

void ComboBox::AddItem(const QString& elemento, int indice)
{
    if (indice < 0 || indice > combo_->count())
        throw ErrorEjecucion(ErrorEjecucion::ValorPropiedadNoValido,
                             QStringLiteral("Índice no válido para AddItem: %1").arg(indice));
    // Qt selects the first item added to an empty list; the platform leaves ListIndex at -1.
    const int actual = combo_->currentIndex();
    asignando_ = true;
    combo_->insertItem(indice, elemento);
    if (actual < 0)
        combo_->setCurrentIndex(-1);
    asignando_ = false;
}

void ComboBox::RemoveItem(int indice)
{
    if (indice < 0 || indice >= combo_->count())
        throw ErrorEjecucion(ErrorEjecucion::ValorPropiedadNoValido,
                             QStringLiteral("Índice no válido para RemoveItem: %1").arg(indice));
    asignando_ = true;
    combo_->removeItem(indice);
    asignando_ = false;
}

QString ComboBox::List(int indice) const
{
    if (indice < 0 || indice >= combo_->count())
        return QString();
    return combo_->itemText(indice);
}

int ComboBox::ListIndex() const
{
    return combo_->currentIndex();
}

void ComboBox::setListIndex(int indice)
{
    if (indice < -1 || indice >= combo_->count())
        throw ErrorEjecucion(ErrorEjecucion::ValorPropiedadNoValido,
                             QStringLiteral("El valor de ListIndex no es válido: %1").arg(indice));
    asignando_ = true;
    combo_->setCurrentIndex(indice);
    asignando_ = false;
    if (indice >= 0)
        emit Click();
}

QString ComboBox::Text() const
{
    return combo_->currentText();
}

void ComboBox::setText(const QString& texto)
{
    asignando_ = true;
    if (combo_->isEditable())
        combo_->setEditText(texto);
    else
        combo_->setCurrentIndex(combo_->findText(texto, Qt::MatchExactly));
    asignando_ = false;
}

void ComboBox::setStyle(int estilo)
{
    if (estilo != 0 && estilo != 2)
        throw ErrorEjecucion(ErrorEjecucion::ValorPropiedadNoValido,
                             QStringLiteral("El valor de Style no es válido: %1").arg(estilo));
    estilo_ = estilo;
    combo_->setEditable(estilo == 0);
    aplicarColores();
}

int ComboBox::Height() const
{
    return Screen::PixelesATwipsY(combo_->sizeHint().height());
}

void ComboBox::aplicarGeometria()
{
    // The height follows the font, as the platform's combo box does.
    height_ = Height();
    Control::aplicarGeometria();
}

void ComboBox::aplicarFuente()
{
    Control::aplicarFuente();
    if (Widget())
        aplicarGeometria();
}

void ComboBox::aplicarColores()
{
    QPalette paleta = combo_->palette();
    if (BackColor().isValid()) {
        paleta.setColor(QPalette::Base, BackColor());
        paleta.setColor(QPalette::Button, BackColor());
    }
    if (ForeColor().isValid()) {
        paleta.setColor(QPalette::Text, ForeColor());
        paleta.setColor(QPalette::ButtonText, ForeColor());
    }
    combo_->setPalette(paleta);
}
