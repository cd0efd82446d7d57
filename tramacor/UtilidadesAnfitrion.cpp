#include "tramacor/UtilidadesAnfitrion.h"

#include "data/EsquemaProvincias.h"
#include "data/ErrorDatos.h"
#include "data/ErroresDatos.h"
#include "data/Recordset.h"

#include <QProcessEnvironment>

#include <pwd.h>
#include <unistd.h>

namespace {

void AbrirTextos(std::shared_ptr<Recordset>& textos, const std::shared_ptr<Connection>& conexion,
                 const QString& idioma)
{
    if (!textos)
        textos = std::make_shared<Recordset>();
    if (textos->State() == Recordset::adStateOpen)
        textos->Close();
    textos->Open(SentenciaTextos(idioma), conexion, Recordset::adOpenStatic, Recordset::adLockReadOnly, -1);
    if (textos->Eof())
        throw ErrorDatos(ErroresDatos::SinRegistroActual,
                         QStringLiteral("No hay textos de la interfaz para el idioma «%1»").arg(idioma));
    textos->MoveFirst();
}

} // namespace

void UtilidadesAnfitrion::ObtenerDatos(std::shared_ptr<Connection>& Conexion, QVariant& Valor2, QVariant& Valor3,
                                       QVariant& Valor4, QVariant& Valor5, QObject*& Ubicacion,
                                       QObject*& Principal, long& AnchoBase, long& AltoBase, QVariant& Valor10,
                                       std::shared_ptr<Recordset>& Textos,
                                       std::shared_ptr<Recordset>& TextosListado,
                                       std::shared_ptr<Recordset>& RecordsetSinUso, QVariant& ParametroRegistro,
                                       QString& Usuario)
{
    Q_UNUSED(RecordsetSinUso);
    Conexion = datos_.Conexion;
    Valor2 = Valor3 = Valor4 = Valor5 = QVariant(0);
    Ubicacion = datos_.Ubicacion.data();
    Principal = datos_.Principal.data();
    AnchoBase = datos_.AnchoBase;
    AltoBase = datos_.AltoBase;
    Valor10 = QVariant(0);
    AbrirTextos(Textos, datos_.Conexion, datos_.Idioma);
    AbrirTextos(TextosListado, datos_.Conexion, datos_.Idioma);
    ParametroRegistro = datos_.ParametroRegistro.isValid() ? datos_.ParametroRegistro : QVariant(datos_.Usuario);
    Usuario = datos_.Usuario;
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
