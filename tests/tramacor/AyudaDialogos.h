#pragma once
// Acting on a modal dialog from inside its own event loop, as a user would.

#include <QApplication>
#include <QTimer>
#include <functional>

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

#include <QKeyEvent>
#include <QWidget>

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
