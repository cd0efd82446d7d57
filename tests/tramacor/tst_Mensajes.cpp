// The host's message box: style numbers, Spanish buttons and answers.

#include "tests/apoyo/Apoyo.h"
#include "runtime/ErrorEjecucion.h"
#include "tramacor/MensajesQt.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QtTest>

// A message box's style number, the buttons and icon it shows, the button pressed (or "Escape") and the answer.
struct Caja { int estilo; QStringList botones; int icono; QString pulsar; int respuesta; };
Q_DECLARE_METATYPE(Caja)

class TestMensajes : public QObject
{
    Q_OBJECT

private slots:
    void cajaReal_data()
    {
        QTest::addColumn<Caja>("caso");
        QTest::newRow("4 Sí") << Caja{4, {"No", "Sí"}, QMessageBox::NoIcon, "Sí", 6};
        QTest::newRow("4 Escape es No") << Caja{4, {"No", "Sí"}, QMessageBox::NoIcon, "Escape", 7};
        QTest::newRow("16 error") << Caja{16, {"Aceptar"}, QMessageBox::Critical, "Aceptar", 1};
        QTest::newRow("64 aviso") << Caja{64, {"Aceptar"}, QMessageBox::Information, "Escape", 1};
        QTest::newRow("33 aceptar, cancelar") << Caja{33, {"Aceptar", "Cancelar"}, QMessageBox::Question, "Cancelar", 2};
    }

    void cajaReal()
    {
        QFETCH(Caja, caso);
        QStringList visto;
        AlAbrirse<QMessageBox>([&](QMessageBox* caja) {
            visto << caja->text() << caja->windowTitle() << QString::number(caja->icon());
            QStringList textos;
            for (QAbstractButton* b : caja->buttons())
                textos << b->text();
            textos.sort();
            visto << textos;
            if (caso.pulsar == QLatin1String("Escape"))
                QTest::keyClick(caja, Qt::Key_Escape);
            for (QAbstractButton* b : caja->buttons()) {
                if (b->text() == caso.pulsar)
                    b->click();
            }
        });
        const QString texto = QStringLiteral("¿Desea guardar este registro?");
        QCOMPARE(MensajesQt().MostrarMensaje(texto, caso.estilo, QStringLiteral("Atención")), caso.respuesta);
        QCOMPARE(visto, QStringList({texto, QStringLiteral("Atención"), QString::number(caso.icono)}) + caso.botones);
    }

    void estiloNoValido()
    {
        // Too many buttons, two icons, an unknown bit.
        for (int estilo : {6, 80, 0x10000})
            QCOMPARE(NumeroDeError([=] { EstiloMensaje::Describir(estilo); }), 5L);
    }
};

QTEST_MAIN(TestMensajes)
#include "tst_Mensajes.moc"
