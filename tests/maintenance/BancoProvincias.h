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

// One row of Provincias: code, name, change date and user.
struct FilaProvincia
{
    QString Codigo, Provincia, Actualizado, ModificadoPor;
    bool operator==(const FilaProvincia& otra) const
    {
        return Codigo == otra.Codigo && Provincia == otra.Provincia && Actualizado == otra.Actualizado
            && ModificadoPor == otra.ModificadoPor;
    }
};

class BancoProvincias
{
public:
    // The date text the scripted host returns, and the user it hands over.
    static inline const QString Fecha = QStringLiteral("06/12/2026 10:30:00");
    static inline const QString Usuario = QStringLiteral("marta");

    static bool EnPostgres() { return qEnvironmentVariable("QUILTREN_MOTOR") == QLatin1String("postgresql"); }

    // Creates the database with the 52 provinces and installs the host's scripted objects.
    BancoProvincias();
    // Closes the window and releases the database.
    ~BancoProvincias();

    // Runs a statement on a connection other than the window's (another user).
    void Ejecutar(const QString& sentencia) { otra_->Execute(sentencia); }
    ConnectionPtr NuevaConexion() const { return Connection::Abrir(base_.Origen()); }
    ConnectionPtr ConexionVentana() const { return base_.Conexion(); }
    // Rows of Provincias in code order, read through that other connection.
    QList<FilaProvincia> Filas();
    FilaProvincia Fila(const QString& codigo);

    // Shows the window through the component's class, as a host does, and waits until it is active.
    FrmProvincias* Abrir();
    // The host unloads the window through the component's class.
    void Cerrar() { clase_.Cerrar(); }

    // What a user does.
    void Clic(Control* control);
    void ClicFila(int fila);                            // a visible data row of the grid
    void Escribir(TextBox* caja, const QString& texto); // clicks in, selects everything, types over it
    void SalirDelCodigo();                              // Tab from the code field to the name
    void CerrarConLaBarra();                            // the close button of the title bar
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

// The 52 province names in Spanish alphabetical order, as the grid must list them.
QStringList NombresEnOrdenEspanol();
