// Two to eight connections, each in a thread of its own, save and delete the same provinces for
// a bounded time. No update may be lost without an error, no code may end up twice, and every
// refusal must be one of the system's errors: a duplicate or related rows (-2147217887), the
// row gone or changed under the update, or the database busy.

#include "ApoyoFallos.h"
#include "ErrorDatos.h"
#include "ErroresDatos.h"
#include "Recordset.h"
#include "Sentencias.h"

#include <QElapsedTimer>
#include <QMutex>
#include <QRandomGenerator>
#include <QSet>
#include <QtTest>

#include <thread>
#include <vector>

using namespace ApoyoFallos;

namespace {

bool RechazoPrevisto(long numero)
{
    return numero == ErroresDatos::ViolacionIntegridad || numero == ErroresDatos::FilaDesaparecida
        || numero == ErroresDatos::BaseBloqueada;
}

struct Cuentas {
    QMutex cerrojo;
    QMap<QString, long> sumas;            // increments reported as saved, by code
    QSet<QPair<QString, QString>> escritas; // (code, name) pairs reported as saved
    QStringList inesperados;
    int rechazos = 0;
    int hechas = 0;
};

void AnotarError(Cuentas& cuentas, const ErrorDatos& error)
{
    QMutexLocker bloqueo(&cuentas.cerrojo);
    if (RechazoPrevisto(error.Number()) && !error.Description().isEmpty())
        ++cuentas.rechazos;
    else if (cuentas.inesperados.size() < 10)
        cuentas.inesperados << QString::fromUtf8(error.what());
}

// Reads the counter kept in the name, adds one and saves it the way the window saves a row.
void Incrementar(const QString& origen, int hilo, qint64 duracionMs, const QStringList& codigos, Cuentas& cuentas)
{
    ConnectionPtr conexion;
    try {
        conexion = Connection::Abrir(origen);
    } catch (const ErrorDatos& error) {
        AnotarError(cuentas, error);
        return;
    }
    QRandomGenerator azar(quint32(hilo) * 7919u + 1u);
    QElapsedTimer reloj;
    reloj.start();
    while (reloj.elapsed() < duracionMs) {
        const QString codigo = codigos[azar.bounded(int(codigos.size()))];
        Recordset rs;
        try {
            rs.Open(Sentencias::PorCodigoParaModificar(codigo), conexion, 2, 3, -1);
            const long valor = rs.Fields(QStringLiteral("Provincia")).Value().toString().toLong();
            rs.Collect(QStringLiteral("Provincia"), QString::number(valor + 1));
            rs.Collect(QStringLiteral("ModificadoPor"), QStringLiteral("hilo %1").arg(hilo));
            rs.Update();
            QMutexLocker bloqueo(&cuentas.cerrojo);
            ++cuentas.sumas[codigo];
            ++cuentas.hechas;
        } catch (const ErrorDatos& error) {
            rs.CancelUpdate();
            AnotarError(cuentas, error);
        }
    }
}

// New provinces, changes (with a change of code now and then) and deletes on a few codes.
void Mezclar(const QString& origen, int hilo, qint64 duracionMs, const QStringList& codigos, Cuentas& cuentas)
{
    ConnectionPtr conexion;
    try {
        conexion = Connection::Abrir(origen);
    } catch (const ErrorDatos& error) {
        AnotarError(cuentas, error);
        return;
    }
    QRandomGenerator azar(quint32(hilo) * 104729u + 3u);
    QElapsedTimer reloj;
    reloj.start();
    for (int serie = 0; reloj.elapsed() < duracionMs; ++serie) {
        const QString codigo = codigos[azar.bounded(int(codigos.size()))];
        const QString nombre = QStringLiteral("Hilo %1 n.º %2").arg(hilo).arg(serie);
        const int tirada = azar.bounded(10);
        Recordset rs;
        try {
            if (tirada < 4) {
                rs.Open(Sentencias::TodasLasColumnas(), conexion, 2, 3, -1);
                rs.AddNew();
                rs.Collect(QStringLiteral("Codigo"), codigo);
                rs.Collect(QStringLiteral("Provincia"), nombre);
                rs.Update();
                QMutexLocker bloqueo(&cuentas.cerrojo);
                cuentas.escritas.insert({codigo, nombre});
                ++cuentas.hechas;
            } else if (tirada < 8) {
                const QString nuevo = tirada == 7 ? codigos[azar.bounded(int(codigos.size()))] : codigo;
                rs.Open(Sentencias::PorCodigoParaModificar(codigo), conexion, 2, 3, -1);
                if (rs.Eof())
                    continue;
                rs.Collect(QStringLiteral("Codigo"), nuevo);
                rs.Collect(QStringLiteral("Provincia"), nombre);
                rs.Update();
                QMutexLocker bloqueo(&cuentas.cerrojo);
                cuentas.escritas.insert({nuevo, nombre});
                ++cuentas.hechas;
            } else {
                rs.Open(Sentencias::BorrarPorCodigo(codigo), conexion, 2, 3, -1);
                QMutexLocker bloqueo(&cuentas.cerrojo);
                ++cuentas.hechas;
            }
        } catch (const ErrorDatos& error) {
            rs.CancelUpdate();
            AnotarError(cuentas, error);
        }
    }
}

} // namespace

class Concurrencia : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void sinActualizacionesPerdidas_data();
    void sinActualizacionesPerdidas();
    void guardarYBorrarLoMismo_data();
    void guardarYBorrarLoMismo();

private:
    std::unique_ptr<BasePrueba> m_base;
};

void Concurrencia::initTestCase()
{
    try {
        m_base = std::make_unique<BasePrueba>(bool(MOTOR_POSTGRESQL));
    } catch (const ErrorDatos& error) {
        QFAIL(error.what());
    }
}

void Concurrencia::cleanupTestCase()
{
    m_base.reset();
}

void Concurrencia::sinActualizacionesPerdidas_data()
{
    QTest::addColumn<int>("hilos");
    QTest::newRow("2 conexiones") << 2;
    QTest::newRow("4 conexiones") << 4;
    if (EsSoak())
        QTest::newRow("8 conexiones") << 8;
}

void Concurrencia::sinActualizacionesPerdidas()
{
    QFETCH(int, hilos);
    const QStringList codigos = {QStringLiteral("C1"), QStringLiteral("C2"), QStringLiteral("C3")};
    Tabla inicial;
    for (const QString& codigo : codigos)
        inicial.insert(codigo, QStringLiteral("0"));
    CargarTabla(*m_base->Abrir(), inicial);

    Cuentas cuentas;
    const qint64 duracion = Cuenta(1500, 15000);
    std::vector<std::thread> trabajos;
    for (int h = 0; h < hilos; ++h)
        trabajos.emplace_back(Incrementar, m_base->Origen(), h, duracion, codigos, std::ref(cuentas));
    for (std::thread& trabajo : trabajos)
        trabajo.join();

    QVERIFY2(cuentas.inesperados.isEmpty(), qPrintable(cuentas.inesperados.join(QStringLiteral(" | "))));
    const Tabla final = LeerTabla(*m_base->Abrir());
    qInfo("%d guardados, %d rechazados", cuentas.hechas, cuentas.rechazos);
    QVERIFY(cuentas.hechas > 0);
    for (const QString& codigo : codigos) {
        // Every increment reported as saved must be in the counter: one less means an update
        // overwrote another one read before it, and nobody was told.
        QCOMPARE(final.value(codigo).toLong(), cuentas.sumas.value(codigo));
    }
}

void Concurrencia::guardarYBorrarLoMismo_data()
{
    sinActualizacionesPerdidas_data();
}

void Concurrencia::guardarYBorrarLoMismo()
{
    QFETCH(int, hilos);
    const QStringList codigos = {QStringLiteral("M1"), QStringLiteral("M2"), QStringLiteral("M3"),
                                 QStringLiteral("M4"), QStringLiteral("M5")};
    CargarTabla(*m_base->Abrir(), {});

    Cuentas cuentas;
    const qint64 duracion = Cuenta(1500, 15000);
    std::vector<std::thread> trabajos;
    for (int h = 0; h < hilos; ++h)
        trabajos.emplace_back(Mezclar, m_base->Origen(), h, duracion, codigos, std::ref(cuentas));
    for (std::thread& trabajo : trabajos)
        trabajo.join();

    QVERIFY2(cuentas.inesperados.isEmpty(), qPrintable(cuentas.inesperados.join(QStringLiteral(" | "))));
    ConnectionPtr conexion = m_base->Abrir();
    QVERIFY(CodigosRepetidos(*conexion).isEmpty());
    if (!MOTOR_POSTGRESQL)
        QCOMPARE(ComprobarIntegridad(*conexion), QStringLiteral("ok"));
    const Tabla final = LeerTabla(*conexion);
    qInfo("%d hechas, %d rechazadas, %d filas al final", cuentas.hechas, cuentas.rechazos, int(final.size()));
    QVERIFY(cuentas.hechas > 0);
    QVERIFY(cuentas.rechazos > 0);
    for (auto fila = final.cbegin(); fila != final.cend(); ++fila) {
        // Each row holds what one connection was told it had saved under that code.
        QVERIFY2(cuentas.escritas.contains({fila.key(), fila.value()}),
                 qPrintable(QStringLiteral("%1 = %2 no lo guardó nadie").arg(fila.key(), fila.value())));
    }
}

QTEST_GUILESS_MAIN(Concurrencia)
#include "tst_Concurrencia.moc"
