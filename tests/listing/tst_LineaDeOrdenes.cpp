// quiltren-demo --listado run as a user runs it, on SQLite or on PostgreSQL: the PDF it leaves read
// back with pdfinfo and pdftotext matches the table and the options, and bad input gets a message
// on the error output, a failing exit and no file.

#include "tests/apoyo/ApoyoListado.h"
#include "listing/ListadoProvincias.h"
#include "component/Sentencias.h"

#include <QDir>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

struct Orden {
    int provincias; // -1: the 52 of the schema
    QString archivo;
    QStringList opciones;
    QString sentencia, error;
};
Q_DECLARE_METATYPE(Orden)

class PruebaLineaDeOrdenes : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<BaseListado> base_;
    QTemporaryDir carpeta_;

private slots:
    void initTestCase() { base_ = std::make_unique<BaseListado>(); }
    void cleanupTestCase() { base_.reset(); }

    void listado_data()
    {
        // The rows expected are read from the table with the statement of the options; a failing
        // run names its fault.
        QTest::addColumn<Orden>("caso");
        const QString nombre = Sentencias::Listado(false);
        QTest::newRow("por nombre, sin más") << Orden{-1, "l.pdf", {}, nombre, ""};
        QTest::newRow("un rango por nombre")
            << Orden{-1, "l.pdf", {"--orden", "nombre", "--desde", "10", "--hasta", "20"},
                     Sentencias::ListadoConRango(QStringLiteral("10"), QStringLiteral("20"), false), ""};
        QTest::newRow("tabla vacía") << Orden{0, "l.pdf", {}, nombre, ""};
        QTest::newRow("varias páginas") << Orden{150, "l.pdf", {"--orden", "codigo"}, Sentencias::Listado(true), ""};
        QTest::newRow("comillas en el rango")
            << Orden{-1, "a.pdf", {"--desde", "0'", "--hasta", "9"}, nombre, "comillas simples"};
        QTest::newRow("carpeta que no existe") << Orden{-1, "no/hay/a.pdf", {}, nombre, "no existe"};
        QTest::newRow("una carpeta por archivo") << Orden{-1, ".", {}, nombre, "no es un archivo"};
    }

    void listado()
    {
        QFETCH(Orden, caso);
        const auto& [provincias, archivo, opciones, sentencia, error] = caso;
        base_->Reiniciar(*base_->Conexion());
        if (provincias >= 0)
            base_->Generadas(provincias);
        const QString pdf = carpeta_.filePath(archivo);
        QFile::remove(pdf);
        const Salida r = Ejecutar(QStringLiteral(QUILTREN_DEMO), QStringList{"--db", base_->Origen(), "--listado", pdf} + opciones);
        if (!error.isEmpty()) {
            QVERIFY(r.codigo > 0 && r.texto.isEmpty());
            QVERIFY2(r.errores.contains(error), qPrintable(r.errores));
            QVERIFY(QDir(carpeta_.path()).entryList(QDir::Files | QDir::Hidden).isEmpty());
            return;
        }
        QVERIFY2(r.codigo == 0 && r.errores.isEmpty(), qPrintable(r.errores));
        const int paginas = PaginasPdf(pdf);
        QVERIFY(paginas >= 1);
        QVERIFY2(r.texto.contains(QStringLiteral("(%1 página").arg(paginas)), qPrintable(r.texto));
        const QString texto = TextoPdf(pdf);
        QFile::remove(pdf);
        QCOMPARE(CodigosDelTexto(texto, base_->CodigosSegun(Sentencias::Listado(true))), base_->CodigosSegun(sentencia));
        QCOMPARE(texto.count(QStringLiteral("Listado de Provincias")), paginas);
        QCOMPARE(texto.count(ListadoProvincias::FechaLarga(QDate::currentDate())), paginas);
        QCOMPARE(texto.count(QRegularExpression(QStringLiteral("Código\\s+Provincia"))), paginas);
        for (int i = 1; i <= paginas; ++i)
            QCOMPARE(texto.count(QStringLiteral("Orbalt Software - Nuvesta Página %1\n").arg(i)), 1);
    }
};

QTEST_GUILESS_MAIN(PruebaLineaDeOrdenes)
#include "tst_LineaDeOrdenes.moc"
