// The data layer against a real engine: the same cases on SQLite and on PostgreSQL (QUILTREN_MOTOR
// chooses), each run on a database of its own; the guard on codes; what only SQLite connections have.

#include "tests/apoyo/Apoyo.h"
#include "tests/apoyo/BasePrueba.h"
#include "data/ErrorDatos.h"
#include "data/ErroresDatos.h"
#include "data/EsquemaProvincias.h"
#include "data/Recordset.h"
#include "component/Sentencias.h"

#include <QCollator>
#include <QSqlQuery>
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

// Rows of the tables below.
struct Lectura { QString sentencia; int filas; QStringList primeros /* codes */; };
struct Busca {
    QString criterio, desde; // desde: code of the row to start at; empty: the first row
    int salto, direccion;
    QString esperado; // a code, "EOF" or "BOF"
};

} // namespace

Q_DECLARE_METATYPE(Accion)
Q_DECLARE_METATYPE(Lectura)
Q_DECLARE_METATYPE(Busca)

class PruebaDatos : public QObject {
    Q_OBJECT

    std::unique_ptr<BasePrueba> base_;
    ConnectionPtr conexion_;

private slots:
    void initTestCase()
    {
        try {
            base_ = std::make_unique<BasePrueba>();
            conexion_ = base_->Conexion();
        } catch (const ErrorDatos& error) {
            QFAIL(error.what());
        }
    }

    void init() { base_->Reiniciar(*conexion_); }

    void cleanupTestCase()
    {
        conexion_.reset();
        base_.reset();
    }

    // The statements that read several rows (those that name one code are in codigoExacto), with
    // names in Spanish order.
    void sentenciasAceptadas_data()
    {
        QTest::addColumn<Lectura>("caso");
        const QStringList porNombre{"15", "01", "02"}; // A Coruña, Álava, Albacete
        QTest::newRow("todas por nombre") << Lectura{Sentencias::TodasPorNombre(), 52, porNombre};
        QTest::newRow("listado por código") << Lectura{Sentencias::Listado(true), 52, {"01", "02"}};
        QTest::newRow("listado por nombre") << Lectura{Sentencias::Listado(false), 52, porNombre};
        QTest::newRow("rango por código") << Lectura{Sentencias::ListadoConRango("10", "15", true), 6, {"10", "11"}};
        QTest::newRow("rango por nombre") << Lectura{Sentencias::ListadoConRango("10", "15", false), 6, {"15", "10"}};
        QTest::newRow("rango hasta vacío") << Lectura{Sentencias::ListadoConRango("10", "", true), 0, {}};
        // Codes compare as text, byte by byte, whatever they hold.
        QTest::newRow("rango con comillas y comodines")
            << Lectura{Sentencias::ListadoConRango("0' OR '1'='1", "1%", true), 9, {"01", "02"}};
        QTest::newRow("rango que intenta otra sentencia")
            << Lectura{Sentencias::ListadoConRango("50", "52'; DELETE FROM Provincias; --", false), 3, {"51", "52", "50"}};
    }

    void sentenciasAceptadas()
    {
        QFETCH(Lectura, caso);
        const auto& [sentencia, filas, primeros] = caso;
        Recordset rs;
        rs.Open(sentencia, conexion_, 3, 1, -1);
        QCOMPARE(rs.RecordCount(), long(filas));
        QStringList codigos, nombres;
        for (; !rs.Eof(); rs.MoveNext()) {
            codigos << rs.Fields("Codigo").Value().toString();
            nombres << rs.Fields("Provincia").Value().toString();
        }
        QCOMPARE(codigos.mid(0, primeros.size()), primeros);
        if (sentencia.endsWith("ORDER BY Provincias.Provincia")) {
            QStringList esperados = nombres;
            std::sort(esperados.begin(), esperados.end(), QCollator(QLocale(QLocale::Spanish, QLocale::Spain)));
            QCOMPARE(nombres, esperados);
        }
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
        QTest::newRow("código con otra sentencia") << "'; DELETE FROM Provincias; --" << "";
        QTest::newRow("código con comodines entre comillas") << "%' OR Codigo like '%" << "";
    }

    void codigoExacto()
    {
        QFETCH(QString, codigo);
        QFETCH(QString, encontrado);
        conexion_->Execute("INSERT INTO Provincias (Codigo, Provincia) VALUES ('ab', 'G'), ('AB', 'G'), ('ab ', 'G'), ('O''1', 'G')");
        const QStringList esperados = encontrado.isEmpty() ? QStringList() : QStringList{encontrado};
        for (const QString& sentencia : {Sentencias::ComprobarCodigo(codigo), Sentencias::MostrarPorCodigo(codigo),
                                         Sentencias::VerificarCambios(codigo), Sentencias::PorCodigoParaModificar(codigo)}) {
            Recordset rs;
            rs.Open(sentencia, conexion_, 2, 3, -1);
            QCOMPARE(Columna(rs, "Codigo"), esperados);
        }
        Recordset rs;
        rs.Open(Sentencias::TodasPorNombre(), conexion_, 2, 3, -1);
        rs.Find(Sentencias::CriterioCodigoComo(codigo));
        QCOMPARE(rs.Eof() ? QStringList() : QStringList{rs.Fields("Codigo").Value().toString()}, esperados);
        rs.Close();
        rs.Open(Sentencias::BorrarPorCodigo(codigo), conexion_, 2, 3, -1);
        QCOMPARE(Contar(*conexion_), 56 - int(esperados.size()));
    }

    // The guard on codes pasted into statements refuses wildcards, quotes and characters no engine
    // stores. Codes it lets through that are hostile all the same, with hostile names: the save,
    // the change to another such code and the delete touch that one row and nothing else.
    void escrituraHostil_data()
    {
        QTest::addColumn<QString>("codigo");
        QTest::addColumn<QString>("nombre"); // a null name: the guard refuses the code
        QTest::newRow("por ciento") << "2%" << QString();
        QTest::newRow("subrayado") << "_1" << QString();
        QTest::newRow("comilla") << "O'" << QString();
        QTest::newRow("barra invertida") << "1\\" << QString();
        QTest::newRow("tabulador") << "1\t" << QString();
        QTest::newRow("mitad de un par") << QString(QChar(0xD83D)) + "1" << QString();
        QTest::newRow("letras con eñe") << "Ñ1" << "Ñ";
        QTest::newRow("sentencia sin comillas") << "1; DELETE FROM Provincias --" << "x' OR '1'='1";
        QTest::newRow("palabra de SQL") << "NULL" << "'; DROP TABLE Provincias; --";
        QTest::newRow("comentario") << "28 -- #" << "%' OR Codigo like '%";
        QTest::newRow("vecino por mayúsculas") << "aB" << "\"dobles\" ''";
        QTest::newRow("vecino por espacios") << " ab " << "\r\n\t";
        QTest::newRow("acento combinante") << "e\u0301" << "ñÑ€ßİﬁ";
        QTest::newRow("invisibles") << "\u200b\u202e" << "\u202eal revés\u0085";
        QTest::newRow("fuera del plano básico") << "\U0001D538\U0001F600" << "中文";
        QTest::newRow("muy largo") << QString(300, QChar(u'ñ')) + "--" << QString(5000, QChar(u'ñ')) + "'";
    }

    void escrituraHostil()
    {
        QFETCH(QString, codigo);
        QFETCH(QString, nombre);
        QCOMPARE(Sentencias::CodigoAceptable(codigo), !nombre.isNull());
        if (nombre.isNull())
            return;
        conexion_->Execute("DELETE FROM Municipios");
        conexion_->Execute("INSERT INTO Provincias (Codigo, Provincia) VALUES ('ab', 'G'), ('AB', 'G'), ('ab ', 'G')");
        // Read bare, not through the layer under test.
        const auto tabla = [&] {
            QMap<QString, QString> filas;
            QSqlQuery q(conexion_->Base());
            for (q.exec("SELECT Codigo, Provincia FROM Provincias"); q.next();)
                filas.insert(q.value(0).toString(), q.value(1).toString());
            return filas;
        };
        QMap<QString, QString> esperada = tabla();
        Recordset rs;
        Agregar(rs, conexion_, codigo, nombre);
        esperada.insert(codigo, nombre);
        QCOMPARE(tabla(), esperada);
        const QString otro = codigo + " --";
        rs.Open(Sentencias::PorCodigoParaModificar(codigo), conexion_, 2, 3, -1);
        rs.Collect("Codigo", otro);
        rs.Collect("Provincia", nombre + "'");
        rs.Update();
        rs.Close();
        esperada.remove(codigo);
        esperada.insert(otro, nombre + "'");
        QCOMPARE(tabla(), esperada);
        rs.Open(Sentencias::BorrarPorCodigo(otro), conexion_, 2, 3, -1);
        esperada.remove(otro);
        QCOMPARE(tabla(), esperada);
    }

    void find_data()
    {
        QTest::addColumn<Busca>("caso");
        QTest::newRow("=") << Busca{"Codigo = '28'", "", 0, 1, "28"};
        QTest::newRow("< cumple la fila actual") << Busca{"Codigo < '03'", "", 0, 1, "01"};
        QTest::newRow(">= saltando uno") << Busca{"Codigo >= '03'", "03", 1, 1, "04"};
        QTest::newRow("like * al final") << Busca{"Codigo like '2*'", "", 0, 1, "20"};
        QTest::newRow("like distingue mayúsculas") << Busca{"Provincia like 'madrid'", "", 0, 1, "EOF"};
        QTest::newRow("= cuenta los espacios finales") << Busca{"Provincia = 'Madrid '", "", 0, 1, "EOF"};
        QTest::newRow("fallo hacia atrás deja BOF") << Busca{"Codigo > '50'", "10", 0, -1, "BOF"};
    }

    void find()
    {
        QFETCH(Busca, caso);
        const auto& [criterio, desde, salto, direccion, esperado] = caso;
        Recordset rs;
        rs.Open("SELECT Codigo, Provincia FROM Provincias ORDER BY Codigo", conexion_, 2, 3, -1);
        while (!desde.isEmpty() && rs.Fields("Codigo").Value().toString() != desde)
            rs.MoveNext();
        rs.Find(criterio, salto, direccion);
        QCOMPARE(rs.Eof() ? "EOF" : rs.Bof() ? "BOF" : rs.Fields("Codigo").Value().toString(), esperado);
    }

    // Failures of the engine and rows changed by another user: the exact number, the driver's
    // code, and the table as the other user left it.
    void erroresDelMotor_data()
    {
        QTest::addColumn<Accion>("accion");
        QTest::addColumn<long>("numero");
        QTest::addColumn<QStringList>("nativos"); // empty: any
        QTest::addColumn<int>("filas");
        QTest::addColumn<QString>("nombre30"); // empty: no row
        const QStringList duplicado = Postgres ? QStringList{"23505"} : QStringList{"1555", "2067"};
        const auto abrir = [](const QString& sentencia) {
            return Accion([=](Recordset& rs, const ConnectionPtr& c) { rs.Open(sentencia, c, 2, 3, -1); });
        };
        QTest::newRow("alta duplicada") << Accion([](Recordset& rs, const ConnectionPtr& c) {
            Agregar(rs, c, "28", "Otra Madrid");
        }) << ErroresDatos::ViolacionIntegridad << duplicado << 52 << "Murcia";
        QTest::newRow("código duplicado al modificar") << Accion([](Recordset& rs, const ConnectionPtr& c) {
            rs.Open(Sentencias::PorCodigoParaModificar("30"), c, 2, 3, -1);
            rs.Collect("Codigo", "28");
            rs.Update();
        }) << ErroresDatos::ViolacionIntegridad << duplicado << 52 << "Murcia";
        QTest::newRow("borrado con datos relacionados") << abrir(Sentencias::BorrarPorCodigo("28"))
            << ErroresDatos::ViolacionIntegridad << QStringList{Postgres ? "23503" : "787"} << 52 << "Murcia";
        QTest::newRow("comilla sin doblar") << abrir("DELETE From Provincias WHERE (((Provincias.Codigo) Like 'O'1'))")
                                            << ErroresDatos::ErrorSintaxis << QStringList() << 52 << "Murcia";
        QTest::newRow("tabla inexistente") << abrir("SELECT * FROM NoExiste") << ErroresDatos::TablaNoExiste
                                           << QStringList{Postgres ? "42P01" : "1"} << 52 << "Murcia";
        QTest::newRow("columna inexistente") << abrir("SELECT Nada FROM Provincias") << ErroresDatos::ColumnaNoExiste
                                             << QStringList{Postgres ? "42703" : "1"} << 52 << "Murcia";
        QTest::newRow("nombre nulo") << abrir("INSERT INTO Provincias (Codigo) VALUES ('99')") << ErroresDatos::RestriccionIncumplida
                                     << QStringList{Postgres ? "23502" : "1299"} << 52 << "Murcia";
        // Refused before the engine would alter them: no native code.
        QTest::newRow("nombre con media pareja UTF-16") << Accion([](Recordset& rs, const ConnectionPtr& c) {
            Agregar(rs, c, "99", "Mal" + QString(QChar(0xD800)));
        }) << ErroresDatos::ConversionNoValida << QStringList{""} << 52 << "Murcia";
        QTest::newRow("sentencia con carácter nulo") << abrir(Sentencias::ComprobarCodigo(QString("28") + QChar(0)))
                                                     << ErroresDatos::ConversionNoValida << QStringList{""} << 52 << "Murcia";
        if (Postgres)
            QTest::newRow("nombre con carácter nulo") << Accion([](Recordset& rs, const ConnectionPtr& c) {
                Agregar(rs, c, "99", QString("Mal") + QChar(0));
            }) << ErroresDatos::ConversionNoValida << QStringList{""} << 52 << "Murcia";
        // Another user changes the row between the read and the update: nobody's change is lost unseen.
        const QString origen = base_->Origen();
        const auto cambiaOtro = [=](const QString& cambio) {
            return Accion([=](Recordset& rs, const ConnectionPtr& c) {
                rs.Open(Sentencias::PorCodigoParaModificar("30"), c, 2, 3, -1);
                Connection::Abrir(origen)->Execute(cambio);
                rs.Collect("Codigo", "30");
                rs.Collect("Provincia", "Murcia editada");
                rs.Update();
            });
        };
        if (Postgres)
            QTest::newRow("tabla bloqueada por otro usuario") << Accion([=](Recordset& rs, const ConnectionPtr& c) {
                const ConnectionPtr otra = Connection::Abrir(origen);
                otra->Execute("BEGIN");
                otra->Execute("LOCK TABLE Provincias IN EXCLUSIVE MODE");
                c->Execute("SET lock_timeout = '200ms'");
                Agregar(rs, c, "99", "Bloqueada");
            }) << ErroresDatos::BaseBloqueada << QStringList{"55P03"} << 52 << "Murcia";
        QTest::newRow("otro usuario borra la fila") << cambiaOtro(Sentencias::BorrarPorCodigo("30"))
                                                    << ErroresDatos::FilaDesaparecida << QStringList{""} << 51 << "";
        QTest::newRow("otro usuario cambia el código") << cambiaOtro("UPDATE Provincias SET Codigo = '99' WHERE Codigo = '30'")
                                                       << ErroresDatos::FilaDesaparecida << QStringList{""} << 52 << "";
        QTest::newRow("otro usuario cambia el nombre")
            << cambiaOtro("UPDATE Provincias SET Provincia = 'Murcia del otro' WHERE Codigo = '30'")
            << ErroresDatos::FilaDesaparecida << QStringList{""} << 52 << "Murcia del otro";
    }

    void erroresDelMotor()
    {
        QFETCH(Accion, accion);
        QFETCH(long, numero);
        QFETCH(QStringList, nativos);
        QFETCH(int, filas);
        QFETCH(QString, nombre30);
        Recordset rs;
        try {
            accion(rs, conexion_);
            QFAIL("La base de datos tenía que rechazar la operación");
        } catch (const ErrorDatos& error) {
            QCOMPARE(error.Number(), numero);
            QVERIFY2(nativos.isEmpty() ? !error.NativeCode().isEmpty() : nativos.contains(error.NativeCode()),
                     qPrintable(error.NativeCode()));
            QVERIFY(!error.Description().isEmpty());
            QVERIFY(!error.Statement().isEmpty());
        }
        rs.CancelBatch(3);
        QCOMPARE(Contar(*conexion_), filas);
        QCOMPARE(Escalar(*conexion_, "SELECT COUNT(DISTINCT Codigo) FROM Provincias").toInt(), filas);
        QCOMPARE(NombreDe(*conexion_, "28"), QStringLiteral("Madrid"));
        QCOMPARE(Contar(*conexion_, "WHERE Codigo = '30'"), nombre30.isEmpty() ? 0 : 1);
        if (!nombre30.isEmpty())
            QCOMPARE(NombreDe(*conexion_, "30"), nombre30);
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
                conexion_->Execute(sentencia);
            CrearEsquemaSiFalta(*conexion_);
        }
        Recordset rs;
        rs.Open(Sentencias::PorCodigoParaModificar("28"), conexion_, 2, 3, -1);
        rs.Collect("Codigo", "99");
        rs.Update();
        rs.Close();
        QCOMPARE(Escalar(*conexion_, "SELECT Codigo FROM Municipios WHERE CodigoProvincia = '99'").toString(),
                 QStringLiteral("28079"));
        QCOMPARE(Escalar(*conexion_, "SELECT COUNT(*) FROM Municipios").toInt(), anterior ? 2 : 6);
        QCOMPARE(NumeroDeError<ErrorDatos>([&] { rs.Open(Sentencias::BorrarPorCodigo("99"), conexion_, 2, 3, -1); }),
                 ErroresDatos::ViolacionIntegridad);
        QCOMPARE(NombreDe(*conexion_, "99"), QStringLiteral("Madrid"));
        // Other users keep writing while a read is pending.
        if (!Postgres)
            QCOMPARE(Escalar(*conexion_, "PRAGMA journal_mode").toString(), QStringLiteral("wal"));
        QCOMPARE(Escalar(*conexion_, Postgres ? "SELECT COUNT(*) FROM pg_indexes WHERE indexname = 'ixmunicipiosprovincia'"
                                               : "SELECT COUNT(*) FROM sqlite_master WHERE name = 'IxMunicipiosProvincia'")
                     .toInt(), 1);
    }

    // Transactions of the connection and misuse of a recordset: each case ends with none open,
    // the connection usable and only what was committed seen by another connection.
    void transacciones_data()
    {
        QTest::addColumn<Accion>("accion");
        QTest::addColumn<QString>("nombre28");
        QTest::addColumn<long>("numero"); // 0: no error
        const auto nombrar = [](const ConnectionPtr& c, const char* nombre) {
            c->Execute(QStringLiteral("UPDATE Provincias SET Provincia = '%1' WHERE Codigo = '28'").arg(nombre));
        };
        QTest::newRow("anidada deshecha en una confirmada") << Accion([=](Recordset&, const ConnectionPtr& c) {
            QCOMPARE(c->BeginTrans(), 1L);
            nombrar(c, "Uno");
            QCOMPARE(c->BeginTrans(), 2L);
            nombrar(c, "Dos");
            c->RollbackTrans();
            c->CommitTrans();
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
        QTest::newRow("lectura en el servidor en una transacción deshecha") << Accion([=](Recordset& rs, const ConnectionPtr& c) {
            c->BeginTrans();
            rs.setCursorLocation(Recordset::adUseServer);
            rs.Open("SELECT a.Codigo FROM Provincias a, Provincias b", c, 3, 1, -1);
            c->RollbackTrans();
            QCOMPARE(Columna(rs, "Codigo").size(), 52 * 52);
        }) << "Madrid" << 0L;
        // Misuse of a recordset that would write the wrong rows or lose an edit: the error, and the
        // connection as it was.
        QTest::newRow("AddNew en consulta de dos tablas") << Accion([](Recordset& rs, const ConnectionPtr& c) {
            rs.Open("SELECT Provincias.Codigo, Municipios.Municipio FROM Provincias, Municipios", c, 2, 3, -1);
            rs.AddNew();
        }) << "Madrid" << ErroresDatos::NoActualizable;
        QTest::newRow("mover con cambios pendientes") << Accion([](Recordset& rs, const ConnectionPtr& c) {
            rs.Open(Sentencias::TodasPorNombre(), c, 2, 3, -1);
            rs.Collect("Provincia", "X");
            rs.MoveNext();
        }) << "Madrid" << ErroresDatos::EdicionPendiente;
    }

    void transacciones()
    {
        QFETCH(Accion, accion);
        QFETCH(QString, nombre28);
        QFETCH(long, numero);
        Recordset rs;
        QCOMPARE(NumeroDeError<ErrorDatos>([&] { accion(rs, conexion_); }), numero);
        QCOMPARE(conexion_->NivelTransaccion(), 0L);
        QVERIFY(!conexion_->EnTransaccion());
        const ConnectionPtr otra = base_->Abrir();
        QCOMPARE(NombreDe(*otra, "28"), nombre28);
        QCOMPARE(Escalar(*otra, "SELECT COUNT(*) FROM Municipios").toInt(), 6);
        conexion_->Execute("UPDATE Provincias SET Provincia = 'Murcia nueva' WHERE Codigo = '30'");
        QCOMPARE(NombreDe(*otra, "30"), QStringLiteral("Murcia nueva"));
    }

    void origenNoValido_data()
    {
        QTest::addColumn<QString>("origen");
        QTest::addColumn<long>("numero");
        if (Postgres) {
            QUrl servidor(base_->Origen());
            servidor.setPort(1);
            QTest::newRow("servidor inalcanzable") << servidor.toString() << ErroresDatos::FalloConexion;
            QUrl base(base_->Origen());
            base.setPath("/no_existe_esta_base");
            QTest::newRow("base inexistente") << base.toString() << ErroresDatos::FalloConexion;
            return;
        }
        const QString carpeta = base_->Carpeta();
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
        LlenarProvinciasDePrueba(*conexion_, total);
        const auto codigo = [](qsizetype fila) { return QStringLiteral("%1").arg(fila + 1, 5, 10, QLatin1Char('0')); };
        Recordset rs;
        rs.setCursorLocation(Recordset::adUseServer);
        rs.Open("SELECT Provincias.* From Provincias ORDER BY Provincias.Codigo", conexion_, Recordset::adOpenStatic,
                Recordset::adLockReadOnly, -1);
        for (int i = 0; i < avance; ++i, rs.MoveNext()) {
            if (rs.Fields("Codigo").Value().toString() != codigo(i))
                QFAIL(qPrintable(QStringLiteral("fila %1: %2").arg(i).arg(rs.Fields("Codigo").Value().toString())));
            if (i == 20000) // a write on the same connection while the read is pending
                conexion_->Execute("UPDATE Provincias SET Actualizado = 'x' WHERE Codigo = '00001'");
        }

        qsizetype esperada = avance; // -1: before the first row
        if (operacion == "RecordCount") {
            QCOMPARE(rs.RecordCount(), long(total));
        } else if (operacion == "MovePrevious") {
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
            esperada = total - 2;
        }
        if (esperada < 0)
            QVERIFY(rs.Bof());
        else
            QCOMPARE(rs.Fields("Provincia").Value().toString().section(QLatin1Char(' '), -1), QString::number(esperada + 1));
        // Whatever the move, the rest reads on to the end in order.
        for (qsizetype fila = esperada; fila >= 0 && fila < total; ++fila, rs.MoveNext())
            QCOMPARE(rs.Fields("Codigo").Value().toString(), codigo(fila));
        QCOMPARE(rs.Eof(), esperada >= 0);
    }
};

QTEST_GUILESS_MAIN(PruebaDatos)
#include "tst_Datos.moc"
