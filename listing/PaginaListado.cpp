#include "listing/PaginaListado.h"

PaginaListado::PaginaListado(Form* formulario, const QString& nombre, Control* contenedor)
    : Control(Clase::PictureBox, formulario, nombre, contenedor)
{
}

void PaginaListado::CopiarPropiedadesDe(const Control& otro)
{
    Control::CopiarPropiedadesDe(otro);
    if (auto* pagina = qobject_cast<const PaginaListado*>(&otro))
        superficie_.CopiarAjustes(pagina->superficie_);
}
