#include "runtime/Screen.h"

#include <QGuiApplication>
#include <QScreen>
#include <cmath>

namespace {

// Overrides set by tests; zero means "ask the real screen".
int anchoFijado = 0;
int altoFijado = 0;
double twipsFijados = 0.0;

double twipsReales(bool horizontal)
{
    const QScreen* pantalla = QGuiApplication::primaryScreen();
    if (!pantalla)
        return 15.0;
    const double ppp = horizontal ? pantalla->logicalDotsPerInchX() : pantalla->logicalDotsPerInchY();
    return ppp > 0 ? 1440.0 / ppp : 15.0;
}

QSize pixelesPantalla()
{
    const QScreen* pantalla = QGuiApplication::primaryScreen();
    return pantalla ? pantalla->size() : QSize(1024, 768);
}

} // namespace

double Screen::TwipsPerPixelX()
{
    return twipsFijados > 0 ? twipsFijados : twipsReales(true);
}

double Screen::TwipsPerPixelY()
{
    return twipsFijados > 0 ? twipsFijados : twipsReales(false);
}

double Screen::Width()
{
    if (anchoFijado > 0)
        return anchoFijado;
    return std::round(pixelesPantalla().width() * TwipsPerPixelX());
}

double Screen::Height()
{
    if (altoFijado > 0)
        return altoFijado;
    return std::round(pixelesPantalla().height() * TwipsPerPixelY());
}

QRect Screen::AreaDisponible()
{
    const QScreen* pantalla = QGuiApplication::primaryScreen();
    if (anchoFijado > 0 || altoFijado > 0 || !pantalla)
        return QRect(0, 0, int(Width()), int(Height()));
    const QRect area = pantalla->availableGeometry().translated(-pantalla->geometry().topLeft());
    const int izquierda = PixelesATwipsX(area.left());
    const int arriba = PixelesATwipsY(area.top());
    return QRect(izquierda, arriba, PixelesATwipsX(area.left() + area.width()) - izquierda,
                 PixelesATwipsY(area.top() + area.height()) - arriba);
}

void Screen::FijarTamano(int anchoTwips, int altoTwips)
{
    anchoFijado = anchoTwips > 0 ? anchoTwips : 0;
    altoFijado = altoTwips > 0 ? altoTwips : 0;
}

void Screen::FijarTwipsPorPixel(double twipsPorPixel)
{
    twipsFijados = twipsPorPixel > 0 ? twipsPorPixel : 0.0;
}

void Screen::Restablecer()
{
    anchoFijado = altoFijado = 0;
    twipsFijados = 0.0;
}

int Screen::TwipsAPixelesX(double twips)
{
    return int(std::lround(twips / TwipsPerPixelX()));
}

int Screen::TwipsAPixelesY(double twips)
{
    return int(std::lround(twips / TwipsPerPixelY()));
}

int Screen::PixelesATwipsX(int pixeles)
{
    return int(std::lround(pixeles * TwipsPerPixelX()));
}

int Screen::PixelesATwipsY(int pixeles)
{
    return int(std::lround(pixeles * TwipsPerPixelY()));
}
