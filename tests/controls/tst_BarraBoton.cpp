// The window's title bar and its buttons: a click only when enabled and shown, a close request
// only from the × at the right end, and the window dragged by its bar.

#include "controls/Barra.h"
#include "controls/Boton.h"
#include "runtime/Form.h"
#include "runtime/PictureBox.h"

#include <QtTest>

namespace {

class FrmMando : public Form
{
public:
    FrmMando() : Form(QStringLiteral("FrmMando"))
    {
        auto* fondo = new PictureBox(this, QStringLiteral("PicFondo"));
        fondo->Move(0, 0, 9000, 4000);
        Barra1 = new Barra(this, QStringLiteral("Barra1"), fondo);
        Barra1->setExtentX(15875);
        Barra1->setExtentY(979);
        LblBorrar = new Boton(this, QStringLiteral("LblBorrar"), fondo);
        LblBorrar->Move(3840, 840, 1575, 735);
        Move(1500, 1500, 9000, 4000);
        Show();
    }
    Barra* Barra1;
    Boton* LblBorrar;
};

} // namespace

class TstBarraBoton : public QObject
{
    Q_OBJECT
private slots:
    void botonSoloPulsaHabilitado_data()
    {
        QTest::addColumn<QString>("via");
        QTest::addColumn<bool>("habilitado");
        QTest::addColumn<bool>("visible");
        QTest::newRow("ratón habilitado") << QStringLiteral("ratón") << true << true;
        for (const char* via : {"ratón", "espacio", "intro", "código"})
            QTest::addRow("%s deshabilitado", via) << QString::fromUtf8(via) << false << true;
        QTest::newRow("código oculto") << QStringLiteral("código") << true << false;
    }

    void botonSoloPulsaHabilitado()
    {
        QFETCH(QString, via);
        QFETCH(bool, habilitado);
        QFETCH(bool, visible);
        FrmMando f;
        int recibidos = 0;
        connect(f.LblBorrar, &Boton::Click, &f, [&] { ++recibidos; });
        QVERIFY(QTest::qWaitForWindowActive(&f));
        // The focus is taken before disabling, as a window would have left it there.
        f.LblBorrar->SetFocus();
        f.LblBorrar->setEnabled(habilitado);
        f.LblBorrar->setVisible(visible);
        QWidget* w = f.LblBorrar->Widget();
        if (via == QLatin1String("ratón"))
            QTest::mouseClick(w, Qt::LeftButton);
        else if (via == QLatin1String("espacio"))
            QTest::keyClick(w, Qt::Key_Space);
        else if (via == QLatin1String("intro"))
            QTest::keyClick(w, Qt::Key_Return);
        else
            f.LblBorrar->HacerClick();
        QCOMPARE(recibidos, habilitado && visible ? 1 : 0);
    }

    void barraPideCerrarYArrastra()
    {
        FrmMando f;
        int solicitudes = 0;
        connect(f.Barra1, &Barra::SolicitudCierre, &f, [&] { ++solicitudes; });
        QVERIFY(QTest::qWaitForWindowExposed(&f));
        QWidget* banda = f.Barra1->Widget();
        // A click on the caption is no close request; one on the × at the right end is.
        QTest::mouseClick(banda, Qt::LeftButton, Qt::NoModifier, QPoint(40, banda->height() / 2));
        QCOMPARE(solicitudes, 0);
        QTest::mouseClick(banda, Qt::LeftButton, Qt::NoModifier, QPoint(banda->width() - 10, banda->height() / 2));
        QCOMPARE(solicitudes, 1);
        // The bar only asks: the window stays until it unloads itself.
        QVERIFY(f.isVisible());

        // Dragging the band moves the window, and its twips follow.
        const QPoint antes = f.pos();
        QTest::mousePress(banda, Qt::LeftButton, Qt::NoModifier, QPoint(60, 10));
        QMouseEvent mover(QEvent::MouseMove, QPointF(90, 30), banda->mapToGlobal(QPointF(90, 30)),
                          Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(banda, &mover);
        QTest::mouseRelease(banda, Qt::LeftButton, Qt::NoModifier, QPoint(90, 30));
        QCOMPARE(f.pos(), antes + QPoint(30, 20));
        QCOMPARE(f.Left(), 1500 + 30 * 15);
        QCOMPARE(f.Top(), 1500 + 20 * 15);
    }
};

QTEST_MAIN(TstBarraBoton)
#include "tst_BarraBoton.moc"
