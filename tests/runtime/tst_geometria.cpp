#include "ErrorEjecucion.h"
#include "Form.h"
#include "Label.h"
#include "Line.h"
#include "PictureBox.h"
#include "Screen.h"

#include <QtTest>

class TstGeometria : public QObject
{
    Q_OBJECT
private slots:
    void cleanup() { Screen::Restablecer(); }

    void pantallaReal()
    {
        // The offscreen platform reports 96 dpi: 15 twips to the pixel.
        const QSize px = QGuiApplication::primaryScreen()->size();
        QCOMPARE(Screen::TwipsPerPixelX(), 15.0);
        QCOMPARE(Screen::TwipsPerPixelY(), 15.0);
        QCOMPARE(Screen::Width(), px.width() * 15.0);
        QCOMPARE(Screen::Height(), px.height() * 15.0);
    }

    void pantallaFijada()
    {
        Screen::FijarTamano(15360, 11520);
        QCOMPARE(Screen::Width(), 15360.0);
        QCOMPARE(Screen::Height(), 11520.0);
        Screen::Restablecer();
        QCOMPARE(Screen::Width(), QGuiApplication::primaryScreen()->size().width() * 15.0);
    }

    void conversiones_data()
    {
        QTest::addColumn<double>("twipsPorPixel");
        QTest::addColumn<int>("twips");
        QTest::addColumn<int>("pixeles");
        QTest::newRow("96 ppp exacto") << 15.0 << 1575 << 105;
        QTest::newRow("96 ppp redondea arriba") << 15.0 << 1448 << 97;   // 96.53
        QTest::newRow("96 ppp redondea abajo") << 15.0 << 1442 << 96;    // 96.13
        QTest::newRow("120 ppp") << 12.0 << 1575 << 131;                 // 131.25
        QTest::newRow("72 ppp") << 20.0 << 555 << 28;                    // 27.75
        QTest::newRow("negativo") << 15.0 << -100 << -7;                 // -6.67
    }

    void conversiones()
    {
        QFETCH(double, twipsPorPixel);
        QFETCH(int, twips);
        QFETCH(int, pixeles);
        Screen::FijarTwipsPorPixel(twipsPorPixel);
        QCOMPARE(Screen::TwipsAPixelesX(twips), pixeles);
        QCOMPARE(Screen::TwipsAPixelesY(twips), pixeles);
        QCOMPARE(Screen::PixelesATwipsX(pixeles), int(std::lround(pixeles * twipsPorPixel)));
    }

    void controlGuardaTwips_data()
    {
        QTest::addColumn<double>("twipsPorPixel");
        QTest::addColumn<QRect>("twips");
        QTest::addColumn<QRect>("pixeles");
        QTest::newRow("15") << 15.0 << QRect(7440, 1200, 585, 405) << QRect(496, 80, 39, 27);
        QTest::newRow("15 sin múltiplos") << 15.0 << QRect(749, 1001, 75, 7) << QRect(50, 67, 5, 0);
        QTest::newRow("12") << 12.0 << QRect(7440, 1200, 585, 405) << QRect(620, 100, 49, 34);
    }

    void controlGuardaTwips()
    {
        QFETCH(double, twipsPorPixel);
        QFETCH(QRect, twips);
        QFETCH(QRect, pixeles);
        Screen::FijarTwipsPorPixel(twipsPorPixel);
        Form f(QStringLiteral("FrmGeometria"));
        auto* l = new Label(&f, QStringLiteral("LblPrueba"));
        l->Move(twips.x(), twips.y(), twips.width(), twips.height());
        // What was set is read back, not a value rounded to whole pixels.
        QCOMPARE(l->Left(), twips.x());
        QCOMPARE(l->Top(), twips.y());
        QCOMPARE(l->Width(), twips.width());
        QCOMPARE(l->Height(), twips.height());
        QCOMPARE(l->Widget()->geometry(), pixeles);
    }

    void controlesContiguosSeTocan()
    {
        // Two controls that meet in twips meet in pixels, whatever the rounding of each size.
        Form f(QStringLiteral("FrmGeometria"));
        auto* a = new Label(&f, QStringLiteral("A"));
        auto* b = new Label(&f, QStringLiteral("B"));
        a->Move(7, 0, 1003, 100);
        b->Move(1010, 0, 1003, 100);
        QCOMPARE(a->Widget()->geometry().right() + 1, b->Widget()->geometry().left());
    }

    void contenedorRelativo()
    {
        Form f(QStringLiteral("FrmGeometria"));
        auto* caja = new PictureBox(&f, QStringLiteral("PicDatos"));
        caja->Move(360, 3480, 11655, 3930);
        auto* l = new Label(&f, QStringLiteral("LblDentro"), caja);
        l->Move(840, 120, 1995, 330);
        QCOMPARE(l->Container(), caja);
        QCOMPARE(l->Widget()->parentWidget(), caja->SuperficieHijos());
        QCOMPARE(l->Widget()->mapTo(&f, QPoint(0, 0)), QPoint(24 + 56, 232 + 8));
    }

    void tamanoNegativo()
    {
        Form f(QStringLiteral("FrmGeometria"));
        auto* l = new Label(&f, QStringLiteral("LblPrueba"));
        l->Move(10, 20, 30, 40);
        try {
            l->setWidth(-1);
            QFAIL("un ancho negativo debe fallar");
        } catch (const ErrorEjecucion& e) {
            QCOMPARE(e.Number(), 380);
        }
        QCOMPARE(l->Width(), 30);
    }

    void lineaPorExtremos()
    {
        Form f(QStringLiteral("FrmGeometria"));
        auto* linea = new Line(&f, QStringLiteral("Line5"));
        linea->setX1(1440);
        linea->setY1(2040);
        linea->setX2(7080);
        linea->setY2(2040);
        QCOMPARE(linea->X1(), 1440);
        QCOMPARE(linea->X2(), 7080);
        // The widget covers the segment, one pen width around it.
        QCOMPARE(linea->Widget()->geometry(), QRect(96 - 1, 136 - 1, 376 + 3, 3));
        // A line has no box: the members of one fail as on the platform.
        for (auto miembro : {0, 1, 2}) {
            try {
                if (miembro == 0)
                    (void)linea->Left();
                else if (miembro == 1)
                    linea->Move(0, 0, 10, 10);
                else
                    linea->setWidth(5);
                QFAIL("una línea no tiene Left, Move ni Width");
            } catch (const ErrorEjecucion& e) {
                QCOMPARE(e.Number(), 438);
            }
        }
    }

    void ventanaEnTwips()
    {
        Form f(QStringLiteral("FrmGeometria"));
        f.Move(1500, 750, 12146, 10540);
        QCOMPARE(f.Width(), 12146);
        QCOMPARE(f.Height(), 10540);
        QCOMPARE(f.geometry(), QRect(100, 50, 810, 703));
        f.Show();
        QVERIFY(QTest::qWaitForWindowExposed(&f));
        // Showing delivers the pending resize; the stored twips survive it.
        QCOMPARE(f.Width(), 12146);
        QCOMPARE(f.Left(), 1500);
        f.Unload();
    }
};

QTEST_MAIN(TstGeometria)
#include "tst_geometria.moc"
