// The database under the data layer breaks: the disk fills up, the file is read-only, another
// process holds the write lock, the PostgreSQL server stops and comes back. Each write gives a
// clear error (a number of the layer and a description), what was committed stays, and the same
// connection works again once the fault is gone.

#include "ApoyoFallos.h"
#include "ErroresDatos.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QUrl>
#include <QtTest>

#include <sys/fsuid.h>
#include <unistd.h>

using namespace ApoyoFallos;

namespace {

// The number of the error `accion` gives (0: it was done; -1: an error without a description),
// and the error in words.
long Intentar(const std::function<void()>& accion, QString* detalle = nullptr)
{
    try {
        accion();
        return 0;
    } catch (const ErrorDatos& error) {
        if (detalle)
            *detalle = Describir(error);
        return error.Description().isEmpty() ? -1 : error.Number();
    }
}

// A new province, a change of a name and a delete, each on its own: what each one gave, in
// words when it is not `previsto`.
QStringList TresEscrituras(const ConnectionPtr& conexion, const QString& nuevo, const QString& cambiado,
                           const QString& borrado, std::initializer_list<long> previstos, qint64 esperaMaxima = 0)
{
    QStringList fallos;
    for (const std::function<void()>& escritura : std::initializer_list<std::function<void()>>{
             [&] { GuardarNueva(conexion, nuevo, QStringLiteral("Averiada")); },
             [&] { Modificar(conexion, cambiado, cambiado, QStringLiteral("Averiada")); },
             [&] { Borrar(conexion, borrado); }}) {
        QElapsedTimer reloj;
        reloj.start();
        QString detalle = QStringLiteral("se escribió pese a la avería");
        if (!std::count(previstos.begin(), previstos.end(), Intentar(escritura, &detalle)))
            fallos << detalle;
        // It waits for the lock as long as it was told, not for ever.
        if (esperaMaxima > 0 && reloj.elapsed() > esperaMaxima)
            fallos << QStringLiteral("%1 ms de espera").arg(reloj.elapsed());
    }
    return fallos;
}

} // namespace

class Averias : public QObject {
    Q_OBJECT

private slots:
    void servidorParadoYVuelto();
    void discoLleno();
    void archivoSoloLectura();
    void bloqueoDeOtroProceso();
};

namespace {

// Runs pg_ctl as the owner of the data directory, as the test server does.
int EjecutarPg(const QStringList& argumentos, QString* salida = nullptr)
{
    const QString herramienta = qEnvironmentVariable("QUILTREN_PG_BIN") + QStringLiteral("/pg_ctl");
    QProcess proceso;
    proceso.setProcessChannelMode(QProcess::MergedChannels);
    if (geteuid() == 0)
        proceso.start(QStringLiteral("runuser"), QStringList{"-u", "postgres", "--", herramienta} + argumentos);
    else
        proceso.start(herramienta, argumentos);
    if (!proceso.waitForFinished(60000))
        return -1;
    if (salida)
        *salida = QString::fromLocal8Bit(proceso.readAll());
    return proceso.exitCode();
}

} // namespace

void Averias::servidorParadoYVuelto()
{
    if (!BasePrueba::EnPostgres())
        QSKIP("Solo PostgreSQL");
    const QString datos = qEnvironmentVariable("QUILTREN_PG_DATOS");
    QVERIFY2(!datos.isEmpty() && !qEnvironmentVariable("QUILTREN_PG_BIN").isEmpty(),
             "QUILTREN_PG_DATOS y QUILTREN_PG_BIN no están definidas: ejecute con scripts/con-postgresql.sh");
    ABRIR_BASE(base, true);
    ConnectionPtr conexion = base->Abrir();
    Tabla modelo = LeerTabla(*conexion);
    GuardarNueva(conexion, QStringLiteral("A1"), QStringLiteral("Antes de parar"));
    modelo.insert(QStringLiteral("A1"), QStringLiteral("Antes de parar"));

    const QUrl servidor(qEnvironmentVariable("QUILTREN_PG_URL"));
    const QString carpeta = QFileInfo(datos).absolutePath();
    const QStringList arrancar = {
        "-D", datos, "-l", carpeta + QStringLiteral("/reinicio.log"), "-w", "-t", "30", "start", "-o",
        QStringLiteral("-c listen_addresses=127.0.0.1 -p %1 -k %2 -c fsync=off -c max_connections=200").arg(servidor.port()).arg(carpeta)};
    // Whatever fails below, the server is started again for the tests after this one.
    struct Arrancar {
        QStringList argumentos;
        ~Arrancar() { EjecutarPg(argumentos); }
    } volverAArrancar{arrancar};
    QString salida;
    QVERIFY2(EjecutarPg({"-D", datos, "-w", "stop", "-m", "fast"}, &salida) == 0, qPrintable(salida));

    // The first failure finds the server gone; later ones find the connection closed.
    const QStringList fallos = TresEscrituras(conexion, QStringLiteral("P1"), QStringLiteral("A1"), QStringLiteral("01"),
                                              {ErroresDatos::FalloConexion, ErroresDatos::ConexionNoValida});
    QVERIFY2(fallos.isEmpty(), qPrintable(fallos.join(QStringLiteral(" | "))));

    QVERIFY2(EjecutarPg(arrancar, &salida) == 0, qPrintable(salida));
    // The window keeps its connection: once the server is back it must serve again, after at
    // most one more clear error.
    QString ultimo;
    const auto guardar = [&] { GuardarNueva(conexion, QStringLiteral("D1"), QStringLiteral("Después de volver")); };
    long numero = Intentar(guardar, &ultimo);
    QVERIFY2(numero == 0 || numero == ErroresDatos::FalloConexion || numero == ErroresDatos::ConexionNoValida, qPrintable(ultimo));
    if (numero != 0)
        QVERIFY2(Intentar(guardar, &ultimo) == 0, qPrintable(QStringLiteral("la conexión no sirve tras volver el servidor: %1").arg(ultimo)));
    modelo.insert(QStringLiteral("D1"), QStringLiteral("Después de volver"));
    const Tabla obtenida = LeerTabla(*base->Abrir());
    QVERIFY2(obtenida == modelo, qPrintable(Diferencias(modelo, obtenida)));
}

// The file faults are SQLite's; a PostgreSQL server has its own (above).
#define SOLO_SQLITE()                     \
    if (BasePrueba::EnPostgres())         \
        QSKIP("Solo SQLite")

void Averias::discoLleno()
{
    SOLO_SQLITE();
    QTemporaryDir carpeta;
    QVERIFY(carpeta.isValid());
    const Montaje montaje(carpeta.path());
    QVERIFY2(montaje.Montado(), "No se pudo montar un tmpfs de 512 KiB: esta prueba necesita ser root");
    ABRIR_BASE(base, false, carpeta.path());
    ConnectionPtr conexion = base->Abrir();
    Tabla modelo = LeerTabla(*conexion);
    QVERIFY(LlenarDisco(carpeta.filePath(QStringLiteral("relleno"))));

    // New rows until the disk refuses five; each refusal the same clear error.
    const QString largo(1500, QChar(u'ñ'));
    int rechazadas = 0;
    for (int i = 0; i < 400 && rechazadas < 5; ++i) {
        const QString codigo = QStringLiteral("L%1").arg(i);
        QString detalle;
        const long numero = Intentar([&] { GuardarNueva(conexion, codigo, largo); }, &detalle);
        QVERIFY2(numero == 0 || numero == ErroresDatos::ErrorEntradaSalida, qPrintable(detalle));
        if (numero == 0)
            modelo.insert(codigo, largo);
        rechazadas += numero != 0;
    }
    QVERIFY2(rechazadas > 0, "el disco lleno no llegó a rechazar ningún guardado");
    // A change and a delete on a full disk: done, or refused with the same clear error.
    QString detalle;
    long numero = Intentar([&] { Modificar(conexion, QStringLiteral("02"), QStringLiteral("02"), largo); }, &detalle);
    QVERIFY2(numero == 0 || numero == ErroresDatos::ErrorEntradaSalida, qPrintable(detalle));
    if (numero == 0)
        modelo.insert(QStringLiteral("02"), largo);
    numero = Intentar([&] { Borrar(conexion, QStringLiteral("03")); }, &detalle);
    QVERIFY2(numero == 0 || numero == ErroresDatos::ErrorEntradaSalida, qPrintable(detalle));
    if (numero == 0)
        modelo.remove(QStringLiteral("03"));
    QVERIFY2(LeerTabla(*conexion) == modelo, qPrintable(Diferencias(modelo, LeerTabla(*conexion))));

    // Room again: the same connection saves, and everything committed is there.
    QVERIFY(QFile::remove(carpeta.filePath(QStringLiteral("relleno"))));
    QVERIFY2(Intentar([&] { GuardarNueva(conexion, QStringLiteral("Z1"), QStringLiteral("Con sitio")); }, &detalle) == 0,
             qPrintable(detalle));
    modelo.insert(QStringLiteral("Z1"), QStringLiteral("Con sitio"));
    conexion = base->Abrir();
    QCOMPARE(ComprobarIntegridad(*conexion), QStringLiteral("ok"));
    const Tabla obtenida = LeerTabla(*conexion);
    QVERIFY2(obtenida == modelo, qPrintable(Diferencias(modelo, obtenida)));
}

void Averias::archivoSoloLectura()
{
    SOLO_SQLITE();
    QTemporaryDir carpeta;
    QVERIFY(carpeta.isValid());
    QVERIFY(QFile::setPermissions(carpeta.path(), QFileDevice::Permissions(0x7777)));
    ABRIR_BASE(base, false, carpeta.path());
    const QString archivo = carpeta.filePath(QStringLiteral("provincias.db"));
    const Tabla modelo = LeerTabla(*base->Abrir());
    QVERIFY(QFile::setPermissions(archivo, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));

    // Root writes through any permission: the file checks are made as an ordinary user instead.
    const bool root = geteuid() == 0;
    if (root)
        setfsuid(65534);
    QStringList fallos;
    try {
        // A read-only database can still be opened and read.
        ConnectionPtr conexion = base->Abrir();
        if (LeerTabla(*conexion) != modelo)
            fallos << QStringLiteral("no se lee lo guardado");
        fallos << TresEscrituras(conexion, QStringLiteral("R1"), QStringLiteral("04"), QStringLiteral("05"), {ErroresDatos::SoloLectura});
    } catch (const ErrorDatos& error) {
        fallos << QStringLiteral("al abrir o leer: %1").arg(Describir(error));
    }
    if (root)
        setfsuid(0);
    QVERIFY2(fallos.isEmpty(), qPrintable(fallos.join(QStringLiteral(" | "))));

    QVERIFY(QFile::setPermissions(archivo, QFile::ReadOwner | QFile::WriteOwner));
    ConnectionPtr conexion = base->Abrir();
    QCOMPARE(ComprobarIntegridad(*conexion), QStringLiteral("ok"));
    QCOMPARE(LeerTabla(*conexion), modelo);
}

void Averias::bloqueoDeOtroProceso()
{
    SOLO_SQLITE();
    ABRIR_BASE(base, false);
    ConnectionPtr conexion = base->Abrir();
    conexion->EstablecerEsperaBloqueo(300);
    Tabla modelo = LeerTabla(*conexion);
    QProcess bloqueador;
    const QString arranque = ArrancarEscritor(bloqueador, {QStringLiteral("bloquear"), base->Origen()}, "bloqueado");
    QVERIFY2(arranque.isEmpty(), qPrintable(arranque));

    const QStringList fallos = TresEscrituras(conexion, QStringLiteral("B1"), QStringLiteral("06"), QStringLiteral("07"),
                                              {ErroresDatos::BaseBloqueada}, 3000);
    QVERIFY2(fallos.isEmpty(), qPrintable(fallos.join(QStringLiteral(" | "))));
    // Reading goes on while another process writes.
    QCOMPARE(LeerTabla(*conexion), modelo);

    QVERIFY(SoltarBloqueo(bloqueador));
    QString detalle;
    QVERIFY2(Intentar([&] { GuardarNueva(conexion, QStringLiteral("B1"), QStringLiteral("Libre")); Borrar(conexion, QStringLiteral("07")); },
                      &detalle) == 0,
             qPrintable(QStringLiteral("tras soltar el bloqueo: %1").arg(detalle)));
    modelo.insert(QStringLiteral("B1"), QStringLiteral("Libre"));
    modelo.remove(QStringLiteral("07"));
    QCOMPARE(LeerTabla(*base->Abrir()), modelo);
}

QTEST_GUILESS_MAIN(Averias)
#include "tst_Averias.moc"
