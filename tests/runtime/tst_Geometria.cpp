#include "Apoyo.h"
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

    void controlGuardaTwips_data()
    {
        QTest::addColumn<double>("twipsPorPixel");
        QTest::addColumn<QRect>("twips");
        QTest::addColumn<QRect>("pixeles");
        QTest::newRow("15 redondea arriba y abajo") << 15.0 << QRect(1442, 1001, 75, 7) << QRect(96, 67, 5, 0);
        QTest::newRow("12") << 12.0 << QRect(7440, 1200, 585, 405) << QRect(620, 100, 49, 34);
        QTest::newRow("15 negativo") << 15.0 << QRect(-100, 0, 555, 20) << QRect(-7, 0, 37, 1);
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
        QCOMPARE(QRect(l->Left(), l->Top(), l->Width(), l->Height()), twips);
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

    void contenedorYTamanoNegativo()
    {
        Form f(QStringLiteral("FrmGeometria"));
        auto* caja = new PictureBox(&f, QStringLiteral("PicDatos"));
        caja->Move(360, 3480, 11655, 3930);
        auto* l = new Label(&f, QStringLiteral("LblDentro"), caja);
        l->Move(840, 120, 1995, 330);
        QCOMPARE(l->Widget()->parentWidget(), caja->SuperficieHijos());
        QCOMPARE(l->Widget()->mapTo(&f, QPoint(0, 0)), QPoint(24 + 56, 232 + 8));
        QCOMPARE(l->Width(), 1995);
    }

    void lineaPorExtremos()
    {
        Form f(QStringLiteral("FrmGeometria"));
        auto* linea = new Line(&f, QStringLiteral("Line5"));
        linea->setX1(1440);
        linea->setY1(2040);
        linea->setX2(7080);
        linea->setY2(2040);
        // The widget covers the segment, one pen width around it.
        QCOMPARE(linea->Widget()->geometry(), QRect(96 - 1, 136 - 1, 376 + 3, 3));
    }
};

QTEST_MAIN(TstGeometria)
#include "tst_Geometria.moc"
