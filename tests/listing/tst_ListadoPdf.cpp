// The listing written to PDF without a window, read back with poppler's pdfinfo and pdftotext: its
// pages and its text match the table, the options and the bad inputs, on SQLite or on PostgreSQL.

#include "ApoyoListado.h"
#include "DatosComunes.h"
#include "ErrorEjecucion.h"
#include "ErrorImpresion.h"
#include "ListadoPdf.h"
#include "ListadoProvincias.h"
#include "Sentencias.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

namespace {

bool EnPostgres()
{
    return MOTOR_POSTGRESQL != 0;
}

// The codes of the rows in the text of a listing, in order: a line holding a code and a name.
QStringList CodigosDelTexto(const QString& texto, const QStringList& posibles)
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

// Resident memory of the process in bytes.
qint64 Residente()
{
    QFile estado(QStringLiteral("/proc/self/statm"));
    if (!estado.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> campos = estado.readAll().split(' ');
    return campos.size() > 1 ? campos[1].toLongLong() * 4096 : 0;
}

}  // namespace

class PruebaListadoPdf : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<BaseListado> base_;
    QTemporaryDir carpeta_;

    QString Archivo(const QString& nombre) const { return carpeta_.filePath(nombre); }

private slots:
    void initTestCase()
    {
        QVERIFY(QDir::setCurrent(qEnvironmentVariable("QUILTREN_RAIZ")));
        base_ = std::make_unique<BaseListado>(EnPostgres());
    }

    void cleanupTestCase() { base_.reset(); }

    void laTablaEntera_data()
    {
        QTest::addColumn<bool>("porCodigo");
        QTest::newRow("por código") << true;
        QTest::newRow("por nombre") << false;
    }

    void laTablaEntera()
    {
        QFETCH(bool, porCodigo);
        base_->Generadas(0);
        base_->Reponer();
        const QStringList esperados = base_->CodigosSegun(Sentencias::Listado(porCodigo));
        QCOMPARE(esperados.size(), 52);

        const QString pdf = Archivo(QStringLiteral("provincias.pdf"));
        QList<int> avisos;
        const int paginas = GenerarListadoPdf(base_->Conexion(), pdf, porCodigo, {}, {},
                                              [&](int pagina) { avisos << pagina; });
        QVERIFY(paginas >= 2);
        QCOMPARE(PaginasPdf(pdf), paginas);
        QList<int> seguidas;
        for (int i = 1; i <= paginas; ++i)
            seguidas << i;
        QCOMPARE(avisos, seguidas);

        const QString texto = TextoPdf(pdf);
        QCOMPARE(CodigosDelTexto(texto, esperados), esperados);
        QVERIFY(texto.contains(QStringLiteral("Álava")) && texto.contains(QStringLiteral("Zaragoza")));
        QCOMPARE(texto.count(QStringLiteral("Listado de Provincias")), paginas);
        QCOMPARE(texto.count(ListadoProvincias::FechaLarga(QDate::currentDate())), paginas);
        QCOMPARE(texto.count(QRegularExpression(QStringLiteral("Código\\s+Provincia"))), paginas);
        for (int i = 1; i <= paginas; ++i)
            QCOMPARE(texto.count(QStringLiteral("Orbalt Software - Nuvesta Página %1\n").arg(i)), 1);
        // The shared state of the component is as it was before.
        QVERIFY(!DatosComunes::Conexion);
    }

    void opciones_data()
    {
        QTest::addColumn<QString>("desde");
        QTest::addColumn<QString>("hasta");
        QTest::addColumn<QStringList>("codigos");
        QTest::newRow("rango") << "10" << "14" << QStringList{"10", "11", "12", "13", "14"};
        QTest::newRow("como texto, de 1 a 2") << "1" << "2" << QStringList{"1", "10", "11", "12", "13", "14", "15", "16", "17", "18", "19", "2"};
        QTest::newRow("el primero tras el último") << "30" << "20" << QStringList{};
        QTest::newRow("sin hasta") << "10" << "" << QStringList{};
        QTest::newRow("sin desde: todas") << "" << "3"
                                          << QStringList{"1", "10", "11", "12", "13", "14", "15", "16", "17", "18",
                                                         "19", "2", "20", "3", "4", "5", "6", "7", "8", "9"};
    }

    void opciones()
    {
        QFETCH(QString, desde);
        QFETCH(QString, hasta);
        QFETCH(QStringList, codigos);

        QStringList tabla;
        for (int i = 1; i <= 20; ++i)
            tabla << QString::number(i);
        base_->Codigos(tabla);
        const QString pdf = Archivo(QStringLiteral("rango.pdf"));
        const int paginas = GenerarListadoPdf(base_->Conexion(), pdf, true, desde, hasta);
        QCOMPARE(paginas, 1);
        QCOMPARE(PaginasPdf(pdf), 1);
        const QString texto = TextoPdf(pdf);
        QCOMPARE(CodigosDelTexto(texto, tabla), codigos);
        QVERIFY(texto.contains(QStringLiteral("Listado de Provincias")));
        QVERIFY(texto.contains(QStringLiteral("Orbalt Software - Nuvesta Página 1")));
    }

    void tablaVacia()
    {
        base_->Generadas(0);
        const QString pdf = Archivo(QStringLiteral("vacia.pdf"));
        QCOMPARE(GenerarListadoPdf(base_->Conexion(), pdf, false, {}, {}), 1);
        QCOMPARE(PaginasPdf(pdf), 1);
        const QString texto = TextoPdf(pdf);
        QVERIFY(texto.contains(QStringLiteral("Listado de Provincias")));
        QVERIFY(texto.contains(QRegularExpression(QStringLiteral("Código\\s+Provincia"))));
        QVERIFY(texto.contains(QStringLiteral("Orbalt Software - Nuvesta Página 1")));
    }

    void entradasQueSeRechazan_data()
    {
        QTest::addColumn<QString>("nombre");
        QTest::addColumn<QString>("desde");
        QTest::addColumn<QString>("hasta");
        QTest::addColumn<QString>("mensaje");
        QTest::newRow("comilla en desde") << "a.pdf" << "0' OR '1'='1" << "99" << "comillas simples";
        QTest::newRow("comilla en hasta") << "a.pdf" << "01" << "'" << "comillas simples";
        QTest::newRow("carpeta que no existe") << "no/existe/a.pdf" << "" << "" << "no existe";
        QTest::newRow("una carpeta por archivo") << "." << "" << "" << "no es un archivo";
        QTest::newRow("sin nombre") << "" << "" << "" << "archivo PDF";
    }

    void entradasQueSeRechazan()
    {
        QFETCH(QString, nombre);
        QFETCH(QString, desde);
        QFETCH(QString, hasta);
        QFETCH(QString, mensaje);

        base_->Generadas(30);
        const QString pdf = nombre.isEmpty() ? QString() : Archivo(nombre);
        const QStringList antes = QDir(carpeta_.path()).entryList(QDir::Files | QDir::Hidden);
        try {
            GenerarListadoPdf(base_->Conexion(), pdf, true, desde, hasta);
            QFAIL("Debía rechazarse");
        } catch (const std::exception& error) {
            QVERIFY2(DescripcionError(error).contains(mensaje), qPrintable(DescripcionError(error)));
        }
        // Nothing written, not even a part of a file.
        QCOMPARE(QDir(carpeta_.path()).entryList(QDir::Files | QDir::Hidden), antes);
        QVERIFY(!DatosComunes::Conexion);
    }

    void falloAMitadNoDejaArchivo()
    {
        // A PDF from an earlier listing stays as it was when the next one fails part way.
        base_->Generadas(40);
        const QString pdf = Archivo(QStringLiteral("anterior.pdf"));
        GenerarListadoPdf(base_->Conexion(), pdf, true, {}, {});
        const QByteArray anterior = [&] {
            QFile f(pdf);
            return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
        }();
        QVERIFY(!anterior.isEmpty());
        const auto intacto = [&] {
            QFile f(pdf);
            return f.open(QIODevice::ReadOnly) && f.readAll() == anterior
                && QDir(carpeta_.path()).entryList({QStringLiteral("*parcial*")}, QDir::Files | QDir::Hidden).isEmpty();
        };

        // Interrupted after the second page...
        base_->Generadas(200);
        QVERIFY_THROWS_EXCEPTION(std::runtime_error,
                                 GenerarListadoPdf(base_->Conexion(), pdf, true, {}, {}, [](int pagina) {
                                     if (pagina == 2)
                                         throw std::runtime_error("interrumpido");
                                 }));
        QVERIFY(intacto());

        // ...or without the texts of the footer.
        base_->Conexion()->Execute(QStringLiteral("DROP TABLE Textos"));
        QVERIFY_THROWS_EXCEPTION(std::exception, GenerarListadoPdf(base_->Conexion(), pdf, true, {}, {}));
        QVERIFY(intacto());
        base_->Reponer();
    }

    void sinImagenDeFondo()
    {
        base_->Generadas(60);
        const QString pdf = Archivo(QStringLiteral("sin_fondo.pdf"));
        const QString raiz = QDir::currentPath();
        QVERIFY(QDir::setCurrent(carpeta_.path()));
        const int paginas = GenerarListadoPdf(base_->Conexion(), pdf, true, {}, {});
        QDir::setCurrent(raiz);
        QCOMPARE(PaginasPdf(pdf), paginas);
        QCOMPARE(CodigosDelTexto(TextoPdf(pdf), base_->CodigosSegun(Sentencias::Listado(true))).size(), 60);
    }

    void muchasPaginasEnMemoriaAcotada()
    {
        base_->Generadas(24000);
        const QString pdf = Archivo(QStringLiteral("largo.pdf"));
        qint64 alPrincipio = 0, alFinal = 0;
        const int paginas = GenerarListadoPdf(base_->Conexion(), pdf, true, {}, {}, [&](int pagina) {
            if (pagina == 100)
                alPrincipio = Residente();
            alFinal = Residente();
        });
        QVERIFY(paginas > 500);
        QCOMPARE(PaginasPdf(pdf), paginas);
        qInfo("%d páginas; la memoria creció %lld KB de la página 100 a la última", paginas,
              (alFinal - alPrincipio) / 1024);
        // Pages leave for the file as they end: hundreds more of them hardly grow the process.
        QVERIFY2(alFinal - alPrincipio < 48 * 1024 * 1024,
                 qPrintable(QStringLiteral("%1 MB más").arg((alFinal - alPrincipio) / (1024 * 1024))));
        const QString texto = TextoPdf(pdf);
        QCOMPARE(texto.count(QStringLiteral("Orbalt Software - Nuvesta Página ")), paginas);
        QVERIFY(texto.contains(QStringLiteral("Orbalt Software - Nuvesta Página %1\n").arg(paginas)));
    }
};

QTEST_MAIN(PruebaListadoPdf)
#include "tst_ListadoPdf.moc"
