// The database under the data layer breaks: the disk fills up, the file turns read-only, another
// process holds the write lock, the PostgreSQL server stops. Each write gives a clear error (a
// number of the layer and a description) without a long wait, what was committed stays, and once
// the fault is gone the database takes writes again.

#include "tests/fallos/ApoyoFallos.h"
#include "data/ErroresDatos.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/fsuid.h>
#include <unistd.h>

using namespace ApoyoFallos;

namespace {

// The number of the error `accion` gives (0: it was done; -1: an error without a description),
// and the error in words.
long Intentar(const std::function<void()>& accion, QString* detalle)
{
    try {
        accion();
        return 0;
    } catch (const ErrorDatos& error) {
        *detalle = QString::fromUtf8(error.what());
        return error.Description().isEmpty() ? -1 : error.Number();
    }
}

// Runs pg_ctl as the owner of the data directory, as the test server does.
int EjecutarPg(const QStringList& argumentos, QString* salida)
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
    *salida = QString::fromLocal8Bit(proceso.readAll());
    return proceso.exitCode();
}

// Takes the fault away once, when asked or, whatever failed before, when the test ends.
struct Quitar {
    std::function<bool()> accion;
    bool operator()() { return !accion || std::exchange(accion, {})(); }
    ~Quitar() { (*this)(); }
};

} // namespace

class Averias : public QObject {
    Q_OBJECT

private slots:
    void escriturasConAveria_data();
    void escriturasConAveria();
};

void Averias::escriturasConAveria_data()
{
    QTest::addColumn<QString>("averia");
    QTest::addColumn<QList<long>>("numeros");
    QTest::addColumn<bool>("puedeHacerse"); // a full disk still takes what fits in room already held
    if (BasePrueba::EnPostgres()) {
        // The first failure finds the server gone; later ones find the connection closed.
        QTest::newRow("servidor parado y vuelto")
            << "servidor" << QList<long>{ErroresDatos::FalloConexion, ErroresDatos::ConexionNoValida} << false;
        return;
    }
    QTest::newRow("disco lleno") << "disco" << QList<long>{ErroresDatos::ErrorEntradaSalida} << true;
    QTest::newRow("archivo de solo lectura") << "lectura" << QList<long>{ErroresDatos::SoloLectura} << false;
    QTest::newRow("bloqueo de otro proceso") << "bloqueo" << QList<long>{ErroresDatos::BaseBloqueada} << false;
}

void Averias::escriturasConAveria()
{
    QFETCH(QString, averia);
    QFETCH(QList<long>, numeros);
    QFETCH(bool, puedeHacerse);
    const bool postgres = averia == QLatin1String("servidor");
    QTemporaryDir carpeta;
    QVERIFY(carpeta.isValid());
    std::optional<Montaje> montaje;
    if (averia == QLatin1String("disco")) {
        montaje.emplace(carpeta.path());
        QVERIFY2(montaje->Montado(), "No se pudo montar un tmpfs de 512 KiB: esta prueba necesita ser root");
    }
    // Anyone may add the journal files beside a read-only database.
    QVERIFY(QFile::setPermissions(carpeta.path(), QFileDevice::Permissions(0x7777)));
    ABRIR_BASE(base, postgres, carpeta.path());
    ConnectionPtr conexion = base->Abrir();
    conexion->EstablecerEsperaBloqueo(300);
    Tabla modelo = LeerTabla(*conexion);

    QProcess bloqueador;
    QString salida;
    Quitar quitar; // after what it uses, so that it runs before they go
    if (averia == QLatin1String("disco")) {
        const QString relleno = carpeta.filePath(QStringLiteral("relleno"));
        QVERIFY(LlenarDisco(relleno));
        quitar.accion = [relleno] { return QFile::remove(relleno); };
    } else if (averia == QLatin1String("lectura")) {
        const QString archivo = base->Origen();
        QVERIFY(QFile::setPermissions(archivo, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
        // Root writes through any permission: the file is used as an ordinary user instead.
        const bool root = geteuid() == 0;
        if (root)
            setfsuid(65534);
        quitar.accion = [archivo, root] {
            if (root)
                setfsuid(0);
            return QFile::setPermissions(archivo, QFile::ReadOwner | QFile::WriteOwner);
        };
        // A read-only database can still be opened and read.
        conexion = base->Abrir();
    } else if (averia == QLatin1String("bloqueo")) {
        const QString arranque = ArrancarEscritor(bloqueador, {QStringLiteral("bloquear"), base->Origen()}, "bloqueado");
        QVERIFY2(arranque.isEmpty(), qPrintable(arranque));
        quitar.accion = [&bloqueador] { return SoltarBloqueo(bloqueador); };
    } else {
        const QString datos = qEnvironmentVariable("QUILTREN_PG_DATOS");
        QVERIFY2(!datos.isEmpty() && !qEnvironmentVariable("QUILTREN_PG_BIN").isEmpty(),
                 "QUILTREN_PG_DATOS y QUILTREN_PG_BIN no están definidas: ejecute con scripts/con-postgresql.sh");
        // Started again as it was: pg_ctl takes the options of the last start from the data folder.
        const QStringList arrancar = {"-D", datos, "-l", datos + QStringLiteral("/../reinicio.log"), "-w", "-t", "30", "restart"};
        quitar.accion = [arrancar, &salida] { return EjecutarPg(arrancar, &salida) == 0; };
        QVERIFY2(EjecutarPg({"-D", datos, "-w", "stop", "-m", "fast"}, &salida) == 0, qPrintable(salida));
    }

    // New rows until the fault refuses one, then a change and a delete.
    QStringList fallos;
    int rechazadas = 0;
    const auto escribir = [&](const QString& que, const std::function<void()>& accion, const std::function<void()>& hecha) {
        QElapsedTimer reloj;
        reloj.start();
        QString detalle = QStringLiteral("se escribió pese a la avería");
        const long numero = Intentar(accion, &detalle);
        if (numero == 0 && puedeHacerse)
            hecha();
        else if (!numeros.contains(numero))
            fallos << que + QStringLiteral(": ") + detalle;
        rechazadas += numero != 0;
        if (reloj.elapsed() > 3000)
            fallos << QStringLiteral("%1: %2 ms de espera").arg(que).arg(reloj.elapsed());
    };
    const QString largo(1500, QChar(u'ñ'));
    for (int i = 0; i < 400 && rechazadas == 0 && fallos.isEmpty(); ++i) {
        const QString codigo = QStringLiteral("L%1").arg(i);
        escribir(codigo, [&] { GuardarNueva(conexion, codigo, largo); }, [&] { modelo.insert(codigo, largo); });
    }
    escribir(QStringLiteral("cambio"), [&] { Modificar(conexion, QStringLiteral("02"), QStringLiteral("02"), largo); },
             [&] { modelo.insert(QStringLiteral("02"), largo); });
    escribir(QStringLiteral("borrado"), [&] { Borrar(conexion, QStringLiteral("03")); }, [&] { modelo.remove(QStringLiteral("03")); });
    QVERIFY2(fallos.isEmpty(), qPrintable(fallos.join(QStringLiteral(" | "))));
    QVERIFY2(rechazadas > 0, "la avería no llegó a rechazar ninguna escritura");
    // Reading goes on under the fault.
    if (!postgres)
        QCOMPARE(LeerTabla(*conexion), modelo);

    QVERIFY2(quitar(), qPrintable(salida));
    if (averia == QLatin1String("lectura"))
        conexion = base->Abrir(); // it was opened read-only
    // The window keeps its connection: it must serve again, after at most one more clear error
    // (a stopped server is found out on the next use).
    QString detalle;
    const auto guardar = [&] { GuardarNueva(conexion, QStringLiteral("Z1"), QStringLiteral("Sin avería")); };
    long numero = Intentar(guardar, &detalle);
    if (postgres && numeros.contains(numero))
        numero = Intentar(guardar, &detalle);
    QVERIFY2(numero == 0, qPrintable(QStringLiteral("tras quitar la avería: %1").arg(detalle)));
    QVERIFY2(Intentar([&] { Borrar(conexion, QStringLiteral("07")); }, &detalle) == 0, qPrintable(detalle));
    modelo.insert(QStringLiteral("Z1"), QStringLiteral("Sin avería"));
    modelo.remove(QStringLiteral("07"));
    const Tabla obtenida = LeerTabla(*base->Abrir());
    QVERIFY2(obtenida == modelo, qPrintable(Diferencias(modelo, obtenida)));
}

QTEST_GUILESS_MAIN(Averias)
#include "tst_Averias.moc"
