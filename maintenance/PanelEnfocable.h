#pragma once

#include "runtime/PictureBox.h"

// A picture box that can take the keyboard focus, as picture boxes do on the platform the
// window was designed for: the window parks the focus on its data panel after a save or a
// cancel, so that neither edit field keeps it.
class PanelEnfocable : public PictureBox
{
public:
    PanelEnfocable(Form* formulario, const QString& nombre, Control* contenedor = nullptr)
        : PictureBox(formulario, nombre, contenedor)
    {
        // The base constructor set the focus policy before this class existed; setting the tab
        // stop again applies the policy of a control that can take the focus.
        setTabStop(true);
    }

protected:
    bool PuedeTenerFoco() const override { return true; }
};
