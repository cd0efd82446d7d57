#pragma once

#include <QColor>

// Colours as the windows store them: the &H00BBGGRR value of the platform, or a system colour.
namespace Colores {

// &H00BBGGRR (blue in the high byte, red in the low one) to a QColor.
inline QColor Ole(quint32 bbggrr)
{
    return QColor(int(bbggrr & 0xFF), int((bbggrr >> 8) & 0xFF), int((bbggrr >> 16) & 0xFF));
}

// The QColor back to its &H00BBGGRR value.
inline quint32 AOle(const QColor& c)
{
    return quint32(c.red()) | (quint32(c.green()) << 8) | (quint32(c.blue()) << 16);
}

QColor TextoVentana();       // the system window-text colour
QColor FondoVentana();       // the system window colour
QColor TextoResaltado();     // the system highlight-text colour

} // namespace Colores
