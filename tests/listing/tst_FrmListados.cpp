// The preview window on the offscreen platform: its layout from the screen, the column of pages at
// every zoom, the scroll bar, closing through the title bar, and a column of thousands of pages
// that only rasters what is on screen.

#include "ApoyoListado.h"
#include "Barra.h"
#include "ColumnaPaginas.h"
#include "ComboBox.h"
#include "DatosComunes.h"
#include "ErrorEjecucion.h"
#include "Falsos.h"
#include "FrmListados.h"
#include "InstanciaPredeterminada.h"
#include "Label.h"
#include "ListadoProvincias.h"
#include "PictureBox.h"
#include "Screen.h"
#include "ScrollBar.h"
#include "Shape.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProgressDialog>
#include <QRegularExpression>
#include <QTimer>
#include <QWheelEvent>
#include <QtTest>
#include <functional>

namespace {

FrmListados* Ventana()
{
    return qobject_cast<FrmListados*>(InstanciaPredeterminada<FrmListados>::Referencia());
}

// Runs `mirar` once the modal preview is up, then closes it through its title bar.
void MientrasSeMuestra(std::function<void(FrmListados&)> mirar)
{
    QTimer::singleShot(0, qApp, [mirar] {
        FrmListados* ventana = Ventana();
        if (!ventana || !ventana->isVisible()) {
            // Still drawing the pages: look again later.
            MientrasSeMuestra(mirar);
            return;
        }
        mirar(*ventana);
        emit ventana->Barra1->SolicitudCierre();
    });
}

// What the column and the scroll bar show at one moment.
struct Estado {
    QString zoom;
    int alto = 0, ancho = 0, arriba = 0, izquierda = 0;
    int maximo = 0, valor = 0;
    bool barraVisible = false;
    bool operator==(const Estado& otro) const
    {
        return zoom == otro.zoom && alto == otro.alto && ancho == otro.ancho && arriba == otro.arriba
            && izquierda == otro.izquierda && maximo == otro.maximo && valor == otro.valor
            && barraVisible == otro.barraVisible;
    }
};

Estado Leer(const FrmListados& ventana)
{
    return Estado{ventana.CbxPor->Text(),       ventana.Listado->Height(), ventana.Listado->Width(),
                  ventana.Listado->Top(),       ventana.Listado->Left(),   ventana.Scroll->Max(),
                  ventana.Scroll->Value(),      ventana.Scroll->Visible()};
}

char* Texto(const Estado& e)
{
    return QTest::toString(QStringLiteral("%1: alto %2 ancho %3 arriba %4 izquierda %5 máximo %6 valor %7 barra %8")
                               .arg(e.zoom)
                               .arg(e.alto)
                               .arg(e.ancho)
                               .arg(e.arriba)
                               .arg(e.izquierda)
                               .arg(e.maximo)
                               .arg(e.valor)
                               .arg(e.barraVisible));
}

}  // namespace

namespace QTest {
template <>
char* toString(const Estado& e)
{
    return Texto(e);
}
}  // namespace QTest

class PruebaFrmListados : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<BaseListado> base_;
    std::shared_ptr<GuionImpresion> dialogo_;
    std::shared_ptr<FuncionesFalsas> funciones_;
    std::unique_ptr<Form> principal_;
    std::unique_ptr<Form> provincias_;

    // The print command with "Pantalla" chosen, as the maintenance window's printer picture runs it.
    void ImprimirEnPantalla(OpcionesImpresion opciones = {})
    {
        opciones.Destino = QStringLiteral("Pantalla");
        dialogo_->Respuestas = {opciones};
        Form* referencia = provincias_.get();
        ComandoImprimir(referencia);
    }

    // A loaded, hidden preview with `paginas` blank A4 pages.
    FrmListados* PaginasEnBlanco(int paginas)
    {
        FrmListados* ventana = InstanciaPredeterminada<FrmListados>::Obtener();
        ventana->Load();
        PrepararPaginaA4(ventana->PicList(0)->Superficie());
        for (int i = 1; i < paginas; ++i)
            ventana->PicList.Load(i);
        return ventana;
    }

private slots:
    void initTestCase()
    {
        Screen::FijarTamano(15360, 11520);
        Screen::FijarTwipsPorPixel(15);
        QVERIFY(QDir::setCurrent(qEnvironmentVariable("QUILTREN_RAIZ")));
        base_ = std::make_unique<BaseListado>(false);
        base_->Instalar();
        dialogo_ = InstalarDialogoImpresionFalso();
        funciones_ = InstalarFuncionesFalsas();
        principal_ = std::make_unique<Form>(QStringLiteral("FormPrincipal"));
        DatosComunes::FormPrincipal = principal_.get();
        provincias_ = std::make_unique<Form>(QStringLiteral("FrmProvincias"));
        auto* etiqueta = new Label(provincias_.get(), QStringLiteral("LblCodigo"));
        etiqueta->setBackColor(QColor(0xC0, 0xC0, 0xFF));
    }

    void cleanupTestCase()
    {
        Tramacor::FijarFabricaDialogoImpresion({});
        Tramacor::FijarFunciones(nullptr);
        base_.reset();
    }

    void cleanup()
    {
        // No test leaves a preview behind for the next one.
        if (FrmListados* ventana = Ventana())
            ventana->Unload();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        Screen::FijarTamano(15360, 11520);
    }

    void disposicion_data()
    {
        QTest::addColumn<int>("ancho");
        QTest::addColumn<int>("alto");
        QTest::addColumn<QString>("control");
        QTest::addColumn<QList<int>>("geometria");

        for (const auto& [ancho, alto] : QList<QPair<int, int>>{{15360, 11520}, {28800, 16200}}) {
            const QString pantalla = QStringLiteral("%1x%2 ").arg(ancho).arg(alto);
            const auto fila = [&](const char* control, QList<int> geometria) {
                QTest::newRow(qPrintable(pantalla + QLatin1String(control))) << ancho << alto << control << geometria;
            };
            fila("frmListados", {0, 0, ancho, alto});
            fila("PicFondo", {0, 0, ancho, alto});
            fila("Barra1", {0, 0, ancho, 555});
            fila("PicOpc", {0, 560, ancho, 615});
            fila("Label1", {6360, 120, 1335, 360});
            fila("PicTapa", {0, 1175, ancho, 100});
            fila("Listado", {2520, 2400, 3855, 2655});
            fila("PicCamPag", {480, 720, 2925, 200});
            fila("PicList", {6120, 5520, 3015, 2415});
            fila("Scroll", {ancho - 580, 1205, 490, alto - 1295});
            fila("DivScroll", {ancho - 640, 1175, 580, alto - 1235});
        }
    }

    void disposicion()
    {
        QFETCH(int, ancho);
        QFETCH(int, alto);
        QFETCH(QString, control);
        QFETCH(QList<int>, geometria);

        Screen::FijarTamano(ancho, alto);
        FrmListados* ventana = InstanciaPredeterminada<FrmListados>::Obtener();
        ventana->Load();
        QList<int> real;
        if (control == QLatin1String("frmListados")) {
            real = {ventana->Left(), ventana->Top(), ventana->Width(), ventana->Height()};
        } else {
            const Control* c = ventana->Controls().Item(control);
            real = {c->Left(), c->Top(), c->Width(), c->Height()};
        }
        QCOMPARE(real, geometria);
        QCOMPARE(ventana->PicTapa->BackColor(), QColor(0xCB, 0xCA, 0xA5));
        QCOMPARE(ventana->AltoVisible(), long(alto - 1370));
        QVERIFY(!ventana->isVisible());
    }

    void unaPagina()
    {
        base_->Generadas(10);
        Estado inicio, alFinal, encajada;
        int paginas = 0;
        bool modal = false;
        int pieAlFinal = 0;
        MientrasSeMuestra([&](FrmListados& ventana) {
            paginas = ventana.PicList.Count();
            modal = ventana.isVisible() && ventana.isModal();
            inicio = Leer(ventana);
            ventana.Scroll->setValue(ventana.Scroll->Max());
            alFinal = Leer(ventana);
            pieAlFinal = ventana.Listado->Top() + ventana.Listado->Height();
            ventana.CbxPor->setListIndex(2);
            encajada = Leer(ventana);
        });
        ImprimirEnPantalla();

        QCOMPARE(paginas, 1);
        QVERIFY(modal);
        QCOMPARE(inicio, (Estado{"100 %", 16838, 11906, 1275, 1727, 7, 0, true}));
        QCOMPARE(alFinal, (Estado{"100 %", 16838, 11906, -5413, 1727, 7, 7, true}));
        // The page's bottom edge meets the bottom of the visible area.
        QCOMPARE(pieAlFinal, 1275 + 10150);
        QCOMPARE(encajada, (Estado{"Encajar en Pantalla", 10150, 7177, 1275, 4092, 0, 0, false}));
    }

    void tresPaginas()
    {
        const int porPagina = [&] {
            base_->Generadas(300);
            return FilasPorPaginaA4();
        }();
        base_->Generadas(2 * porPagina + 1);
        QList<Estado> estados;
        int paginas = 0;
        QList<QList<int>> geometriaPaginas;
        MientrasSeMuestra([&](FrmListados& ventana) {
            paginas = ventana.PicList.Count();
            for (int i = 0; i < ventana.PicList.Count(); ++i) {
                const PaginaListado* p = ventana.PicList(i);
                geometriaPaginas << QList<int>{p->Left(), p->Top(), p->Width(), p->Height(), int(p->Visible())};
            }
            estados << Leer(ventana);
            const QString destino = qEnvironmentVariable("QUILTREN_CAPTURAS");
            if (!destino.isEmpty())
                ventana.grab().save(QDir(destino).filePath(QStringLiteral("vista_previa_100.png")));
            ventana.Scroll->setValue(10);
            estados << Leer(ventana);
            // Changing the zoom always takes the column back to the top.
            ventana.CbxPor->setListIndex(2);
            estados << Leer(ventana);
            ventana.Scroll->setValue(20);
            estados << Leer(ventana);
            ventana.CbxPor->setListIndex(0);
            estados << Leer(ventana);
            if (!destino.isEmpty())
                ventana.grab().save(QDir(destino).filePath(QStringLiteral("vista_previa_50.png")));
        });
        DatosComunes::NumeroPagina = 0;
        ImprimirEnPantalla();

        QCOMPARE(paginas, 3);
        QCOMPARE(int(DatosComunes::NumeroPagina), 3);
        // Every page is a hidden A4 surface centred on the screen, 10 twips from the top.
        for (const QList<int>& g : geometriaPaginas)
            QCOMPARE(g, (QList<int>{1727, 10, 11906, 16838, 0}));
        QCOMPARE(estados.size(), 5);
        QCOMPARE(estados[0], (Estado{"100 %", 3 * 16838 + 200, 11906, 1275, 1727, 40, 0, true}));
        QCOMPARE(estados[1], (Estado{"100 %", 3 * 16838 + 200, 11906, 1275 - 10150, 1727, 40, 10, true}));
        QCOMPARE(estados[2], (Estado{"Encajar en Pantalla", 30650, 7177, 1275, 4092, 20, 0, true}));
        QCOMPARE(estados[3], (Estado{"Encajar en Pantalla", 30650, 7177, 1275 - 20500, 4092, 20, 20, true}));
        QCOMPARE(estados[4], (Estado{"50 %", 3 * 8419 + 200, 5953, 1275, 4704, 15, 0, true}));
    }

    void cierreLiberaLaVentana()
    {
        base_->Generadas(3);
        funciones_->Liberados.clear();
        QPointer<FrmListados> mostrada;
        MientrasSeMuestra([&](FrmListados& ventana) { mostrada = &ventana; });
        ImprimirEnPantalla();
        QVERIFY(!mostrada.isNull());
        QCOMPARE(funciones_->Liberados.size(), 1);
        QCOMPARE(funciones_->Liberados.first().data(), mostrada.data());
        QVERIFY(!InstanciaPredeterminada<FrmListados>::Existe());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(mostrada.isNull());
        // The next listing starts again from a fresh window with one page.
        int paginas = 0;
        MientrasSeMuestra([&](FrmListados& ventana) { paginas = ventana.PicList.Count(); });
        ImprimirEnPantalla();
        QCOMPARE(paginas, 1);
    }

    void ruedaDelRaton()
    {
        FrmListados* ventana = PaginasEnBlanco(3);
        QList<int> valores;
        MientrasSeMuestra([&](FrmListados& v) {
            QWidget* columna = v.Listado->Widget();
            const auto girar = [&](int grados) {
                const QPointF centro = QRectF(columna->rect()).center();
                QWheelEvent rueda(centro, columna->mapToGlobal(centro), QPoint(), QPoint(0, grados), Qt::NoButton,
                                  Qt::NoModifier, Qt::NoScrollPhase, false);
                QCoreApplication::sendEvent(columna, &rueda);
                valores << v.Scroll->Value();
            };
            girar(-120);
            girar(-240);
            girar(120);
            girar(360);
        });
        ventana->ShowP();
        QCOMPARE(valores, QList<int>({1, 3, 2, 0}));
    }

    void columnaDeMilesDePaginas()
    {
        // The most pages whose column the scroll bar can still span at 100 % on this screen.
        FrmListados* ventana = PaginasEnBlanco(1900);
        QList<int> visiblesArriba, visiblesAbajo;
        int rasters = 0, colocadas = 0;
        Estado alFinal;
        QImage captura;
        MientrasSeMuestra([&](FrmListados& v) {
            colocadas = v.Listado->CantidadColocadas();
            visiblesArriba = v.Listado->PaginasVisibles();
            v.Scroll->setValue(v.Scroll->Max());
            v.Listado->Widget()->repaint();
            visiblesAbajo = v.Listado->PaginasVisibles();
            alFinal = Leer(v);
            for (int valor = 0; valor <= v.Scroll->Max(); valor += 997) {
                v.Scroll->setValue(valor);
                v.Listado->Widget()->repaint();
            }
            rasters = v.Listado->RastersGuardados();
            v.Scroll->setValue(0);
            captura = v.grab().toImage();
        });
        ventana->ShowP();

        QCOMPARE(colocadas, 1900);
        QCOMPARE(visiblesArriba, QList<int>({0}));
        QCOMPARE(visiblesAbajo, QList<int>({1899}));
        QCOMPARE(alFinal.maximo, 31697);
        QCOMPARE(alFinal.arriba, 1275 - (32182100 - 10150));
        QVERIFY2(rasters <= 8, qPrintable(QString::number(rasters)));
        // On screen: the window's colour beside the page, the page itself, and the options bar.
        QCOMPARE(captura.pixelColor(40, 400), QColor(0xCB, 0xCA, 0xA5));
        QCOMPARE(captura.pixelColor((1727 + 11906 / 2) / 15, 400), ventana->PicList(0)->Superficie().BackColor());
        QCOMPARE(captura.pixelColor(20, 60), QColor(0xE9, 0xE8, 0xD3));
    }

    void demasiadasPaginasDesbordan()
    {
        // Twenty thousand recorded pages are cheap to hold, but the scroll bar cannot span them.
        FrmListados* ventana = PaginasEnBlanco(20000);
        QCOMPARE(ventana->PicList.Count(), 20000);
        try {
            ventana->ShowP();
            QFAIL("La barra de desplazamiento no abarca 20000 páginas");
        } catch (const ErrorEjecucion& error) {
            QCOMPARE(error.Number(), 6);
        }
        QVERIFY(!ventana->isVisible());
    }

    void progresoMientrasDibuja()
    {
        // Hundreds of pages take a while to draw: the user sees how many are done, and the notice
        // is gone by the time the preview shows.
        base_->Generadas(40000);
        QStringList avisos;
        QTimer sondeo;
        sondeo.setInterval(20);
        connect(&sondeo, &QTimer::timeout, this, [&] {
            for (QWidget* w : QApplication::topLevelWidgets())
                if (auto* d = qobject_cast<QProgressDialog*>(w); d && d->isVisible())
                    avisos << d->labelText();
        });
        bool avisoConLaVista = true;
        MientrasSeMuestra([&](FrmListados&) {
            avisoConLaVista = false;
            for (QWidget* w : QApplication::topLevelWidgets())
                avisoConLaVista = avisoConLaVista || (qobject_cast<QProgressDialog*>(w) && w->isVisible());
        });
        QElapsedTimer reloj;
        reloj.start();
        sondeo.start();
        ImprimirEnPantalla();
        sondeo.stop();
        qInfo("%d páginas dibujadas en %lld ms", int(DatosComunes::NumeroPagina), reloj.elapsed());

        QVERIFY(!avisoConLaVista);
        QVERIFY(!avisos.isEmpty());
        const QRegularExpression cuenta(QStringLiteral("Páginas dibujadas: (\\d+)$"));
        int anterior = 0;
        for (const QString& aviso : avisos) {
            const QRegularExpressionMatch m = cuenta.match(aviso);
            QVERIFY2(m.hasMatch(), qPrintable(aviso));
            QVERIFY(m.captured(1).toInt() >= anterior);
            anterior = m.captured(1).toInt();
        }
        QVERIFY(anterior > 0 && anterior <= DatosComunes::NumeroPagina);
    }

    void fallaAlDibujarDescargaLaVentana()
    {
        base_->Generadas(5);
        DatosComunes::TextosListado->Close();
        QVERIFY_THROWS_EXCEPTION(std::exception, ImprimirEnPantalla());
        base_->Instalar();
        QVERIFY(!InstanciaPredeterminada<FrmListados>::Existe());
    }
};

QTEST_MAIN(PruebaFrmListados)
#include "tst_FrmListados.moc"
