#include "listing/FrmListados.h"

#include "listing/AritmeticaListados.h"
#include "controls/Barra.h"
#include "runtime/Colores.h"
#include "listing/ColumnaPaginas.h"
#include "runtime/ComboBox.h"
#include "runtime/ErrorEjecucion.h"
#include "runtime/InstanciaPredeterminada.h"
#include "runtime/Label.h"
#include "runtime/Line.h"
#include "runtime/PictureBox.h"
#include "runtime/Screen.h"
#include "runtime/ScrollBar.h"
#include "runtime/Shape.h"
#include "listing/TextosListados.h"
#include "tramacor/Tramacor.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QTimer>
#include <algorithm>
#include <utility>

using namespace AritmeticaListados;

namespace {

const QColor colorFondo(0xCB, 0xCA, 0xA5);
const QColor colorOpciones(0xE9, 0xE8, 0xD3);
const QColor colorEtiqueta(0xAF, 0xB7, 0xF8);
const QColor colorDiseno(0xFF, 0x00, 0xFF);  // the strip's and the page header's design-time colour
const QColor colorMarcoBarra(0x8C, 0x8A, 0x6A);

// How long one slice of the drawing may keep the user's events waiting, in milliseconds. A page
// takes about one; the column and the count are brought up to date once per slice.
constexpr int msPorTanda = 12;

}  // namespace

template <class F>
void FrmListados::Atender(F&& manejador)
{
    if (!desdePrograma_) {
        AtenderEvento(std::forward<F>(manejador));
        return;
    }
    try {
        manejador();
    } catch (...) {
        if (!errorPendiente_)
            errorPendiente_ = std::current_exception();
    }
}

namespace {

// Makes an assignment whose event handler runs inside it, and raises here whatever that handler
// raised, as if the handler had been called directly.
template <class F>
void Provocar(bool& desdePrograma, std::exception_ptr& errorPendiente, F&& asignacion)
{
    const bool antes = desdePrograma;
    desdePrograma = true;
    try {
        asignacion();
    } catch (...) {
        desdePrograma = antes;
        throw;
    }
    desdePrograma = antes;
    if (errorPendiente) {
        std::exception_ptr error = errorPendiente;
        errorPendiente = nullptr;
        std::rethrow_exception(error);
    }
}

}  // namespace

FrmListados::FrmListados() : Form(QStringLiteral("frmListados"))
{
    setCaption(TextosListados::CaptionVentana);
    setBackColor(colorFondo);
    Move(RedondearLargo((Screen::Width() - 10455) / 2.0), RedondearLargo((Screen::Height() - 9150) / 2.0), 10455,
         9150);

    PicFondo = new PictureBox(this, QStringLiteral("PicFondo"));
    PicFondo->Move(0, 0, 10455, 8295);
    PicFondo->setBackColor(colorFondo);
    PicFondo->setForeColor(Colores::TextoVentana());

    Barra1 = new Barra(this, QStringLiteral("Barra1"), PicFondo);
    Barra1->setExtentX(17806);
    Barra1->setExtentY(979);
    Barra1->Move(120, 0, 10095, 555);
    Barra1->setCaption(TextosListados::CaptionBarra);
    Barra1->setColor(QStringLiteral("2"));
    Barra1->setMinimizar(false);

    PicOpc = new PictureBox(this, QStringLiteral("PicOpc"), PicFondo);
    PicOpc->Move(0, 560, 10335, 615);
    PicOpc->setBackColor(colorOpciones);
    PicOpc->setForeColor(Colores::TextoVentana());

    Label1 = new Label(this, QStringLiteral("Label1"), PicOpc);
    Label1->Move(6360, 120, 1335, 360);
    Label1->setCaption(TextosListados::EtiquetaPorcentaje);
    Label1->setBackColor(colorEtiqueta);
    Label1->Font().setName(TextosListados::FuenteOpciones);
    Label1->Font().setSize(9.75);
    Label1->Font().setWeight(600);

    CbxPor = new ComboBox(this, QStringLiteral("CbxPor"), PicOpc);
    CbxPor->Move(7680, 120, 2295);
    CbxPor->Font().setName(TextosListados::FuenteOpciones);
    CbxPor->Font().setSize(9.75);
    CbxPor->Font().setWeight(600);
    CbxPor->AddItem(Zoom50);
    CbxPor->AddItem(Zoom100);
    CbxPor->AddItem(ZoomEncajar);

    LblPaginas = new Label(this, QStringLiteral("LblPaginas"), PicOpc);
    LblPaginas->Move(240, 120, 5880, 360);
    LblPaginas->setBackColor(colorOpciones);
    LblPaginas->Font().setName(TextosListados::FuenteOpciones);
    LblPaginas->Font().setSize(9.75);
    LblPaginas->Font().setWeight(600);

    PicTapa = new PictureBox(this, QStringLiteral("PicTapa"), PicFondo);
    PicTapa->Move(0, 1175, 8775, 100);
    PicTapa->setBorderStyle(0);
    PicTapa->setBackColor(colorDiseno);
    PicTapa->setForeColor(Colores::TextoVentana());

    Listado = new ColumnaPaginas(this, QStringLiteral("Listado"), PicFondo);
    Listado->Move(2520, 2400, 3855, 2655);
    Listado->setBackColor(colorFondo);
    Listado->setForeColor(Colores::TextoVentana());
    // The column slides beneath the title bar, the options bar and the strip.
    Listado->ZOrder(1);

    PictureBox* camPag = PicCamPag.Crear(this, QStringLiteral("PicCamPag"), Listado);
    camPag->Move(480, 720, 2925, 200);
    camPag->setBorderStyle(0);
    camPag->setBackColor(colorDiseno);
    camPag->setForeColor(Colores::TextoVentana());
    camPag->setVisible(false);
    Line* arriba = LineArriba.Crear(this, QStringLiteral("LineArriba"), camPag);
    arriba->setX1(360);
    arriba->setY1(0);
    arriba->setX2(1080);
    arriba->setY2(0);
    arriba->setVisible(false);
    Line* abajo = LineAbajo.Crear(this, QStringLiteral("LineAbajo"), camPag);
    abajo->setX1(720);
    abajo->setY1(120);
    abajo->setX2(1200);
    abajo->setY2(120);
    abajo->setVisible(false);

    PaginaListado* primera = PicList.Crear(this, QStringLiteral("PicList"), PicFondo);
    SuperficiePagina& superficie = primera->Superficie();
    // A listing drawn on the preview gets each next page as a new element of PicList.
    superficie.FijarPaginaSiguiente([this]() -> SuperficiePagina& { return PicList.Load(PicList.Count())->Superficie(); });
    superficie.SetLeft(6120);
    superficie.SetTop(5520);
    superficie.SetWidth(3015);
    superficie.SetHeight(2415);
    superficie.SetBackColor(Colores::FondoVentana());
    superficie.SetForeColor(Colores::TextoVentana());
    primera->setBackColor(Colores::FondoVentana());
    primera->setForeColor(Colores::TextoVentana());
    primera->setVisible(false);

    Scroll = new ScrollBar(this, QStringLiteral("Scroll"), PicFondo);
    Scroll->Move(9840, 1320, 490, 6495);
    // One step is a tenth of the visible height, a page step the whole of it.
    Scroll->setSmallChange(1);
    Scroll->setLargeChange(10);

    DivScroll = new Shape(this, QStringLiteral("DivScroll"), PicFondo);
    DivScroll->Move(9800, 1290, 580, 6560);
    DivScroll->setBorderColor(colorMarcoBarra);

    tanda_ = new QTimer(this);
    tanda_->setInterval(0);
    connect(tanda_, &QTimer::timeout, this, [this] { DibujarTanda(); });

    connect(CbxPor, &ComboBox::Click, this, [this] { Atender([this] { CbxPor_Click(); }); });
    connect(Scroll, &ScrollBar::Change, this, [this] { Atender([this] { Scroll_Change(); }); });
    connect(Barra1, &Barra::SolicitudCierre, this, [this] { AtenderEvento([this] { Barra1_SolicitudCierre(); }); });
    connect(Listado, &ColumnaPaginas::Rueda, this, [this](int pasos) { AtenderEvento([&] { Listado_Rueda(pasos); }); });
}

FrmListados::~FrmListados() = default;

long FrmListados::AltoVisible() const
{
    return AritmeticaListados::AltoVisible(Height(), Barra1->Height(), PicOpc->Height());
}

void FrmListados::Form_Load()
{
    setWidth(RedondearLargo(Screen::Width()));
    setHeight(RedondearLargo(Screen::Height()));
    // Stored as centred on the screen.
    setLeft(RedondearLargo((Screen::Width() - Width()) / 2.0));
    setTop(RedondearLargo((Screen::Height() - Height()) / 2.0));

    PicFondo->setHeight(Height());
    PicFondo->setWidth(Width());

    Barra1->setLeft(0);
    Barra1->setWidth(Width());

    PicOpc->setWidth(Width());
    PicTapa->setWidth(Width());
    PicTapa->setBackColor(colorFondo);

    DivScroll->setLeft(Width() - DivScroll->Width() - 60);
    DivScroll->setTop(PicOpc->Top() + PicOpc->Height());

    Scroll->setLeft(Width() - Scroll->Width() - 90);
    Scroll->setTop(PicOpc->Top() + PicOpc->Height() + 30);
    Scroll->setHeight(Height() - Scroll->Top() - 90);

    DivScroll->setHeight(Scroll->Height() + 60);
}

void FrmListados::SeguirDibujando(std::function<bool()> dibujarPagina)
{
    dibujarPagina_ = std::move(dibujarPagina);
}

void FrmListados::ShowP()
{
    const std::shared_ptr<std::exception_ptr> fallo = falloDibujo_;
    QPointer<FrmListados> yo(this);
    Provocar(desdePrograma_, errorPendiente_, [this] { CbxPor->setListIndex(1); });
    MostrarCuenta();
    // The first slice waits a moment, so that the first page is painted before drawing goes on.
    if (dibujarPagina_)
        tanda_->start(msPorTanda);
    ShowModal();
    // Hidden without closing, the window keeps the pages drawn so far; the rest are not drawn,
    // since the command that drew them returns now.
    if (yo)
        TerminarDibujo();
    if (*fallo)
        std::rethrow_exception(std::exchange(*fallo, nullptr));
}

void FrmListados::Form_Activate()
{
    Refresh();
}

void FrmListados::CbxPor_Click()
{
    Listado->Cls();
    Listado->setHeight(0);
    composicion_ = std::make_unique<Composicion>(CbxPor->Text(), AltoVisible(), Width(), PicTapa->Top(),
                                                 PicTapa->Height());
    if (PicList.Count() == 0)
        return;
    ColocarPaginas();

    const Columna& columna = composicion_->Actual();
    Listado->Move(int(columna.izquierda), int(columna.arriba), int(columna.ancho), int(columna.alto));
    Scroll->setMin(0);
    Scroll->setMax(columna.maximo);
    Provocar(desdePrograma_, errorPendiente_, [this] { Scroll->setValue(0); });
    Scroll->setVisible(columna.barraVisible);
}

void FrmListados::ColocarPaginas()
{
    for (int i = composicion_->Paginas(); i < PicList.Count(); ++i) {
        const PaginaListado& pagina = *PicList(i);
        const long y = composicion_->Agregar(TamanoPagina{pagina.Width(), pagina.Height()});
        const Columna& actual = composicion_->Actual();
        Listado->PaintPicture(pagina, 0, y, Listado->AnchoInterior(int(actual.ancho)), actual.altoPagina);
    }
}

void FrmListados::CrecerColumna()
{
    if (!composicion_ || composicion_->Paginas() == PicList.Count())
        return;
    ColocarPaginas();
    const Columna& columna = composicion_->Actual();
    // The range only grows, so the user's position stays valid and no Change is raised.
    Scroll->setMax(columna.maximo);
    const long arriba = ArribaColumna(Scroll->Value(), Scroll->Min(), Scroll->Max(), columna.alto, AltoVisible(),
                                      PicTapa->Top(), PicTapa->Height());
    Listado->Move(int(columna.izquierda), int(arriba), int(columna.ancho), int(columna.alto));
    Scroll->setVisible(columna.barraVisible);
}

void FrmListados::DibujarTanda()
{
    if (!dibujarPagina_) {
        tanda_->stop();
        return;
    }
    tanda_->setInterval(0);
    try {
        // Only whole pages: no other handler runs while a page is half drawn.
        QElapsedTimer reloj;
        reloj.start();
        bool quedan = true;
        do {
            quedan = dibujarPagina_();
        } while (quedan && reloj.elapsed() < msPorTanda);
        if (!quedan)
            TerminarDibujo();
        CrecerColumna();
        MostrarCuenta();
    } catch (...) {
        // The listing failed half-way: no half-drawn preview stays on screen, and the print
        // command reports the error when ShowP returns.
        *falloDibujo_ = std::current_exception();
        TerminarDibujo();
        try {
            Unload();
        } catch (...) {
        }
        if (Loaded())
            Hide();
    }
}

void FrmListados::TerminarDibujo()
{
    tanda_->stop();
    // Dropping the drawing closes the listing's recordset.
    std::function<bool()> dibujo = std::move(dibujarPagina_);
    dibujarPagina_ = nullptr;
    dibujo = nullptr;
    MostrarCuenta();
}

void FrmListados::MostrarCuenta()
{
    LblPaginas->setCaption((dibujarPagina_ ? TextosListados::PaginasDibujando : TextosListados::PaginasDibujadas)
                               .arg(PicList.Count()));
}

void FrmListados::Scroll_Change()
{
    Listado->setTop(int(ArribaColumna(Scroll->Value(), Scroll->Min(), Scroll->Max(), Listado->Height(), AltoVisible(),
                                      PicTapa->Top(), PicTapa->Height())));
    Listado->Refresh();
}

void FrmListados::Listado_Rueda(int pasos)
{
    if (!Scroll->Visible())
        return;
    const int menor = std::min(Scroll->Min(), Scroll->Max());
    const int mayor = std::max(Scroll->Min(), Scroll->Max());
    Scroll->setValue(std::clamp(Scroll->Value() - pasos * Scroll->SmallChange(), menor, mayor));
}

void FrmListados::Barra1_SolicitudCierre()
{
    Unload();
}

void FrmListados::Form_Unload(int& Cancel)
{
    Q_UNUSED(Cancel);
    // Closed while pages are still being drawn: the drawing stops here and its recordset closes;
    // the pages go with the window.
    TerminarDibujo();
    Form*& instancia = InstanciaPredeterminada<FrmListados>::Referencia();
    QObject* referencia = instancia;
    Tramacor::Funciones().LiberarFormulario(referencia);
    Form* devuelta = qobject_cast<Form*>(referencia);
    if (referencia && !devuelta)
        throw ErrorEjecucion(ErrorEjecucion::TiposNoCoinciden);
    instancia = devuelta;
}
