// The library's server entry points. The class table below is filled when the library is loaded;
// every export only hands over to it.

#include "ClassProvincias.h"
#include "ExportacionesServidor.h"
#include "FabricaClases.h"
#include "Form.h"
#include "ServidorComponente.h"

#include <QApplication>
#include <typeinfo>

namespace {

FabricaClases Fabricas(QStringLiteral("1.00.0051"),
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

struct InstalarContador
{
    InstalarContador() { Fabricas.FijarContadorVentanas(VentanasPropias); }
} instalarContador;

} // namespace

extern "C" {

int DllRegisterServer() { return Fabricas.RegistrarServidor(); }
int DllUnregisterServer() { return Fabricas.DesregistrarServidor(); }
int DllGetClassObject(const char* progId, void** fabrica) { return Fabricas.ObtenerFabrica(progId, fabrica); }
int DllCanUnloadNow() { return Fabricas.ConsultarDescarga(); }
const char* QuiltrenVersion() { return "1.00.0051"; }
const char* QuiltrenLocale() { return "es-ES"; }

} // extern "C"
