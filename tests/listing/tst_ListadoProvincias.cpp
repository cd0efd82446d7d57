// The listing: the whole-number arithmetic of its preview, the report routines on recording A4
// pages (which rows the options choose, where pages break and how many a table gives), the print
// command with each answer of the print dialog, the preview on the offscreen platform (the column
// of pages drawn while the window is already shown ending where composing them all at once ends, a
// listing closed or failing half-way), and the PDF listing without a window failing part way.

#include "tests/apoyo/Apoyo.h"
#include "tests/apoyo/ApoyoListado.h"
#include "listing/AritmeticaListados.h"
#include "controls/Barra.h"
#include "listing/ColumnaPaginas.h"
#include "runtime/ComboBox.h"
#include "component/DatosComunes.h"
#include "tests/apoyo/Falsos.h"
#include "listing/FrmListados.h"
#include "runtime/InstanciaPredeterminada.h"
#include "runtime/Label.h"
#include "listing/ListadoPdf.h"
#include "listing/ListadoProvincias.h"
#include "runtime/PictureBox.h"
#include "printing/Printers.h"
#include "runtime/Screen.h"
#include "runtime/ScrollBar.h"

#include <QDir>
#include <QPointer>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <cmath>
#include <functional>
#include <stdexcept>

using namespace AritmeticaListados;
using Calculo = std::function<double()>;
Q_DECLARE_METATYPE(Calculo)

namespace {

const QColor ColorCodigo(0xA0, 0xE0, 0xA0);

QString Pie(int pagina)
{
    return QStringLiteral("Orbalt Software - Nuvesta Página %1").arg(pagina);
}

FrmListados* Vista()
{
    return qobject_cast<FrmListados*>(InstanciaPredeterminada<FrmListados>::Referencia());
}

// Runs `mirar` once the modal preview is up (with `alTerminar`, once its pages are all drawn), then
// closes it through its title bar if it is still open.
void MientrasSeMuestra(std::function<void(FrmListados&)> mirar, bool alTerminar = true)
{
    QTimer::singleShot(0, qApp, [mirar, alTerminar] {
        QPointer<FrmListados> vista = Vista();
        if (!vista || !vista->isVisible() || (alTerminar && vista->Dibujando()))
            return MientrasSeMuestra(mirar, alTerminar);
        mirar(*vista);
        if (vista && vista->isVisible())
            emit vista->Barra1->SolicitudCierre();
    });
}

QString CbxZoom(int indice)
{
    return QStringList{Zoom50, Zoom100, ZoomEncajar}[indice];
}

// Zoom text, then the column's Height, Width, Top, Left and the scroll bar's Max, Value, Visible.
QString Estado(const FrmListados& v)
{
    QStringList estado{v.CbxPor->Text()};
    for (int valor : {v.Listado->Height(), v.Listado->Width(), v.Listado->Top(), v.Listado->Left(), v.Scroll->Max(),
                      v.Scroll->Value(), int(v.Scroll->Visible())})
        estado << QString::number(valor);
    return estado.join(QLatin1Char(' '));
}

// Rows of the tables below.
struct Informe {
    int porPagina, mas; // porPagina -1: the named rows
    bool porCodigo;
    QString desde, hasta;
    QStringList codigos; // of the named rows
    int paginas;
};

}  // namespace

Q_DECLARE_METATYPE(Informe)

class PruebaListadoProvincias : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<BaseListado> base_;
    std::shared_ptr<MensajesFalsos> mensajes_;
    std::shared_ptr<GuionImpresion> dialogo_;
    std::unique_ptr<Form> principal_, provincias_;
    QTemporaryDir carpeta_;
    int filasPorPagina_ = 0;

    // The print command with these answers of the print dialog; false when it fails.
    bool Imprimir(OpcionesImpresion opciones = OpcionesPantalla())
    {
        dialogo_->Respuestas = {opciones};
        Form* referencia = provincias_.get();
        try {
            ComandoImprimir(referencia);
        } catch (const std::exception&) {
            return false;
        }
        return true;
    }

    // A table whose listing has `paginas` pages and `mas` rows (`paginas` - 1 and one row by default).
    int GenerarPaginas(int paginas, int mas = 1)
    {
        if (filasPorPagina_ == 0) {
            base_->Generadas(100);
            filasPorPagina_ = FilasPorPaginaA4();
        }
        const int filas = (paginas - 1) * filasPorPagina_ + mas;
        base_->Generadas(filas);
        return filas;
    }

private slots:
    void initTestCase()
    {
        Screen::FijarTamano(15360, 11520);
        Screen::FijarTwipsPorPixel(15);
        QVERIFY(QDir::setCurrent(qEnvironmentVariable("QUILTREN_RAIZ")));
        base_ = std::make_unique<BaseListado>(false);
        base_->Instalar();
        mensajes_ = InstalarMensajesFalsos();
        InstalarFuncionesFalsas();
        dialogo_ = InstalarDialogoImpresionFalso();
        principal_ = std::make_unique<Form>(QStringLiteral("FrmPrincipal"));
        Comunes().FormPrincipal = principal_.get();
        provincias_ = std::make_unique<Form>(QStringLiteral("FrmProvincias"));
        (new Label(provincias_.get(), QStringLiteral("LblCodigo")))->setBackColor(ColorCodigo);
    }

    void cleanupTestCase()
    {
        Tramacor::FijarMensajes(nullptr);
        Tramacor::FijarFunciones(nullptr);
        Tramacor::FijarFabricaDialogoImpresion({});
        base_.reset();
    }

    void cleanup()
    {
        if (FrmListados* vista = Vista())
            vista->Unload();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void aritmetica_data()
    {
        // The runtime's whole numbers: halves to the even neighbour, overflow (6) and division by
        // zero (11) raised as its errors.
        QTest::addColumn<Calculo>("calculo");
        QTest::addColumn<double>("resultado");
        QTest::addColumn<int>("error");
        QTest::newRow("medio a par") << Calculo([] { return RedondearLargo(2.5); }) << 2.0 << 0;
        QTest::newRow("\\ redondea el dividendo") << Calculo([] { return DivisionEntera(11.5, 2); }) << 6.0 << 0;
        QTest::newRow("\\ trunca hacia cero") << Calculo([] { return DivisionEntera(-7, 2); }) << -3.0 << 0;
        QTest::newRow("x / 0") << Calculo([] { return Dividir(7, 0); }) << 0.0 << 11;
        QTest::newRow("0 / 0") << Calculo([] { return Dividir(0, 0); }) << 0.0 << 6;
        QTest::newRow("página 32768") << Calculo([] { return SiguientePagina(32767); }) << 0.0 << 6;
        QTest::newRow("columna de más de 32 bits") << Calculo([] {
            return ComponerColumna(Zoom100, std::vector<TamanoPagina>(130000, {11906, 16838}), 10150, 15360, 1175, 100).alto;
        }) << 0.0 << 6;
        QTest::newRow("sin sitio para las páginas") << Calculo([] {
            return ComponerColumna(Zoom100, {TamanoPagina{11906, 16838}}, 0, 15360, 1175, 100).alto;
        }) << 0.0 << 11;
        QTest::newRow("desplazamiento truncado")
            << Calculo([] { return ArribaColumna(1, 0, 7, 16838, 10155, 1175, 100); }) << 260.0 << 0;
    }

    void aritmetica()
    {
        QFETCH(Calculo, calculo);
        QFETCH(double, resultado);
        QFETCH(int, error);
        double obtenido = 0;
        QCOMPARE(NumeroDeError([&] { obtenido = calculo(); }), long(error));
        QCOMPARE(obtenido, resultado);
    }

    void informe_data()
    {
        // The rows: four named ones, or a multiple of what one page holds plus a few. A range is
        // asked for whenever a limit is given; codes compare as text.
        QTest::addColumn<Informe>("caso");
        QTest::newRow("por código, como texto") << Informe{-1, 0, true, "", "", QStringList{"1", "10", "2", "3"}, 1};
        QTest::newRow("por nombre, en español") << Informe{-1, 0, false, "", "", QStringList{"10", "3", "2", "1"}, 1};
        QTest::newRow("de 1 a 2 entra el 10") << Informe{-1, 0, true, "1", "2", QStringList{"1", "10", "2"}, 1};
        QTest::newRow("sin hasta: ninguna") << Informe{-1, 0, true, "2", "", {}, 1};
        QTest::newRow("desde tras hasta: ninguna") << Informe{-1, 0, true, "3", "1", {}, 1};
        QTest::newRow("una página justa") << Informe{1, 0, true, "", "", {}, 1};
        QTest::newRow("una fila de más") << Informe{1, 1, true, "", "", {}, 2};
        QTest::newRow("muchas") << Informe{7, 5, true, "", "", {}, 8};
    }

    void informe()
    {
        QFETCH(Informe, caso);
        const auto& [porPagina, mas, porCodigo, desde, hasta, codigos, paginas] = caso;
        if (porPagina < 0)
            base_->Filas({{"1", "Zamora"}, {"10", "Ávila"}, {"2", "Lugo"}, {"3", "Cádiz"}});
        const int filas = porPagina < 0 ? codigos.size() : GenerarPaginas(porPagina + 1, mas);
        SuperficieGrabadora superficie;
        const auto listado =
            Dibujar(superficie, OpcionesFijas(porCodigo, !desde.isEmpty() || !hasta.isEmpty(), desde, hasta));
        if (porPagina < 0)
            QCOMPARE(superficie.Filas(), codigos);
        QCOMPARE(superficie.Filas().size(), filas);
        QCOMPARE(int(listado->NumeroPagina), paginas);
        QCOMPARE(superficie.Saltos, paginas - 1);
        // Every page is whole, numbered in turn, with no row as with many.
        QCOMPARE(superficie.Veces(QStringLiteral("Listado de Provincias")), paginas);
        QCOMPARE(superficie.Veces(QStringLiteral("Código")), paginas);
        for (int pagina = 1; pagina <= paginas; ++pagina)
            QCOMPARE(superficie.Veces(Pie(pagina)), 1);
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
        QCOMPARE(Dibujar(igual)->LimiteInferior, prueba);
        // ...sends the fifth row to the next page, while the least bit more room keeps it.
        QCOMPARE(int(igual.Filas(true).size()), 4);
        QCOMPARE(igual.Filas(), alta.Filas());
        SuperficieGrabadora holgada(true, std::nextafter(altoUtil, 1000.0));
        Dibujar(holgada);
        QVERIFY(holgada.Filas(true).size() >= 5);
    }

    // The print command when the user cancels the dialog, names the PDF printer without a file, or
    // gives a range with quotes: nothing is drawn and no preview stays; only the range is explained.
    void comandoImprimirSinListado()
    {
        base_->Generadas(3);
        const QString pdf = carpeta_.filePath(QStringLiteral("provincias.pdf"));
        QVERIFY(Imprimir({QStringLiteral("Null Impresora"), true, false, {}, {}, pdf}));
        QVERIFY(!Imprimir({Printers::NombrePdf, true, false, {}, {}, {}}));
        mensajes_->Llamadas.clear();
        QVERIFY(Imprimir({Printers::NombrePdf, true, true, QStringLiteral("0' OR '1'='1"), QStringLiteral("99"), pdf}));
        QCOMPARE(mensajes_->Llamadas.size(), 1);
        const LlamadaMensaje aviso = mensajes_->Llamadas.first();
        QVERIFY(aviso.Texto.contains(QStringLiteral("comillas simples")) && aviso.Estilo == 16 && aviso.Titulo == QStringLiteral("Atención"));
        QVERIFY(!QFile::exists(pdf) && !InstanciaPredeterminada<FrmListados>::Existe());
    }

    void progresiva_data()
    {
        QTest::addColumn<int>("paginas");
        QTest::addColumn<int>("zoom");
        // One page that fits, two that barely do not, a column longer than the scroll bar's range.
        for (auto [paginas, zoom] : {std::pair{1, 2}, {2, 0}, {27, 1}, {300, 1}})
            QTest::addRow("%d páginas, %s", paginas, qPrintable(CbxZoom(zoom))) << paginas << zoom;
    }

    void progresiva()
    {
        // The window shows before the pages are all drawn; the user scrolls and changes the zoom
        // meanwhile, and once the last page is in, the column, its pages and the scroll bar stand
        // exactly where composing every page at once puts them.
        QFETCH(int, paginas);
        QFETCH(int, zoom);
        GenerarPaginas(paginas);
        int alVerla = 0;
        qint64 mayor = 0;
        QColor banda;
        QString cuenta;
        QStringList final, esperado;
        MientrasSeMuestra(
            [&](FrmListados& v) {
                alVerla = v.PicList.Count();
                // Down the first page 5 cm from its left edge, between the two titles, into the band.
                const QImage pagina = v.PicList(0)->Superficie().Imagen(QSize(2100, 2970));
                int y = 250;
                while (y < 700 && pagina.pixelColor(500, y) == QColor(Qt::white))
                    ++y;
                banda = pagina.pixelColor(500, y + 5);
                if (v.Scroll->Visible())
                    v.Scroll->setValue(v.Scroll->Max());
                v.CbxPor->setListIndex((zoom + 1) % 3);
                v.CbxPor->setListIndex(zoom);
                QTRY_VERIFY_WITH_TIMEOUT(!v.Dibujando(), 60000);
                cuenta = v.LblPaginas->Caption();

                std::vector<TamanoPagina> tamanos;
                for (int i = 0; i < v.PicList.Count(); ++i) {
                    tamanos.push_back({v.PicList(i)->Width(), v.PicList(i)->Height()});
                    mayor = std::max(mayor, v.PicList(i)->Superficie().BytesGrabados());
                }
                const Columna c = ComponerColumna(v.CbxPor->Text(), tamanos, v.AltoVisible(), v.Width(), v.PicTapa->Top(),
                                                  v.PicTapa->Height(), [&](int, long y, const Columna& a) {
                                                      esperado << QStringLiteral("%1+%2").arg(y).arg(a.altoPagina);
                                                  });
                esperado.prepend(QStringLiteral("%1 %2 %3 %4 %5 %6 0 %7")
                                     .arg(v.CbxPor->Text()).arg(c.alto).arg(c.ancho).arg(c.arriba).arg(c.izquierda)
                                     .arg(c.maximo).arg(int(c.barraVisible)));
                final = QStringList{Estado(v)};
                for (int i = 0; i < v.Listado->CantidadColocadas(); ++i)
                    final << QStringLiteral("%1+%2").arg(v.Listado->Posicion(i).y()).arg(v.Listado->Posicion(i).height());
            },
            false);
        dialogo_->Ventanas.clear();
        QVERIFY(Imprimir());
        QCOMPARE(dialogo_->Ventanas.first().data(), provincias_.get());
        QCOMPARE(banda, ColorCodigo);
        QCOMPARE(final, esperado);
        QCOMPARE(cuenta, QStringLiteral("Páginas: %1").arg(paginas));
        // Pages are kept as recordings: as pixels each would take 794 x 1123 x 4 bytes, 3.5 MB.
        QVERIFY2(mayor < 8 * 1024, qPrintable(QStringLiteral("página mayor: %1 bytes").arg(mayor)));
        // A long listing is on screen with its first pages only.
        if (paginas == 300)
            QVERIFY2(alVerla < paginas, qPrintable(QString::number(alVerla)));
    }

    void interrumpida_data()
    {
        QTest::addColumn<bool>("cerrada");  // closed by the user; otherwise the drawing fails
        QTest::addColumn<bool>("aMedias");
        QTest::newRow("cerrada a medias") << true << true;
        QTest::newRow("fallo en la primera página") << false << false;
        QTest::newRow("fallo a medias") << false << true;
    }

    void interrumpida()
    {
        // Closed or failing half-way, the listing stops at once: its recordset closes, its timer
        // stops, its pages go with the window, and the command returns (with the error, if any).
        QFETCH(bool, cerrada);
        QFETCH(bool, aMedias);
        GenerarPaginas(300);
        // What holds the connection once the listing is over: its recordset no more, nor the
        // listing texts closed to make it fail.
        const long conexiones = Comunes().Conexion.use_count() - (cerrada ? 0 : 1);
        QPointer<PaginaListado> pagina;
        int dibujadas = 0;
        bool dibujando = false, temporizadores = true;
        long conexionesAlCerrar = -1;
        if (aMedias) {
            MientrasSeMuestra(
                [&](FrmListados& v) {
                    dibujando = v.Dibujando();
                    dibujadas = v.PicList.Count();
                    pagina = v.PicList(dibujadas - 1);
                    QPointer<FrmListados> vista(&v);
                    if (cerrada) {
                        emit v.Barra1->SolicitudCierre();
                    } else {
                        Comunes().TextosListado->Close();
                        QTRY_VERIFY_WITH_TIMEOUT(!vista || !vista->isVisible(), 60000);
                    }
                    conexionesAlCerrar = Comunes().Conexion.use_count();
                    temporizadores = false;
                    if (vista) {
                        for (const QTimer* t : vista->findChildren<QTimer*>())
                            temporizadores = temporizadores || t->isActive();
                    }
                },
                false);
        } else {
            Comunes().TextosListado->Close();
        }
        QCOMPARE(Imprimir(), cerrada);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!InstanciaPredeterminada<FrmListados>::Existe());
        QVERIFY(!pagina);
        QCOMPARE(Comunes().Conexion.use_count(), conexiones);
        base_->Instalar();
        if (aMedias) {
            QVERIFY(dibujando);
            QVERIFY2(dibujadas < 300, qPrintable(QString::number(dibujadas)));
            QCOMPARE(conexionesAlCerrar, conexiones);
            QVERIFY(!temporizadores);
        }
    }

    void pdfFallidoDejaElAnterior()
    {
        base_->Generadas(40);
        const QString pdf = carpeta_.filePath(QStringLiteral("anterior.pdf"));
        GenerarListadoPdf(base_->Conexion(), pdf, true, {}, {});
        const QByteArray anterior = LeerArchivo(pdf);
        QVERIFY(!anterior.isEmpty());
        const auto intacto = [&] {
            return LeerArchivo(pdf) == anterior
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
};

QTEST_MAIN(PruebaListadoProvincias)
#include "tst_ListadoProvincias.moc"
