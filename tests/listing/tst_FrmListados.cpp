// The preview window on the offscreen platform: its layout from the screen, the column of pages at
// each zoom with the scroll bar, and a column of twenty thousand pages that only rasters what is on
// screen.

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

#include <QDir>
#include <QTimer>
#include <QtTest>
#include <functional>

namespace {

FrmListados* Vista()
{
    return qobject_cast<FrmListados*>(InstanciaPredeterminada<FrmListados>::Referencia());
}

// Runs `mirar` once the modal preview is up (the pages may still be drawing), then closes it
// through its title bar.
void MientrasSeMuestra(std::function<void(FrmListados&)> mirar)
{
    QTimer::singleShot(0, qApp, [mirar] {
        FrmListados* vista = Vista();
        if (!vista || !vista->isVisible())
            return MientrasSeMuestra(mirar);
        mirar(*vista);
        emit vista->Barra1->SolicitudCierre();
    });
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

}  // namespace

class PruebaFrmListados : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<BaseListado> base_;
    std::shared_ptr<GuionImpresion> dialogo_;
    std::unique_ptr<Form> principal_, provincias_;

    // The print command with "Pantalla" chosen in the print dialog.
    void ImprimirEnPantalla()
    {
        OpcionesImpresion opciones;
        opciones.Destino = QStringLiteral("Pantalla");
        dialogo_->Respuestas = {opciones};
        Form* referencia = provincias_.get();
        ComandoImprimir(referencia);
    }

    // A loaded, hidden preview with `paginas` blank A4 pages.
    FrmListados* PaginasEnBlanco(int paginas)
    {
        FrmListados* vista = InstanciaPredeterminada<FrmListados>::Obtener();
        vista->Load();
        SuperficiePagina& primera = vista->PicList(0)->Superficie();
        primera.SetWidth(11906);
        primera.SetHeight(16838);
        for (int i = 1; i < paginas; ++i)
            vista->PicList.Load(i);
        return vista;
    }

private slots:
    void initTestCase()
    {
        Screen::FijarTamano(15360, 11520);
        Screen::FijarTwipsPorPixel(15);
        QVERIFY(QDir::setCurrent(qEnvironmentVariable("QUILTREN_RAIZ")));
        base_ = std::make_unique<BaseListado>(false);
        base_->Instalar();
        InstalarFuncionesFalsas();
        dialogo_ = InstalarDialogoImpresionFalso();
        principal_ = std::make_unique<Form>(QStringLiteral("FrmPrincipal"));
        DatosComunes::FormPrincipal = principal_.get();
        provincias_ = std::make_unique<Form>(QStringLiteral("FrmProvincias"));
        (new Label(provincias_.get(), QStringLiteral("LblCodigo")))->setBackColor(QColor(0xC0, 0xC0, 0xFF));
    }

    void cleanupTestCase()
    {
        Tramacor::FijarFunciones(nullptr);
        Tramacor::FijarFabricaDialogoImpresion({});
        base_.reset();
    }

    void cleanup()
    {
        if (FrmListados* vista = Vista())
            vista->Unload();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        Screen::FijarTamano(15360, 11520);
    }

    void disposicion_data()
    {
        QTest::addColumn<QSize>("pantalla");
        QTest::newRow("1024x768") << QSize(15360, 11520);
        QTest::newRow("1920x1080") << QSize(28800, 16200);
    }

    void disposicion()
    {
        // The preview fills the screen: options across the top, the scroll bar down the right
        // edge to the bottom, and the pages' visible height what the screen leaves below the bars.
        QFETCH(QSize, pantalla);
        Screen::FijarTamano(pantalla.width(), pantalla.height());
        FrmListados* vista = InstanciaPredeterminada<FrmListados>::Obtener();
        vista->Load();
        QVERIFY(!vista->isVisible());
        QCOMPARE(QRect(vista->Left(), vista->Top(), vista->Width(), vista->Height()), QRect(QPoint(0, 0), pantalla));
        QCOMPARE(vista->PicOpc->Width(), pantalla.width());
        const QRect barra(vista->Scroll->Left(), vista->Scroll->Top(), vista->Scroll->Width(), vista->Scroll->Height());
        QVERIFY2(barra.right() < pantalla.width() && barra.right() > pantalla.width() - 200
                     && barra.top() > vista->PicOpc->Top() + vista->PicOpc->Height() && barra.bottom() < pantalla.height()
                     && barra.bottom() > pantalla.height() - 200,
                 qPrintable(QStringLiteral("%1 %2 %3 %4").arg(barra.x()).arg(barra.y()).arg(barra.width()).arg(barra.height())));
        QCOMPARE(vista->AltoVisible(), long(pantalla.height() - 1370));
    }

    void tresPaginas()
    {
        base_->Generadas(100);
        base_->Generadas(2 * FilasPorPaginaA4() + 1);
        QStringList estados;
        QList<QList<int>> paginas;
        bool modal = false;
        MientrasSeMuestra([&](FrmListados& v) {
            modal = v.isModal();
            for (int i = 0; i < v.PicList.Count(); ++i) {
                const PaginaListado* p = v.PicList(i);
                paginas << QList<int>{p->Left(), p->Top(), p->Width(), p->Height(), int(p->Visible())};
            }
            estados << Estado(v);
            v.Scroll->setValue(10);
            estados << Estado(v);
            // A change of zoom always takes the column back to the top.
            v.CbxPor->setListIndex(2);
            estados << Estado(v);
            v.Scroll->setValue(20);
            estados << Estado(v);
            v.CbxPor->setListIndex(0);
            estados << Estado(v);
        });
        ImprimirEnPantalla();
        QVERIFY(modal);
        // Every page is a hidden A4 surface centred on the screen, 10 twips from the top.
        QCOMPARE(paginas, QList<QList<int>>(3, {1727, 10, 11906, 16838, 0}));
        QCOMPARE(estados, QStringList({"100 % 50714 11906 1275 1727 40 0 1", "100 % 50714 11906 -8875 1727 40 10 1",
                                       "Encajar en Pantalla 30650 7177 1275 4092 20 0 1",
                                       "Encajar en Pantalla 30650 7177 -19225 4092 20 20 1",
                                       "50 % 25457 5953 1275 4704 15 0 1"}));
    }

    // Long: under make soak (QUILTREN_SOAK=1) only.
    void veinteMilPaginas()
    {
        if (qEnvironmentVariable("QUILTREN_SOAK") != QLatin1String("1"))
            QSKIP("Larga: se ejecuta con make soak");
        // Twenty thousand recorded pages open at 100 %; the scroll bar spans them all and its
        // last position shows the bottom of the last page, with only what is on screen rastered.
        FrmListados* vista = PaginasEnBlanco(20000);
        QList<int> abajo;
        int maximo = 0, rasters = 0;
        long arribaAlFinal = 0, altoColumna = 0, altoVisible = 0;
        MientrasSeMuestra([&](FrmListados& v) {
            maximo = v.Scroll->Max();
            v.Scroll->setValue(maximo);
            v.Listado->Widget()->grab();
            abajo = v.Listado->PaginasVisibles();
            arribaAlFinal = v.Listado->Top();
            altoColumna = v.Listado->Height();
            altoVisible = v.AltoVisible();
            rasters = v.Listado->RastersGuardados();
        });
        vista->ShowP();
        QCOMPARE(altoColumna, 20000L * 16838 + 19999L * 100);
        QVERIFY2(maximo > 32767, qPrintable(QString::number(maximo)));
        QCOMPARE(abajo.last(), 19999);
        QCOMPARE(arribaAlFinal, 1275 - (altoColumna - altoVisible));
        QVERIFY2(rasters > 0 && rasters <= 8, qPrintable(QString::number(rasters)));
    }

    void falloAlDibujarDescargaLaVentana()
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
