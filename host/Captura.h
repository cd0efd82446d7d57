#pragma once
// A picture of the whole screen, as the user sees it.

#include <QImage>

// The screen as the window system shows it. Where the platform cannot grab the screen (the
// offscreen platform), the visible windows are composed, bottom first, on the screen's size.
QImage CapturarPantalla();
