// A separate process for the fault tests, using the real data layer as the window does.
//
//   fallos_escritor escribir ORIGEN DIARIO SEMILLA
//     Saves new provinces (S2 + AddNew + Update), changes existing ones (S3 + Collect + Update,
//     sometimes with a new code) and deletes them (S4), until it is killed or has done its
//     bounded share. Before each write it appends "P<tab>operation<tab>code<tab>new code<tab>name"
//     to the journal DIARIO and, once the data layer has reported success, "C" (or "F" on a
//     refusal), each line synced to disk before it goes on. Prints "listo" once connected.
//
//   fallos_escritor bloquear ORIGEN
//     Takes SQLite's write lock (BEGIN IMMEDIATE), prints "bloqueado" and keeps it until its
//     standard input closes or a line arrives (at most 60 s), then lets it go.
//
//   fallos_escritor guardar ORIGEN CODIGO NOMBRE
//     One save of a new province; prints "ok" or "error NUMERO DESCRIPCION".

#include "Connection.h"
#include "ErrorDatos.h"
#include "Recordset.h"
#include "Sentencias.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QStringList>
#include <QTextStream>

#include <cstdio>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace {

constexpr int OperacionesMaximas = 20000;
constexpr qint64 TiempoMaximoMs = 60000;

void Decir(const char* texto)
{
    std::fputs(texto, stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

class Diario {
public:
    explicit Diario(const QString& ruta)
    {
        m_descriptor = ::open(QFile::encodeName(ruta).constData(), O_WRONLY | O_APPEND | O_CREAT, 0644);
    }
    ~Diario()
    {
        if (m_descriptor >= 0)
            ::close(m_descriptor);
    }
    bool Abierto() const { return m_descriptor >= 0; }
    // The line is on disk when this returns: a kill right after it cannot lose it.
    bool Escribir(const QString& linea)
    {
        const QByteArray datos = (linea + QLatin1Char('\n')).toUtf8();
        return ::write(m_descriptor, datos.constData(), size_t(datos.size())) == datos.size()
            && ::fsync(m_descriptor) == 0;
    }

private:
    int m_descriptor = -1;
};

QString FechaActual()
{
    return QDateTime::currentDateTime().toString(QStringLiteral("dd/MM/yyyy HH:mm:ss"));
}

// The save of a new province, as the window does it.
void GuardarNueva(const ConnectionPtr& conexion, const QString& codigo, const QString& nombre)
{
    Recordset rs;
    rs.Open(Sentencias::TodasLasColumnas(), conexion, 2, 3, -1);
    rs.AddNew();
    rs.Collect(QStringLiteral("Codigo"), codigo);
    rs.Collect(QStringLiteral("Provincia"), nombre);
    rs.Collect(QStringLiteral("Actualizado"), FechaActual());
    rs.Collect(QStringLiteral("ModificadoPor"), QStringLiteral("escritor"));
    try {
        rs.Update();
    } catch (...) {
        rs.CancelUpdate();
        throw;
    }
    rs.Requery(-1);
    rs.Close();
}

// The save of an existing province, found by its old code; false when the row is gone.
bool GuardarExistente(const ConnectionPtr& conexion, const QString& codigo, const QString& nuevoCodigo,
                      const QString& nombre)
{
    Recordset rs;
    rs.Open(Sentencias::PorCodigoParaModificar(codigo), conexion, 2, 3, -1);
    if (rs.Eof())
        return false;
    rs.Collect(QStringLiteral("Codigo"), nuevoCodigo);
    rs.Collect(QStringLiteral("Provincia"), nombre);
    rs.Collect(QStringLiteral("Actualizado"), FechaActual());
    rs.Collect(QStringLiteral("ModificadoPor"), QStringLiteral("escritor"));
    rs.Update();
    rs.Requery(-1);
    rs.Close();
    return true;
}

void Borrar(const ConnectionPtr& conexion, const QString& codigo)
{
    Recordset rs;
    rs.Open(Sentencias::BorrarPorCodigo(codigo), conexion, 2, 3, -1);
}

QString NombreAlAzar(QRandomGenerator& azar)
{
    static const QStringList raices = {
        QStringLiteral("Ourense"), QStringLiteral("Cáceres"), QStringLiteral("A Coruña"),
        QStringLiteral("Ávila"), QStringLiteral("Logroño"), QStringLiteral("Jaén"),
        QStringLiteral("Castellón"), QStringLiteral("Güímar"), QStringLiteral("L'Hospitalet")};
    return raices[azar.bounded(int(raices.size()))] + QLatin1Char(' ') + QString::number(azar.bounded(100000));
}

int Escribir(const QString& origen, const QString& rutaDiario, quint32 semilla)
{
    Diario diario(rutaDiario);
    if (!diario.Abierto()) {
        std::fprintf(stderr, "No se puede abrir el diario %s\n", qPrintable(rutaDiario));
        return 2;
    }
    ConnectionPtr conexion = Connection::Abrir(origen);
    QStringList codigos;
    {
        Recordset rs;
        rs.Open(Sentencias::TodasPorNombre(), conexion, 3, 1, -1);
        while (!rs.Eof()) {
            codigos << rs.Fields(QStringLiteral("Codigo")).Value().toString();
            rs.MoveNext();
        }
        rs.Close();
    }
    Decir("listo");

    QRandomGenerator azar(semilla);
    int serie = 0;
    const auto codigoNuevo = [&] { return QStringLiteral("K%1-%2").arg(semilla).arg(++serie); };
    QElapsedTimer reloj;
    reloj.start();
    for (int n = 0; n < OperacionesMaximas && reloj.elapsed() < TiempoMaximoMs; ++n) {
        const int tirada = azar.bounded(10);
        QString operacion, codigo, nuevo, nombre;
        if (codigos.size() < 5 || tirada < 4) {
            operacion = QStringLiteral("I");
            codigo = nuevo = codigoNuevo();
            nombre = NombreAlAzar(azar);
        } else if (tirada < 8) {
            operacion = QStringLiteral("U");
            codigo = codigos[azar.bounded(int(codigos.size()))];
            nuevo = tirada == 7 ? codigoNuevo() : codigo;
            nombre = NombreAlAzar(azar);
        } else {
            operacion = QStringLiteral("D");
            codigo = nuevo = codigos[azar.bounded(int(codigos.size()))];
        }
        if (!diario.Escribir(QStringList{QStringLiteral("P"), operacion, codigo, nuevo, nombre}.join(QLatin1Char('\t'))))
            return 2;
        try {
            if (operacion == QLatin1String("I")) {
                GuardarNueva(conexion, codigo, nombre);
                codigos << codigo;
            } else if (operacion == QLatin1String("U")) {
                if (!GuardarExistente(conexion, codigo, nuevo, nombre)) {
                    std::fprintf(stderr, "La fila %s ha desaparecido sin que nadie la borrara\n", qPrintable(codigo));
                    return 3;
                }
                codigos[codigos.indexOf(codigo)] = nuevo;
            } else {
                Borrar(conexion, codigo);
                codigos.removeOne(codigo);
            }
        } catch (const ErrorDatos& error) {
            diario.Escribir(QStringLiteral("F"));
            std::fprintf(stderr, "Error inesperado: %s\n", error.what());
            return 2;
        }
        if (!diario.Escribir(QStringLiteral("C")))
            return 2;
    }
    return 0;
}

int Bloquear(const QString& origen)
{
    ConnectionPtr conexion = Connection::Abrir(origen);
    conexion->Execute(QStringLiteral("BEGIN IMMEDIATE"));
    Decir("bloqueado");
    pollfd entrada{STDIN_FILENO, POLLIN, 0};
    ::poll(&entrada, 1, int(TiempoMaximoMs));
    conexion->Execute(QStringLiteral("ROLLBACK"));
    return 0;
}

int GuardarUna(const QString& origen, const QString& codigo, const QString& nombre)
{
    try {
        ConnectionPtr conexion = Connection::Abrir(origen);
        GuardarNueva(conexion, codigo, nombre);
        Decir("ok");
    } catch (const ErrorDatos& error) {
        Decir(QStringLiteral("error %1 %2").arg(error.Number()).arg(error.Description()).toUtf8().constData());
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication aplicacion(argc, argv);
    const QStringList argumentos = aplicacion.arguments();
    const QString modo = argumentos.value(1);
    try {
        if (modo == QLatin1String("escribir") && argumentos.size() == 5)
            return Escribir(argumentos[2], argumentos[3], argumentos[4].toUInt());
        if (modo == QLatin1String("bloquear") && argumentos.size() == 3)
            return Bloquear(argumentos[2]);
        if (modo == QLatin1String("guardar") && argumentos.size() == 5)
            return GuardarUna(argumentos[2], argumentos[3], argumentos[4]);
    } catch (const ErrorDatos& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 2;
    }
    std::fprintf(stderr, "Uso: %s escribir ORIGEN DIARIO SEMILLA | bloquear ORIGEN | guardar ORIGEN CODIGO NOMBRE\n",
                 argv[0]);
    return 1;
}
