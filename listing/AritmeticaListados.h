#pragma once
// The whole-number arithmetic of the listing and of its preview window, kept apart from the
// windows so that every rounding and every overflow can be checked on its own.
//
// Conversions follow the runtime: a value is rounded to the nearest whole number, a half going to
// the even neighbour, and a result outside the range of the target type raises run-time error 6
// ("Desbordamiento"); a division by zero raises error 11. Measures are in twips unless a name says
// otherwise.

#include <QString>
#include <functional>
#include <vector>

namespace AritmeticaListados {

// Whole number of 32 bits (the runtime's Long).
long RedondearLargo(double valor);
// The runtime's `a \ b`: both operands rounded to whole numbers first, then the quotient
// truncated toward zero.
long DivisionEntera(double dividendo, double divisor);
// The runtime's `a / b` in floating point, with its errors for a zero divisor.
double Dividir(double dividendo, double divisor);
// The page counter of the listing grown by one, with the overflow of its 16 bits.
short SiguientePagina(short pagina);

// Height available to the column of pages.
long AltoVisible(long altoVentana, long altoBarra, long altoOpciones);

// The zoom choices of the preview, in the order of its combo box.
extern const QString Zoom50;
extern const QString Zoom100;
extern const QString ZoomEncajar;

// Size of one page surface.
struct TamanoPagina {
    long ancho = 0;
    long alto = 0;
};

// What composing the column leaves: the column's geometry and the scroll bar's range.
struct Columna {
    long alto = 0;        // Listado.Height
    long altoPagina = 0;  // displayed height of one page
    long ancho = 0;       // Listado.Width
    long arriba = 0;      // Listado.Top
    long izquierda = 0;   // Listado.Left
    int maximo = 0;       // Scroll.Max
    bool barraVisible = false;
};

// Composes the column for the zoom text `zoom` page after page, as the zoom routine does, and
// lets pages keep arriving: after each Agregar the values are those that composing all the pages
// added so far at once would leave, the scroll position aside.
class Composicion
{
public:
    Composicion(const QString& zoom, long altoVisible, long anchoVentana, long arribaTapa, long altoTapa);

    // Adds the next page and returns its offset from the top of the column. Throws
    // ErrorEjecucion on overflow or a division by zero.
    long Agregar(const TamanoPagina& pagina);
    // The geometry as the pages added so far leave it; all zero before the first.
    const Columna& Actual() const { return columna_; }
    int Paginas() const { return paginas_; }
    const QString& Zoom() const { return zoom_; }

private:
    QString zoom_;
    long altoVisible_, anchoVentana_, arribaTapa_, altoTapa_;
    double alto_ = 0.0;
    int paginas_ = 0;
    Columna columna_;
};

// Composes the column of all the pages at once. For every page, `pintar(i, y, actual)` is called
// with the page's offset from the top of the column and the values as that page leaves them.
Columna ComponerColumna(const QString& zoom, const std::vector<TamanoPagina>& paginas, long altoVisible,
                        long anchoVentana, long arribaTapa, long altoTapa,
                        const std::function<void(int pagina, long y, const Columna& actual)>& pintar = {});

// Listado.Top for a scroll position, as the scroll routine computes it.
long ArribaColumna(int valor, int minimo, int maximo, long altoColumna, long altoVisible, long arribaTapa,
                   long altoTapa);

}  // namespace AritmeticaListados
