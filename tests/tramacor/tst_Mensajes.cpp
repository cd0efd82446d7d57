// The host's message box: style numbers, Spanish buttons, answers; and its scripted fake.

#include "AyudaDialogos.h"
#include "ErrorEjecucion.h"
#include "Falsos.h"
#include "MensajesQt.h"

#include <QMessageBox>
#include <QPushButton>
#include <QtTest>

class TestMensajes : public QObject
{
    Q_OBJECT

private slots:
    void describir_data();
    void describir();
    void estiloNoValido_data();
    void estiloNoValido();
    void cajaReal_data();
    void cajaReal();
    void escapeEnSiNo();
    void falsos();
    void falsosInstalados();
};

void TestMensajes::describir_data()
{
    QTest::addColumn<int>("estilo");
    QTest::addColumn<QStringList>("botones");
    QTest::addColumn<QList<int>>("respuestas");
    QTest::addColumn<int>("icono");
    QTest::addColumn<int>("escape");

    QTest::newRow("16 error") << 16 << QStringList{"Aceptar"} << QList<int>{1} << int(QMessageBox::Critical) << 1;
    QTest::newRow("4 pregunta") << 4 << QStringList{"Sí", "No"} << QList<int>{6, 7} << int(QMessageBox::NoIcon) << 7;
    QTest::newRow("64 aviso") << 64 << QStringList{"Aceptar"} << QList<int>{1} << int(QMessageBox::Information) << 1;
    QTest::newRow("0 sin icono") << 0 << QStringList{"Aceptar"} << QList<int>{1} << int(QMessageBox::NoIcon) << 1;
    QTest::newRow("1 aceptar y cancelar") << 1 << QStringList{"Aceptar", "Cancelar"} << QList<int>{1, 2} << int(QMessageBox::NoIcon) << 2;
    QTest::newRow("35 sí, no, cancelar con pregunta") << 35 << QStringList{"Sí", "No", "Cancelar"} << QList<int>{6, 7, 2}
                                                      << int(QMessageBox::Question) << 2;
    QTest::newRow("53 reintentar con exclamación") << 53 << QStringList{"Reintentar", "Cancelar"} << QList<int>{4, 2}
                                                   << int(QMessageBox::Warning) << 2;
    QTest::newRow("260 sí/no, No por defecto") << 260 << QStringList{"Sí", "No"} << QList<int>{6, 7} << int(QMessageBox::NoIcon) << 7;
}

void TestMensajes::describir()
{
    QFETCH(int, estilo);
    QFETCH(QStringList, botones);
    QFETCH(QList<int>, respuestas);
    QFETCH(int, icono);
    QFETCH(int, escape);

    const EstiloMensaje::Descripcion d = EstiloMensaje::Describir(estilo);
    QCOMPARE(d.Botones.size(), botones.size());
    for (int i = 0; i < botones.size(); ++i) {
        QCOMPARE(d.Botones.at(i).Titulo, botones.at(i));
        QCOMPARE(d.Botones.at(i).Respuesta, respuestas.at(i));
    }
    QCOMPARE(int(d.Icono), icono);
    QCOMPARE(d.RespuestaEscape, escape);
}

void TestMensajes::estiloNoValido_data()
{
    QTest::addColumn<int>("estilo");
    QTest::newRow("botones 6") << 6;
    QTest::newRow("icono 80") << 80;
    QTest::newRow("bits ajenos") << 0x10000;
    QTest::newRow("negativo") << -1;
}

void TestMensajes::estiloNoValido()
{
    QFETCH(int, estilo);
    try {
        EstiloMensaje::Describir(estilo);
        QFAIL("el estilo debía rechazarse");
    } catch (const ErrorEjecucion& error) {
        QCOMPARE(error.Number(), 5);
    }
}

void TestMensajes::cajaReal_data()
{
    QTest::addColumn<int>("estilo");
    QTest::addColumn<QString>("pulsar");
    QTest::addColumn<int>("respuesta");
    QTest::newRow("Sí") << 4 << "Sí" << 6;
    QTest::newRow("No") << 4 << "No" << 7;
    QTest::newRow("Aceptar en error") << 16 << "Aceptar" << 1;
    QTest::newRow("Aceptar en aviso") << 64 << "Aceptar" << 1;
}

void TestMensajes::cajaReal()
{
    QFETCH(int, estilo);
    QFETCH(QString, pulsar);
    QFETCH(int, respuesta);

    QString texto, titulo;
    QStringList vistos;
    AlAbrirse<QMessageBox>([&](QMessageBox* caja) {
        texto = caja->text();
        titulo = caja->windowTitle();
        for (QAbstractButton* b : caja->buttons())
            vistos.append(b->text());
        for (QAbstractButton* b : caja->buttons())
            if (b->text() == pulsar)
                b->click();
    });
    MensajesQt mensajes;
    QCOMPARE(mensajes.MostrarMensaje(QStringLiteral("¿Desea guardar este registro?"), estilo, QStringLiteral("Atención")),
             respuesta);
    QCOMPARE(texto, QStringLiteral("¿Desea guardar este registro?"));
    QCOMPARE(titulo, QStringLiteral("Atención"));
    QVERIFY2(vistos.contains(pulsar), qPrintable(vistos.join(',')));
}

void TestMensajes::escapeEnSiNo()
{
    AlAbrirse<QMessageBox>([](QMessageBox* caja) { QTest::keyClick(caja, Qt::Key_Escape); });
    MensajesQt mensajes;
    QCOMPARE(mensajes.MostrarMensaje(QStringLiteral("¿Borrar?"), 4, QStringLiteral("Atención")), 7);
}

void TestMensajes::falsos()
{
    MensajesFalsos falsos;
    falsos.Respuestas = {6, 7};
    QCOMPARE(falsos.MostrarMensaje(QStringLiteral("uno"), 4, QStringLiteral("Atención")), 6);
    QCOMPARE(falsos.MostrarMensaje(QStringLiteral("dos"), 4, QStringLiteral("Atención")), 7);
    // With nothing scripted: the answer of closing the box.
    QCOMPARE(falsos.MostrarMensaje(QStringLiteral("tres"), 4, QStringLiteral("Atención")), 7);
    QCOMPARE(falsos.MostrarMensaje(QStringLiteral("cuatro"), 16, QStringLiteral("Error")), 1);
    falsos.RespuestaPredeterminada = 6;
    QCOMPARE(falsos.MostrarMensaje(QStringLiteral("cinco"), 4, QString()), 6);
    // A style the real box refuses is refused and not recorded.
    QVERIFY_THROWS_EXCEPTION(ErrorEjecucion, falsos.MostrarMensaje(QStringLiteral("seis"), 7, QString()));

    const QList<LlamadaMensaje> esperadas{{QStringLiteral("uno"), 4, QStringLiteral("Atención")},
                                          {QStringLiteral("dos"), 4, QStringLiteral("Atención")},
                                          {QStringLiteral("tres"), 4, QStringLiteral("Atención")},
                                          {QStringLiteral("cuatro"), 16, QStringLiteral("Error")},
                                          {QStringLiteral("cinco"), 4, QString()}};
    QCOMPARE(falsos.Llamadas, esperadas);
}

void TestMensajes::falsosInstalados()
{
    auto falsos = InstalarMensajesFalsos();
    falsos->Respuestas = {6};
    QCOMPARE(Tramacor::Mensajes().MostrarMensaje(QStringLiteral("¿Seguro?"), 4, QStringLiteral("Atención")), 6);
    QCOMPARE(falsos->Llamadas.size(), 1);
    Tramacor::FijarMensajes(nullptr);
    QVERIFY(dynamic_cast<MensajesQt*>(&Tramacor::Mensajes()));
}

QTEST_MAIN(TestMensajes)
#include "tst_Mensajes.moc"
