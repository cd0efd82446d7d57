// quiltren-demo run as a user runs it.

#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

class TestProgramaDemo : public QObject
{
    Q_OBJECT

private slots:
    void version();
    void opcionErronea();
    void captura();
    void baseInaccesible_data();
    void baseInaccesible();

private:
    QProcess* Ejecutar(const QStringList& argumentos);
};

QProcess* TestProgramaDemo::Ejecutar(const QStringList& argumentos)
{
    auto* proceso = new QProcess(this);
    proceso->start(QStringLiteral(RUTA_DEMO), argumentos);
    if (!proceso->waitForFinished(60000))
        proceso->kill();
    return proceso;
}

void TestProgramaDemo::version()
{
    QProcess* p = Ejecutar({QStringLiteral("--version")});
    QCOMPARE(p->exitCode(), 0);
    QCOMPARE(QString::fromUtf8(p->readAllStandardOutput()).trimmed(), QStringLiteral("Quiltren 1.00.0051 (es-ES)"));
    QCOMPARE(QString::fromUtf8(p->readAllStandardError()), QString());
}

void TestProgramaDemo::opcionErronea()
{
    QProcess* p = Ejecutar({QStringLiteral("--base"), QStringLiteral("grande")});
    QCOMPARE(p->exitCode(), 2);
    QVERIFY(QString::fromUtf8(p->readAllStandardError()).contains(QStringLiteral("Tamaño de pantalla no válido")));
}

void TestProgramaDemo::captura()
{
    // The host starts on a new database, registers the component, opens the maintenance window
    // by itself and takes the picture.
    QTemporaryDir carpeta;
    const QString imagen = carpeta.filePath(QStringLiteral("captura.png"));
    QProcess* p = Ejecutar({QStringLiteral("--db"), carpeta.filePath(QStringLiteral("demo.sqlite")),
                            QStringLiteral("--captura"), imagen});
    QVERIFY2(p->exitCode() == 0, p->readAllStandardError().constData());
    const QImage leida(imagen);
    QVERIFY(!leida.isNull());
    QVERIFY(leida.width() >= 640 && leida.height() >= 480);
    QVERIFY(QFileInfo::exists(carpeta.filePath(QStringLiteral("demo.sqlite"))));
    // Not a blank picture: the windows are in it.
    QSet<QRgb> colores;
    for (int y = 0; y < leida.height(); y += 7)
        for (int x = 0; x < leida.width(); x += 7)
            colores.insert(leida.pixel(x, y));
    QVERIFY(colores.size() > 20);
}

void TestProgramaDemo::baseInaccesible_data()
{
    QTest::addColumn<QString>("base");
    QTest::newRow("carpeta que no existe") << QStringLiteral("falta/demo.sqlite");
    // A listing only reads: a mistyped file must not become a new database with sample rows.
    QTest::newRow("archivo que no existe") << QStringLiteral("demo.sqlite");
}

void TestProgramaDemo::baseInaccesible()
{
    QFETCH(QString, base);
    QTemporaryDir carpeta;
    QProcess* p = Ejecutar({QStringLiteral("--db"), carpeta.filePath(base),
                            QStringLiteral("--listado"), carpeta.filePath(QStringLiteral("l.pdf"))});
    QCOMPARE(p->exitCode(), 1);
    QVERIFY(QString::fromUtf8(p->readAllStandardError()).contains(QStringLiteral("No se pudo abrir la base de datos")));
    QVERIFY(!QFileInfo::exists(carpeta.filePath(base)));
    QVERIFY(!QFileInfo::exists(carpeta.filePath(QStringLiteral("l.pdf"))));
}

QTEST_MAIN(TestProgramaDemo)
#include "tst_ProgramaDemo.moc"
