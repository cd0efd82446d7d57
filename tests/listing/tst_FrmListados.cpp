// The preview window on the offscreen platform: the whole-number arithmetic of its column, the
// column of pages drawn while the window is already shown ending where composing them all at once
// ends, a listing closed or failing half-way, and a column of twenty thousand pages that only
// rasters what is on screen.

#include "Apoyo.h"
#include "ApoyoListado.h"
#include "AritmeticaListados.h"
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
#include <QPointer>
#include <QTimer>
#include <QtTest>
#include <functional>

using namespace AritmeticaListados;
using Calculo = std::function<double()>;
Q_DECLARE_METATYPE(Calculo)

namespace {

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

}  // namespace

class PruebaFrmListados : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<BaseListado> base_;
    std::shared_ptr<GuionImpresion> dialogo_;
    std::unique_ptr<Form> principal_, provincias_;
    int filasPorPagina_ = 0;

    // The print command with "Pantalla" chosen in the print dialog.
    void ImprimirEnPantalla()
    {
        OpcionesImpresion opciones;
        opciones.Destino = QStringLiteral("Pantalla");
        dialogo_->Respuestas = {opciones};
        Form* referencia = provincias_.get();
        ComandoImprimir(referencia);
    }

    // A table whose listing has `paginas` pages.
    void GenerarPaginas(int paginas)
    {
        if (filasPorPagina_ == 0) {
            base_->Generadas(100);
            filasPorPagina_ = FilasPorPaginaA4();
        }
        base_->Generadas((paginas - 1) * filasPorPagina_ + 1);
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

    void aritmetica_data()
    {
        // The runtime's whole numbers: halves to the even neighbour, overflow (6) and division by
        // zero (11) raised as its errors.
        QTest::addColumn<Calculo>("calculo");
        QTest::addColumn<double>("resultado");
        QTest::addColumn<int>("error");
        const std::vector<TamanoPagina> a4(1, TamanoPagina{11906, 16838});
        QTest::newRow("medio a par, abajo") << Calculo([] { return RedondearLargo(2.5); }) << 2.0 << 0;
        QTest::newRow("medio a par, arriba") << Calculo([] { return RedondearEntero(3.5); }) << 4.0 << 0;
        QTest::newRow("Integer desborda") << Calculo([] { return RedondearEntero(32767.5); }) << 0.0 << 6;
        QTest::newRow("Long desborda") << Calculo([] { return RedondearLargo(2147483647.5); }) << 0.0 << 6;
        QTest::newRow("\\ redondea el dividendo") << Calculo([] { return DivisionEntera(11.5, 2); }) << 6.0 << 0;
        QTest::newRow("\\ trunca hacia cero") << Calculo([] { return DivisionEntera(-7, 2); }) << -3.0 << 0;
        QTest::newRow("\\ por cero redondeado") << Calculo([] { return DivisionEntera(7, 0.4); }) << 0.0 << 11;
        QTest::newRow("x / 0") << Calculo([] { return Dividir(7, 0); }) << 0.0 << 11;
        QTest::newRow("0 / 0") << Calculo([] { return Dividir(0, 0); }) << 0.0 << 6;
        QTest::newRow("página 32768") << Calculo([] { return SiguientePagina(32767); }) << 0.0 << 6;
        QTest::newRow("columna de más de 32 bits") << Calculo([] {
            return ComponerColumna(Zoom100, std::vector<TamanoPagina>(130000, {11906, 16838}), 10150, 15360, 1175, 100).alto;
        }) << 0.0 << 6;
        QTest::newRow("sin sitio para las páginas")
            << Calculo([a4] { return ComponerColumna(Zoom100, a4, 0, 15360, 1175, 100).alto; }) << 0.0 << 11;
        QTest::newRow("página sin altura") << Calculo([] {
            return ComponerColumna(ZoomEncajar, {TamanoPagina{11906, 0}}, 10150, 15360, 1175, 100).alto;
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
        QString cuenta;
        QStringList final, esperado;
        MientrasSeMuestra(
            [&](FrmListados& v) {
                alVerla = v.PicList.Count();
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
        ImprimirEnPantalla();
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
        const long conexiones = DatosComunes::Conexion.use_count() - (cerrada ? 0 : 1);
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
                        DatosComunes::TextosListado->Close();
                        QTRY_VERIFY_WITH_TIMEOUT(!vista || !vista->isVisible(), 60000);
                    }
                    conexionesAlCerrar = DatosComunes::Conexion.use_count();
                    temporizadores = false;
                    if (vista) {
                        for (const QTimer* t : vista->findChildren<QTimer*>())
                            temporizadores = temporizadores || t->isActive();
                    }
                },
                false);
        } else {
            DatosComunes::TextosListado->Close();
        }
        bool fallo = false;
        try {
            ImprimirEnPantalla();
        } catch (const std::exception&) {
            fallo = true;
        }
        QCOMPARE(fallo, !cerrada);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!InstanciaPredeterminada<FrmListados>::Existe());
        QVERIFY(!pagina);
        QCOMPARE(DatosComunes::Conexion.use_count(), conexiones);
        base_->Instalar();
        if (aMedias) {
            QVERIFY(dibujando);
            QVERIFY2(dibujadas < 300, qPrintable(QString::number(dibujadas)));
            QCOMPARE(conexionesAlCerrar, conexiones);
            QVERIFY(!temporizadores);
        }
    }

    // Long: under make soak (QUILTREN_SOAK=1) only.
    void veinteMilPaginas()
    {
        if (qEnvironmentVariable("QUILTREN_SOAK") != QLatin1String("1"))
            QSKIP("Larga: se ejecuta con make soak");
        // Twenty thousand recorded pages open at 100 %; the scroll bar spans them all and its
        // last position shows the bottom of the last page, with only what is on screen rastered.
        FrmListados* vista = InstanciaPredeterminada<FrmListados>::Obtener();
        vista->Load();
        vista->PicList(0)->Superficie().SetWidth(11906);
        vista->PicList(0)->Superficie().SetHeight(16838);
        for (int i = 1; i < 20000; ++i)
            vista->PicList.Load(i);
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

};

QTEST_MAIN(PruebaFrmListados)
#include "tst_FrmListados.moc"
