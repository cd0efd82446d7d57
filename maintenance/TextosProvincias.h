#pragma once

#include <QString>

// Every text the province window shows or hands to the host, in one place. The system's own
// texts are kept exactly as users and other tools have always seen them, odd spelling and
// trailing blanks included.
namespace TextosProvincias {

// Window and control captions.
inline const QString VentanaCaption = QStringLiteral("Provincias");
inline const QString BarraCaption = QStringLiteral("Ficha de Provincias");
inline const QString Nuevo = QStringLiteral("Nuevo");
inline const QString Grabar = QStringLiteral("Grabar");
inline const QString Buscar = QStringLiteral("Buscar");
inline const QString Cancelar = QStringLiteral("Cancelar");
inline const QString Borrar = QStringLiteral("Borrar");
// Stored captions of the labels, replaced by the host's texts when the window loads.
inline const QString LblProvDiseno = QStringLiteral("Provincias");
inline const QString LblDatosProvinciasDiseno = QStringLiteral("Datos Provincias");
inline const QString LblCodigoDiseno = QStringLiteral("Código:");
inline const QString LblProvinciaDiseno = QStringLiteral("Provincia:");

// Fields of the host's interface texts read by the window.
inline const QString CampoCodigo = QStringLiteral("Codigo");
inline const QString CampoProvincia = QStringLiteral("Provincia");
inline const QString CampoProvincias = QStringLiteral("Provincias");
inline const QString CampoDatosProvincias = QStringLiteral("Datos Provincias");

// Message titles.
inline const QString TituloAtencion = QStringLiteral("Atención");
inline const QString TituloError = QStringLiteral("Error");
inline const QString TituloAviso = QStringLiteral("Aviso");
inline const QString SinTitulo = QString();

// Messages.
inline const QString DeseaGuardar = QStringLiteral("¿Desea guardar este registro?");
inline const QString RegistroEliminado = QStringLiteral("El Registro fue Eliminado por Otro Usuario");
inline const QString ProvinciaNoEncontrada = QStringLiteral("Error no se encontró la Provincia");
inline const QString CodigoYaExiste = QStringLiteral("El Código de la Provincia Ya Existe");
inline const QString CodigoEnBlanco = QStringLiteral("El Código no puede estar en blanco");
inline const QString ProvinciaEnBlanco = QStringLiteral("La Provincia no puede estar en blanco");
inline const QString NoSePudoModificar = QStringLiteral("No se pudo modificar el registro");
inline const QString CodigoDuplicado = QStringLiteral("Este Código ya exite ");
inline const QString DeseaEliminar = QStringLiteral("¿Desea eliminar este registro?");
inline const QString ImposibleBorrar =
    QStringLiteral("Error, Registro imposible de borrar, existen datos relacionados con otras tablas");
// A code that would change the meaning of the statements it is pasted into.
inline const QString CodigoNoValido = QStringLiteral(
    "El Código no puede contener comillas ('), los caracteres % _ * [ \\ ni caracteres de control. "
    "Escriba un código formado solo por letras, números o espacios.");
// A stored code of that kind: deleting by it could reach other rows.
inline const QString CodigoNoBorrable = QStringLiteral(
    "Esta provincia tiene un código con comillas, caracteres % _ * [ \\ o de control y no puede "
    "borrarse desde esta ventana: el borrado podría alcanzar a otras provincias.");

// "Nº Error:" followed by the number in decimal, a line break and the description.
inline QString NumeroError(long numero, const QString& descripcion)
{
    return QStringLiteral("Nº Error:") + QString::number(numero) + QStringLiteral("\r\n") + descripcion;
}

// Arguments of the host's search window.
inline const QString TablaBusqueda = QStringLiteral("Provincias");
inline const QString CampoBusqueda = QStringLiteral("Codigo");
inline const QString ModoBusqueda = QStringLiteral("Modal");

} // namespace TextosProvincias
