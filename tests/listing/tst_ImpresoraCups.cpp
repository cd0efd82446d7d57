// The listing on real print queues of the private CUPS scheduler that scripts/con-cups.sh starts: a
// job from the province window or from quiltren-demo holds the pages and text of the PDF
// destination, and a stopped, refusing or vanished queue or a listing cut short ends with a message
// and no job left in any queue. Without that scheduler every test here fails saying why: the
// system's own queues are never used.

#include "tests/apoyo/ApoyoListado.h"
#include "component/ClassProvincias.h"
#include "component/DatosComunes.h"
#include "tests/apoyo/Falsos.h"
#include "maintenance/FrmProvincias.h"
#include "runtime/Image.h"
#include "listing/ListadoProvincias.h"
#include "printing/Printers.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString Cola = QStringLiteral("quiltren-prueba");

// The jobs printed so far: the files the test queues' backend leaves, COLA-NÚMERO.pdf.
QStringList Trabajos()
{
    return QDir(qEnvironmentVariable("QUILTREN_CUPS_SALIDA")).entryList({QStringLiteral("*.pdf")}, QDir::Files);
}

// No job waits, is held or is printing in any queue.
bool SinTrabajosPendientes()
{
    const Salida r = Ejecutar(QStringLiteral("lpstat"), {QStringLiteral("-o")});
    return r.codigo == 0 && r.texto.trimmed().isEmpty();
}

}  // namespace

class PruebaImpresoraCups : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<BaseListado> base_;
    std::shared_ptr<GuionImpresion> dialogo_;
    ClassProvincias clase_;
    QStringList errores_;
    QTemporaryDir carpeta_;

    // Clicks the window's printer picture with these answers of the print dialog and returns the
    // path of the job the queue printed (empty when none arrived).
    QString Imprimir(const QString& destino, const QString& pdf = {}, const QString& desde = {}, const QString& hasta = {})
    {
        dialogo_->Respuestas = {OpcionesImpresion{destino, false, !desde.isEmpty(), desde, hasta, pdf}};
        const QStringList antes = Trabajos();
        const auto fallos = errores_.size();
        QWidget* impresora = VentanaProvincias()->ImgImpresora->Widget();
        QTest::mouseClick(impresora, Qt::LeftButton, {}, impresora->rect().center());
        // The queue prints on its own time: up to half a minute for the job to arrive.
        for (int i = 0; i < 300 && pdf.isEmpty() && errores_.size() == fallos; ++i) {
            if (const QString nuevo = Nuevo(antes); !nuevo.isEmpty())
                return nuevo;
            QTest::qWait(100);
        }
        return {};
    }

    static QString Nuevo(const QStringList& antes)
    {
        for (const QString& t : Trabajos())
            if (!antes.contains(t))
                return QDir(qEnvironmentVariable("QUILTREN_CUPS_SALIDA")).filePath(t);
        return {};
    }

private slots:
    void initTestCase()
    {
        if (qEnvironmentVariableIsSet("QUILTREN_CUPS_FALLO"))
            QFAIL(qPrintable(qEnvironmentVariable("QUILTREN_CUPS_FALLO")));
        if (!qEnvironmentVariable("CUPS_SERVER").startsWith(QDir::tempPath())
            || !QFileInfo(qEnvironmentVariable("QUILTREN_CUPS_SALIDA")).isDir())
            QFAIL("Estas pruebas necesitan el CUPS de pruebas: ejecútelas con scripts/con-cups.sh (make test lo hace).");
        // A stopped queue, one that refuses jobs and one about to vanish, beside the test queue.
        const QString uri = QStringLiteral("carpeta:") + qEnvironmentVariable("QUILTREN_CUPS_SALIDA");
        for (const char* cola : {"quiltren-detenida", "quiltren-rechaza", "quiltren-borrada"})
            QCOMPARE(Ejecutar(QStringLiteral("lpadmin"), {"-p", cola, "-E", "-v", uri}).codigo, 0);
        QCOMPARE(Ejecutar(QStringLiteral("cupsdisable"), {"quiltren-detenida"}).codigo, 0);
        QCOMPARE(Ejecutar(QStringLiteral("cupsreject"), {"quiltren-rechaza"}).codigo, 0);

        QVERIFY(QDir::setCurrent(qEnvironmentVariable("QUILTREN_RAIZ")));
        base_ = std::make_unique<BaseListado>(false);
        base_->Generadas(120);
        InstalarMensajesFalsos();
        InstalarFuncionesFalsas();
        dialogo_ = InstalarDialogoImpresionFalso();
        FijarManejadorErroresEventos([this](int, const QString& texto) { errores_ << texto; });
        base_->CargarVentana(clase_);
        QVERIFY(VentanaProvincias() && VentanaProvincias()->isVisible());
    }

    void cleanupTestCase()
    {
        if (VentanaProvincias())
            clase_.Cerrar();
        Comunes().Liberar();
        FijarManejadorErroresEventos({});
    }

    void trabajoComoElPdf()
    {
        // By name: the job holds the same rows in the same order as the PDF.
        const QString pdf = carpeta_.filePath(QStringLiteral("listado.pdf"));
        Imprimir(Printers::NombrePdf, pdf);
        const QString trabajo = Imprimir(Cola);
        QCOMPARE(errores_, QStringList());
        QVERIFY(QFileInfo(trabajo).fileName().startsWith(Cola + QLatin1Char('-')));
        const int paginas = PaginasPdf(pdf);
        QVERIFY(paginas > 1);
        QCOMPARE(PaginasPdf(trabajo), paginas);
        QCOMPARE(TextoPdf(trabajo), TextoPdf(pdf));
        for (const QString& archivo : {pdf, trabajo}) {
            const QString propiedades = Ejecutar(QStringLiteral("pdfinfo"), {archivo}).texto;
            QVERIFY2(propiedades.contains(QRegularExpression(QStringLiteral("Title:\\s+Listado de Provincias\n")))
                         && propiedades.contains(QRegularExpression(QStringLiteral("Author:\\s+prueba\n"))),
                     qPrintable(propiedades));
        }
        QTRY_VERIFY_WITH_TIMEOUT(SinTrabajosPendientes(), 10000);
    }

    void colaQueFalla_data()
    {
        QTest::addColumn<QString>("cola");
        QTest::addColumn<QString>("mensaje");
        QTest::newRow("detenida") << "quiltren-detenida" << "La impresora \"quiltren-detenida\" está detenida";
        QTest::newRow("que rechaza trabajos") << "quiltren-rechaza" << "La impresora \"quiltren-rechaza\" no acepta trabajos";
        // The queue was the current printer and went away: no queue by that name, nor a current one.
        QTest::newRow("borrada") << "quiltren-borrada" << "No existe la impresora \"quiltren-borrada\"";
    }

    void colaQueFalla()
    {
        QFETCH(QString, cola);
        QFETCH(QString, mensaje);
        if (cola == QLatin1String("quiltren-borrada")) {
            QVERIFY(Printers::Seleccionar(cola));
            QCOMPARE(Ejecutar(QStringLiteral("lpadmin"), {"-x", cola}).codigo, 0);
        }
        errores_.clear();
        const QStringList antes = Trabajos();
        QVERIFY(Imprimir(cola).isEmpty());
        Printers::EstablecerActual(Printers::Predeterminada());
        QCOMPARE(errores_.size(), 1);
        QVERIFY2(errores_.first().startsWith(mensaje), qPrintable(errores_.first()));
        QVERIFY(SinTrabajosPendientes());
        QCOMPARE(Trabajos(), antes);
        // The window goes on as before: the next listing reaches the good queue.
        QVERIFY(VentanaProvincias()->isVisible() && VentanaProvincias()->isEnabled() && !QApplication::activeModalWidget());
        QVERIFY(!Imprimir(Cola, {}, QStringLiteral("001"), QStringLiteral("002")).isEmpty());
        QCOMPARE(errores_.size(), 1);
    }

    void cortadoAMitad()
    {
        // Interrupted after the second page: nothing reaches the queue, no spool file stays behind.
        const QStringList antes = Trabajos();
        const QStringList temporales = QDir::temp().entryList({QStringLiteral("quiltren-trabajo-*")});
        QVERIFY_THROWS_EXCEPTION(std::runtime_error, ImprimirEnDestino(OpcionesFijas(), Cola, nullptr, [](int pagina) {
            if (pagina == 2)
                throw std::runtime_error("cancelado");
        }));
        QTest::qWait(1000);
        QVERIFY(SinTrabajosPendientes());
        QCOMPARE(Trabajos(), antes);
        QCOMPARE(QDir::temp().entryList({QStringLiteral("quiltren-trabajo-*")}), temporales);
    }

    void programaDemo_data()
    {
        QTest::addColumn<QStringList>("opciones");
        QTest::addColumn<int>("salida");
        QTest::addColumn<QString>("mensaje");  // on the standard output, or the error output when failing
        QTest::newRow("las impresoras") << QStringList{"--impresoras"} << 0 << "quiltren-prueba (predeterminada)\n";
        QTest::newRow("a la cola, un rango")
            << QStringList{"--impresora", Cola, "--orden", "codigo", "--desde", "010", "--hasta", "060"} << 0
            << "Listado de provincias enviado a la impresora quiltren-prueba (";
        QTest::newRow("cola desconocida") << QStringList{"--impresora", "quiltren-nada"} << 2 << "No existe la impresora «quiltren-nada»";
        QTest::newRow("cola detenida") << QStringList{"--impresora", "quiltren-detenida"} << 1 << "está detenida";
    }

    void programaDemo()
    {
        QFETCH(QStringList, opciones);
        QFETCH(int, salida);
        QFETCH(QString, mensaje);
        const QStringList antes = Trabajos();
        const Salida r = Ejecutar(QStringLiteral(QUILTREN_DEMO), QStringList{"--db", base_->Origen()} + opciones);
        QCOMPARE(r.codigo, salida);
        QVERIFY2((salida == 0 ? r.texto : r.errores).contains(mensaje), qPrintable(r.texto + r.errores));
        if (salida == 0)
            QCOMPARE(r.errores, QString());
        // The queue named and no other printed (the job's contents: as from the window, above).
        const bool trabajo = opciones.contains(QStringLiteral("--impresora")) && salida == 0;
        QTRY_COMPARE_WITH_TIMEOUT(Trabajos().size(), antes.size() + (trabajo ? 1 : 0), 30000);
        if (trabajo)
            QVERIFY(QFileInfo(Nuevo(antes)).fileName().startsWith(Cola + QLatin1Char('-')));
    }
};

QTEST_MAIN(PruebaImpresoraCups)
#include "tst_ImpresoraCups.moc"
