// The demo host's command line.

#include "OpcionesDemo.h"

#include <QtTest>

class TestOpcionesDemo : public QObject
{
    Q_OBJECT

private slots:
    void validas_data();
    void validas();
    void erroneas_data();
    void erroneas();
};

void TestOpcionesDemo::validas_data()
{
    QTest::addColumn<QStringList>("argumentos");
    QTest::addColumn<QString>("base");
    QTest::addColumn<long>("ancho");
    QTest::addColumn<long>("alto");
    QTest::addColumn<QString>("captura");
    QTest::addColumn<QString>("listado");
    QTest::addColumn<bool>("porCodigo");
    QTest::addColumn<bool>("rango");
    QTest::addColumn<QString>("desde");
    QTest::addColumn<QString>("hasta");

    QTest::newRow("nada") << QStringList{} << "" << 15360L << 11520L << "" << "" << false << false << "" << "";
    QTest::newRow("db y base") << QStringList{"--db", "/tmp/p.sqlite", "--base", "1280x1024"} << "/tmp/p.sqlite"
                               << 19200L << 15360L << "" << "" << false << false << "" << "";
    QTest::newRow("con igual") << QStringList{"--db=postgresql://postgres@127.0.0.1:5432/p", "--base=800x600"}
                               << "postgresql://postgres@127.0.0.1:5432/p" << 12000L << 9000L << "" << "" << false
                               << false << "" << "";
    QTest::newRow("listado por código con rango")
        << QStringList{"--listado", "l.pdf", "--orden", "codigo", "--desde", "10", "--hasta", "20"} << "" << 15360L
        << 11520L << "" << "l.pdf" << true << true << "10" << "20";
    QTest::newRow("rango con hasta vacío") << QStringList{"--listado", "l.pdf", "--desde", "30", "--hasta", ""} << ""
                                           << 15360L << 11520L << "" << "l.pdf" << false << true << "30" << "";
}

void TestOpcionesDemo::validas()
{
    QFETCH(QStringList, argumentos);
    QFETCH(QString, base);
    QFETCH(long, ancho);
    QFETCH(long, alto);
    QFETCH(QString, captura);
    QFETCH(QString, listado);
    QFETCH(bool, porCodigo);
    QFETCH(bool, rango);
    QFETCH(QString, desde);
    QFETCH(QString, hasta);

    const OpcionesDemo o = LeerOpciones(argumentos);
    QCOMPARE(o.Error, QString());
    QCOMPARE(o.Base, base);
    QCOMPARE(o.AnchoBase, ancho);
    QCOMPARE(o.AltoBase, alto);
    QCOMPARE(o.Captura, captura);
    QCOMPARE(o.Listado, listado);
    QCOMPARE(o.OrdenPorCodigo, porCodigo);
    QCOMPARE(o.ConRango, rango);
    QCOMPARE(o.CodigoDesde, desde);
    QCOMPARE(o.CodigoHasta, hasta);
}

void TestOpcionesDemo::erroneas_data()
{
    QTest::addColumn<QStringList>("argumentos");
    QTest::addColumn<QString>("menciona");

    QTest::newRow("desconocida") << QStringList{"--bd", "x"} << "--bd";
    QTest::newRow("falta valor") << QStringList{"--db"} << "--db";
    QTest::newRow("base sin x") << QStringList{"--base", "1024"} << "1024";
    QTest::newRow("base diminuta") << QStringList{"--base", "10x10"} << "10x10";
    QTest::newRow("orden sin listado") << QStringList{"--orden", "codigo"} << "--listado";
    QTest::newRow("orden desconocido") << QStringList{"--listado", "l.pdf", "--orden", "fecha"} << "fecha";
    QTest::newRow("desde sin hasta") << QStringList{"--listado", "l.pdf", "--desde", "1"} << "--hasta";
    QTest::newRow("listado y captura") << QStringList{"--listado", "l.pdf", "--captura", "c.png"} << "--captura";
}

void TestOpcionesDemo::erroneas()
{
    QFETCH(QStringList, argumentos);
    QFETCH(QString, menciona);
    const OpcionesDemo o = LeerOpciones(argumentos);
    QVERIFY2(o.Error.contains(menciona), qPrintable(o.Error));
}

QTEST_MAIN(TestOpcionesDemo)
#include "tst_OpcionesDemo.moc"
