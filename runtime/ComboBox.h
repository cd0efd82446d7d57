#pragma once

#include "runtime/Control.h"

class QComboBox;

// A drop-down list. Click is raised when the user picks an item and whenever the program
// assigns ListIndex. Its height follows its font: Height cannot be set.
class ComboBox : public Control
{
    Q_OBJECT
public:
    ComboBox(Form* formulario, const QString& nombre, Control* contenedor = nullptr);

    void AddItem(const QString& elemento);
    void AddItem(const QString& elemento, int indice);
    void RemoveItem(int indice);
    QString List(int indice) const;
    // -1 when nothing is selected; an index out of range raises run-time error 380.
    int ListIndex() const;
    void setListIndex(int indice);
    // The text of the selected item (or the typed text for an editable combo).
    QString Text() const;
    void setText(const QString& texto);
    // 0 editable drop-down, 2 drop-down list (the default).
    int Style() const { return estilo_; }
    void setStyle(int estilo);

    int Height() const override;

signals:
    void Click();

protected:
    void aplicarGeometria() override;
    void aplicarFuente() override;
    void aplicarColores() override;
    bool PuedeTenerFoco() const override { return true; }

private:
    QComboBox* combo_;
    int estilo_ = 2;
    bool asignando_ = false;
};
