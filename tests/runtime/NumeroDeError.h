#pragma once

#include "ErrorEjecucion.h"

#include <functional>

// The runtime error number an action raises, 0 when it raises none.
inline int numeroDeError(const std::function<void()>& accion)
{
    try {
        accion();
    } catch (const ErrorEjecucion& e) {
        return e.Number();
    }
    return 0;
}
