#include "Barra.h"
#include "Boton.h"
#include "Form.h"
#include "PictureBox.h"

#include <QtTest>

namespace {

class FrmMando : public Form
{
public:
    FrmMando() : Form(QStringLiteral("FrmMando"))
    {
        PicFondo = new PictureBox(this, QStringLiteral("PicFondo"));
        PicFondo->Move(0, 0, 9000, 4000);
        Barra1 = new Barra(this, QStringLiteral("Barra1"), PicFondo);
        Barra1->setExtentX(15875);
        Barra1->setExtentY(979);
        Barra1->setCaption(QStringLiteral("Ficha de Provincias"));
        LblNuevo = new Boton(this, QStringLiteral("LblNuevo"), PicFondo);
        LblNuevo->Move(2160, 840, 1575, 735);
        LblNuevo->setCaption(QStringLiteral("Nuevo"));
        LblBorrar = new Boton(this, QStringLiteral("LblBorrar"), PicFondo);
        LblBorrar->Move(3840, 840, 1575, 735);
        LblBorrar->setCaption(QStringLiteral("Borrar"));
        Move(1500, 1500, 9000, 4000);
    }
    PictureBox* PicFondo;
    Barra* Barra1;
    Boton* LblNuevo;
    Boton* LblBorrar;
};

} // namespace

class TstBarraBoton : public QObject
{
    Q_OBJECT
private slots:
    void botonSoloPulsaHabilitado_data()
    {
        QTest::addColumn<QString>("via");
        QTest::addColumn<bool>("habilitado");
        QTest::addColumn<bool>("visible");
        QTest::addColumn<int>("clics");
        for (const char* via : {"ratón", "espacio", "intro", "código"}) {
            QTest::addRow("%s habilitado", via) << QString::fromUtf8(via) << true << true << 1;
            QTest::addRow("%s deshabilitado", via) << QString::fromUtf8(via) << false << true << 0;
        }
        QTest::newRow("código oculto") << QStringLiteral("código") << true << false << 0;
    }

    void botonSoloPulsaHabilitado()
    {
        QFETCH(QString, via);
        QFETCH(bool, habilitado);
        QFETCH(bool, visible);
        QFETCH(int, clics);
        FrmMando f;
        int recibidos = 0;
        connect(f.LblBorrar, &Boton::Click, &f, [&] { ++recibidos; });
        f.Show();
        QVERIFY(QTest::qWaitForWindowActive(&f));
        // The focus is taken before disabling, as a window would have left it there.
        f.LblBorrar->SetFocus();
        f.LblBorrar->setEnabled(habilitado);
        f.LblBorrar->setVisible(visible);
        QWidget* w = f.LblBorrar->Widget();
        if (via == QLatin1String("ratón"))
            QTest::mouseClick(w, Qt::LeftButton);
        else if (via == QLatin1String("espacio"))
            QTest::keyClick(w, Qt::Key_Space);
        else if (via == QLatin1String("intro"))
            QTest::keyClick(w, Qt::Key_Return);
        else
            f.LblBorrar->HacerClick();
        QCOMPARE(recibidos, clics);
        QCOMPARE(f.LblBorrar->Enabled(), habilitado);
    }

    void barraPideCerrar()
    {
        FrmMando f;
        int solicitudes = 0;
        connect(f.Barra1, &Barra::SolicitudCierre, &f, [&] { ++solicitudes; });
        f.Show();
        QVERIFY(QTest::qWaitForWindowExposed(&f));
        QWidget* banda = f.Barra1->Widget();
        // A click on the caption is no close request; one on the × at the right end is.
        QTest::mouseClick(banda, Qt::LeftButton, Qt::NoModifier, QPoint(40, banda->height() / 2));
        QCOMPARE(solicitudes, 0);
        QTest::mouseClick(banda, Qt::LeftButton, Qt::NoModifier, QPoint(banda->width() - 10, banda->height() / 2));
        QCOMPARE(solicitudes, 1);
        // The bar only asks: the window stays until it unloads itself.
        QVERIFY(f.isVisible());
    }

    void barraMedidas()
    {
        FrmMando f;
        // Hundredths of a millimetre to twips: 979 is the 555 twips of the windows' bars.
        QCOMPARE(f.Barra1->Height(), 555);
        QCOMPARE(f.Barra1->Width(), 9000);
        QCOMPARE(f.Barra1->ExtentY(), 979);
        f.Barra1->setExtentX(21193);
        QCOMPARE(f.Barra1->Width(), 12015);
        f.Barra1->setWidth(9000);
        QCOMPARE(f.Barra1->Width(), 9000);
        QCOMPARE(f.Barra1->Name(), QStringLiteral("Barra1"));
        QCOMPARE(f.Barra1->TipoControl(), Control::Clase::Barra);
        QCOMPARE(f.LblNuevo->TipoControl(), Control::Clase::Boton);
        QCOMPARE(f.Controls().Item(QStringLiteral("Barra1")), f.Barra1);
    }

    void barraPintaSuColor_data()
    {
        QTest::addColumn<QString>("color");
        QTest::newRow("1") << QStringLiteral("1");
        QTest::newRow("2") << QStringLiteral("2");
    }

    void barraPintaSuColor()
    {
        QFETCH(QString, color);
        FrmMando f;
        f.Barra1->setColor(color);
        QVERIFY(Barra::ColorMarca(QStringLiteral("1")) != Barra::ColorMarca(QStringLiteral("2")));
        const QImage imagen = f.Barra1->Widget()->grab().toImage();
        // The lower half of the band, away from the caption and the buttons, is the brand tone.
        const QColor pixel = imagen.pixelColor(imagen.width() / 2, imagen.height() - 3);
        const QColor marca = Barra::ColorMarca(color);
        QVERIFY2(qAbs(pixel.red() - marca.red()) < 8 && qAbs(pixel.blue() - marca.blue()) < 8,
                 qPrintable(pixel.name() + QLatin1Char(' ') + marca.name()));
    }

    void barraArrastraLaVentana()
    {
        FrmMando f;
        f.Show();
        QVERIFY(QTest::qWaitForWindowExposed(&f));
        QWidget* banda = f.Barra1->Widget();
        const QPoint antes = f.pos();
        QTest::mousePress(banda, Qt::LeftButton, Qt::NoModifier, QPoint(60, 10));
        QMouseEvent mover(QEvent::MouseMove, QPointF(90, 30), banda->mapToGlobal(QPointF(90, 30)),
                          Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(banda, &mover);
        QTest::mouseRelease(banda, Qt::LeftButton, Qt::NoModifier, QPoint(90, 30));
        QCOMPARE(f.pos(), antes + QPoint(30, 20));
        QCOMPARE(f.Left(), 1500 + 30 * 15);
        QCOMPARE(f.Top(), 1500 + 20 * 15);
    }
};

QTEST_MAIN(TstBarraBoton)
#include "tst_barra_boton.moc"
