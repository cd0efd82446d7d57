// The data layer against a real engine: the same cases on SQLite and on PostgreSQL (QUILTREN_MOTOR
// chooses), each run on a database of its own; the guard on codes; what only SQLite connections have.

#include "Apoyo.h"
#include "BasePrueba.h"
#include "ErrorDatos.h"
#include "ErroresDatos.h"
#include "EsquemaProvincias.h"
#include "Recordset.h"
#include "Sentencias.h"

#include <QCollator>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QtTest>

#include <functional>

namespace {

const bool Postgres = BasePrueba::EnPostgres();
using Accion = std::function<void(Recordset&, const ConnectionPtr&)>;

int Contar(Connection& conexion, const QString& donde = {})
{
    return Escalar(conexion, "SELECT COUNT(*) FROM Provincias " + donde).toInt();
}

QStringList Columna(Recordset& rs, const char* campo)
{
    QStringList valores;
    for (; !rs.Eof(); rs.MoveNext())
        valores << rs.Fields(campo).Value().toString();
    return valores;
}

void Agregar(Recordset& rs, const ConnectionPtr& conexion, const QString& codigo, const QString& nombre)
{
    rs.Open(Sentencias::TodasLasColumnas(), conexion, 2, 3, -1);
    rs.AddNew();
    rs.Collect("Codigo", codigo);
    rs.Collect("Provincia", nombre);
    rs.Update();
    rs.Close();
}

void Agregar(const ConnectionPtr& conexion, const QString& codigo, const QString& nombre)
{
    Recordset rs;
    Agregar(rs, conexion, codigo, nombre);
}

} // namespace

Q_DECLARE_METATYPE(Accion)

class PruebaDatos : public QObject {
    Q_OBJECT

    std::unique_ptr<BasePrueba> m_base;
    ConnectionPtr m_conexion;

private slots:
    void initTestCase()
    {
        try {
            m_base = std::make_unique<BasePrueba>();
            m_conexion = m_base->Conexion();
        } catch (const ErrorDatos& error) {
            QFAIL(error.what());
        }
    }

    void init()
    {
        try {
            m_base->Reiniciar(*m_conexion);
        } catch (const ErrorDatos& error) {
            QFAIL(error.what());
        }
    }

    void cleanupTestCase()
    {
        m_conexion.reset();
        m_base.reset();
    }

    // The statements that read several rows (those that name one code are in codigoExacto).
    void sentenciasAceptadas_data()
    {
        QTest::addColumn<QString>("sentencia");
        QTest::addColumn<int>("filas");
        QTest::addColumn<QString>("primerCodigo");
        QTest::newRow("S1") << Sentencias::TodasPorNombre() << 52 << "15";
        QTest::newRow("S2") << Sentencias::TodasLasColumnas() << 52 << "";
        QTest::newRow("S8 por código") << Sentencias::Listado(true) << 52 << "01";
        QTest::newRow("S8 por nombre") << Sentencias::Listado(false) << 52 << "15";
        QTest::newRow("S9 por código") << Sentencias::ListadoConRango("10", "15", true) << 6 << "10";
        QTest::newRow("S9 por nombre") << Sentencias::ListadoConRango("10", "15", false) << 6 << "15";
        QTest::newRow("S9 hasta vacío") << Sentencias::ListadoConRango("10", "", true) << 0 << "";
    }

    void sentenciasAceptadas()
    {
        QFETCH(QString, sentencia);
        QFETCH(int, filas);
        QFETCH(QString, primerCodigo);
        Recordset rs;
        try {
            rs.Open(sentencia, m_conexion, 3, 1, -1);
        } catch (const ErrorDatos& error) {
            QFAIL(error.what());
        }
        QCOMPARE(rs.RecordCount(), long(filas));
        if (!primerCodigo.isEmpty())
            QCOMPARE(rs.Fields("Codigo").Value().toString(), primerCodigo);
    }

    void ordenEspanol()
    {
        Recordset rs;
        rs.Open(Sentencias::TodasPorNombre(), m_conexion, 3, 1, -1);
        const QStringList nombres = Columna(rs, "Provincia");
        QStringList esperados = nombres;
        std::sort(esperados.begin(), esperados.end(), QCollator(QLocale(QLocale::Spanish, QLocale::Spain)));
        QCOMPARE(nombres, esperados);
        QCOMPARE(nombres.mid(0, 8),
                 QStringList({"A Coruña", "Álava", "Albacete", "Alicante", "Almería", "Asturias", "Ávila", "Badajoz"}));
        QCOMPARE(nombres.last(), QStringLiteral("Zaragoza"));
    }

    // A code pasted into a statement names that one row: letter case and trailing spaces count,
    // quotes are doubled, and no code can widen or close the condition.
    void codigoExacto_data()
    {
        QTest::addColumn<QString>("codigo");
        QTest::addColumn<QString>("encontrado"); // empty: no row
        QTest::newRow("minúsculas") << "ab" << "ab";
        QTest::newRow("mayúsculas") << "AB" << "AB";
        QTest::newRow("espacio final") << "ab " << "ab ";
        QTest::newRow("mezcla no guardada") << "Ab" << "";
        QTest::newRow("dos espacios finales") << "ab  " << "";
        QTest::newRow("espacio inicial") << " ab" << "";
        QTest::newRow("comilla en un código guardado") << "O'1" << "O'1";
        QTest::newRow("código que intenta ampliar la condición") << "x' OR 'a'='a" << "";
        QTest::newRow("código que intenta cerrar la sentencia") << "x')) OR ((1=1" << "";
    }

    void codigoExacto()
    {
        QFETCH(QString, codigo);
        QFETCH(QString, encontrado);
        for (const char* guardado : {"ab", "AB", "ab ", "O'1"})
            Agregar(m_conexion, guardado, "Guardado");
        const QStringList esperados = encontrado.isEmpty() ? QStringList() : QStringList{encontrado};
        try {
            for (const QString& sentencia : {Sentencias::ComprobarCodigo(codigo), Sentencias::MostrarPorCodigo(codigo),
                                             Sentencias::VerificarCambios(codigo), Sentencias::PorCodigoParaModificar(codigo)}) {
                Recordset rs;
                rs.Open(sentencia, m_conexion, 2, 3, -1);
                QCOMPARE(Columna(rs, "Codigo"), esperados);
            }
            Recordset rs;
            rs.Open(Sentencias::TodasPorNombre(), m_conexion, 2, 3, -1);
            rs.Find(Sentencias::CriterioCodigoComo(codigo));
            QCOMPARE(rs.Eof() ? QStringList() : QStringList{rs.Fields("Codigo").Value().toString()}, esperados);
            rs.Close();
            rs.Open(Sentencias::BorrarPorCodigo(codigo), m_conexion, 2, 3, -1);
        } catch (const ErrorDatos& error) {
            QFAIL(error.what());
        }
        QCOMPARE(Contar(*m_conexion), 56 - int(esperados.size()));
    }

    void find_data()
    {
        QTest::addColumn<QString>("criterio");
        QTest::addColumn<QString>("desde"); // code of the row to start at; empty: the first row
        QTest::addColumn<int>("salto");
        QTest::addColumn<int>("direccion");
        QTest::addColumn<QString>("esperado"); // a code, "EOF" or "BOF"
        QTest::newRow("=") << "Codigo = '28'" << "" << 0 << 1 << "28";
        QTest::newRow("<>") << "Codigo <> '01'" << "" << 0 << 1 << "02";
        QTest::newRow("< cumple la fila actual") << "Codigo < '03'" << "" << 0 << 1 << "01";
        QTest::newRow("< hacia atrás") << "Codigo < '10'" << "30" << 0 << -1 << "09";
        QTest::newRow(">=") << "Codigo >= '50'" << "" << 0 << 1 << "50";
        QTest::newRow("<= saltando uno") << "Codigo <= '05'" << "03" << 1 << 1 << "04";
        QTest::newRow("like * al final") << "Codigo like '2*'" << "" << 0 << 1 << "20";
        QTest::newRow("like % al final") << "Codigo like '3%'" << "" << 0 << 1 << "30";
        QTest::newRow("like _") << "Codigo like '_8'" << "" << 0 << 1 << "08";
        QTest::newRow("like * en medio") << "Provincia like 'S*a'" << "" << 0 << 1 << "37";
        QTest::newRow("like sin comodín") << "Provincia like 'Madrid'" << "" << 0 << 1 << "28";
        QTest::newRow("like distingue mayúsculas") << "Provincia like 'madrid'" << "" << 0 << 1 << "EOF";
        QTest::newRow("= cuenta los espacios finales") << "Provincia = 'Madrid '" << "" << 0 << 1 << "EOF";
        QTest::newRow("campo en minúsculas") << "codigo = '28'" << "" << 0 << 1 << "28";
        QTest::newRow("fallo hacia delante deja EOF") << "Codigo = '99'" << "" << 0 << 1 << "EOF";
        QTest::newRow("fallo hacia atrás deja BOF") << "Codigo > '50'" << "10" << 0 << -1 << "BOF";
    }

    void find()
    {
        QFETCH(QString, criterio);
        QFETCH(QString, desde);
        QFETCH(int, salto);
        QFETCH(int, direccion);
        QFETCH(QString, esperado);
        Recordset rs;
        try {
            rs.Open("SELECT Codigo, Provincia FROM Provincias ORDER BY Codigo", m_conexion, 2, 3, -1);
            while (!desde.isEmpty() && rs.Fields("Codigo").Value().toString() != desde)
                rs.MoveNext();
            rs.Find(criterio, salto, direccion);
            QCOMPARE(rs.Eof() ? "EOF" : rs.Bof() ? "BOF" : rs.Fields("Codigo").Value().toString(), esperado);
        } catch (const ErrorDatos& error) {
            QFAIL(error.what());
        }
    }

    // Failures of the engine: the exact number, the driver's code, and the table as it was.
    void erroresDelMotor_data()
    {
        QTest::addColumn<Accion>("accion");
        QTest::addColumn<long>("numero");
        QTest::addColumn<QStringList>("nativos"); // empty: any
        const QStringList duplicado = Postgres ? QStringList{"23505"} : QStringList{"1555", "2067"};
        const auto abrir = [](const QString& sentencia) {
            return Accion([=](Recordset& rs, const ConnectionPtr& c) { rs.Open(sentencia, c, 2, 3, -1); });
        };
        QTest::newRow("alta duplicada") << Accion([](Recordset& rs, const ConnectionPtr& c) {
            Agregar(rs, c, "28", "Otra Madrid");
        }) << ErroresDatos::ViolacionIntegridad << duplicado;
        QTest::newRow("código duplicado al modificar") << Accion([](Recordset& rs, const ConnectionPtr& c) {
            rs.Open(Sentencias::PorCodigoParaModificar("30"), c, 2, 3, -1);
            rs.Collect("Codigo", "28");
            rs.Update();
        }) << ErroresDatos::ViolacionIntegridad << duplicado;
        QTest::newRow("borrado con datos relacionados") << abrir(Sentencias::BorrarPorCodigo("28"))
            << ErroresDatos::ViolacionIntegridad << QStringList{Postgres ? "23503" : "787"};
        QTest::newRow("sintaxis") << abrir("SELEC * FROM Provincias") << ErroresDatos::ErrorSintaxis << QStringList();
        QTest::newRow("comilla sin doblar") << abrir("DELETE From Provincias WHERE (((Provincias.Codigo) Like 'O'1'))")
                                            << ErroresDatos::ErrorSintaxis << QStringList();
        QTest::newRow("tabla inexistente") << abrir("SELECT * FROM NoExiste") << ErroresDatos::TablaNoExiste
                                           << QStringList{Postgres ? "42P01" : "1"};
        QTest::newRow("columna inexistente") << abrir("SELECT Nada FROM Provincias") << ErroresDatos::ColumnaNoExiste
                                             << QStringList{Postgres ? "42703" : "1"};
        QTest::newRow("nombre nulo") << abrir("INSERT INTO Provincias (Codigo) VALUES ('99')")
                                     << ErroresDatos::RestriccionIncumplida << QStringList{Postgres ? "23502" : "1299"};
        // Refused before the engine would alter them: no native code.
        QTest::newRow("nombre con media pareja UTF-16") << Accion([](Recordset& rs, const ConnectionPtr& c) {
            Agregar(rs, c, "99", "Mal" + QString(QChar(0xD800)));
        }) << ErroresDatos::ConversionNoValida << QStringList{""};
        QTest::newRow("sentencia con carácter nulo") << abrir(Sentencias::ComprobarCodigo(QString("28") + QChar(0)))
                                                     << ErroresDatos::ConversionNoValida << QStringList{""};
        if (Postgres)
            QTest::newRow("nombre con carácter nulo") << Accion([](Recordset& rs, const ConnectionPtr& c) {
                Agregar(rs, c, "99", QString("Mal") + QChar(0));
            }) << ErroresDatos::ConversionNoValida << QStringList{""};
    }

    void erroresDelMotor()
    {
        QFETCH(Accion, accion);
        QFETCH(long, numero);
        QFETCH(QStringList, nativos);
        Recordset rs;
        try {
            accion(rs, m_conexion);
            QFAIL("La base de datos tenía que rechazar la operación");
        } catch (const ErrorDatos& error) {
            QCOMPARE(error.Number(), numero);
            QVERIFY2(nativos.isEmpty() ? !error.NativeCode().isEmpty() : nativos.contains(error.NativeCode()),
                     qPrintable(error.NativeCode()));
            QVERIFY(!error.Description().isEmpty());
            QVERIFY(!error.Statement().isEmpty());
        }
        rs.CancelUpdate();
        rs.CancelBatch(3);
        QCOMPARE(Contar(*m_conexion), 52);
        QCOMPARE(NombreDe(*m_conexion, "28"), QStringLiteral("Madrid"));
        QCOMPARE(NombreDe(*m_conexion, "30"), QStringLiteral("Murcia"));
    }

    void filaCambiadaPorOtraConexion_data()
    {
        QTest::addColumn<QString>("cambioDelOtro");
        QTest::addColumn<int>("filasDespues");
        QTest::addColumn<QString>("nombreDel30"); // empty: no row
        QTest::newRow("la borra") << Sentencias::BorrarPorCodigo("30") << 51 << "";
        QTest::newRow("le cambia el código") << "UPDATE Provincias SET Codigo = '99' WHERE Codigo = '30'" << 52 << "";
        QTest::newRow("le cambia el nombre") << "UPDATE Provincias SET Provincia = 'Murcia del otro' WHERE Codigo = '30'"
                                             << 52 << "Murcia del otro";
    }

    void filaCambiadaPorOtraConexion()
    {
        QFETCH(QString, cambioDelOtro);
        QFETCH(int, filasDespues);
        QFETCH(QString, nombreDel30);
        Recordset rs;
        rs.Open(Sentencias::PorCodigoParaModificar("30"), m_conexion, 2, 3, -1);
        Connection::Abrir(m_base->Origen())->Execute(cambioDelOtro);
        rs.Collect("Codigo", "30");
        rs.Collect("Provincia", "Murcia editada");
        QCOMPARE(NumeroDeError<ErrorDatos>([&] { rs.Update(); }), ErroresDatos::FilaDesaparecida);
        rs.CancelUpdate();
        QCOMPARE(Contar(*m_conexion), filasDespues);
        QCOMPARE(Contar(*m_conexion, "WHERE Provincia = 'Murcia editada'"), 0);
        QCOMPARE(Contar(*m_conexion, "WHERE Codigo = '30'"), nombreDel30.isEmpty() ? 0 : 1);
        if (!nombreDel30.isEmpty())
            QCOMPARE(NombreDe(*m_conexion, "30"), nombreDel30);
        QCOMPARE(Escalar(*m_conexion, "SELECT COUNT(DISTINCT Codigo) FROM Provincias").toInt(), filasDespues);
    }

    // Every column of a new row is stored; a new code goes to the row found by the code it had;
    // a change undone before Update leaves the field as it was.
    void altaYModificacion()
    {
        try {
            Recordset rs;
            rs.Open(Sentencias::TodasLasColumnas(), m_conexion, 2, 3, -1);
            rs.AddNew();
            for (const char* campo : {"Codigo", "Provincia", "Actualizado", "ModificadoPor"})
                rs.Collect(campo, QStringLiteral("53 %1").arg(campo));
            rs.Update();
            QCOMPARE(rs.Fields("Codigo").Value().toString(), QStringLiteral("53 Codigo"));
            rs.Requery(-1);
            QCOMPARE(rs.RecordCount(), 53L);
            rs.Close();
            QCOMPARE(Escalar(*m_conexion, "SELECT ModificadoPor FROM Provincias WHERE Codigo = '53 Codigo'").toString(),
                     QStringLiteral("53 ModificadoPor"));

            rs.Open(Sentencias::PorCodigoParaModificar("53 Codigo"), m_conexion, 2, 3, -1);
            rs.Collect("Codigo", "54");
            rs.Update();
            rs.Collect("Provincia", "Descartada");
            rs.CancelUpdate();
            QCOMPARE(rs.Fields("Provincia").Value().toString(), QStringLiteral("53 Provincia"));
            rs.Close();
            QCOMPARE(Contar(*m_conexion), 53);
            QCOMPARE(NombreDe(*m_conexion, "54"), QStringLiteral("53 Provincia"));
        } catch (const ErrorDatos& error) {
            QFAIL(error.what());
        }
    }

    void usoIncorrecto_data()
    {
        QTest::addColumn<Accion>("accion");
        QTest::addColumn<long>("numero"); // 0: no error
        const QString s1 = Sentencias::TodasPorNombre();
        const auto en = [=](int cursor, int bloqueo, std::function<void(Recordset&)> resto) {
            return Accion([=](Recordset& rs, const ConnectionPtr& c) { rs.Open(s1, c, cursor, bloqueo, -1); resto(rs); });
        };
        QTest::newRow("Open sobre abierto") << Accion([=](Recordset& rs, const ConnectionPtr& c) {
            rs.Open(s1, c, 2, 3, -1);
            rs.Open(s1, c, 2, 3, -1);
        }) << ErroresDatos::ObjetoAbierto;
        QTest::newRow("un DELETE deja el recordset cerrado") << Accion([](Recordset& rs, const ConnectionPtr& c) {
            rs.Open(Sentencias::BorrarPorCodigo("52"), c, 2, 3, -1);
            rs.MoveFirst();
        }) << ErroresDatos::ObjetoCerrado;
        QTest::newRow("Collect en solo lectura") << en(3, 1, [](Recordset& rs) { rs.Collect("Provincia", "X"); })
                                                 << ErroresDatos::NoActualizable;
        QTest::newRow("AddNew en consulta de dos tablas") << Accion([](Recordset& rs, const ConnectionPtr& c) {
            rs.Open("SELECT Provincias.Codigo, Municipios.Municipio FROM Provincias, Municipios", c, 2, 3, -1);
            rs.AddNew();
        }) << ErroresDatos::NoActualizable;
        QTest::newRow("mover con cambios pendientes") << en(2, 3, [](Recordset& rs) { rs.Collect("Provincia", "X"); rs.MoveNext(); })
                                                      << ErroresDatos::EdicionPendiente;
    }

    void usoIncorrecto()
    {
        QFETCH(Accion, accion);
        QFETCH(long, numero);
        Recordset rs;
        QCOMPARE(NumeroDeError<ErrorDatos>([&] { accion(rs, m_conexion); }), numero);
    }

    // Whatever the recordset keeps between opens, a new open shows every change made since,
    // and none that was undone.
    void cambiosVisiblesAlReabrir_data()
    {
        QTest::addColumn<bool>("otraConexion");
        QTest::addColumn<bool>("conRecordset");
        QTest::addColumn<bool>("deshecho");
        QTest::newRow("otra conexión") << true << false << false;
        QTest::newRow("la misma conexión, consulta directa") << false << false << false;
        QTest::newRow("la misma conexión, con recordset") << false << true << false;
        QTest::newRow("la misma conexión, en una transacción deshecha") << false << false << true;
    }

    void cambiosVisiblesAlReabrir()
    {
        QFETCH(bool, otraConexion);
        QFETCH(bool, conRecordset);
        QFETCH(bool, deshecho);
        const auto nombreDe28 = [&] {
            Recordset rs;
            rs.Open(Sentencias::TodasPorNombre(), m_conexion, 3, 1, -1);
            rs.Find(Sentencias::CriterioCodigoComo("28"));
            return rs.Fields("Provincia").Value().toString();
        };
        QCOMPARE(nombreDe28(), QStringLiteral("Madrid"));
        const ConnectionPtr escritora = otraConexion ? Connection::Abrir(m_base->Origen()) : m_conexion;
        if (deshecho)
            escritora->Execute("BEGIN");
        if (conRecordset) {
            Recordset rs;
            rs.Open(Sentencias::PorCodigoParaModificar("28"), escritora, 2, 3, -1);
            rs.Collect("Provincia", "Madrid cambiada");
            rs.Update();
        } else {
            QVERIFY(QSqlQuery(escritora->Base()).exec("UPDATE Provincias SET Provincia = 'Madrid cambiada' WHERE Codigo = '28'"));
        }
        QCOMPARE(nombreDe28(), QStringLiteral("Madrid cambiada"));
        if (deshecho) {
            escritora->Execute("ROLLBACK");
            QCOMPARE(nombreDe28(), QStringLiteral("Madrid"));
        }
    }

    void esquemaYTextos()
    {
        Recordset textos;
        textos.Open(SentenciaTextos(), m_conexion, 3, 1, -1);
        QCOMPARE(textos.RecordCount(), 1L);
        QCOMPARE(textos.Fields("Codigo").Value().toString(), QStringLiteral("Código"));
        QCOMPARE(textos.Fields("Pagina").Value().toString(), QStringLiteral("Página"));

        CrearEsquemaSiFalta(*m_conexion);
        QCOMPARE(Contar(*m_conexion), 52);
        QCOMPARE(Escalar(*m_conexion, "SELECT COUNT(*) FROM Municipios").toInt(), 6);

    }

    // A new code carries the towns along, in a new database and in one made before the towns'
    // reference had the cascade; a province with towns is still not deleted.
    void municipiosSiguenAlCodigo_data()
    {
        QTest::addColumn<bool>("anterior");
        QTest::newRow("base nueva") << false;
        QTest::newRow("base de una versión anterior") << true;
    }

    void municipiosSiguenAlCodigo()
    {
        QFETCH(bool, anterior);
        if (anterior) {
            for (const char* sentencia : {
                     "DROP TABLE Municipios",
                     "CREATE TABLE Municipios (Codigo TEXT NOT NULL PRIMARY KEY, Municipio TEXT NOT NULL, CodigoProvincia "
                     "TEXT NOT NULL REFERENCES Provincias (Codigo) ON UPDATE NO ACTION ON DELETE NO ACTION)",
                     "CREATE INDEX IxMunicipiosProvincia ON Municipios (CodigoProvincia)",
                     "INSERT INTO Municipios VALUES ('28079', 'Madrid', '28'), ('08019', 'Barcelona', '08')"})
                m_conexion->Execute(sentencia);
            CrearEsquemaSiFalta(*m_conexion);
        }
        Recordset rs;
        try {
            rs.Open(Sentencias::PorCodigoParaModificar("28"), m_conexion, 2, 3, -1);
            rs.Collect("Codigo", "99");
            rs.Update();
            rs.Close();
        } catch (const ErrorDatos& error) {
            QFAIL(error.what());
        }
        QCOMPARE(Escalar(*m_conexion, "SELECT Codigo FROM Municipios WHERE CodigoProvincia = '99'").toString(),
                 QStringLiteral("28079"));
        QCOMPARE(Escalar(*m_conexion, "SELECT COUNT(*) FROM Municipios").toInt(), anterior ? 2 : 6);
        QCOMPARE(NumeroDeError<ErrorDatos>([&] { rs.Open(Sentencias::BorrarPorCodigo("99"), m_conexion, 2, 3, -1); }),
                 ErroresDatos::ViolacionIntegridad);
        QCOMPARE(NombreDe(*m_conexion, "99"), QStringLiteral("Madrid"));
        QCOMPARE(Escalar(*m_conexion, Postgres ? "SELECT COUNT(*) FROM pg_indexes WHERE indexname = 'ixmunicipiosprovincia'"
                                               : "SELECT COUNT(*) FROM sqlite_master WHERE name = 'IxMunicipiosProvincia'")
                     .toInt(), 1);
    }

    // Transactions of the connection: each case ends with none open, the connection usable and
    // only what was committed seen by another connection.
    void transacciones_data()
    {
        QTest::addColumn<Accion>("accion");
        QTest::addColumn<QString>("nombre28");
        QTest::addColumn<long>("numero"); // 0: no error
        const auto nombrar = [](const ConnectionPtr& c, const char* nombre) {
            c->Execute(QStringLiteral("UPDATE Provincias SET Provincia = '%1' WHERE Codigo = '28'").arg(nombre));
        };
        QTest::newRow("confirmada") << Accion([=](Recordset&, const ConnectionPtr& c) {
            c->BeginTrans();
            nombrar(c, "Uno");
            c->CommitTrans();
        }) << "Uno" << 0L;
        QTest::newRow("deshecha") << Accion([=](Recordset&, const ConnectionPtr& c) {
            c->BeginTrans();
            nombrar(c, "Uno");
            c->RollbackTrans();
        }) << "Madrid" << 0L;
        QTest::newRow("anidada deshecha en una confirmada") << Accion([=](Recordset&, const ConnectionPtr& c) {
            QCOMPARE(c->BeginTrans(), 1L);
            nombrar(c, "Uno");
            QCOMPARE(c->BeginTrans(), 2L);
            nombrar(c, "Dos");
            c->RollbackTrans();
            c->CommitTrans();
        }) << "Uno" << 0L;
        QTest::newRow("dentro de una transacción ajena, deshecha") << Accion([=](Recordset&, const ConnectionPtr& c) {
            c->Execute("BEGIN");
            nombrar(c, "Uno");
            QCOMPARE(c->BeginTrans(), 1L);
            nombrar(c, "Dos");
            c->RollbackTrans();
            c->Execute("COMMIT");
        }) << "Uno" << 0L;
        QTest::newRow("confirmación rechazada") << Accion([=](Recordset&, const ConnectionPtr& c) {
            if (Postgres)
                c->Execute("ALTER TABLE Municipios ALTER CONSTRAINT municipios_codigoprovincia_fkey DEFERRABLE INITIALLY DEFERRED");
            c->BeginTrans();
            if (!Postgres)
                c->Execute("PRAGMA defer_foreign_keys = ON");
            nombrar(c, "Uno");
            c->Execute("DELETE FROM Provincias WHERE Codigo = '28'");
            c->CommitTrans();
        }) << "Madrid" << ErroresDatos::ViolacionIntegridad;
        QTest::newRow("confirmar sin transacción") << Accion([](Recordset&, const ConnectionPtr& c) {
            c->CommitTrans();
        }) << "Madrid" << ErroresDatos::SinTransaccion;
        QTest::newRow("lectura en el servidor en una transacción deshecha") << Accion([=](Recordset& rs, const ConnectionPtr& c) {
            c->BeginTrans();
            rs.setCursorLocation(Recordset::adUseServer);
            rs.Open("SELECT a.Codigo FROM Provincias a, Provincias b", c, 3, 1, -1);
            c->RollbackTrans();
            QCOMPARE(Columna(rs, "Codigo").size(), 52 * 52);
        }) << "Madrid" << 0L;
    }

    void transacciones()
    {
        QFETCH(Accion, accion);
        QFETCH(QString, nombre28);
        QFETCH(long, numero);
        Recordset rs;
        QCOMPARE(NumeroDeError<ErrorDatos>([&] { accion(rs, m_conexion); }), numero);
        QCOMPARE(m_conexion->NivelTransaccion(), 0L);
        QVERIFY(!m_conexion->EnTransaccion());
        const ConnectionPtr otra = m_base->Abrir();
        QCOMPARE(NombreDe(*otra, "28"), nombre28);
        QCOMPARE(Escalar(*otra, "SELECT COUNT(*) FROM Municipios").toInt(), 6);
        m_conexion->Execute("UPDATE Provincias SET Provincia = 'Murcia nueva' WHERE Codigo = '30'");
        QCOMPARE(NombreDe(*otra, "30"), QStringLiteral("Murcia nueva"));
    }

    void origenNoValido_data()
    {
        QTest::addColumn<QString>("origen");
        QTest::addColumn<long>("numero");
        if (Postgres) {
            QUrl servidor(m_base->Origen());
            servidor.setPort(1);
            QTest::newRow("servidor inalcanzable") << servidor.toString() << ErroresDatos::FalloConexion;
            QUrl base(m_base->Origen());
            base.setPath("/no_existe_esta_base");
            QTest::newRow("base inexistente") << base.toString() << ErroresDatos::FalloConexion;
            return;
        }
        const QString carpeta = m_base->Carpeta();
        QTest::newRow("archivo inexistente") << carpeta + "/falta.db" << ErroresDatos::BaseNoEncontrada;
        QTest::newRow("una carpeta") << carpeta << ErroresDatos::BaseNoEncontrada;
        QFile texto(carpeta + "/texto.db");
        QVERIFY(texto.open(QIODevice::WriteOnly) && texto.write(QByteArray(4096, 'x')) == 4096);
        QTest::newRow("no es una base de datos") << texto.fileName() << ErroresDatos::BaseDanada;
    }

    void origenNoValido()
    {
        QFETCH(QString, origen);
        QFETCH(long, numero);
        const bool existia = QFileInfo::exists(origen);
        QCOMPARE(NumeroDeError<ErrorDatos>([&] { Connection::Abrir(origen); }), numero);
        QCOMPARE(QFileInfo::exists(origen), existia);
    }

    // A read-only recordset on the server reads as it goes and drops rows behind it; every move
    // must still land on the row a fully read recordset gives, wherever the read is when asked.
    void lecturaAPlazos_data()
    {
        QTest::addColumn<int>("avance");
        QTest::addColumn<QString>("operacion");
        for (int avance : {0, 1024, 30000}) {
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
        rs.setCursorLocation(Recordset::adUseServer);
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

    // The guard on codes pasted into statements: wildcards, quotes and characters no engine stores.
    void codigoAceptable_data()
    {
        QTest::addColumn<QString>("codigo");
        QTest::addColumn<bool>("aceptable");
        QTest::newRow("letras con eñe") << "Ñ1" << true;
        QTest::newRow("vacío (lo rechaza la grabación)") << "" << true;
        QTest::newRow("por ciento") << "2%" << false;
        QTest::newRow("subrayado") << "_1" << false;
        QTest::newRow("asterisco") << "*" << false;
        QTest::newRow("corchete") << "[1" << false;
        QTest::newRow("comilla") << "O'" << false;
        QTest::newRow("barra invertida") << "1\\" << false;
        QTest::newRow("tabulador") << "1\t" << false;
        QTest::newRow("par UTF-16 completo") << QStringLiteral("\U0001F600") << true;
        QTest::newRow("mitad de un par") << QString(QChar(0xD83D)) + "1" << false;
    }

    void codigoAceptable()
    {
        QFETCH(QString, codigo);
        QFETCH(bool, aceptable);
        QCOMPARE(Sentencias::CodigoAceptable(codigo), aceptable);
    }

    // What only SQLite connections have: their settings and the Spanish collation.
    void ajustesSqlite_data()
    {
        QTest::addColumn<QString>("consulta");
        QTest::addColumn<QString>("esperado");
        QTest::newRow("claves ajenas") << "PRAGMA foreign_keys" << "1";
        QTest::newRow("like distingue mayúsculas") << "SELECT 'a' LIKE 'A'" << "0";
        QTest::newRow("diario WAL") << "PRAGMA journal_mode" << "wal";
        QTest::newRow("colación es: Á con las A") << "SELECT 'Ávila' < 'Badajoz' COLLATE es" << "1";
        QTest::newRow("S1 recorre solo el índice") << "EXPLAIN QUERY PLAN " + Sentencias::TodasPorNombre()
                                                   << "SCAN Provincias USING COVERING INDEX IxProvinciasNombre";
    }

    void ajustesSqlite()
    {
        QFETCH(QString, consulta);
        QFETCH(QString, esperado);
        if (Postgres)
            QSKIP("Solo SQLite");
        QSqlQuery q(m_conexion->Base());
        QVERIFY2(q.exec(consulta) && q.next(), qPrintable(q.lastError().text()));
        QCOMPARE(q.value(q.record().count() - 1).toString(), esperado);
    }
};

QTEST_GUILESS_MAIN(PruebaDatos)
#include "tst_Datos.moc"
