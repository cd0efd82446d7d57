#include "ArregloControles.h"
#include "Apoyo.h"
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
        new Label(this, QStringLiteral("LblTitulo"), PicFondo);
        TxtCodigo = new TextBox(this, QStringLiteral("TxtCodigo"), PicFondo);
        TxtNombre = new TextBox(this, QStringLiteral("TxtNombre"), PicFondo);
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

    void coleccionYArreglo()
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
    }

    void instanciaPredeterminada()
    {
        FrmContador* primera = Predeterminada::Obtener();
        QCOMPARE(Predeterminada::Obtener(), primera);
        primera->Show();
        primera->Show();
        QCOMPARE(primera->cargas, 1);
        QVERIFY(primera->Unload());
        QVERIFY(!Predeterminada::Existe());
        QPointer<FrmContador> vieja(primera);
        vaciarBorrados();
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
        QTest::addColumn<QString>("via");
        QTest::addColumn<bool>("mostrar");
        QTest::addColumn<bool>("cancelar");
        QTest::addColumn<bool>("dentro");
        QTest::addColumn<bool>("soltar");
        QTest::addColumn<int>("descargas");
        QTest::newRow("anidada una sola vez") << "Unload" << true << false << true << false << 1;
        QTest::newRow("cancelada") << "Unload" << true << true << false << false << 1;
        QTest::newRow("el anfitrión suelta la referencia") << "Unload" << true << false << false << true << 1;
        QTest::newRow("sin cargar") << "Unload" << false << false << false << false << 0;
        QTest::newRow("cierre por el sistema") << "close" << true << false << false << false << 1;
        QTest::newRow("modal") << "modal" << false << false << false << false << 1;
    }

    void descarga()
    {
        QFETCH(QString, via);
        QFETCH(bool, mostrar);
        QFETCH(bool, cancelar);
        QFETCH(bool, dentro);
        QFETCH(bool, soltar);
        QFETCH(int, descargas);
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

    void cargaFallida()
    {
        FrmContador* f = Predeterminada::Obtener();
        f->fallarAlCargar = true;
        QCOMPARE(NumeroDeError([f] { f->Show(); }), 91);
        QVERIFY(!f->Loaded() && !f->isVisible());
        QCOMPARE(Form::FormulariosCargados(), 0);
        // Hide loads the window as well.
        f->fallarAlCargar = false;
        f->Hide();
        QVERIFY(f->Loaded() && !f->isVisible());
        QCOMPARE(f->cargas, 2);
        QVERIFY(f->Unload());
    }

    void eventosEstadoYTabulacion()
    {
        FrmContador* f = Predeterminada::Obtener();
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
        f->TxtNombre->SetFocus();
        QTest::keyClick(f->TxtNombre->Widget(), Qt::Key_Tab);
        QCOMPARE(f->ActiveControl(), f->TxtCodigo);
        // A disabled control is passed over.
        f->TxtCodigo->setEnabled(false);
        QTest::keyClick(f->TxtNombre->Widget(), Qt::Key_Backtab);
        QCOMPARE(f->ActiveControl(), f->TxtNombre);
        f->Unload();
    }
};

QTEST_MAIN(TstFormulario)
#include "tst_Formulario.moc"
