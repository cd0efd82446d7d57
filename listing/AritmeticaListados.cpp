#include "listing/AritmeticaListados.h"

#include "runtime/ErrorEjecucion.h"

#include <cmath>
#include <limits>

namespace AritmeticaListados {

const QString Zoom50 = QStringLiteral("50 %");
const QString Zoom100 = QStringLiteral("100 %");
const QString ZoomEncajar = QStringLiteral("Encajar en Pantalla");

namespace {

[[noreturn]] void Desbordamiento()
{
    throw ErrorEjecucion(ErrorEjecucion::Desbordamiento);
}

// Nearest whole number, a half to the even neighbour, whatever rounding mode the process has.
double RedondearPar(double valor)
{
    if (!std::isfinite(valor))
        Desbordamiento();
    const double abajo = std::floor(valor);
    const double resto = valor - abajo;
    if (resto > 0.5)
        return abajo + 1.0;
    if (resto < 0.5)
        return abajo;
    return std::fmod(abajo, 2.0) == 0.0 ? abajo : abajo + 1.0;
}

template <class T>
T Convertir(double valor)
{
    const double redondeado = RedondearPar(valor);
    if (redondeado < double(std::numeric_limits<T>::min()) || redondeado > double(std::numeric_limits<T>::max()))
        Desbordamiento();
    return static_cast<T>(redondeado);
}

// A sum or product of whole numbers that must still fit the runtime's Long.
long Largo(long long valor)
{
    if (valor < std::numeric_limits<qint32>::min() || valor > std::numeric_limits<qint32>::max())
        Desbordamiento();
    return static_cast<long>(valor);
}

}  // namespace

long RedondearLargo(double valor)
{
    return Convertir<qint32>(valor);
}

long DivisionEntera(double dividendo, double divisor)
{
    const long a = RedondearLargo(dividendo);
    const long b = RedondearLargo(divisor);
    if (b == 0)
        throw ErrorEjecucion(ErrorEjecucion::DivisionPorCero);
    return Largo(static_cast<long long>(a) / b);
}

double Dividir(double dividendo, double divisor)
{
    if (divisor == 0.0) {
        if (dividendo == 0.0)
            Desbordamiento();
        throw ErrorEjecucion(ErrorEjecucion::DivisionPorCero);
    }
    return dividendo / divisor;
}

short SiguientePagina(short pagina)
{
    if (pagina == std::numeric_limits<short>::max())
        Desbordamiento();
    return static_cast<short>(pagina + 1);
}

long AltoVisible(long altoVentana, long altoBarra, long altoOpciones)
{
    return Largo(static_cast<long long>(altoVentana) - altoBarra - altoOpciones - 200);
}

Composicion::Composicion(const QString& zoom, long altoVisible, long anchoVentana, long arribaTapa, long altoTapa)
    : zoom_(zoom), altoVisible_(altoVisible), anchoVentana_(anchoVentana), arribaTapa_(arribaTapa), altoTapa_(altoTapa)
{
}

long Composicion::Agregar(const TamanoPagina& pagina)
{
    // The gap between two pages, in twips.
    constexpr long separacion = 100;

    // Worked on a copy, so that a page that overflows leaves the column as it was.
    Columna columna = columna_;
    double alto = alto_;
    if (zoom_ == Zoom50)
        alto += double(pagina.alto) * 50.0 / 100.0;
    else if (zoom_ == Zoom100)
        alto += double(pagina.alto);
    else if (zoom_ == ZoomEncajar)
        alto += double(altoVisible_);

    if (paginas_ == 0)
        columna.altoPagina = RedondearLargo(alto);
    else
        alto += separacion;

    columna.ancho = RedondearLargo(Dividir(double(pagina.ancho) * double(columna.altoPagina), double(pagina.alto)));
    columna.arriba = Largo(static_cast<long long>(altoTapa_) + arribaTapa_);
    columna.izquierda = RedondearLargo((double(anchoVentana_) - double(columna.ancho)) / 2.0);
    // Max is a 32-bit whole number, not the runtime's 16-bit Integer: with 16 bits a preview
    // stops at about two thousand pages, and listings of twenty thousand must open.
    columna.maximo = RedondearLargo(Dividir(alto - double(altoVisible_), Dividir(double(altoVisible_), 10.0)));
    columna.barraVisible = double(altoVisible_) < alto;

    const long y = Largo((static_cast<long long>(columna.altoPagina) + separacion) * static_cast<long long>(paginas_));
    columna.alto = RedondearLargo(alto);

    columna_ = columna;
    alto_ = alto;
    ++paginas_;
    return y;
}

Columna ComponerColumna(const QString& zoom, const std::vector<TamanoPagina>& paginas, long altoVisible,
                        long anchoVentana, long arribaTapa, long altoTapa,
                        const std::function<void(int pagina, long y, const Columna& actual)>& pintar)
{
    Composicion composicion(zoom, altoVisible, anchoVentana, arribaTapa, altoTapa);
    for (std::size_t i = 0; i < paginas.size(); ++i) {
        const long y = composicion.Agregar(paginas[i]);
        if (pintar)
            pintar(int(i), y, composicion.Actual());
    }
    return composicion.Actual();
}

long ArribaColumna(int valor, int minimo, int maximo, long altoColumna, long altoVisible, long arribaTapa,
                   long altoTapa)
{
    const long long base = static_cast<long long>(altoTapa) + arribaTapa;
    // Visible height × position is computed in 64 bits: with 32-bit positions the product
    // outgrows a Long long before the column itself does.
    long arriba = Largo(base - static_cast<long long>(altoVisible) * valor / 10);
    if (valor == maximo)
        arriba = Largo(base - (static_cast<long long>(altoColumna) - altoVisible));
    if (valor == minimo)
        arriba = Largo(base);
    return arriba;
}

}  // namespace AritmeticaListados
