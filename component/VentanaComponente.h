#pragma once
// What the public class does with its window, for any window class with a default instance.
// ClassProvincias applies it to FrmProvincias; keeping it generic lets the host hand-off be
// exercised with any window.

#include "component/DatosComunes.h"
#include "runtime/InstanciaPredeterminada.h"

namespace VentanaComponente {

// Stores the utilities object (the previous one is released), imports the common data and shows
// the window modeless and without an owner: loaded first when needed, only made visible when it
// is already loaded. A failure of the host leaves the window unshown.
template <class V>
void Cargar(std::shared_ptr<IUtilidades>& DatosClase)
{
    Comunes().Utiles = DatosClase;
    Comunes().CargarDatosComunes();
    InstanciaPredeterminada<V>::Obtener()->Show();
}

// Hides the window; a window that is not loaded is loaded by this call and stays hidden.
template <class V>
void Ocultar()
{
    InstanciaPredeterminada<V>::Obtener()->Hide();
}

// Unloads the window (its Form_Unload runs); a window that is not loaded is created first.
template <class V>
void Cerrar()
{
    InstanciaPredeterminada<V>::Obtener()->Unload();
}

} // namespace VentanaComponente
