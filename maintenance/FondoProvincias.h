#pragma once
// The province window's background picture, painted for the size the window has on this screen
// instead of read from a bitmap drawn for one size: it covers the window at any scale and stays
// sharp on high-density screens.

#include <QImage>
#include <QSize>

// A picture `pixeles` logical pixels large, `proporcion` device pixels to each (the picture
// carries that ratio).
QImage FondoProvincias(const QSize& pixeles, qreal proporcion);
