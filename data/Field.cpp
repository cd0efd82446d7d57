#include "data/Field.h"

#include "data/Recordset.h"

QVariant Field::Value() const
{
    return recordset_->ValorColumna(columna_);
}

QString Field::Name() const
{
    return recordset_->NombreColumna(columna_);
}
