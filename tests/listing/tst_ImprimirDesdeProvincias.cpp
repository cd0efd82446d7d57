// The printer picture of the real maintenance window, clicked as a user clicks it: the listing
// reaches the preview and the PDF printer with the colour of the window's LblCodigo in its band.

#include "ApoyoListado.h"
#include "ClassProvincias.h"
#include "DatosComunes.h"
#include "EsquemaProvincias.h"
#include "Falsos.h"
#include "FrmListados.h"
#include "FrmProvincias.h"
#include "Image.h"
#include "InstanciaPredeterminada.h"
#include "Label.h"
#include "Printers.h"
#include "Screen.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

class PruebaImprimirDesdeProvincias : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<BaseListado> base_;
    std::shared_ptr<GuionImpresion> dialogo_;
    std::shared_ptr<UtilidadesFalsas> utiles_;
    std::unique_ptr<Form> principal_, ubicacion_;
    ClassProvincias clase_;
    QStringList errores_;

    FrmProvincias* Provincias() const
    {
        return qobject_cast<FrmProvincias*>(InstanciaPredeterminada<FrmProvincias>::Referencia());
    }

    void ClicEnImpresora()
    {
        QWidget* impresora = Provincias()->ImgImpresora->Widget();
        QTest::mouseClick(impresora, Qt::LeftButton, {}, impresora->rect().center());
    }

private slots:
    void initTestCase()
    {
        Screen::FijarTwipsPorPixel(15);
        Screen::FijarTamano(15360, 11520);
        QVERIFY(QDir::setCurrent(qEnvironmentVariable("QUILTREN_RAIZ")));
        base_ = std::make_unique<BaseListado>(false);
        base_->Codigos({"01", "02", "03"});
        InstalarMensajesFalsos();
        InstalarFuncionesFalsas();
        dialogo_ = InstalarDialogoImpresionFalso();
        FijarManejadorErroresEventos([this](int numero, const QString& texto) {
            errores_ << QStringLiteral("%1: %2").arg(numero).arg(texto);
        });
        principal_ = std::make_unique<Form>(QStringLiteral("FrmPrincipal"));
        ubicacion_ = std::make_unique<Form>(QStringLiteral("FrmUbicacion"));
        utiles_ = std::make_shared<UtilidadesFalsas>();
        utiles_->Conexion = base_->Conexion();
        utiles_->Principal = principal_.get();
        utiles_->Ubicacion = ubicacion_.get();
        utiles_->SentenciaTextos = SentenciaTextos();
        std::shared_ptr<IUtilidades> datos = utiles_;
        clase_.Cargar(datos);
        QVERIFY(Provincias() && Provincias()->isVisible());
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

    void enPantalla()
    {
        OpcionesImpresion opciones;
        opciones.Destino = QStringLiteral("Pantalla");
        opciones.OrdenPorCodigo = true;
        dialogo_->Respuestas = {opciones};
        QColor banda;
        int paginas = 0;
        QTimer::singleShot(0, this, [&] {
            auto* listados = qobject_cast<FrmListados*>(InstanciaPredeterminada<FrmListados>::Referencia());
            if (!listados)
                return;
            paginas = listados->PicList.Count();
            // The band 0.1 cm above the column titles, 5 cm from the left edge, between the two titles.
            const QImage pagina = listados->PicList(0)->Superficie().Imagen(QSize(2100, 2970));
            for (int y = 250; y < 700 && !banda.isValid(); ++y)
                if (pagina.pixelColor(500, y) != pagina.pixelColor(500, 240) && pagina.pixelColor(500, y).blue() > 200
                    && pagina.pixelColor(500, y).red() < 230)
                    banda = pagina.pixelColor(500, y);
            emit listados->Barra1->SolicitudCierre();
        });
        ClicEnImpresora();
        QVERIFY2(errores_.isEmpty(), qPrintable(errores_.join('\n')));
        QCOMPARE(paginas, 1);
        QCOMPARE(banda, Provincias()->LblCodigo->BackColor());
        QCOMPARE(dialogo_->Ventanas.last().data(), Provincias());
        QVERIFY(!InstanciaPredeterminada<FrmListados>::Existe());
    }

    void enPdf()
    {
        QTemporaryDir carpeta;
        OpcionesImpresion opciones;
        opciones.Destino = Printers::NombrePdf;
        opciones.ArchivoPdf = carpeta.filePath(QStringLiteral("provincias.pdf"));
        dialogo_->Respuestas = {opciones};
        ClicEnImpresora();
        QVERIFY2(errores_.isEmpty(), qPrintable(errores_.join('\n')));
        QCOMPARE(PaginasPdf(opciones.ArchivoPdf), 1);
        const QString texto = TextoPdf(opciones.ArchivoPdf);
        for (const char* nombre : {"Provincia 01", "Provincia 02", "Provincia 03"})
            QVERIFY(texto.contains(nombre));
    }
};

QTEST_MAIN(PruebaImprimirDesdeProvincias)
#include "tst_ImprimirDesdeProvincias.moc"
