#include "listing/ListadoPdf.h"

#include "component/DatosComunes.h"
#include "data/ErrorDatos.h"
#include "runtime/ErrorEjecucion.h"
#include "printing/ErrorImpresion.h"
#include "data/EsquemaProvincias.h"
#include "printing/Printers.h"
#include "data/Recordset.h"
#include "listing/TextosListados.h"
#include "tramacor/Tramacor.h"
#include "tramacor/UtilidadesAnfitrion.h"

#include <QDir>
#include <memory>

namespace {

// The options of a listing made without the print dialog: fixed when it is created.
class OpcionesListado : public IDialogoImpresion
{
public:
    OpcionesListado(const QString& destino, bool ordenPorCodigo, const QString& desde, const QString& hasta,
                    const QString& archivo)
        : destino_(destino), orden_(ordenPorCodigo), desde_(desde), hasta_(hasta), archivo_(archivo)
    {
    }

    void ElegirDestino(IUtilidades*, QObject*&, QString& Destino) override { Destino = destino_; }
    bool OrdenPorCodigo() const override { return orden_; }
    bool ConRango() const override { return !desde_.isEmpty() || !hasta_.isEmpty(); }
    QString CodigoDesde() const override { return desde_; }
    QString CodigoHasta() const override { return hasta_; }
    QString ArchivoPdf() const override { return archivo_; }

private:
    QString destino_;
    bool orden_;
    QString desde_;
    QString hasta_;
    QString archivo_;
};

// Puts back the common data the listing reads as it was, however the listing ends.
class EstadoGuardado
{
public:
    EstadoGuardado()
        : conexion_(Comunes().Conexion),
          textos_(Comunes().TextosListado.Existe() ? Comunes().TextosListado.Referencia() : nullptr),
          usuario_(Comunes().Usuario)
    {
    }

    ~EstadoGuardado()
    {
        Comunes().Conexion = conexion_;
        Comunes().TextosListado = textos_;
        Comunes().Usuario = usuario_;
    }

private:
    std::shared_ptr<Connection> conexion_;
    std::shared_ptr<Recordset> textos_;
    QString usuario_;
};

// The listing drawn for fixed options on the destination named, without any window.
int Generar(ConnectionPtr Conexion, OpcionesListado opciones, const AvisoPaginas& Progreso)
{
    if (!ListadoProvincias::RangoAceptable(opciones.ConRango(), opciones.CodigoDesde(), opciones.CodigoHasta()))
        throw ErrorEjecucion(ErrorEjecucion::LlamadaNoValida, TextosListados::RangoConComillas);

    EstadoGuardado estado;
    DatosComunes& comunes = Comunes();
    comunes.Conexion = Conexion;
    // Without a host there is no user of the application: the document is the account's.
    if (comunes.Usuario.isEmpty())
        comunes.Usuario = UtilidadesAnfitrion::UsuarioDelSistema();
    // The word for page comes from the texts of the same database.
    auto textos = std::make_shared<Recordset>();
    textos->Open(SentenciaTextos(), Conexion, Recordset::adOpenStatic, Recordset::adLockReadOnly, -1);
    comunes.TextosListado = textos;

    QObject* sinVentana = nullptr;
    QString destino;
    opciones.ElegirDestino(nullptr, sinVentana, destino);
    const int paginas = ImprimirEnDestino(opciones, destino, nullptr, Progreso);
    textos->Close();
    return paginas;
}

}  // namespace

int GenerarListadoPdf(ConnectionPtr Conexion, const QString& ArchivoPdf, bool OrdenPorCodigo,
                      const QString& CodigoDesde, const QString& CodigoHasta, const AvisoPaginas& Progreso)
{
    if (ArchivoPdf.trimmed().isEmpty())
        throw ErrorEjecucion(ErrorEjecucion::LlamadaNoValida, TextosListados::SinArchivoPdf);
    return Generar(Conexion,
                   OpcionesListado(Printers::NombrePdf, OrdenPorCodigo, CodigoDesde, CodigoHasta,
                                   QDir::current().absoluteFilePath(ArchivoPdf)),
                   Progreso);
}

int GenerarListadoImpresora(ConnectionPtr Conexion, const QString& Impresora, bool OrdenPorCodigo,
                            const QString& CodigoDesde, const QString& CodigoHasta, const AvisoPaginas& Progreso)
{
    // Here a name that matches no queue is an error: the listing goes to the printer named or nowhere.
    const std::optional<::Impresora> cola = Printers::Buscar(Impresora);
    if (!cola || cola->EsPdf())
        throw ErrorImpresion(QStringLiteral("No existe la impresora \"%1\".").arg(Impresora));
    return Generar(Conexion, OpcionesListado(Impresora, OrdenPorCodigo, CodigoDesde, CodigoHasta, QString()),
                   Progreso);
}

QString DescripcionError(const std::exception& error)
{
    if (auto* e = dynamic_cast<const ErrorEjecucion*>(&error))
        return e->Description();
    if (auto* e = dynamic_cast<const ErrorDatos*>(&error))
        return e->Description();
    if (auto* e = dynamic_cast<const ErrorImpresion*>(&error))
        return e->Descripcion();
    return QString::fromUtf8(error.what());
}
