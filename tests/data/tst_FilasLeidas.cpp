// The in-memory rows of a recordset: every kind of value comes back as it went in, across
// block boundaries, after edits and in copies that share storage.

#include "FilasLeidas.h"

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

void Comprobar(const FilasLeidas& filas, qsizetype fila, const QList<QVariant>& esperada)
{
    const QList<QVariant> obtenida = filas.Fila(fila);
    QCOMPARE(obtenida.size(), esperada.size());
    for (qsizetype c = 0; c < esperada.size(); ++c) {
        QCOMPARE(obtenida[c].isNull(), esperada[c].isNull());
        QCOMPARE(obtenida[c], esperada[c]);
    }
}

} // namespace

class PruebaFilasLeidas : public QObject {
    Q_OBJECT

private slots:
    void valoresConservados_data()
    {
        QTest::addColumn<int>("numeroFilas");
        QTest::newRow("ninguna") << 0;
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
            Comprobar(filas, i, FilaDePrueba(i));

        // Editing a row, then appending one, right where the cell blocks end.
        const FilasLeidas antes = filas;
        const QList<QVariant> nueva = {QStringLiteral("cambiada"), QVariant()};
        if (numeroFilas > 0) {
            filas.CambiarFila(numeroFilas - 1, nueva);
            Comprobar(filas, numeroFilas - 1, nueva);
            Comprobar(antes, numeroFilas - 1, FilaDePrueba(numeroFilas - 1));
        }
        filas.AgregarFila(FilaDePrueba(numeroFilas));
        QCOMPARE(filas.Filas(), qsizetype(numeroFilas + 1));
        QCOMPARE(antes.Filas(), qsizetype(numeroFilas));
        Comprobar(filas, numeroFilas, FilaDePrueba(numeroFilas));
        for (int i = 0; i + 1 < numeroFilas; ++i)
            Comprobar(filas, i, FilaDePrueba(i));

        QStringView texto;
        if (numeroFilas > 1) {
            QVERIFY(filas.Texto(0, 0, texto));
            QCOMPARE(texto.toString(), FilaDePrueba(0)[0].toString());
            QVERIFY(!filas.Texto(0, 1, texto)); // a null is no text
        }
    }
};

QTEST_GUILESS_MAIN(PruebaFilasLeidas)
#include "tst_FilasLeidas.moc"
