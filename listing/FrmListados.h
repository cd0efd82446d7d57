#pragma once
// frmListados: the screen preview of the listing. The report draws each page into an element of
// PicList; ShowP stacks scaled copies of all pages in the column Listado at the zoom chosen in
// CbxPor and shows the window modally over the whole screen; the scroll bar Scroll moves the column.
//
// The arithmetic of the zoom and scroll routines lives in AritmeticaListados, so that it can be
// checked on its own; the routines here apply it to the controls.

#include "ArregloControles.h"
#include "Form.h"
#include "PaginaListado.h"

#include <exception>

class Barra;
class ColumnaPaginas;
class ComboBox;
class Label;
class Line;
class PictureBox;
class ScrollBar;
class Shape;

class FrmListados : public Form
{
    Q_OBJECT
public:
    FrmListados();
    ~FrmListados() override;

    // Composes the column at "100 %" and shows the window modally; returns when it closes.
    void ShowP();

    // The height available to the column of pages, from the current sizes.
    long AltoVisible() const;

    PictureBox* PicFondo;
    Barra* Barra1;
    PictureBox* PicOpc;
    Label* Label1;
    ComboBox* CbxPor;
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

    // Runs a handler raised by the program itself: its error is kept for the code that raised it,
    // since it cannot cross the control's signal; raised by the user, it is reported as any event.
    template <class F>
    void Atender(F&& manejador);

    bool desdePrograma_ = false;
    std::exception_ptr errorPendiente_;
};
