// The report routines on recording A4 pages: which rows the options choose, where pages break and
// how many a table gives; the printer picture of the real province window with each answer of the
// print dialog; and the PDF listing without a window, failing part way or hundreds of pages long.

#include "ApoyoListado.h"
#include "ClassProvincias.h"
#include "DatosComunes.h"
#include "Falsos.h"
#include "FrmListados.h"
#include "FrmProvincias.h"
#include "Image.h"
#include "InstanciaPredeterminada.h"
#include "Label.h"
#include "ListadoPdf.h"
#include "ListadoProvincias.h"
#include "Printers.h"
#include "Screen.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <cmath>
#include <stdexcept>

namespace {

QString Pie(int pagina)
{
    return QStringLiteral("Orbalt Software - Nuvesta Página %1").arg(pagina);
}

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

class PruebaListadoProvincias : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<BaseListado> base_;
    std::shared_ptr<MensajesFalsos> mensajes_;
    std::shared_ptr<GuionImpresion> dialogo_;
    ClassProvincias clase_;
    QStringList errores_;
    QTemporaryDir carpeta_;

private slots:
    void initTestCase()
    {
        Screen::FijarTwipsPorPixel(15);
        Screen::FijarTamano(15360, 11520);
        QVERIFY(QDir::setCurrent(qEnvironmentVariable("QUILTREN_RAIZ")));
        base_ = std::make_unique<BaseListado>(false);
        mensajes_ = InstalarMensajesFalsos();
        InstalarFuncionesFalsas();
        dialogo_ = InstalarDialogoImpresionFalso();
        FijarManejadorErroresEventos([this](int numero, const QString& texto) {
            errores_ << QStringLiteral("%1: %2").arg(numero).arg(texto);
        });
        // The real province window, shown by the component as a host shows it.
        base_->CargarVentana(clase_);
        QVERIFY(VentanaProvincias() && VentanaProvincias()->isVisible());
    }

    void cleanupTestCase()
    {
        clase_.Cerrar();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        DatosComunes::Liberar();
        FijarManejadorErroresEventos({});
        Tramacor::FijarMensajes(nullptr);
        Tramacor::FijarFunciones(nullptr);
        Tramacor::FijarFabricaDialogoImpresion({});
        base_.reset();
    }

    void filasSegunOpciones_data()
    {
        // A range is asked for whenever a limit is given; codes compare as text.
        QTest::addColumn<bool>("porCodigo");
        QTest::addColumn<QString>("desde");
        QTest::addColumn<QString>("hasta");
        QTest::addColumn<QStringList>("codigos");
        QTest::newRow("por código, como texto") << true << "" << "" << QStringList{"1", "10", "2", "3"};
        QTest::newRow("por nombre, en español") << false << "" << "" << QStringList{"10", "3", "2", "1"};
        QTest::newRow("de 1 a 2 entra el 10") << true << "1" << "2" << QStringList{"1", "10", "2"};
        QTest::newRow("sin hasta: ninguna") << true << "2" << "" << QStringList{};
        QTest::newRow("desde tras hasta: ninguna") << true << "3" << "1" << QStringList{};
    }

    void filasSegunOpciones()
    {
        QFETCH(bool, porCodigo);
        QFETCH(QString, desde);
        QFETCH(QString, hasta);
        QFETCH(QStringList, codigos);
        base_->Filas({{"1", "Zamora"}, {"10", "Ávila"}, {"2", "Lugo"}, {"3", "Cádiz"}});
        SuperficieGrabadora superficie;
        Dibujar(superficie, OpcionesFijas(porCodigo, !desde.isEmpty() || !hasta.isEmpty(), desde, hasta));
        QCOMPARE(superficie.Filas(), codigos);
        // With no row the page is still whole: header, titles and footer.
        for (const QString& texto : {QStringLiteral("Listado de Provincias"), QStringLiteral("Código"), Pie(1)})
            QCOMPARE(superficie.Veces(texto), 1);
        QCOMPARE(ListadoProvincias::FechaLarga(QDate(2026, 12, 6)), QStringLiteral("domingo, 6 de diciembre de 2026"));
    }

    void saltoEnLaIgualdad()
    {
        base_->Generadas(8);
        // The tests the rows make on a page that never ends: pen + TextHeight("X") in 11 pt (the
        // first row is tested in the titles' 10 pt).
        SuperficieGrabadora alta(true, 1000);
        Dibujar(alta);
        QList<SuperficieGrabadora::Medida> pruebas;
        double altoLinea12 = 0;
        for (const auto& m : alta.Medidas) {
            if (m.Puntos == 12)
                altoLinea12 = m.Alto;
            else if (m.Puntos == 11)
                pruebas << m;
        }
        QCOMPARE(pruebas.size(), 7);
        const double prueba = pruebas[3].Pluma + pruebas[3].Alto;  // the fifth row's

        // A page whose LimiteInferior (height less one 12 pt line) is exactly that...
        double altoUtil = prueba + altoLinea12;
        for (int i = 0; i < 8 && altoUtil - altoLinea12 != prueba; ++i)
            altoUtil = std::nextafter(altoUtil, altoUtil - altoLinea12 < prueba ? 1000.0 : 0.0);
        QVERIFY(altoUtil - altoLinea12 == prueba);
        SuperficieGrabadora igual(true, altoUtil);
        Dibujar(igual);
        QCOMPARE(DatosComunes::LimiteInferior, prueba);
        // ...sends the fifth row to the next page, while the least bit more room keeps it.
        QCOMPARE(int(igual.Filas(true).size()), 4);
        QCOMPARE(igual.Filas(), alta.Filas());
        SuperficieGrabadora holgada(true, std::nextafter(altoUtil, 1000.0));
        Dibujar(holgada);
        QVERIFY(holgada.Filas(true).size() >= 5);
    }

    void paginas_data()
    {
        // Rows as a multiple of what one page holds, plus a few.
        QTest::addColumn<int>("porPagina");
        QTest::addColumn<int>("mas");
        QTest::addColumn<int>("paginas");
        QTest::newRow("ninguna fila") << 0 << 0 << 1;
        QTest::newRow("una página justa") << 1 << 0 << 1;
        QTest::newRow("una fila de más") << 1 << 1 << 2;
        QTest::newRow("muchas") << 7 << 5 << 8;
    }

    void paginas()
    {
        QFETCH(int, porPagina);
        QFETCH(int, mas);
        QFETCH(int, paginas);
        base_->Generadas(100);
        const int filas = porPagina * FilasPorPaginaA4() + mas;
        base_->Generadas(filas);
        SuperficieGrabadora superficie;
        Dibujar(superficie);
        QCOMPARE(int(DatosComunes::NumeroPagina), paginas);
        QCOMPARE(superficie.Saltos, paginas - 1);
        QCOMPARE(superficie.Filas().size(), filas);
        // Every page is whole and numbered in turn.
        QCOMPARE(superficie.Veces(QStringLiteral("Listado de Provincias")), paginas);
        for (int pagina = 1; pagina <= paginas; ++pagina)
            QCOMPARE(superficie.Veces(Pie(pagina)), 1);
    }

    void impresoraDeLaVentana_data()
    {
        // resultado: 0 nothing drawn, 1 a PDF, 2 the preview, 3 a printer error, 4 a refused range.
        QTest::addColumn<QString>("destino");
        QTest::addColumn<QString>("desde");
        QTest::addColumn<bool>("conArchivo");
        QTest::addColumn<int>("resultado");
        QTest::newRow("nada que imprimir") << "Null Impresora" << "" << true << 0;
        QTest::newRow("a PDF") << Printers::NombrePdf << "" << true << 1;
        QTest::newRow("en pantalla") << "Pantalla" << "" << false << 2;
        QTest::newRow("a PDF sin archivo") << Printers::NombrePdf << "" << false << 3;
        QTest::newRow("rango con comillas") << Printers::NombrePdf << "0' OR '1'='1" << true << 4;
    }

    void impresoraDeLaVentana()
    {
        QFETCH(QString, destino);
        QFETCH(QString, desde);
        QFETCH(bool, conArchivo);
        QFETCH(int, resultado);

        base_->Generadas(3);
        QTemporaryDir carpeta;
        OpcionesImpresion opciones;
        opciones.Destino = destino;
        opciones.OrdenPorCodigo = true;
        opciones.ConRango = !desde.isEmpty();
        opciones.CodigoDesde = desde;
        opciones.CodigoHasta = QStringLiteral("99");
        opciones.ArchivoPdf = conArchivo ? carpeta.filePath(QStringLiteral("provincias.pdf")) : QString();
        dialogo_->Respuestas = {opciones};
        dialogo_->Ventanas.clear();
        mensajes_->Llamadas.clear();
        errores_.clear();
        DatosComunes::NumeroPagina = 0;

        int paginasEnPantalla = 0;
        QColor banda;
        QTimer::singleShot(0, this, [&] {
            auto* listados = qobject_cast<FrmListados*>(InstanciaPredeterminada<FrmListados>::Referencia());
            if (!listados)
                return;
            paginasEnPantalla = listados->PicList.Count();
            // Down the page 5 cm from its left edge, between the two titles, into the band.
            const QImage pagina = listados->PicList(0)->Superficie().Imagen(QSize(2100, 2970));
            int y = 250;
            while (y < 700 && pagina.pixelColor(500, y) == QColor(Qt::white))
                ++y;
            banda = pagina.pixelColor(500, y + 5);
            emit listados->Barra1->SolicitudCierre();
        });
        QWidget* impresora = VentanaProvincias()->ImgImpresora->Widget();
        QTest::mouseClick(impresora, Qt::LeftButton, {}, impresora->rect().center());

        QCOMPARE(dialogo_->Ventanas.size(), 1);
        QCOMPARE(dialogo_->Ventanas.first().data(), VentanaProvincias());
        QCOMPARE(DatosComunes::Destino, destino);
        QCOMPARE(errores_.size(), resultado == 3 ? 1 : 0);
        QCOMPARE(mensajes_->Llamadas.size(), resultado == 4 ? 1 : 0);
        if (resultado == 4) {
            QVERIFY(mensajes_->Llamadas.first().Texto.contains(QStringLiteral("comillas simples")));
            QCOMPARE(mensajes_->Llamadas.first().Estilo, 16);
            QCOMPARE(mensajes_->Llamadas.first().Titulo, QStringLiteral("Atención"));
        }
        QCOMPARE(int(DatosComunes::NumeroPagina), resultado == 1 || resultado == 2 ? 1 : 0);
        QCOMPARE(QFile::exists(opciones.ArchivoPdf), resultado == 1);
        if (resultado == 1)
            QCOMPARE(CodigosDelTexto(TextoPdf(opciones.ArchivoPdf), {"01", "02", "03"}), QStringList({"01", "02", "03"}));
        QCOMPARE(paginasEnPantalla, resultado == 2 ? 1 : 0);
        if (resultado == 2)
            QCOMPARE(banda, VentanaProvincias()->LblCodigo->BackColor());
        QVERIFY(!InstanciaPredeterminada<FrmListados>::Existe());
    }

    void pdfFallidoDejaElAnterior()
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
        // ...or without the texts of the footer (a copy of the database, the window's stays whole).
        BaseListado otra(false);
        otra.Conexion()->Execute(QStringLiteral("DROP TABLE Textos"));
        QVERIFY_THROWS_EXCEPTION(std::exception, GenerarListadoPdf(otra.Conexion(), pdf, true, {}, {}));
        QVERIFY(intacto());
    }

    // Long: under make soak (QUILTREN_SOAK=1) only.
    void muchasPaginasEnMemoriaAcotada()
    {
        if (qEnvironmentVariable("QUILTREN_SOAK") != QLatin1String("1"))
            QSKIP("Larga: se ejecuta con make soak");
        base_->Generadas(24000);
        const QString pdf = carpeta_.filePath(QStringLiteral("largo.pdf"));
        const ConnectionPtr conexion = DatosComunes::Conexion;
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
        QVERIFY(texto.contains(Pie(paginas) + QLatin1Char('\n')));
        // The component's shared state is as it was.
        QCOMPARE(DatosComunes::Conexion, conexion);
    }
};

QTEST_MAIN(PruebaListadoProvincias)
#include "tst_ListadoProvincias.moc"
