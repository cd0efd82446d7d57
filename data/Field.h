#pragma once

#include <QString>
#include <QVariant>

class Recordset;

// One column of a recordset's current row. It refers to its recordset, so it is valid only
// while that recordset lives; it always reads the row that is current when Value() is called.
class Field {
public:
    Field(const Recordset* recordset, int columna) : recordset_(recordset), columna_(columna) {}

    // The value at the current row (the pending value while a row is being edited or added).
    // Throws ErrorDatos SinRegistroActual at BOF or EOF.
    QVariant Value() const;
    // The column's name as the engine reports it (PostgreSQL folds unquoted names to lower case).
    QString Name() const;

private:
    const Recordset* recordset_;
    int columna_;
};
