#pragma once
// The listing of the province table: the print command of the maintenance window's printer
// picture and the four routines that draw the report on any SuperficieDestino (printer, PDF or a
// page of the preview window). The same routines serve every destination.
//
// The routines keep the state of one print (page counter, page-break line) in the listing being
// drawn, and read the connection and the word for page from the component's common data.

#include <QColor>
#include <QDate>
#include <QImage>
#include <QPointer>
#include <QString>
#include <functional>
#include <memory>

class Form;
class IDialogoImpresion;
class SuperficieDestino;

// Told the number of pages finished so far, after every page's footer.
using AvisoPaginas = std::function<void(int paginas)>;

// The print command (the click of ImgImpresora). VentanaProvincias is the maintenance window's
// default instance reference: it is handed to the host's print dialog, and the reference the host
// leaves there is stored back. Returns when the printer document has ended or the preview closed.
// Errors of the dialog, the database or the printer reach the caller; a range holding a single
// quote is refused with a message and nothing is drawn.
void ComandoImprimir(Form*& VentanaProvincias);

// Draws the listing for the options of Dialogo on the destination chosen: "Pantalla" (the preview
// window) or a printer's device name (the current printer when no name matches; the PDF printer
// writes Dialogo.ArchivoPdf()). VentanaProvincias (may be null) gives the colour of the title band.
// Aviso hears of every finished page. On a printer, Dibujado is called once the last page is drawn,
// before the document ends; on screen, once the first page is drawn, before the preview shows: the
// preview draws the rest while it is already on screen. Returns the number of pages drawn by then.
// A failure abandons the printer document or unloads the preview window and reaches the caller.
int ImprimirEnDestino(const IDialogoImpresion& Dialogo, const QString& Destino, Form* VentanaProvincias,
                      const AvisoPaginas& Aviso = {}, const std::function<void()>& Dibujado = {});

// One print of the listing, from the print dialog's answer to the last footer, drawn one page at a
// time on a printer or on the pages of the preview. Comenzar draws the first page's header and
// titles and opens the statement the options choose; each DibujarPagina draws rows until that page
// ends with its footer. The printer draws every page in one go, the preview one slice of pages
// after another while it is on screen. Dropping it mid-way closes its recordset.
class ListadoEnCurso
{
public:
    // The options are read now: the dialog may be gone before the last page is drawn.
    ListadoEnCurso(const IDialogoImpresion& Dialogo, const QString& Destino, Form* VentanaProvincias,
                   AvisoPaginas Aviso = {});
    ~ListadoEnCurso();
    ListadoEnCurso(const ListadoEnCurso&) = delete;
    ListadoEnCurso& operator=(const ListadoEnCurso&) = delete;

    // Sets the surface up as every destination of the listing needs it (centimetres, transparent
    // text, hollow rectangles); the size of the page is the caller's, who knows the surface.
    void Preparar(SuperficieDestino& Superficie);
    // A range holding a single quote is refused before anything is drawn.
    void Comenzar(SuperficieDestino* Superficie);
    // Draws the next page, the footer included; false once that was the last one (the
    // recordset is then closed). Every page but the first is the surface's next page.
    bool DibujarPagina();
    // The whole report at once: Comenzar and every page; Superficie is left at the last page.
    void ImprimirListado(SuperficieDestino*& Superficie);
    void ImprimirCabecera(SuperficieDestino& Superficie);
    void ImprimirTitulos(SuperficieDestino& Superficie);
    void ImprimirPie(SuperficieDestino& Superficie);

    // The destination chosen ("Pantalla", "Null Impresora" or a printer), the pages finished, the
    // lowest position (cm) a row may still be printed at, and the background mode the last
    // SetBkMode replaced (never read).
    QString Destino;
    short NumeroPagina = 0;
    double LimiteInferior = 0;
    long ModoFondoAnterior = 0;

private:
    struct Filas;
    bool ordenPorCodigo_, conRango_;
    QString desde_, hasta_;
    SuperficieDestino* superficie_ = nullptr;
    QPointer<Form> ventana_;
    AvisoPaginas aviso_;
    std::unique_ptr<Filas> filas_;
    bool saltoPendiente_ = false;
};

namespace ListadoProvincias {

// The statement of the listing: the whole table, or the codes from Desde to Hasta when ConRango
// is set and Desde is not empty.
QString Sentencia(bool OrdenPorCodigo, bool ConRango, const QString& CodigoDesde, const QString& CodigoHasta);
// Whether the codes the statement would carry are free of single quotes.
bool RangoAceptable(bool ConRango, const QString& CodigoDesde, const QString& CodigoHasta);

// The title band's colour: the back colour of the window's LblCodigo, or the colour that window
// gives it when there is no window (a listing made without it).
QColor ColorBanda(Form* VentanaProvincias);
inline const QColor ColorBandaPredeterminado = QColor(0xC0, 0xC0, 0xFF);

// A date in the long Spanish form, e.g. "domingo, 6 de diciembre de 2026".
QString FechaLarga(const QDate& fecha);

// The background picture of the pages ("fotos\fondo.bmp" relative to the current folder, with the
// separator of this system; else in the data folder installed with the library), or a null
// picture when it is missing or unreadable.
QImage ImagenFondo();

}  // namespace ListadoProvincias
