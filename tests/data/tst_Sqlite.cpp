// What only SQLite connections have: their settings, the Spanish collation, the lock of another
// writer, a read-only file, and rows reused between opens.

#include "BaseDePrueba.h"
#include "ErrorDatos.h"
#include "ErroresDatos.h"
#include "Recordset.h"
#include "Sentencias.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QtTest>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace {

// Root writes through file permissions; the immutable flag stops it too.
bool MarcarInmutable(const QString& ruta, bool inmutable)
{
    const int descriptor = ::open(QFile::encodeName(ruta).constData(), O_RDONLY);
    if (descriptor < 0)
        return false;
    int marcas = 0;
    bool ok = ::ioctl(descriptor, FS_IOC_GETFLAGS, &marcas) == 0;
    if (ok) {
        marcas = inmutable ? (marcas | FS_IMMUTABLE_FL) : (marcas & ~FS_IMMUTABLE_FL);
        ok = ::ioctl(descriptor, FS_IOC_SETFLAGS, &marcas) == 0;
    }
    ::close(descriptor);
    return ok;
}

} // namespace

class PruebaSqlite : public QObject {
    Q_OBJECT

    std::unique_ptr<BaseDePrueba> m_base;
    ConnectionPtr m_conexion;

private slots:
    void init()
    {
        try {
            m_base = std::make_unique<BaseDePrueba>(false);
            m_conexion = Connection::Abrir(m_base->Origen());
        } catch (const ErrorDatos& error) {
            QFAIL(error.what());
        }
    }

    void cleanup()
    {
        m_conexion.reset();
        m_base.reset();
    }

    void ajustesDeConexion_data()
    {
        QTest::addColumn<QString>("consulta");
        QTest::addColumn<QString>("esperado");
        QTest::newRow("claves ajenas") << "PRAGMA foreign_keys" << "1";
        QTest::newRow("like distingue mayúsculas") << "SELECT 'a' LIKE 'A'" << "0";
        QTest::newRow("diario WAL") << "PRAGMA journal_mode" << "wal";
        QTest::newRow("colación es: Á con las A") << "SELECT 'Ávila' < 'Badajoz' COLLATE es" << "1";
        QTest::newRow("sin colación: orden de bytes") << "SELECT 'Ávila' < 'Badajoz'" << "0";
        QTest::newRow("S1 recorre solo el índice") << "EXPLAIN QUERY PLAN " + Sentencias::TodasPorNombre()
                                                   << "SCAN Provincias USING COVERING INDEX IxProvinciasNombre";
    }

    void ajustesDeConexion()
    {
        QFETCH(QString, consulta);
        QFETCH(QString, esperado);
        QSqlQuery q(m_conexion->Base());
        QVERIFY2(q.exec(consulta) && q.next(), qPrintable(q.lastError().text()));
        QCOMPARE(q.value(q.record().count() - 1).toString(), esperado);
    }

    void otroEscritorBloquea()
    {
        ConnectionPtr otra = Connection::Abrir(m_base->Origen());
        otra->Execute("BEGIN IMMEDIATE");
        otra->Execute("UPDATE Provincias SET Provincia = 'Álava del otro' WHERE Codigo = '01'");
        m_conexion->EstablecerEsperaBloqueo(100);

        // Readers still see the last committed rows.
        Recordset rs;
        rs.Open(Sentencias::PorCodigoParaModificar("02"), m_conexion, 2, 3, -1);
        rs.Collect("Provincia", "Albacete nueva");
        try {
            rs.Update();
            QFAIL("Update tenía que fallar: otra conexión tiene la base bloqueada");
        } catch (const ErrorDatos& error) {
            QCOMPARE(error.Number(), ErroresDatos::BaseBloqueada);
            QCOMPARE(error.NativeCode().toInt() & 0xff, 5);
            QVERIFY(!error.Description().isEmpty());
        }
        otra->Execute("ROLLBACK");
        // The edit stayed pending and goes through once the lock is gone.
        rs.Update();
        QCOMPARE(NombreDe(*m_conexion, "01"), QStringLiteral("Álava"));
        QCOMPARE(NombreDe(*m_conexion, "02"), QStringLiteral("Albacete nueva"));
    }

    void archivoSoloLectura()
    {
        const QString archivo = m_base->Origen();
        m_conexion.reset();
        QVERIFY(QFile::setPermissions(archivo, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
        const bool inmutable = ::geteuid() == 0;
        if (inmutable && !MarcarInmutable(archivo, true))
            QSKIP("Este sistema de archivos no permite que root deje un archivo de solo lectura");
        long numero = 0;
        QString descripcion;
        int filas = 0;
        try {
            ConnectionPtr conexion = Connection::Abrir(archivo);
            Recordset rs;
            rs.Open(Sentencias::TodasPorNombre(), conexion, 3, 1, -1);
            filas = rs.RecordCount();
            rs.Close();
            rs.Open(Sentencias::BorrarPorCodigo("52"), conexion, 2, 3, -1);
        } catch (const ErrorDatos& error) {
            numero = error.Number();
            descripcion = error.Description();
        }
        if (inmutable)
            MarcarInmutable(archivo, false);
        QFile::setPermissions(archivo, QFile::ReadOwner | QFile::WriteOwner);
        QCOMPARE(filas, 52);
        QCOMPARE(numero, ErroresDatos::SoloLectura);
        QVERIFY(!descripcion.isEmpty());
        ConnectionPtr conexion = Connection::Abrir(archivo);
        QCOMPARE(Escalar(*conexion, "SELECT COUNT(*) FROM Provincias").toInt(), 52);
    }

    // Rows kept from an earlier open must never outlive a change that was undone.
    void lecturaDentroDeTransaccionDeshecha()
    {
        const auto primerNombre = [&] {
            Recordset rs;
            rs.Open(Sentencias::TodasPorNombre(), m_conexion, 3, 1, -1);
            return rs.Fields("Provincia").Value().toString();
        };
        QCOMPARE(primerNombre(), QStringLiteral("A Coruña"));
        m_conexion->Execute("BEGIN");
        m_conexion->Execute("UPDATE Provincias SET Provincia = 'AAA' WHERE Codigo = '15'");
        QCOMPARE(primerNombre(), QStringLiteral("AAA"));
        m_conexion->Execute("ROLLBACK");
        QCOMPARE(primerNombre(), QStringLiteral("A Coruña"));
    }
};

QTEST_GUILESS_MAIN(PruebaSqlite)
#include "tst_Sqlite.moc"
