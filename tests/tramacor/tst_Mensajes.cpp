// The host's message box: style numbers, Spanish buttons and answers; and its scripted fake.

#include "Apoyo.h"
#include "ErrorEjecucion.h"
#include "MensajesQt.h"

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
        QTest::addColumn<QString>("pulsar");   // a button's caption, or "Escape"
        QTest::addColumn<int>("respuesta");

        const QStringList siNo{"Sí", "No"};
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

        QString texto, titulo;
        QStringList vistos;
        int iconoVisto = -1;
        AlAbrirse<QMessageBox>([&](QMessageBox* caja) {
            texto = caja->text();
            titulo = caja->windowTitle();
            iconoVisto = caja->icon();
            for (QAbstractButton* b : caja->buttons())
                vistos.append(b->text());
            if (pulsar == QLatin1String("Escape"))
                QTest::keyClick(caja, Qt::Key_Escape);
            for (QAbstractButton* b : caja->buttons())
                if (b->text() == pulsar)
                    b->click();
        });
        const int devuelto = MensajesQt().MostrarMensaje(QStringLiteral("¿Desea guardar este registro?"), estilo,
                                                         QStringLiteral("Atención"));
        QCOMPARE(devuelto, respuesta);
        QCOMPARE(texto, QStringLiteral("¿Desea guardar este registro?"));
        QCOMPARE(titulo, QStringLiteral("Atención"));
        QCOMPARE(iconoVisto, icono);
        vistos.sort();
        botones.sort();
        QCOMPARE(vistos, botones);
    }

    void estiloNoValido()
    {
        for (int estilo : {6, 80, 0x10000, -1}) {
            try {
                EstiloMensaje::Describir(estilo);
                QFAIL(qPrintable(QStringLiteral("el estilo %1 debía rechazarse").arg(estilo)));
            } catch (const ErrorEjecucion& error) {
                QCOMPARE(error.Number(), 5);
            }
        }
    }
};

QTEST_MAIN(TestMensajes)
#include "tst_Mensajes.moc"
