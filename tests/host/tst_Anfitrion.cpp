// The demo host: registration of the component, opening the maintenance window by ProgID, the
// errors it shows while it keeps running, its windows and the preview at the screens people have.

#include "host/Anfitrion.h"
#include "tests/apoyo/Apoyo.h"
#include "controls/Barra.h"
#include "tests/apoyo/Falsos.h"
#include "runtime/FlexGrid.h"
#include "server/RegistroClases.h"
#include "runtime/Screen.h"

#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QScreen>
#include <QTemporaryDir>
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

// A text wider than the room it has, as "where: text (text pixels > room)".
void Medir(QStringList& recortados, const QString& donde, const QWidget* w, const QString& texto, int sitio)
{
    if (const int ancho = w->fontMetrics().horizontalAdvance(texto); ancho > sitio)
        recortados << QStringLiteral("%1: %2 (%3 > %4)").arg(donde, texto).arg(ancho).arg(sitio);
}

} // namespace

class TestAnfitrion : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir carpeta_;
    std::shared_ptr<MensajesFalsos> mensajes_;

    std::unique_ptr<Anfitrion> NuevoAnfitrion()
    {
        Anfitrion::Configuracion configuracion;
        configuracion.Base = carpeta_.filePath(QStringLiteral("anfitrion.sqlite"));
        configuracion.RutaComponente = Componente;
        configuracion.Usuario = QStringLiteral("carmen");
        auto anfitrion = std::make_unique<Anfitrion>(configuracion);
        anfitrion->AbrirBase();
        anfitrion->Iniciar();
        return anfitrion;
    }

    void EnLaPantalla(const QSize& pixeles, double escala);

private slots:
    void initTestCase()
    {
        QVERIFY(!qEnvironmentVariableIsEmpty("QUILTREN_REGISTRO"));
        QVERIFY(QFileInfo::exists(Componente));
    }

    void init()
    {
        QFile::remove(RegistroClases::RutaPredeterminada());
        mensajes_ = InstalarMensajesFalsos();
    }

    void cleanup()
    {
        Tramacor::FijarMensajes(nullptr);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // The registry before the host starts (empty: the class taken away once it has started) and the
    // error the host shows, empty when the window opens. The host reports and goes on with its
    // windows; opening the class reports (again).
    void apertura_data()
    {
        QTest::addColumn<QByteArray>("registro");
        QTest::addColumn<QString>("mensaje");
        QTest::newRow("registrado para otra copia")
            << QByteArray("clase\tQuiltren.ClassProvincias\t/opt/otra/libquiltren.so\tClassProvincias\t1.00.0050\n") << "";
        QTest::newRow("registro dañado") << QByteArray("clase\tsolo dos campos\n") << "No se pudo registrar el componente";
        QTest::newRow("clase no registrada") << QByteArray() << "No se pudo crear la clase Quiltren.ClassProvincias";
    }

    void apertura()
    {
        QFETCH(QByteArray, registro);
        QFETCH(QString, mensaje);
        QVERIFY(EscribirArchivo(RegistroClases::RutaPredeterminada(), registro));
        auto anfitrion = NuevoAnfitrion();
        if (registro.isEmpty())
            RegistroClases().Desregistrar({Anfitrion::ProgId});
        if (!mensaje.isEmpty()) {
            QVERIFY(!anfitrion->AbrirProvincias());
            QCOMPARE(mensajes_->Llamadas.size(), registro.isEmpty() ? 1 : 2);
            QVERIFY2(mensajes_->Llamadas.first().Texto.startsWith(mensaje), qPrintable(mensajes_->Llamadas.first().Texto));
            QVERIFY(mensajes_->Llamadas.last().Texto.contains(Anfitrion::ProgId));
            for (const auto& llamada : mensajes_->Llamadas)
                QVERIFY(llamada.Estilo == 16 && llamada.Titulo == QStringLiteral("Error"));
            QVERIFY(!Ventana(QStringLiteral("FrmProvincias")) && anfitrion->Principal()->isVisible());
            return;
        }
        // Registered again, to this copy, once.
        const std::optional<EntradaClase> entrada = RegistroClases().Buscar(Anfitrion::ProgId);
        QCOMPARE(QStringList({entrada->Biblioteca, entrada->Version}), QStringList({Componente, "1.00.0051"}));
        QVERIFY(!Anfitrion::AsegurarRegistro(Componente));
        QVERIFY(!anfitrion->Ubicacion()->isVisible());
        QVERIFY(anfitrion->AbrirProvincias());
        Form* ficha = Ventana(QStringLiteral("FrmProvincias"));
        QVERIFY(ficha);
        QCOMPARE(QPoint(ficha->Left(), ficha->Top()), QPoint(anfitrion->Ubicacion()->Left(), anfitrion->Ubicacion()->Top()));
        // The menu again: the same component, the same window shown again.
        QObject* componente = anfitrion->Componente();
        QAction* maestros = anfitrion->Principal()->Menu()->actions().at(1);
        QAction* provincias = maestros->menu()->actions().first();
        QCOMPARE(QStringList({maestros->text(), provincias->text()}), QStringList({"&Maestros", "&Provincias"}));
        provincias->trigger();
        QCOMPARE(anfitrion->Componente(), componente);
        QCOMPARE(Ventana(QStringLiteral("FrmProvincias")), ficha);
        QVERIFY(mensajes_->Llamadas.isEmpty());
        anfitrion->Terminar();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!Ventana(QStringLiteral("FrmProvincias")));
        QVERIFY(!anfitrion->Componente());
    }

    void pantallas_data()
    {
        QTest::addColumn<QSize>("pixeles");
        QTest::addColumn<double>("escala");
        QTest::newRow("1024x768") << QSize(1024, 768) << 1.0;
        QTest::newRow("1280x1024") << QSize(1280, 1024) << 1.0;
        QTest::newRow("1366x768") << QSize(1366, 768) << 1.0;
        QTest::newRow("1920x1080") << QSize(1920, 1080) << 1.0;
        QTest::newRow("1920x1080 escala 2") << QSize(1920, 1080) << 2.0;
    }

    void pantallas()
    {
        QFETCH(QSize, pixeles);
        QFETCH(double, escala);
        if (qEnvironmentVariableIsSet(VariableFila))
            return EnLaPantalla(pixeles, escala);

        // The platform's screen is fixed when the process starts: this row runs in a new one.
        QTemporaryDir carpeta;
        const QString configuracion = carpeta.filePath(QStringLiteral("pantalla.json"));
        QVERIFY(EscribirArchivo(configuracion, QStringLiteral(R"({"windowFrameMargins": false, "screens": [{"name": "prueba", "x": 0,
            "y": 0, "width": %1, "height": %2, "logicalDpi": 96, "logicalBaseDpi": 96}]})").arg(pixeles.width()).arg(pixeles.height()).toUtf8()));
        QProcessEnvironment entorno = QProcessEnvironment::systemEnvironment();
        entorno.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen:configfile=") + configuracion);
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
};

void TestAnfitrion::EnLaPantalla(const QSize& pixeles, double escala)
{
    QScreen* pantalla = QGuiApplication::primaryScreen();
    QCOMPARE(pantalla->geometry().size() * escala, pixeles);
    QVERIFY(QDir::setCurrent(qEnvironmentVariable("QUILTREN_RAIZ")));
    InstalarDialogoImpresionFalso()->Respuestas = {OpcionesPantalla()};

    auto anfitrion = NuevoAnfitrion();
    QVERIFY(anfitrion->AbrirProvincias());
    Form* ficha = Ventana(QStringLiteral("FrmProvincias"));
    QVERIFY(ficha);
    QCOMPARE(ficha->devicePixelRatioF(), escala);

    // Whole on the screen, below the host's menu and above its status line.
    const QRect marco = ficha->frameGeometry();
    const QRect menu = EnPantalla(anfitrion->Principal()->Menu());
    const QRect estado = EnPantalla(anfitrion->Principal()->Controls().Item(QStringLiteral("LblEstado"))->Widget());
    QVERIFY2(pantalla->availableGeometry().contains(marco) && marco.top() > menu.bottom() && marco.bottom() < estado.top(),
             qPrintable(QStringLiteral("%1,%2 %3x%4, menú hasta %5, estado desde %6").arg(marco.x()).arg(marco.y())
                            .arg(marco.width()).arg(marco.height()).arg(menu.bottom()).arg(estado.top())));

    // Every control inside the window, the background covering it.
    for (Control* control : ficha->Controls()) {
        QWidget* w = control->Widget();
        if (w && w->isVisible())
            QVERIFY2(ficha->rect().contains(QRect(w->mapTo(ficha, QPoint(0, 0)), w->size())), qPrintable(control->Name()));
    }
    QCOMPARE(EnPantalla(ficha->Controls().Item(QStringLiteral("PicProvincias"))->Widget()), ficha->geometry());

    // Captions and field texts no wider than their controls.
    QStringList recortados;
    auto* grilla = qobject_cast<FlexGrid*>(ficha->Controls().Item(QStringLiteral("LinProvincias")));
    const QFontMetrics letraGrilla = grilla->Widget()->fontMetrics();
    QString masAncho;   // the widest name, the one the name field must show whole
    for (int fila = 0; fila < grilla->Rows(); ++fila)
        for (int col = 0; col < grilla->Cols(); ++col) {
            const QString texto = grilla->TextMatrix(fila, col);
            // 4 pixels of padding each side.
            Medir(recortados, QStringLiteral("LinProvincias"), grilla->Widget(), texto, Screen::TwipsAPixelesX(grilla->ColWidth(col)) - 8);
            if (fila > 0 && col == 1 && letraGrilla.horizontalAdvance(texto) > letraGrilla.horizontalAdvance(masAncho))
                masAncho = texto;
        }
    for (const QString nombre : {"LblNuevo", "lblAceptar", "LblBuscar", "LblCancelar", "LblBorrar", "LblProv", "LblDatosProvincias",
                                 "LblCodigo", "LblProvincia", "TxtCodigo", "TxtProvincia"}) {
        QWidget* w = ficha->Controls().Item(nombre)->Widget();
        auto* etiqueta = qobject_cast<QLabel*>(w);
        auto* campo = qobject_cast<QLineEdit*>(w);
        const QString texto = etiqueta ? etiqueta->text()
            : campo                    ? (nombre == QLatin1String("TxtProvincia") ? masAncho : campo->text())
                                       : w->accessibleName();
        // Room for text: a label's whole width, less the field's frame or the button's rounded box.
        Medir(recortados, nombre, w, texto, w->width() - (etiqueta ? 0 : campo ? 6 : 11));
    }
    QVERIFY2(recortados.isEmpty(), qPrintable(recortados.join(QLatin1Char('\n'))));

    // The preview the printer picture opens covers the whole screen, its scroll bar down the right
    // edge to the bottom.
    QRect vistaEnPantalla, barra;
    AlAbrirse<Form>([&](Form* vista) {
        QCOMPARE(vista->objectName(), QStringLiteral("frmListados"));
        vistaEnPantalla = vista->frameGeometry();
        barra = EnPantalla(vista->Controls().Item(QStringLiteral("Scroll"))->Widget());
        emit qobject_cast<Barra*>(vista->Controls().Item(QStringLiteral("Barra1")))->SolicitudCierre();
    });
    QTest::mouseClick(ficha->Controls().Item(QStringLiteral("ImgImpresora"))->Widget(), Qt::LeftButton);
    QCOMPARE(vistaEnPantalla, pantalla->geometry());
    QVERIFY(vistaEnPantalla.contains(barra) && barra.right() > vistaEnPantalla.right() - 20
            && barra.bottom() > vistaEnPantalla.bottom() - 20 && barra.top() < vistaEnPantalla.height() / 4);
    QVERIFY(mensajes_->Llamadas.isEmpty());
    anfitrion->Terminar();
}

QTEST_MAIN(TestAnfitrion)
#include "tst_Anfitrion.moc"
