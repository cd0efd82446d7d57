#pragma once
// frmListados: the screen preview of the listing. The report draws each page into an element of
// PicList; ShowP stacks scaled copies of all pages in the column Listado at the zoom chosen in
// CbxPor and shows the window modally over the whole screen; the scroll bar Scroll moves the column.
//
// The arithmetic of the zoom and scroll routines lives in AritmeticaListados, so that it can be
// checked on its own; the routines here apply it to the controls.
//
// A long listing need not be drawn in full before the window shows: given the rest of its drawing
// (SeguirDibujando), the window draws it in short slices of whole pages between the user's events
// while it is on screen, and the column, the scroll range and the page count in the options bar
// grow with every slice until they stand where composing all the pages at once leaves them.
// Closing the window stops the drawing and drops the listing at once.

#include "runtime/ArregloControles.h"
#include "runtime/Form.h"
#include "listing/PaginaListado.h"

#include <exception>
#include <functional>
#include <memory>

class Barra;
class ColumnaPaginas;
class ComboBox;
class Label;
class Line;
class PictureBox;
class QTimer;
class ScrollBar;
class Shape;

namespace AritmeticaListados {
class Composicion;
}

class FrmListados : public Form
{
    Q_OBJECT
public:
    FrmListados();
    ~FrmListados() override;

    // Composes the column at "100 %" and shows the window modally; returns when it closes.
    void ShowP();

    // Hands over the rest of the listing: `dibujarPagina` draws the next whole page into a new
    // element of PicList and answers whether more follow. ShowP then draws the pages while the
    // window is shown; an error of the drawing unloads the window and is raised by ShowP.
    void SeguirDibujando(std::function<bool()> dibujarPagina);
    // Whether pages are still to be drawn.
    bool Dibujando() const { return bool(dibujarPagina_); }

    // The height available to the column of pages, from the current sizes.
    long AltoVisible() const;

    PictureBox* PicFondo;
    Barra* Barra1;
    PictureBox* PicOpc;
    Label* Label1;
    ComboBox* CbxPor;
    // How many pages are drawn, and whether more are coming.
    Label* LblPaginas;
    PictureBox* PicTapa;
    ColumnaPaginas* Listado;
    ArregloControles<PictureBox> PicCamPag;
    ArregloControles<Line> LineArriba;
    ArregloControles<Line> LineAbajo;
    ArregloControles<PaginaListado> PicList;
    ScrollBar* Scroll;
    Shape* DivScroll;

protected:
    void Form_Load() override;
    void Form_Activate() override;
    void Form_Unload(int& Cancel) override;

private:
    // The zoom routine (Click of CbxPor), the scroll routine (Change of Scroll) and the close
    // request of the title bar.
    void CbxPor_Click();
    void Scroll_Change();
    void Barra1_SolicitudCierre();
    void Listado_Rueda(int pasos);

    // Places in the column the pages drawn since it was last composed.
    void ColocarPaginas();
    // One slice of the drawing: whole pages for a few milliseconds, then the column grows.
    void DibujarTanda();
    // The column and the scroll range as the pages placed so far leave them, the column staying
    // at the user's scroll position.
    void CrecerColumna();
    void TerminarDibujo();
    void MostrarCuenta();

    // Runs a handler raised by the program itself: its error is kept for the code that raised it,
    // since it cannot cross the control's signal; raised by the user, it is reported as any event.
    template <class F>
    void Atender(F&& manejador);

    bool desdePrograma_ = false;
    std::exception_ptr errorPendiente_;

    std::function<bool()> dibujarPagina_;
    QTimer* tanda_;
    std::unique_ptr<AritmeticaListados::Composicion> composicion_;
    // The drawing's error for ShowP; shared, since the window may be gone when ShowP reads it.
    std::shared_ptr<std::exception_ptr> falloDibujo_ = std::make_shared<std::exception_ptr>();
};
