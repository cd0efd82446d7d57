#include "tests/fallos/ApoyoFallos.h"

#include "data/ErroresDatos.h"
#include "data/Recordset.h"
#include "component/Sentencias.h"

#include <QCoreApplication>
#include <QFile>
#include <QSqlError>
#include <QSqlQuery>

#include <sys/mount.h>

namespace ApoyoFallos {

bool EsSoak()
{
    return qEnvironmentVariable("QUILTREN_SOAK") == QLatin1String("1");
}

namespace {

void Recoger(Recordset& rs, const QString& codigo, const QString& nombre)
{
    rs.Collect(QStringLiteral("Codigo"), codigo);
    rs.Collect(QStringLiteral("Provincia"), nombre);
    rs.Collect(QStringLiteral("Actualizado"), QStringLiteral("01/01/2024 10:00:00"));
    rs.Collect(QStringLiteral("ModificadoPor"), QStringLiteral("fallos"));
    rs.Update();
}

QSqlQuery Consultar(Connection& conexion, const QString& sentencia)
{
    QSqlQuery consulta(conexion.Base());
    consulta.setForwardOnly(true);
    if (!consulta.exec(sentencia))
        throw ErrorDatos::DesdeSql(consulta.lastError(), sentencia, conexion.EsPostgres());
    return consulta;
}

} // namespace

void GuardarNueva(const ConnectionPtr& conexion, const QString& codigo, const QString& nombre)
{
    Recordset rs;
    rs.Open(Sentencias::TodasLasColumnas(), conexion, 2, 3, -1);
    rs.AddNew();
    Recoger(rs, codigo, nombre);
    rs.Requery(-1);
}

bool Modificar(const ConnectionPtr& conexion, const QString& codigo, const QString& nuevoCodigo, const QString& nombre)
{
    Recordset rs;
    rs.Open(Sentencias::PorCodigoParaModificar(codigo), conexion, 2, 3, -1);
    if (rs.Eof())
        return false;
    Recoger(rs, nuevoCodigo, nombre);
    return true;
}

void Borrar(const ConnectionPtr& conexion, const QString& codigo)
{
    Recordset rs;
    rs.Open(Sentencias::BorrarPorCodigo(codigo), conexion, 2, 3, -1);
}

QString ArrancarEscritor(QProcess& escritor, const QStringList& argumentos, const char* aviso)
{
    // It is built beside the tests.
    escritor.start(QCoreApplication::applicationDirPath() + QStringLiteral("/fallos_escritor"), argumentos);
    QByteArray salida;
    while (!salida.contains(aviso) && escritor.waitForReadyRead(10000))
        salida += escritor.readAllStandardOutput();
    if (salida.contains(aviso))
        return {};
    return QStringLiteral("el escritor no dijo «%1»: %2")
        .arg(QLatin1String(aviso), QString::fromLocal8Bit(escritor.readAllStandardError()));
}

bool SoltarBloqueo(QProcess& bloqueador)
{
    bloqueador.write("\n");
    bloqueador.closeWriteChannel();
    return bloqueador.waitForFinished(10000);
}

Montaje::Montaje(const QString& carpeta) : ruta_(QFile::encodeName(carpeta))
{
    montado_ = ::mount("tmpfs", ruta_.constData(), "tmpfs", 0, "size=512k,mode=0777") == 0;
}

Montaje::~Montaje()
{
    if (montado_)
        ::umount2(ruta_.constData(), MNT_DETACH);
}

bool LlenarDisco(const QString& ruta)
{
    QFile relleno(ruta);
    if (!relleno.open(QIODevice::WriteOnly))
        return false;
    const QByteArray bloque(4096, 'x');
    while (relleno.write(bloque) == bloque.size() && relleno.flush()) {}
    while (relleno.write("x", 1) == 1 && relleno.flush()) {}
    return true;
}

Tabla LeerTabla(Connection& conexion)
{
    if (!conexion.EsPostgres()) {
        QSqlQuery integridad = Consultar(conexion, QStringLiteral("PRAGMA integrity_check"));
        if (!integridad.next() || integridad.value(0).toString() != QLatin1String("ok"))
            throw ErrorDatos(ErroresDatos::BaseDanada, QStringLiteral("integrity_check: ") + integridad.value(0).toString());
    }
    QSqlQuery consulta = Consultar(conexion, QStringLiteral("SELECT Codigo, Provincia FROM Provincias"));
    Tabla tabla;
    while (consulta.next()) {
        const QString codigo = consulta.value(0).toString();
        tabla.insert(tabla.contains(codigo) ? codigo + QStringLiteral(" (repetida)") : codigo, consulta.value(1).toString());
    }
    if (consulta.lastError().isValid())
        throw ErrorDatos::DesdeSql(consulta.lastError(), QStringLiteral("SELECT"), conexion.EsPostgres());
    return tabla;
}

QString Diferencias(const Tabla& esperada, const Tabla& obtenida)
{
    QStringList lineas;
    Tabla todas = esperada;
    todas.insert(obtenida);
    for (auto fila = todas.cbegin(); fila != todas.cend() && lineas.size() < 8; ++fila) {
        const QString antes = esperada.value(fila.key(), QStringLiteral("nada")).left(40);
        const QString ahora = obtenida.value(fila.key(), QStringLiteral("nada")).left(40);
        if (antes != ahora || esperada.contains(fila.key()) != obtenida.contains(fila.key()))
            lineas << QStringLiteral("«%1» tiene «%2» en lugar de «%3»").arg(fila.key().left(40), ahora, antes);
    }
    return QStringLiteral("%1 filas esperadas, %2 obtenidas: %3")
        .arg(esperada.size()).arg(obtenida.size()).arg(lineas.join(QStringLiteral("; ")));
}

} // namespace ApoyoFallos
