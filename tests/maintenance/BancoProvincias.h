#pragma once
// The bench the window tests run on: a province database of the test's own (SQLite, or PostgreSQL
// when QUILTREN_MOTOR is "postgresql"), the host's scripted objects, the component's public class
// showing the window, and the clicks and keys a user would give it.

#include "BasePrueba.h"
#include "ClassProvincias.h"
#include "Falsos.h"
#include "FrmProvincias.h"

#include <QStringList>
#include <memory>

// What the user reads, written out here so that a changed word in the window is caught.
namespace Dice {
const QString DeseaGuardar = QStringLiteral("¿Desea guardar este registro?");
const QString DeseaEliminar = QStringLiteral("¿Desea eliminar este registro?");
const QString CodigoYaExiste = QStringLiteral("El Código de la Provincia Ya Existe");
const QString CodigoEnBlanco = QStringLiteral("El Código no puede estar en blanco");
const QString ProvinciaEnBlanco = QStringLiteral("La Provincia no puede estar en blanco");
const QString ImposibleBorrar =
    QStringLiteral("Error, Registro imposible de borrar, existen datos relacionados con otras tablas");
const QString CodigoNoValido = QStringLiteral(
    "El Código no puede contener comillas ('), los caracteres % _ * [ \\ ni caracteres de control. "
    "Escriba un código formado solo por letras, números o espacios.");
const QString CodigoNoBorrable = QStringLiteral(
    "Esta provincia tiene un código con comillas, caracteres % _ * [ \\ o de control y no puede "
    "borrarse desde esta ventana: el borrado podría alcanzar a otras provincias.");
} // namespace Dice

using Mensajes = QList<LlamadaMensaje>;
inline LlamadaMensaje Atencion(const QString& texto, int estilo = 16)
{
    return {texto, estilo, QStringLiteral("Atención")};
}

class BancoProvincias
{
public:
    // The date text the scripted host returns, and the user it hands over.
    static inline const QString Fecha = QStringLiteral("06/12/2026 10:30:00");
    static inline const QString Usuario = QStringLiteral("marta");

    // Creates the database with the 52 provinces and installs the host's scripted objects.
    BancoProvincias();
    // Closes the window and releases the database.
    ~BancoProvincias();

    // Runs a statement on a connection other than the window's (another user).
    void Ejecutar(const QString& sentencia) { otra_->Execute(sentencia); }
    ConnectionPtr NuevaConexion() const { return base_.Abrir(); }
    ConnectionPtr ConexionVentana() const { return base_.Conexion(); }
    // Rows of Provincias in code order (code, name, change date, user), read by the other connection;
    // one row, empty when there is none.
    QList<QStringList> Filas();
    QStringList Fila(const QString& codigo);

    // Shows the window through the component's class, as a host does, and waits until it is active.
    FrmProvincias* Abrir();
    // The host unloads the window through the component's class.
    void Cerrar() { clase_.Cerrar(); }

    // What a user does.
    void Clic(Control* control);
    void ClicFila(int fila);                            // a visible data row of the grid
    void Escribir(TextBox* caja, const QString& texto); // clicks in, selects everything, types over it
    void SalirDelCodigo();                              // Tab from the code field to the name
    // The grid's column of codes (1) or names (2), data rows only.
    QStringList ColumnaGrilla(int columna) const;

    std::shared_ptr<MensajesFalsos> Mensajes;
    std::shared_ptr<FuncionesFalsas> Funciones;
    std::shared_ptr<GuionBusqueda> Busqueda;
    std::shared_ptr<UtilidadesFalsas> Utiles;
    // Errors that escaped an event handler; a test expects none unless it says so.
    QStringList ErroresEventos;

private:
    BasePrueba base_;
    ConnectionPtr otra_;
    std::unique_ptr<Form> ubicacion_, principal_;
    ClassProvincias clase_;
    FrmProvincias* ventana_ = nullptr;
};
