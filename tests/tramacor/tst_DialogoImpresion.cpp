// The host's print dialog: the destinations offered, the options it returns, cancelling, the PDF file.

#include "tests/apoyo/Apoyo.h"
#include "tramacor/DialogoDestino.h"
#include "runtime/Form.h"
#include "tramacor/Tramacor.h"
#include "printing/Printers.h"
#include "tramacor/TraduccionesQt.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QtTest>

// What the user picks: "Pantalla", "pdf" or "cancelar", the order, whether a range and which.
struct Eleccion { QString destino; bool porCodigo, rango; QString desde, hasta; };
Q_DECLARE_METATYPE(Eleccion)

class TestDialogoImpresion : public QObject
{
    Q_OBJECT

private slots:
    void destinosOfrecidos()
    {
        // Qt's standard buttons (and its file, print and page set-up dialogs) speak Spanish.
        QVERIFY(CargarTraduccionesQt());
        QCOMPARE(QDialogButtonBox(QDialogButtonBox::Cancel).button(QDialogButtonBox::Cancel)->text(), QStringLiteral("Cancelar"));
        VentanaDestino ventana;
        QComboBox* destinos = ventana.Destinos();
        QStringList esperados{QStringLiteral("Pantalla")};
        for (const Impresora& impresora : Printers::Lista())
            esperados.append(impresora.DeviceName());
        QStringList ofrecidos;
        for (int i = 0; i < destinos->count(); ++i)
            ofrecidos.append(destinos->itemData(i).toString());
        // The screen first, then the system's printers and last the PDF printer, by its Spanish name.
        QCOMPARE(ofrecidos, esperados);
        QCOMPARE(ofrecidos.last(), QStringLiteral("Imprimir a PDF"));
        // The file and the range only take input when they apply.
        QVERIFY(!ventana.Archivo()->isEnabled());
        QVERIFY(!ventana.Desde()->isEnabled());
        destinos->setCurrentIndex(destinos->findData(Printers::NombrePdf));
        ventana.Rango()->setChecked(true);
        QVERIFY(ventana.Archivo()->isEnabled());
        QVERIFY(ventana.Desde()->isEnabled());
        QVERIFY(ventana.PorNombre()->isChecked());
        // Accepting the PDF printer without a file asks for one and keeps the dialog open.
        ventana.show();
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

    void opciones_data()
    {
        QTest::addColumn<Eleccion>("caso");
        QTest::newRow("pantalla por código con rango") << Eleccion{"Pantalla", true, true, "10", "20"};
        QTest::newRow("pdf con rango abierto") << Eleccion{"pdf", false, true, "30", ""};
        QTest::newRow("rango sin marcar no se devuelve") << Eleccion{"Pantalla", true, false, "10", "20"};
        QTest::newRow("cancelar") << Eleccion{"cancelar", true, true, "10", "20"};
    }

    void opciones()
    {
        QFETCH(Eleccion, caso);
        QTemporaryDir carpeta;
        const QString archivo = carpeta.filePath(QStringLiteral("listado.pdf"));
        const bool pdf = caso.destino == QLatin1String("pdf");
        const bool cancelar = caso.destino == QLatin1String("cancelar");
        AlAbrirse<VentanaDestino>([&](VentanaDestino* ventana) {
            QComboBox* destinos = ventana->Destinos();
            destinos->setCurrentIndex(pdf ? destinos->findData(Printers::NombrePdf) : 0);
            if (pdf) {
                ventana->Archivo()->clear();
                QTest::keyClicks(ventana->Archivo(), archivo);
            }
            QTest::mouseClick(caso.porCodigo ? ventana->PorCodigo() : ventana->PorNombre(), Qt::LeftButton);
            ventana->Desde()->setText(caso.desde);
            ventana->Hasta()->setText(caso.hasta);
            ventana->Rango()->setChecked(caso.rango);
            if (cancelar)
                QTest::keyClick(ventana, Qt::Key_Escape);
            else
                QTest::mouseClick(ventana->BotonAceptar(), Qt::LeftButton);
        });
        Form maestro(QStringLiteral("FrmProvincias"));
        QObject* referencia = &maestro;
        auto dialogo = Tramacor::NuevoDialogoImpresion();
        QString elegido = QStringLiteral("antes");
        dialogo->ElegirDestino(nullptr, referencia, elegido);
        QCOMPARE(referencia, &maestro);
        QCOMPARE(elegido, cancelar ? QStringLiteral("Null Impresora") : pdf ? Printers::NombrePdf : caso.destino);
        QCOMPARE(dialogo->ArchivoPdf(), pdf ? archivo : QString());
        QCOMPARE(dialogo->OrdenPorCodigo(), caso.porCodigo && !cancelar);
        QCOMPARE(dialogo->ConRango(), caso.rango && !cancelar);
        QCOMPARE(dialogo->CodigoDesde(), caso.rango && !cancelar ? caso.desde : QString());
        QCOMPARE(dialogo->CodigoHasta(), caso.rango && !cancelar ? caso.hasta : QString());
    }
};

QTEST_MAIN(TestDialogoImpresion)
#include "tst_DialogoImpresion.moc"
