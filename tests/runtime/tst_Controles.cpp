// The runtime's windows, controls and grid, and the title bar and button of the component's
// windows, on the offscreen platform. The province window and the listing drive the same controls
// through their real widgets; here, what those windows do not reach.

#include "tests/apoyo/Apoyo.h"
#include "controls/Barra.h"
#include "controls/Boton.h"
#include "runtime/ArregloControles.h"
#include "runtime/ComboBox.h"
#include "runtime/FlexGrid.h"
#include "runtime/Form.h"
#include "runtime/InstanciaPredeterminada.h"
#include "runtime/Label.h"
#include "runtime/PictureBox.h"
#include "runtime/Screen.h"
#include "runtime/TextBox.h"

#include <QClipboard>
#include <QTableView>
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
    int cargas = 0, descargas = 0;
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
};

using Predeterminada = InstanciaPredeterminada<FrmContador>;

void VaciarBorrados()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// The province grid's shape: a header row, two columns, rows 500 twips high, four of them fully
// visible in a grid 2500 twips high.
class FrmGrilla : public Form
{
public:
    FrmGrilla() : Form(QStringLiteral("FrmGrilla"))
    {
        LinProvincias = new FlexGrid(this, QStringLiteral("LinProvincias"));
        LinProvincias->Move(600, 600, 3855, 2500);
        LinProvincias->setRowHeightMin(500);
        LinProvincias->setColWidth(0, 900);
        LinProvincias->setColWidth(1, 2955);
        LinProvincias->setTextMatrix(0, 1, QStringLiteral("PROVINCIA"));
        Move(0, 0, 6000, 4500);
    }

    void llenar(int filas)
    {
        LinProvincias->setRows(1);
        for (int i = 1; i <= filas; ++i)
            LinProvincias->AddItem(QStringLiteral("%1\tProvincia %1").arg(i, 2, 10, QLatin1Char('0')));
    }

    QTableView* vista() const { return static_cast<QTableView*>(LinProvincias->Widget()); }
    FlexGrid* LinProvincias;
};

// How a window is unloaded ("Unload" or "close"), what its unload does, and the unloads counted.
struct Descarga { QString via; bool mostrar, cancelar, dentro, soltar; int descargas; };

} // namespace

Q_DECLARE_METATYPE(Descarga)

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

    void coleccionArregloYContenedor()
    {
        FrmContador f;
        QCOMPARE(f.Controls().Item(QStringLiteral("txtcodigo")), f.TxtCodigo);
        // A loaded element of a control array copies the first one, hidden.
        ArregloControles<PictureBox> PicList;
        PicList.Crear(&f, QStringLiteral("PicList"))->Move(6120, 5520, 3015, 2415);
        PictureBox* segunda = PicList.Load(1);
        QVERIFY(segunda->Width() == 3015 && !segunda->Visible());
        QCOMPARE(f.Controls().Count(), 6);
        PicList.Unload(1);
        QCOMPARE(f.Controls().Count(), 5);
        auto* l = new Label(&f, QStringLiteral("LblDentro"), f.PicFondo);
        QCOMPARE(l->Widget()->parentWidget(), f.PicFondo->SuperficieHijos());
        // Twips are kept as set, not rounded to pixels, and controls that meet in twips meet in pixels.
        Screen::FijarTwipsPorPixel(15);
        l->Move(1446, 1001, 66, 7);
        QCOMPARE(QList<int>({l->Left(), l->Top(), l->Width(), l->Height()}), QList<int>({1446, 1001, 66, 7}));
        auto* b = new Label(&f, QStringLiteral("B"), f.PicFondo);
        b->Move(1512, 0, 1003, 100);
        QCOMPARE(l->Widget()->geometry().right() + 1, b->Widget()->geometry().left());
    }

    void instanciaPredeterminada()
    {
        FrmContador* primera = Predeterminada::Obtener();
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
        if (via == QLatin1String("close"))
            f->close();
        else
            QCOMPARE(f->Unload(), !cancelar);
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
        QStringList eventos;
        connect(f->TxtCodigo, &TextBox::GotFocus, f, [&] { eventos << QStringLiteral("entra"); });
        connect(f->TxtCodigo, &TextBox::LostFocus, f, [&] { eventos << QStringLiteral("sale"); });
        // The handler sees each key first: it may swallow it, change it, or move the focus.
        connect(f->TxtCodigo, &TextBox::KeyPress, f, [&](int& KeyAscii) {
            eventos << QString::number(KeyAscii);
            if (KeyAscii == 13)
                f->TxtNombre->SetFocus();
            KeyAscii = KeyAscii == 'x' ? 0 : KeyAscii == 'a' ? 'A' : KeyAscii;
        });
        // Assigning a tab place moves the others along, as on the platform.
        f->TxtNombre->setTabIndex(0);
        QCOMPARE(f->TxtCodigo->TabIndex(), 3);
        f->Show();
        QVERIFY(QTest::qWaitForWindowActive(f));
        f->TxtCodigo->SetFocus();
        QTest::keyClicks(f->TxtCodigo->Widget(), QStringLiteral("x2a"));
        QTest::keyClick(f->TxtCodigo->Widget(), Qt::Key_Return);
        QCOMPARE(eventos, QStringList({"entra", "120", "50", "97", "13", "sale"}));
        QCOMPARE(f->TxtCodigo->Text(), QStringLiteral("2A"));
        QCOMPARE(f->ActiveControl(), f->TxtNombre);
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

    // What the user does with the keyboard, one event each: a paste into a one-line box, a pick in a list.
    void pegarYElegir()
    {
        FrmContador f;
        auto* lista = new ComboBox(&f, QStringLiteral("CbxPor"));
        lista->Move(120, 1200, 2295, 360);
        QStringList eventos;
        connect(f.TxtCodigo, &TextBox::Change, &f, [&] { eventos << f.TxtCodigo->Text(); });
        connect(lista, &ComboBox::Click, &f, [&] { eventos << lista->Text(); });
        for (const char* e : {"50 %", "100 %", "Encajar en Pantalla"})
            lista->AddItem(QString::fromUtf8(e));
        lista->setListIndex(1);
        f.Show();
        QVERIFY(QTest::qWaitForWindowActive(&f));
        // A paste keeps the first line only, and a tab becomes a space.
        f.TxtCodigo->SetFocus();
        for (const char* pegado : {"Madrid\r\nLugo", "\t28"}) {
            QGuiApplication::clipboard()->setText(QString::fromUtf8(pegado));
            QTest::keySequence(f.TxtCodigo->Widget(), QKeySequence::Paste);
        }
        lista->SetFocus();
        QTest::keyClick(lista->Widget(), Qt::Key_Down);
        // An assignment of an item is a click too; adding items is none.
        QCOMPARE(eventos, QStringList({"100 %", "Madrid", "Madrid 28", "Encajar en Pantalla"}));
    }

    void imagenDesdeArchivo()
    {
        QTemporaryDir dir;
        QVERIFY(EscribirArchivo(dir.filePath(QStringLiteral("falso.gif")), "no soy un GIF"));
        Form f(QStringLiteral("FrmVarios"));
        PictureBox caja(&f, QStringLiteral("PicFondo"));
        QImage anterior(4, 4, QImage::Format_RGB32);
        anterior.fill(Qt::red);
        caja.setPicture(anterior);
        // A missing file and one that is no picture: their errors, and the picture there before stays.
        for (const auto& [archivo, error] : {std::pair{"nada.gif", 53L}, std::pair{"falso.gif", 481L}}) {
            QCOMPARE(NumeroDeError([&] { caja.setPicture(dir.filePath(QString::fromUtf8(archivo))); }), error);
            QCOMPARE(caja.Picture(), anterior);
        }
    }

    void grilla()
    {
        FrmGrilla f;
        auto* g = f.LinProvincias;
        // Missing columns stay empty, extra ones are dropped, spaces are kept.
        for (const char* elemento : {"28", "28\tMadrid\tsobra", "28 \tMadrid  "})
            g->AddItem(QString::fromUtf8(elemento));
        QStringList celdas;
        for (int fila = 1; fila < g->Rows(); ++fila)
            celdas << g->TextMatrix(fila, 0) << g->TextMatrix(fila, 1);
        QCOMPARE(celdas, QStringList({"28", "", "28", "Madrid", "28 ", "Madrid  "}));
        // Four rows fit under the fixed header; the view shows the top row the program set.
        f.llenar(10);
        g->setTopRow(3);
        QVERIFY(g->RowIsVisible(0) && g->RowIsVisible(3) && g->RowIsVisible(6));
        QVERIFY(!g->RowIsVisible(2) && !g->RowIsVisible(7));
        QStringList registro;
        connect(g, &FlexGrid::MouseDown, &f, [&](int boton, int mayus, int x, int y) {
            registro << QStringLiteral("MouseDown %1 %2 %3 %4 fila %5").arg(boton).arg(mayus).arg(x).arg(y).arg(g->Row());
        });
        connect(g, &FlexGrid::RowColChange, &f, [&] { registro << QStringLiteral("RowColChange %1").arg(g->Row()); });
        f.Show();
        QVERIFY(QTest::qWaitForWindowActive(&f));
        QCOMPARE(f.vista()->rowAt(0) + 1, 3);
        // The mouse-down is told before the row changes.
        QWidget* viewport = f.vista()->viewport();
        const QPoint punto = f.vista()->visualRect(f.vista()->model()->index(3, 1)).center();
        QTest::mouseClick(viewport, Qt::LeftButton, Qt::NoModifier, punto);
        const QPoint enGrilla = viewport->mapTo(f.vista(), punto);
        QCOMPARE(registro, QStringList({QStringLiteral("MouseDown 1 0 %1 %2 fila 0").arg(enGrilla.x() * 15).arg(enGrilla.y() * 15),
                                        QStringLiteral("RowColChange 4")}));

        // Assigning a row is one change however often, and does not scroll: the program decides
        // with RowIsVisible and TopRow. Assigning a column is a change too.
        registro.clear();
        g->setRow(8);
        g->setRow(8);
        QVERIFY(g->TopRow() == 3 && !g->RowIsVisible(8));
        g->setCol(0);
        QCOMPARE(registro, QStringList({"RowColChange 8", "RowColChange 8"}));
        // Emptying keeps the header, and changing the rows is no row change.
        g->setRows(1);
        QCOMPARE(g->TextMatrix(0, 1), QStringLiteral("PROVINCIA"));
        QCOMPARE(QList<int>({g->Row(), g->TopRow(), int(registro.size())}), QList<int>({0, 1, 2}));
        QCOMPARE(f.vista()->model()->rowCount(), 0);
    }

    void botonYBarra()
    {
        Form f(QStringLiteral("FrmMando"));
        auto* barra = new Barra(&f, QStringLiteral("Barra1"));
        barra->setExtentX(15875);
        barra->setExtentY(979);
        auto* boton = new Boton(&f, QStringLiteral("LblBorrar"));
        boton->Move(3840, 1200, 1575, 735);
        f.Move(1500, 1500, 9000, 4000);
        f.Show();
        QVERIFY(QTest::qWaitForWindowActive(&f));
        QStringList clics;
        QString via;
        connect(boton, &Boton::Click, &f, [&] { clics << via; });
        // A button clicks only when enabled and shown, however it is pressed; the focus is taken
        // before disabling, as a window would have left it there.
        struct Pulsacion { const char* via; bool habilitado, visible; };
        for (const auto& [pulsacion, habilitado, visible] :
             {Pulsacion{"ratón", false, true}, {"espacio", false, true}, {"intro", false, true}, {"código", false, true},
              {"código oculto", true, false}, {"ratón habilitado", true, true}}) {
            via = QString::fromUtf8(pulsacion);
            boton->setVisible(true);
            boton->setEnabled(true);
            boton->SetFocus();
            boton->setEnabled(habilitado);
            boton->setVisible(visible);
            if (via.startsWith(QStringLiteral("ratón")))
                QTest::mouseClick(boton->Widget(), Qt::LeftButton);
            else if (via == QLatin1String("espacio"))
                QTest::keyClick(boton->Widget(), Qt::Key_Space);
            else if (via == QLatin1String("intro"))
                QTest::keyClick(boton->Widget(), Qt::Key_Return);
            else
                boton->HacerClick();
        }
        QCOMPARE(clics.join(QLatin1Char('|')), QStringLiteral("ratón habilitado"));

        // Dragging the title bar moves the window, and its twips follow.
        QWidget* banda = barra->Widget();
        const QPoint antes = f.pos();
        QTest::mousePress(banda, Qt::LeftButton, Qt::NoModifier, QPoint(60, 10));
        QMouseEvent mover(QEvent::MouseMove, QPointF(90, 30), banda->mapToGlobal(QPointF(90, 30)),
                          Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(banda, &mover);
        QTest::mouseRelease(banda, Qt::LeftButton, Qt::NoModifier, QPoint(90, 30));
        QCOMPARE(f.pos(), antes + QPoint(30, 20));
        QCOMPARE(QPoint(f.Left(), f.Top()), QPoint(1500 + 30 * 15, 1500 + 20 * 15));
    }
};

QTEST_MAIN(TstControles)
#include "tst_Controles.moc"
