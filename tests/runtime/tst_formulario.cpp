#include "ArregloControles.h"
#include "ErrorEjecucion.h"
#include "Form.h"
#include "InstanciaPredeterminada.h"
#include "Label.h"
#include "PictureBox.h"
#include "TextBox.h"

#include <QtTest>

namespace {

// A window that counts its events and can be told to misbehave.
class FrmContador : public Form
{
public:
    FrmContador() : Form(QStringLiteral("FrmContador"))
    {
        PicFondo = new PictureBox(this, QStringLiteral("PicFondo"));
        LblTitulo = new Label(this, QStringLiteral("LblTitulo"), PicFondo);
        TxtCodigo = new TextBox(this, QStringLiteral("TxtCodigo"), PicFondo);
        TxtNombre = new TextBox(this, QStringLiteral("TxtNombre"), PicFondo);
    }

    PictureBox* PicFondo;
    Label* LblTitulo;
    TextBox* TxtCodigo;
    TextBox* TxtNombre;

    int cargas = 0;
    int descargas = 0;
    int activaciones = 0;
    int pinturas = 0;
    int redimensiones = 0;
    bool fallarAlCargar = false;
    bool cancelarDescarga = false;
    bool descargarDentro = false;
    bool soltarReferencia = false;
    Form*& (*referencia)() = nullptr;

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
        if (soltarReferencia && referencia)
            referencia() = nullptr;
    }
    void Form_Activate() override { ++activaciones; }
    void Form_Paint() override { ++pinturas; }
    void Form_Resize() override { ++redimensiones; }
};

class FrmOtra : public Form
{
public:
    FrmOtra() : Form(QStringLiteral("FrmOtra")) {}
};

using Predeterminada = InstanciaPredeterminada<FrmContador>;

void vaciarBorrados()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace

class TstFormulario : public QObject
{
    Q_OBJECT
private slots:
    void cleanup()
    {
        if (Predeterminada::Existe())
            delete Predeterminada::Referencia();
        vaciarBorrados();
        QCOMPARE(Form::FormulariosCargados(), 0);
    }

    void coleccionEnOrdenDeCreacion()
    {
        FrmContador f;
        QCOMPARE(f.Controls().Count(), 4);
        const QStringList esperado{QStringLiteral("PicFondo"), QStringLiteral("LblTitulo"),
                                   QStringLiteral("TxtCodigo"), QStringLiteral("TxtNombre")};
        QStringList nombres;
        for (int i = 0; i < f.Controls().Count(); ++i)
            nombres << f.Controls().Item(i)->Name();
        QCOMPARE(nombres, esperado);
        QCOMPARE(f.Controls().Item(QStringLiteral("txtcodigo")), f.TxtCodigo);
        QCOMPARE(f.Controls().Item(QStringLiteral("TxtCodigo"))->TipoControl(), Control::Clase::TextBox);
        QCOMPARE(f.Controls().Buscar(QStringLiteral("TxtNada")), nullptr);
    }

    void coleccionFueraDeRango_data()
    {
        QTest::addColumn<int>("indice");
        QTest::addColumn<QString>("nombre");
        QTest::addColumn<int>("error");
        QTest::newRow("índice -1") << -1 << QString() << 9;
        QTest::newRow("índice Count") << 4 << QString() << 9;
        QTest::newRow("nombre ausente") << 0 << QStringLiteral("LblNada") << 730;
    }

    void coleccionFueraDeRango()
    {
        QFETCH(int, indice);
        QFETCH(QString, nombre);
        QFETCH(int, error);
        FrmContador f;
        try {
            if (nombre.isEmpty())
                f.Controls().Item(indice);
            else
                f.Controls().Item(nombre);
            QFAIL("debe fallar");
        } catch (const ErrorEjecucion& e) {
            QCOMPARE(e.Number(), error);
        }
    }

    void instanciaPredeterminadaUnaVez()
    {
        QVERIFY(!Predeterminada::Existe());
        FrmContador* primera = Predeterminada::Obtener();
        QCOMPARE(Predeterminada::Obtener(), primera);
        QCOMPARE(Predeterminada::Referencia(), primera);
        primera->Show();
        primera->Show();
        QCOMPARE(primera->cargas, 1);
        QCOMPARE(Form::FormulariosCargados(), 1);

        QVERIFY(primera->Unload());
        QCOMPARE(primera->descargas, 1);
        QVERIFY(!Predeterminada::Existe());
        QCOMPARE(Form::FormulariosCargados(), 0);
        QPointer<FrmContador> vieja(primera);
        vaciarBorrados();
        QVERIFY(vieja.isNull());

        // The next use loads a fresh window.
        FrmContador* segunda = Predeterminada::Obtener();
        segunda->Show();
        QCOMPARE(segunda->cargas, 1);
        QVERIFY(segunda->Unload());
    }

    void descargaAnidadaUnaSolaVez()
    {
        FrmContador* f = Predeterminada::Obtener();
        f->descargarDentro = true;
        f->Show();
        QVERIFY(f->Unload());
        QCOMPARE(f->descargas, 1);
        QCOMPARE(Form::FormulariosCargados(), 0);
        // A request on a window already unloaded starts nothing either.
        QVERIFY(f->Unload());
        QCOMPARE(f->descargas, 1);
    }

    void descargaCancelada()
    {
        FrmContador* f = Predeterminada::Obtener();
        f->cancelarDescarga = true;
        f->Show();
        QVERIFY(!f->Unload());
        QVERIFY(f->Loaded());
        QCOMPARE(Predeterminada::Referencia(), f);
        QCOMPARE(Form::FormulariosCargados(), 1);
        f->cancelarDescarga = false;
        QVERIFY(f->Unload());
        QCOMPARE(f->descargas, 2);
    }

    void elAnfitrionSueltaLaReferencia()
    {
        FrmContador* f = Predeterminada::Obtener();
        f->soltarReferencia = true;
        f->referencia = &Predeterminada::Referencia;
        f->Show();
        QVERIFY(f->Unload());
        QVERIFY(!Predeterminada::Existe());
    }

    void referenciaDeOtraClase()
    {
        FrmOtra otra;
        Predeterminada::Referencia() = &otra;
        try {
            Predeterminada::Obtener();
            QFAIL("una ventana de otra clase no es la instancia predeterminada");
        } catch (const ErrorEjecucion& e) {
            QCOMPARE(e.Number(), 13);
        }
        Predeterminada::Referencia() = nullptr;
    }

    void cargaFallida()
    {
        FrmContador* f = Predeterminada::Obtener();
        f->fallarAlCargar = true;
        try {
            f->Show();
            QFAIL("el error de Form_Load debe llegar a quien muestra la ventana");
        } catch (const ErrorEjecucion& e) {
            QCOMPARE(e.Number(), 91);
        }
        QVERIFY(!f->Loaded());
        QVERIFY(!f->isVisible());
        QCOMPARE(Form::FormulariosCargados(), 0);
        // Hide loads the window as well, and fails the same way.
        QVERIFY_THROWS_EXCEPTION(ErrorEjecucion, f->Hide());
        f->fallarAlCargar = false;
        f->Hide();
        QVERIFY(f->Loaded());
        QVERIFY(!f->isVisible());
        QCOMPARE(f->cargas, 3);
        QVERIFY(f->Unload());
    }

    void descargarSinCargar()
    {
        FrmContador* f = Predeterminada::Obtener();
        QVERIFY(f->Unload());
        QCOMPARE(f->descargas, 0);
        QVERIFY(!Predeterminada::Existe());
    }

    void cierrePorElSistema()
    {
        FrmContador* f = Predeterminada::Obtener();
        f->Show();
        QVERIFY(QTest::qWaitForWindowExposed(f));
        f->close();
        QCOMPARE(f->descargas, 1);
        QVERIFY(!Predeterminada::Existe());
    }

    void modalTerminaAlDescargar()
    {
        FrmContador* f = Predeterminada::Obtener();
        QTimer::singleShot(50, f, [f] { f->Unload(); });
        f->ShowModal();
        QCOMPARE(f->cargas, 1);
        QCOMPARE(f->descargas, 1);
        QVERIFY(!Predeterminada::Existe());
    }

    void activacion()
    {
        FrmContador* f = Predeterminada::Obtener();
        f->Show();
        QVERIFY(QTest::qWaitForWindowActive(f));
        QVERIFY(f->activaciones >= 1);
        f->Unload();
    }

    void pintarYRedimensionar()
    {
        FrmContador* f = Predeterminada::Obtener();
        f->Show();
        QVERIFY(QTest::qWaitForWindowExposed(f));
        QTRY_VERIFY(f->pinturas >= 1);
        const int antes = f->redimensiones;
        f->setWidth(9000);
        QVERIFY(f->redimensiones > antes);
        QCOMPARE(f->Width(), 9000);
        f->Unload();
    }

    void estadoDeVentana_data()
    {
        QTest::addColumn<int>("estado");
        QTest::addColumn<int>("error");
        QTest::newRow("normal") << 0 << 0;
        QTest::newRow("minimizada") << 1 << 0;
        QTest::newRow("maximizada") << 2 << 0;
        QTest::newRow("no válido") << 3 << 380;
    }

    void estadoDeVentana()
    {
        QFETCH(int, estado);
        QFETCH(int, error);
        FrmContador f;
        f.Show();
        int obtenido = 0;
        try {
            f.setWindowState(estado);
        } catch (const ErrorEjecucion& e) {
            obtenido = e.Number();
        }
        QCOMPARE(obtenido, error);
        QCOMPARE(f.WindowState(), error ? 0 : estado);
        f.setWindowState(0);
        QCOMPARE(f.WindowState(), 0);
    }

    void ordenDeTabulacion()
    {
        FrmContador f;
        QCOMPARE(f.TxtCodigo->TabIndex(), 2);
        QCOMPARE(f.TxtNombre->TabIndex(), 3);
        // Assigning a place moves the others along, as on the platform.
        f.TxtNombre->setTabIndex(0);
        QCOMPARE(f.TxtNombre->TabIndex(), 0);
        QCOMPARE(f.PicFondo->TabIndex(), 1);
        QCOMPARE(f.TxtCodigo->TabIndex(), 3);
        f.Show();
        QVERIFY(QTest::qWaitForWindowActive(&f));
        f.TxtNombre->SetFocus();
        QTest::keyClick(f.TxtNombre->Widget(), Qt::Key_Tab);
        QCOMPARE(f.ActiveControl(), f.TxtCodigo);
        QTest::keyClick(f.TxtCodigo->Widget(), Qt::Key_Tab);
        QCOMPARE(f.ActiveControl(), f.TxtNombre);
        // A disabled control is passed over.
        f.TxtCodigo->setEnabled(false);
        QTest::keyClick(f.TxtNombre->Widget(), Qt::Key_Backtab);
        QCOMPARE(f.ActiveControl(), f.TxtNombre);
    }

    void arregloDeControles()
    {
        FrmContador f;
        ArregloControles<PictureBox> PicList;
        PictureBox* primera = PicList.Crear(&f, QStringLiteral("PicList"));
        primera->Move(6120, 5520, 3015, 2415);
        primera->setBackColor(Qt::white);
        PictureBox* segunda = PicList.Load(1);
        QCOMPARE(PicList.Count(), 2);
        QCOMPARE(segunda->Index(), 1);
        QCOMPARE(segunda->Width(), 3015);
        QCOMPARE(segunda->BackColor(), QColor(Qt::white));
        QVERIFY(!segunda->Visible());
        QCOMPARE(f.Controls().Count(), 6);
        QVERIFY_THROWS_EXCEPTION(ErrorEjecucion, PicList.Load(1));
        QVERIFY_THROWS_EXCEPTION(ErrorEjecucion, PicList(5));
        PicList.Unload(1);
        QCOMPARE(PicList.Count(), 1);
        QCOMPARE(f.Controls().Count(), 5);
    }
};

QTEST_MAIN(TstFormulario)
#include "tst_formulario.moc"
