#include "runtime/Colores.h"

#include <QApplication>
#include <QPalette>

namespace Colores {

QColor TextoVentana()
{
    return QApplication::palette().color(QPalette::Active, QPalette::Text);
}

QColor FondoVentana()
{
    return QApplication::palette().color(QPalette::Active, QPalette::Base);
}

QColor TextoResaltado()
{
    return QApplication::palette().color(QPalette::Active, QPalette::HighlightedText);
}

} // namespace Colores
