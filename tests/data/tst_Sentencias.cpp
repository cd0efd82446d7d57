// The statement texts and the guard on pasted codes, without a database.

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
    }

    void codigoAceptable()
    {
        QFETCH(QString, codigo);
        QFETCH(bool, aceptable);
        QCOMPARE(Sentencias::CodigoAceptable(codigo), aceptable);
    }

    // Every text that carries a code, with a code holding quotes: each quote doubled, the rest
    // exactly as the system sends it.
    void comillasDobladas_data()
    {
        QTest::addColumn<QString>("obtenida");
        QTest::addColumn<QString>("esperada");
        const QString c = "a'b''";
        QTest::newRow("S3") << Sentencias::PorCodigoParaModificar(c)
                            << "SELECT Provincias.* From Provincias WHERE (((Provincias.Codigo) Like 'a''b'''''))ORDER BY Provincias.Provincia";
        QTest::newRow("S4") << Sentencias::BorrarPorCodigo(c)
                            << "DELETE From Provincias WHERE (((Provincias.Codigo) Like 'a''b'''''))";
        QTest::newRow("S5") << Sentencias::VerificarCambios(c)
                            << "SELECT Provincias.Codigo, Provincias.Provincia FROM Provincias WHERE ((Provincias.Codigo)like 'a''b''''') ORDER BY Provincias.Codigo";
        QTest::newRow("S6") << Sentencias::MostrarPorCodigo(c)
                            << " SELECT Provincias.Codigo, Provincias.Provincia From Provincias WHERE (((Provincias.codigo) like 'a''b'''''))ORDER BY Provincias.Provincia";
        QTest::newRow("S7") << Sentencias::ComprobarCodigo(c)
                            << "SELECT Provincias.* FROM Provincias WHERE Provincias.Codigo like 'a''b'''''";
        QTest::newRow("S9") << Sentencias::ListadoConRango(c, "'", false)
                            << "SELECT Provincias.* From Provincias Where  Provincias.Codigo >= 'a''b''''' AND Provincias.Codigo <= '''' ORDER BY Provincias.Provincia";
        QTest::newRow("Find >=") << Sentencias::CriterioCodigoMayorOIgual(c) << "Codigo >= 'a''b'''''";
        QTest::newRow("Find <") << Sentencias::CriterioCodigoMenor(c) << "Codigo < 'a''b'''''";
        QTest::newRow("Find like") << Sentencias::CriterioCodigoComo(c) << "Codigo like 'a''b'''''";
    }

    void comillasDobladas()
    {
        QFETCH(QString, obtenida);
        QFETCH(QString, esperada);
        QCOMPARE(obtenida, esperada);
    }
};

QTEST_GUILESS_MAIN(PruebaSentencias)
#include "tst_Sentencias.moc"
