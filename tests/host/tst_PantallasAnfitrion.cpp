// The demo host, the province window and the preview at the screens people have. Each row runs
// again in a process of its own whose offscreen screen has that size and scale factor, with the
// real host, the component it creates by ProgID and the preview its printer picture opens.

#include "Anfitrion.h"
#include "Barra.h"
#include "FlexGrid.h"
#include "Falsos.h"
#include "Image.h"
#include "PictureBox.h"
#include "Screen.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QScreen>
#include <QStyleOptionComboBox>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

namespace {

const QString Componente = QFileInfo(QStringLiteral(RUTA_QUILTREN)).canonicalFilePath();
const char* const VariableFila = "QUILTREN_PRUEBA_PANTALLA";

Form* Ventana(const QString& nombre)
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == nombre && w->isVisible())
            return qobject_cast<Form*>(w);
    return nullptr;
}

QRect EnPantalla(const QWidget* w)
{
    return QRect(w->mapToGlobal(QPoint(0, 0)), w->size());
}

// Room for text inside each kind of control: a label's whole width, the field's frame and
// margins, the button's rounded box.
int AnchoUtil(const QWidget* w)
{
    if (qobject_cast<const QLineEdit*>(w))
        return w->width() - 6;
    if (qobject_cast<const QLabel*>(w))
        return w->width();
    return w->width() - 11;
}

// Captions and field texts wider than their controls, as "name: text (text pixels > room)".
QStringList Recortados(Form& ficha, const QStringList& nombres)
{
    QStringList recortados;
    auto medir = [&](const QString& donde, const QFont& fuente, const QString& texto, int sitio) {
        const int ancho = QFontMetrics(fuente).horizontalAdvance(texto);
        if (ancho > sitio)
            recortados << QStringLiteral("%1: %2 (%3 > %4)").arg(donde, texto).arg(ancho).arg(sitio);
    };
    auto* grilla = qobject_cast<FlexGrid*>(ficha.Controls().Item(QStringLiteral("LinProvincias")));
    const QFontMetrics letraGrilla(grilla->Widget()->font());
    QString masAncho;
    for (int fila = 0; fila < grilla->Rows(); ++fila) {
        for (int col = 0; col < grilla->Cols(); ++col) {
            const QString texto = grilla->TextMatrix(fila, col);
            medir(QStringLiteral("LinProvincias"), grilla->Widget()->font(), texto,
                  Screen::TwipsAPixelesX(grilla->ColWidth(col)) - 8);  // 4 pixels of padding each side
            // The widest name is the one the name field must show whole.
            if (fila > 0 && col == 1 && letraGrilla.horizontalAdvance(texto) > letraGrilla.horizontalAdvance(masAncho))
                masAncho = texto;
        }
    }
    for (const QString& nombre : nombres) {
        QWidget* w = ficha.Controls().Item(nombre)->Widget();
        QString texto = w->accessibleName();
        if (auto* etiqueta = qobject_cast<QLabel*>(w))
            texto = etiqueta->text();
        if (auto* campo = qobject_cast<QLineEdit*>(w))
            texto = nombre == QLatin1String("TxtProvincia") ? masAncho : campo->text();
        medir(nombre, w->font(), texto, AnchoUtil(w));
    }
    return recortados;
}

} // namespace

class PruebaPantallas : public QObject
{
    Q_OBJECT

private slots:
    void pantallas_data();
    void pantallas();

private:
    void EnLaPantalla(const QSize& pixeles, double escala);
};

void PruebaPantallas::pantallas_data()
{
    QTest::addColumn<QSize>("pixeles");
    QTest::addColumn<double>("escala");
    QTest::newRow("1024x768") << QSize(1024, 768) << 1.0;
    QTest::newRow("1280x1024") << QSize(1280, 1024) << 1.0;
    QTest::newRow("1366x768") << QSize(1366, 768) << 1.0;
    QTest::newRow("1920x1080") << QSize(1920, 1080) << 1.0;
    QTest::newRow("2560x1440") << QSize(2560, 1440) << 1.0;
    QTest::newRow("1920x1080 escala 2") << QSize(1920, 1080) << 2.0;
}

void PruebaPantallas::pantallas()
{
    QFETCH(QSize, pixeles);
    QFETCH(double, escala);
    if (qEnvironmentVariableIsSet(VariableFila))
        return EnLaPantalla(pixeles, escala);

    // The platform's screen is fixed when the process starts: this row runs in a new one.
    QTemporaryDir carpeta;
    QFile configuracion(carpeta.filePath(QStringLiteral("pantalla.json")));
    QVERIFY(configuracion.open(QIODevice::WriteOnly));
    configuracion.write(QStringLiteral(R"({"windowFrameMargins": false, "screens": [{"name": "prueba", "x": 0, "y": 0,
        "width": %1, "height": %2, "logicalDpi": 96, "logicalBaseDpi": 96}]})")
                            .arg(pixeles.width()).arg(pixeles.height()).toUtf8());
    configuracion.close();
    QProcessEnvironment entorno = QProcessEnvironment::systemEnvironment();
    entorno.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen:configfile=") + configuracion.fileName());
    entorno.insert(QStringLiteral("QT_SCALE_FACTOR"), QString::number(escala));
    entorno.insert(QString::fromLatin1(VariableFila), QStringLiteral("1"));
    QProcess hija;
    hija.setProcessEnvironment(entorno);
    hija.setProcessChannelMode(QProcess::MergedChannels);
    hija.start(QCoreApplication::applicationFilePath(),
               {QStringLiteral("pantallas:") + QString::fromUtf8(QTest::currentDataTag())});
    QVERIFY(hija.waitForFinished(120000));
    QVERIFY2(hija.exitStatus() == QProcess::NormalExit && hija.exitCode() == 0, hija.readAll().constData());
}

void PruebaPantallas::EnLaPantalla(const QSize& pixeles, double escala)
{
    QScreen* pantalla = QGuiApplication::primaryScreen();
    QCOMPARE(pantalla->geometry().size() * escala, pixeles);
    QVERIFY(QDir::setCurrent(qEnvironmentVariable("QUILTREN_RAIZ")));
    QTemporaryDir carpeta;
    auto mensajes = InstalarMensajesFalsos();
    auto dialogo = InstalarDialogoImpresionFalso();
    OpcionesImpresion pantallaElegida;
    pantallaElegida.Destino = QStringLiteral("Pantalla");
    dialogo->Respuestas = {pantallaElegida};

    Anfitrion::Configuracion configuracion;
    configuracion.Base = carpeta.filePath(QStringLiteral("pantallas.sqlite"));
    configuracion.RutaComponente = Componente;
    Anfitrion anfitrion(configuracion);
    anfitrion.AbrirBase();
    anfitrion.Iniciar();
    QVERIFY(anfitrion.AbrirProvincias());
    Form* ficha = Ventana(QStringLiteral("FrmProvincias"));
    QVERIFY(ficha);
    const qreal densidad = ficha->devicePixelRatioF();
    QCOMPARE(densidad, escala);

    // Whole on the screen, below the host's menu and above its status line.
    const QRect marco = ficha->frameGeometry();
    const QRect menu = EnPantalla(anfitrion.Principal()->Menu());
    const QRect estado = EnPantalla(anfitrion.Principal()->Controls().Item(QStringLiteral("LblEstado"))->Widget());
    QVERIFY2(pantalla->availableGeometry().contains(marco) && marco.top() > menu.bottom() && marco.bottom() < estado.top(),
             qPrintable(QStringLiteral("ventana %1,%2 %3x%4, menú hasta %5, estado desde %6")
                            .arg(marco.x()).arg(marco.y()).arg(marco.width()).arg(marco.height())
                            .arg(menu.bottom()).arg(estado.top())));

    // Every control inside the window; the background covers it and no picture is enlarged.
    for (Control* control : ficha->Controls()) {
        QWidget* w = control->Widget();
        if (!w || !w->isVisible())
            continue;
        QVERIFY2(ficha->rect().contains(QRect(w->mapTo(ficha, QPoint(0, 0)), w->size())), qPrintable(control->Name()));
        QImage dibujo;
        if (auto* imagen = qobject_cast<Image*>(control))
            dibujo = imagen->Picture();
        if (auto* caja = qobject_cast<PictureBox*>(control))
            dibujo = caja->Picture();
        if (!dibujo.isNull())
            QVERIFY2(dibujo.width() >= qRound(w->width() * densidad) && dibujo.height() >= qRound(w->height() * densidad),
                     qPrintable(QStringLiteral("%1: %2x%3").arg(control->Name()).arg(dibujo.width()).arg(dibujo.height())));
    }
    QWidget* fondo = ficha->Controls().Item(QStringLiteral("PicProvincias"))->Widget();
    QCOMPARE(EnPantalla(fondo), ficha->geometry());
    const QSizeF cubierto = qobject_cast<PictureBox*>(ficha->Controls().Item(QStringLiteral("PicProvincias")))
                                ->Picture().deviceIndependentSize();
    QVERIFY(cubierto.width() >= fondo->width() && cubierto.height() >= fondo->height());

    const QStringList recortados = Recortados(
        *ficha, {"LblNuevo", "lblAceptar", "LblBuscar", "LblCancelar", "LblBorrar", "LblProv", "LblDatosProvincias",
                 "LblCodigo", "LblProvincia", "TxtCodigo", "TxtProvincia"});
    QVERIFY2(recortados.isEmpty(), qPrintable(recortados.join(QLatin1Char('\n'))));

    // The preview the printer picture opens: the whole screen, its zoom list readable.
    QRect vistaEnPantalla;
    QStringList zoomRecortado;
    std::function<void()> mirar = [&] {
        Form* vista = Ventana(QStringLiteral("frmListados"));
        if (!vista)
            return QTimer::singleShot(50, this, mirar);
        vistaEnPantalla = vista->frameGeometry();
        auto* zoom = qobject_cast<QComboBox*>(vista->Controls().Item(QStringLiteral("CbxPor"))->Widget());
        QStyleOptionComboBox opcion;
        opcion.initFrom(zoom);
        const QRect campo = zoom->style()->subControlRect(QStyle::CC_ComboBox, &opcion, QStyle::SC_ComboBoxEditField, zoom);
        for (int i = 0; i < zoom->count(); ++i)
            if (zoom->fontMetrics().horizontalAdvance(zoom->itemText(i)) > campo.width())
                zoomRecortado << zoom->itemText(i);
        emit qobject_cast<Barra*>(vista->Controls().Item(QStringLiteral("Barra1")))->SolicitudCierre();
    };
    QTimer::singleShot(0, this, mirar);
    QTest::mouseClick(ficha->Controls().Item(QStringLiteral("ImgImpresora"))->Widget(), Qt::LeftButton);
    QCOMPARE(vistaEnPantalla, pantalla->geometry());
    QVERIFY2(zoomRecortado.isEmpty(), qPrintable(zoomRecortado.join(QLatin1Char('|'))));
    QVERIFY(mensajes->Llamadas.isEmpty());
    anfitrion.Terminar();
}

QTEST_MAIN(PruebaPantallas)
#include "tst_PantallasAnfitrion.moc"
