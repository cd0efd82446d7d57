#pragma once
// One element of the preview window's control array PicList: a hidden page picture that keeps its
// drawing as a recording (SuperficiePagina) rather than as pixels, so that thousands of pages cost
// little. It has no widget of its own: it is never shown, the column of pages replays it.

#include "runtime/Control.h"
#include "printing/SuperficiePagina.h"

class PaginaListado : public Control
{
    Q_OBJECT
public:
    PaginaListado(Form* formulario, const QString& nombre, Control* contenedor = nullptr);

    // The drawing surface of the page; its size and position are the control's.
    SuperficiePagina& Superficie() { return superficie_; }
    const SuperficiePagina& Superficie() const { return superficie_; }

    int Left() const override { return superficie_.Left(); }
    int Top() const override { return superficie_.Top(); }
    int Width() const override { return superficie_.Width(); }
    int Height() const override { return superficie_.Height(); }

    // A new element takes over the size, scale and drawing settings of the first one, not its drawing.
    void CopiarPropiedadesDe(const Control& otro) override;

private:
    SuperficiePagina superficie_;
};
