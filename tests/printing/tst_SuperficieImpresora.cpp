// The printer surface writing real PDF files, read back with poppler's tools: pages, text, size,
// failures that must never leave a PDF reported as written, and the same look as the preview's
// page picture. (Memory over long listings is measured through the listing itself.)

#include "ErrorImpresion.h"
#include "PaginaDePrueba.h"
#include "Printers.h"
#include "SuperficieImpresora.h"
#include "SuperficiePagina.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>

namespace {

// Output of a poppler tool; the test fails when it does not run cleanly.
QString Ejecutar(const QString& programa, const QStringList& argumentos)
{
    QProcess proceso;
    proceso.start(programa, argumentos);
    if (!proceso.waitForFinished(120000) || proceso.exitStatus() != QProcess::NormalExit || proceso.exitCode() != 0)
        return QStringLiteral("FALLO de %1: %2").arg(programa, QString::fromLocal8Bit(proceso.readAllStandardError()));
    return QString::fromUtf8(proceso.readAllStandardOutput());
}

int PaginasPdf(const QString& archivo)
{
    const QRegularExpressionMatch encontrado =
        QRegularExpression(QStringLiteral("^Pages:\\s+(\\d+)$"), QRegularExpression::MultilineOption)
            .match(Ejecutar(QStringLiteral("pdfinfo"), {archivo}));
    return encontrado.hasMatch() ? encontrado.captured(1).toInt() : -1;
}

QString TextoPdf(const QString& archivo)
{
    return Ejecutar(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), archivo, QStringLiteral("-")});
}

}  // namespace

class TestSuperficieImpresora : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> carpeta_;
    QString Ruta(const QString& nombre) const { return carpeta_->filePath(nombre); }

private slots:
    void init()
    {
        carpeta_ = std::make_unique<QTemporaryDir>();
        QVERIFY(carpeta_->isValid());
    }

    void pdfConSusPaginasYTexto_data()
    {
        QTest::addColumn<int>("paginas");
        QTest::newRow("una página") << 1;
        QTest::newRow("tres páginas") << 3;
    }

    void pdfConSusPaginasYTexto()
    {
        QFETCH(int, paginas);
        const QString archivo = Ruta(QStringLiteral("listado de provincias.pdf"));
        {
            SuperficieImpresora impresora(Printers::NombrePdf, archivo);
            impresora.SetPaperSize(SuperficieDestino::PapelA4);
            impresora.SetScaleMode(SuperficieDestino::Centimetros);
            // A PDF sheet has no unprintable edge: the whole A4 is usable, as on the preview.
            QVERIFY(std::fabs(impresora.ScaleWidth() - 21.0) < 0.01 && std::fabs(impresora.ScaleHeight() - 29.7) < 0.01);
            QCOMPARE(impresora.Page(), 0);
            for (int i = 1; i <= paginas; ++i) {
                if (i > 1)
                    impresora.NewPage();
                DibujarPaginaDePrueba(impresora, i, 10);
                QCOMPARE(impresora.Page(), i);
            }
            QVERIFY(!QFile::exists(archivo));  // nothing under the final name until the document ends
            impresora.EndDoc();
            QCOMPARE(impresora.Page(), 0);
            impresora.EndDoc();  // nothing drawn since: nothing to end
        }
        QCOMPARE(PaginasPdf(archivo), paginas);
        QVERIFY(Ejecutar(QStringLiteral("pdfinfo"), {archivo}).contains(QStringLiteral("(A4)")));
        const QString texto = TextoPdf(archivo);
        QCOMPARE(texto.count(QStringLiteral("Listado de Provincias")), paginas);
        for (int i = 1; i <= paginas; ++i) {
            QVERIFY2(texto.contains(QStringLiteral("Orbalt Software - Nuvesta Página %1").arg(i)), qPrintable(texto));
            QVERIFY(texto.contains(QStringLiteral("Provincia número %1").arg(i * 10)));
        }
        QVERIFY(texto.contains(QStringLiteral("Código")));
        QCOMPARE(QDir(carpeta_->path()).entryList(QDir::Files), QStringList{QStringLiteral("listado de provincias.pdf")});
    }

    void rutaNoEscribible_data()
    {
        QTest::addColumn<QString>("impresora");
        QTest::addColumn<QString>("ruta");  // %1 is the test's own folder
        QTest::addColumn<QString>("mensaje");

        const QString pdf = Printers::NombrePdf;
        QTest::newRow("sin archivo") << pdf << "" << "No se ha indicado el archivo PDF de destino.";
        QTest::newRow("carpeta inexistente") << pdf << "%1/no existe/l.pdf" << "la carpeta \"%1/no existe\" no existe";
        QTest::newRow("es una carpeta") << pdf << "%1" << "ya existe y no es un archivo";
        QTest::newRow("solo lectura") << pdf << "/proc/listado-quiltren.pdf" << "no se puede escribir en la carpeta \"/proc\"";
        QTest::newRow("impresora desconocida") << "imprimir a pdf" << "%1/l.pdf" << "No existe la impresora \"imprimir a pdf\".";
    }

    void rutaNoEscribible()
    {
        QFETCH(QString, impresora);
        QFETCH(QString, ruta);
        QFETCH(QString, mensaje);
        ruta.replace(QLatin1String("%1"), carpeta_->path());
        mensaje.replace(QLatin1String("%1"), carpeta_->path());
        try {
            SuperficieImpresora superficie(impresora, ruta);
            QFAIL("no se ha producido el error");
        } catch (const ErrorImpresion& error) {
            QVERIFY2(error.Descripcion().contains(mensaje), qPrintable(error.Descripcion()));
            QCOMPARE(error.Numero(), 482L);
        }
        QVERIFY(QDir(carpeta_->path()).entryList(QDir::Files | QDir::Hidden).isEmpty());
    }

    void documentoSinTerminarNoDejaPdf_data()
    {
        QTest::addColumn<int>("final");  // 0 KillDoc, 1 destroyed without EndDoc, 2 folder gone before EndDoc
        QTest::addColumn<bool>("habiaArchivo");
        QTest::newRow("KillDoc") << 0 << false;
        QTest::newRow("carpeta borrada antes de EndDoc") << 2 << false;
        QTest::newRow("destruida sobre un listado anterior") << 1 << true;
    }

    void documentoSinTerminarNoDejaPdf()
    {
        QFETCH(int, final);
        QFETCH(bool, habiaArchivo);
        const QString salida = Ruta(QStringLiteral("salida"));
        QVERIFY(QDir().mkpath(salida));
        const QString archivo = salida + QStringLiteral("/listado.pdf");
        if (habiaArchivo) {
            QFile anterior(archivo);
            QVERIFY(anterior.open(QIODevice::WriteOnly));
            anterior.write("listado anterior");
        }
        {
            SuperficieImpresora impresora(Printers::NombrePdf, archivo);
            DibujarPaginaDePrueba(impresora, 1);
            impresora.NewPage();
            DibujarPaginaDePrueba(impresora, 2);
            if (final == 0)
                impresora.KillDoc();
            if (final == 2) {
                QVERIFY(QDir(salida).removeRecursively());
                QVERIFY_THROWS_EXCEPTION(ErrorImpresion, impresora.EndDoc());
                // With the folder back the next document is written, complete.
                QVERIFY(QDir().mkpath(salida));
                DibujarPaginaDePrueba(impresora, 1);
                impresora.EndDoc();
                QCOMPARE(PaginasPdf(archivo), 1);
                return;
            }
            QCOMPARE(impresora.Page(), final == 0 ? 0 : 2);
        }
        const QStringList quedan = QDir(salida).entryList(QDir::Files | QDir::Hidden);
        QCOMPARE(quedan, habiaArchivo ? QStringList{QStringLiteral("listado.pdf")} : QStringList());
        if (habiaArchivo) {
            QFile anterior(archivo);
            QVERIFY(anterior.open(QIODevice::ReadOnly));
            QCOMPARE(anterior.readAll(), QByteArray("listado anterior"));
        }
    }

    void pdfIgualQueLaVistaPrevia()
    {
        const QString archivo = Ruta(QStringLiteral("igual.pdf"));
        SuperficieImpresora impresora(Printers::NombrePdf, archivo);
        DibujarPaginaDePrueba(impresora, 1);
        impresora.EndDoc();
        Ejecutar(QStringLiteral("pdftoppm"), {QStringLiteral("-png"), QStringLiteral("-r"), QStringLiteral("50"),
                                              QStringLiteral("-singlefile"), archivo, Ruta(QStringLiteral("pdf"))});
        const QImage delPdf = QImage(Ruta(QStringLiteral("pdf.png"))).convertToFormat(QImage::Format_RGB32);
        QVERIFY(!delPdf.isNull());
        SuperficiePagina pagina;
        DibujarPaginaDePrueba(pagina, 1);
        const QImage dePagina = pagina.Imagen(delPdf.size()).convertToFormat(QImage::Format_RGB32);

        // Ink on the page picture is ink (within a pixel) in the PDF, and the colours of the picture,
        // the title band and the plain page are the same.
        int tinta = 0, sinPareja = 0;
        for (int y = 1; y < delPdf.height() - 1; ++y)
            for (int x = 1; x < delPdf.width() - 1; ++x) {
                if (qGray(dePagina.pixel(x, y)) >= 128)
                    continue;
                ++tinta;
                bool pareja = false;
                for (int d = 0; d < 9 && !pareja; ++d)
                    pareja = qGray(delPdf.pixel(x + d % 3 - 1, y + d / 3 - 1)) < 200;
                sinPareja += !pareja;
            }
        QVERIFY2(tinta > 2000 && sinPareja < tinta / 50, qPrintable(QStringLiteral("%1 de %2 sin pareja").arg(sinPareja).arg(tinta)));
        for (const QPointF& cm : {QPointF(14, 15), QPointF(16, 3.9), QPointF(19, 25)}) {
            const QRgb a = dePagina.pixel(int(cm.x() * 50 / 2.54), int(cm.y() * 50 / 2.54));
            const QRgb b = delPdf.pixel(int(cm.x() * 50 / 2.54), int(cm.y() * 50 / 2.54));
            QVERIFY(std::abs(qRed(a) - qRed(b)) < 12 && std::abs(qGreen(a) - qGreen(b)) < 12 && std::abs(qBlue(a) - qBlue(b)) < 12);
        }
    }
};

QTEST_MAIN(TestSuperficieImpresora)
#include "tst_SuperficieImpresora.moc"
