#include "data/Fields.h"

#include "data/ErrorDatos.h"
#include "data/ErroresDatos.h"
#include "data/Recordset.h"

int Fields::Count() const
{
    return recordset_->NumeroColumnas();
}

Field Fields::Item(int indice) const
{
    if (indice < 0 || indice >= recordset_->NumeroColumnas())
        throw ErrorDatos(ErroresDatos::CampoNoEncontrado, QStringLiteral("No existe el campo número %1.").arg(indice));
    return Field(recordset_, indice);
}

Field Fields::Item(QAnyStringView nombre) const
{
    return recordset_->Fields(nombre);
}
