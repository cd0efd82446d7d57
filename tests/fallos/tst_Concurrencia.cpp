// Two to eight connections, each in a thread of its own, save and delete the same provinces for
// a bounded time. No update may be lost without an error, no code may end up twice, and every
// refusal must be one of the system's errors: a duplicate or related rows (-2147217887), the
// row gone or changed under the update, or the database busy.

#include "tests/fallos/ApoyoFallos.h"
#include "data/ErroresDatos.h"
#include "data/Recordset.h"
#include "component/Sentencias.h"

#include <QElapsedTimer>
#include <QMutex>
#include <QRandomGenerator>
#include <QSet>
#include <QtTest>

#include <thread>

using namespace ApoyoFallos;

namespace {

struct Cuentas {
    QMutex cerrojo;
    QMap<QString, long> sumas;              // increments reported as saved, by code
    QSet<QPair<QString, QString>> escritas; // (code, name) pairs reported as saved
    QStringList inesperados;
    int rechazos = 0;
    int hechas = 0;
};

// One connection for a bounded time. Counting: reads the counter kept in the name, adds one and
// saves it. Otherwise: new provinces, changes (a change of code now and then) and deletes.
void Trabajar(const QString& origen, int hilo, bool contar, const QStringList& codigos, Cuentas& cuentas)
{
    QRandomGenerator azar(quint32(hilo) * 7919u + 1u);
    QElapsedTimer reloj;
    reloj.start();
    const qint64 duracionMs = Cuenta(1500, 15000);
    ConnectionPtr conexion;
    for (int serie = 0; reloj.elapsed() < duracionMs; ++serie) {
        const QString codigo = codigos[azar.bounded(int(codigos.size()))];
        const QString nombre = QStringLiteral("Hilo %1 n.º %2").arg(hilo).arg(serie);
        const int tirada = azar.bounded(10);
        QString guardado = codigo; // the code saved under `nombre`; empty when nothing was saved
        try {
            if (!conexion)
                conexion = Connection::Abrir(origen);
            if (contar) {
                Recordset rs;
                rs.Open(Sentencias::PorCodigoParaModificar(codigo), conexion, 2, 3, -1);
                const long valor = rs.Fields(QStringLiteral("Provincia")).Value().toString().toLong();
                rs.Collect(QStringLiteral("Provincia"), QString::number(valor + 1));
                rs.Update();
            } else if (tirada < 4) {
                GuardarNueva(conexion, codigo, nombre);
            } else if (tirada < 8) {
                guardado = tirada == 7 ? codigos[azar.bounded(int(codigos.size()))] : codigo;
                if (!Modificar(conexion, codigo, guardado, nombre))
                    continue;
            } else {
                Borrar(conexion, codigo);
                guardado.clear();
            }
            QMutexLocker bloqueo(&cuentas.cerrojo);
            ++cuentas.hechas;
            ++cuentas.sumas[codigo];
            if (!guardado.isEmpty())
                cuentas.escritas.insert({guardado, nombre});
        } catch (const ErrorDatos& error) {
            QMutexLocker bloqueo(&cuentas.cerrojo);
            const long n = error.Number();
            if ((n == ErroresDatos::ViolacionIntegridad || n == ErroresDatos::FilaDesaparecida || n == ErroresDatos::BaseBloqueada)
                && !error.Description().isEmpty())
                ++cuentas.rechazos;
            else if (cuentas.inesperados.size() < 10)
                cuentas.inesperados << QString::fromUtf8(error.what());
        }
    }
}

} // namespace

class Concurrencia : public QObject {
    Q_OBJECT

private slots:
    void conexionesALaVez_data();
    void conexionesALaVez();
};

void Concurrencia::conexionesALaVez_data()
{
    QTest::addColumn<bool>("contar");
    QTest::addColumn<int>("hilos");
    for (int hilos : {2, 4, 8}) {
        if (hilos == 8 && !EsSoak())
            continue;
        QTest::addRow("contador, %d conexiones", hilos) << true << hilos;
        QTest::addRow("altas, cambios y bajas, %d conexiones", hilos) << false << hilos;
    }
}

void Concurrencia::conexionesALaVez()
{
    QFETCH(bool, contar);
    QFETCH(int, hilos);
    const QStringList codigos = contar ? QStringList{"C1", "C2", "C3"} : QStringList{"M1", "M2", "M3", "M4", "M5"};
    ABRIR_BASE(base);
    base->Conexion()->Execute(QStringLiteral("DELETE FROM Municipios"));
    base->Conexion()->Execute(QStringLiteral("DELETE FROM Provincias"));
    for (const QString& codigo : contar ? codigos : QStringList())
        GuardarNueva(base->Conexion(), codigo, QStringLiteral("0"));

    Cuentas cuentas;
    std::vector<std::thread> trabajos;
    for (int h = 0; h < hilos; ++h)
        trabajos.emplace_back(Trabajar, base->Origen(), h, contar, codigos, std::ref(cuentas));
    for (std::thread& trabajo : trabajos)
        trabajo.join();

    QVERIFY2(cuentas.inesperados.isEmpty(), qPrintable(cuentas.inesperados.join(QStringLiteral(" | "))));
    const Tabla final = LeerTabla(*base->Abrir());
    QVERIFY(cuentas.hechas > 0);
    if (contar) {
        // Every increment reported as saved must be in the counter: one less means an update
        // overwrote another one read before it, and nobody was told.
        for (const QString& codigo : codigos)
            QCOMPARE(final.value(codigo).toLong(), cuentas.sumas.value(codigo));
        return;
    }
    QVERIFY(cuentas.rechazos > 0);
    for (auto fila = final.cbegin(); fila != final.cend(); ++fila) {
        // Each row holds what one connection was told it had saved under that code.
        QVERIFY2(cuentas.escritas.contains({fila.key(), fila.value()}),
                 qPrintable(QStringLiteral("%1 = %2 no lo guardó nadie").arg(fila.key(), fila.value())));
    }
}

QTEST_GUILESS_MAIN(Concurrencia)
#include "tst_Concurrencia.moc"
