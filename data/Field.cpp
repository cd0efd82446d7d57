#include "data/Field.h"

#include "data/Recordset.h"

QVariant Field::Value() const
{
    return m_recordset->ValorColumna(m_columna);
}

QString Field::Name() const
{
    return m_recordset->NombreColumna(m_columna);
}
