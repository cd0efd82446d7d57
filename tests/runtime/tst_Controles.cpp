// The runtime's windows and controls on the offscreen platform (the grid has its own program).

#include "tests/apoyo/Apoyo.h"
#include "runtime/ArregloControles.h"
#include "runtime/ComboBox.h"
#include "runtime/Form.h"
#include "runtime/Image.h"
#include "runtime/InstanciaPredeterminada.h"
#include "runtime/Label.h"
#include "runtime/Line.h"
#include "runtime/PictureBox.h"
#include "runtime/Screen.h"
#include "runtime/ScrollBar.h"
#include "runtime/TextBox.h"

#include <QClipboard>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// A window that counts its events and can be told to misbehave.
class FrmContador : public Form
{
public:
    FrmContador() : Form(QStringLiteral("FrmContador"))
    {
        PicFondo = new PictureBox(this, QStringLiteral("PicFondo"));
        PicFondo->Move(0, 0, 6000, 3000);
        new Label(this, QStringLiteral("LblTitulo"), PicFondo);
        TxtCodigo = new TextBox(this, QStringLiteral("TxtCodigo"), PicFondo);
        TxtCodigo->Move(120, 120, 585, 405);
        TxtNombre = new TextBox(this, QStringLiteral("TxtNombre"), PicFondo);
        TxtNombre->Move(120, 720, 3420, 390);
        Move(0, 0, 6000, 3000);
    }

    PictureBox* PicFondo;
    TextBox* TxtCodigo;
    TextBox* TxtNombre;
    int cargas = 0, descargas = 0, pinturas = 0, redimensiones = 0;
    bool fallarAlCargar = false, cancelarDescarga = false, descargarDentro = false, soltarReferencia = false;

protected:
    void Form_Load() override
    {
        ++cargas;
        if (fallarAlCargar)
            throw ErrorEjecucion(91, QStringLiteral("Variable de objeto no establecida"));
    }
    void Form_Unload(int& Cancel) override
    {
        ++descargas;
        if (cancelarDescarga)
            Cancel = 1;
        // The close path of a window unloads it again from inside its own unload.
        if (descargarDentro)
            Unload();
        if (soltarReferencia)
            InstanciaPredeterminada<FrmContador>::Referencia() = nullptr;
    }
    void Form_Paint() override { ++pinturas; }
    void Form_Resize() override { ++redimensiones; }
};

using Predeterminada = InstanciaPredeterminada<FrmContador>;

void VaciarBorrados()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// How a window is unloaded ("Unload", "close" or "modal"), what its unload does, and the unloads counted.
struct Descarga { QString via; bool mostrar, cancelar, dentro, soltar; int descargas; };
// Keys typed or text pasted into a code box of at most `maximo` characters, and the Change events it raised.
struct Tecleo { int maximo; QString teclas; bool pegar; QString esperado; int cambios; };

} // namespace

Q_DECLARE_METATYPE(Descarga)
Q_DECLARE_METATYPE(Tecleo)

class TstControles : public QObject
{
    Q_OBJECT
private slots:
    void cleanup()
    {
        Screen::Restablecer();
        if (Predeterminada::Existe())
            delete Predeterminada::Referencia();
        VaciarBorrados();
        QCOMPARE(Form::FormulariosCargados(), 0);
    }

    void controlGuardaTwips_data()
    {
        QTest::addColumn<QRect>("twips");
        QTest::addColumn<QRect>("pixeles");
        QTest::newRow("redondea arriba y abajo") << QRect(1442, 1001, 75, 7) << QRect(96, 67, 5, 0);
        QTest::newRow("negativo") << QRect(-100, 0, 555, 20) << QRect(-7, 0, 37, 1);
    }

    void controlGuardaTwips()
    {
        QFETCH(QRect, twips);
        QFETCH(QRect, pixeles);
        Screen::FijarTwipsPorPixel(15);
        Form f(QStringLiteral("FrmGeometria"));
        auto* l = new Label(&f, QStringLiteral("LblPrueba"));
        l->Move(twips.x(), twips.y(), twips.width(), twips.height());
        // What was set is read back, not a value rounded to whole pixels.
        QCOMPARE(QRect(l->Left(), l->Top(), l->Width(), l->Height()), twips);
        QCOMPARE(l->Widget()->geometry(), pixeles);
        // Two controls that meet in twips meet in pixels, whatever the rounding of each size.
        auto* b = new Label(&f, QStringLiteral("B"));
        b->Move(twips.right() + 1, 0, 1003, 100);
        QCOMPARE(l->Widget()->geometry().right() + 1, b->Widget()->geometry().left());
    }

    void coleccionContenedorYLinea()
    {
        FrmContador f;
        QCOMPARE(f.Controls().Item(QStringLiteral("txtcodigo")), f.TxtCodigo);
        // A loaded element of a control array copies the first one, hidden.
        ArregloControles<PictureBox> PicList;
        PictureBox* primera = PicList.Crear(&f, QStringLiteral("PicList"));
        primera->Move(6120, 5520, 3015, 2415);
        PictureBox* segunda = PicList.Load(1);
        QCOMPARE(segunda->Width(), 3015);
        QVERIFY(!segunda->Visible());
        QCOMPARE(f.Controls().Count(), 6);
        PicList.Unload(1);
        QCOMPARE(f.Controls().Count(), 5);
        auto* caja = new PictureBox(&f, QStringLiteral("PicDatos"));
        caja->Move(360, 3480, 11655, 3930);
        auto* l = new Label(&f, QStringLiteral("LblDentro"), caja);
        l->Move(840, 120, 1995, 330);
        QCOMPARE(l->Widget()->parentWidget(), caja->SuperficieHijos());
        QCOMPARE(l->Widget()->mapTo(&f, QPoint(0, 0)), QPoint(24 + 56, 232 + 8));
        auto* linea = new Line(&f, QStringLiteral("Line5"));
        linea->setX1(1440);
        linea->setY1(2040);
        linea->setX2(7080);
        linea->setY2(2040);
        // The widget covers the segment, one pen width around it.
        QCOMPARE(linea->Widget()->geometry(), QRect(96 - 1, 136 - 1, 376 + 3, 3));
    }

    void instanciaPredeterminada()
    {
        FrmContador* primera = Predeterminada::Obtener();
        QCOMPARE(Predeterminada::Obtener(), primera);
        // A load that fails leaves the window unloaded; Hide loads it as well, and Show then loads nothing more.
        primera->fallarAlCargar = true;
        QCOMPARE(NumeroDeError([primera] { primera->Show(); }), 91);
        QVERIFY(!primera->Loaded() && !primera->isVisible());
        QCOMPARE(Form::FormulariosCargados(), 0);
        primera->fallarAlCargar = false;
        primera->Hide();
        QVERIFY(primera->Loaded() && !primera->isVisible());
        primera->Show();
        primera->Show();
        QCOMPARE(primera->cargas, 2);
        QVERIFY(primera->Unload());
        QVERIFY(!Predeterminada::Existe());
        QPointer<FrmContador> vieja(primera);
        VaciarBorrados();
        QVERIFY(vieja.isNull());
        // A reference holding a window of another class is a type mismatch.
        Form otra(QStringLiteral("FrmOtra"));
        Predeterminada::Referencia() = &otra;
        const int error = NumeroDeError([] { Predeterminada::Obtener(); });
        Predeterminada::Referencia() = nullptr;
        QCOMPARE(error, 13);
    }

    void descarga_data()
    {
        QTest::addColumn<Descarga>("caso");
        QTest::newRow("anidada una sola vez") << Descarga{"Unload", true, false, true, false, 1};
        QTest::newRow("cancelada") << Descarga{"Unload", true, true, false, false, 1};
        QTest::newRow("el anfitrión suelta la referencia") << Descarga{"Unload", true, false, false, true, 1};
        QTest::newRow("sin cargar") << Descarga{"Unload", false, false, false, false, 0};
        QTest::newRow("cierre por el sistema") << Descarga{"close", true, false, false, false, 1};
        QTest::newRow("modal") << Descarga{"modal", false, false, false, false, 1};
    }

    void descarga()
    {
        QFETCH(Descarga, caso);
        auto [via, mostrar, cancelar, dentro, soltar, descargas] = caso;
        FrmContador* f = Predeterminada::Obtener();
        f->cancelarDescarga = cancelar;
        f->descargarDentro = dentro;
        f->soltarReferencia = soltar;
        if (mostrar) {
            f->Show();
            QVERIFY(QTest::qWaitForWindowExposed(f));
        }
        if (via == QLatin1String("close")) {
            f->close();
        } else if (via == QLatin1String("modal")) {
            QTimer::singleShot(50, f, [f] { f->Unload(); });
            f->ShowModal();
            QCOMPARE(f->cargas, 1);
        } else {
            QCOMPARE(f->Unload(), !cancelar);
        }
        QCOMPARE(f->descargas, descargas);
        QCOMPARE(Predeterminada::Existe(), cancelar);
        QCOMPARE(Form::FormulariosCargados(), cancelar ? 1 : 0);
        if (cancelar) {
            f->cancelarDescarga = false;
            QVERIFY(f->Unload());
            ++descargas;
        }
        // A request on a window already unloaded starts nothing.
        QVERIFY(f->Unload());
        QCOMPARE(f->descargas, descargas);
    }

    void eventosTeclasYFoco()
    {
        FrmContador* f = Predeterminada::Obtener();
        QList<int> teclas;
        QStringList foco;
        // Entering the field selects its text, so the first key that gets through replaces it.
        connect(f->TxtCodigo, &TextBox::GotFocus, f, [&] {
            foco << QStringLiteral("entra");
            f->TxtCodigo->setSelStart(0);
            f->TxtCodigo->setSelLength(int(f->TxtCodigo->Text().size()));
        });
        connect(f->TxtCodigo, &TextBox::LostFocus, f, [&] { foco << QStringLiteral("sale"); });
        f->TxtCodigo->setText(QStringLiteral("28"));
        connect(f->TxtCodigo, &TextBox::KeyPress, f, [&](int& KeyAscii) {
            teclas << KeyAscii;
            if (KeyAscii == 13)
                f->TxtNombre->SetFocus();
            if (KeyAscii == 'x')
                KeyAscii = 0;
            if (KeyAscii == 'a')
                KeyAscii = 'A';
        });
        // Assigning a tab place moves the others along, as on the platform.
        f->TxtNombre->setTabIndex(0);
        QCOMPARE(f->PicFondo->TabIndex(), 1);
        QCOMPARE(f->TxtCodigo->TabIndex(), 3);
        f->Show();
        QVERIFY(QTest::qWaitForWindowActive(f));
        QTRY_VERIFY(f->pinturas >= 1);
        const int antes = f->redimensiones;
        f->setWidth(9000);
        QVERIFY(f->redimensiones > antes);
        f->TxtCodigo->SetFocus();
        QTest::keyClicks(f->TxtCodigo->Widget(), QStringLiteral("xa"));
        QTest::keyClick(f->TxtCodigo->Widget(), Qt::Key_Return);
        QCOMPARE(teclas, QList<int>({'x', 'a', 13}));
        QCOMPARE(f->TxtCodigo->Text(), QStringLiteral("A"));
        QCOMPARE(f->ActiveControl(), f->TxtNombre);
        QCOMPARE(foco, QStringList({"entra", "sale"}));
        QTest::keyClick(f->TxtNombre->Widget(), Qt::Key_Tab);
        QCOMPARE(f->ActiveControl(), f->TxtCodigo);
        // A disabled control is passed over.
        f->TxtCodigo->setEnabled(false);
        QTest::keyClick(f->TxtNombre->Widget(), Qt::Key_Backtab);
        QCOMPARE(f->ActiveControl(), f->TxtNombre);
        f->Unload();
    }

    void cambio()
    {
        FrmContador f;
        QStringList registro;
        // The handler assigns the field again: the nested change runs inside the outer one,
        // and both before the assignment returns.
        connect(f.TxtCodigo, &TextBox::Change, &f, [&] {
            registro << QStringLiteral("cambio:") + f.TxtCodigo->Text();
            if (f.TxtCodigo->Text() == QLatin1String("x"))
                f.TxtCodigo->setText(QStringLiteral("01"));
            registro << QStringLiteral("fin:") + f.TxtCodigo->Text();
        });
        f.TxtCodigo->setText(QStringLiteral("x"));
        registro << QStringLiteral("asignado");
        QCOMPARE(registro, QStringList({"cambio:x", "cambio:01", "fin:01", "fin:01", "asignado"}));
        // The same text again is no change.
        f.TxtCodigo->setText(QStringLiteral("01"));
        QCOMPARE(registro.size(), 5);
        // The handler's error reaches the assignment; MaxLength limits the user only.
        f.TxtNombre->setMaxLength(2);
        connect(f.TxtNombre, &TextBox::Change, &f, [] { throw ErrorEjecucion(3021, QStringLiteral("No hay registro actual")); });
        QCOMPARE(NumeroDeError([&] { f.TxtNombre->setText(QStringLiteral("ABC\tD")); }), 3021);
        QCOMPARE(f.TxtNombre->Text(), QStringLiteral("ABC\tD"));
        f.TxtNombre->setEnabled(false);
        QCOMPARE(NumeroDeError([&] { f.TxtNombre->SetFocus(); }), 5);
    }

    void longitudMaximaYUnaLinea_data()
    {
        QTest::addColumn<Tecleo>("caso");
        QTest::newRow("código de dos") << Tecleo{2, "123", false, "12", 2};
        QTest::newRow("pegar salto de Windows") << Tecleo{20, "Madrid\r\nLugo", true, "Madrid", 1};
        QTest::newRow("pegar tabulador") << Tecleo{20, "28\tMadrid", true, "28 Madrid", 1};
        QTest::newRow("pegar salto y máximo") << Tecleo{2, "\n28", true, "", 0};
    }

    void longitudMaximaYUnaLinea()
    {
        QFETCH(Tecleo, caso);
        const auto [maximo, teclas, pegar, esperado, cambios] = caso;
        FrmContador f;
        f.TxtCodigo->setMaxLength(maximo);
        f.Show();
        QVERIFY(QTest::qWaitForWindowActive(&f));
        f.TxtCodigo->SetFocus();
        int recibidos = 0;
        connect(f.TxtCodigo, &TextBox::Change, &f, [&] { ++recibidos; });
        if (pegar) {
            QGuiApplication::clipboard()->setText(teclas);
            QTest::keySequence(f.TxtCodigo->Widget(), QKeySequence::Paste);
        } else {
            QTest::keyClicks(f.TxtCodigo->Widget(), teclas);
        }
        QCOMPARE(f.TxtCodigo->Text(), esperado);
        // Every key or paste that changed the text raised Change once; a refused one raised nothing.
        QCOMPARE(recibidos, cambios);
        f.Unload();
    }

    void listaYBarra()
    {
        Form f(QStringLiteral("FrmVarios"));
        auto* lista = new ComboBox(&f, QStringLiteral("CbxPor"));
        lista->Move(120, 120, 2295, 360);
        auto* barra = new ScrollBar(&f, QStringLiteral("Scroll"));
        int clics = 0, cambios = 0;
        QString textoEnClic;
        connect(lista, &ComboBox::Click, &f, [&] {
            ++clics;
            textoEnClic = lista->Text();
        });
        connect(barra, &ScrollBar::Change, &f, [&] { ++cambios; });
        for (const char* e : {"50 %", "100 %", "Encajar en Pantalla"})
            lista->AddItem(QString::fromUtf8(e));
        QCOMPARE(clics, 0);
        // An assignment of an item is a click, even of the same item.
        lista->setListIndex(1);
        lista->setListIndex(1);
        QCOMPARE(clics, 2);
        QCOMPARE(textoEnClic, QStringLiteral("100 %"));
        f.Show();
        QVERIFY(QTest::qWaitForWindowActive(&f));
        // The user's pick with the keyboard.
        lista->SetFocus();
        QTest::keyClick(lista->Widget(), Qt::Key_Down);
        QCOMPARE(clics, 3);
        QCOMPARE(textoEnClic, QStringLiteral("Encajar en Pantalla"));

        barra->setMax(20);
        barra->setSmallChange(1);
        QCOMPARE(cambios, 0);
        static_cast<QScrollBar*>(barra->Widget())->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        QCOMPARE(QList<int>({barra->Value(), cambios}), QList<int>({1, 1}));
        // Lowering Max below Value moves Value, and that is a change.
        barra->setMax(0);
        QCOMPARE(QList<int>({barra->Value(), cambios}), QList<int>({0, 2}));
        // The range is not limited to 16 bits.
        barra->setMax(400000);
        barra->setValue(333744);
        QCOMPARE(QList<int>({barra->Value(), cambios}), QList<int>({333744, 3}));
    }

    void imagenDesdeArchivo_data()
    {
        QTest::addColumn<QString>("archivo");
        QTest::addColumn<int>("error");
        QTest::newRow("imagen") << "derecha.png" << 0;
        QTest::newRow("no existe") << "nada.gif" << 53;
        QTest::newRow("texto") << "falso.gif" << 481;
    }

    void imagenDesdeArchivo()
    {
        QFETCH(QString, archivo);
        QFETCH(int, error);
        QTemporaryDir dir;
        QImage flecha(71, 40, QImage::Format_ARGB32);
        flecha.fill(Qt::transparent);
        QVERIFY(flecha.save(dir.filePath(QStringLiteral("derecha.png"))));
        QVERIFY(EscribirArchivo(dir.filePath(QStringLiteral("falso.gif")), "no soy un GIF"));
        Form f(QStringLiteral("FrmVarios"));
        auto* imagen = new Image(&f, QStringLiteral("ImgFlecha"));
        imagen->Move(600, 1080, 2000, 2000);
        PictureBox caja(&f, QStringLiteral("PicFondo"));
        QImage anterior(4, 4, QImage::Format_RGB32);
        anterior.fill(Qt::red);
        caja.setPicture(anterior);
        QCOMPARE(NumeroDeError([&] { caja.setPicture(dir.filePath(archivo)); }), error);
        QCOMPARE(NumeroDeError([&] { imagen->setPicture(dir.filePath(archivo)); }), error);
        if (error != 0) {
            QCOMPARE(caja.Picture(), anterior);   // the picture there before stays
            return;
        }
        // Without Stretch an image takes the picture's size (71 by 40 pixels); with it, the control's.
        QCOMPARE(QSize(imagen->Width(), imagen->Height()), QSize(1065, 600));
        imagen->setStretch(true);
        imagen->Move(600, 1080, 798, 450);
        QCOMPARE(imagen->Width(), 798);
    }
};

QTEST_MAIN(TstControles)
#include "tst_Controles.moc"
