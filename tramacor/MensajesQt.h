#pragma once
// The host's message box: a Qt message box driven by the platform's style numbers.

#include "tramacor/Tramacor.h"

#include <QList>
#include <QMessageBox>
#include <QString>

namespace EstiloMensaje {

// The buttons of a message box, in the order they are shown, and the icon, read from a style:
// its lowest three bits choose the buttons (0 OK, 1 OK/Cancel, 2 Abort/Retry/Ignore,
// 3 Yes/No/Cancel, 4 Yes/No, 5 Retry/Cancel), the bits 16 to 64 the icon (16 stop, 32 question,
// 48 exclamation, 64 information). Other styles are an error 5.
struct Boton
{
    int Respuesta;    // 1 OK, 2 Cancel, 3 Abort, 4 Retry, 5 Ignore, 6 Yes, 7 No
    QString Titulo;   // "Aceptar", "Sí", ...
};

struct Descripcion
{
    QList<Boton> Botones;
    QMessageBox::Icon Icono = QMessageBox::NoIcon;
    // The answer when the user closes the box with Escape or the window's close button.
    int RespuestaEscape = 1;
};

Descripcion Describir(int estilo);

} // namespace EstiloMensaje

class MensajesQt : public IMensajes
{
public:
    // Modal over the active window. An empty title shows the application's name.
    int MostrarMensaje(const QString& Texto, int Estilo, const QString& Titulo) override;
};
