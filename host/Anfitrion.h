#pragma once
// The demo host: its database, its windows, its utilities object and the component it creates by
// ProgID. Errors are shown in a Spanish message and the host keeps running.

#include "data/Connection.h"
#include "tramacor/Tramacor.h"
#include "tramacor/UtilidadesAnfitrion.h"
#include "host/VentanasAnfitrion.h"

#include <QObject>
#include <QPointer>
#include <memory>

class Anfitrion : public QObject
{
    Q_OBJECT
public:
    static const QString ProgId;   // "Quiltren.ClassProvincias"

    struct Configuracion
    {
        QString Base;              // file path or postgresql:// URL; empty: BasePredeterminada()
        long AnchoBase = 17280;    // the design screen: 1152 × 864 pixels (OpcionesDemo)
        long AltoBase = 12960;
        QString RutaComponente;    // empty: RutaComponentePredeterminada()
        QString Usuario;           // empty: the login name
    };

    explicit Anfitrion(Configuracion configuracion);
    ~Anfitrion() override;

    // The SQLite file in the user's data folder (the folder is created).
    static QString BasePredeterminada();
    // libquiltren.so in the lib folder beside the program's bin folder (or where the installation
    // puts the libraries).
    static QString RutaComponentePredeterminada();

    // Registers the component when its ProgID is missing from the class registry or names another
    // file. Returns true when it wrote the registry. Throws ErrorServidor.
    static bool AsegurarRegistro(const QString& rutaComponente);

    // Opens (or creates) the database with its schema. Throws ErrorDatos.
    void AbrirBase();
    // Registers the component (a failure is shown, the host goes on), creates the two windows,
    // the utilities object, and shows the main window.
    void Iniciar();
    // Creates the component by ProgID the first time and calls its Cargar. Returns false, after
    // showing the error, when any step fails.
    bool AbrirProvincias();
    // Closes the component's window (it may offer to save) and releases the component.
    void Terminar();

    ConnectionPtr Conexion() const { return conexion_; }
    VentanaPrincipal* Principal() const { return principal_; }
    VentanaUbicacion* Ubicacion() const { return ubicacion_; }
    std::shared_ptr<IUtilidades> Utiles() const { return utiles_; }
    QObject* Componente() const { return componente_.get(); }

signals:
    // The user asked to leave.
    void SalidaPedida();

private:
    void MostrarError(const QString& texto);
    // Places the location window where the maintenance window, at its size on this screen, lies
    // whole in the part of the screen the main window leaves free.
    void SituarFicha();

    Configuracion configuracion_;
    ConnectionPtr conexion_;
    QPointer<VentanaPrincipal> principal_;
    QPointer<VentanaUbicacion> ubicacion_;
    std::shared_ptr<IUtilidades> utiles_;
    std::shared_ptr<QObject> componente_;
};
