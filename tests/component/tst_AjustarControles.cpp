// The scaling of a window's controls from the design screen to the current one. The province
// window's own layout at several screens (labels, text boxes, lines, images, the grid) is checked in
// the maintenance tests; here, the arithmetic, the combo box that window lacks, and the title bar.

#include "AjustarControles.h"
#include "Barra.h"
#include "ComboBox.h"
#include "ErrorEjecucion.h"
#include "Form.h"

#include <QtTest>

class TestAjustarControles : public QObject
{
    Q_OBJECT

private slots:
    void escalar_data()
    {
        QTest::addColumn<long>("valor");
        QTest::addColumn<long>("actual");
        QTest::addColumn<long>("base");
        QTest::addColumn<long>("esperado");
        QTest::addColumn<int>("error");
        // Three quarters of the base width: 750.75 is cut, never rounded.
        QTest::newRow("1001 a tres cuartos") << 1001L << 11520L << 15360L << 750L << 0;
        QTest::newRow("negativo hacia cero") << -1001L << 11520L << 15360L << -750L << 0;
        // The product is taken first: 90 × 7 ÷ 10 is 63, where 90 × (7 ÷ 10) would cut 62.999… to 62.
        QTest::newRow("producto primero") << 90L << 7L << 10L << 63L << 0;
        QTest::newRow("base cero") << 100L << 15360L << 0L << 0L << 11;
        QTest::newRow("desbordamiento") << 2000000000L << 15360L << 1L << 0L << 6;
    }

    void escalar()
    {
        QFETCH(long, valor);
        QFETCH(long, actual);
        QFETCH(long, base);
        QFETCH(long, esperado);
        QFETCH(int, error);
        try {
            QCOMPARE(Escalado::Escalar(valor, actual, base), esperado);
            QCOMPARE(error, 0);
        } catch (const ErrorEjecucion& e) {
            QCOMPARE(e.Number(), error);
        }
    }

    void comboYBarra()
    {
        Form ventana(QStringLiteral("VentanaEscala"));
        auto* barra = new Barra(&ventana, QStringLiteral("Barra1"));
        barra->Move(0, 0, 12015, 555);
        barra->Font().setSize(12);
        auto* lista = new ComboBox(&ventana, QStringLiteral("CbxOrden"));
        lista->Move(1000, 4000, 2000);
        lista->Font().setSize(12);
        // Three quarters as wide, half as high.
        AjustarControles(ventana.Controls(), 11520, 5760, 15360, 11520);
        // A combo box: left, top and width; its height is the one its (smaller) font gives.
        QCOMPARE(QList<int>({lista->Left(), lista->Top(), lista->Width()}), QList<int>({750, 2000, 1500}));
        QCOMPARE(lista->Font().Size(), 9.0);
        ComboBox referencia(&ventana, QStringLiteral("CbxReferencia"));
        referencia.Font().setSize(9);
        QCOMPARE(lista->Height(), referencia.Height());
        // The title bar keeps its design geometry and font.
        QCOMPARE(QList<int>({barra->Width(), barra->Height()}), QList<int>({12015, 555}));
        QCOMPARE(barra->Font().Size(), 12.0);
    }
};

QTEST_MAIN(TestAjustarControles)
#include "tst_AjustarControles.moc"
