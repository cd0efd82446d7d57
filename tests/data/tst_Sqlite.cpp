// What only SQLite connections have: their settings, the Spanish collation, the lock of another
// writer, a read-only file, and rows reused between opens.

#include "BaseDePrueba.h"
#include "ErrorDatos.h"
#include "ErroresDatos.h"
#include "EsquemaProvincias.h"
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

    // A read-only recordset reads as it goes and drops rows behind it; every move must still
    // land on the row a fully read recordset gives, wherever the read is when it is asked.
    void lecturaAPlazos_data()
    {
        QTest::addColumn<int>("avance");
        QTest::addColumn<QString>("operacion");
        for (int avance : {0, 1024, 30000, 40000}) {
            for (const char* operacion : {"RecordCount", "MovePrevious", "MoveFirst", "MoveLast", "Find", "BuscarIgual"})
                QTest::addRow("%s tras %d filas", operacion, avance) << avance << QString::fromLatin1(operacion);
        }
    }

    void lecturaAPlazos()
    {
        QFETCH(int, avance);
        QFETCH(QString, operacion);
        const int total = 40000;
        LlenarProvinciasDePrueba(*m_conexion, total);
        const QString sentencia = QStringLiteral("SELECT Provincias.* From Provincias ORDER BY Provincias.Codigo");
        const auto codigo = [](qsizetype fila) { return QStringLiteral("%1").arg(fila + 1, 5, 10, QLatin1Char('0')); };

        Recordset rs;
        rs.Open(sentencia, m_conexion, Recordset::adOpenStatic, Recordset::adLockReadOnly, -1);
        for (int i = 0; i < avance; ++i) {
            if (rs.Fields("Codigo").Value().toString() != codigo(i))
                QFAIL(qPrintable(QStringLiteral("fila %1: %2").arg(i).arg(rs.Fields("Codigo").Value().toString())));
            rs.MoveNext();
            if (i == 20000) // a write on the same connection while the read is pending
                m_conexion->Execute("UPDATE Provincias SET Actualizado = 'x' WHERE Codigo = '00001'");
        }
        QCOMPARE(rs.Eof(), avance == total);

        qsizetype esperada = avance;
        if (operacion == "RecordCount") {
            QCOMPARE(rs.RecordCount(), long(total));
        } else if (operacion == "MovePrevious") {
            if (avance == 0) {
                rs.MovePrevious();
                QVERIFY(rs.Bof());
                return;
            }
            rs.MovePrevious();
            esperada = avance - 1;
        } else if (operacion == "MoveFirst") {
            rs.MoveFirst();
            esperada = 0;
        } else if (operacion == "MoveLast") {
            rs.MoveLast();
            esperada = total - 1;
        } else if (operacion == "Find") {
            rs.Find(QStringLiteral("Codigo = '%1'").arg(codigo(5)), 0, Recordset::adSearchForward, QVariant(qlonglong(0)));
            esperada = 5;
        } else {
            rs.BuscarIgual(QStringLiteral("Codigo"), codigo(total - 2));
            esperada = avance <= total - 2 ? total - 2 : total;
        }
        if (esperada == total) {
            QVERIFY(rs.Eof());
        } else {
            QCOMPARE(rs.Fields("Codigo").Value().toString(), codigo(esperada));
            QCOMPARE(rs.Fields("Provincia").Value().toString().section(QLatin1Char(' '), -1), QString::number(esperada + 1));
        }
        // Whatever the move, the rest reads on to the end in order.
        qsizetype fila = esperada;
        for (; !rs.Eof(); rs.MoveNext(), ++fila)
            QCOMPARE(rs.Fields("Codigo").Value().toString(), codigo(fila));
        QCOMPARE(fila, qsizetype(total));
    }
};

QTEST_GUILESS_MAIN(PruebaSqlite)
#include "tst_Sqlite.moc"
