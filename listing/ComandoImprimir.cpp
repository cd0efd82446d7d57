// The print command: asks the host for a destination, then draws the listing on a printer (with a
// progress window for a long one) or on the preview window, which shows the first page at once and
// draws the others while the user reads. The drawing itself is the report's (ListadoProvincias.cpp),
// the same for every destination.
#include "listing/ListadoProvincias.h"

#include "listing/AritmeticaListados.h"
#include "component/DatosComunes.h"
#include "runtime/ErrorEjecucion.h"
#include "runtime/Form.h"
#include "listing/FrmListados.h"
#include "runtime/InstanciaPredeterminada.h"
#include "printing/Printers.h"
#include "runtime/Screen.h"
#include "printing/SuperficieImpresora.h"
#include "listing/TextosListados.h"
#include "tramacor/Tramacor.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPointer>
#include <QProgressDialog>
#include <memory>

namespace {

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

}  // namespace

int ImprimirEnDestino(const IDialogoImpresion& Dialogo, const QString& Destino, Form* VentanaProvincias,
                      const AvisoPaginas& Aviso, const std::function<void()>& Dibujado)
{
    std::shared_ptr<ListadoEnCurso> listado;
    int paginas = 0;
    SuperficieDestino* superficie = nullptr;
    SuperficiePagina* pagina = nullptr;
    std::unique_ptr<SuperficieImpresora> impresora;
    QPointer<FrmListados> listados;
    if (Destino == TextosListados::Pantalla) {
        listados = InstanciaPredeterminada<FrmListados>::Obtener();
        listados->Load();
        pagina = &listados->PicList(0)->Superficie();
        superficie = pagina;
    } else {
        Printers::Seleccionar(Destino);
        const Impresora actual = Printers::Actual();
        impresora = std::make_unique<SuperficieImpresora>(actual.DeviceName(),
                                                          actual.EsPdf() ? Dialogo.ArchivoPdf() : QString());
        impresora->Documento(TextosListados::Titulo, Comunes().Usuario);
        superficie = impresora.get();
    }

    try {
        listado = std::make_shared<ListadoEnCurso>(Dialogo, Destino, VentanaProvincias, Aviso);
        listado->Preparar(*superficie);
        if (impresora) {
            impresora->SetPaperSize(SuperficieImpresora::PapelA4);
            listado->ImprimirListado(superficie);
            paginas = listado->NumeroPagina;
            if (Dibujado)
                Dibujado();
            impresora->EndDoc();
        } else {
            // A4 in the window's twips.
            pagina->SetWidth(int(AritmeticaListados::RedondearLargo(21.0 * 1440.0 / 2.54)));
            pagina->SetHeight(int(AritmeticaListados::RedondearLargo(29.7 * 1440.0 / 2.54)));
            pagina->SetLeft(int(AritmeticaListados::RedondearLargo((Screen::Width() - pagina->Width()) / 2.0)));
            pagina->SetTop(10);
            // The first page now; the preview draws the others while the user already reads it,
            // and drops the listing (and its recordset) the moment it closes.
            listado->Comenzar(superficie);
            const bool siguen = listado->DibujarPagina();
            paginas = listado->NumeroPagina;
            if (siguen)
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
        listado.reset();
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
    return paginas;
}

void ComandoImprimir(Form*& VentanaProvincias)
{
    ObjetoEstablecido(Comunes().FormPrincipal).Refresh();
    if (!VentanaProvincias)
        throw ErrorEjecucion(ErrorEjecucion::VariableObjetoNoEstablecida);
    VentanaProvincias->Refresh();

    std::unique_ptr<IDialogoImpresion> Dialogo = Tramacor::NuevoDialogoImpresion();
    QObject* ventana = VentanaProvincias;
    QString destino;
    Dialogo->ElegirDestino(Comunes().Utiles.get(), ventana, destino);
    VentanaProvincias = DatosComunes::ComoVentana(ventana);

    if (destino == TextosListados::SinImpresion)
        return;
    if (!ListadoProvincias::RangoAceptable(Dialogo->ConRango(), Dialogo->CodigoDesde(), Dialogo->CodigoHasta())) {
        Tramacor::Mensajes().MostrarMensaje(TextosListados::RangoConComillas, EstiloMensaje::IconoCritico, TextosListados::TituloAtencion);
        return;
    }

    // The preview shows its own page count while it draws; a printer gets the progress window.
    if (destino == TextosListados::Pantalla) {
        ImprimirEnDestino(*Dialogo, destino, VentanaProvincias);
        return;
    }
    ProgresoVentana progreso;
    ImprimirEnDestino(
        *Dialogo, destino, VentanaProvincias, [&progreso](int paginas) { progreso.Avisar(paginas); },
        [&progreso] { progreso.Cerrar(); });
}
