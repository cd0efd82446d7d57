// A separate process for the fault tests, using the real data layer as the window does.
//
//   fallos_escritor escribir ORIGEN DIARIO SEMILLA
//     Saves new provinces, changes existing ones (now and then with a new code) and deletes them
//     until it is killed or has done its bounded share. Before each write it appends
//     "P<tab>operation<tab>code<tab>new code<tab>name" to the journal DIARIO and, once the data
//     layer has reported success, "C", each line synced to disk before it goes on; a refusal
//     ends it. Prints "listo" once connected.
//
//   fallos_escritor bloquear ORIGEN
//     Takes SQLite's write lock (BEGIN IMMEDIATE), prints "bloqueado" and keeps it until its
//     standard input closes or a line arrives (at most 60 s), then lets it go.

#include "tests/fallos/ApoyoFallos.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>

#include <cstdio>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

using namespace ApoyoFallos;

namespace {

constexpr qint64 TiempoMaximoMs = 60000;

void Decir(const char* texto)
{
    std::printf("%s\n", texto);
    std::fflush(stdout);
}

int Escribir(const QString& origen, const QString& rutaDiario, quint32 semilla)
{
    const int diario = ::open(QFile::encodeName(rutaDiario).constData(), O_WRONLY | O_APPEND | O_CREAT, 0644);
    // The line is on disk when this returns: a kill right after it cannot lose it.
    const auto anotar = [diario](const QStringList& partes) {
        const QByteArray linea = (partes.join(QLatin1Char('\t')) + QLatin1Char('\n')).toUtf8();
        return ::write(diario, linea.constData(), size_t(linea.size())) == linea.size() && ::fsync(diario) == 0;
    };
    if (diario < 0)
        return 2;
    ConnectionPtr conexion = Connection::Abrir(origen);
    QStringList codigos = LeerTabla(*conexion).keys();
    Decir("listo");

    QRandomGenerator azar(semilla);
    int serie = 0;
    const auto codigoNuevo = [&] { return QStringLiteral("K%1-%2").arg(semilla).arg(++serie); };
    QElapsedTimer reloj;
    reloj.start();
    for (int n = 0; n < 20000 && reloj.elapsed() < TiempoMaximoMs; ++n) {
        const int tirada = azar.bounded(10);
        const QString nombre = QStringLiteral("Cáceres, Logroño y L'Hospitalet %1").arg(azar.bounded(100000));
        QString operacion = QStringLiteral("I"), codigo = codigoNuevo(), nuevo = codigo;
        if (codigos.size() >= 5 && tirada >= 4) {
            operacion = tirada < 8 ? QStringLiteral("U") : QStringLiteral("D");
            nuevo = codigo = codigos[azar.bounded(int(codigos.size()))];
            if (tirada == 7)
                nuevo = codigoNuevo();
        }
        if (!anotar({QStringLiteral("P"), operacion, codigo, nuevo, operacion == QLatin1String("D") ? QString() : nombre}))
            return 2;
        try {
            if (operacion == QLatin1String("I")) {
                GuardarNueva(conexion, codigo, nombre);
            } else if (operacion == QLatin1String("U")) {
                if (!Modificar(conexion, codigo, nuevo, nombre)) {
                    std::fprintf(stderr, "La fila %s ha desaparecido sin que nadie la borrara\n", qPrintable(codigo));
                    return 3;
                }
            } else {
                Borrar(conexion, codigo);
            }
        } catch (const ErrorDatos& error) {
            std::fprintf(stderr, "Error inesperado: %s\n", error.what());
            return 2;
        }
        codigos.removeOne(codigo);
        if (operacion != QLatin1String("D"))
            codigos << nuevo;
        if (!anotar({QStringLiteral("C")}))
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

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication aplicacion(argc, argv);
    const QStringList argumentos = aplicacion.arguments();
    try {
        if (argumentos.value(1) == QLatin1String("escribir") && argumentos.size() == 5)
            return Escribir(argumentos[2], argumentos[3], argumentos[4].toUInt());
        if (argumentos.value(1) == QLatin1String("bloquear") && argumentos.size() == 3)
            return Bloquear(argumentos[2]);
    } catch (const ErrorDatos& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 2;
    }
    std::fprintf(stderr, "Uso: %s escribir ORIGEN DIARIO SEMILLA | bloquear ORIGEN\n", argv[0]);
    return 1;
}
