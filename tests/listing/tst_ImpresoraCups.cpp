// The listing on real print queues of the private CUPS scheduler that scripts/con-cups.sh starts
// (without it every test fails saying why: the system's own queues are never used), from the
// province window and from quiltren-demo; a failed queue or listing leaves no job in any queue.

#include "tests/apoyo/ApoyoListado.h"
#include "component/ClassProvincias.h"
#include "component/DatosComunes.h"
#include "component/Sentencias.h"
#include "tests/apoyo/Falsos.h"
#include "maintenance/FrmProvincias.h"
#include "runtime/Image.h"
#include "listing/ListadoProvincias.h"
#include "printing/Printers.h"

#include <QDir>
#include <QImage>
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

    // quiltren-demo run as a user runs it. %1 is a new empty folder, the provinces' file the database
    // unless told; "mensaje" is in the standard output when the exit is 0, in the error output
    // otherwise. A listing only reads: a mistyped file must not become a new database.
    // What fails leaves no file.
    void programaDemo_data()
    {
        QTest::addColumn<QStringList>("opciones");
        QTest::addColumn<int>("salida");
        QTest::addColumn<QString>("mensaje");
        QTest::newRow("versión") << QStringList{"--version"} << 0 << "Quiltren 1.00.0051 (es-ES)\n";
        // Refused before anything opens.
        QTest::newRow("opción desconocida") << QStringList{"--bd", "x"} << 2 << "Opción desconocida: «--bd»";
        QTest::newRow("tamaño erróneo") << QStringList{"--base", "grande"} << 2 << "Tamaño de pantalla no válido";
        QTest::newRow("orden sin listado") << QStringList{"--orden", "codigo"} << 2 << "solo sirven con --listado o --impresora";
        QTest::newRow("orden desconocido") << QStringList{"--listado", "%1/l.pdf", "--orden", "fecha"} << 2 << "Orden no válido: «fecha»";
        QTest::newRow("desde sin hasta") << QStringList{"--listado", "%1/l.pdf", "--desde", "1"} << 2 << "Indique a la vez --desde y --hasta";
        QTest::newRow("listado y captura") << QStringList{"--listado", "%1/l.pdf", "--captura", "%1/c.png"} << 2
                                           << "--listado y --captura no se pueden usar juntas";
        QTest::newRow("listado e impresora") << QStringList{"--listado", "%1/l.pdf", "--impresora", Cola} << 2
                                             << "--listado e --impresora no se pueden usar juntas";
        QTest::newRow("archivo que no existe") << QStringList{"--db", "%1/demo.sqlite", "--listado", "%1/l.pdf"} << 1
                                               << "No se pudo abrir la base de datos";
        QTest::newRow("captura") << QStringList{"--db", "%1/demo.sqlite", "--captura", "%1/captura.png"} << 0 << "";
        const QString guardado = QStringLiteral("Listado de provincias guardado en %1/l.pdf (");
        QTest::newRow("listado de un rango abierto por nombre, en otra pantalla")
            << QStringList{"--base=800x600", "--listado", "%1/l.pdf", "--orden", "nombre", "--desde", "10", "--hasta", ""} << 0 << guardado;
        QTest::newRow("comillas en el rango") << QStringList{"--listado", "%1/l.pdf", "--desde", "0'", "--hasta", "9"} << 1
                                              << "No se pudo generar el listado: Los códigos del rango no pueden contener comillas simples";
        QTest::newRow("salida en una carpeta que no existe") << QStringList{"--listado", "%1/no/l.pdf"} << 1
                                                             << "No se pudo generar el listado: No se puede escribir el archivo PDF";
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
        QTemporaryDir carpeta;
        opciones.replaceInStrings(QStringLiteral("%1"), carpeta.path());
        mensaje.replace(QStringLiteral("%1"), carpeta.path());
        if (!opciones.contains(QStringLiteral("--db")))
            opciones = QStringList{"--db", base_->Origen()} + opciones;
        const QStringList antes = Trabajos();
        // Started from a folder without the pictures, as from a user's home.
        const QString raiz = QDir::currentPath();
        QDir::setCurrent(carpeta.path());
        const Salida r = Ejecutar(QStringLiteral(QUILTREN_DEMO), opciones);
        QDir::setCurrent(raiz);
        QCOMPARE(r.codigo, salida);
        QVERIFY2((salida == 0 ? r.texto : r.errores).contains(mensaje) && (salida != 0 || r.errores.isEmpty()),
                 qPrintable(r.texto + r.errores));
        // The queue named and no other printed (the job's contents: as from the window, above).
        const bool trabajo = opciones.contains(QStringLiteral("--impresora")) && salida == 0;
        QTRY_COMPARE_WITH_TIMEOUT(Trabajos().size(), antes.size() + (trabajo ? 1 : 0), 30000);
        if (trabajo)
            QVERIFY(QFileInfo(Nuevo(antes)).fileName().startsWith(Cola + QLatin1Char('-')));
        const QStringList quedan = QDir(carpeta.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
        if (salida == 0 && opciones.contains(QStringLiteral("--listado"))) {
            // Every page headed; the rows those of the options' statement, in its order.
            QCOMPARE(quedan, QStringList{"l.pdf"});
            const int paginas = PaginasPdf(carpeta.filePath(QStringLiteral("l.pdf")));
            QVERIFY2(r.texto.contains(QStringLiteral("(%1 página").arg(paginas)), qPrintable(r.texto));
            const QString enPdf = TextoPdf(carpeta.filePath(QStringLiteral("l.pdf")));
            QCOMPARE(enPdf.count(QStringLiteral("Listado de Provincias")), paginas);
            const bool porCodigo = opciones.contains(QStringLiteral("codigo"));
            const int desde = opciones.indexOf(QStringLiteral("--desde")) + 1;
            const QString sentencia = desde > 0 ? Sentencias::ListadoConRango(opciones[desde], opciones[desde + 2], porCodigo)
                                                : Sentencias::Listado(porCodigo);
            QCOMPARE(CodigosDelTexto(enPdf, base_->CodigosSegun(Sentencias::Listado(true))), base_->CodigosSegun(sentencia));
        } else if (salida == 0 && opciones.contains(QStringLiteral("--captura"))) {
            // The host starts on a new database, registers the component, opens the maintenance
            // window by itself and takes the picture: not a blank one, the windows are in it.
            QCOMPARE(quedan, QStringList({"captura.png", "demo.sqlite"}));
            const QImage leida(carpeta.filePath(QStringLiteral("captura.png")));
            QVERIFY(leida.width() >= 640 && leida.height() >= 480);
            QSet<QRgb> colores;
            for (int y = 0; y < leida.height(); y += 7)
                for (int x = 0; x < leida.width(); x += 7)
                    colores.insert(leida.pixel(x, y));
            QVERIFY(colores.size() > 20);
        } else {
            QCOMPARE(quedan, QStringList());
        }
    }
};

QTEST_MAIN(PruebaImpresoraCups)
#include "tst_ImpresoraCups.moc"
