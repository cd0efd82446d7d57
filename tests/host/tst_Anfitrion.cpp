// The demo host: registration of the component, its windows, its utilities object, opening the
// maintenance window by ProgID, and the errors it shows while it keeps running.

#include "Anfitrion.h"
#include "ErrorServidor.h"
#include "Falsos.h"
#include "RegistroClases.h"

#include <QFile>
#include <QFileInfo>
#include <QMenuBar>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString Componente = QFileInfo(QStringLiteral(RUTA_QUILTREN)).canonicalFilePath();

QList<QWidget*> FichasVisibles()
{
    QList<QWidget*> fichas;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == QLatin1String("FrmProvincias") && w->isVisible())
            fichas.append(w);
    return fichas;
}

} // namespace

class TestAnfitrion : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void asegurarRegistro();
    void registroDanado();
    void abrirProvincias();
    void claseNoRegistrada();

private:
    std::unique_ptr<Anfitrion> NuevoAnfitrion();

    QTemporaryDir carpeta_;
    std::shared_ptr<MensajesFalsos> mensajes_;
};

void TestAnfitrion::initTestCase()
{
    QVERIFY(carpeta_.isValid());
    QVERIFY(!qEnvironmentVariableIsEmpty("QUILTREN_REGISTRO"));
    QVERIFY(QFileInfo::exists(Componente));
}

void TestAnfitrion::init()
{
    QFile::remove(RegistroClases::RutaPredeterminada());
    mensajes_ = InstalarMensajesFalsos();
}

void TestAnfitrion::cleanup()
{
    Tramacor::FijarMensajes(nullptr);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

std::unique_ptr<Anfitrion> TestAnfitrion::NuevoAnfitrion()
{
    Anfitrion::Configuracion configuracion;
    configuracion.Base = carpeta_.filePath(QStringLiteral("anfitrion.sqlite"));
    configuracion.RutaComponente = Componente;
    configuracion.Usuario = QStringLiteral("carmen");
    auto anfitrion = std::make_unique<Anfitrion>(configuracion);
    anfitrion->AbrirBase();
    return anfitrion;
}

void TestAnfitrion::asegurarRegistro()
{
    QVERIFY(Anfitrion::AsegurarRegistro(Componente));
    QVERIFY(!Anfitrion::AsegurarRegistro(Componente));

    // Registered to another copy: registered again to this one.
    RegistroClases().Registrar({{Anfitrion::ProgId, QStringLiteral("/opt/otra/libquiltren.so"),
                                 QStringLiteral("ClassProvincias"), QStringLiteral("1.00.0050")}});
    QVERIFY(Anfitrion::AsegurarRegistro(Componente));
    const std::optional<EntradaClase> entrada = RegistroClases().Buscar(Anfitrion::ProgId);
    QCOMPARE(entrada->Biblioteca, Componente);
    QCOMPARE(entrada->Version, QStringLiteral("1.00.0051"));
}

void TestAnfitrion::registroDanado()
{
    QFile registro(RegistroClases::RutaPredeterminada());
    QVERIFY(registro.open(QIODevice::WriteOnly));
    registro.write("clase\tsolo dos campos\n");
    registro.close();

    QVERIFY_THROWS_EXCEPTION(ErrorServidor, Anfitrion::AsegurarRegistro(Componente));

    // The host reports it and goes on with its windows; opening the class reports again.
    auto anfitrion = NuevoAnfitrion();
    anfitrion->Iniciar();
    QVERIFY(anfitrion->Principal()->isVisible());
    QCOMPARE(mensajes_->Llamadas.size(), 1);
    QCOMPARE(mensajes_->Llamadas.at(0).Estilo, 16);
    QCOMPARE(mensajes_->Llamadas.at(0).Titulo, QStringLiteral("Error"));
    QVERIFY(mensajes_->Llamadas.at(0).Texto.startsWith(QStringLiteral("No se pudo registrar el componente")));
    QVERIFY(!anfitrion->AbrirProvincias());
    QCOMPARE(mensajes_->Llamadas.size(), 2);
    QVERIFY(mensajes_->Llamadas.at(1).Texto.contains(Anfitrion::ProgId));
    QVERIFY(FichasVisibles().isEmpty() && anfitrion->Principal()->isVisible());
}

void TestAnfitrion::abrirProvincias()
{
    auto anfitrion = NuevoAnfitrion();
    anfitrion->Iniciar();
    QVERIFY(RegistroClases().Buscar(Anfitrion::ProgId));
    QVERIFY(!anfitrion->Ubicacion()->isVisible());

    QVERIFY(anfitrion->AbrirProvincias());
    QCOMPARE(FichasVisibles().size(), 1);
    auto* ficha = qobject_cast<Form*>(FichasVisibles().first());
    QCOMPARE(QPoint(ficha->Left(), ficha->Top()), QPoint(anfitrion->Ubicacion()->Left(), anfitrion->Ubicacion()->Top()));

    // The menu again: the same component, the same window shown again.
    QObject* componente = anfitrion->Componente();
    QAction* maestros = anfitrion->Principal()->Menu()->actions().at(1);
    QCOMPARE(maestros->text(), QStringLiteral("&Maestros"));
    QAction* provincias = maestros->menu()->actions().first();
    QCOMPARE(provincias->text(), QStringLiteral("&Provincias"));
    provincias->trigger();
    QCOMPARE(anfitrion->Componente(), componente);
    QCOMPARE(FichasVisibles().size(), 1);
    QVERIFY(mensajes_->Llamadas.isEmpty());

    anfitrion->Terminar();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(FichasVisibles().isEmpty());
    QVERIFY(!anfitrion->Componente());
}

void TestAnfitrion::claseNoRegistrada()
{
    auto anfitrion = NuevoAnfitrion();
    anfitrion->Iniciar();
    RegistroClases().Desregistrar({Anfitrion::ProgId});
    QVERIFY(!anfitrion->AbrirProvincias());
    QCOMPARE(mensajes_->Llamadas.size(), 1);
    QCOMPARE(mensajes_->Llamadas.at(0).Estilo, 16);
    QVERIFY(mensajes_->Llamadas.at(0).Texto.startsWith(QStringLiteral("No se pudo crear la clase Quiltren.ClassProvincias")));
    QVERIFY(anfitrion->Principal()->isVisible());
}

QTEST_MAIN(TestAnfitrion)
#include "tst_Anfitrion.moc"
