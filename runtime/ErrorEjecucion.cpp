#include "ErrorEjecucion.h"

#include <QApplication>
#include <QMessageBox>
#include <QtDebug>

namespace {

ManejadorErroresEventos manejadorActual;

void manejadorPredeterminado(int numero, const QString& descripcion)
{
    const QString texto = numero != 0
        ? QStringLiteral("Se ha producido el error %1:\n%2").arg(numero).arg(descripcion)
        : descripcion;
    qWarning().noquote() << texto;
    if (qobject_cast<QApplication*>(QCoreApplication::instance())) {
        auto* aviso = new QMessageBox(QMessageBox::Critical, QStringLiteral("Error"), texto);
        aviso->setAttribute(Qt::WA_DeleteOnClose);
        aviso->open();
    }
}

} // namespace

ErrorEjecucion::ErrorEjecucion(int numero, const QString& descripcion)
    : numero_(numero), descripcion_(descripcion),
      texto_(QStringLiteral("Error %1: %2").arg(numero).arg(descripcion).toStdString())
{
}

void FijarManejadorErroresEventos(ManejadorErroresEventos manejador)
{
    manejadorActual = std::move(manejador);
}

void InformarErrorEvento(int numero, const QString& descripcion)
{
    // A handler that fails itself must not take the event loop down either.
    try {
        if (manejadorActual)
            manejadorActual(numero, descripcion);
        else
            manejadorPredeterminado(numero, descripcion);
    } catch (...) {
        qWarning().noquote() << descripcion;
    }
}
