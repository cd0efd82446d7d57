#include "Apoyo.h"
#include "Form.h"
#include "TextBox.h"

#include <QClipboard>
#include <QLineEdit>
#include <QtTest>

namespace {

class FrmCampos : public Form
{
public:
    FrmCampos() : Form(QStringLiteral("FrmCampos"))
    {
        TxtCodigo = new TextBox(this, QStringLiteral("TxtCodigo"));
        TxtCodigo->Move(120, 120, 585, 405);
        TxtProvincia = new TextBox(this, QStringLiteral("TxtProvincia"));
        TxtProvincia->Move(120, 720, 3420, 390);
        Move(0, 0, 6000, 3000);
    }
    TextBox* TxtCodigo;
    TextBox* TxtProvincia;
};

} // namespace

class TstCajaTexto : public QObject
{
    Q_OBJECT
private slots:
    void cambioSincronoYAnidado()
    {
        FrmCampos f;
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
        QCOMPARE(registro, QStringList({QStringLiteral("cambio:x"), QStringLiteral("cambio:01"),
                                        QStringLiteral("fin:01"), QStringLiteral("fin:01"),
                                        QStringLiteral("asignado")}));
        // The same text again is no change.
        f.TxtCodigo->setText(QStringLiteral("01"));
        QCOMPARE(registro.size(), 5);
    }

    void errorDelManejadorYFoco()
    {
        FrmCampos f;
        f.TxtCodigo->setMaxLength(2);
        connect(f.TxtCodigo, &TextBox::Change, &f, [] {
            throw ErrorEjecucion(3021, QStringLiteral("No hay registro actual"));
        });
        // The handler's error reaches the assignment; MaxLength limits the user only.
        QCOMPARE(NumeroDeError([&] { f.TxtCodigo->setText(QStringLiteral("ABC\tD")); }), 3021);
        QCOMPARE(f.TxtCodigo->Text(), QStringLiteral("ABC\tD"));
        f.TxtCodigo->setEnabled(false);
        QCOMPARE(NumeroDeError([&] { f.TxtCodigo->SetFocus(); }), 5);
    }

    void longitudMaximaYUnaLinea_data()
    {
        QTest::addColumn<int>("maximo");
        QTest::addColumn<QString>("inicial");
        QTest::addColumn<QString>("teclas");
        QTest::addColumn<bool>("pegar");
        QTest::addColumn<QString>("esperado");
        QTest::addColumn<int>("cambios");
        QTest::newRow("código de dos") << 2 << QString() << QStringLiteral("123") << false << QStringLiteral("12") << 2;
        QTest::newRow("lleno no admite más") << 2 << QStringLiteral("28") << QStringLiteral("9") << false
                                             << QStringLiteral("28") << 0;
        QTest::newRow("pegar salto de Windows") << 20 << QString() << QStringLiteral("Madrid\r\nLugo") << true
                                                << QStringLiteral("Madrid") << 1;
        QTest::newRow("pegar tabulador") << 20 << QString() << QStringLiteral("28\tMadrid") << true
                                         << QStringLiteral("28 Madrid") << 1;
        QTest::newRow("pegar salto y máximo") << 2 << QString() << QStringLiteral("\n28") << true << QString() << 0;
    }

    void longitudMaximaYUnaLinea()
    {
        QFETCH(int, maximo);
        QFETCH(QString, inicial);
        QFETCH(QString, teclas);
        QFETCH(bool, pegar);
        QFETCH(QString, esperado);
        QFETCH(int, cambios);
        FrmCampos f;
        f.TxtCodigo->setMaxLength(maximo);
        f.TxtCodigo->setText(inicial);
        f.Show();
        QVERIFY(QTest::qWaitForWindowActive(&f));
        f.TxtCodigo->SetFocus();
        static_cast<QLineEdit*>(f.TxtCodigo->Widget())->end(false);
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
    }

    void teclasYFoco()
    {
        FrmCampos f;
        QList<int> teclas;
        QStringList foco;
        // Entering the field selects its text, so the first key that gets through replaces it.
        connect(f.TxtCodigo, &TextBox::GotFocus, &f, [&] {
            foco << QStringLiteral("entra");
            f.TxtCodigo->setSelStart(0);
            f.TxtCodigo->setSelLength(int(f.TxtCodigo->Text().size()));
        });
        connect(f.TxtCodigo, &TextBox::LostFocus, &f, [&] { foco << QStringLiteral("sale"); });
        f.TxtCodigo->setText(QStringLiteral("28"));
        connect(f.TxtCodigo, &TextBox::KeyPress, &f, [&](int& KeyAscii) {
            teclas << KeyAscii;
            if (KeyAscii == 13)
                f.TxtProvincia->SetFocus();
            if (KeyAscii == 'x')
                KeyAscii = 0;
            if (KeyAscii == 'a')
                KeyAscii = 'A';
        });
        f.Show();
        QVERIFY(QTest::qWaitForWindowActive(&f));
        f.TxtCodigo->SetFocus();
        QTest::keyClicks(f.TxtCodigo->Widget(), QStringLiteral("xa"));
        QTest::keyClick(f.TxtCodigo->Widget(), Qt::Key_Return);
        QCOMPARE(teclas, QList<int>({'x', 'a', 13}));
        QCOMPARE(f.TxtCodigo->Text(), QStringLiteral("A"));
        QCOMPARE(f.ActiveControl(), f.TxtProvincia);
        QCOMPARE(foco, QStringList({QStringLiteral("entra"), QStringLiteral("sale")}));
    }
};

QTEST_MAIN(TstCajaTexto)
#include "tst_CajaTexto.moc"
