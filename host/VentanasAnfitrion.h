#pragma once
// The demo host's own windows: the main window (FormPrincipal) and the position window
// (FormUbicacion), both windows of the forms runtime, as the component expects them.

#include "runtime/Form.h"

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
    // The part of the screen the main window leaves free for the windows it opens: below its
    // title bar and menu, above its status line. In twips, in screen coordinates.
    QRect AreaLibre() const;

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

    // Centres a window of the given size (twips) in an area of the screen. A window higher than
    // the area starts at its top: the main window's title bar and menu above it stay in reach.
    void Centrar(int anchoVentana, int altoVentana, const QRect& area);
};
