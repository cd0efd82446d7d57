#pragma once
// The command line of the demo host.

#include <QString>
#include <QStringList>

struct OpcionesDemo
{
    bool Ayuda = false;
    bool Version = false;
    // A file path (SQLite) or a postgresql:// URL; empty: the file in the user's data folder.
    QString Base;
    // The screen size, in twips, the demo states as the one the windows were laid out for:
    // 1152 × 864 pixels at 15 twips each. The province window then takes 70 % of the screen's
    // width and 81 % of its height on any screen, and the host's title bar, menu and status line
    // fit in the rest down to 683 × 512 pixels (a 1366 × 768 screen at 150 %).
    long AnchoBase = 17280;
    long AltoBase = 12960;
    // Save a picture of the screen here once the windows are painted, then exit.
    QString Captura;
    // Print the listing to this PDF file without opening any window, then exit.
    QString Listado;
    // Print the listing to this print queue without opening any window, then exit.
    QString Impresora;
    // List the print queues, one a line, the default marked, then exit.
    bool Impresoras = false;
    bool OrdenPorCodigo = false;
    bool ConRango = false;
    QString CodigoDesde;
    QString CodigoHasta;

    // Empty when the command line was understood; otherwise what is wrong with it.
    QString Error;
};

// Reads the arguments (without the program name). Options take their value as the next argument
// or after "=": --db RUTA, --db=RUTA. --base takes pixels, ANCHOxALTO (1280x1024).
OpcionesDemo LeerOpciones(const QStringList& argumentos);

// The help text printed by --ayuda.
QString TextoAyuda();

// The line printed by --version: "Quiltren 1.00.0051 (es-ES)".
QString TextoVersion(const QString& version, const QString& locale);
