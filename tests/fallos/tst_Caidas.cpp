// A writer process doing saves and deletes through the data layer is killed with SIGKILL at
// random moments; after each kill the database must be sound and hold every save the writer
// reported as done.

#include "tests/fallos/ApoyoFallos.h"

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

#include <csignal>

using namespace ApoyoFallos;

namespace {

struct Operacion {
    QString tipo, codigo, nuevo, nombre;
    void Aplicar(Tabla& tabla) const
    {
        tabla.remove(codigo);
        if (tipo != QLatin1String("D"))
            tabla.insert(nuevo, nombre);
    }
};

// Replays the journal over the starting table: confirmed operations are applied, refused ones
// (noted by the test) dropped. The one left without an outcome (the kill came in the middle of
// it) is returned.
QString LeerDiario(const QString& ruta, Tabla& tabla, std::optional<Operacion>& pendiente)
{
    QFile archivo(ruta);
    if (!archivo.open(QIODevice::ReadOnly))
        return QStringLiteral("no se puede leer el diario");
    pendiente.reset();
    for (const QByteArray& linea : archivo.readAll().split('\n')) {
        const QStringList partes = QString::fromUtf8(linea).split(QLatin1Char('\t'));
        if (linea.isEmpty())
            continue;
        if (partes[0] == QLatin1String("P") && partes.size() == 5 && !pendiente)
            pendiente = Operacion{partes[1], partes[2], partes[3], partes[4]};
        else if ((partes[0] == QLatin1String("C") || partes[0] == QLatin1String("F")) && pendiente) {
            if (partes[0] == QLatin1String("C"))
                pendiente->Aplicar(tabla);
            pendiente.reset();
        } else
            return QStringLiteral("línea del diario fuera de orden: %1").arg(QString::fromUtf8(linea));
    }
    return {};
}

} // namespace

class Caidas : public QObject {
    Q_OBJECT

private slots:
    void matarEscritor();
};

void Caidas::matarEscritor()
{
    const bool postgres = BasePrueba::EnPostgres();
    ABRIR_BASE(base, postgres);
    QTemporaryDir carpeta;
    QVERIFY(carpeta.isValid());
    const QString diario = carpeta.filePath(QStringLiteral("diario.txt"));
    const Tabla inicial = LeerTabla(*base->Abrir());
    QCOMPARE(inicial.size(), 52);

    const int muertes = postgres ? Cuenta(10, 50) : Cuenta(10, 200);
    const quint32 semilla = QRandomGenerator::global()->generate() % 100000;
    qInfo("%d muertes, semilla %u", muertes, semilla);
    QRandomGenerator azar(semilla);
    for (int i = 0; i < muertes; ++i) {
        QProcess escritor;
        const QString arranque = ArrancarEscritor(escritor, {QStringLiteral("escribir"), base->Origen(), diario,
                                                             QString::number(semilla * 1000 + quint32(i))}, "listo");
        QVERIFY2(arranque.isEmpty(), qPrintable(arranque));
        QThread::msleep(5 + azar.bounded(150));
        QVERIFY2(escritor.state() == QProcess::Running,
                 qPrintable(QStringLiteral("el escritor terminó solo: %1").arg(QString::fromLocal8Bit(escritor.readAllStandardError()))));
        ::kill(pid_t(escritor.processId()), SIGKILL);
        QVERIFY(escritor.waitForFinished(10000));

        const Tabla obtenida = LeerTabla(*base->Abrir());
        Tabla esperada = inicial;
        std::optional<Operacion> pendiente;
        const QString problema = LeerDiario(diario, esperada, pendiente);
        QVERIFY2(problema.isEmpty(), qPrintable(problema));
        if (pendiente) {
            // The kill came between the write and its note: either outcome is right, nothing else.
            Tabla conPendiente = esperada;
            pendiente->Aplicar(conPendiente);
            const bool hecha = obtenida == conPendiente;
            if (hecha)
                esperada = conPendiente;
            QFile archivo(diario);
            QVERIFY(archivo.open(QIODevice::Append) && archivo.write(hecha ? "C\n" : "F\n") == 2);
        }
        QVERIFY2(obtenida == esperada,
                 qPrintable(QStringLiteral("tras la muerte %1: %2").arg(i + 1).arg(Diferencias(esperada, obtenida))));
    }
}

QTEST_GUILESS_MAIN(Caidas)
#include "tst_Caidas.moc"
