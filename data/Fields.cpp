#include "data/Fields.h"

#include "data/ErrorDatos.h"
#include "data/ErroresDatos.h"
#include "data/Recordset.h"

int Fields::Count() const
{
    return m_recordset->NumeroColumnas();
}

Field Fields::Item(int indice) const
{
    if (indice < 0 || indice >= m_recordset->NumeroColumnas())
        throw ErrorDatos(ErroresDatos::CampoNoEncontrado, QStringLiteral("No existe el campo número %1.").arg(indice));
    return Field(m_recordset, indice);
}

Field Fields::Item(QAnyStringView nombre) const
{
    return m_recordset->Fields(nombre);
}
