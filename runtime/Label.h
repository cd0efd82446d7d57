#pragma once

#include "runtime/Control.h"

class QLabel;

// A label: a caption on an opaque or transparent background.
class Label : public Control
{
    Q_OBJECT
public:
    Label(Form* formulario, const QString& nombre, Control* contenedor = nullptr);

    QString Caption() const;
    void setCaption(const QString& texto);
    // 0 left, 1 right, 2 centre.
    int Alignment() const { return alineacion_; }
    void setAlignment(int alineacion);
    // 0 transparent, 1 opaque.
    void setBackStyle(int estilo);
    void setWordWrap(bool ajustar);

signals:
    void Click();

protected:
    bool TieneVentana() const override { return false; }
    void aplicarColores() override;

private:
    QLabel* etiqueta_;
    int alineacion_ = 0;
    int estiloFondo_ = 1;
};
