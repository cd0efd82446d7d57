#pragma once
// The component's one creatable class, ProgID "Quiltren.ClassProvincias". It keeps no state of
// its own: what it receives lives in DatosComunes, and the window is the default instance of
// FrmProvincias. Every failure (of the host, of the window's load) reaches the caller as the
// exception that caused it; nothing is trapped here.

#include "component/InterfazClassProvincias.h"

#include <QObject>

class ClassProvincias : public QObject, public _ClassProvincias
{
    Q_OBJECT
    Q_INTERFACES(_ClassProvincias)
public:
    ClassProvincias() = default;

    void Cargar(std::shared_ptr<IUtilidades>& DatosClase) override;
    void Ocultar() override;
    void Cerrar() override;
};
