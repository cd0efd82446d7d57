#include "ComboBox.h"
#include "Apoyo.h"
#include "Form.h"
#include "Image.h"
#include "PictureBox.h"
#include "ScrollBar.h"

#include <QComboBox>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QtTest>

namespace {

class FrmVarios : public Form
{
public:
    FrmVarios() : Form(QStringLiteral("FrmVarios"))
    {
        CbxPor = new ComboBox(this, QStringLiteral("CbxPor"));
        CbxPor->Move(120, 120, 2295, 360);
        Scroll = new ScrollBar(this, QStringLiteral("Scroll"));
        Scroll->Move(5000, 120, 490, 3000);
        ImgFlecha = new Image(this, QStringLiteral("ImgFlecha"));
        ImgFlecha->Move(120, 1200, 1065, 600);
        Move(0, 0, 7000, 4000);
    }
    ComboBox* CbxPor;
    ScrollBar* Scroll;
    Image* ImgFlecha;
};

} // namespace

class TstControles : public QObject
{
    Q_OBJECT
private slots:
    void listaDesplegable()
    {
        FrmVarios f;
        int clics = 0;
        QString textoEnClic;
        connect(f.CbxPor, &ComboBox::Click, &f, [&] {
            ++clics;
            textoEnClic = f.CbxPor->Text();
        });
        for (const char* e : {"50 %", "100 %", "Encajar en Pantalla"})
            f.CbxPor->AddItem(QString::fromUtf8(e));
        QCOMPARE(clics, 0);
        f.CbxPor->setListIndex(1);
        QCOMPARE(clics, 1);
        QCOMPARE(textoEnClic, QStringLiteral("100 %"));
        // An assignment of the same item is a click too.
        f.CbxPor->setListIndex(1);
        QCOMPARE(clics, 2);
        QCOMPARE(f.CbxPor->ListIndex(), 1);

        // The user's pick with the keyboard.
        f.Show();
        QVERIFY(QTest::qWaitForWindowActive(&f));
        f.CbxPor->SetFocus();
        QTest::keyClick(f.CbxPor->Widget(), Qt::Key_Down);
        QCOMPARE(clics, 3);
        QCOMPARE(textoEnClic, QStringLiteral("Encajar en Pantalla"));
    }

    void barraDeDesplazamiento()
    {
        FrmVarios f;
        f.Scroll->setMax(20);
        f.Scroll->setSmallChange(1);
        int cambios = 0;
        connect(f.Scroll, &ScrollBar::Change, &f, [&] { ++cambios; });
        QCOMPARE(cambios, 0);
        f.Show();
        QVERIFY(QTest::qWaitForWindowActive(&f));
        static_cast<QScrollBar*>(f.Scroll->Widget())->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        QCOMPARE(f.Scroll->Value(), 1);
        QCOMPARE(cambios, 1);
        // Lowering Max below Value moves Value, and that is a change.
        f.Scroll->setMax(0);
        QCOMPARE(f.Scroll->Value(), 0);
        QCOMPARE(cambios, 2);
        // The range is not limited to 16 bits.
        f.Scroll->setMax(400000);
        f.Scroll->setValue(333744);
        QCOMPARE(f.Scroll->Value(), 333744);
        QCOMPARE(cambios, 3);
    }

    void imagenDesdeArchivo_data()
    {
        QTest::addColumn<QString>("archivo");
        QTest::addColumn<QByteArray>("contenido");
        QTest::addColumn<int>("error");
        QTest::newRow("imagen") << QStringLiteral("derecha.png") << QByteArray() << 0;
        QTest::newRow("no existe") << QStringLiteral("nada.gif") << QByteArray() << 53;
        QTest::newRow("texto") << QStringLiteral("falso.gif") << QByteArray("no soy un GIF") << 481;
    }

    void imagenDesdeArchivo()
    {
        QFETCH(QString, archivo);
        QFETCH(QByteArray, contenido);
        QFETCH(int, error);
        QTemporaryDir dir;
        const QString ruta = dir.filePath(archivo);
        if (error == 0) {
            QImage flecha(71, 40, QImage::Format_ARGB32);
            flecha.fill(Qt::transparent);
            QVERIFY(flecha.save(ruta));
        } else if (!contenido.isEmpty()) {
            QFile f(ruta);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(contenido);
        }
        FrmVarios f;
        f.ImgFlecha->Move(600, 1080, 2000, 2000);
        PictureBox caja(&f, QStringLiteral("PicFondo"));
        QImage anterior(4, 4, QImage::Format_RGB32);
        anterior.fill(Qt::red);
        caja.setPicture(anterior);
        QCOMPARE(NumeroDeError([&] { caja.setPicture(ruta); }), error);
        QCOMPARE(NumeroDeError([&] { f.ImgFlecha->setPicture(ruta); }), error);
        if (error != 0) {
            // The picture there before stays.
            QCOMPARE(caja.Picture(), anterior);
            return;
        }
        // Without Stretch an image takes the picture's size (71 by 40 pixels); with it, the control's.
        QCOMPARE(QSize(f.ImgFlecha->Width(), f.ImgFlecha->Height()), QSize(1065, 600));
        f.ImgFlecha->setStretch(true);
        f.ImgFlecha->Move(600, 1080, 798, 450);
        QCOMPARE(f.ImgFlecha->Width(), 798);
    }

    void errorEnEventoDelUsuario()
    {
        // An error thrown by a handler of a user event goes to the runtime's error handler, and
        // the program goes on.
        QList<int> errores;
        FijarManejadorErroresEventos([&](int numero, const QString&) { errores << numero; });
        FrmVarios f;
        connect(f.ImgFlecha, &Image::Click, &f, [] { throw ErrorEjecucion(3021, QStringLiteral("No hay registro actual")); });
        QImage flecha(20, 20, QImage::Format_RGB32);
        flecha.fill(Qt::blue);
        f.ImgFlecha->setPicture(flecha);
        f.Show();
        QVERIFY(QTest::qWaitForWindowExposed(&f));
        QTest::mouseClick(f.ImgFlecha->Widget(), Qt::LeftButton);
        FijarManejadorErroresEventos(nullptr);
        QCOMPARE(errores, QList<int>({3021}));
    }
};

QTEST_MAIN(TstControles)
#include "tst_Controles.moc"
