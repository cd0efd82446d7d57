// The PDF listing in the process itself: pages reported as they end, memory that stays flat over
// hundreds of pages, and a listing that fails part way leaving an earlier file as it was.

#include "ApoyoListado.h"
#include "DatosComunes.h"
#include "ListadoPdf.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include <stdexcept>

namespace {

// Resident memory of the process in bytes.
qint64 Residente()
{
    QFile estado(QStringLiteral("/proc/self/statm"));
    const QList<QByteArray> campos = estado.open(QIODevice::ReadOnly) ? estado.readAll().split(' ') : QList<QByteArray>();
    return campos.size() > 1 ? campos[1].toLongLong() * 4096 : 0;
}

QByteArray Contenido(const QString& archivo)
{
    QFile f(archivo);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

}  // namespace

class PruebaListadoPdf : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<BaseListado> base_;
    QTemporaryDir carpeta_;

private slots:
    void initTestCase()
    {
        QVERIFY(QDir::setCurrent(qEnvironmentVariable("QUILTREN_RAIZ")));
        base_ = std::make_unique<BaseListado>(false);
    }

    void cleanupTestCase() { base_.reset(); }

    // Long: under make soak (QUILTREN_SOAK=1) only.
    void muchasPaginasEnMemoriaAcotada()
    {
        if (qEnvironmentVariable("QUILTREN_SOAK") != QLatin1String("1"))
            QSKIP("Larga: se ejecuta con make soak");
        base_->Generadas(24000);
        const QString pdf = carpeta_.filePath(QStringLiteral("largo.pdf"));
        QList<int> avisos;
        qint64 enLaCien = 0, alFinal = 0;
        const int paginas = GenerarListadoPdf(base_->Conexion(), pdf, true, {}, {}, [&](int pagina) {
            avisos << pagina;
            if (pagina == 100)
                enLaCien = Residente();
            alFinal = Residente();
        });
        QVERIFY(paginas > 500);
        QCOMPARE(PaginasPdf(pdf), paginas);
        QCOMPARE(avisos.size(), paginas);
        QCOMPARE(avisos.last(), paginas);
        // Pages leave for the file as they end: hundreds more hardly grow the process, and the
        // background picture is stored once, not once per page.
        QVERIFY2(alFinal - enLaCien < 48 * 1024 * 1024, qPrintable(QString::number(alFinal - enLaCien)));
        QVERIFY2(QFileInfo(pdf).size() < paginas * 8 * 1024LL, qPrintable(QString::number(QFileInfo(pdf).size())));
        const QString texto = TextoPdf(pdf);
        QCOMPARE(texto.count(QStringLiteral("Orbalt Software - Nuvesta Página ")), paginas);
        QVERIFY(texto.contains(QStringLiteral("Orbalt Software - Nuvesta Página %1\n").arg(paginas)));
        // The component's shared state is as it was.
        QVERIFY(!DatosComunes::Conexion);
        QCOMPARE(DatosComunes::NumeroPagina, short(0));
    }

    void falloAMitadNoDejaArchivo()
    {
        base_->Generadas(40);
        const QString pdf = carpeta_.filePath(QStringLiteral("anterior.pdf"));
        GenerarListadoPdf(base_->Conexion(), pdf, true, {}, {});
        const QByteArray anterior = Contenido(pdf);
        QVERIFY(!anterior.isEmpty());
        const auto intacto = [&] {
            return Contenido(pdf) == anterior
                && QDir(carpeta_.path()).entryList({QStringLiteral("*parcial*")}, QDir::Files | QDir::Hidden).isEmpty();
        };
        // Interrupted after the second page...
        base_->Generadas(200);
        QVERIFY_THROWS_EXCEPTION(std::runtime_error, GenerarListadoPdf(base_->Conexion(), pdf, true, {}, {}, [](int pagina) {
            if (pagina == 2)
                throw std::runtime_error("interrumpido");
        }));
        QVERIFY(intacto());
        // ...or without the texts of the footer.
        base_->Conexion()->Execute(QStringLiteral("DROP TABLE Textos"));
        QVERIFY_THROWS_EXCEPTION(std::exception, GenerarListadoPdf(base_->Conexion(), pdf, true, {}, {}));
        QVERIFY(intacto());
    }
};

QTEST_MAIN(PruebaListadoPdf)
#include "tst_ListadoPdf.moc"
