#pragma once
// The bench the window tests run on: a real province database (an SQLite file, or a database of
// its own on the PostgreSQL server of QUILTREN_PG_URL when QUILTREN_MOTOR is "postgresql"), the
// host's scripted objects, the component's public class showing the window, and the clicks and
// keys a user would give it.

#include "ClassProvincias.h"
#include "Connection.h"
#include "Falsos.h"
#include "FrmProvincias.h"

#include <QStringList>
#include <QTemporaryDir>
#include <functional>
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

    static bool EnPostgres();
    // Drops the PostgreSQL database the test program used (its cleanupTestCase calls it).
    static void BorrarBase();

    // Creates the database with the 52 provinces and installs the host's scripted objects.
    // Throws when the database cannot be made (on PostgreSQL: QUILTREN_PG_URL unset or unreachable).
    BancoProvincias();
    // Closes the window and releases the database.
    ~BancoProvincias();

    // Runs statements on a connection of the bench's own (the test acting as another user).
    void Ejecutar(const QString& sentencia);
    // Empties the tables so the window meets an empty province table.
    void VaciarProvincias();
    // Rows of Provincias in code order, read through the bench's own connection.
    QList<FilaProvincia> Filas();
    FilaProvincia Fila(const QString& codigo);
    bool Existe(const QString& codigo);
    // A second connection to the same database (another user).
    ConnectionPtr NuevaConexion();
    ConnectionPtr ConexionVentana() const { return conexion_; }

    // Shows the window through the component's class, as a host does, and waits until it is active.
    FrmProvincias* Abrir();
    FrmProvincias* Ventana() const { return ventana_; }
    // The host unloads the window through the component's class.
    void Cerrar() { clase_.Cerrar(); }

    // What a user does.
    void Clic(Control* control);
    void ClicFila(int fila);           // a visible data row of the grid
    void Enfocar(TextBox* caja);       // clicks into the field
    void Escribir(TextBox* caja, const QString& texto); // selects everything and types over it
    // The focus moves on to the name field (Tab), raising the code field's exit check.
    void SalirDelCodigo();
    // The close button of the window's title bar.
    void CerrarConLaBarra();

    // The grid's column of codes (1) or names (2), data rows only.
    QStringList ColumnaGrilla(int columna) const;

    std::shared_ptr<MensajesFalsos> Mensajes;
    std::shared_ptr<FuncionesFalsas> Funciones;
    std::shared_ptr<GuionBusqueda> Busqueda;
    std::shared_ptr<UtilidadesFalsas> Utiles;
    // Errors that escaped an event handler; a test expects none unless it says so.
    QStringList ErroresEventos;

private:
    QTemporaryDir carpeta_;
    QString origen_;
    QString urlServidor_;
    ConnectionPtr conexion_;
    ConnectionPtr propia_;
    std::unique_ptr<Form> ubicacion_;
    std::unique_ptr<Form> principal_;
    ClassProvincias clase_;
    FrmProvincias* ventana_ = nullptr;
};

// The 52 province names in Spanish alphabetical order, as the grid must list them.
QStringList NombresEnOrdenEspanol();
