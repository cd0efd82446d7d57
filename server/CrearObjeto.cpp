#include "server/CrearObjeto.h"

#include "server/CodigosServidor.h"
#include "server/ErrorServidor.h"
#include "server/ExportacionesServidor.h"
#include "server/FabricaClase.h"
#include "server/ServidorComponente.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QMutexLocker>

#include <dlfcn.h>
#include <map>

namespace {

// RTLD_LOCAL: every component exports the same entry-point names, and each must keep its own.
constexpr int ModoCarga = RTLD_NOW | RTLD_LOCAL;

// Libraries CrearObjeto loaded and keeps until LiberarBibliotecasSinUso finds them unused.
// Never destroyed: at exit, objects may still live whose code is in those libraries.
struct BibliotecasCargadas
{
    QMutex Cerrojo;
    std::map<QString, void*> Manejadores;
};

BibliotecasCargadas& Cargadas()
{
    static auto* cargadas = new BibliotecasCargadas;
    return *cargadas;
}

// ", registrada para la clase «X»" when the library was reached through a ProgID; Inciso adds
// the closing comma for the middle of a sentence.
QString Contexto(const QString& progId)
{
    return progId.isEmpty() ? QString() : QStringLiteral(", registrada para la clase «%1»").arg(progId);
}

QString Inciso(const QString& progId)
{
    return progId.isEmpty() ? QString() : Contexto(progId) + QLatin1Char(',');
}

QString Nativa(const QString& ruta)
{
    return QDir::toNativeSeparators(ruta);
}

void* AbrirBiblioteca(const QString& ruta, const QString& progId)
{
    const QFileInfo info(ruta);
    if (!info.exists())
        throw ErrorServidor(CodigoServidor::BibliotecaNoEncontrada,
                            QStringLiteral("No se encuentra la biblioteca «%1»%2.").arg(Nativa(ruta), Contexto(progId)));
    if (!info.isFile())
        throw ErrorServidor(CodigoServidor::BibliotecaNoCargable,
                            QStringLiteral("La biblioteca «%1»%2 no es un archivo.").arg(Nativa(ruta), Inciso(progId)));
    dlerror();
    void* manejador = dlopen(QFile::encodeName(ruta).constData(), ModoCarga);
    if (manejador == nullptr) {
        const char* detalle = dlerror();
        throw ErrorServidor(CodigoServidor::BibliotecaNoCargable,
                            QStringLiteral("No se puede cargar la biblioteca «%1»%2 (detalle del sistema: %3).")
                                .arg(Nativa(ruta), Contexto(progId), detalle ? QString::fromLocal8Bit(detalle) : QString()));
    }
    return manejador;
}

template <typename Tipo>
Tipo Simbolo(void* manejador, const char* nombre, const QString& ruta, const QString& progId)
{
    dlerror();
    void* simbolo = dlsym(manejador, nombre);
    if (simbolo == nullptr)
        throw ErrorServidor(CodigoServidor::SimboloNoEncontrado,
                            QStringLiteral("La biblioteca «%1»%2 no exporta «%3»: no es un componente.")
                                .arg(Nativa(ruta), Inciso(progId), QString::fromLatin1(nombre)));
    return reinterpret_cast<Tipo>(simbolo);
}

// Opens a library for one call and closes it afterwards, as a registration tool does.
class BibliotecaTemporal
{
public:
    explicit BibliotecaTemporal(const QString& ruta)
        : ruta_(QDir::cleanPath(QFileInfo(ruta).absoluteFilePath())), manejador_(AbrirBiblioteca(ruta_, QString()))
    {
    }
    ~BibliotecaTemporal() { dlclose(manejador_); }
    BibliotecaTemporal(const BibliotecaTemporal&) = delete;
    BibliotecaTemporal& operator=(const BibliotecaTemporal&) = delete;

    template <typename Tipo>
    Tipo Simbolo(const char* nombre) const
    {
        return ::Simbolo<Tipo>(manejador_, nombre, ruta_, QString());
    }
    const QString& Ruta() const { return ruta_; }

private:
    QString ruta_;
    void* manejador_;
};

// Calls DllRegisterServer or DllUnregisterServer and turns a failure into the error it left.
void LlamarRegistro(const QString& rutaBiblioteca, const char* exportacion, const QString& accion)
{
    BibliotecaTemporal biblioteca(rutaBiblioteca);
    const auto funcion = biblioteca.Simbolo<TipoDllRegisterServer>(exportacion);
    BorrarUltimoError();
    const int resultado = funcion();
    if (resultado == CodigoServidor::Correcto)
        return;
    if (const auto error = UltimoErrorServidor())
        throw *error;
    throw ErrorServidor(resultado, QStringLiteral("No se pudo %1 la biblioteca «%2» (código %3).")
                                       .arg(accion, Nativa(biblioteca.Ruta()), CodigoServidor::EnHexadecimal(resultado)));
}

QString LeerTexto(const BibliotecaTemporal& biblioteca, const char* exportacion)
{
    const char* texto = biblioteca.Simbolo<TipoTextoVersion>(exportacion)();
    if (texto == nullptr)
        throw ErrorServidor(CodigoServidor::Inesperado,
                            QStringLiteral("La biblioteca «%1» no devuelve ningún texto en «%2».")
                                .arg(Nativa(biblioteca.Ruta()), QString::fromLatin1(exportacion)));
    return QString::fromUtf8(texto);
}

// "1.00.0051" -> 1; -1 when the text does not start with a number.
int VersionMayorDe(const QString& version)
{
    bool correcta = false;
    const int mayor = version.section(QLatin1Char('.'), 0, 0).toInt(&correcta);
    return correcta ? mayor : -1;
}

void ExigirVersion(const QString& version, int versionMayor, const QString& ruta, const QString& progId)
{
    if (versionMayor <= 0 || VersionMayorDe(version) == versionMayor)
        return;
    throw ErrorServidor(CodigoServidor::VersionIncompatible,
                        QStringLiteral("La biblioteca «%1»%2 es de la versión %3, y este programa se construyó para la "
                                       "versión %4 de la clase: instale una versión %4 del componente o vuelva a "
                                       "construir el programa con la que está instalada.")
                            .arg(Nativa(ruta), Inciso(progId),
                                 version.isEmpty() ? QStringLiteral("desconocida") : version, QString::number(versionMayor)));
}

} // namespace

std::shared_ptr<QObject> CrearObjeto(const QString& progId)
{
    return CrearObjeto(progId, RegistroClases());
}

std::shared_ptr<QObject> CrearObjeto(const QString& progId, int versionMayor)
{
    return CrearObjeto(progId, RegistroClases(), versionMayor);
}

std::shared_ptr<QObject> CrearObjeto(const QString& progId, const RegistroClases& registro, int versionMayor)
{
    const std::optional<EntradaClase> entrada = registro.Buscar(progId);
    if (!entrada)
        throw ErrorServidor(CodigoServidor::ClaseNoRegistrada,
                            QStringLiteral("La clase «%1» no está registrada: instale el componente que la ofrece o "
                                           "regístrelo con quiltren-registrar.").arg(progId));
    const QString& ruta = entrada->Biblioteca;
    // What the registry states is checked before loading: a library of another version may not
    // even load beside this program's.
    if (!entrada->Version.isEmpty())
        ExigirVersion(entrada->Version, versionMayor, ruta, progId);

    void* manejador = nullptr;
    {
        BibliotecasCargadas& cargadas = Cargadas();
        QMutexLocker cerrojo(&cargadas.Cerrojo);
        const auto encontrada = cargadas.Manejadores.find(ruta);
        if (encontrada != cargadas.Manejadores.end()) {
            manejador = encontrada->second;
        } else {
            manejador = AbrirBiblioteca(ruta, progId);
            try {
                Simbolo<TipoDllGetClassObject>(manejador, "DllGetClassObject", ruta, progId);
                Simbolo<TipoDllCanUnloadNow>(manejador, "DllCanUnloadNow", ruta, progId);
            } catch (...) {
                dlclose(manejador);   // not a component: nothing of it may stay loaded
                throw;
            }
            cargadas.Manejadores.emplace(ruta, manejador);
        }
    }

    if (versionMayor > 0) {
        const char* version = Simbolo<TipoTextoVersion>(manejador, "QuiltrenVersion", ruta, progId)();
        ExigirVersion(version ? QString::fromUtf8(version) : QString(), versionMayor, ruta, progId);
    }
    const auto obtenerFabrica = Simbolo<TipoDllGetClassObject>(manejador, "DllGetClassObject", ruta, progId);
    void* fabrica = nullptr;
    BorrarUltimoError();
    const int resultado = obtenerFabrica(progId.toUtf8().constData(), &fabrica);
    if (resultado != CodigoServidor::Correcto || fabrica == nullptr)
        throw ErrorServidor(resultado != CodigoServidor::Correcto ? resultado : CodigoServidor::ClaseNoDisponible,
                            QStringLiteral("La biblioteca «%1» no ofrece la clase «%2» (código %3).")
                                .arg(Nativa(ruta), progId, CodigoServidor::EnHexadecimal(resultado)));
    return static_cast<const FabricaClase*>(fabrica)->CrearInstancia();
}

int LiberarBibliotecasSinUso()
{
    BibliotecasCargadas& cargadas = Cargadas();
    QMutexLocker cerrojo(&cargadas.Cerrojo);
    int liberadas = 0;
    for (auto it = cargadas.Manejadores.begin(); it != cargadas.Manejadores.end();) {
        const auto puedeDescargarse = reinterpret_cast<TipoDllCanUnloadNow>(dlsym(it->second, "DllCanUnloadNow"));
        if (puedeDescargarse != nullptr && puedeDescargarse() == CodigoServidor::Correcto) {
            dlclose(it->second);
            it = cargadas.Manejadores.erase(it);
            ++liberadas;
        } else {
            ++it;
        }
    }
    return liberadas;
}

void RegistrarBiblioteca(const QString& rutaBiblioteca)
{
    LlamarRegistro(rutaBiblioteca, "DllRegisterServer", QStringLiteral("registrar"));
}

void DesregistrarBiblioteca(const QString& rutaBiblioteca)
{
    LlamarRegistro(rutaBiblioteca, "DllUnregisterServer", QStringLiteral("desregistrar"));
}

DatosVersion LeerVersion(const QString& rutaBiblioteca)
{
    BibliotecaTemporal biblioteca(rutaBiblioteca);
    return DatosVersion{LeerTexto(biblioteca, "QuiltrenVersion"), LeerTexto(biblioteca, "QuiltrenLocale")};
}
