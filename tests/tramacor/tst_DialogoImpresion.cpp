// The host's print dialog: the destinations offered, the options it returns, cancelling, the PDF
// file; and its scripted fake.

#include "AyudaDialogos.h"
#include "DialogoDestino.h"
#include "Falsos.h"
#include "Form.h"
#include "Printers.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QtTest>

class TestDialogoImpresion : public QObject
{
    Q_OBJECT

private slots:
    void destinosOfrecidos();
    void opciones_data();
    void opciones();
    void cancelar();
    void pdfSinArchivo();
    void dialogoFalso();
};

void TestDialogoImpresion::destinosOfrecidos()
{
    VentanaDestino ventana;
    QComboBox* destinos = ventana.Destinos();
    const QList<Impresora> impresoras = Printers::Lista();
    QCOMPARE(destinos->count(), impresoras.size() + 1);
    QCOMPARE(destinos->itemData(0).toString(), QStringLiteral("Pantalla"));
    QCOMPARE(destinos->itemText(0), QStringLiteral("Pantalla"));
    for (int i = 0; i < impresoras.size(); ++i)
        QCOMPARE(destinos->itemData(i + 1).toString(), impresoras.at(i).DeviceName());
    // The file chooser and the range only take input when they apply.
    QVERIFY(!ventana.Archivo()->isEnabled());
    QVERIFY(!ventana.Desde()->isEnabled());
    destinos->setCurrentIndex(destinos->findData(Printers::NombrePdf));
    QVERIFY(ventana.Archivo()->isEnabled());
    QVERIFY(ventana.Archivo()->text().endsWith(QLatin1String(".pdf")));
    ventana.Rango()->setChecked(true);
    QVERIFY(ventana.Desde()->isEnabled());
    QVERIFY(ventana.PorNombre()->isChecked());
}

void TestDialogoImpresion::opciones_data()
{
    QTest::addColumn<bool>("pdf");
    QTest::addColumn<bool>("porCodigo");
    QTest::addColumn<bool>("rango");
    QTest::addColumn<QString>("desde");
    QTest::addColumn<QString>("hasta");

    QTest::newRow("pantalla por nombre") << false << false << false << "" << "";
    QTest::newRow("pantalla por código con rango") << false << true << true << "10" << "20";
    QTest::newRow("pdf con rango abierto") << true << false << true << "30" << "";
    QTest::newRow("rango sin marcar no se devuelve") << false << true << false << "10" << "20";
}

void TestDialogoImpresion::opciones()
{
    QFETCH(bool, pdf);
    QFETCH(bool, porCodigo);
    QFETCH(bool, rango);
    QFETCH(QString, desde);
    QFETCH(QString, hasta);

    QTemporaryDir carpeta;
    const QString archivo = carpeta.filePath(QStringLiteral("listado.pdf"));
    AlAbrirse<VentanaDestino>([&](VentanaDestino* ventana) {
        QComboBox* destinos = ventana->Destinos();
        destinos->setCurrentIndex(pdf ? destinos->findData(Printers::NombrePdf) : 0);
        if (pdf) {
            ventana->Archivo()->clear();
            QTest::keyClicks(ventana->Archivo(), archivo);
        }
        QTest::mouseClick(porCodigo ? ventana->PorCodigo() : ventana->PorNombre(), Qt::LeftButton);
        ventana->Desde()->setText(desde);
        ventana->Hasta()->setText(hasta);
        ventana->Rango()->setChecked(rango);
        QTest::mouseClick(ventana->BotonAceptar(), Qt::LeftButton);
    });

    Form maestro(QStringLiteral("FrmProvincias"));
    QObject* referencia = &maestro;
    auto dialogo = Tramacor::NuevoDialogoImpresion();
    QString destino;
    dialogo->ElegirDestino(nullptr, referencia, destino);

    QCOMPARE(referencia, &maestro);
    QCOMPARE(destino, pdf ? Printers::NombrePdf : QStringLiteral("Pantalla"));
    QCOMPARE(dialogo->ArchivoPdf(), pdf ? archivo : QString());
    QCOMPARE(dialogo->OrdenPorCodigo(), porCodigo);
    QCOMPARE(dialogo->ConRango(), rango);
    QCOMPARE(dialogo->CodigoDesde(), rango ? desde : QString());
    QCOMPARE(dialogo->CodigoHasta(), rango ? hasta : QString());
}

void TestDialogoImpresion::cancelar()
{
    AlAbrirse<VentanaDestino>([](VentanaDestino* ventana) {
        ventana->Rango()->setChecked(true);
        ventana->Desde()->setText(QStringLiteral("01"));
        QTest::keyClick(ventana, Qt::Key_Escape);
    });
    DialogoImpresionQt dialogo;
    QObject* referencia = nullptr;
    QString destino = QStringLiteral("antes");
    dialogo.ElegirDestino(nullptr, referencia, destino);
    QCOMPARE(destino, QStringLiteral("Null Impresora"));
    QVERIFY(!dialogo.ConRango());
    QVERIFY(dialogo.CodigoDesde().isEmpty());
}

void TestDialogoImpresion::pdfSinArchivo()
{
    // Accepting the PDF printer without a file asks for one and keeps the dialog open.
    VentanaDestino ventana;
    ventana.show();
    ventana.Destinos()->setCurrentIndex(ventana.Destinos()->findData(Printers::NombrePdf));
    ventana.Archivo()->clear();
    QString aviso;
    AlAbrirse<QMessageBox>([&aviso](QMessageBox* caja) {
        aviso = caja->text();
        caja->accept();
    });
    QTest::mouseClick(ventana.BotonAceptar(), Qt::LeftButton);
    QVERIFY(aviso.contains(QStringLiteral("archivo PDF")));
    QVERIFY(ventana.isVisible());
    QCOMPARE(ventana.Opciones().Destino, QStringLiteral("Null Impresora"));
}

void TestDialogoImpresion::dialogoFalso()
{
    auto guion = InstalarDialogoImpresionFalso();
    OpcionesImpresion primera;
    primera.Destino = QStringLiteral("Pantalla");
    primera.OrdenPorCodigo = true;
    primera.ConRango = true;
    primera.CodigoDesde = QStringLiteral("1");
    primera.CodigoHasta = QStringLiteral("2");
    guion->Respuestas = {primera};

    Form maestro(QStringLiteral("FrmProvincias"));
    QObject* referencia = &maestro;
    QString destino;
    auto dialogo = Tramacor::NuevoDialogoImpresion();
    dialogo->ElegirDestino(nullptr, referencia, destino);
    QCOMPARE(destino, QStringLiteral("Pantalla"));
    QVERIFY(dialogo->OrdenPorCodigo());
    QCOMPARE(dialogo->CodigoHasta(), QStringLiteral("2"));

    // With the script used up: the default answer, a cancelled dialog.
    auto otro = Tramacor::NuevoDialogoImpresion();
    otro->ElegirDestino(nullptr, referencia, destino);
    QCOMPARE(destino, QStringLiteral("Null Impresora"));
    QCOMPARE(guion->Ventanas.size(), 2);
    QCOMPARE(guion->Ventanas.at(0).data(), &maestro);
    Tramacor::FijarFabricaDialogoImpresion({});
    QVERIFY(dynamic_cast<DialogoImpresionQt*>(Tramacor::NuevoDialogoImpresion().get()));
}

QTEST_MAIN(TestDialogoImpresion)
#include "tst_DialogoImpresion.moc"
