#pragma once
// The demo host's own windows: the main window (FormPrincipal) and the position window
// (FormUbicacion), both windows of the forms runtime, as the component expects them.

#include "Form.h"

class Barra;
class Label;
class QMenuBar;

class VentanaPrincipal : public Form
{
    Q_OBJECT
public:
    VentanaPrincipal();

    // The line at the bottom: database and user.
    void FijarEstado(const QString& texto);
    QMenuBar* Menu() const { return menu_; }

signals:
    // "Maestros" > "Provincias".
    void Provincias();
    // "Archivo" > "Salir", or the title bar's close button.
    void Salir();

protected:
    void Form_Load() override;
    void Form_Resize() override;
    // Closing the main window from the window system is leaving the program.
    void Form_Unload(int& Cancel) override;

private:
    void Disponer();

    Barra* barra_;
    QMenuBar* menu_;
    Label* titulo_;
    Label* indicacion_;
    Label* estado_;
};

// A small window that is never shown: its Top and Left say where the maintenance window opens.
class VentanaUbicacion : public Form
{
    Q_OBJECT
public:
    VentanaUbicacion();

    // Centres a window of the given size (twips) on the screen, below the main window's menu when
    // there is room.
    void Centrar(int anchoVentana, int altoVentana);
};
