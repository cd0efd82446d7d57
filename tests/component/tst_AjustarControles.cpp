// The scaling of a window's controls from the design screen to the current one.

#include "AjustarControles.h"
#include "Barra.h"
#include "Boton.h"
#include "ComboBox.h"
#include "ErrorEjecucion.h"
#include "FlexGrid.h"
#include "Form.h"
#include "Image.h"
#include "Label.h"
#include "Line.h"
#include "PictureBox.h"
#include "Shape.h"
#include "TextBox.h"

#include <QtTest>

namespace {

// A window with one control of every class the scaling treats apart, at known places.
class VentanaEscala : public Form
{
public:
    VentanaEscala() : Form(QStringLiteral("VentanaEscala"))
    {
        Move(0, 0, 12000, 9000);
        barra = new Barra(this, QStringLiteral("Barra1"));
        barra->Move(0, 0, 12015, 555);
        barra->Font().setSize(12);
        fondo = new PictureBox(this, QStringLiteral("PicFondo"));
        fondo->Move(0, 0, 12000, 9000);
        etiqueta = new Label(this, QStringLiteral("LblCodigo"), fondo);
        etiqueta->Move(999, 1200, 101, 390);
        etiqueta->Font().setSize(14.25);
        texto = new TextBox(this, QStringLiteral("TxtCodigo"), fondo);
        texto->Move(7440, 1200, 585, 405);
        texto->Font().setSize(12);
        lista = new ComboBox(this, QStringLiteral("CbxOrden"), fondo);
        lista->Move(1000, 4000, 2000);
        lista->Font().setSize(12);
        linea = new Line(this, QStringLiteral("Line5"), fondo);
        linea->setX1(1440);
        linea->setY1(2040);
        linea->setX2(7080);
        linea->setY2(2040);
        imagen = new Image(this, QStringLiteral("ImgImpresora"), fondo);
        imagen->Move(11160, 1725, 1200, 900);
        marco = new Shape(this, QStringLiteral("SpProvincias"), fondo);
        marco->Move(360, 360, 4395, 2955);
        grilla = new FlexGrid(this, QStringLiteral("LinProvincias"), fondo);
        grilla->Move(600, 600, 3855, 2415);
        grilla->Font().setSize(9);
        boton = new Boton(this, QStringLiteral("LblNuevo"), fondo);
        boton->Move(2160, 840, 1575, 735);
        boton->Font().setSize(12);
    }

    Barra* barra;
    PictureBox* fondo;
    Label* etiqueta;
    TextBox* texto;
    ComboBox* lista;
    Line* linea;
    Image* imagen;
    Shape* marco;
    FlexGrid* grilla;
    Boton* boton;
};

} // namespace

class TestAjustarControles : public QObject
{
    Q_OBJECT

private slots:
    void escalar_data();
    void escalar();
    void hayQueAjustar_data();
    void hayQueAjustar();
    void ventana_data();
    void ventana();
    void lineaComboYBarra();
};

void TestAjustarControles::escalar_data()
{
    QTest::addColumn<long>("valor");
    QTest::addColumn<long>("actual");
    QTest::addColumn<long>("base");
    QTest::addColumn<long>("esperado");
    QTest::addColumn<int>("error");

    // Three quarters of the base width: 749.25 and 75.75 are cut, never rounded.
    QTest::newRow("999 a tres cuartos") << 999L << 11520L << 15360L << 749L << 0;
    QTest::newRow("negativo hacia cero") << -999L << 11520L << 15360L << -749L << 0;
    QTest::newRow("pantalla mayor") << 585L << 19200L << 15360L << 731L << 0;
    // The product is taken first: 90 × 7 ÷ 10 is 63, where 90 × (7 ÷ 10) would cut 62.999… to 62.
    QTest::newRow("producto primero") << 90L << 7L << 10L << 63L << 0;
    // A zero base is error 11, a result beyond a Long error 6.
    QTest::newRow("base cero") << 100L << 15360L << 0L << 0L << 11;
    QTest::newRow("desbordamiento") << 2000000000L << 15360L << 1L << 0L << 6;
}

void TestAjustarControles::escalar()
{
    QFETCH(long, valor);
    QFETCH(long, actual);
    QFETCH(long, base);
    QFETCH(long, esperado);
    QFETCH(int, error);
    try {
        QCOMPARE(Escalado::Escalar(valor, actual, base), esperado);
        QCOMPARE(error, 0);
    } catch (const ErrorEjecucion& e) {
        QCOMPARE(e.Number(), error);
    }
}

void TestAjustarControles::hayQueAjustar_data()
{
    QTest::addColumn<double>("pantalla");
    QTest::addColumn<long>("base");
    QTest::addColumn<bool>("ajustar");
    QTest::newRow("igual") << 15360.0 << 15360L << false;
    QTest::newRow("más estrecha") << 11520.0 << 15360L << true;
    QTest::newRow("fracción de twip") << 15360.5 << 15360L << true;
}

void TestAjustarControles::hayQueAjustar()
{
    QFETCH(double, pantalla);
    QFETCH(long, base);
    QFETCH(bool, ajustar);
    QCOMPARE(Escalado::HayQueAjustar(pantalla, base), ajustar);
}

void TestAjustarControles::ventana_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<long>("anchoActual");
    QTest::addColumn<long>("altoActual");
    QTest::addColumn<int>("left");
    QTest::addColumn<int>("top");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<double>("puntos");

    // Base 15360 × 11520; three quarters wide and as high: vertical values keep their twips.
    const long ancho = 11520, alto = 11520;
    QTest::newRow("etiqueta: -4 puntos, +10 de alto") << "LblCodigo" << ancho << alto << 749 << 1200 << 75 << 400 << 10.25;
    QTest::newRow("texto: -3 puntos, -70 de alto") << "TxtCodigo" << ancho << alto << 5580 << 1200 << 438 << 335 << 9.0;
    QTest::newRow("imagen") << "ImgImpresora" << ancho << alto << 8370 << 1725 << 900 << 900 << 0.0;
    QTest::newRow("botón: su fuente queda") << "LblNuevo" << ancho << alto << 1620 << 840 << 1181 << 735 << 12.0;
    QTest::newRow("contenedor") << "PicFondo" << ancho << alto << 0 << 0 << 9000 << 9000 << 0.0;
    // Both ratios at once, and a wider screen gets the same fixed corrections.
    QTest::newRow("etiqueta, ambas razones") << "LblCodigo" << 19200L << 9600L << 1248 << 1000 << 126 << 335 << 10.25;
    QTest::newRow("texto, pantalla mayor") << "TxtCodigo" << 19200L << 14400L << 9300 << 1500 << 731 << 436 << 9.0;
}

void TestAjustarControles::ventana()
{
    QFETCH(QString, control);
    QFETCH(long, anchoActual);
    QFETCH(long, altoActual);
    QFETCH(int, left);
    QFETCH(int, top);
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(double, puntos);

    VentanaEscala ventana;
    AjustarControles(ventana, anchoActual, altoActual, 15360, 11520);
    Control* c = ventana.Controls().Item(control);
    QCOMPARE(c->Left(), left);
    QCOMPARE(c->Top(), top);
    QCOMPARE(c->Width(), width);
    QCOMPARE(c->Height(), height);
    if (puntos > 0)
        QCOMPARE(c->Font().Size(), puntos);
    if (c->TipoControl() == Control::Clase::Image)
        QVERIFY(static_cast<Image*>(c)->Stretch());
}

void TestAjustarControles::lineaComboYBarra()
{
    VentanaEscala ventana;
    AjustarControles(ventana.Controls(), 11520, 5760, 15360, 11520);
    // A line by its end points.
    QCOMPARE(ventana.linea->X1(), 1080);
    QCOMPARE(ventana.linea->X2(), 5310);
    QCOMPARE(ventana.linea->Y1(), 1020);
    QCOMPARE(ventana.linea->Y2(), 1020);
    // A combo box: left, top and width; its height is the one its (smaller) font gives.
    QCOMPARE(ventana.lista->Left(), 750);
    QCOMPARE(ventana.lista->Top(), 2000);
    QCOMPARE(ventana.lista->Width(), 1500);
    QCOMPARE(ventana.lista->Font().Size(), 9.0);
    ComboBox referencia(&ventana, QStringLiteral("CbxReferencia"));
    referencia.Font().setSize(9);
    QCOMPARE(ventana.lista->Height(), referencia.Height());
    // The title bar keeps its design geometry and font.
    QCOMPARE(ventana.barra->Width(), 12015);
    QCOMPARE(ventana.barra->Height(), 555);
    QCOMPARE(ventana.barra->Font().Size(), 12.0);
}

QTEST_MAIN(TestAjustarControles)
#include "tst_AjustarControles.moc"
