// The data layer against a real engine: the same cases on SQLite and on PostgreSQL
// (MOTOR_POSTGRESQL chooses), each on a database of its own.

#include "BaseDePrueba.h"
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

constexpr bool Postgres = MOTOR_POSTGRESQL;

using Accion = std::function<void(Recordset&, const ConnectionPtr&)>;

// The number of the ErrorDatos that `expr` throws, or 0 when it throws nothing.
#define NUMERO_DE_ERROR(expr) \
    ([&]() -> long { try { expr; } catch (const ErrorDatos& e) { return e.Number(); } return 0; }())

// Reads bypass the recordset under test.
QVariant Escalar(Connection& conexion, const QString& sql)
{
    QSqlQuery consulta(conexion.Base());
    if (!consulta.exec(sql) || !consulta.next())
        return QStringLiteral("<fallo: %1>").arg(consulta.lastError().text());
    return consulta.value(0);
}

int ContarProvincias(Connection& conexion, const QString& donde = {})
{
    return Escalar(conexion, QStringLiteral("SELECT COUNT(*) FROM Provincias ") + donde).toInt();
}

QString NombreDe(Connection& conexion, const QString& codigo)
{
    return Escalar(conexion, QStringLiteral("SELECT Provincia FROM Provincias WHERE Codigo = '%1'").arg(codigo)).toString();
}

int CodigosRepetidos(Connection& conexion)
{
    return Escalar(conexion, QStringLiteral("SELECT COUNT(*) FROM (SELECT Codigo FROM Provincias GROUP BY Codigo "
                                            "HAVING COUNT(*) > 1) AS repetidos")).toInt();
}

QStringList Columna(Recordset& rs, const QString& campo)
{
    QStringList valores;
    if (!rs.Eof())
        rs.MoveFirst();
    while (!rs.Eof()) {
        valores << rs.Fields(campo).Value().toString();
        rs.MoveNext();
    }
    return valores;
}

void AgregarProvincia(const ConnectionPtr& conexion, const QString& codigo, const QString& nombre)
{
    Recordset rs;
    rs.Open(Sentencias::TodasLasColumnas(), conexion, 2, 3, -1);
    rs.AddNew();
    rs.Collect(QStringLiteral("Codigo"), codigo);
    rs.Collect(QStringLiteral("Provincia"), nombre);
    rs.Update();
    rs.Close();
}

} // namespace

Q_DECLARE_METATYPE(Accion)

class PruebaDatos : public QObject {
    Q_OBJECT

    std::unique_ptr<BaseDePrueba> m_base;
    ConnectionPtr m_conexion;

private slots:
    void initTestCase()
    {
        try {
            m_base = std::make_unique<BaseDePrueba>(Postgres);
            m_conexion = Connection::Abrir(m_base->Origen());
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

    void sentenciasAceptadas_data()
    {
        QTest::addColumn<QString>("sentencia");
        QTest::addColumn<int>("filas"); // -1: returns no rows
        QTest::addColumn<QString>("primerCodigo");
        QTest::newRow("S1") << Sentencias::TodasPorNombre() << 52 << "15";
        QTest::newRow("S2") << Sentencias::TodasLasColumnas() << 52 << "";
        QTest::newRow("S3") << Sentencias::PorCodigoParaModificar("28") << 1 << "28";
        QTest::newRow("S5") << Sentencias::VerificarCambios("28") << 1 << "28";
        QTest::newRow("S6") << Sentencias::MostrarPorCodigo("28") << 1 << "28";
        QTest::newRow("S7") << Sentencias::ComprobarCodigo("28") << 1 << "28";
        QTest::newRow("S8 por código") << Sentencias::Listado(true) << 52 << "01";
        QTest::newRow("S8 por nombre") << Sentencias::Listado(false) << 52 << "15";
        QTest::newRow("S9 por código") << Sentencias::ListadoConRango("10", "15", true) << 6 << "10";
        QTest::newRow("S9 por nombre") << Sentencias::ListadoConRango("10", "15", false) << 6 << "15";
        QTest::newRow("S9 hasta vacío") << Sentencias::ListadoConRango("10", "", true) << 0 << "";
        QTest::newRow("S4") << Sentencias::BorrarPorCodigo("52") << -1 << "";
    }

    void sentenciasAceptadas()
    {
        QFETCH(QString, sentencia);
        QFETCH(int, filas);
        QFETCH(QString, primerCodigo);
        Recordset rs;
        try {
            rs.Open(sentencia, m_conexion, filas < 0 ? 2 : 3, filas < 0 ? 3 : 1, -1);
            if (filas < 0) {
                QCOMPARE(rs.State(), int(Recordset::adStateClosed));
                QCOMPARE(ContarProvincias(*m_conexion), 51);
                return;
            }
            QCOMPARE(rs.State(), int(Recordset::adStateOpen));
            QCOMPARE(rs.RecordCount(), long(filas));
            if (!primerCodigo.isEmpty())
                QCOMPARE(rs.Fields("Codigo").Value().toString(), primerCodigo);
            if (filas > 0)
                QVERIFY(!rs.Fields("Provincia").Value().toString().isEmpty());
        } catch (const ErrorDatos& error) {
            QFAIL(error.what());
        }
    }

    void ordenEspanol()
    {
        Recordset rs;
        rs.Open(Sentencias::TodasPorNombre(), m_conexion, 3, 1, -1);
        const QStringList nombres = Columna(rs, "Provincia");
        QStringList esperados = nombres;
        QCollator espanol(QLocale(QLocale::Spanish, QLocale::Spain));
        std::sort(esperados.begin(), esperados.end(), espanol);
        QCOMPARE(nombres, esperados);
        QCOMPARE(nombres.mid(0, 8), QStringList({"A Coruña", "Álava", "Albacete", "Alicante", "Almería", "Asturias",
                                                 "Ávila", "Badajoz"}));
        QCOMPARE(nombres.last(), QStringLiteral("Zaragoza"));
    }

    void likeExacto_data()
    {
        QTest::addColumn<QString>("codigo");
        QTest::addColumn<QString>("encontrado"); // empty: no row
        QTest::newRow("minúsculas") << "ab" << "ab";
        QTest::newRow("mayúsculas") << "AB" << "AB";
        QTest::newRow("espacio final") << "ab " << "ab ";
        QTest::newRow("mezcla no guardada") << "Ab" << "";
        QTest::newRow("dos espacios finales") << "ab  " << "";
        QTest::newRow("espacio inicial") << " ab" << "";
    }

    void likeExacto()
    {
        QFETCH(QString, codigo);
        QFETCH(QString, encontrado);
        AgregarProvincia(m_conexion, "ab", "Minúsculas");
        AgregarProvincia(m_conexion, "AB", "Mayúsculas");
        AgregarProvincia(m_conexion, "ab ", "Con espacio");
        for (const QString& sentencia : {Sentencias::ComprobarCodigo(codigo), Sentencias::MostrarPorCodigo(codigo),
                                         Sentencias::VerificarCambios(codigo), Sentencias::PorCodigoParaModificar(codigo)}) {
            Recordset rs;
            rs.Open(sentencia, m_conexion, 3, 1, -1);
            QCOMPARE(Columna(rs, "Codigo"), encontrado.isEmpty() ? QStringList() : QStringList{encontrado});
        }
    }

    void comillasDobladas_data()
    {
        QTest::addColumn<QString>("codigo");
        QTest::addColumn<bool>("guardado");
        QTest::newRow("comilla en un código guardado") << "O'1" << true;
        QTest::newRow("código que intenta ampliar la condición") << "x' OR 'a'='a" << false;
        QTest::newRow("código que intenta cerrar la sentencia") << "x')) OR ((1=1" << false;
    }

    void comillasDobladas()
    {
        QFETCH(QString, codigo);
        QFETCH(bool, guardado);
        if (guardado)
            AgregarProvincia(m_conexion, codigo, "Con comilla");
        const int filas = guardado ? 1 : 0;
        const int total = ContarProvincias(*m_conexion);
        try {
            for (const QString& sentencia : {Sentencias::ComprobarCodigo(codigo), Sentencias::PorCodigoParaModificar(codigo),
                                             Sentencias::MostrarPorCodigo(codigo)}) {
                Recordset rs;
                rs.Open(sentencia, m_conexion, 2, 3, -1);
                QCOMPARE(rs.RecordCount(), long(filas));
            }
            Recordset rs;
            rs.Open(Sentencias::TodasPorNombre(), m_conexion, 2, 3, -1);
            rs.Find(Sentencias::CriterioCodigoComo(codigo));
            QCOMPARE(rs.Eof(), !guardado);
            rs.Close();
            rs.Open(Sentencias::BorrarPorCodigo(codigo), m_conexion, 2, 3, -1);
            QCOMPARE(ContarProvincias(*m_conexion), total - filas);
        } catch (const ErrorDatos& error) {
            QFAIL(error.what());
        }
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
        QTest::newRow(">") << "Codigo > '50'" << "" << 0 << 1 << "51";
        QTest::newRow(">=") << "Codigo >= '50'" << "" << 0 << 1 << "50";
        QTest::newRow("<= saltando uno") << "Codigo <= '05'" << "03" << 1 << 1 << "04";
        QTest::newRow("like * al final") << "Codigo like '2*'" << "" << 0 << 1 << "20";
        QTest::newRow("like % al final") << "Codigo like '3%'" << "" << 0 << 1 << "30";
        QTest::newRow("like _") << "Codigo like '_8'" << "" << 0 << 1 << "08";
        QTest::newRow("like * en medio") << "Provincia like 'S*a'" << "" << 0 << 1 << "37";
        QTest::newRow("like sin comodín") << "Provincia like 'Madrid'" << "" << 0 << 1 << "28";
        QTest::newRow("like distingue mayúsculas") << "Provincia like 'madrid'" << "" << 0 << 1 << "EOF";
        QTest::newRow("= cuenta los espacios finales") << "Provincia = 'Madrid '" << "" << 0 << 1 << "EOF";
        QTest::newRow("= con acentos") << "Provincia = 'Ávila'" << "" << 0 << 1 << "05";
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
            const QString obtenido = rs.Eof() ? QStringLiteral("EOF")
                : rs.Bof()                    ? QStringLiteral("BOF")
                                              : rs.Fields("Codigo").Value().toString();
            QCOMPARE(obtenido, esperado);
        } catch (const ErrorDatos& error) {
            QFAIL(error.what());
        }
    }

    void findNoValido_data()
    {
        QTest::addColumn<QString>("criterio");
        QTest::addColumn<bool>("alFinal");
        QTest::addColumn<bool>("tablaVacia");
        QTest::addColumn<long>("numero");
        QTest::newRow("en EOF") << "Codigo = '01'" << true << false << ErroresDatos::SinRegistroActual;
        QTest::newRow("tabla vacía") << "Codigo = '01'" << false << true << ErroresDatos::SinRegistroActual;
        QTest::newRow("campo inexistente") << "Nada = '01'" << false << false << ErroresDatos::CampoNoEncontrado;
        QTest::newRow("sin operador") << "Codigo '01'" << false << false << ErroresDatos::ArgumentosNoValidos;
        QTest::newRow("comilla sin cerrar") << "Codigo = '01" << false << false << ErroresDatos::ArgumentosNoValidos;
        QTest::newRow("texto sobrante") << "Codigo = '01' AND 1" << false << false << ErroresDatos::ArgumentosNoValidos;
    }

    void findNoValido()
    {
        QFETCH(QString, criterio);
        QFETCH(bool, alFinal);
        QFETCH(bool, tablaVacia);
        QFETCH(long, numero);
        if (tablaVacia) {
            m_conexion->Execute("DELETE FROM Municipios");
            m_conexion->Execute("DELETE FROM Provincias");
        }
        Recordset rs;
        rs.Open(Sentencias::TodasPorNombre(), m_conexion, 2, 3, -1);
        if (alFinal)
            rs.Find("Codigo = 'no existe'");
        const bool eofAntes = rs.Eof();
        QCOMPARE(NUMERO_DE_ERROR(rs.Find(criterio)), numero);
        QCOMPARE(rs.Eof(), eofAntes);
    }

    void violacionIntegridad_data()
    {
        QTest::addColumn<int>("caso");
        QTest::addColumn<QStringList>("nativos");
        const QStringList duplicado = Postgres ? QStringList{"23505"} : QStringList{"1555", "2067"};
        QTest::newRow("alta duplicada") << 0 << duplicado;
        QTest::newRow("código duplicado al modificar") << 1 << duplicado;
        QTest::newRow("borrado con datos relacionados") << 2 << (Postgres ? QStringList{"23503"} : QStringList{"787"});
    }

    void violacionIntegridad()
    {
        QFETCH(int, caso);
        QFETCH(QStringList, nativos);
        Recordset rs;
        try {
            switch (caso) {
            case 0:
                rs.Open(Sentencias::TodasLasColumnas(), m_conexion, 2, 3, -1);
                rs.AddNew();
                rs.Collect("Codigo", "28");
                rs.Collect("Provincia", "Otra Madrid");
                rs.Update();
                break;
            case 1:
                rs.Open(Sentencias::PorCodigoParaModificar("30"), m_conexion, 2, 3, -1);
                rs.Collect("Codigo", "28");
                rs.Collect("Provincia", "Murcia con otro código");
                rs.Update();
                break;
            default:
                rs.Open(Sentencias::BorrarPorCodigo("28"), m_conexion, 2, 3, -1);
                break;
            }
            QFAIL("La base de datos tenía que rechazar la operación");
        } catch (const ErrorDatos& error) {
            QCOMPARE(error.Number(), ErroresDatos::ViolacionIntegridad);
            QVERIFY2(nativos.contains(error.NativeCode()), qPrintable(error.NativeCode()));
            QVERIFY(!error.Description().isEmpty());
            QVERIFY(!error.Statement().isEmpty());
        }
        rs.CancelUpdate();
        rs.CancelBatch(3);
        QCOMPARE(ContarProvincias(*m_conexion), 52);
        QCOMPARE(NombreDe(*m_conexion, "28"), QStringLiteral("Madrid"));
        QCOMPARE(NombreDe(*m_conexion, "30"), QStringLiteral("Murcia"));
    }

    void otrosErrores_data()
    {
        QTest::addColumn<QString>("sentencia");
        QTest::addColumn<long>("numero");
        QTest::newRow("sintaxis") << "SELEC * FROM Provincias" << ErroresDatos::ErrorSintaxis;
        QTest::newRow("comilla sin doblar") << "DELETE From Provincias WHERE (((Provincias.Codigo) Like 'O'1'))"
                                            << ErroresDatos::ErrorSintaxis;
        QTest::newRow("tabla inexistente") << "SELECT * FROM NoExiste" << ErroresDatos::TablaNoExiste;
        QTest::newRow("columna inexistente") << "SELECT Nada FROM Provincias" << ErroresDatos::ColumnaNoExiste;
        QTest::newRow("nombre nulo") << "INSERT INTO Provincias (Codigo) VALUES ('99')" << ErroresDatos::RestriccionIncumplida;
    }

    void otrosErrores()
    {
        QFETCH(QString, sentencia);
        QFETCH(long, numero);
        Recordset rs;
        try {
            rs.Open(sentencia, m_conexion, 2, 3, -1);
            QFAIL("La sentencia tenía que fallar");
        } catch (const ErrorDatos& error) {
            QCOMPARE(error.Number(), numero);
            QVERIFY(error.Number() != ErroresDatos::ViolacionIntegridad);
            QVERIFY(!error.Description().isEmpty());
            QVERIFY(!error.NativeCode().isEmpty());
            QCOMPARE(error.Statement(), sentencia);
        }
        QCOMPARE(rs.State(), int(Recordset::adStateClosed));
        QCOMPARE(ContarProvincias(*m_conexion), 52);
    }

    void filaCambiadaPorOtraConexion_data()
    {
        QTest::addColumn<QString>("cambioDelOtro");
        QTest::addColumn<int>("filasDespues");
        QTest::newRow("la borra") << Sentencias::BorrarPorCodigo("30") << 51;
        QTest::newRow("le cambia el código") << "UPDATE Provincias SET Codigo = '99' WHERE Codigo = '30'" << 52;
    }

    void filaCambiadaPorOtraConexion()
    {
        QFETCH(QString, cambioDelOtro);
        QFETCH(int, filasDespues);
        Recordset rs;
        rs.Open(Sentencias::PorCodigoParaModificar("30"), m_conexion, 2, 3, -1);
        {
            ConnectionPtr otra = Connection::Abrir(m_base->Origen());
            otra->Execute(cambioDelOtro);
        }
        rs.Collect("Codigo", "30");
        rs.Collect("Provincia", "Murcia editada");
        rs.Collect("Actualizado", "hoy");
        rs.Collect("ModificadoPor", "prueba");
        try {
            rs.Update();
            QFAIL("Update tenía que fallar: la fila ya no está");
        } catch (const ErrorDatos& error) {
            QCOMPARE(error.Number(), ErroresDatos::FilaDesaparecida);
            QVERIFY(error.Statement().startsWith("UPDATE"));
        }
        rs.CancelUpdate();
        QCOMPARE(ContarProvincias(*m_conexion), filasDespues);
        QCOMPARE(ContarProvincias(*m_conexion, "WHERE Provincia = 'Murcia editada'"), 0);
        QCOMPARE(ContarProvincias(*m_conexion, "WHERE Codigo = '30'"), 0);
        QCOMPARE(CodigosRepetidos(*m_conexion), 0);
    }

    void altaYModificacion()
    {
        try {
            Recordset rs;
            rs.Open(Sentencias::TodasLasColumnas(), m_conexion, 2, 3, -1);
            rs.AddNew();
            QVERIFY(!rs.Eof());
            rs.Collect("Codigo", "53");
            rs.Collect("Provincia", "Nueva");
            rs.Collect("Actualizado", "01/02/2024 10:00:00");
            rs.Collect("ModificadoPor", "ana");
            rs.Update();
            QCOMPARE(rs.Fields("Codigo").Value().toString(), QStringLiteral("53"));
            rs.Requery(-1);
            QCOMPARE(rs.RecordCount(), 53L);
            rs.Close();
            QCOMPARE(Escalar(*m_conexion, "SELECT ModificadoPor FROM Provincias WHERE Codigo = '53'").toString(),
                     QStringLiteral("ana"));

            // A new code is written to the row found by the code it had.
            rs.Open(Sentencias::PorCodigoParaModificar("53"), m_conexion, 2, 3, -1);
            rs.Collect("Codigo", "54");
            rs.Collect("Provincia", "Renombrada");
            rs.Update();
            QCOMPARE(rs.Collect("Codigo").toString(), QStringLiteral("54"));
            rs.Close();
            QCOMPARE(ContarProvincias(*m_conexion, "WHERE Codigo = '53'"), 0);
            QCOMPARE(NombreDe(*m_conexion, "54"), QStringLiteral("Renombrada"));

            rs.Open(Sentencias::PorCodigoParaModificar("54"), m_conexion, 2, 3, -1);
            rs.Collect("Provincia", "Descartada");
            QCOMPARE(rs.Fields("Provincia").Value().toString(), QStringLiteral("Descartada"));
            rs.CancelUpdate();
            QCOMPARE(rs.Fields("Provincia").Value().toString(), QStringLiteral("Renombrada"));
            rs.Update();
            rs.Close();
            QCOMPARE(NombreDe(*m_conexion, "54"), QStringLiteral("Renombrada"));
            QCOMPARE(ContarProvincias(*m_conexion), 53);
        } catch (const ErrorDatos& error) {
            QFAIL(error.what());
        }
    }

    void usoIncorrecto_data()
    {
        QTest::addColumn<Accion>("accion");
        QTest::addColumn<long>("numero"); // 0: no error
        const QString s1 = Sentencias::TodasPorNombre();
        QTest::newRow("Open sobre abierto") << Accion([=](Recordset& rs, const ConnectionPtr& c) {
            rs.Open(s1, c, 2, 3, -1);
            rs.Open(s1, c, 2, 3, -1);
        }) << ErroresDatos::ObjetoAbierto;
        QTest::newRow("Close dos veces") << Accion([=](Recordset& rs, const ConnectionPtr& c) {
            rs.Open(s1, c, 2, 3, -1);
            rs.Close();
            rs.Close();
        }) << 0L;
        QTest::newRow("EOF cerrado") << Accion([](Recordset& rs, const ConnectionPtr&) { rs.Eof(); })
                                     << ErroresDatos::ObjetoCerrado;
        QTest::newRow("campo inexistente") << Accion([=](Recordset& rs, const ConnectionPtr& c) {
            rs.Open(s1, c, 2, 3, -1);
            rs.Fields("Nada");
        }) << ErroresDatos::CampoNoEncontrado;
        QTest::newRow("MoveNext en EOF") << Accion([=](Recordset& rs, const ConnectionPtr& c) {
            rs.Open(s1, c, 3, 1, -1);
            rs.MoveLast();
            rs.MoveNext();
            rs.MoveNext();
        }) << ErroresDatos::SinRegistroActual;
        QTest::newRow("MovePrevious en BOF") << Accion([=](Recordset& rs, const ConnectionPtr& c) {
            rs.Open(s1, c, 3, 1, -1);
            rs.MovePrevious();
            rs.MovePrevious();
        }) << ErroresDatos::SinRegistroActual;
        QTest::newRow("Value en EOF") << Accion([=](Recordset& rs, const ConnectionPtr& c) {
            rs.Open(s1, c, 3, 1, -1);
            rs.MoveLast();
            rs.MoveNext();
            rs.Fields("Codigo").Value();
        }) << ErroresDatos::SinRegistroActual;
        QTest::newRow("Collect en solo lectura") << Accion([=](Recordset& rs, const ConnectionPtr& c) {
            rs.Open(s1, c, 3, 1, -1);
            rs.Collect("Provincia", "X");
        }) << ErroresDatos::NoActualizable;
        QTest::newRow("AddNew en consulta de varias tablas") << Accion([](Recordset& rs, const ConnectionPtr& c) {
            rs.Open("SELECT Provincias.Codigo, Municipios.Municipio FROM Provincias, Municipios", c, 2, 3, -1);
            rs.AddNew();
        }) << ErroresDatos::NoActualizable;
        QTest::newRow("mover con cambios pendientes") << Accion([=](Recordset& rs, const ConnectionPtr& c) {
            rs.Open(s1, c, 2, 3, -1);
            rs.Collect("Provincia", "X");
            rs.MoveNext();
        }) << ErroresDatos::EdicionPendiente;
        QTest::newRow("Requery con alta pendiente") << Accion([](Recordset& rs, const ConnectionPtr& c) {
            rs.Open(Sentencias::TodasLasColumnas(), c, 2, 3, -1);
            rs.AddNew();
            rs.Requery(-1);
        }) << ErroresDatos::EdicionPendiente;
        QTest::newRow("tipo de bloqueo no válido") << Accion([=](Recordset& rs, const ConnectionPtr& c) {
            rs.Open(s1, c, 2, 7, -1);
        }) << ErroresDatos::ArgumentosNoValidos;
        QTest::newRow("sin conexión") << Accion([=](Recordset& rs, const ConnectionPtr&) {
            rs.Open(s1, nullptr, 2, 3, -1);
        }) << ErroresDatos::ConexionNoValida;
        QTest::newRow("un DELETE deja el recordset cerrado") << Accion([](Recordset& rs, const ConnectionPtr& c) {
            rs.Open(Sentencias::BorrarPorCodigo("52"), c, 2, 3, -1);
            if (rs.State() == Recordset::adStateClosed)
                rs.MoveFirst();
        }) << ErroresDatos::ObjetoCerrado;
    }

    void usoIncorrecto()
    {
        QFETCH(Accion, accion);
        QFETCH(long, numero);
        Recordset rs;
        QCOMPARE(NUMERO_DE_ERROR(accion(rs, m_conexion)), numero);
        rs.Close();
    }

    void recorrido()
    {
        Recordset rs;
        rs.Open(Sentencias::TodasPorNombre(), m_conexion, 2, 3, -1);
        QVERIFY(!rs.Bof() && !rs.Eof());
        const QVariant primera = rs.Bookmark();
        rs.MovePrevious();
        QVERIFY(rs.Bof() && !rs.Eof());
        rs.MoveNext();
        QCOMPARE(rs.Fields("Provincia").Value().toString(), QStringLiteral("A Coruña"));
        rs.MoveLast();
        QCOMPARE(rs.Fields("Provincia").Value().toString(), QStringLiteral("Zaragoza"));
        rs.MoveNext();
        QVERIFY(rs.Eof());
        rs.Find("Codigo >= '01'", 0, 1, primera);
        QCOMPARE(rs.Fields("Codigo").Value().toString(), QStringLiteral("15"));
        rs.Close();

        m_conexion->Execute("DELETE FROM Municipios");
        m_conexion->Execute("DELETE FROM Provincias");
        rs.Open(Sentencias::TodasPorNombre(), m_conexion, 2, 3, -1);
        QVERIFY(rs.Eof() && rs.Bof());
        rs.MoveFirst();
        rs.MoveLast();
        QVERIFY(rs.Eof() && rs.Bof());
        QCOMPARE(rs.RecordCount(), 0L);
    }

    // Whatever the recordset keeps between opens, a new open shows every change made since.
    void cambiosVisiblesAlReabrir_data()
    {
        QTest::addColumn<bool>("otraConexion");
        QTest::addColumn<bool>("consultaDirecta");
        QTest::newRow("otra conexión") << true << false;
        QTest::newRow("la misma conexión, sin recordset") << false << true;
        QTest::newRow("la misma conexión, con recordset") << false << false;
    }

    void cambiosVisiblesAlReabrir()
    {
        QFETCH(bool, otraConexion);
        QFETCH(bool, consultaDirecta);
        const auto nombreDe28 = [&] {
            Recordset rs;
            rs.Open(Sentencias::TodasPorNombre(), m_conexion, 3, 1, -1);
            rs.Find(Sentencias::CriterioCodigoComo("28"));
            return rs.Fields("Provincia").Value().toString();
        };
        QCOMPARE(nombreDe28(), QStringLiteral("Madrid"));
        ConnectionPtr escritora = otraConexion ? Connection::Abrir(m_base->Origen()) : m_conexion;
        if (consultaDirecta || otraConexion) {
            QSqlQuery consulta(escritora->Base());
            QVERIFY(consulta.exec("UPDATE Provincias SET Provincia = 'Madrid cambiada' WHERE Codigo = '28'"));
        } else {
            Recordset rs;
            rs.Open(Sentencias::PorCodigoParaModificar("28"), escritora, 2, 3, -1);
            rs.Collect("Provincia", "Madrid cambiada");
            rs.Update();
        }
        QCOMPARE(nombreDe28(), QStringLiteral("Madrid cambiada"));
    }

    void textosInterfaz()
    {
        Recordset textos;
        textos.Open(SentenciaTextos(), m_conexion, 3, 1, -1);
        QCOMPARE(textos.RecordCount(), 1L);
        QCOMPARE(textos.Fields("Codigo").Value().toString(), QStringLiteral("Código"));
        QCOMPARE(textos.Fields("Provincia").Value().toString(), QStringLiteral("Provincia"));
        QCOMPARE(textos.Fields("Provincias").Value().toString(), QStringLiteral("Provincias"));
        QCOMPARE(textos.Fields("Datos Provincias").Value().toString(), QStringLiteral("Datos Provincias"));
        QCOMPARE(textos.Fields("Pagina").Value().toString(), QStringLiteral("Página"));
    }

    void esquemaYDatosDePrueba()
    {
        CrearEsquemaSiFalta(*m_conexion);
        QCOMPARE(ContarProvincias(*m_conexion), 52);
        QCOMPARE(Escalar(*m_conexion, "SELECT COUNT(*) FROM Municipios").toInt(), 6);
        QCOMPARE(Escalar(*m_conexion, "SELECT COUNT(*) FROM Textos").toInt(), 1);

        LlenarProvinciasDePrueba(*m_conexion, 1000);
        QCOMPARE(ContarProvincias(*m_conexion), 1000);
        QCOMPARE(Escalar(*m_conexion, "SELECT MIN(Codigo) FROM Provincias").toString(), QStringLiteral("0001"));
        QCOMPARE(Escalar(*m_conexion, "SELECT MAX(Codigo) FROM Provincias").toString(), QStringLiteral("1000"));
        QCOMPARE(NombreDe(*m_conexion, "0053"), QStringLiteral("Álava 53"));
        QCOMPARE(NUMERO_DE_ERROR(LlenarProvinciasDePrueba(*m_conexion, -1)), ErroresDatos::ArgumentosNoValidos);
        QCOMPARE(ContarProvincias(*m_conexion), 1000);
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
        } else {
            const QString carpeta = m_base->Carpeta();
            QTest::newRow("carpeta inexistente") << carpeta + "/no/existe/base.db" << ErroresDatos::BaseNoEncontrada;
            QTest::newRow("archivo inexistente") << carpeta + "/falta.db" << ErroresDatos::BaseNoEncontrada;
            QTest::newRow("una carpeta") << carpeta << ErroresDatos::BaseNoEncontrada;
            QFile texto(carpeta + "/texto.db");
            QVERIFY(texto.open(QIODevice::WriteOnly));
            texto.write(QByteArray(4096, 'x'));
            QTest::newRow("no es una base de datos") << texto.fileName() << ErroresDatos::BaseDanada;
        }
    }

    void origenNoValido()
    {
        QFETCH(QString, origen);
        QFETCH(long, numero);
        const bool existia = QFileInfo::exists(origen);
        QCOMPARE(NUMERO_DE_ERROR(Connection::Abrir(origen)), numero);
        QCOMPARE(QFileInfo::exists(origen), existia);
    }
};

QTEST_GUILESS_MAIN(PruebaDatos)
#include "tst_Datos.moc"
