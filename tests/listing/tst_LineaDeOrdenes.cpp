// quiltren-demo --listado run as a user runs it, on SQLite or on PostgreSQL: the PDF it leaves read
// back with pdfinfo and pdftotext matches the table and the options, and bad input gets a message
// on the error output, a failing exit and no file.

#include "ApoyoListado.h"
#include "ListadoProvincias.h"
#include "Sentencias.h"

#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

namespace {

struct Resultado {
    int salida = -1;
    QString errores, mensaje;
};

Resultado Ejecutar(const QStringList& argumentos)
{
    QProcess programa;
    programa.start(QStringLiteral(QUILTREN_DEMO), argumentos);
    if (!programa.waitForFinished(300000) || programa.exitStatus() != QProcess::NormalExit)
        return {};
    return Resultado{programa.exitCode(), QString::fromUtf8(programa.readAllStandardError()),
                     QString::fromUtf8(programa.readAllStandardOutput())};
}

}  // namespace

class PruebaLineaDeOrdenes : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<BaseListado> base_;
    QTemporaryDir carpeta_;

    Resultado Listar(const QString& pdf, const QStringList& opciones)
    {
        return Ejecutar(QStringList{"--db", base_->Conexion()->Origen(), "--listado", pdf} + opciones);
    }

private slots:
    void initTestCase() { base_ = std::make_unique<BaseListado>(); }
    void cleanupTestCase() { base_.reset(); }

    void listado_data()
    {
        // The rows expected are read from the table with the statement of the options.
        QTest::addColumn<int>("provincias");  // -1: the 52 of the schema
        QTest::addColumn<QStringList>("opciones");
        QTest::addColumn<QString>("sentencia");
        QTest::newRow("por nombre, sin más") << -1 << QStringList{} << Sentencias::Listado(false);
        QTest::newRow("un rango por nombre") << -1 << QStringList{"--orden", "nombre", "--desde", "10", "--hasta", "20"}
                                             << Sentencias::ListadoConRango(QStringLiteral("10"), QStringLiteral("20"), false);
        QTest::newRow("tabla vacía") << 0 << QStringList{} << Sentencias::Listado(false);
        QTest::newRow("varias páginas") << 150 << QStringList{"--orden", "codigo"} << Sentencias::Listado(true);
    }

    void listado()
    {
        QFETCH(int, provincias);
        QFETCH(QStringList, opciones);
        QFETCH(QString, sentencia);

        base_->Reponer();
        if (provincias >= 0)
            base_->Generadas(provincias);
        const QString pdf = carpeta_.filePath(QStringLiteral("listado.pdf"));
        const Resultado r = Listar(pdf, opciones);
        QVERIFY2(r.salida == 0 && r.errores.isEmpty(), qPrintable(r.errores));
        const int paginas = PaginasPdf(pdf);
        QVERIFY(paginas >= 1);
        QVERIFY2(r.mensaje.contains(QStringLiteral("(%1 página").arg(paginas)), qPrintable(r.mensaje));

        const QString texto = TextoPdf(pdf);
        QCOMPARE(CodigosDelTexto(texto, base_->CodigosSegun(Sentencias::Listado(true))), base_->CodigosSegun(sentencia));
        QCOMPARE(texto.count(QStringLiteral("Listado de Provincias")), paginas);
        QCOMPARE(texto.count(ListadoProvincias::FechaLarga(QDate::currentDate())), paginas);
        QCOMPARE(texto.count(QRegularExpression(QStringLiteral("Código\\s+Provincia"))), paginas);
        for (int i = 1; i <= paginas; ++i)
            QCOMPARE(texto.count(QStringLiteral("Orbalt Software - Nuvesta Página %1\n").arg(i)), 1);
    }

    void errores_data()
    {
        QTest::addColumn<QString>("archivo");
        QTest::addColumn<QStringList>("opciones");
        QTest::addColumn<QString>("mensaje");
        QTest::newRow("comillas en el rango") << "a.pdf" << QStringList{"--desde", "0'", "--hasta", "9"} << "comillas simples";
        QTest::newRow("carpeta que no existe") << "no/hay/a.pdf" << QStringList{} << "no existe";
        QTest::newRow("una carpeta por archivo") << "." << QStringList{} << "no es un archivo";
    }

    void errores()
    {
        QFETCH(QString, archivo);
        QFETCH(QStringList, opciones);
        QFETCH(QString, mensaje);
        const QStringList antes = QDir(carpeta_.path()).entryList(QDir::Files | QDir::Hidden);
        const Resultado r = Listar(carpeta_.filePath(archivo), opciones);
        QVERIFY(r.salida > 0);
        QVERIFY2(r.errores.contains(mensaje), qPrintable(r.errores));
        QVERIFY(r.mensaje.isEmpty());
        QCOMPARE(QDir(carpeta_.path()).entryList(QDir::Files | QDir::Hidden), antes);
    }
};

QTEST_GUILESS_MAIN(PruebaLineaDeOrdenes)
#include "tst_LineaDeOrdenes.moc"
