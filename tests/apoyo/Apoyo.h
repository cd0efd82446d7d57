#pragma once
// Small helpers every test folder uses: the number of the error an action raises, files read and
// written whole, and acting on a real modal dialog from inside its own event loop.

#include "runtime/ErrorEjecucion.h"

#include <QApplication>
#include <QFile>
#include <QKeyEvent>
#include <QTimer>
#include <QWidget>
#include <QtTest>

#include <functional>
#include <memory>
#include <optional>

// The error of type Error that `accion` throws, if it throws one.
template <class Error, class F>
std::optional<Error> Capturar(F&& accion)
{
    try {
        accion();
    } catch (const Error& error) {
        return error;
    }
    return std::nullopt;
}

// The number of the error `accion` raises (a run-time error unless told), 0 when it raises none.
template <class Error = ErrorEjecucion, class F>
long NumeroDeError(F&& accion)
{
    const std::optional<Error> error = Capturar<Error>(std::forward<F>(accion));
    return error ? long(error->Number()) : 0;
}

inline QByteArray LeerArchivo(const QString& ruta)
{
    QFile archivo(ruta);
    return archivo.open(QIODevice::ReadOnly) ? archivo.readAll() : QByteArray();
}

inline bool EscribirArchivo(const QString& ruta, const QByteArray& contenido)
{
    QFile archivo(ruta);
    return archivo.open(QIODevice::WriteOnly) && archivo.write(contenido) == contenido.size();
}

// Runs `accion` on the first modal widget of type T that opens (checked every 20 ms, for at
// most 5 s). The dialog is then driven through its real widgets.
template <class T>
void AlAbrirse(std::function<void(T*)> accion)
{
    auto* reloj = new QTimer;
    auto intentos = std::make_shared<int>(0);
    QObject::connect(reloj, &QTimer::timeout, [reloj, intentos, accion] {
        if (T* dialogo = qobject_cast<T*>(QApplication::activeModalWidget())) {
            reloj->stop();
            reloj->deleteLater();
            accion(dialogo);
        } else if (++*intentos > 250) {
            reloj->stop();
            reloj->deleteLater();
        }
    });
    reloj->start(20);
}

// Types a text key by key, accented letters included (QTest::keyClicks only knows ASCII).
inline void Teclear(QWidget* destino, const QString& texto)
{
    for (const QChar c : texto) {
        QKeyEvent pulsar(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(destino, &pulsar);
        QKeyEvent soltar(QEvent::KeyRelease, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(destino, &soltar);
    }
}
