#include "host/Captura.h"

#include <QApplication>
#include <QPainter>
#include <QPixmap>
#include <QScreen>
#include <QWidget>

QImage CapturarPantalla()
{
    QScreen* pantalla = QGuiApplication::primaryScreen();
    if (!pantalla)
        return {};
    const QPixmap directa = pantalla->grabWindow(0);
    // On a dense screen the window system's picture holds every device pixel; it is kept whole.
    if (!directa.isNull() && directa.deviceIndependentSize().toSize() == pantalla->geometry().size())
        return directa.toImage();

    QImage compuesta(pantalla->geometry().size(), QImage::Format_RGB32);
    compuesta.fill(Qt::black);
    QPainter pintor(&compuesta);
    // Windows that are shown later stand on top: the main window first, then the rest, the
    // active window last.
    QList<QWidget*> ventanas;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible() && w != QApplication::activeWindow())
            ventanas.append(w);
    if (QApplication::activeWindow() && QApplication::activeWindow()->isVisible())
        ventanas.append(QApplication::activeWindow());
    std::stable_sort(ventanas.begin(), ventanas.end(), [](QWidget* a, QWidget* b) {
        return a->size().width() * a->size().height() > b->size().width() * b->size().height();
    });
    for (QWidget* w : ventanas)
        pintor.drawPixmap(w->geometry().topLeft() - pantalla->geometry().topLeft(), w->grab());
    return compuesta;
}
