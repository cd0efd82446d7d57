#include "runtime/ErrorEjecucion.h"

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

namespace {

QString DescripcionFija(int numero)
{
    switch (numero) {
    case ErrorEjecucion::Desbordamiento: return QStringLiteral("Desbordamiento");
    case ErrorEjecucion::DivisionPorCero: return QStringLiteral("División por cero");
    case ErrorEjecucion::TiposNoCoinciden: return QStringLiteral("No coinciden los tipos");
    case ErrorEjecucion::VariableObjetoNoEstablecida:
        return QStringLiteral("Variable de objeto o bloque With no establecido");
    }
    return QStringLiteral("Error definido por la aplicación o por el objeto");
}

} // namespace

ErrorEjecucion::ErrorEjecucion(int numero) : ErrorEjecucion(numero, DescripcionFija(numero)) {}

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
