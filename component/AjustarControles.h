#pragma once
// Scaling of a window laid out for one screen size to the current screen: every control moves
// and resizes in proportion, with fixed corrections of fonts and heights afterwards. The caller
// decides whether to scale (only when Screen.Width differs from AnchoBase) and sets any grid
// column widths again afterwards.

#include "runtime/Control.h"

class Controles;
class Form;

namespace Escalado {

// Whether a window laid out for AnchoBase must be scaled on a screen AnchoPantalla wide (both in
// twips, compared as floating-point numbers). The height never decides.
inline bool HayQueAjustar(double AnchoPantalla, long AnchoBase)
{
    return AnchoPantalla != double(AnchoBase);
}

// value × actual ÷ base, computed in double (product first), truncated toward zero.
// A zero base raises run-time error 11, a result beyond a Long raises 6.
long Escalar(long valor, long actual, long base);

// How a control's geometry is scaled, by class, tested in this order: combo boxes keep the
// height their font gives them, lines move their end points, timers have no position, and every
// other control moves and resizes whole.
enum class Geometria { SinAltura, PuntosExtremos, Ninguna, Completa };
Geometria GeometriaDe(Control::Clase clase, bool controlEntradaAnfitrion);

// The fixed corrections applied after the geometry, whatever the ratio: points taken from the
// font, twips added to the height, and whether an image stretches its picture.
struct Correccion
{
    double Puntos = 0;
    int Altura = 0;
    bool Estirar = false;
};
Correccion CorreccionDe(Control::Clase clase, bool controlEntradaAnfitrion);

} // namespace Escalado

// Scales every control of the collection, in its order, from the design screen (AnchoBase ×
// AltoBase) to the current one (AnchoActual × AltoActual), all in twips. The title bar Barra1
// (found by name) keeps its design geometry and font. No error is trapped: the first failure ends
// the routine with the controls before it already scaled.
void AjustarControles(Controles& Controles, long AnchoActual, long AltoActual, long AnchoBase,
                      long AltoBase);
void AjustarControles(Form& Ventana, long AnchoActual, long AltoActual, long AnchoBase, long AltoBase);
