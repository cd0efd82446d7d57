// What only SQLite connections have: their settings, the Spanish collation and the lock of another
// writer. A read-only file and other faults are in tests/fallos.

#include "BaseDePrueba.h"
#include "ErrorDatos.h"
#include "ErroresDatos.h"
#include "Recordset.h"
#include "Sentencias.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QtTest>

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
};

QTEST_GUILESS_MAIN(PruebaSqlite)
#include "tst_Sqlite.moc"
