#pragma once

#include <QList>
#include <QString>

class Control;

// A window's Controls collection: every control in the order it was created.
class Controles
{
public:
    int Count() const { return int(lista_.size()); }
    // By position 0..Count-1; a position out of range raises run-time error 9.
    Control* Item(int indice) const;
    // By name (case-insensitive, as the platform looks names up); the first element of a
    // control array answers for the array. An unknown name raises run-time error 730.
    Control* Item(const QString& nombre) const;
    // nullptr instead of an error when the name is not there.
    Control* Buscar(const QString& nombre) const;
    Control* operator[](int indice) const { return Item(indice); }

    QList<Control*>::const_iterator begin() const { return lista_.cbegin(); }
    QList<Control*>::const_iterator end() const { return lista_.cend(); }

private:
    friend class Control;
    friend class Form;
    void agregar(Control* c) { lista_.append(c); }
    void quitar(Control* c) { lista_.removeOne(c); }

    QList<Control*> lista_;
};
