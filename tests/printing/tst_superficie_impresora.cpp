// The printer surface writing real PDF files, read back with poppler's tools: pages, text, size,
// failures that must never leave a PDF reported as written, bounded memory, and the same look as
// the preview's page picture.

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

long MemoriaResidenteKb()
{
    QFile estado(QStringLiteral("/proc/self/status"));
    if (!estado.open(QIODevice::ReadOnly))
        return -1;
    const QRegularExpressionMatch m =
        QRegularExpression(QStringLiteral("VmRSS:\\s+(\\d+) kB")).match(QString::fromLatin1(estado.readAll()));
    return m.hasMatch() ? m.captured(1).toLong() : -1;
}

}  // namespace

class TestSuperficieImpresora : public QObject {
    Q_OBJECT

private slots:
    void init();
    void pdfConSusPaginasYTexto_data();
    void pdfConSusPaginasYTexto();
    void areaUtilA4();
    void numeroDePagina();
    void rutaNoEscribible_data();
    void rutaNoEscribible();
    void carpetaDesaparecidaNoDaPorBuenoElPdf();
    void documentoAbandonadoNoDejaArchivo_data();
    void documentoAbandonadoNoDejaArchivo();
    void impresoraDesconocida();
    void miembrosDeLaPagina_data();
    void miembrosDeLaPagina();
    void papel_data();
    void papel();
    void pdfIgualQueLaVistaPrevia();
    void memoriaAcotadaEnPdfLargo();

private:
    std::unique_ptr<QTemporaryDir> carpeta_;
    QString Ruta(const QString& nombre) const { return carpeta_->filePath(nombre); }
};

void TestSuperficieImpresora::init()
{
    carpeta_ = std::make_unique<QTemporaryDir>();
    QVERIFY(carpeta_->isValid());
}

void TestSuperficieImpresora::pdfConSusPaginasYTexto_data()
{
    QTest::addColumn<int>("paginas");
    QTest::newRow("una página") << 1;
    QTest::newRow("dos páginas") << 2;
    QTest::newRow("siete páginas") << 7;
}

void TestSuperficieImpresora::pdfConSusPaginasYTexto()
{
    QFETCH(int, paginas);
    const QString archivo = Ruta(QStringLiteral("listado de provincias.pdf"));
    {
        SuperficieImpresora impresora(Printers::NombrePdf, archivo);
        impresora.SetPaperSize(SuperficieDestino::PapelA4);
        for (int i = 1; i <= paginas; ++i) {
            if (i > 1)
                impresora.NewPage();
            DibujarPaginaDePrueba(impresora, i, 10);
        }
        QVERIFY(!QFile::exists(archivo));  // nothing under the final name until the document ends
        impresora.EndDoc();
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

void TestSuperficieImpresora::areaUtilA4()
{
    SuperficieImpresora impresora(Printers::NombrePdf, Ruta(QStringLiteral("a.pdf")));
    impresora.SetPaperSize(SuperficieDestino::PapelA4);
    impresora.SetScaleMode(SuperficieDestino::Centimetros);
    QVERIFY(std::fabs(impresora.ScaleWidth() - 21.0) < 0.01);
    QVERIFY(std::fabs(impresora.ScaleHeight() - 29.7) < 0.01);
    QVERIFY(std::abs(impresora.Width() - 11906) <= 2);
    QVERIFY(std::abs(impresora.Height() - 16838) <= 2);
    QVERIFY(impresora.EsImpresora());
    QCOMPARE(impresora.DeviceName(), QStringLiteral("Imprimir a PDF"));

    // Text measures are the same as on a page picture: one layout for paper and screen.
    SuperficiePagina pagina;
    for (SuperficieDestino* s : {static_cast<SuperficieDestino*>(&impresora), static_cast<SuperficieDestino*>(&pagina)}) {
        s->SetScaleMode(SuperficieDestino::Centimetros);
        s->SetFontName(QStringLiteral("Bookman Old Style"));
        s->SetFontSize(11);
    }
    QCOMPARE(impresora.TextWidth(QStringLiteral("Provincia de Álava")), pagina.TextWidth(QStringLiteral("Provincia de Álava")));
    QCOMPARE(impresora.TextHeight(QStringLiteral("X")), pagina.TextHeight(QStringLiteral("X")));
}

void TestSuperficieImpresora::numeroDePagina()
{
    const QString archivo = Ruta(QStringLiteral("p.pdf"));
    SuperficieImpresora impresora(Printers::NombrePdf, archivo);
    impresora.SetScaleMode(SuperficieDestino::Centimetros);
    QCOMPARE(impresora.Page(), 0);
    impresora.SetCurrentX(3);
    impresora.SetCurrentY(4);
    impresora.Print(QStringLiteral("uno"));
    QCOMPARE(impresora.Page(), 1);
    impresora.NewPage();
    QCOMPARE(impresora.Page(), 2);
    QCOMPARE(impresora.CurrentX(), 0.0);
    QCOMPARE(impresora.CurrentY(), 0.0);
    impresora.Print(QStringLiteral("dos"));
    impresora.EndDoc();
    QCOMPARE(impresora.Page(), 0);
    QCOMPARE(PaginasPdf(archivo), 2);

    // The surface serves the next document the way the printer object does; EndDoc with nothing
    // drawn changes nothing.
    impresora.Print(QStringLiteral("tres"));
    impresora.EndDoc();
    impresora.EndDoc();
    QCOMPARE(PaginasPdf(archivo), 1);
    QVERIFY(TextoPdf(archivo).contains(QStringLiteral("tres")));
}

void TestSuperficieImpresora::rutaNoEscribible_data()
{
    QTest::addColumn<QString>("ruta");  // %1 is the test's own folder
    QTest::addColumn<QString>("mensaje");

    QTest::newRow("sin archivo") << "" << "No se ha indicado el archivo PDF";
    QTest::newRow("carpeta inexistente") << "%1/no existe/listado.pdf" << "no existe";
    QTest::newRow("es una carpeta") << "%1" << "no es un archivo";
    QTest::newRow("sistema de archivos de solo lectura") << "/proc/listado-quiltren.pdf" << "No se puede escribir";
}

void TestSuperficieImpresora::rutaNoEscribible()
{
    QFETCH(QString, ruta);
    QFETCH(QString, mensaje);
    if (ruta.contains(QLatin1String("%1")))
        ruta = ruta.arg(carpeta_->path());
    try {
        SuperficieImpresora impresora(Printers::NombrePdf, ruta);
        QFAIL("no se ha producido el error");
    } catch (const ErrorImpresion& error) {
        QVERIFY2(error.Descripcion().contains(mensaje), qPrintable(error.Descripcion()));
        QCOMPARE(error.Numero(), ErrorImpresion::ErrorImpresora);
    }
    QVERIFY(QDir(carpeta_->path()).entryList(QDir::Files | QDir::Hidden).isEmpty());
}

void TestSuperficieImpresora::carpetaDesaparecidaNoDaPorBuenoElPdf()
{
    const QString subcarpeta = Ruta(QStringLiteral("salida"));
    QVERIFY(QDir().mkpath(subcarpeta));
    const QString archivo = subcarpeta + QStringLiteral("/listado.pdf");
    SuperficieImpresora impresora(Printers::NombrePdf, archivo);
    DibujarPaginaDePrueba(impresora, 1);
    impresora.NewPage();
    DibujarPaginaDePrueba(impresora, 2);
    QVERIFY(QDir(subcarpeta).removeRecursively());
    QVERIFY_THROWS_EXCEPTION(ErrorImpresion, impresora.EndDoc());
    QVERIFY(!QFile::exists(archivo));

    // With the folder back the next document is written, complete.
    QVERIFY(QDir().mkpath(subcarpeta));
    DibujarPaginaDePrueba(impresora, 1);
    impresora.EndDoc();
    QCOMPARE(PaginasPdf(archivo), 1);
}

void TestSuperficieImpresora::documentoAbandonadoNoDejaArchivo_data()
{
    QTest::addColumn<bool>("conKillDoc");
    QTest::addColumn<bool>("habiaArchivo");
    QTest::newRow("KillDoc") << true << false;
    QTest::newRow("destruida sin EndDoc") << false << false;
    QTest::newRow("KillDoc sobre un archivo anterior") << true << true;
    QTest::newRow("destruida sobre un archivo anterior") << false << true;
}

void TestSuperficieImpresora::documentoAbandonadoNoDejaArchivo()
{
    QFETCH(bool, conKillDoc);
    QFETCH(bool, habiaArchivo);
    const QString archivo = Ruta(QStringLiteral("listado.pdf"));
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
        if (conKillDoc) {
            impresora.KillDoc();
            QCOMPARE(impresora.Page(), 0);
        }
    }
    const QStringList quedan = QDir(carpeta_->path()).entryList(QDir::Files | QDir::Hidden);
    if (habiaArchivo) {
        QCOMPARE(quedan, QStringList{QStringLiteral("listado.pdf")});
        QFile anterior(archivo);
        QVERIFY(anterior.open(QIODevice::ReadOnly));
        QCOMPARE(anterior.readAll(), QByteArray("listado anterior"));
    } else {
        QVERIFY2(quedan.isEmpty(), qPrintable(quedan.join(QLatin1Char(' '))));
    }
}

void TestSuperficieImpresora::impresoraDesconocida()
{
    try {
        SuperficieImpresora impresora(QStringLiteral("imprimir a pdf"), Ruta(QStringLiteral("x.pdf")));
        QFAIL("no se ha producido el error");
    } catch (const ErrorImpresion& error) {
        QCOMPARE(error.Descripcion(), QStringLiteral("No existe la impresora \"imprimir a pdf\"."));
    }
}

void TestSuperficieImpresora::miembrosDeLaPagina_data()
{
    QTest::addColumn<int>("miembro");
    QTest::addColumn<QString>("nombre");
    QTest::newRow("Cls") << 0 << "Cls";
    QTest::newRow("Left") << 1 << "Left";
    QTest::newRow("Top") << 2 << "Top";
    QTest::newRow("Width") << 3 << "Width";
}

void TestSuperficieImpresora::miembrosDeLaPagina()
{
    QFETCH(int, miembro);
    QFETCH(QString, nombre);
    SuperficieImpresora impresora(Printers::NombrePdf, Ruta(QStringLiteral("m.pdf")));
    try {
        switch (miembro) {
        case 0: impresora.Cls(); break;
        case 1: impresora.SetLeft(10); break;
        case 2: impresora.Top(); break;
        default: impresora.SetWidth(100); break;
        }
        QFAIL("no se ha producido el error");
    } catch (const ErrorImpresion& error) {
        QCOMPARE(error.Numero(), ErrorImpresion::MiembroNoAdmitido);
        QCOMPARE(error.Descripcion(), QStringLiteral("La impresora no admite %1.").arg(nombre));
    }
    QCOMPARE(impresora.Page(), 0);
}

void TestSuperficieImpresora::papel_data()
{
    QTest::addColumn<int>("tamano");
    QTest::addColumn<bool>("admitido");
    QTest::addColumn<double>("alto");  // cm
    QTest::newRow("A4") << 9 << true << 29.7;
    QTest::newRow("carta") << 1 << true << 27.94;
    QTest::newRow("A3 no admitido") << 8 << false << 29.7;
    QTest::newRow("cero") << 0 << false << 29.7;
}

void TestSuperficieImpresora::papel()
{
    QFETCH(int, tamano);
    QFETCH(bool, admitido);
    QFETCH(double, alto);
    SuperficieImpresora impresora(Printers::NombrePdf, Ruta(QStringLiteral("papel.pdf")));
    impresora.SetScaleMode(SuperficieDestino::Centimetros);
    QCOMPARE(impresora.PaperSize(), 9);
    if (admitido) {
        impresora.SetPaperSize(tamano);
    } else {
        QVERIFY_THROWS_EXCEPTION(ErrorImpresion, impresora.SetPaperSize(tamano));
        tamano = 9;
    }
    QCOMPARE(impresora.PaperSize(), tamano);
    QVERIFY(std::fabs(impresora.ScaleHeight() - alto) < 0.01);
}

void TestSuperficieImpresora::pdfIgualQueLaVistaPrevia()
{
    const QString archivo = Ruta(QStringLiteral("igual.pdf"));
    SuperficieImpresora impresora(Printers::NombrePdf, archivo);
    DibujarPaginaDePrueba(impresora, 1);
    impresora.EndDoc();
    const QString base = Ruta(QStringLiteral("pdf"));
    Ejecutar(QStringLiteral("pdftoppm"), {QStringLiteral("-png"), QStringLiteral("-r"), QStringLiteral("50"),
                                          QStringLiteral("-singlefile"), archivo, base});
    const QImage delPdf = QImage(base + QStringLiteral(".png")).convertToFormat(QImage::Format_RGB32);
    QVERIFY(!delPdf.isNull());

    SuperficiePagina pagina;
    DibujarPaginaDePrueba(pagina, 1);
    const QImage dePagina = pagina.Imagen(delPdf.size()).convertToFormat(QImage::Format_RGB32);
    if (!qEnvironmentVariableIsEmpty("QUILTREN_GUARDAR_IMAGENES")) {
        delPdf.save(qEnvironmentVariable("QUILTREN_GUARDAR_IMAGENES") + QStringLiteral("/pagina-pdf.png"));
        dePagina.save(qEnvironmentVariable("QUILTREN_GUARDAR_IMAGENES") + QStringLiteral("/pagina-vista.png"));
    }

    // Same place for everything: ink in one is ink (within a pixel) in the other, and the colours
    // of band, date and picture are the same.
    int tinta = 0;
    int sinPareja = 0;
    for (int y = 1; y < delPdf.height() - 1; ++y) {
        for (int x = 1; x < delPdf.width() - 1; ++x) {
            if (qGray(dePagina.pixel(x, y)) >= 128)
                continue;
            ++tinta;
            bool pareja = false;
            for (int dy = -1; dy <= 1 && !pareja; ++dy)
                for (int dx = -1; dx <= 1 && !pareja; ++dx)
                    pareja = qGray(delPdf.pixel(x + dx, y + dy)) < 200;
            if (!pareja)
                ++sinPareja;
        }
    }
    QVERIFY(tinta > 2000);
    QVERIFY2(sinPareja < tinta / 50, qPrintable(QStringLiteral("%1 de %2 puntos sin pareja").arg(sinPareja).arg(tinta)));
    const auto mismoColor = [&](double xCm, double yCm) {
        const QRgb a = dePagina.pixel(int(xCm * 50 / 2.54), int(yCm * 50 / 2.54));
        const QRgb b = delPdf.pixel(int(xCm * 50 / 2.54), int(yCm * 50 / 2.54));
        return std::abs(qRed(a) - qRed(b)) < 12 && std::abs(qGreen(a) - qGreen(b)) < 12 && std::abs(qBlue(a) - qBlue(b)) < 12;
    };
    QVERIFY(mismoColor(14, 15));   // the background picture
    QVERIFY(mismoColor(16, 3.9));  // the title band
    QVERIFY(mismoColor(19, 25));   // plain page
}

void TestSuperficieImpresora::memoriaAcotadaEnPdfLargo()
{
    // 2,000 pages stream out: memory after them is about what it was after the first hundred.
    const QString archivo = Ruta(QStringLiteral("largo.pdf"));
    SuperficieImpresora impresora(Printers::NombrePdf, archivo);
    long trasCien = 0;
    for (int i = 1; i <= 2000; ++i) {
        if (i > 1)
            impresora.NewPage();
        DibujarPaginaDePrueba(impresora, i);
        if (i == 100)
            trasCien = MemoriaResidenteKb();
    }
    const long alFinal = MemoriaResidenteKb();
    impresora.EndDoc();
    QVERIFY(trasCien > 0);
    QVERIFY2(alFinal - trasCien < 8 * 1024,
             qPrintable(QStringLiteral("de %1 kB a %2 kB").arg(trasCien).arg(alFinal)));
    QCOMPARE(PaginasPdf(archivo), 2000);
    // The background picture is stored once, not once per page.
    QVERIFY2(QFileInfo(archivo).size() < 2000LL * 8 * 1024, qPrintable(QString::number(QFileInfo(archivo).size())));
}

QTEST_MAIN(TestSuperficieImpresora)
#include "tst_superficie_impresora.moc"
