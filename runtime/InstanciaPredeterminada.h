#pragma once

#include "runtime/ErrorEjecucion.h"
#include "runtime/Form.h"

// The one default instance of a window class, created on first use and dropped when the
// window unloads. Referencia() is the slot itself, for host code that receives it by
// reference: what the host leaves there becomes the default instance.
template <class T>
class InstanciaPredeterminada
{
public:
    static T* Obtener()
    {
        if (!ranura) {
            T* nueva = new T;
            nueva->ranura_ = &ranura;
            ranura = nueva;
        }
        T* instancia = dynamic_cast<T*>(ranura);
        if (!instancia)
            throw ErrorEjecucion(ErrorEjecucion::TiposNoCoinciden);
        // A window the host put in the slot is dropped from it on unload as well.
        instancia->ranura_ = &ranura;
        return instancia;
    }
    static Form*& Referencia() { return ranura; }
    static bool Existe() { return ranura != nullptr; }

private:
    static inline Form* ranura = nullptr;
};
