// The printers collection: the system's printers plus the PDF printer, and the current printer.

#include "ErrorImpresion.h"
#include "Printers.h"

#include <QPrinterInfo>
#include <QtTest>

class TestPrinters : public QObject {
    Q_OBJECT

private slots:
    void siempreHayImpresoraPdf();
    void buscar_data();
    void buscar();
    void indiceFueraDeRango_data();
    void indiceFueraDeRango();
    void impresoraActual();
};

void TestPrinters::siempreHayImpresoraPdf()
{
    const QList<Impresora> lista = Printers::Lista();
    const QStringList sistema = QPrinterInfo::availablePrinterNames();
    QCOMPARE(lista.size(), sistema.size() + 1);
    QCOMPARE(Printers::Count(), lista.size());
    for (int i = 0; i < sistema.size(); ++i) {
        QCOMPARE(lista.at(i).DeviceName(), sistema.at(i));
        QVERIFY(!lista.at(i).EsPdf());
    }
    QCOMPARE(lista.last().DeviceName(), QStringLiteral("Imprimir a PDF"));
    QVERIFY(lista.last().EsPdf());
    QCOMPARE(Printers::Item(Printers::Count() - 1), lista.last());
}

void TestPrinters::buscar_data()
{
    QTest::addColumn<QString>("nombre");
    QTest::addColumn<bool>("encontrada");

    QTest::newRow("nombre exacto") << "Imprimir a PDF" << true;
    QTest::newRow("otras mayúsculas") << "imprimir a pdf" << false;
    QTest::newRow("espacio al final") << "Imprimir a PDF " << false;
    QTest::newRow("vacío") << "" << false;
    QTest::newRow("desconocida") << "Impresora que no existe" << false;
}

void TestPrinters::buscar()
{
    QFETCH(QString, nombre);
    QFETCH(bool, encontrada);

    const std::optional<Impresora> impresora = Printers::Buscar(nombre);
    QCOMPARE(impresora.has_value(), encontrada);
    if (encontrada)
        QCOMPARE(impresora->DeviceName(), nombre);
}

void TestPrinters::indiceFueraDeRango_data()
{
    QTest::addColumn<int>("indice");
    QTest::newRow("negativo") << -1;
    QTest::newRow("igual a Count") << Printers::Count();
}

void TestPrinters::indiceFueraDeRango()
{
    QFETCH(int, indice);
    try {
        Printers::Item(indice);
        QFAIL("no se ha producido el error");
    } catch (const ErrorImpresion& error) {
        QCOMPARE(error.Numero(), ErrorImpresion::ValorNoValido);
        QVERIFY(error.Descripcion().contains(QString::number(indice)));
    }
}

void TestPrinters::impresoraActual()
{
    // Until one is chosen, the current printer is the system's default (the PDF one when none).
    QCOMPARE(Printers::Actual(), Printers::Predeterminada());
    if (QPrinterInfo::defaultPrinterName().isEmpty())
        QVERIFY(Printers::Actual().EsPdf());

    // A name that matches nothing leaves the current printer as it was.
    QVERIFY(Printers::Seleccionar(QStringLiteral("Imprimir a PDF")));
    QVERIFY(Printers::Actual().EsPdf());
    QVERIFY(!Printers::Seleccionar(QStringLiteral("Impresora que no existe")));
    QCOMPARE(Printers::Actual().DeviceName(), QStringLiteral("Imprimir a PDF"));
    Printers::EstablecerActual(Impresora(QStringLiteral("Otra"), false));
    QCOMPARE(Printers::Actual().DeviceName(), QStringLiteral("Otra"));
    QVERIFY(!Printers::Seleccionar(QStringLiteral("imprimir a pdf")));
    QCOMPARE(Printers::Actual().DeviceName(), QStringLiteral("Otra"));
}

QTEST_MAIN(TestPrinters)
#include "tst_printers.moc"
