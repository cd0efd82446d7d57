// The common data received from the host, and HabilitarControles.

#include "Barra.h"
#include "Boton.h"
#include "ComboBox.h"
#include "DatosComunes.h"
#include "EsquemaProvincias.h"
#include "Falsos.h"
#include "FlexGrid.h"
#include "Image.h"
#include "Label.h"
#include "Line.h"
#include "PictureBox.h"
#include "Shape.h"
#include "TextBox.h"

#include <QTemporaryDir>
#include <QtTest>

namespace {

// An input control of the host's libraries: the further class HabilitarControles enables.
class ControlAnfitrion : public Label
{
public:
    using Label::Label;
    bool EsControlEntradaAnfitrion() const override { return true; }
};

class VentanaMixta : public Form
{
public:
    VentanaMixta() : Form(QStringLiteral("VentanaMixta"))
    {
        auto* fondo = new PictureBox(this, QStringLiteral("PicFondo"));
        new Barra(this, QStringLiteral("Barra1"), fondo);
        new Boton(this, QStringLiteral("LblNuevo"), fondo);
        new Label(this, QStringLiteral("LblCodigo"), fondo);
        new TextBox(this, QStringLiteral("TxtCodigo"), fondo);
        new TextBox(this, QStringLiteral("TxtProvincia"), fondo);
        new ComboBox(this, QStringLiteral("CbxOrden"), fondo);
        new Image(this, QStringLiteral("ImgImpresora"), fondo);
        new Shape(this, QStringLiteral("SpProvincias"), fondo);
        new Line(this, QStringLiteral("Line5"), fondo);
        new FlexGrid(this, QStringLiteral("LinProvincias"), fondo);
        new ControlAnfitrion(this, QStringLiteral("CtlAnfitrion"), fondo);
    }
};

} // namespace

class TestDatosComunes : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void cargaCompleta();
    void recordsetsCreadosAntes();
    void falloParcial_data();
    void falloParcial();
    void noVentana_data();
    void noVentana();
    void noEstablecido();
    void habilitar_data();
    void habilitar();

private:
    QTemporaryDir carpeta_;
    std::shared_ptr<UtilidadesFalsas> utiles_;
    QPointer<Form> ubicacionAnterior_;
    QPointer<Form> principalAnterior_;
};

void TestDatosComunes::init()
{
    QVERIFY(carpeta_.isValid());
    DatosComunes::Liberar();
    utiles_ = std::make_shared<UtilidadesFalsas>();
    utiles_->Conexion = AbrirBaseProvincias(carpeta_.filePath(QStringLiteral("datos.sqlite")));
    utiles_->SentenciaTextos = SentenciaTextos();
    utiles_->Ubicacion = new Form(QStringLiteral("FormUbicacion"));
    utiles_->Principal = new Form(QStringLiteral("FormPrincipal"));
    utiles_->ParametroRegistro = QStringLiteral("registro");
    utiles_->Usuario = QStringLiteral("ana");
    DatosComunes::Utiles = utiles_;

    // What a former Cargar left behind.
    ubicacionAnterior_ = new Form(QStringLiteral("UbicacionAnterior"));
    principalAnterior_ = new Form(QStringLiteral("PrincipalAnterior"));
    DatosComunes::FormUbicacion = ubicacionAnterior_;
    DatosComunes::FormPrincipal = principalAnterior_;
    DatosComunes::AnchoBase = 1;
    DatosComunes::AltoBase = 1;
    DatosComunes::Usuario = QStringLiteral("anterior");
}

void TestDatosComunes::cleanup()
{
    DatosComunes::Liberar();
    delete utiles_->Ubicacion.data();
    delete utiles_->Principal.data();
    delete ubicacionAnterior_.data();
    delete principalAnterior_.data();
    utiles_.reset();
}

void TestDatosComunes::cargaCompleta()
{
    DatosComunes::CargarDatosComunes();
    QCOMPARE(utiles_->LlamadasObtenerDatos, 1);
    QCOMPARE(DatosComunes::Conexion, utiles_->Conexion);
    QCOMPARE(DatosComunes::Dato2, QVariant(2));
    QCOMPARE(DatosComunes::FormUbicacion.data(), utiles_->Ubicacion.data());
    QCOMPARE(DatosComunes::FormPrincipal.data(), utiles_->Principal.data());
    QCOMPARE(DatosComunes::AnchoBase, 15360L);
    QCOMPARE(DatosComunes::ParametroRegistro, QVariant(QStringLiteral("registro")));
    QCOMPARE(DatosComunes::Usuario, QStringLiteral("ana"));
    QCOMPARE(DatosComunes::Textos->State(), int(Recordset::adStateOpen));
    QCOMPARE(DatosComunes::Textos->Fields(QStringLiteral("Datos Provincias")).Value().toString(),
             QStringLiteral("Datos Provincias"));
    QCOMPARE(DatosComunes::TextosListado->Fields(QStringLiteral("Pagina")).Value().toString(), QStringLiteral("Página"));
}

void TestDatosComunes::recordsetsCreadosAntes()
{
    // The host receives three live recordsets, closed, and may leave them so.
    utiles_->SentenciaTextos.clear();
    QVERIFY(!DatosComunes::Textos.Existe());
    DatosComunes::CargarDatosComunes();
    QVERIFY(DatosComunes::Textos.Existe());
    QVERIFY(DatosComunes::TextosListado.Existe());
    QVERIFY(DatosComunes::RecordsetSinUso.Existe());
    QCOMPARE(DatosComunes::Textos->State(), int(Recordset::adStateClosed));
    // A recordset kept from one call is handed to the next, not replaced.
    Recordset* antes = DatosComunes::Textos.Referencia().get();
    DatosComunes::CargarDatosComunes();
    QCOMPARE(DatosComunes::Textos.Referencia().get(), antes);
}

void TestDatosComunes::falloParcial_data()
{
    QTest::addColumn<int>("valores");
    QTest::addColumn<bool>("conexion");
    QTest::addColumn<long>("ancho");
    QTest::addColumn<QString>("usuario");

    QTest::newRow("nada escrito") << 0 << false << 1L << "anterior";
    QTest::newRow("ventanas escritas") << 7 << true << 1L << "anterior";
    QTest::newRow("casi todo") << 14 << true << 15360L << "anterior";
    QTest::newRow("todo y luego falla") << 15 << true << 15360L << "ana";
}

void TestDatosComunes::falloParcial()
{
    QFETCH(int, valores);
    QFETCH(bool, conexion);
    QFETCH(long, ancho);
    QFETCH(QString, usuario);

    utiles_->FallarTrasValores = valores;
    try {
        DatosComunes::CargarDatosComunes();
        QFAIL("ObtenerDatos debía fallar");
    } catch (const ErrorEjecucion& error) {
        QCOMPARE(error.Number(), 5);
        QCOMPARE(error.Description(), QStringLiteral("El anfitrión no pudo entregar los datos"));
    }
    // What the host wrote stays; the two windows keep their former values whatever it wrote.
    QCOMPARE(bool(DatosComunes::Conexion), conexion);
    QCOMPARE(DatosComunes::AnchoBase, ancho);
    QCOMPARE(DatosComunes::Usuario, usuario);
    QCOMPARE(DatosComunes::FormUbicacion.data(), ubicacionAnterior_.data());
    QCOMPARE(DatosComunes::FormPrincipal.data(), principalAnterior_.data());
    QCOMPARE(DatosComunes::Utiles, std::shared_ptr<IUtilidades>(utiles_));
}

void TestDatosComunes::noVentana_data()
{
    QTest::addColumn<int>("posicion");
    QTest::newRow("posición 6") << 6;
    QTest::newRow("posición 7") << 7;
}

void TestDatosComunes::noVentana()
{
    QFETCH(int, posicion);
    QObject ajeno;
    if (posicion == 6)
        utiles_->Ubicacion = &ajeno;
    else
        utiles_->Principal = &ajeno;
    Form* ubicacionNueva = qobject_cast<Form*>(utiles_->Ubicacion.data());
    try {
        DatosComunes::CargarDatosComunes();
        QFAIL("se esperaba el error de tipos");
    } catch (const ErrorEjecucion& error) {
        QCOMPARE(error.Number(), 13);
    }
    // Position 6 is converted first: with 7 wrong, FormUbicacion already holds the new window.
    QCOMPARE(DatosComunes::FormUbicacion.data(), posicion == 6 ? ubicacionAnterior_.data() : ubicacionNueva);
    QCOMPARE(DatosComunes::FormPrincipal.data(), principalAnterior_.data());
    // The host's windows are untouched.
    QVERIFY(ubicacionAnterior_ && principalAnterior_);
    QCOMPARE(ubicacionAnterior_->Name(), QStringLiteral("UbicacionAnterior"));
}

void TestDatosComunes::noEstablecido()
{
    // No utilities object: error 91, nothing changed.
    DatosComunes::Utiles.reset();
    try {
        DatosComunes::CargarDatosComunes();
        QFAIL("se esperaba el error 91");
    } catch (const ErrorEjecucion& error) {
        QCOMPARE(error.Number(), 91);
        QCOMPARE(error.Description(), QStringLiteral("Variable de objeto o bloque With no establecido"));
    }
    QCOMPARE(DatosComunes::FormUbicacion.data(), ubicacionAnterior_.data());
    // A host window that is destroyed reads as unset, never as a dangling window.
    delete principalAnterior_.data();
    QVERIFY(DatosComunes::FormPrincipal.isNull());
    QVERIFY_THROWS_EXCEPTION(ErrorEjecucion, ObjetoEstablecido(DatosComunes::FormPrincipal));
}

void TestDatosComunes::habilitar_data()
{
    QTest::addColumn<bool>("habilitar");
    QTest::newRow("deshabilitar") << false;
    QTest::newRow("habilitar") << true;
}

void TestDatosComunes::habilitar()
{
    QFETCH(bool, habilitar);
    VentanaMixta ventana;
    for (Control* c : ventana.Controls())
        c->setEnabled(!habilitar);

    DatosComunes::HabilitarControles(ventana.Controls(), habilitar);

    const QStringList cambian{QStringLiteral("TxtCodigo"), QStringLiteral("TxtProvincia"), QStringLiteral("CbxOrden"),
                              QStringLiteral("CtlAnfitrion")};
    for (Control* c : ventana.Controls()) {
        const bool esperado = cambian.contains(c->Name()) ? habilitar : !habilitar;
        QVERIFY2(c->Enabled() == esperado, qPrintable(c->Name()));
        // The widget itself follows (its container may be disabled too, so ask the widget's own flag).
        QCOMPARE(!c->Widget()->testAttribute(Qt::WA_ForceDisabled), esperado);
    }
    Form vacia(QStringLiteral("Vacia"));
    DatosComunes::HabilitarControles(vacia.Controls(), habilitar);
}

QTEST_MAIN(TestDatosComunes)
#include "tst_DatosComunes.moc"
