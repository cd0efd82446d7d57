// The in-memory rows of a recordset: every kind of value comes back as it went in, across
// block boundaries, after edits and in copies that share storage.

#include "data/FilasLeidas.h"

#include <QtTest>

namespace {

// Row i: a text whose length varies (some long enough to fill a block of characters quickly)
// and a second value that cycles through null, number, empty text and text, now and then one
// longer than a block of characters.
QList<QVariant> FilaDePrueba(qsizetype i)
{
    const QString texto = QStringLiteral("ñ%1").arg(i) + QString(int(i % 7 == 0 ? 3000 : i % 13), QLatin1Char('x'));
    QVariant otro;
    switch (i % 4) {
    case 0: otro = QVariant(); break;
    case 1: otro = QVariant(qlonglong(i) * 1000); break;
    case 2: otro = QVariant(QString(QLatin1String(""))); break;
    default: otro = QString(i % 100 == 3 ? 40000 : 5, QLatin1Char('L')); break;
    }
    return {texto, otro};
}

} // namespace

class PruebaFilasLeidas : public QObject {
    Q_OBJECT

private slots:
    void valoresConservados_data()
    {
        QTest::addColumn<int>("numeroFilas");
        QTest::newRow("una") << 1;
        QTest::newRow("un bloque de celdas menos una fila") << 4095;
        QTest::newRow("un bloque de celdas justo") << 4096;
        QTest::newRow("un bloque de celdas y una fila") << 4097;
        QTest::newRow("varios bloques") << 20000;
    }

    void valoresConservados()
    {
        QFETCH(int, numeroFilas);
        FilasLeidas filas({"Texto", "Otro"});
        for (int i = 0; i < numeroFilas; ++i)
            filas.AgregarFila(FilaDePrueba(i));
        QCOMPARE(filas.Filas(), qsizetype(numeroFilas));
        for (int i = 0; i < numeroFilas; ++i)
            QCOMPARE(filas.Fila(i), FilaDePrueba(i));

        // Editing a row, then appending one, right where the cell blocks end.
        const FilasLeidas antes = filas;
        const QList<QVariant> nueva = {QStringLiteral("cambiada"), QVariant()};
        filas.CambiarFila(numeroFilas - 1, nueva);
        QCOMPARE(filas.Fila(numeroFilas - 1), nueva);
        QCOMPARE(antes.Fila(numeroFilas - 1), FilaDePrueba(numeroFilas - 1));
        filas.AgregarFila(FilaDePrueba(numeroFilas));
        QCOMPARE(filas.Filas(), qsizetype(numeroFilas + 1));
        QCOMPARE(antes.Filas(), qsizetype(numeroFilas));
        QCOMPARE(filas.Fila(numeroFilas), FilaDePrueba(numeroFilas));
        for (int i = 0; i + 1 < numeroFilas; ++i)
            QCOMPARE(filas.Fila(i), FilaDePrueba(i));

        QStringView texto;
        QVERIFY(antes.Texto(0, 0, texto) && texto == FilaDePrueba(0)[0].toString());
        QVERIFY(!antes.Texto(0, 1, texto)); // a null is no text
    }

    // The index of a column answers as a walk from `desde` would: the first row at or after it
    // holding that very text (a null is no text), in a copy as it was, and never a changed row.
    void buscarTexto()
    {
        FilasLeidas filas({"Codigo", "Otro"});
        for (int i = 0; i < 3000; ++i)
            filas.AgregarFila({i % 97 == 0 ? QVariant() : QVariant(QStringLiteral("c%1").arg(i % 700)), QStringLiteral("x")});
        const FilasLeidas copia = filas;
        filas.CambiarFila(705, {QStringLiteral("c699"), QStringLiteral("x")});
        filas.AgregarFila({QStringLiteral("c5"), QVariant()});
        const auto en = [](const FilasLeidas& f, const char* texto, qsizetype desde) {
            return f.BuscarTexto(0, QString::fromUtf8(texto), desde);
        };
        QCOMPARE((QList<qsizetype>{en(filas, "c5", -1), en(filas, "c5", 6), en(filas, "c5", 2806), en(filas, "C5", 0),
                                   en(filas, "c5 ", 0), en(filas, "c0", 0), en(filas, "c699", 700), en(copia, "c5", 6),
                                   en(copia, "c5", 2806), filas.BuscarTexto(1, QStringLiteral("x"), 1)}),
                 (QList<qsizetype>{5, 1405, 3000, -1, -1, 700, 705, 705, -1, 1}));
    }
};

QTEST_GUILESS_MAIN(PruebaFilasLeidas)
#include "tst_FilasLeidas.moc"
