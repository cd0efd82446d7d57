#include "tramacor/UtilidadesAnfitrion.h"

#include "data/EsquemaProvincias.h"
#include "data/ErrorDatos.h"
#include "data/ErroresDatos.h"
#include "data/Recordset.h"

#include <QProcessEnvironment>

#include <pwd.h>
#include <unistd.h>

void UtilidadesAnfitrion::AbrirTextos(RecordsetAutomatico& textos, const std::shared_ptr<Connection>& conexion,
                                      const QString& idioma)
{
    if (textos->State() == Recordset::adStateOpen)
        textos->Close();
    textos->Open(SentenciaTextos(idioma), conexion, Recordset::adOpenStatic, Recordset::adLockReadOnly, -1);
    if (textos->Eof())
        throw ErrorDatos(ErroresDatos::SinRegistroActual,
                         QStringLiteral("No hay textos de la interfaz para el idioma «%1»").arg(idioma));
    textos->MoveFirst();
}

void UtilidadesAnfitrion::ObtenerDatos(DatosAnfitrion& Datos)
{
    Datos.Conexion = datos_.Conexion;
    Datos.Dato2 = Datos.Dato3 = Datos.Dato4 = Datos.Dato5 = QVariant(0);
    Datos.Ubicacion = datos_.Ubicacion.data();
    Datos.Principal = datos_.Principal.data();
    Datos.AnchoBase = datos_.AnchoBase;
    Datos.AltoBase = datos_.AltoBase;
    Datos.Dato10 = QVariant(0);
    AbrirTextos(Datos.Textos, datos_.Conexion, datos_.Idioma);
    AbrirTextos(Datos.TextosListado, datos_.Conexion, datos_.Idioma);
    Datos.ParametroRegistro = datos_.ParametroRegistro.isValid() ? datos_.ParametroRegistro : QVariant(datos_.Usuario);
    Datos.Usuario = datos_.Usuario;
}

void UtilidadesAnfitrion::PintarFormulario(QObject*& Ventana)
{
    Q_UNUSED(Ventana);
}

QString UtilidadesAnfitrion::UsuarioDelSistema()
{
    const QProcessEnvironment entorno = QProcessEnvironment::systemEnvironment();
    for (const char* variable : {"USER", "LOGNAME", "USERNAME"}) {
        const QString valor = entorno.value(QLatin1String(variable));
        if (!valor.isEmpty())
            return valor;
    }
    // Without those (a service, a bare container): the account the process runs as.
    if (const passwd* cuenta = getpwuid(getuid()); cuenta && cuenta->pw_name && *cuenta->pw_name)
        return QString::fromLocal8Bit(cuenta->pw_name);
    return QStringLiteral("usuario");
}
