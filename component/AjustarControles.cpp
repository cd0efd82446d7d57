#include "component/AjustarControles.h"

#include "runtime/Controles.h"
#include "runtime/ErrorEjecucion.h"
#include "runtime/Form.h"
#include "runtime/Image.h"
#include "runtime/Line.h"

#include <cmath>
#include <limits>

namespace Escalado {

long Escalar(long valor, long actual, long base)
{
    if (base == 0)
        throw ErrorEjecucion(ErrorEjecucion::DivisionPorCero);
    const double resultado = std::trunc(double(valor) * double(actual) / double(base));
    if (resultado > double(std::numeric_limits<int>::max()) || resultado < double(std::numeric_limits<int>::min()))
        throw ErrorEjecucion(ErrorEjecucion::Desbordamiento);
    return long(resultado);
}

Geometria GeometriaDe(Control::Clase clase, bool controlEntradaAnfitrion)
{
    Q_UNUSED(controlEntradaAnfitrion);
    switch (clase) {
    case Control::Clase::ComboBox: return Geometria::SinAltura;
    case Control::Clase::Line: return Geometria::PuntosExtremos;
    case Control::Clase::Timer: return Geometria::Ninguna;
    default: return Geometria::Completa;
    }
}

Correccion CorreccionDe(Control::Clase clase, bool controlEntradaAnfitrion)
{
    switch (clase) {
    case Control::Clase::Label: return {-4, 10, false};
    case Control::Clase::TextBox: return {-3, -70, false};
    case Control::Clase::ComboBox: return {-3, 0, false};
    case Control::Clase::OptionButton: return {-2, 0, false};
    default: break;
    }
    if (controlEntradaAnfitrion)
        return {-2, 0, false};
    if (clase == Control::Clase::Image)
        return {0, 0, true};
    return {};
}

} // namespace Escalado

namespace {

void EscalarControl(Control& control, long anchoActual, long altoActual, long anchoBase, long altoBase)
{
    using namespace Escalado;
    const bool entrada = control.EsControlEntradaAnfitrion();
    auto horizontal = [&](long v) { return int(Escalar(v, anchoActual, anchoBase)); };
    auto vertical = [&](long v) { return int(Escalar(v, altoActual, altoBase)); };

    switch (GeometriaDe(control.TipoControl(), entrada)) {
    case Geometria::SinAltura:
        control.Move(horizontal(control.Left()), vertical(control.Top()), horizontal(control.Width()));
        break;
    case Geometria::PuntosExtremos: {
        auto* linea = qobject_cast<Line*>(&control);
        if (!linea)
            throw ErrorEjecucion(ErrorEjecucion::NoAdmitePropiedadOMetodo,
                                 QStringLiteral("El objeto no admite esta propiedad o método"));
        linea->setX1(horizontal(linea->X1()));
        linea->setX2(horizontal(linea->X2()));
        linea->setY1(vertical(linea->Y1()));
        linea->setY2(vertical(linea->Y2()));
        break;
    }
    case Geometria::Ninguna:
        break;
    case Geometria::Completa:
        control.Move(horizontal(control.Left()), vertical(control.Top()), horizontal(control.Width()),
                     vertical(control.Height()));
        break;
    }

    const Correccion correccion = CorreccionDe(control.TipoControl(), entrada);
    if (correccion.Puntos != 0)
        control.Font().setSize(control.Font().Size() + correccion.Puntos);
    if (correccion.Altura != 0)
        control.setHeight(control.Height() + correccion.Altura);
    if (correccion.Estirar) {
        auto* imagen = qobject_cast<Image*>(&control);
        if (!imagen)
            throw ErrorEjecucion(ErrorEjecucion::NoAdmitePropiedadOMetodo,
                                 QStringLiteral("El objeto no admite esta propiedad o método"));
        imagen->setStretch(true);
    }
}

} // namespace

void AjustarControles(Controles& Controles, long AnchoActual, long AltoActual, long AnchoBase, long AltoBase)
{
    const Control* barra = Controles.Buscar(QStringLiteral("Barra1"));
    const QString nombreBarra = barra ? barra->Name() : QString();
    for (Control* control : Controles) {
        if (barra && control->Name() == nombreBarra)
            continue;
        EscalarControl(*control, AnchoActual, AltoActual, AnchoBase, AltoBase);
    }
}

void AjustarControles(Form& Ventana, long AnchoActual, long AltoActual, long AnchoBase, long AltoBase)
{
    AjustarControles(Ventana.Controls(), AnchoActual, AltoActual, AnchoBase, AltoBase);
}
