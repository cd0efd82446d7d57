#pragma once

#include "data/Field.h"

#include <QAnyStringView>
#include <QString>

// The columns of a recordset, looked up by position or by name (names ignore letter case).
class Fields {
public:
    explicit Fields(const Recordset* recordset) : recordset_(recordset) {}

    int Count() const;
    // Throws ErrorDatos CampoNoEncontrado when there is no such column.
    Field Item(int indice) const;
    Field Item(QAnyStringView nombre) const;
    Field operator()(QAnyStringView nombre) const { return Item(nombre); }
    Field operator()(int indice) const { return Item(indice); }

private:
    const Recordset* recordset_;
};
