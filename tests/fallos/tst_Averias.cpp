// The database under the data layer breaks: the disk fills up, the file is read-only, another
// process holds the write lock, the PostgreSQL server stops and comes back. Each write gives a
// clear error (a number of the layer and a description), what was committed stays, and the same
// connection works again once the fault is gone.

#include "ApoyoFallos.h"
#include "ErrorDatos.h"
#include "ErroresDatos.h"
#include "Recordset.h"
#include "Sentencias.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QUrl>
#include <QtTest>

#include <sys/fsuid.h>
#include <sys/mount.h>
#include <unistd.h>

using namespace ApoyoFallos;

namespace {

// The save of a new province as the window does it; throws ErrorDatos on refusal.
void GuardarNueva(const ConnectionPtr& conexion, const QString& codigo, const QString& nombre)
{
    Recordset rs;
    rs.Open(Sentencias::TodasLasColumnas(), conexion, 2, 3, -1);
    rs.AddNew();
    rs.Collect(QStringLiteral("Codigo"), codigo);
    rs.Collect(QStringLiteral("Provincia"), nombre);
    rs.Collect(QStringLiteral("Actualizado"), QStringLiteral("01/01/2024"));
    rs.Collect(QStringLiteral("ModificadoPor"), QStringLiteral("averías"));
    try {
        rs.Update();
    } catch (const ErrorDatos&) {
        rs.CancelUpdate();
        throw;
    }
    rs.Close();
}

void ModificarNombre(const ConnectionPtr& conexion, const QString& codigo, const QString& nombre)
{
    Recordset rs;
    rs.Open(Sentencias::PorCodigoParaModificar(codigo), conexion, 2, 3, -1);
    rs.Collect(QStringLiteral("Provincia"), nombre);
    try {
        rs.Update();
    } catch (const ErrorDatos&) {
        rs.CancelUpdate();
        throw;
    }
    rs.Close();
}

void Borrar(const ConnectionPtr& conexion, const QString& codigo)
{
    Recordset rs;
    rs.Open(Sentencias::BorrarPorCodigo(codigo), conexion, 2, 3, -1);
}

QString Describir(const ErrorDatos& error)
{
    return QStringLiteral("%1 %2 (%3)").arg(error.Number()).arg(error.Description(), error.NativeCode());
}

// A small tmpfs mounted for one test and unmounted whatever happens.
class Montaje {
public:
    explicit Montaje(const QString& carpeta) : m_carpeta(carpeta)
    {
        m_montado = ::mount("tmpfs", QFile::encodeName(carpeta).constData(), "tmpfs", 0, "size=512k,mode=0777") == 0;
    }
    ~Montaje()
    {
        if (m_montado)
            ::umount2(QFile::encodeName(m_carpeta).constData(), MNT_DETACH);
    }
    bool Montado() const { return m_montado; }

private:
    QString m_carpeta;
    bool m_montado = false;
};

} // namespace

class Averias : public QObject {
    Q_OBJECT

private slots:
#if MOTOR_POSTGRESQL
    void servidorParadoYVuelto();
#else
    void discoLleno();
    void archivoSoloLectura();
    void bloqueoDeOtroProceso();
#endif
};

#if MOTOR_POSTGRESQL

namespace {

// Runs the PostgreSQL tools as the owner of the data directory, as the test server does.
int EjecutarPg(const QStringList& argumentos, QString* salida = nullptr)
{
    const QString herramienta = qEnvironmentVariable("QUILTREN_PG_BIN") + QStringLiteral("/pg_ctl");
    QProcess proceso;
    proceso.setProcessChannelMode(QProcess::MergedChannels);
    if (geteuid() == 0)
        proceso.start(QStringLiteral("runuser"), QStringList{QStringLiteral("-u"), QStringLiteral("postgres"), QStringLiteral("--"), herramienta} + argumentos);
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
    const QString datos = qEnvironmentVariable("QUILTREN_PG_DATOS");
    QVERIFY2(!datos.isEmpty() && !qEnvironmentVariable("QUILTREN_PG_BIN").isEmpty(),
             "QUILTREN_PG_DATOS y QUILTREN_PG_BIN no están definidas: ejecute con scripts/con-postgresql.sh");
    std::unique_ptr<BasePrueba> base;
    try {
        base = std::make_unique<BasePrueba>(true);
    } catch (const ErrorDatos& error) {
        QFAIL(error.what());
    }
    ConnectionPtr conexion = base->Abrir();
    Tabla modelo = LeerTabla(*conexion);
    GuardarNueva(conexion, QStringLiteral("A1"), QStringLiteral("Antes de parar"));
    modelo.insert(QStringLiteral("A1"), QStringLiteral("Antes de parar"));

    const QUrl servidor(UrlServidorPostgres());
    const QString carpeta = QFileInfo(datos).absolutePath();
    const QStringList arrancar = {
        QStringLiteral("-D"), datos, QStringLiteral("-l"), carpeta + QStringLiteral("/reinicio.log"), QStringLiteral("-w"),
        QStringLiteral("-t"), QStringLiteral("30"), QStringLiteral("start"), QStringLiteral("-o"),
        QStringLiteral("-c listen_addresses=127.0.0.1 -p %1 -k %2 -c fsync=off -c max_connections=200").arg(servidor.port()).arg(carpeta)};
    // Whatever fails below, the server is started again for the tests after this one.
    struct Arrancar {
        QStringList argumentos;
        ~Arrancar() { EjecutarPg(argumentos); }
    } volverAArrancar{arrancar};

    QString salida;
    QVERIFY2(EjecutarPg({QStringLiteral("-D"), datos, QStringLiteral("-w"), QStringLiteral("stop"), QStringLiteral("-m"), QStringLiteral("fast")}, &salida) == 0,
             qPrintable(salida));

    for (const auto& [nombre, operacion] : std::initializer_list<std::pair<const char*, std::function<void()>>>{
             {"guardar", [&] { GuardarNueva(conexion, QStringLiteral("P1"), QStringLiteral("Parado")); }},
             {"modificar", [&] { ModificarNombre(conexion, QStringLiteral("A1"), QStringLiteral("Parado")); }},
             {"borrar", [&] { Borrar(conexion, QStringLiteral("01")); }}}) {
        try {
            operacion();
            QFAIL(qPrintable(QStringLiteral("%1 con el servidor parado no dio error").arg(QLatin1String(nombre))));
        } catch (const ErrorDatos& error) {
            // The first failure finds the server gone; later ones find the connection closed.
            QVERIFY2((error.Number() == ErroresDatos::FalloConexion || error.Number() == ErroresDatos::ConexionNoValida)
                         && !error.Description().isEmpty(),
                     qPrintable(QStringLiteral("%1: %2").arg(QLatin1String(nombre), Describir(error))));
        }
    }

    QVERIFY2(EjecutarPg(arrancar, &salida) == 0, qPrintable(salida));
    // The window keeps its connection: once the server is back it must serve again, after at
    // most one more clear error.
    bool guardado = false;
    QString ultimo;
    for (int intento = 0; intento < 2 && !guardado; ++intento) {
        try {
            GuardarNueva(conexion, QStringLiteral("D1"), QStringLiteral("Después de volver"));
            guardado = true;
        } catch (const ErrorDatos& error) {
            ultimo = Describir(error);
            QVERIFY2(error.Number() == ErroresDatos::FalloConexion || error.Number() == ErroresDatos::ConexionNoValida,
                     qPrintable(ultimo));
        }
    }
    QVERIFY2(guardado, qPrintable(QStringLiteral("la conexión no sirve tras volver el servidor: %1").arg(ultimo)));
    modelo.insert(QStringLiteral("D1"), QStringLiteral("Después de volver"));
    const Tabla obtenida = LeerTabla(*base->Abrir());
    QVERIFY2(obtenida == modelo, qPrintable(Diferencias(modelo, obtenida)));
}

#else

void Averias::discoLleno()
{
    QTemporaryDir carpeta;
    QVERIFY(carpeta.isValid());
    const Montaje montaje(carpeta.path());
    QVERIFY2(montaje.Montado(),
             qPrintable(QStringLiteral("No se pudo montar un tmpfs de 512 KiB en %1 (%2): esta prueba necesita ser root")
                            .arg(carpeta.path(), QString::fromLocal8Bit(strerror(errno)))));
    std::unique_ptr<BasePrueba> base;
    try {
        base = std::make_unique<BasePrueba>(false, carpeta.path());
    } catch (const ErrorDatos& error) {
        QFAIL(error.what());
    }
    ConnectionPtr conexion = base->Abrir();
    Tabla modelo = LeerTabla(*conexion);

    // Fill what is left of the disk.
    {
        QFile relleno(carpeta.filePath(QStringLiteral("relleno")));
        QVERIFY(relleno.open(QIODevice::WriteOnly));
        const QByteArray bloque(4096, 'x');
        while (relleno.write(bloque) == bloque.size() && relleno.flush()) {}
        while (relleno.write("x", 1) == 1 && relleno.flush()) {}
    }

    const QString largo(1500, QChar(u'ñ'));
    int rechazadas = 0, hechas = 0;
    for (int i = 0; i < 400 && rechazadas < 5; ++i) {
        const QString codigo = QStringLiteral("L%1").arg(i);
        try {
            GuardarNueva(conexion, codigo, largo);
            modelo.insert(codigo, largo);
            ++hechas;
        } catch (const ErrorDatos& error) {
            QVERIFY2(error.Number() == ErroresDatos::ErrorEntradaSalida && !error.Description().isEmpty(),
                     qPrintable(Describir(error)));
            ++rechazadas;
        }
    }
    QVERIFY2(rechazadas > 0, "el disco lleno no llegó a rechazar ningún guardado");
    // A change and a delete on a full disk: done, or refused with the same clear error.
    for (const auto& [codigo, borrar] : {std::pair{QStringLiteral("02"), false}, std::pair{QStringLiteral("03"), true}}) {
        try {
            if (borrar) {
                Borrar(conexion, codigo);
                modelo.remove(codigo);
            } else {
                ModificarNombre(conexion, codigo, largo);
                modelo.insert(codigo, largo);
            }
        } catch (const ErrorDatos& error) {
            QVERIFY2(error.Number() == ErroresDatos::ErrorEntradaSalida, qPrintable(Describir(error)));
        }
    }
    QVERIFY2(LeerTabla(*conexion) == modelo, qPrintable(Diferencias(modelo, LeerTabla(*conexion))));

    // Room again: the same connection saves, and everything committed is there.
    QVERIFY(QFile::remove(carpeta.filePath(QStringLiteral("relleno"))));
    try {
        GuardarNueva(conexion, QStringLiteral("Z1"), QStringLiteral("Con sitio"));
    } catch (const ErrorDatos& error) {
        QFAIL(qPrintable(QStringLiteral("tras liberar el disco: %1").arg(Describir(error))));
    }
    modelo.insert(QStringLiteral("Z1"), QStringLiteral("Con sitio"));
    conexion.reset();
    ConnectionPtr otra = base->Abrir();
    QCOMPARE(ComprobarIntegridad(*otra), QStringLiteral("ok"));
    const Tabla obtenida = LeerTabla(*otra);
    QVERIFY2(obtenida == modelo, qPrintable(Diferencias(modelo, obtenida)));
    qInfo("%d guardados antes de llenarse, %d rechazados", hechas, rechazadas);
}

void Averias::archivoSoloLectura()
{
    QTemporaryDir carpeta;
    QVERIFY(carpeta.isValid());
    QVERIFY(QFile::setPermissions(carpeta.path(), QFileDevice::Permissions(0x7777)));
    std::unique_ptr<BasePrueba> base;
    try {
        base = std::make_unique<BasePrueba>(false, carpeta.path());
    } catch (const ErrorDatos& error) {
        QFAIL(error.what());
    }
    const Tabla modelo = LeerTabla(*base->Abrir());
    QVERIFY(QFile::setPermissions(base->Archivo(), QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));

    // Root writes through any permission: the file checks are made as an ordinary user instead.
    const bool root = geteuid() == 0;
    if (root)
        setfsuid(65534);
    QStringList errores;
    try {
        ConnectionPtr conexion = base->Abrir();
        QCOMPARE(LeerTabla(*conexion), modelo);
        for (int paso = 0; paso < 3; ++paso) {
            try {
                if (paso == 0)
                    GuardarNueva(conexion, QStringLiteral("R1"), QStringLiteral("Solo lectura"));
                else if (paso == 1)
                    ModificarNombre(conexion, QStringLiteral("04"), QStringLiteral("Solo lectura"));
                else
                    Borrar(conexion, QStringLiteral("05"));
                errores << QStringLiteral("el paso %1 escribió en un archivo de solo lectura").arg(paso);
            } catch (const ErrorDatos& error) {
                if (error.Number() != ErroresDatos::SoloLectura || error.Description().isEmpty())
                    errores << Describir(error);
            }
        }
    } catch (const ErrorDatos& error) {
        // A read-only database can still be read: opening it must not fail.
        errores << QStringLiteral("al abrir: %1").arg(Describir(error));
    }
    if (root)
        setfsuid(0);
    QVERIFY2(errores.isEmpty(), qPrintable(errores.join(QStringLiteral(" | "))));

    QVERIFY(QFile::setPermissions(base->Archivo(), QFile::ReadOwner | QFile::WriteOwner));
    ConnectionPtr conexion = base->Abrir();
    QCOMPARE(ComprobarIntegridad(*conexion), QStringLiteral("ok"));
    QCOMPARE(LeerTabla(*conexion), modelo);
}

void Averias::bloqueoDeOtroProceso()
{
    std::unique_ptr<BasePrueba> base;
    try {
        base = std::make_unique<BasePrueba>(false);
    } catch (const ErrorDatos& error) {
        QFAIL(error.what());
    }
    ConnectionPtr conexion = base->Abrir();
    conexion->EstablecerEsperaBloqueo(300);
    Tabla modelo = LeerTabla(*conexion);

    QProcess bloqueador;
    bloqueador.start(QStringLiteral(RUTA_ESCRITOR), {QStringLiteral("bloquear"), base->Origen()});
    QByteArray salida;
    while (!salida.contains("bloqueado") && bloqueador.waitForReadyRead(10000))
        salida += bloqueador.readAllStandardOutput();
    QVERIFY2(salida.contains("bloqueado"), bloqueador.readAllStandardError().constData());

    for (int paso = 0; paso < 3; ++paso) {
        QElapsedTimer reloj;
        reloj.start();
        try {
            if (paso == 0)
                GuardarNueva(conexion, QStringLiteral("B1"), QStringLiteral("Bloqueada"));
            else if (paso == 1)
                ModificarNombre(conexion, QStringLiteral("06"), QStringLiteral("Bloqueada"));
            else
                Borrar(conexion, QStringLiteral("07"));
            QFAIL(qPrintable(QStringLiteral("el paso %1 escribió pese al bloqueo").arg(paso)));
        } catch (const ErrorDatos& error) {
            QVERIFY2(error.Number() == ErroresDatos::BaseBloqueada && !error.Description().isEmpty(), qPrintable(Describir(error)));
        }
        // It waits for the lock as long as it was told, not for ever.
        QVERIFY2(reloj.elapsed() < 3000, qPrintable(QStringLiteral("%1 ms").arg(reloj.elapsed())));
    }
    // Reading goes on while another process writes.
    QCOMPARE(LeerTabla(*conexion), modelo);

    bloqueador.write("\n");
    bloqueador.closeWriteChannel();
    QVERIFY(bloqueador.waitForFinished(10000));
    try {
        GuardarNueva(conexion, QStringLiteral("B1"), QStringLiteral("Libre"));
        Borrar(conexion, QStringLiteral("07"));
    } catch (const ErrorDatos& error) {
        QFAIL(qPrintable(QStringLiteral("tras soltar el bloqueo: %1").arg(Describir(error))));
    }
    modelo.insert(QStringLiteral("B1"), QStringLiteral("Libre"));
    modelo.remove(QStringLiteral("07"));
    QCOMPARE(LeerTabla(*base->Abrir()), modelo);
}

#endif

QTEST_GUILESS_MAIN(Averias)
#include "tst_Averias.moc"
