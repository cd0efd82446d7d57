// The printers collection: the system's printers plus the PDF printer, and the current printer.

#include "ErrorImpresion.h"
#include "Printers.h"

#include <QPrinterInfo>
#include <QtTest>

class TestPrinters : public QObject {
    Q_OBJECT

private slots:
    void siempreHayImpresoraPdf();
    void impresoraActual();
};

void TestPrinters::siempreHayImpresoraPdf()
{
    const QList<Impresora> lista = Printers::Lista();
    const QStringList sistema = QPrinterInfo::availablePrinterNames();
    QCOMPARE(lista.size(), sistema.size() + 1);
    QCOMPARE(Printers::Count(), lista.size());
    for (int i = 0; i < sistema.size(); ++i)
        QVERIFY(lista.at(i).DeviceName() == sistema.at(i) && !lista.at(i).EsPdf());
    QCOMPARE(lista.last().DeviceName(), QStringLiteral("Imprimir a PDF"));
    QVERIFY(lista.last().EsPdf());
    QCOMPARE(Printers::Item(lista.size() - 1), lista.last());
    QVERIFY_THROWS_EXCEPTION(ErrorImpresion, Printers::Item(lista.size()));
    QVERIFY_THROWS_EXCEPTION(ErrorImpresion, Printers::Item(-1));
    // Chosen by the exact device name.
    QCOMPARE(Printers::Buscar(QStringLiteral("Imprimir a PDF")).value(), lista.last());
    QVERIFY(!Printers::Buscar(QStringLiteral("imprimir a pdf")));
    QVERIFY(!Printers::Buscar(QStringLiteral("Imprimir a PDF ")));
}

void TestPrinters::impresoraActual()
{
    // Until one is chosen the current printer is the system's default, the PDF one when there is none.
    QCOMPARE(Printers::Actual(), Printers::Predeterminada());
    QCOMPARE(Printers::Actual().EsPdf(), QPrinterInfo::defaultPrinterName().isEmpty());

    // A name that matches nothing leaves the current printer as it was.
    Printers::EstablecerActual(Impresora(QStringLiteral("Otra"), false));
    QVERIFY(!Printers::Seleccionar(QStringLiteral("imprimir a pdf")));
    QCOMPARE(Printers::Actual().DeviceName(), QStringLiteral("Otra"));
    QVERIFY(Printers::Seleccionar(QStringLiteral("Imprimir a PDF")));
    QVERIFY(Printers::Actual().EsPdf());
}

QTEST_MAIN(TestPrinters)
#include "tst_printers.moc"
