#include "tramacor/MensajesQt.h"

#include "runtime/ErrorEjecucion.h"

#include <QAbstractButton>
#include <QApplication>
#include <QPushButton>

namespace EstiloMensaje {

namespace {

const Boton Aceptar{RespuestaMensaje::Aceptar, QStringLiteral("Aceptar")};
const Boton Cancelar{RespuestaMensaje::Cancelar, QStringLiteral("Cancelar")};
const Boton Anular{RespuestaMensaje::Anular, QStringLiteral("Anular")};
const Boton Reintentar{RespuestaMensaje::Reintentar, QStringLiteral("Reintentar")};
const Boton Omitir{RespuestaMensaje::Omitir, QStringLiteral("Omitir")};
const Boton Si{RespuestaMensaje::Si, QStringLiteral("Sí")};
const Boton No{RespuestaMensaje::No, QStringLiteral("No")};

// Bits a style may carry: buttons, icon, default button, modality.
constexpr int BitsConocidos = 0x7 | 0x70 | 0x300 | 0x3000;

} // namespace

Descripcion Describir(int estilo)
{
    const int botones = estilo & 0x7;
    const int icono = estilo & 0x70;
    if ((estilo & ~BitsConocidos) != 0 || botones > ReintentarCancelar || icono > IconoInformacion)
        throw ErrorEjecucion(ErrorEjecucion::LlamadaNoValida,
                             QStringLiteral("Argumento o llamada a procedimiento no válida"));
    Descripcion d;
    switch (botones) {
    case SoloAceptar: d.Botones = {Aceptar}; d.RespuestaEscape = Aceptar.Respuesta; break;
    case AceptarCancelar: d.Botones = {Aceptar, Cancelar}; d.RespuestaEscape = Cancelar.Respuesta; break;
    case AnularReintentarOmitir: d.Botones = {Anular, Reintentar, Omitir}; d.RespuestaEscape = Anular.Respuesta; break;
    case SiNoCancelar: d.Botones = {Si, No, Cancelar}; d.RespuestaEscape = Cancelar.Respuesta; break;
    case SiNo: d.Botones = {Si, No}; d.RespuestaEscape = No.Respuesta; break;
    case ReintentarCancelar: d.Botones = {Reintentar, Cancelar}; d.RespuestaEscape = Cancelar.Respuesta; break;
    }
    switch (icono) {
    case IconoCritico: d.Icono = QMessageBox::Critical; break;
    case IconoPregunta: d.Icono = QMessageBox::Question; break;
    case IconoExclamacion: d.Icono = QMessageBox::Warning; break;
    case IconoInformacion: d.Icono = QMessageBox::Information; break;
    default: d.Icono = QMessageBox::NoIcon; break;
    }
    return d;
}

} // namespace EstiloMensaje

int MensajesQt::MostrarMensaje(const QString& Texto, int Estilo, const QString& Titulo)
{
    using namespace EstiloMensaje;
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
    // SegundoBotonPredeterminado and TercerBotonPredeterminado choose the default button.
    const int porDefecto = (Estilo & (SegundoBotonPredeterminado | TercerBotonPredeterminado)) >> 8;
    caja.setDefaultButton(botones.value(porDefecto, botones.first()));
    for (QPushButton* boton : botones)
        if (boton->property("respuesta").toInt() == d.RespuestaEscape)
            caja.setEscapeButton(boton);

    caja.exec();
    QAbstractButton* pulsado = caja.clickedButton();
    return pulsado ? pulsado->property("respuesta").toInt() : d.RespuestaEscape;
}
