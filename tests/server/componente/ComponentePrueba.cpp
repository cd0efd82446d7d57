// A small component library with the same entry points as the real one, so the whole round
// trip (registration, creation by ProgID, unload check) can be exercised on its own.

#include "server/ExportacionesServidor.h"
#include "server/FabricaClases.h"

#include <QObject>
#include <stdexcept>

class ClasePrueba : public QObject
{
    Q_OBJECT

public:
    Q_INVOKABLE QString Saludar(const QString& nombre) const { return QStringLiteral("Hola, %1").arg(nombre); }
};

namespace {

FabricaClases Fabricas(QStringLiteral("2.03.0007"),
                       {{QStringLiteral("PruebaServidor.ClasePrueba"), QStringLiteral("ClasePrueba"),
                         [] { return new ClasePrueba; }},
                        {QStringLiteral("PruebaServidor.ClaseNula"), QStringLiteral("ClaseNula"),
                         []() -> QObject* { return nullptr; }},
                        {QStringLiteral("PruebaServidor.ClaseQueFalla"), QStringLiteral("ClaseQueFalla"),
                         []() -> QObject* { throw std::runtime_error("no queda memoria para la ficha"); }}});

} // namespace

extern "C" {

int DllRegisterServer() { return Fabricas.RegistrarServidor(); }
int DllUnregisterServer() { return Fabricas.DesregistrarServidor(); }
int DllGetClassObject(const char* progId, void** fabrica) { return Fabricas.ObtenerFabrica(progId, fabrica); }
int DllCanUnloadNow() { return Fabricas.ConsultarDescarga(); }
const char* QuiltrenVersion() { return "2.03.0007"; }
const char* QuiltrenLocale() { return "es-ES"; }

} // extern "C"

#include "ComponentePrueba.moc"
