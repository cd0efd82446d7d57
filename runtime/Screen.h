#pragma once

#include <QRect>
#include <QtGlobal>

// The screen as the windows see it, measured in twips (1440 to the inch). Every conversion
// between twips and pixels in the runtime goes through here, so a test can fix the screen
// size and the twips per pixel and get the same layout on any machine.
class Screen
{
public:
    // Size of the primary screen in twips (its logical pixel size times TwipsPerPixel).
    static double Width();
    static double Height();

    // 1440 / logical DPI of the primary screen: 15 at 96 dpi.
    static double TwipsPerPixelX();
    static double TwipsPerPixelY();

    // The part of the primary screen that windows may use (without the desktop's panels), in
    // twips from the screen's top left corner; with a fixed size, the whole of it.
    static QRect AreaDisponible();

    // Overrides for tests; Restablecer goes back to the real screen.
    static void FijarTamano(int anchoTwips, int altoTwips);
    static void FijarTwipsPorPixel(double twipsPorPixel);
    static void Restablecer();

    // Twips to pixels to the nearest pixel, and back.
    static int TwipsAPixelesX(double twips);
    static int TwipsAPixelesY(double twips);
    static int PixelesATwipsX(int pixeles);
    static int PixelesATwipsY(int pixeles);
};
