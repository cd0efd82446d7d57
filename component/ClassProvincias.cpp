#include "component/ClassProvincias.h"

// Upward by design: the public class shows the maintenance window (the objects meet in libquiltren.so).
#include "maintenance/FrmProvincias.h"
#include "component/VentanaComponente.h"

// The one place in the component that knows the maintenance window.

void ClassProvincias::Cargar(std::shared_ptr<IUtilidades>& DatosClase)
{
    VentanaComponente::Cargar<FrmProvincias>(DatosClase);
}

void ClassProvincias::Ocultar()
{
    VentanaComponente::Ocultar<FrmProvincias>();
}

void ClassProvincias::Cerrar()
{
    VentanaComponente::Cerrar<FrmProvincias>();
}
