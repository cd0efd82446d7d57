// quiltren-demo --listado: the program run as a user runs it, on SQLite or on PostgreSQL; the PDF
// it leaves read back with pdfinfo and pdftotext, and its answers to bad input.

#include "ApoyoListado.h"
#include "Sentencias.h"

#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

namespace {

struct Resultado {
    int salida = -1;
    QString errores;
    QString mensaje;
};

Resultado Ejecutar(const QStringList& argumentos)
{
    QProcess programa;
    programa.setWorkingDirectory(qEnvironmentVariable("QUILTREN_RAIZ"));
    programa.start(QStringLiteral(QUILTREN_DEMO), argumentos);
    if (!programa.waitForFinished(300000))
        return {};
    return Resultado{programa.exitStatus() == QProcess::NormalExit ? programa.exitCode() : -1,
                     QString::fromUtf8(programa.readAllStandardError()),
                     QString::fromUtf8(programa.readAllStandardOutput())};
}

QStringList Codigos(const QString& texto, const QStringList& posibles)
{
    QStringList codigos;
    static const QRegularExpression fila(QStringLiteral("^\\s*(\\S+)\\s{2,}\\S.*$"), QRegularExpression::MultilineOption);
    for (auto it = fila.globalMatch(texto); it.hasNext();) {
        const QString codigo = it.next().captured(1);
        if (posibles.contains(codigo))
            codigos << codigo;
    }
    return codigos;
}

}  // namespace

class PruebaLineaDeOrdenes : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<BaseListado> base_;
    QTemporaryDir carpeta_;

private slots:
    void initTestCase() { base_ = std::make_unique<BaseListado>(MOTOR_POSTGRESQL != 0); }
    void cleanupTestCase() { base_.reset(); }

    void listado_data()
    {
        QTest::addColumn<QStringList>("opciones");
        QTest::addColumn<QString>("sentencia");
        QTest::newRow("por nombre, sin más") << QStringList{} << Sentencias::Listado(false);
        QTest::newRow("por código") << QStringList{"--orden", "codigo"} << Sentencias::Listado(true);
        QTest::newRow("un rango por nombre")
            << QStringList{"--orden", "nombre", "--desde", "10", "--hasta", "20"}
            << Sentencias::ListadoConRango(QStringLiteral("10"), QStringLiteral("20"), false);
        QTest::newRow("el primero tras el último") << QStringList{"--desde", "40", "--hasta", "30"}
                                                   << Sentencias::ListadoConRango(QStringLiteral("40"), QStringLiteral("30"), false);
    }

    void listado()
    {
        QFETCH(QStringList, opciones);
        QFETCH(QString, sentencia);

        base_->Reponer();
        const QString pdf = carpeta_.filePath(QStringLiteral("listado.pdf"));
        const Resultado r = Ejecutar(QStringList{"--db", base_->Conexion()->Origen(), "--listado", pdf} + opciones);
        QVERIFY2(r.salida == 0, qPrintable(r.errores));
        const int paginas = PaginasPdf(pdf);
        QVERIFY(paginas >= 1);
        QVERIFY(r.mensaje.contains(QStringLiteral("(%1 página").arg(paginas)));
        const QString texto = TextoPdf(pdf);
        const QStringList esperados = base_->CodigosSegun(sentencia);
        QStringList todos = base_->CodigosSegun(Sentencias::Listado(true));
        QCOMPARE(Codigos(texto, todos), esperados);
        QCOMPARE(texto.count(QStringLiteral("Listado de Provincias")), paginas);
        QVERIFY(texto.contains(QStringLiteral("Orbalt Software - Nuvesta Página %1\n").arg(paginas)));
    }

    void tablaVacia()
    {
        base_->Generadas(0);
        const QString pdf = carpeta_.filePath(QStringLiteral("vacia.pdf"));
        const Resultado r = Ejecutar({"--db", base_->Conexion()->Origen(), "--listado", pdf});
        QVERIFY2(r.salida == 0, qPrintable(r.errores));
        QCOMPARE(PaginasPdf(pdf), 1);
        QVERIFY(TextoPdf(pdf).contains(QStringLiteral("Orbalt Software - Nuvesta Página 1")));
    }

    void errores_data()
    {
        QTest::addColumn<QString>("archivo");
        QTest::addColumn<QStringList>("opciones");
        QTest::addColumn<QString>("mensaje");
        QTest::newRow("comillas en el rango") << "a.pdf" << QStringList{"--desde", "0'", "--hasta", "9"} << "comillas simples";
        QTest::newRow("carpeta que no existe") << "no/hay/a.pdf" << QStringList{} << "no existe";
        QTest::newRow("desde sin hasta") << "a.pdf" << QStringList{"--desde", "01"} << "--desde y --hasta";
        QTest::newRow("orden desconocido") << "a.pdf" << QStringList{"--orden", "fecha"} << "Orden no válido";
    }

    void errores()
    {
        QFETCH(QString, archivo);
        QFETCH(QStringList, opciones);
        QFETCH(QString, mensaje);

        const QString pdf = carpeta_.filePath(archivo);
        const Resultado r = Ejecutar(QStringList{"--db", base_->Conexion()->Origen(), "--listado", pdf} + opciones);
        QVERIFY(r.salida > 0);
        QVERIFY2(r.errores.contains(mensaje), qPrintable(r.errores));
        QVERIFY(r.mensaje.isEmpty());
        QVERIFY(!QFileInfo::exists(pdf));
    }
};

QTEST_GUILESS_MAIN(PruebaLineaDeOrdenes)
#include "tst_LineaDeOrdenes.moc"
