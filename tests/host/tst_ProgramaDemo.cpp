// quiltren-demo: its command line as read, and the program run as a user runs it: its picture of
// the windows, and its listing read back from the PDF with poppler's tools.

#include "tests/apoyo/ApoyoListado.h"
#include "component/Sentencias.h"
#include "host/OpcionesDemo.h"

#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

class TestProgramaDemo : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<BaseListado> base_;

private slots:
    // An SQLite file with more provinces than one page holds.
    void initTestCase()
    {
        base_ = std::make_unique<BaseListado>(false);
        base_->Generadas(120);
    }

    void opciones_data()
    {
        // What was read: base, design width x height, listing, order by code, range from-to; or
        // what the error names.
        QTest::addColumn<QStringList>("argumentos");
        QTest::addColumn<QString>("leido");
        QTest::addColumn<QString>("error");
        QTest::newRow("nada") << QStringList{} << "|17280x12960||0|" << "";
        QTest::newRow("db y base") << QStringList{"--db", "/tmp/p.sqlite", "--base", "1280x1024"}
                                   << "/tmp/p.sqlite|19200x15360||0|" << "";
        QTest::newRow("con igual") << QStringList{"--db=postgresql://postgres@127.0.0.1:5432/p", "--base=800x600"}
                                   << "postgresql://postgres@127.0.0.1:5432/p|12000x9000||0|" << "";
        QTest::newRow("listado por código con rango")
            << QStringList{"--listado", "l.pdf", "--orden", "codigo", "--desde", "10", "--hasta", "20"}
            << "|17280x12960|l.pdf|1|10-20" << "";
        QTest::newRow("rango con hasta vacío") << QStringList{"--listado", "l.pdf", "--desde", "30", "--hasta", ""}
                                               << "|17280x12960|l.pdf|0|30-" << "";
        QTest::newRow("desconocida") << QStringList{"--bd", "x"} << "" << "--bd";
        QTest::newRow("falta valor") << QStringList{"--db"} << "" << "--db";
        QTest::newRow("base diminuta") << QStringList{"--base", "10x10"} << "" << "10x10";
        QTest::newRow("orden sin listado") << QStringList{"--orden", "codigo"} << "" << "--listado";
        QTest::newRow("orden desconocido") << QStringList{"--listado", "l.pdf", "--orden", "fecha"} << "" << "fecha";
        QTest::newRow("desde sin hasta") << QStringList{"--listado", "l.pdf", "--desde", "1"} << "" << "--hasta";
        QTest::newRow("listado y captura") << QStringList{"--listado", "l.pdf", "--captura", "c.png"} << "" << "--captura";
        QTest::newRow("listado e impresora") << QStringList{"--listado", "l.pdf", "--impresora", "cola"} << "" << "--impresora";
        QTest::newRow("impresora sin nombre") << QStringList{"--impresora", ""} << "" << "--impresoras";
    }

    void opciones()
    {
        QFETCH(QStringList, argumentos);
        QFETCH(QString, leido);
        QFETCH(QString, error);
        const OpcionesDemo o = LeerOpciones(argumentos);
        QVERIFY2(error.isEmpty() ? o.Error.isEmpty() : o.Error.contains(error), qPrintable(o.Error));
        if (!error.isEmpty())
            return;
        QCOMPARE(QStringList({o.Base, QStringLiteral("%1x%2").arg(o.AnchoBase).arg(o.AltoBase), o.Listado,
                              QString::number(o.OrdenPorCodigo),
                              o.ConRango ? o.CodigoDesde + QLatin1Char('-') + o.CodigoHasta : QString()})
                     .join(QLatin1Char('|')),
                 leido);
    }

    void programa_data()
    {
        // %1 is a new empty folder, %2 the provinces; "salida" is the standard output when the exit
        // is 0, the error output otherwise. A listing only reads: a mistyped file must not become a
        // new database. A listing that fails leaves no file.
        QTest::addColumn<QStringList>("argumentos");
        QTest::addColumn<int>("codigo");
        QTest::addColumn<QString>("salida");
        QTest::newRow("versión") << QStringList{"--version"} << 0 << "Quiltren 1.00.0051 (es-ES)\n";
        QTest::newRow("opción errónea") << QStringList{"--base", "grande"} << 2 << "Tamaño de pantalla no válido";
        QTest::newRow("carpeta que no existe") << QStringList{"--db", "%1/falta/demo.sqlite", "--listado", "%1/l.pdf"} << 1
                                               << "No se pudo abrir la base de datos";
        QTest::newRow("archivo que no existe") << QStringList{"--db", "%1/demo.sqlite", "--listado", "%1/l.pdf"} << 1
                                               << "No se pudo abrir la base de datos";
        QTest::newRow("captura") << QStringList{"--db", "%1/demo.sqlite", "--captura", "%1/captura.png"} << 0 << "";
        const QString guardado = QStringLiteral("Listado de provincias guardado en %1/l.pdf (");
        QTest::newRow("listado por código") << QStringList{"--db", "%2", "--listado", "%1/l.pdf", "--orden", "codigo"} << 0 << guardado;
        QTest::newRow("listado de un rango por nombre")
            << QStringList{"--db", "%2", "--listado", "%1/l.pdf", "--orden", "nombre", "--desde", "10", "--hasta", "20"} << 0 << guardado;
        QTest::newRow("comillas en el rango") << QStringList{"--db", "%2", "--listado", "%1/l.pdf", "--desde", "0'", "--hasta", "9"} << 1
                                              << "No se pudo generar el listado: Los códigos del rango no pueden contener comillas simples";
        QTest::newRow("salida en una carpeta que no existe") << QStringList{"--db", "%2", "--listado", "%1/no/l.pdf"} << 1
                                                             << "No se pudo generar el listado: No se puede escribir el archivo PDF";
    }

    void programa()
    {
        QFETCH(QStringList, argumentos);
        QFETCH(int, codigo);
        QFETCH(QString, salida);
        QTemporaryDir carpeta;
        argumentos.replaceInStrings(QStringLiteral("%1"), carpeta.path()).replaceInStrings(QStringLiteral("%2"), base_->Origen());
        salida.replace(QStringLiteral("%1"), carpeta.path());
        QProcess p;
        p.start(QStringLiteral(RUTA_DEMO), argumentos);
        QVERIFY(p.waitForFinished(60000));
        const QString errores = QString::fromUtf8(p.readAllStandardError());
        QCOMPARE(p.exitCode(), codigo);
        const QString texto = codigo == 0 ? QString::fromUtf8(p.readAllStandardOutput()) : errores;
        QVERIFY2(salida.isEmpty() || texto.startsWith(salida), qPrintable(texto));
        if (codigo == 0)
            QCOMPARE(errores, QString());
        const QStringList quedan = QDir(carpeta.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
        if (codigo == 0 && argumentos.contains(QStringLiteral("--listado"))) {
            // Every page headed; the rows those of the options' statement, in its order.
            QCOMPARE(quedan, QStringList{"l.pdf"});
            const QString pdf = carpeta.filePath(QStringLiteral("l.pdf"));
            const int paginas = PaginasPdf(pdf);
            QVERIFY2(texto.contains(QStringLiteral("(%1 página").arg(paginas)), qPrintable(texto));
            const QString enPdf = TextoPdf(pdf);
            QCOMPARE(enPdf.count(QStringLiteral("Listado de Provincias")), paginas);
            const bool porCodigo = argumentos.contains(QStringLiteral("codigo"));
            const int desde = argumentos.indexOf(QStringLiteral("--desde")) + 1;
            const QString sentencia = desde > 0 ? Sentencias::ListadoConRango(argumentos[desde], argumentos[desde + 2], porCodigo)
                                                : Sentencias::Listado(porCodigo);
            QCOMPARE(CodigosDelTexto(enPdf, base_->CodigosSegun(Sentencias::Listado(true))), base_->CodigosSegun(sentencia));
            return;
        }
        if (!argumentos.contains(QStringLiteral("--captura"))) {
            QCOMPARE(quedan, QStringList());
            return;
        }
        // The host starts on a new database, registers the component, opens the maintenance window
        // by itself and takes the picture: not a blank one, the windows are in it.
        QCOMPARE(quedan, QStringList({"captura.png", "demo.sqlite"}));
        const QImage leida(carpeta.filePath(QStringLiteral("captura.png")));
        QVERIFY(leida.width() >= 640 && leida.height() >= 480);
        QSet<QRgb> colores;
        for (int y = 0; y < leida.height(); y += 7)
            for (int x = 0; x < leida.width(); x += 7)
                colores.insert(leida.pixel(x, y));
        QVERIFY(colores.size() > 20);
    }
};

QTEST_MAIN(TestProgramaDemo)
#include "tst_ProgramaDemo.moc"
