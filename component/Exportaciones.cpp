// The library's server entry points. The class table below is filled when the library is loaded;
// every export only hands over to it.

#include "component/ClassProvincias.h"
#include "component/DatosComunes.h"
#include "server/ExportacionesServidor.h"
#include "server/FabricaClases.h"
#include "runtime/Form.h"
#include "server/ServidorComponente.h"

#include <QApplication>
#include <typeinfo>

namespace {

// File and product version, and locale, as a host reads them.
constexpr const char* Version = "1.00.0051";
constexpr const char* Locale = "es-ES";
static_assert(Version[0] - '0' == VersionMayorClassProvincias && Version[1] == '.',
              "the library's version and its interface's major version go together");

FabricaClases Fabricas(QString::fromLatin1(Version),
                       {{QStringLiteral("Quiltren.ClassProvincias"), QStringLiteral("ClassProvincias"),
                         [] { return new ClassProvincias; }}});

// Windows of this library that exist now: loaded ones, and unloaded ones whose deletion is still
// pending in the event loop (their destructor is code of this library too). A window belongs to the
// library whose code defines its class, which is where its type information lives; host windows
// built on the same runtime do not count.
int VentanasPropias()
{
    if (!QApplication::instance())
        return 0;
    const QString propia = RutaBibliotecaDe(&Fabricas);
    int propias = 0;
    for (QWidget* widget : QApplication::allWidgets()) {
        const Form* ventana = qobject_cast<const Form*>(widget);
        if (ventana && RutaBibliotecaDe(&typeid(*ventana)) == propia)
            ++propias;
    }
    return propias;
}

// What the library holds for its host (the host's objects, the connection, its recordsets) is let
// go when the host's application object ends, while Qt can still close them; the data of the
// library itself dies with the library.
struct CicloBiblioteca
{
    CicloBiblioteca()
    {
        Fabricas.FijarContadorVentanas(VentanasPropias);
        qAddPostRoutine(LiberarComunes);
    }
    ~CicloBiblioteca() { qRemovePostRoutine(LiberarComunes); }
    static void LiberarComunes() { Comunes().Liberar(); }
} cicloBiblioteca;

} // namespace

extern "C" {

int DllRegisterServer() { return Fabricas.RegistrarServidor(); }
int DllUnregisterServer() { return Fabricas.DesregistrarServidor(); }
int DllGetClassObject(const char* progId, void** fabrica) { return Fabricas.ObtenerFabrica(progId, fabrica); }
int DllCanUnloadNow() { return Fabricas.ConsultarDescarga(); }
const char* QuiltrenVersion() { return Version; }
const char* QuiltrenLocale() { return Locale; }

} // extern "C"
