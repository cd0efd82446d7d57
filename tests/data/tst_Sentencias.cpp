// The guard on codes pasted into statements, without a database.

#include "Sentencias.h"

#include <QtTest>

class PruebaSentencias : public QObject {
    Q_OBJECT

private slots:
    void codigoAceptable_data()
    {
        QTest::addColumn<QString>("codigo");
        QTest::addColumn<bool>("aceptable");
        QTest::newRow("cifras") << "28" << true;
        QTest::newRow("letras con eñe") << "Ñ1" << true;
        QTest::newRow("espacio final") << "1 " << true;
        QTest::newRow("vacío (lo rechaza la grabación)") << "" << true;
        QTest::newRow("por ciento") << "2%" << false;
        QTest::newRow("subrayado") << "_1" << false;
        QTest::newRow("asterisco") << "*" << false;
        QTest::newRow("corchete") << "[1" << false;
        QTest::newRow("comilla") << "O'" << false;
        QTest::newRow("barra invertida") << "1\\" << false;
        QTest::newRow("tabulador") << "1\t" << false;
        QTest::newRow("salto de línea") << "1\n" << false;
        QTest::newRow("carácter nulo") << QStringLiteral("a") + QChar(0) << false;
        QTest::newRow("fragmento SQL") << "x' OR '1'='1" << false;
        QTest::newRow("par UTF-16 completo") << QStringLiteral("\U0001F600") << true;
        QTest::newRow("mitad alta de un par") << QString(QChar(0xD83D)) + "1" << false;
        QTest::newRow("mitad baja al final") << "1" + QString(QChar(0xDE00)) << false;
    }

    void codigoAceptable()
    {
        QFETCH(QString, codigo);
        QFETCH(bool, aceptable);
        QCOMPARE(Sentencias::CodigoAceptable(codigo), aceptable);
    }
};

QTEST_GUILESS_MAIN(PruebaSentencias)
#include "tst_Sentencias.moc"
