#include "MensajesQt.h"

#include "ErrorEjecucion.h"

#include <QAbstractButton>
#include <QApplication>
#include <QPushButton>

namespace EstiloMensaje {

namespace {

const Boton Aceptar{1, QStringLiteral("Aceptar")};
const Boton Cancelar{2, QStringLiteral("Cancelar")};
const Boton Anular{3, QStringLiteral("Anular")};
const Boton Reintentar{4, QStringLiteral("Reintentar")};
const Boton Omitir{5, QStringLiteral("Omitir")};
const Boton Si{6, QStringLiteral("Sí")};
const Boton No{7, QStringLiteral("No")};

// Bits a style may carry: buttons, icon, default button, modality.
constexpr int BitsConocidos = 0x7 | 0x70 | 0x300 | 0x3000;

} // namespace

Descripcion Describir(int estilo)
{
    const int botones = estilo & 0x7;
    const int icono = estilo & 0x70;
    if ((estilo & ~BitsConocidos) != 0 || botones > 5 || icono > 64)
        throw ErrorEjecucion(ErrorEjecucion::LlamadaNoValida,
                             QStringLiteral("Argumento o llamada a procedimiento no válida"));
    Descripcion d;
    switch (botones) {
    case 0: d.Botones = {Aceptar}; d.RespuestaEscape = 1; break;
    case 1: d.Botones = {Aceptar, Cancelar}; d.RespuestaEscape = 2; break;
    case 2: d.Botones = {Anular, Reintentar, Omitir}; d.RespuestaEscape = 3; break;
    case 3: d.Botones = {Si, No, Cancelar}; d.RespuestaEscape = 2; break;
    case 4: d.Botones = {Si, No}; d.RespuestaEscape = 7; break;
    case 5: d.Botones = {Reintentar, Cancelar}; d.RespuestaEscape = 2; break;
    }
    switch (icono) {
    case 16: d.Icono = QMessageBox::Critical; break;
    case 32: d.Icono = QMessageBox::Question; break;
    case 48: d.Icono = QMessageBox::Warning; break;
    case 64: d.Icono = QMessageBox::Information; break;
    default: d.Icono = QMessageBox::NoIcon; break;
    }
    return d;
}

} // namespace EstiloMensaje

int MensajesQt::MostrarMensaje(const QString& Texto, int Estilo, const QString& Titulo)
{
    const EstiloMensaje::Descripcion d = EstiloMensaje::Describir(Estilo);
    QMessageBox caja(QApplication::activeWindow());
    caja.setIcon(d.Icono);
    caja.setText(Texto);
    caja.setWindowTitle(Titulo.isEmpty() ? QApplication::applicationDisplayName() : Titulo);

    QList<QPushButton*> botones;
    for (const EstiloMensaje::Boton& b : d.Botones) {
        QPushButton* boton = caja.addButton(b.Titulo, QMessageBox::ActionRole);
        boton->setProperty("respuesta", b.Respuesta);
        botones.append(boton);
    }
    // Bits 256 and 512 make the second or the third button the default one.
    const int porDefecto = (Estilo & 0x300) >> 8;
    caja.setDefaultButton(botones.value(porDefecto, botones.first()));
    for (QPushButton* boton : botones)
        if (boton->property("respuesta").toInt() == d.RespuestaEscape)
            caja.setEscapeButton(boton);

    caja.exec();
    QAbstractButton* pulsado = caja.clickedButton();
    return pulsado ? pulsado->property("respuesta").toInt() : d.RespuestaEscape;
}
