// The host's message box: style numbers, Spanish buttons and answers.

#include "tests/apoyo/Apoyo.h"
#include "runtime/ErrorEjecucion.h"
#include "tramacor/MensajesQt.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QtTest>

class TestMensajes : public QObject
{
    Q_OBJECT

private slots:
    void cajaReal_data()
    {
        QTest::addColumn<int>("estilo");
        QTest::addColumn<QStringList>("botones");
        QTest::addColumn<int>("icono");
        QTest::addColumn<QString>("pulsar"); // a button's caption, or "Escape"
        QTest::addColumn<int>("respuesta");

        const QStringList siNo{"No", "Sí"};
        QTest::newRow("4 Sí") << 4 << siNo << int(QMessageBox::NoIcon) << "Sí" << 6;
        QTest::newRow("4 Escape es No") << 4 << siNo << int(QMessageBox::NoIcon) << "Escape" << 7;
        QTest::newRow("16 error") << 16 << QStringList{"Aceptar"} << int(QMessageBox::Critical) << "Aceptar" << 1;
        QTest::newRow("64 aviso") << 64 << QStringList{"Aceptar"} << int(QMessageBox::Information) << "Escape" << 1;
        QTest::newRow("33 aceptar, cancelar") << 33 << QStringList{"Aceptar", "Cancelar"} << int(QMessageBox::Question)
                                              << "Cancelar" << 2;
    }

    void cajaReal()
    {
        QFETCH(int, estilo);
        QFETCH(QStringList, botones);
        QFETCH(int, icono);
        QFETCH(QString, pulsar);
        QFETCH(int, respuesta);

        QStringList visto;
        AlAbrirse<QMessageBox>([&](QMessageBox* caja) {
            visto << caja->text() << caja->windowTitle() << QString::number(caja->icon());
            QStringList textos;
            for (QAbstractButton* b : caja->buttons())
                textos << b->text();
            textos.sort();
            visto << textos;
            if (pulsar == QLatin1String("Escape"))
                QTest::keyClick(caja, Qt::Key_Escape);
            for (QAbstractButton* b : caja->buttons()) {
                if (b->text() == pulsar)
                    b->click();
            }
        });
        const QString texto = QStringLiteral("¿Desea guardar este registro?");
        QCOMPARE(MensajesQt().MostrarMensaje(texto, estilo, QStringLiteral("Atención")), respuesta);
        QCOMPARE(visto, QStringList({texto, QStringLiteral("Atención"), QString::number(icono)}) + botones);
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
