#include "listing/ListadoProvincias.h"

#include "listing/AritmeticaListados.h"
#include "runtime/Control.h"
#include "component/DatosComunes.h"
#include "runtime/ErrorEjecucion.h"
#include "runtime/Form.h"
#include "data/Recordset.h"
#include "runtime/Screen.h"
#include "component/Sentencias.h"
#include "server/ServidorComponente.h"
#include "printing/SuperficieDestino.h"
#include "listing/TextosListados.h"
#include "tramacor/Tramacor.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <memory>

namespace {

// The pen steps of the report, in centimetres.
constexpr double pasoFila = 0.2;
constexpr double columnaCodigo = 1.2;
constexpr double columnaProvincia = 3.2;
constexpr double columnaTituloProvincia = 7.0;
constexpr double ladoFondo = 10.0;

const QColor negro(0, 0, 0);
const QColor azul(0, 0, 255);

void Texto(SuperficieDestino& superficie, double x, const QString& alineacion, const QString& texto, bool finLinea)
{
    Tramacor::Funciones().ImprimirTexto(superficie, x, alineacion, texto, finLinea, 0);
}

// The picture file as last read, kept while the file stays the same, so that a long listing reads
// it once and every page shares one copy.
struct FondoLeido {
    QString ruta;
    QDateTime modificado;
    qint64 tamano = -1;
    QImage imagen;
};

void FinDeLinea(SuperficieDestino& superficie)
{
    superficie.Print(QString());
}

}  // namespace

namespace ListadoProvincias {

QString Sentencia(bool OrdenPorCodigo, bool ConRango, const QString& CodigoDesde, const QString& CodigoHasta)
{
    if (ConRango && !CodigoDesde.isEmpty())
        return Sentencias::ListadoConRango(CodigoDesde, CodigoHasta, OrdenPorCodigo);
    return Sentencias::Listado(OrdenPorCodigo);
}

bool RangoAceptable(bool ConRango, const QString& CodigoDesde, const QString& CodigoHasta)
{
    if (!ConRango || CodigoDesde.isEmpty())
        return true;
    return !CodigoDesde.contains(QLatin1Char('\'')) && !CodigoHasta.contains(QLatin1Char('\''));
}

QColor ColorBanda(Form* VentanaProvincias)
{
    if (!VentanaProvincias)
        return ColorBandaPredeterminado;
    return VentanaProvincias->Controls().Item(QStringLiteral("LblCodigo"))->BackColor();
}

QString FechaLarga(const QDate& fecha)
{
    return QLocale(QLocale::Spanish, QLocale::Spain).toString(fecha, QStringLiteral("dddd, d 'de' MMMM 'de' yyyy"));
}

QImage ImagenFondo()
{
    static FondoLeido leido;
    QString relativa = TextosListados::ArchivoFondo;
    relativa.replace(QLatin1Char('\\'), QLatin1Char('/'));
    QFileInfo archivo(QDir::current().absoluteFilePath(relativa));
    if (!archivo.isFile()) {
        // A host installed on this system is usually started from the user's home: the picture
        // installed with this library stands in for the missing one.
        static const QString datosInstalados = [] {
            try {
                return QFileInfo(RutaBibliotecaDe(&leido)).dir().absoluteFilePath(QStringLiteral(QUILTREN_DATOS_DESDE_BIBLIOTECA));
            } catch (const ErrorServidor&) {
                return QString();
            }
        }();
        if (datosInstalados.isEmpty())
            return QImage();
        archivo = QFileInfo(QDir(datosInstalados).absoluteFilePath(relativa));
        if (!archivo.isFile())
            return QImage();
    }
    if (archivo.absoluteFilePath() != leido.ruta || archivo.lastModified() != leido.modificado
        || archivo.size() != leido.tamano) {
        leido.ruta = archivo.absoluteFilePath();
        leido.modificado = archivo.lastModified();
        leido.tamano = archivo.size();
        leido.imagen = QImage(leido.ruta);
    }
    return leido.imagen;
}

}  // namespace ListadoProvincias

void ListadoEnCurso::ImprimirCabecera(SuperficieDestino& Superficie)
{
    ModoFondoAnterior = Superficie.SetBkMode(SuperficieDestino::Transparente);

    if (!Superficie.EsImpresora())
        Superficie.Line(0, 0, Superficie.ScaleWidth() - 0.03, Superficie.ScaleHeight() - 0.03, negro,
                        SuperficieDestino::ModoLinea::B);

    // A page without its background is still a good page: nothing of this step may stop the listing.
    try {
        const QImage fondo = ListadoProvincias::ImagenFondo();
        if (!fondo.isNull()) {
            const long x = AritmeticaListados::DivisionEntera(Superficie.ScaleWidth() - ladoFondo, 2);
            const long y = AritmeticaListados::DivisionEntera(Superficie.ScaleHeight() - ladoFondo, 2);
            Superficie.PaintPicture(fondo, double(x), double(y), ladoFondo, ladoFondo);
        }
    } catch (...) {
    }

    Superficie.SetCurrentY(1);
    Superficie.SetFontName(TextosListados::FuenteCabecera);
    Superficie.SetFontBold(true);
    Superficie.SetFontSize(14);
    Superficie.SetCurrentX((Superficie.ScaleWidth() - (Superficie.TextWidth(TextosListados::Titulo) + 2)) / 2);
    Superficie.Print(TextosListados::Titulo);
    Superficie.Line(1, Superficie.CurrentY(), Superficie.ScaleWidth() - 1, Superficie.CurrentY());

    Superficie.SetFontBold(false);
    Superficie.SetFontSize(12);
    Superficie.SetCurrentY(Superficie.CurrentY() + 0.1);
    Superficie.SetForeColor(azul);
    Texto(Superficie, Superficie.ScaleWidth() - 1, QStringLiteral("D"),
          ListadoProvincias::FechaLarga(QDate::currentDate()), true);
    FinDeLinea(Superficie);
    Superficie.SetForeColor(negro);

    LimiteInferior = Superficie.ScaleHeight() - Superficie.TextHeight(QStringLiteral("X"));
}

void ListadoEnCurso::ImprimirTitulos(SuperficieDestino& Superficie)
{
    ModoFondoAnterior = Superficie.SetBkMode(SuperficieDestino::Transparente);
    Superficie.SetFontSize(10);
    Superficie.SetFontBold(true);
    // The band's Line leaves the pen at its lower corner; the titles step back up into the band.
    const double arriba = Superficie.CurrentY() - 0.1;
    const double abajo = Superficie.CurrentY() + Superficie.TextHeight(QStringLiteral("H")) + 0.1;
    Superficie.Line(1, arriba, Superficie.ScaleWidth() - 1, abajo, ListadoProvincias::ColorBanda(ventana_),
                    SuperficieDestino::ModoLinea::BF);
    Superficie.SetCurrentY(Superficie.CurrentY() - Superficie.TextHeight(QStringLiteral("H")) - 0.1);
    Texto(Superficie, columnaCodigo, QStringLiteral("I"), TextosListados::TituloCodigo, false);
    Texto(Superficie, columnaTituloProvincia, QStringLiteral("I"), TextosListados::TituloProvincia, true);
    Superficie.SetFontBold(false);
}

void ListadoEnCurso::ImprimirPie(SuperficieDestino& Superficie)
{
    NumeroPagina = AritmeticaListados::SiguientePagina(NumeroPagina);
    Superficie.SetFontSize(9);
    Superficie.SetForeColor(negro);
    const QString texto = TextosListados::Pie
        + Comunes().TextosListado->Fields(TextosListados::CampoPagina).Value().toString() + QLatin1Char(' ')
        + QString::number(NumeroPagina);
    Superficie.SetCurrentX(((Superficie.ScaleWidth() - 1) - Superficie.TextWidth(texto)) / 2);
    Superficie.SetCurrentY(LimiteInferior);
    Superficie.Print(texto);
    Superficie.Line(1, Superficie.CurrentY(), Superficie.ScaleWidth() - 0.9, Superficie.CurrentY());
}

struct ListadoEnCurso::Filas {
    std::unique_ptr<Recordset> recordset = std::make_unique<Recordset>();
    Field codigo{nullptr, 0}, provincia{nullptr, 0};
};

ListadoEnCurso::ListadoEnCurso(const IDialogoImpresion& Dialogo, const QString& destino, Form* VentanaProvincias,
                               AvisoPaginas Aviso)
    : Destino(destino),
      ordenPorCodigo_(Dialogo.OrdenPorCodigo()),
      conRango_(Dialogo.ConRango()),
      desde_(Dialogo.CodigoDesde()),
      hasta_(Dialogo.CodigoHasta()),
      ventana_(VentanaProvincias),
      aviso_(std::move(Aviso))
{
}

ListadoEnCurso::~ListadoEnCurso() = default;

void ListadoEnCurso::Preparar(SuperficieDestino& Superficie)
{
    Superficie.SetScaleMode(SuperficieDestino::Centimetros);
    Superficie.SetFontTransparent(true);
    ModoFondoAnterior = Superficie.SetBkMode(SuperficieDestino::Transparente);
    Superficie.SetFillStyle(1);
}

void ListadoEnCurso::Comenzar(SuperficieDestino* Superficie)
{
    if (!ListadoProvincias::RangoAceptable(conRango_, desde_, hasta_))
        throw ErrorEjecucion(ErrorEjecucion::LlamadaNoValida, TextosListados::RangoConComillas);

    superficie_ = Superficie;
    ModoFondoAnterior = superficie_->SetBkMode(SuperficieDestino::Transparente);
    ImprimirCabecera(*superficie_);
    FinDeLinea(*superficie_);
    ImprimirTitulos(*superficie_);

    const QString sentencia = ListadoProvincias::Sentencia(ordenPorCodigo_, conRango_, desde_, hasta_);
    auto filas = std::make_unique<Filas>();
    // One pass from the first row to the last: the rows are read in blocks as the pages are
    // drawn, so a listing of any length needs the memory of a block, not of the whole table.
    filas->recordset->setCursorLocation(Recordset::adUseServer);
    filas->recordset->Open(sentencia, Comunes().Conexion, Recordset::adOpenStatic, Recordset::adLockReadOnly, -1);
    filas->codigo = filas->recordset->Fields(QStringLiteral("Codigo"));
    filas->provincia = filas->recordset->Fields(QStringLiteral("Provincia"));
    filas_ = std::move(filas);
}

bool ListadoEnCurso::DibujarPagina()
{
    if (!filas_)
        return false;
    Recordset& filas = *filas_->recordset;

    if (saltoPendiente_) {
        saltoPendiente_ = false;
        superficie_ = &superficie_->PaginaSiguiente();
        ImprimirCabecera(*superficie_);
        FinDeLinea(*superficie_);
        ImprimirTitulos(*superficie_);
    }

    while (!filas.Eof()) {
        superficie_->SetCurrentY(superficie_->CurrentY() + pasoFila);
        if (superficie_->CurrentY() + superficie_->TextHeight(QStringLiteral("X")) >= LimiteInferior) {
            // The row opens the next page, on the next call.
            ImprimirPie(*superficie_);
            saltoPendiente_ = true;
            if (aviso_)
                aviso_(NumeroPagina);
            return true;
        }
        superficie_->SetFontSize(11);
        superficie_->SetCurrentY(superficie_->CurrentY() + pasoFila);
        Texto(*superficie_, columnaCodigo, QStringLiteral("I"), filas_->codigo.Value().toString(), false);
        Texto(*superficie_, columnaProvincia, QStringLiteral("I"), filas_->provincia.Value().toString(), true);
        filas.MoveNext();
    }
    filas.Close();
    filas_.reset();

    superficie_->SetFontBold(false);
    ImprimirPie(*superficie_);
    if (aviso_)
        aviso_(NumeroPagina);
    return false;
}

void ListadoEnCurso::ImprimirListado(SuperficieDestino*& Superficie)
{
    Comenzar(Superficie);
    while (DibujarPagina())
        Superficie = superficie_;
    Superficie = superficie_;
}
