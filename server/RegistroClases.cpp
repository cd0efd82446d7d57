#include "server/RegistroClases.h"

#include "server/CodigosServidor.h"
#include "server/ErrorServidor.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QLockFile>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStandardPaths>
#include <QStringDecoder>

#include <algorithm>
#include <vector>

namespace {

const QByteArray ClaveClase = QByteArrayLiteral("clase");
constexpr int CamposClase = 5;
constexpr int EsperaBloqueoMs = 5000;

// A line as it was read: raw bytes, plus the entry when it is a "clase" line.
struct Linea
{
    QByteArray Texto;
    std::optional<EntradaClase> Entrada;
};

QString MensajeLineaDanada(const QString& ruta, int numeroLinea, const QString& razon)
{
    return QStringLiteral("El registro de clases «%1» está dañado en la línea %2: %3.")
        .arg(QDir::toNativeSeparators(ruta))
        .arg(numeroLinea)
        .arg(razon);
}

// Why the fields of an entry cannot be stored or were not stored correctly; empty when fine.
QString RazonEntradaNoValida(const EntradaClase& entrada)
{
    if (!RegistroClases::ProgIdValido(entrada.ProgId))
        return QStringLiteral("el ProgID «%1» no es válido (letras y cifras en dos o más partes separadas por puntos, "
                              "empezando por una letra, 39 caracteres como mucho)")
            .arg(entrada.ProgId);
    const auto prohibido = [](const QString& campo) {
        return campo.contains(QLatin1Char('\t')) || campo.contains(QLatin1Char('\n')) || campo.contains(QLatin1Char('\r'));
    };
    if (prohibido(entrada.Biblioteca) || prohibido(entrada.Clase) || prohibido(entrada.Version))
        return QStringLiteral("los datos de la clase «%1» no pueden llevar tabuladores ni saltos de línea").arg(entrada.ProgId);
    if (entrada.Biblioteca.isEmpty() || !QDir::isAbsolutePath(entrada.Biblioteca))
        return QStringLiteral("la ruta de la biblioteca «%1» de la clase «%2» no es absoluta").arg(entrada.Biblioteca, entrada.ProgId);
    if (entrada.Clase.trimmed().isEmpty())
        return QStringLiteral("falta el nombre de la clase «%1»").arg(entrada.ProgId);
    return {};
}

QByteArray TextoDeEntrada(const EntradaClase& entrada)
{
    return ClaveClase + '\t' + entrada.ProgId.toUtf8() + '\t' + entrada.Biblioteca.toUtf8() + '\t'
        + entrada.Clase.toUtf8() + '\t' + entrada.Version.toUtf8();
}

std::optional<EntradaClase> LeerEntrada(const QByteArray& texto, const QString& ruta, int numeroLinea)
{
    QByteArray contenido = texto;
    if (contenido.endsWith('\r'))
        contenido.chop(1);
    if (contenido.trimmed().isEmpty() || contenido.startsWith('#'))
        return std::nullopt;

    const qsizetype tabulador = contenido.indexOf('\t');
    if (tabulador < 0)
        throw ErrorServidor(CodigoServidor::RegistroDanado,
                            MensajeLineaDanada(ruta, numeroLinea, QStringLiteral("falta el tabulador tras la clave de la línea")));
    const QByteArray clave = contenido.left(tabulador);
    static const QRegularExpression formaClave(QStringLiteral("^[A-Za-z][A-Za-z0-9_-]*$"));
    if (!formaClave.match(QString::fromLatin1(clave)).hasMatch())
        throw ErrorServidor(CodigoServidor::RegistroDanado,
                            MensajeLineaDanada(ruta, numeroLinea,
                                               QStringLiteral("«%1» no es una clave válida").arg(QString::fromUtf8(clave))));
    if (clave != ClaveClase)
        return std::nullopt;   // another tool's line: kept as it is

    QStringDecoder decodificador(QStringDecoder::Utf8);
    const QString linea = decodificador.decode(contenido);
    if (decodificador.hasError())
        throw ErrorServidor(CodigoServidor::RegistroDanado,
                            MensajeLineaDanada(ruta, numeroLinea, QStringLiteral("el texto no está en UTF-8")));
    const QStringList campos = linea.split(QLatin1Char('\t'));
    if (campos.size() != CamposClase)
        throw ErrorServidor(CodigoServidor::RegistroDanado,
                            MensajeLineaDanada(ruta, numeroLinea,
                                               QStringLiteral("una clase lleva ProgID, biblioteca, nombre y versión "
                                                              "separados por tabuladores, y esta línea tiene %1 campos en lugar de %2")
                                                   .arg(campos.size())
                                                   .arg(CamposClase)));
    EntradaClase entrada{campos[1], campos[2], campos[3], campos[4]};
    const QString razon = RazonEntradaNoValida(entrada);
    if (!razon.isEmpty())
        throw ErrorServidor(CodigoServidor::RegistroDanado, MensajeLineaDanada(ruta, numeroLinea, razon));
    return entrada;
}

std::vector<Linea> LeerLineas(const QString& ruta)
{
    const QFileInfo info(ruta);
    if (!info.exists())
        return {};
    const QString nativa = QDir::toNativeSeparators(ruta);
    if (info.isDir())
        throw ErrorServidor(CodigoServidor::RegistroIlegible,
                            QStringLiteral("No se puede leer el registro de clases «%1»: es una carpeta.").arg(nativa));
    QFile archivo(ruta);
    if (!archivo.open(QIODevice::ReadOnly))
        throw ErrorServidor(CodigoServidor::RegistroIlegible,
                            QStringLiteral("No se puede leer el registro de clases «%1»: el sistema no permite abrirlo "
                                           "(compruebe los permisos).")
                                .arg(nativa));
    const QByteArray contenido = archivo.readAll();
    if (archivo.error() != QFileDevice::NoError)
        throw ErrorServidor(CodigoServidor::RegistroIlegible,
                            QStringLiteral("No se puede leer el registro de clases «%1»: la lectura se interrumpió.").arg(nativa));

    QList<QByteArray> textos = contenido.split('\n');
    if (!textos.isEmpty() && textos.last().isEmpty())
        textos.removeLast();   // the newline that ends the last line
    std::vector<Linea> lineas;
    lineas.reserve(static_cast<size_t>(textos.size()));
    QHash<QString, int> lineaDeProgId;   // ProgID in lower case -> its line number
    for (qsizetype i = 0; i < textos.size(); ++i) {
        const int numeroLinea = static_cast<int>(i) + 1;
        Linea linea{textos[i], LeerEntrada(textos[i], ruta, numeroLinea)};
        if (linea.Entrada) {
            const QString clave = linea.Entrada->ProgId.toLower();
            if (lineaDeProgId.contains(clave))
                throw ErrorServidor(CodigoServidor::RegistroDanado,
                                    MensajeLineaDanada(ruta, numeroLinea,
                                                       QStringLiteral("la clase «%1» ya figura en la línea %2")
                                                           .arg(linea.Entrada->ProgId)
                                                           .arg(lineaDeProgId.value(clave))));
            lineaDeProgId.insert(clave, numeroLinea);
        }
        lineas.push_back(std::move(linea));
    }
    return lineas;
}

[[noreturn]] void FalloEscritura(const QString& ruta, const QString& razon)
{
    throw ErrorServidor(CodigoServidor::RegistroNoEscribible,
                        QStringLiteral("No se puede escribir el registro de clases «%1»: %2.")
                            .arg(QDir::toNativeSeparators(ruta), razon));
}

// Read, change and write back under the lock, so two processes registering at once cannot
// lose each other's entries. The change returns false when nothing needs writing.
template <typename Cambio>
void Modificar(const QString& ruta, Cambio&& cambio)
{
    const QFileInfo info(ruta);
    const QString carpeta = info.absolutePath();
    if (!QDir().mkpath(carpeta))
        FalloEscritura(ruta, QStringLiteral("no se puede crear la carpeta «%1»").arg(QDir::toNativeSeparators(carpeta)));

    QLockFile bloqueo(ruta + QStringLiteral(".bloqueo"));
    if (!bloqueo.tryLock(EsperaBloqueoMs)) {
        if (bloqueo.error() == QLockFile::LockFailedError)
            throw ErrorServidor(CodigoServidor::RegistroBloqueado,
                                QStringLiteral("El registro de clases «%1» está bloqueado por otro proceso; "
                                               "inténtelo de nuevo en unos segundos.")
                                    .arg(QDir::toNativeSeparators(ruta)));
        FalloEscritura(ruta, QStringLiteral("no se puede crear el archivo de bloqueo en la carpeta «%1» (compruebe los permisos)")
                                 .arg(QDir::toNativeSeparators(carpeta)));
    }

    std::vector<Linea> lineas = LeerLineas(ruta);
    const bool nuevo = !QFileInfo::exists(ruta);
    if (!cambio(lineas))
        return;

    QSaveFile archivo(ruta);
    if (!archivo.open(QIODevice::WriteOnly))
        FalloEscritura(ruta, QStringLiteral("no se puede crear un archivo en la carpeta «%1» (compruebe los permisos)")
                                 .arg(QDir::toNativeSeparators(carpeta)));
    QByteArray contenido;
    if (nuevo)
        contenido += QByteArrayLiteral("# Registro de clases de Quiltren: clase, ProgID, biblioteca, nombre de clase y versión, "
                                       "separados por tabuladores.\n");
    for (const Linea& linea : lineas)
        contenido += linea.Texto + '\n';
    if (archivo.write(contenido) != contenido.size() || !archivo.commit())
        FalloEscritura(ruta, QStringLiteral("la escritura no se pudo completar (¿disco lleno?); el registro anterior sigue intacto"));
}

} // namespace

bool EntradaClase::operator==(const EntradaClase& otra) const
{
    return ProgId == otra.ProgId && Biblioteca == otra.Biblioteca && Clase == otra.Clase && Version == otra.Version;
}

QString RegistroClases::RutaPredeterminada()
{
    const QString desdeEntorno = qEnvironmentVariable("QUILTREN_REGISTRO");
    if (!desdeEntorno.isEmpty())
        return desdeEntorno;
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QStringLiteral("/quiltren/registro-clases");
}

QString RegistroClases::RutaSistema()
{
    const QString desdeEntorno = qEnvironmentVariable("QUILTREN_REGISTRO_SISTEMA");
    return desdeEntorno.isEmpty() ? QStringLiteral("/etc/quiltren/registro-clases") : desdeEntorno;
}

bool RegistroClases::ProgIdValido(const QString& progId)
{
    static const QRegularExpression forma(QStringLiteral("^[A-Za-z][A-Za-z0-9]*(\\.[A-Za-z0-9]+)+$"));
    return progId.size() <= 39 && forma.match(progId).hasMatch();
}

RegistroClases::RegistroClases()
    : ruta_(RutaPredeterminada()), rutaSistema_(qEnvironmentVariableIsEmpty("QUILTREN_REGISTRO") ? RutaSistema() : QString())
{
}

RegistroClases::RegistroClases(QString ruta)
    : ruta_(std::move(ruta))
{
}

QList<EntradaClase> RegistroClases::Entradas() const
{
    QList<EntradaClase> entradas;
    for (const Linea& linea : LeerLineas(ruta_))
        if (linea.Entrada)
            entradas.append(*linea.Entrada);
    return entradas;
}

std::optional<EntradaClase> RegistroClases::Buscar(const QString& progId) const
{
    for (const EntradaClase& entrada : Entradas())
        if (entrada.ProgId.compare(progId, Qt::CaseInsensitive) == 0)
            return entrada;
    if (!rutaSistema_.isEmpty())
        return RegistroClases(rutaSistema_).Buscar(progId);
    return std::nullopt;
}

void RegistroClases::Registrar(const QList<EntradaClase>& entradas)
{
    for (const EntradaClase& entrada : entradas) {
        const QString razon = RazonEntradaNoValida(entrada);
        if (!razon.isEmpty())
            throw ErrorServidor(CodigoServidor::ArgumentoNoValido,
                                QStringLiteral("No se puede registrar la clase: %1.").arg(razon));
    }
    Modificar(ruta_, [&entradas](std::vector<Linea>& lineas) {
        bool cambiado = false;
        for (const EntradaClase& entrada : entradas) {
            auto existente = std::find_if(lineas.begin(), lineas.end(), [&entrada](const Linea& linea) {
                return linea.Entrada && linea.Entrada->ProgId.compare(entrada.ProgId, Qt::CaseInsensitive) == 0;
            });
            if (existente != lineas.end()) {
                if (*existente->Entrada == entrada)
                    continue;
                *existente = Linea{TextoDeEntrada(entrada), entrada};
            } else {
                lineas.push_back(Linea{TextoDeEntrada(entrada), entrada});
            }
            cambiado = true;
        }
        return cambiado;
    });
}

int RegistroClases::Desregistrar(const QStringList& progIds)
{
    int quitadas = 0;
    if (!QFileInfo::exists(ruta_))
        return quitadas;   // nothing to remove, and no reason to create the folder
    Modificar(ruta_, [&progIds, &quitadas](std::vector<Linea>& lineas) {
        const auto antes = lineas.size();
        lineas.erase(std::remove_if(lineas.begin(), lineas.end(),
                                    [&progIds](const Linea& linea) {
                                        return linea.Entrada && progIds.contains(linea.Entrada->ProgId, Qt::CaseInsensitive);
                                    }),
                     lineas.end());
        quitadas = static_cast<int>(antes - lineas.size());
        return quitadas > 0;
    });
    return quitadas;
}
