// The demo host's command line.

#include "OpcionesDemo.h"

#include <QtTest>

class TestOpcionesDemo : public QObject
{
    Q_OBJECT

private slots:
    void validas_data()
    {
        // What was read: base, design width x height, listing, order by code, range from-to.
        QTest::addColumn<QStringList>("argumentos");
        QTest::addColumn<QString>("leido");
        QTest::newRow("nada") << QStringList{} << "|17280x12960||0|";
        QTest::newRow("db y base") << QStringList{"--db", "/tmp/p.sqlite", "--base", "1280x1024"}
                                   << "/tmp/p.sqlite|19200x15360||0|";
        QTest::newRow("con igual") << QStringList{"--db=postgresql://postgres@127.0.0.1:5432/p", "--base=800x600"}
                                   << "postgresql://postgres@127.0.0.1:5432/p|12000x9000||0|";
        QTest::newRow("listado por código con rango")
            << QStringList{"--listado", "l.pdf", "--orden", "codigo", "--desde", "10", "--hasta", "20"}
            << "|17280x12960|l.pdf|1|10-20";
        QTest::newRow("rango con hasta vacío") << QStringList{"--listado", "l.pdf", "--desde", "30", "--hasta", ""}
                                               << "|17280x12960|l.pdf|0|30-";
    }

    void validas()
    {
        QFETCH(QStringList, argumentos);
        QFETCH(QString, leido);
        const OpcionesDemo o = LeerOpciones(argumentos);
        QCOMPARE(o.Error, QString());
        QCOMPARE(QStringList({o.Base, QStringLiteral("%1x%2").arg(o.AnchoBase).arg(o.AltoBase), o.Listado,
                              QString::number(o.OrdenPorCodigo),
                              o.ConRango ? o.CodigoDesde + QLatin1Char('-') + o.CodigoHasta : QString()})
                     .join(QLatin1Char('|')),
                 leido);
        QVERIFY(o.Captura.isEmpty());
    }

    void erroneas_data()
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
        QTest::newRow("listado e impresora") << QStringList{"--listado", "l.pdf", "--impresora", "cola"} << "--impresora";
        QTest::newRow("impresora sin nombre") << QStringList{"--impresora", ""} << "--impresoras";
    }

    void erroneas()
    {
        QFETCH(QStringList, argumentos);
        QFETCH(QString, menciona);
        const OpcionesDemo o = LeerOpciones(argumentos);
        QVERIFY2(o.Error.contains(menciona), qPrintable(o.Error));
    }
};

QTEST_MAIN(TestOpcionesDemo)
#include "tst_OpcionesDemo.moc"
