#include "ListadoProvincias.h"

#include "AritmeticaListados.h"
#include "Control.h"
#include "DatosComunes.h"
#include "ErrorEjecucion.h"
#include "Form.h"
#include "FrmListados.h"
#include "InstanciaPredeterminada.h"
#include "Printers.h"
#include "Recordset.h"
#include "Screen.h"
#include "Sentencias.h"
#include "ServidorComponente.h"
#include "SuperficieImpresora.h"
#include "TextosListados.h"
#include "Tramacor.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLocale>
#include <QPointer>
#include <QProgressDialog>
#include <memory>

using namespace DatosComunes;

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

// Shows how many pages are drawn when a listing takes a while; nothing for a short one.
class ProgresoVentana
{
public:
    ProgresoVentana() { reloj_.start(); }

    void Avisar(int paginas)
    {
        if (!qobject_cast<QApplication*>(QCoreApplication::instance()))
            return;
        if (!dialogo_) {
            if (reloj_.elapsed() < 400)
                return;
            dialogo_ = new QProgressDialog;
            dialogo_->setWindowTitle(TextosListados::TituloProgreso);
            dialogo_->setCancelButton(nullptr);
            dialogo_->setRange(0, 0);
            dialogo_->setMinimumDuration(0);
            dialogo_->setWindowModality(Qt::ApplicationModal);
            dialogo_->setMinimumWidth(360);
            dialogo_->show();
        } else if (reloj_.elapsed() - ultimo_ < 100) {
            return;
        }
        ultimo_ = reloj_.elapsed();
        dialogo_->setLabelText(TextosListados::DibujandoPaginas.arg(paginas));
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }

    // Closed before the preview shows or the command ends.
    void Cerrar() { delete dialogo_.data(); }
    ~ProgresoVentana() { Cerrar(); }

private:
    QElapsedTimer reloj_;
    qint64 ultimo_ = 0;
    QPointer<QProgressDialog> dialogo_;
};

// A window reference as the host leaves it: a window, nothing, or a type mismatch.
Form* ComoVentana(QObject* referencia)
{
    if (!referencia)
        return nullptr;
    Form* ventana = qobject_cast<Form*>(referencia);
    if (!ventana)
        throw ErrorEjecucion(ErrorEjecucion::TiposNoCoinciden);
    return ventana;
}

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

void ImprimirCabecera(SuperficieDestino& Superficie)
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

void ImprimirTitulos(SuperficieDestino& Superficie, Form* VentanaProvincias)
{
    ModoFondoAnterior = Superficie.SetBkMode(SuperficieDestino::Transparente);
    Superficie.SetFontSize(10);
    Superficie.SetFontBold(true);
    // The band's Line leaves the pen at its lower corner; the titles step back up into the band.
    const double arriba = Superficie.CurrentY() - 0.1;
    const double abajo = Superficie.CurrentY() + Superficie.TextHeight(QStringLiteral("H")) + 0.1;
    Superficie.Line(1, arriba, Superficie.ScaleWidth() - 1, abajo, ListadoProvincias::ColorBanda(VentanaProvincias),
                    SuperficieDestino::ModoLinea::BF);
    Superficie.SetCurrentY(Superficie.CurrentY() - Superficie.TextHeight(QStringLiteral("H")) - 0.1);
    Texto(Superficie, columnaCodigo, QStringLiteral("I"), TextosListados::TituloCodigo, false);
    Texto(Superficie, columnaTituloProvincia, QStringLiteral("I"), TextosListados::TituloProvincia, true);
    Superficie.SetFontBold(false);
}

void ImprimirPie(SuperficieDestino& Superficie)
{
    NumeroPagina = AritmeticaListados::SiguientePagina(NumeroPagina);
    Superficie.SetFontSize(9);
    Superficie.SetForeColor(negro);
    const QString texto = TextosListados::Pie
        + TextosListado->Fields(TextosListados::CampoPagina).Value().toString() + QLatin1Char(' ')
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

ListadoEnCurso::ListadoEnCurso(const IDialogoImpresion& Dialogo, SuperficieDestino* Superficie,
                               Form* VentanaProvincias, AvisoPaginas Aviso)
    : superficie_(Superficie), ventana_(VentanaProvincias), aviso_(std::move(Aviso)), paginas_(NumeroPagina)
{
    const bool conRango = Dialogo.ConRango();
    const QString desde = Dialogo.CodigoDesde();
    const QString hasta = Dialogo.CodigoHasta();
    if (!ListadoProvincias::RangoAceptable(conRango, desde, hasta))
        throw ErrorEjecucion(ErrorEjecucion::LlamadaNoValida, TextosListados::RangoConComillas);

    ModoFondoAnterior = superficie_->SetBkMode(SuperficieDestino::Transparente);
    ImprimirCabecera(*superficie_);
    FinDeLinea(*superficie_);
    ImprimirTitulos(*superficie_, ventana_);
    limite_ = LimiteInferior;

    const QString sentencia = ListadoProvincias::Sentencia(Dialogo.OrdenPorCodigo(), conRango, desde, hasta);
    auto filas = std::make_unique<Filas>();
    // One pass from the first row to the last: the rows are read in blocks as the pages are
    // drawn, so a listing of any length needs the memory of a block, not of the whole table.
    filas->recordset->setCursorLocation(Recordset::adUseServer);
    filas->recordset->Open(sentencia, Conexion, Recordset::adOpenStatic, Recordset::adLockReadOnly, -1);
    filas->codigo = filas->recordset->Fields(QStringLiteral("Codigo"));
    filas->provincia = filas->recordset->Fields(QStringLiteral("Provincia"));
    filas_ = std::move(filas);
}

ListadoEnCurso::~ListadoEnCurso() = default;

bool ListadoEnCurso::DibujarPagina()
{
    if (!filas_)
        return false;
    // Other handlers may run between two pages of the preview: the page counter and the
    // page-break line are this listing's own while it draws.
    NumeroPagina = paginas_;
    LimiteInferior = limite_;
    Recordset& filas = *filas_->recordset;

    if (saltoPendiente_) {
        saltoPendiente_ = false;
        if (superficie_->EsImpresora()) {
            superficie_->NewPage();
        } else {
            FrmListados* listados = InstanciaPredeterminada<FrmListados>::Obtener();
            PaginaListado* nueva = listados->PicList.Load(listados->PicList.Count());
            superficie_ = &nueva->Superficie();
            superficie_->Cls();
        }
        ImprimirCabecera(*superficie_);
        FinDeLinea(*superficie_);
        ImprimirTitulos(*superficie_, ventana_);
        limite_ = LimiteInferior;
    }

    while (!filas.Eof()) {
        superficie_->SetCurrentY(superficie_->CurrentY() + pasoFila);
        if (superficie_->CurrentY() + superficie_->TextHeight(QStringLiteral("X")) >= LimiteInferior) {
            // The row opens the next page, on the next call.
            ImprimirPie(*superficie_);
            paginas_ = NumeroPagina;
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
    paginas_ = NumeroPagina;
    if (aviso_)
        aviso_(NumeroPagina);
    return false;
}

void ImprimirListado(const IDialogoImpresion& Dialogo, SuperficieDestino*& Superficie, Form* VentanaProvincias,
                     const AvisoPaginas& Aviso)
{
    ListadoEnCurso listado(Dialogo, Superficie, VentanaProvincias, Aviso);
    while (listado.DibujarPagina())
        Superficie = listado.Superficie();
    Superficie = listado.Superficie();
}

void ImprimirEnDestino(const IDialogoImpresion& Dialogo, const QString& Destino, Form* VentanaProvincias,
                       const AvisoPaginas& Aviso, const std::function<void()>& Dibujado)
{
    SuperficieDestino* superficie = nullptr;
    std::unique_ptr<SuperficieImpresora> impresora;
    QPointer<FrmListados> listados;
    if (Destino == TextosListados::Pantalla) {
        listados = InstanciaPredeterminada<FrmListados>::Obtener();
        listados->Load();
        superficie = &listados->PicList(0)->Superficie();
    } else {
        Printers::Seleccionar(Destino);
        const Impresora actual = Printers::Actual();
        impresora = std::make_unique<SuperficieImpresora>(actual.DeviceName(),
                                                          actual.EsPdf() ? Dialogo.ArchivoPdf() : QString());
        impresora->Documento(TextosListados::Titulo, Usuario);
        superficie = impresora.get();
    }

    try {
        superficie->SetScaleMode(SuperficieDestino::Centimetros);
        superficie->SetFontTransparent(true);
        ModoFondoAnterior = superficie->SetBkMode(SuperficieDestino::Transparente);
        superficie->SetFillStyle(1);
        if (!superficie->EsImpresora()) {
            // A4 in the window's twips.
            superficie->SetWidth(int(AritmeticaListados::RedondearLargo(21.0 * 1440.0 / 2.54)));
            superficie->SetHeight(int(AritmeticaListados::RedondearLargo(29.7 * 1440.0 / 2.54)));
            superficie->SetLeft(int(AritmeticaListados::RedondearLargo((Screen::Width() - superficie->Width()) / 2.0)));
            superficie->SetTop(10);
        } else {
            superficie->SetPaperSize(SuperficieDestino::PapelA4);
        }
        NumeroPagina = 0;
        if (superficie->EsImpresora()) {
            ImprimirListado(Dialogo, superficie, VentanaProvincias, Aviso);
            if (Dibujado)
                Dibujado();
            superficie->EndDoc();
        } else {
            // The first page now; the preview draws the others while the user already reads it,
            // and drops the listing (and its recordset) the moment it closes.
            auto listado = std::make_shared<ListadoEnCurso>(Dialogo, superficie, VentanaProvincias, Aviso);
            if (listado->DibujarPagina())
                listados->SeguirDibujando([listado = std::move(listado)] { return listado->DibujarPagina(); });
            else
                listado.reset();
            if (Dibujado)
                Dibujado();
            listados->ShowP();
        }
    } catch (...) {
        // No half-drawn listing survives a failure: the printer document is abandoned (a PDF being
        // written is removed) and the preview window with its pages goes away.
        try {
            if (impresora)
                impresora->KillDoc();
            if (listados && listados->Loaded() && !listados->Descargando())
                listados->Unload();
        } catch (...) {
            // The first failure is the one to report.
        }
        throw;
    }
}

void ComandoImprimir(Form*& VentanaProvincias)
{
    ObjetoEstablecido(FormPrincipal).Refresh();
    if (!VentanaProvincias)
        throw ErrorEjecucion(ErrorEjecucion::VariableObjetoNoEstablecida);
    VentanaProvincias->Refresh();

    std::unique_ptr<IDialogoImpresion> Dialogo = Tramacor::NuevoDialogoImpresion();
    QObject* ventana = VentanaProvincias;
    QString destino;
    Dialogo->ElegirDestino(Utiles.get(), ventana, destino);
    VentanaProvincias = ComoVentana(ventana);
    Destino = destino;

    if (Destino == TextosListados::SinImpresion)
        return;
    if (!ListadoProvincias::RangoAceptable(Dialogo->ConRango(), Dialogo->CodigoDesde(), Dialogo->CodigoHasta())) {
        Tramacor::Mensajes().MostrarMensaje(TextosListados::RangoConComillas, EstiloMensaje::IconoCritico, TextosListados::TituloAtencion);
        return;
    }

    // The preview shows its own page count while it draws; a printer gets the progress window.
    if (Destino == TextosListados::Pantalla) {
        ImprimirEnDestino(*Dialogo, Destino, VentanaProvincias);
        return;
    }
    ProgresoVentana progreso;
    ImprimirEnDestino(
        *Dialogo, Destino, VentanaProvincias, [&progreso](int paginas) { progreso.Avisar(paginas); },
        [&progreso] { progreso.Cerrar(); });
}
