// The two surfaces the listing draws on: the preview's page picture, read back from the rendered
// page, and the printer writing real PDF files, read back with poppler's tools.

#include "tests/apoyo/Apoyo.h"
#include "tests/apoyo/ApoyoListado.h"
#include "printing/ErrorImpresion.h"
#include "printing/Printers.h"
#include "printing/SuperficieImpresora.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>

namespace {

constexpr double PixelesPorCm = 40.0;

// Bounding box, in pixels, of the dark pixels of the page rendered at 840 x 1188.
QRect Tinta(const SuperficiePagina& pagina)
{
    const QImage imagen = pagina.Imagen(QSize(qRound(21.0 * PixelesPorCm), qRound(29.7 * PixelesPorCm)));
    QRect caja;
    for (int y = 0; y < imagen.height(); ++y)
        for (int x = 0; x < imagen.width(); ++x)
            if (qGray(imagen.pixel(x, y)) < 160)
                caja |= QRect(x, y, 1, 1);
    return caja;
}

}  // namespace

class PruebaSuperficies : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<BaseListado> base_;
    std::unique_ptr<QTemporaryDir> carpeta_;
    QString Ruta(const QString& nombre) const { return carpeta_->filePath(nombre); }

private slots:
    void initTestCase()
    {
        QVERIFY(QDir::setCurrent(qEnvironmentVariable("QUILTREN_RAIZ")));
        base_ = std::make_unique<BaseListado>(false);
        base_->Instalar();
        base_->Generadas(20);  // one page of the listing
    }

    void cleanupTestCase() { base_.reset(); }

    void init() { carpeta_ = std::make_unique<QTemporaryDir>(); }

    void textoArribaEnCurrentY()
    {
        SuperficiePagina pagina;
        pagina.SetScaleMode(SuperficieDestino::Centimetros);
        pagina.SetFontName(QStringLiteral("Bookman Old Style"));
        pagina.SetFontSize(20);
        pagina.SetCurrentX(6.5);
        pagina.SetCurrentY(12.25);
        const QRectF caja(6.5, 12.25, pagina.TextWidth(QStringLiteral("Mgjpqy")), pagina.TextHeight(QStringLiteral("Mgjpqy")));
        pagina.Print(QStringLiteral("Mgjpqy"));
        // The ink lies in the text's box (top at CurrentY), reaches its right end and starts near its top.
        const QRect tinta = Tinta(pagina);
        const QRectF enCm(tinta.left() / PixelesPorCm, tinta.top() / PixelesPorCm, tinta.width() / PixelesPorCm,
                          tinta.height() / PixelesPorCm);
        QVERIFY(caja.adjusted(-0.05, -0.05, 0.05, 0.05).contains(enCm));
        QVERIFY(enCm.right() > caja.right() - 0.3 && enCm.top() < caja.top() + caja.height() / 3);
    }

    void rutaNoEscribible_data()
    {
        QTest::addColumn<QString>("ruta");  // %1 is the test's own folder
        QTest::addColumn<QString>("mensaje");
        QTest::newRow("sin archivo") << "" << "No se ha indicado el archivo PDF de destino.";
        QTest::newRow("carpeta inexistente") << "%1/no existe/l.pdf" << "la carpeta \"%1/no existe\" no existe";
        QTest::newRow("es una carpeta") << "%1" << "ya existe y no es un archivo";
        QTest::newRow("solo lectura") << "/proc/listado-quiltren.pdf" << "no se puede escribir en la carpeta \"/proc\"";
    }

    void rutaNoEscribible()
    {
        QFETCH(QString, ruta);
        QFETCH(QString, mensaje);
        ruta.replace(QLatin1String("%1"), carpeta_->path());
        mensaje.replace(QLatin1String("%1"), carpeta_->path());
        const auto error = Capturar<ErrorImpresion>([&] { SuperficieImpresora s(Printers::NombrePdf, ruta); });
        QVERIFY(error);
        QVERIFY2(error->Descripcion().contains(mensaje), qPrintable(error->Descripcion()));
        QCOMPARE(error->Numero(), 482L);
        QVERIFY(QDir(carpeta_->path()).entryList(QDir::Files | QDir::Hidden).isEmpty());
    }

    void documento_data()
    {
        // How the document ends; only an ended one leaves a PDF, and only under its name.
        QTest::addColumn<int>("final");  // 0 EndDoc, 1 KillDoc, 2 folder gone before EndDoc
        QTest::newRow("EndDoc") << 0;
        QTest::newRow("KillDoc") << 1;
        QTest::newRow("carpeta borrada antes de EndDoc") << 2;
    }

    void documento()
    {
        QFETCH(int, final);
        const QString salida = Ruta(QStringLiteral("salida"));
        const QString archivo = salida + QStringLiteral("/listado de provincias.pdf");
        QVERIFY(QDir().mkpath(salida));
        {
            SuperficieImpresora impresora(Printers::NombrePdf, archivo);
            Dibujar(impresora);
            // A PDF sheet has no unprintable edge: the whole A4 is usable, as on the preview.
            QVERIFY(std::fabs(impresora.ScaleWidth() - 21.0) < 0.01 && std::fabs(impresora.ScaleHeight() - 29.7) < 0.01);
            QVERIFY(impresora.Page() == 1 && !QFile::exists(archivo));
            if (final == 1)
                impresora.KillDoc();
            if (final == 2) {
                QVERIFY(QDir(salida).removeRecursively());
                QVERIFY_THROWS_EXCEPTION(ErrorImpresion, impresora.EndDoc());
                // With the folder back the next document is written, complete.
                QVERIFY(QDir().mkpath(salida));
                Dibujar(impresora);
            }
            if (final != 1) {
                impresora.EndDoc();
                QCOMPARE(impresora.Page(), 0);
                impresora.EndDoc();  // nothing drawn since: nothing to end
            }
        }
        QCOMPARE(QDir(salida).entryList(QDir::Files | QDir::Hidden),
                 final == 1 ? QStringList() : QStringList{QStringLiteral("listado de provincias.pdf")});
        if (final == 1)
            return;
        QCOMPARE(PaginasPdf(archivo), 1);
        QVERIFY(Ejecutar(QStringLiteral("pdfinfo"), {archivo}).texto.contains(QStringLiteral("(A4)")));
        const QString texto = TextoPdf(archivo);
        QVERIFY2(texto.contains(QStringLiteral("Listado de Provincias")) && texto.contains(QStringLiteral("Orbalt Software - Nuvesta Página 1")),
                 qPrintable(texto));

        // The PDF looks as the page picture of the same listing: ink on the picture is ink (within a
        // pixel) in the PDF, and the colours of the picture, the title band and the plain page are the same.
        QCOMPARE(Ejecutar(QStringLiteral("pdftoppm"), {"-png", "-r", "50", "-singlefile", archivo, Ruta(QStringLiteral("pdf"))}).codigo, 0);
        const QImage delPdf = QImage(Ruta(QStringLiteral("pdf.png"))).convertToFormat(QImage::Format_RGB32);
        QVERIFY(!delPdf.isNull());
        SuperficieGrabadora pagina;  // a printer's page: without the preview's frame
        Dibujar(pagina);
        const QImage dePagina = pagina.Imagen(delPdf.size()).convertToFormat(QImage::Format_RGB32);
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

QTEST_MAIN(PruebaSuperficies)
#include "tst_Superficies.moc"
