#include "tests/apoyo/Apoyo.h"
#include "runtime/FlexGrid.h"
#include "runtime/Form.h"

#include <QHeaderView>
#include <QScrollBar>
#include <QTableView>
#include <QtTest>

namespace {

// The province grid's shape: a header row, two columns, rows 500 twips high, four of them
// fully visible in a grid 2500 twips high.
class FrmGrilla : public Form
{
public:
    FrmGrilla() : Form(QStringLiteral("FrmGrilla"))
    {
        LinProvincias = new FlexGrid(this, QStringLiteral("LinProvincias"));
        LinProvincias->Move(600, 600, 3855, 2500);
        LinProvincias->setRowHeightMin(500);
        LinProvincias->setColWidth(0, 900);
        LinProvincias->setColWidth(1, 2955);
        LinProvincias->setTextMatrix(0, 0, QStringLiteral("CÓDIGO"));
        LinProvincias->setTextMatrix(0, 1, QStringLiteral("PROVINCIA"));
        Move(0, 0, 6000, 4500);
    }

    void llenar(int filas)
    {
        LinProvincias->setRows(1);
        for (int i = 1; i <= filas; ++i)
            LinProvincias->AddItem(QStringLiteral("%1\tProvincia %1").arg(i, 2, 10, QLatin1Char('0')));
    }

    FlexGrid* LinProvincias;
};

QTableView* vista(FlexGrid* g)
{
    return static_cast<QTableView*>(g->Widget());
}

// Rows filled, the top row asked for and the one obtained, rows then fully visible and not.
struct Desplazamiento { int filas, superior, superiorObtenida; QList<int> visibles, ocultas; };

} // namespace

Q_DECLARE_METATYPE(Desplazamiento)

class TstGrilla : public QObject
{
    Q_OBJECT
private slots:
    void agregarFilas_data()
    {
        QTest::addColumn<QString>("elemento");
        QTest::addColumn<QString>("col0");
        QTest::addColumn<QString>("col1");
        QTest::newRow("sin tabulador") << QStringLiteral("28") << QStringLiteral("28") << QString();
        QTest::newRow("de más") << QStringLiteral("28\tMadrid\tsobra") << QStringLiteral("28") << QStringLiteral("Madrid");
        QTest::newRow("espacios finales") << QStringLiteral("28 \tMadrid  ") << QStringLiteral("28 ") << QStringLiteral("Madrid  ");
    }

    void agregarFilas()
    {
        QFETCH(QString, elemento);
        QFETCH(QString, col0);
        QFETCH(QString, col1);
        FrmGrilla f;
        auto* g = f.LinProvincias;
        g->AddItem(QStringLiteral("01\tÁlava"));
        g->AddItem(elemento);
        g->AddItem(QStringLiteral("02\tAlbacete"));
        QCOMPARE(g->Rows(), 4);
        QCOMPARE(g->TextMatrix(2, 0), col0);
        QCOMPARE(g->TextMatrix(2, 1), col1);
        // The view learns of the rows on the next turn of the event loop.
        QCoreApplication::processEvents();
        QCOMPARE(vista(g)->model()->rowCount(), 3);
        QCOMPARE(vista(g)->model()->index(1, 1).data().toString(), col1);
    }

    void filasVisibles_data()
    {
        QTest::addColumn<Desplazamiento>("caso");
        QTest::newRow("arriba") << Desplazamiento{10, 1, 1, {0, 1, 4}, {5, 10}};
        QTest::newRow("por debajo del encabezado") << Desplazamiento{10, 0, 1, {1, 4}, {5}};
        QTest::newRow("más allá del final") << Desplazamiento{10, 99, 10, {10}, {9}};
        QTest::newRow("sin filas") << Desplazamiento{0, 1, 1, {0}, {}};
    }

    void filasVisibles()
    {
        QFETCH(Desplazamiento, caso);
        const auto& [filas, superior, superiorObtenida, visibles, ocultas] = caso;
        FrmGrilla f;
        auto* g = f.LinProvincias;
        f.llenar(filas);
        g->setTopRow(superior);
        QCOMPARE(g->TopRow(), superiorObtenida);
        for (int fila : visibles)
            QVERIFY2(g->RowIsVisible(fila), qPrintable(QString::number(fila)));
        for (int fila : ocultas)
            QVERIFY2(!g->RowIsVisible(fila), qPrintable(QString::number(fila)));
        // The view shows the same first row once it has the rows.
        f.Show();
        QVERIFY(QTest::qWaitForWindowExposed(&f));
        QCOMPARE(vista(g)->rowAt(0) + 1, filas > 0 ? superiorObtenida : 0);
        QCOMPARE(g->TopRow(), superiorObtenida);
    }

    void pulsacionYCambioDeFila()
    {
        FrmGrilla f;
        auto* g = f.LinProvincias;
        f.llenar(10);
        QStringList registro;
        connect(g, &FlexGrid::MouseDown, &f, [&](int boton, int mayus, int x, int y) {
            registro << QStringLiteral("MouseDown %1 %2 %3 %4 fila %5").arg(boton).arg(mayus).arg(x).arg(y).arg(g->Row());
        });
        connect(g, &FlexGrid::RowColChange, &f, [&] { registro << QStringLiteral("RowColChange %1").arg(g->Row()); });
        f.Show();
        QVERIFY(QTest::qWaitForWindowActive(&f));
        QWidget* viewport = vista(g)->viewport();
        const QPoint punto = vista(g)->visualRect(vista(g)->model()->index(2, 1)).center();
        QTest::mouseClick(viewport, Qt::LeftButton, Qt::NoModifier, punto);
        const QPoint enGrilla = viewport->mapTo(vista(g), punto);
        QCOMPARE(registro, QStringList({QStringLiteral("MouseDown 1 0 %1 %2 fila 0").arg(enGrilla.x() * 15).arg(enGrilla.y() * 15),
                                        QStringLiteral("RowColChange 3")}));
        // The keyboard moves the current row too.
        QTest::keyClick(vista(g), Qt::Key_Down);
        QCOMPARE(registro.last(), QStringLiteral("RowColChange 4"));

        // A row change whose handler refills the grid, as the window does after a save.
        bool rellenar = true;
        connect(g, &FlexGrid::RowColChange, &f, [&] {
            if (std::exchange(rellenar, false)) {
                f.llenar(8);
                g->setRow(2);
            }
        });
        QTest::mouseClick(viewport, Qt::LeftButton, Qt::NoModifier, punto);
        QCOMPARE(registro.mid(registro.size() - 2), QStringList({"RowColChange 3", "RowColChange 2"}));
        QCOMPARE(g->Rows(), 9);
        QCoreApplication::processEvents();
        QCOMPARE(vista(g)->model()->rowCount(), 8);
        QCOMPARE(vista(g)->currentIndex().row(), 1);

        // Assigning a row is one change however often, and does not scroll: the program decides
        // with RowIsVisible and TopRow. Assigning a column is a change too.
        registro.clear();
        g->setRow(8);
        g->setRow(8);
        QCOMPARE(g->TopRow(), 1);
        QVERIFY(!g->RowIsVisible(8));
        g->setCol(0);
        QCOMPARE(registro, QStringList({"RowColChange 8", "RowColChange 8"}));
        // Emptying keeps the header, and changing the rows is no row change.
        g->setRows(1);
        QCOMPARE(g->TextMatrix(0, 1), QStringLiteral("PROVINCIA"));
        QCOMPARE(QList<int>({g->Row(), g->TopRow(), int(registro.size())}), QList<int>({0, 1, 2}));
        QCOMPARE(vista(g)->model()->rowCount(), 0);
    }
};

QTEST_MAIN(TstGrilla)
#include "tst_Grilla.moc"
