// A writer process doing saves and deletes through the data layer is killed with SIGKILL at
// random moments; after each kill the database must be sound and hold every save the writer
// reported as done.

#include "ApoyoFallos.h"
#include "ErrorDatos.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

#include <csignal>

using namespace ApoyoFallos;

namespace {

struct Operacion {
    QString tipo, codigo, nuevo, nombre;
};

void Aplicar(Tabla& tabla, const Operacion& op)
{
    if (op.tipo == QLatin1String("I")) {
        tabla.insert(op.codigo, op.nombre);
    } else if (op.tipo == QLatin1String("U")) {
        tabla.remove(op.codigo);
        tabla.insert(op.nuevo, op.nombre);
    } else {
        tabla.remove(op.codigo);
    }
}

// Replays the journal over the starting table: confirmed operations are applied, refused ones
// dropped. The one left without an outcome (the kill came in the middle of it) is returned.
bool LeerDiario(const QString& ruta, Tabla tabla, Tabla& resultado, std::optional<Operacion>& pendiente,
                QString& problema)
{
    QFile archivo(ruta);
    if (!archivo.open(QIODevice::ReadOnly)) {
        problema = QStringLiteral("no se puede leer el diario");
        return false;
    }
    pendiente.reset();
    const QList<QByteArray> lineas = archivo.readAll().split('\n');
    for (const QByteArray& linea : lineas) {
        if (linea.isEmpty())
            continue;
        const QStringList partes = QString::fromUtf8(linea).split(QLatin1Char('\t'));
        if (partes[0] == QLatin1String("P") && partes.size() == 5) {
            if (pendiente) {
                problema = QStringLiteral("dos operaciones seguidas sin resultado en el diario");
                return false;
            }
            pendiente = Operacion{partes[1], partes[2], partes[3], partes[4]};
        } else if ((partes[0] == QLatin1String("C") || partes[0] == QLatin1String("F")) && pendiente) {
            if (partes[0] == QLatin1String("C"))
                Aplicar(tabla, *pendiente);
            pendiente.reset();
        } else {
            problema = QStringLiteral("línea del diario no válida: %1").arg(QString::fromUtf8(linea));
            return false;
        }
    }
    resultado = tabla;
    return true;
}

void AnotarResultado(const QString& ruta, bool hecha)
{
    QFile archivo(ruta);
    QVERIFY(archivo.open(QIODevice::Append));
    archivo.write(hecha ? "C\n" : "F\n");
}

} // namespace

class Caidas : public QObject {
    Q_OBJECT

private slots:
    void matarEscritor();
};

void Caidas::matarEscritor()
{
    const bool postgres = MOTOR_POSTGRESQL;
    std::unique_ptr<BasePrueba> base;
    try {
        base = std::make_unique<BasePrueba>(postgres);
    } catch (const ErrorDatos& error) {
        QFAIL(error.what());
    }
    QTemporaryDir carpeta;
    QVERIFY(carpeta.isValid());
    const QString diario = carpeta.filePath(QStringLiteral("diario.txt"));
    const Tabla inicial = LeerTabla(*base->Abrir());
    QCOMPARE(inicial.size(), 52);

    const int muertes = postgres ? Cuenta(10, 50) : Cuenta(10, 200);
    const quint32 semilla = QRandomGenerator::global()->generate() % 100000;
    qInfo("%d muertes, semilla %u", muertes, semilla);
    QRandomGenerator azar(semilla);
    int confirmadas = 0;
    int aMedias = 0;

    for (int i = 0; i < muertes; ++i) {
        QProcess escritor;
        escritor.start(QStringLiteral(RUTA_ESCRITOR),
                       {QStringLiteral("escribir"), base->Origen(), diario, QString::number(semilla * 1000 + quint32(i))});
        QVERIFY2(escritor.waitForStarted(10000), "el escritor no arranca");
        QByteArray salida;
        while (!salida.contains("listo") && escritor.waitForReadyRead(10000))
            salida += escritor.readAllStandardOutput();
        QVERIFY2(salida.contains("listo"), escritor.readAllStandardError().constData());
        QThread::msleep(5 + azar.bounded(150));
        QVERIFY2(escritor.state() == QProcess::Running,
                 qPrintable(QStringLiteral("el escritor terminó solo: %1").arg(QString::fromLocal8Bit(escritor.readAllStandardError()))));
        ::kill(pid_t(escritor.processId()), SIGKILL);
        QVERIFY(escritor.waitForFinished(10000));

        ConnectionPtr conexion = base->Abrir();
        if (!postgres)
            QCOMPARE(ComprobarIntegridad(*conexion), QStringLiteral("ok"));
        QVERIFY(CodigosRepetidos(*conexion).isEmpty());
        const Tabla obtenida = LeerTabla(*conexion);

        Tabla esperada;
        std::optional<Operacion> pendiente;
        QString problema;
        QVERIFY2(LeerDiario(diario, inicial, esperada, pendiente, problema), qPrintable(problema));
        if (pendiente) {
            ++aMedias;
            // The kill came between the write and its note: either outcome is right, nothing else.
            Tabla conPendiente = esperada;
            Aplicar(conPendiente, *pendiente);
            if (obtenida == conPendiente) {
                AnotarResultado(diario, true);
                esperada = conPendiente;
            } else {
                AnotarResultado(diario, false);
            }
        }
        QVERIFY2(obtenida == esperada,
                 qPrintable(QStringLiteral("tras la muerte %1: %2").arg(i + 1).arg(Diferencias(esperada, obtenida))));
        confirmadas = int(obtenida.size());
    }
    qInfo("%d filas al final; %d muertes en mitad de una escritura", confirmadas, aMedias);
}

QTEST_GUILESS_MAIN(Caidas)
#include "tst_Caidas.moc"
