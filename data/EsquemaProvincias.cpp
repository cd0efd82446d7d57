#include "data/EsquemaProvincias.h"

#include "data/ErrorDatos.h"
#include "data/ErroresDatos.h"

#include <QFile>
#include <QFileInfo>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>

namespace {

struct Provincia {
    const char* codigo;
    const char* nombre;
};

// INE codes; names as a Spanish reader writes them, each fitting the 20 characters of the
// window's name field.
const Provincia Provincias[] = {
    {"01", "Álava"}, {"02", "Albacete"}, {"03", "Alicante"}, {"04", "Almería"},
    {"05", "Ávila"}, {"06", "Badajoz"}, {"07", "Baleares"}, {"08", "Barcelona"},
    {"09", "Burgos"}, {"10", "Cáceres"}, {"11", "Cádiz"}, {"12", "Castellón"},
    {"13", "Ciudad Real"}, {"14", "Córdoba"}, {"15", "A Coruña"}, {"16", "Cuenca"},
    {"17", "Girona"}, {"18", "Granada"}, {"19", "Guadalajara"}, {"20", "Guipúzcoa"},
    {"21", "Huelva"}, {"22", "Huesca"}, {"23", "Jaén"}, {"24", "León"},
    {"25", "Lleida"}, {"26", "La Rioja"}, {"27", "Lugo"}, {"28", "Madrid"},
    {"29", "Málaga"}, {"30", "Murcia"}, {"31", "Navarra"}, {"32", "Ourense"},
    {"33", "Asturias"}, {"34", "Palencia"}, {"35", "Las Palmas"}, {"36", "Pontevedra"},
    {"37", "Salamanca"}, {"38", "S.C. de Tenerife"}, {"39", "Cantabria"}, {"40", "Segovia"},
    {"41", "Sevilla"}, {"42", "Soria"}, {"43", "Tarragona"}, {"44", "Teruel"},
    {"45", "Toledo"}, {"46", "Valencia"}, {"47", "Valladolid"}, {"48", "Vizcaya"},
    {"49", "Zamora"}, {"50", "Zaragoza"}, {"51", "Ceuta"}, {"52", "Melilla"},
};

struct Municipio {
    const char* codigo;
    const char* nombre;
    const char* provincia;
};

const Municipio Municipios[] = {
    {"01059", "Vitoria-Gasteiz", "01"}, {"08019", "Barcelona", "08"}, {"28079", "Madrid", "28"},
    {"41091", "Sevilla", "41"}, {"46250", "Valencia", "46"}, {"50297", "Zaragoza", "50"},
};

void Ejecutar(QSqlQuery& consulta, const QString& sentencia, bool postgres)
{
    if (!consulta.exec())
        throw ErrorDatos::DesdeSql(consulta.lastError(), sentencia, postgres);
}

void Preparar(QSqlQuery& consulta, const QString& sentencia, bool postgres)
{
    if (!consulta.prepare(sentencia))
        throw ErrorDatos::DesdeSql(consulta.lastError(), sentencia, postgres);
}

const QString IndiceNombre = QStringLiteral("CREATE INDEX IxProvinciasNombre ON Provincias (Provincia, Codigo)");

// The Spanish collation PostgreSQL offers, from the most to the least specific.
QString ColacionPostgres(Connection& conexion)
{
    QSqlQuery consulta(conexion.Base());
    const QString sentencia = QStringLiteral(
        "SELECT collname FROM pg_collation WHERE collname IN ('es-ES-x-icu', 'es-x-icu', 'und-x-icu') "
        "ORDER BY CASE collname WHEN 'es-ES-x-icu' THEN 0 WHEN 'es-x-icu' THEN 1 ELSE 2 END LIMIT 1");
    if (!consulta.exec(sentencia))
        throw ErrorDatos::DesdeSql(consulta.lastError(), sentencia, true);
    if (!consulta.next())
        throw ErrorDatos(ErroresDatos::ErrorProveedor,
                         QStringLiteral("El servidor PostgreSQL no tiene colaciones ICU para ordenar en español."), {},
                         sentencia);
    return consulta.value(0).toString();
}

// Runs `trabajo` in one transaction, undone whole when it fails.
template <typename Trabajo>
void EnTransaccion(Connection& conexion, Trabajo trabajo)
{
    conexion.BeginTrans();
    try {
        trabajo();
    } catch (...) {
        try {
            conexion.RollbackTrans();
        } catch (const ErrorDatos&) {
            // The failure of the work is the one to report.
        }
        throw;
    }
    conexion.CommitTrans();
}

// A town follows a change of its province's code; a province that still has towns is not deleted.
const QString ReferenciaProvincia = QStringLiteral("REFERENCES Provincias (Codigo) ON UPDATE CASCADE ON DELETE NO ACTION");

QString CrearMunicipios(const QString& tabla, const QString& colacionCodigo)
{
    return QStringLiteral("CREATE TABLE %1 (Codigo TEXT%2 NOT NULL PRIMARY KEY, Municipio TEXT NOT NULL, "
                          "CodigoProvincia TEXT%2 NOT NULL %3)")
        .arg(tabla, colacionCodigo, ReferenciaProvincia);
}

const QString IndiceMunicipios = QStringLiteral("CREATE INDEX IxMunicipiosProvincia ON Municipios (CodigoProvincia)");

QVariant Consultar(Connection& conexion, const QString& sentencia)
{
    QSqlQuery consulta(conexion.Base());
    consulta.setForwardOnly(true);
    if (!consulta.exec(sentencia))
        throw ErrorDatos::DesdeSql(consulta.lastError(), sentencia, conexion.EsPostgres());
    return consulta.next() ? consulta.value(0) : QVariant();
}

// Databases made by earlier versions of the demo have the towns' reference without the cascade,
// so a province with towns could not be given a new code. Only that exact old reference is
// changed (on PostgreSQL the name of its constraint is returned); a table of another shape is
// someone else's and is left as it is.
bool ReferenciaSinCascada(Connection& conexion, QString& restriccion)
{
    if (conexion.EsPostgres()) {
        restriccion = Consultar(conexion, QStringLiteral(
            "SELECT c.conname FROM pg_constraint c JOIN pg_attribute a "
            "ON a.attrelid = c.conrelid AND a.attnum = c.conkey[1] "
            "WHERE c.contype = 'f' AND c.conrelid = to_regclass('municipios') "
            "AND c.confrelid = to_regclass('provincias') AND cardinality(c.conkey) = 1 "
            "AND a.attname = 'codigoprovincia' AND c.confupdtype = 'a' AND c.confdeltype = 'a'")).toString();
        return !restriccion.isEmpty();
    }
    const bool columnas = Consultar(conexion, QStringLiteral(
        "SELECT group_concat(lower(name), ',') FROM (SELECT name FROM pragma_table_info('Municipios') ORDER BY cid)"))
        .toString() == QLatin1String("codigo,municipio,codigoprovincia");
    return columnas && Consultar(conexion, QStringLiteral(
        "SELECT COUNT(*) FROM pragma_foreign_key_list('Municipios') WHERE lower(\"table\") = 'provincias' "
        "AND lower(\"from\") = 'codigoprovincia' AND on_update = 'NO ACTION' AND on_delete = 'NO ACTION'"))
        .toInt() == 1;
}

void AnadirCascada(Connection& conexion, const QString& restriccion, const QString& colacionCodigo)
{
    if (conexion.EsPostgres()) {
        const QString nombre = conexion.Base().driver()->escapeIdentifier(restriccion, QSqlDriver::TableName);
        conexion.Execute(QStringLiteral("ALTER TABLE Municipios DROP CONSTRAINT %1, ADD CONSTRAINT %1 "
                                        "FOREIGN KEY (CodigoProvincia) %2").arg(nombre, ReferenciaProvincia));
        return;
    }
    // SQLite cannot change a reference in place: the table is made again with it and its rows copied.
    conexion.Execute(CrearMunicipios(QStringLiteral("MunicipiosNuevos"), colacionCodigo));
    conexion.Execute(QStringLiteral("INSERT INTO MunicipiosNuevos (Codigo, Municipio, CodigoProvincia) "
                                    "SELECT Codigo, Municipio, CodigoProvincia FROM Municipios"));
    conexion.Execute(QStringLiteral("DROP TABLE Municipios"));
    conexion.Execute(QStringLiteral("ALTER TABLE MunicipiosNuevos RENAME TO Municipios"));
    conexion.Execute(IndiceMunicipios);
}

} // namespace

void CrearEsquemaSiFalta(Connection& conexion)
{
    const bool postgres = conexion.EsPostgres();
    QStringList existentes;
    for (const QString& tabla : conexion.Base().tables())
        existentes << tabla.toLower();
    const auto falta = [&](const char* tabla) { return !existentes.contains(QLatin1String(tabla)); };

    const QString colacionNombre = postgres ? QStringLiteral("COLLATE \"%1\"").arg(ColacionPostgres(conexion))
                                            : QStringLiteral("COLLATE es");
    // Codes compare byte by byte on both engines, as SQLite's default does.
    const QString colacionCodigo = postgres ? QStringLiteral(" COLLATE \"C\"") : QString();

    QString restriccion;
    if (!falta("provincias") && !falta("municipios") && !falta("textos") && !falta("auditoria")
        && !ReferenciaSinCascada(conexion, restriccion))
        return;

    EnTransaccion(conexion, [&] {
        QSqlQuery consulta(conexion.Base());
        if (falta("provincias")) {
            conexion.Execute(QStringLiteral("CREATE TABLE Provincias (Codigo TEXT%1 NOT NULL PRIMARY KEY, "
                                            "Provincia TEXT %2 NOT NULL, Actualizado TEXT, ModificadoPor TEXT)")
                                 .arg(colacionCodigo, colacionNombre));
            // Makes the read in name order a scan of this index alone.
            conexion.Execute(IndiceNombre);
            const QString insertar = QStringLiteral("INSERT INTO Provincias (Codigo, Provincia) VALUES (?, ?)");
            Preparar(consulta, insertar, postgres);
            for (const Provincia& provincia : Provincias) {
                consulta.addBindValue(QString::fromUtf8(provincia.codigo));
                consulta.addBindValue(QString::fromUtf8(provincia.nombre));
                Ejecutar(consulta, insertar, postgres);
            }
        }
        if (falta("municipios")) {
            conexion.Execute(CrearMunicipios(QStringLiteral("Municipios"), colacionCodigo));
            // Lets the check of a province's delete and the change of its code find its towns without a scan.
            conexion.Execute(IndiceMunicipios);
            const QString insertar = QStringLiteral(
                "INSERT INTO Municipios (Codigo, Municipio, CodigoProvincia) "
                "SELECT ?, ?, Codigo FROM Provincias WHERE Codigo = ?");
            Preparar(consulta, insertar, postgres);
            for (const Municipio& municipio : Municipios) {
                consulta.addBindValue(QString::fromUtf8(municipio.codigo));
                consulta.addBindValue(QString::fromUtf8(municipio.nombre));
                consulta.addBindValue(QString::fromUtf8(municipio.provincia));
                Ejecutar(consulta, insertar, postgres);
            }
        } else if (ReferenciaSinCascada(conexion, restriccion)) {
            AnadirCascada(conexion, restriccion, colacionCodigo);
        }
        if (falta("textos")) {
            conexion.Execute(QStringLiteral(
                "CREATE TABLE Textos (Idioma TEXT NOT NULL PRIMARY KEY, Codigo TEXT, Provincia TEXT, "
                "Provincias TEXT, \"Datos Provincias\" TEXT, Pagina TEXT)"));
            const QString insertar = QStringLiteral(
                "INSERT INTO Textos (Idioma, Codigo, Provincia, Provincias, \"Datos Provincias\", Pagina) "
                "VALUES (?, ?, ?, ?, ?, ?)");
            Preparar(consulta, insertar, postgres);
            for (const char* texto : {"es", "Código", "Provincia", "Provincias", "Datos Provincias", "Página"})
                consulta.addBindValue(QString::fromUtf8(texto));
            Ejecutar(consulta, insertar, postgres);
        }
        if (falta("auditoria")) {
            conexion.Execute(QStringLiteral(
                "CREATE TABLE Auditoria (Fecha TEXT NOT NULL, Usuario TEXT, Sentencia TEXT NOT NULL)"));
        }
    });
}

ConnectionPtr AbrirBaseProvincias(const QString& origen)
{
    const bool nuevaSqlite = !origen.startsWith(QLatin1String("postgres"), Qt::CaseInsensitive)
        && origen != QLatin1String(":memory:") && !QFileInfo::exists(origen);
    ConnectionPtr conexion = Connection::Abrir(origen, Connection::Apertura::CrearSiFalta);
    try {
        CrearEsquemaSiFalta(*conexion);
    } catch (...) {
        // A file made just now and left without its tables would pass later for a database.
        if (nuevaSqlite) {
            conexion.reset();
            for (const char* sufijo : {"", "-wal", "-shm"})
                QFile::remove(origen + QLatin1String(sufijo));
        }
        throw;
    }
    return conexion;
}

QString SentenciaTextos(const QString& idioma)
{
    QString literal = idioma;
    literal.replace(QLatin1Char('\''), QLatin1String("''"));
    return QStringLiteral("SELECT * FROM Textos WHERE Idioma = '%1'").arg(literal);
}

void LlenarProvinciasDePrueba(Connection& conexion, int cuantas)
{
    if (cuantas < 0)
        throw ErrorDatos(ErroresDatos::ArgumentosNoValidos,
                         QStringLiteral("El número de provincias no puede ser negativo: %1").arg(cuantas));
    const bool postgres = conexion.EsPostgres();
    const int ancho = std::max(2, int(QString::number(cuantas).size()));
    const int base = int(std::size(Provincias));

    EnTransaccion(conexion, [&] {
        conexion.Execute(QStringLiteral("DELETE FROM Municipios"));
        conexion.Execute(QStringLiteral("DELETE FROM Provincias"));
        // Building the name index once at the end sorts the names instead of descending the
        // index for every row.
        conexion.Execute(QStringLiteral("DROP INDEX IF EXISTS IxProvinciasNombre"));
        if (postgres) {
            // One statement on the server: a prepared insert per row would cost a round trip each.
            QStringList nombres;
            for (const Provincia& provincia : Provincias)
                nombres << QLatin1Char('\'') + QString::fromUtf8(provincia.nombre) + QLatin1Char('\'');
            conexion.Execute(QStringLiteral(
                "INSERT INTO Provincias (Codigo, Provincia) "
                "SELECT lpad(i::text, %1, '0'), (ARRAY[%2])[1 + (i - 1) % %3] || ' ' || i "
                "FROM generate_series(1, %4) AS i")
                                 .arg(ancho).arg(nombres.join(QLatin1Char(','))).arg(base).arg(cuantas));
            conexion.Execute(IndiceNombre);
            return;
        }
        QSqlQuery consulta(conexion.Base());
        const QString insertar = QStringLiteral("INSERT INTO Provincias (Codigo, Provincia) VALUES (?, ?)");
        Preparar(consulta, insertar, false);
        QString nombres[std::size(Provincias)];
        for (int i = 0; i < base; ++i)
            nombres[i] = QString::fromUtf8(Provincias[i].nombre) + QLatin1Char(' ');
        for (int i = 1; i <= cuantas; ++i) {
            consulta.bindValue(0, QStringLiteral("%1").arg(i, ancho, 10, QLatin1Char('0')));
            consulta.bindValue(1, nombres[(i - 1) % base] + QString::number(i));
            Ejecutar(consulta, insertar, false);
        }
        consulta.finish();
        conexion.Execute(IndiceNombre);
    });
}
