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

    // The index must give what a walk from `desde` gives: repeated texts, nulls, non-texts,
    // a start past the first occurrence, and after a change to the rows.
    void buscarTextoComoUnRecorrido()
    {
        FilasLeidas filas({"Codigo", "Otro"});
        QList<QVariant> codigos;
        for (int i = 0; i < 3000; ++i) {
            const QVariant codigo = i % 97 == 0 ? QVariant() : i % 89 == 0 ? QVariant(qlonglong(i))
                                                           : QVariant(QStringLiteral("c%1").arg(i % 700));
            codigos << codigo;
            filas.AgregarFila({codigo, QStringLiteral("x")});
        }
        const auto recorrido = [&](const QString& texto, qsizetype desde) -> qsizetype {
            for (qsizetype fila = std::max<qsizetype>(desde, 0); fila < codigos.size(); ++fila) {
                if (codigos[fila].userType() == QMetaType::QString && codigos[fila].toString() == texto)
                    return fila;
            }
            return -1;
        };
        const QStringList buscados = {"c0", "c5", "c699", "c700", "C5", "c5 ", "", "89"};
        const auto comprobarTodo = [&] {
            for (const QString& texto : buscados) {
                for (qsizetype desde : {-1, 0, 1, 5, 6, 704, 705, 1405, 2799, 2999, 3000}) {
                    if (filas.BuscarTexto(0, texto, desde) != recorrido(texto, desde))
                        return QStringLiteral("«%1» desde %2").arg(texto).arg(desde);
                }
            }
            return QString();
        };
        QCOMPARE(comprobarTodo(), QString());
        QCOMPARE(filas.BuscarTexto(1, QStringLiteral("x"), 0), qsizetype(0)); // another column, another index

        // A changed row moves a text: the old index must not answer.
        filas.CambiarFila(5, {QStringLiteral("c699"), QStringLiteral("x")});
        codigos[5] = QStringLiteral("c699");
        const FilasLeidas copia = filas;
        filas.AgregarFila({QStringLiteral("nuevo"), QVariant()});
        codigos << QStringLiteral("nuevo");
        QCOMPARE(comprobarTodo(), QString());
        QCOMPARE(filas.BuscarTexto(0, QStringLiteral("nuevo"), 0), qsizetype(3000));
        QCOMPARE(copia.BuscarTexto(0, QStringLiteral("nuevo"), 0), qsizetype(-1));
    }
};

QTEST_GUILESS_MAIN(PruebaFilasLeidas)
#include "tst_FilasLeidas.moc"
