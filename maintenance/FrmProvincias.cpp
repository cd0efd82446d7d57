#include "maintenance/FrmProvincias.h"

#include "component/AjustarControles.h"
#include "runtime/Colores.h"
#include "component/DatosComunes.h"
#include "data/ErrorDatos.h"
#include "runtime/ErrorEjecucion.h"
#include "data/ErroresDatos.h"
#include "maintenance/FondoProvincias.h"
#include "runtime/InstanciaPredeterminada.h"
#include "listing/ListadoProvincias.h"
#include "maintenance/PanelEnfocable.h"
#include "runtime/Screen.h"
#include "component/Sentencias.h"
#include "maintenance/TextosProvincias.h"
#include "tramacor/Tramacor.h"

#include <QApplication>
#include <QDateTime>
#include <cmath>

namespace T = TextosProvincias;

namespace {

// The window's three kinds of message box and the answer that proceeds.
constexpr int EstiloError = EstiloMensaje::IconoCritico;
constexpr int EstiloPregunta = EstiloMensaje::SiNo;
constexpr int EstiloAviso = EstiloMensaje::IconoInformacion;
constexpr int RespuestaSi = RespuestaMensaje::Si;

// Enter, as the key handlers receive it.
constexpr int TeclaIntro = 13;

const QString FuenteVentana = QStringLiteral("Bookman Old Style");
constexpr int PesoFuente = 600;

// The window's colours.
const QColor FondoDatos = Colores::Ole(0x00D3E8E9);
const QColor Granate = Colores::Ole(0x00000080);
const QColor FondoEtiquetaCampo = Colores::Ole(0x00FFC0C0);
const QColor Blanco = Colores::Ole(0x00FFFFFF);
// The pale colour of a focused edit field, also the grid's selection colour.
const QColor FondoEnfocado = Colores::Ole(0x00A5CACB);
const QColor TextoGrilla(98, 98, 98);
const QColor FondoCabeceraGrilla(192, 192, 255);
const QColor LineasGrilla(128, 128, 128);

// A field value as text; a null value reads as the empty text.
QString Texto(const QVariant& valor)
{
    return valor.isNull() ? QString() : valor.toString();
}

// A position or size computed in single precision, to the nearest twip (a tie takes the even one).
int Twips(float valor)
{
    return int(std::lrint(valor));
}

// The integer half of a value: converted to a whole number first (a tie takes the even one),
// then halved with the remainder dropped.
int MitadEntera(float valor)
{
    return int(std::lrint(valor) / 2);
}

float F(int twips)
{
    return float(twips);
}

void AsignarFuente(Control* control, double puntos)
{
    Fuente& fuente = control->Font();
    fuente.setName(FuenteVentana);
    fuente.setSize(puntos);
    fuente.setWeight(PesoFuente);
    fuente.setItalic(false);
}

// Leaves the recordset on the row whose code is exactly `codigo`, or at its end. The statements
// compare codes with `like`; a code stored by another program with a wildcard in it could match
// further rows, and only its own row may be shown, changed or compared.
void SituarEnCodigo(Recordset& rs, const QString& codigo)
{
    rs.BuscarIgual(QStringLiteral("Codigo"), codigo);
}

// The window's background, painted for the size its picture box has now on this screen (a pixel
// more each way, so that rounding never leaves a bare edge) at the screen's pixel density.
void PintarFondo(PictureBox& caja)
{
    const QSize pixeles(int(std::ceil(caja.Width() / Screen::TwipsPerPixelX())) + 1,
                        int(std::ceil(caja.Height() / Screen::TwipsPerPixelY())) + 1);
    caja.setPicture(FondoProvincias(pixeles, caja.Widget()->devicePixelRatioF()));
}

} // namespace

FrmProvincias::FrmProvincias()
    : Form(QStringLiteral("FrmProvincias"))
{
    setCaption(T::VentanaCaption);
    CrearControles();
    ConectarEventos();
}

FrmProvincias::~FrmProvincias() = default;

FrmProvincias::Estado FrmProvincias::EstadoVentana() const
{
    return {RegistroNuevo, Modificando, ValidacionFallida, CerrandoDesdeBarra, HayCambios, IgnorarSeleccion,
            CodigoActual};
}

// The controls with the settings stored with the window; Form_Load overwrites the positions
// it computes.
void FrmProvincias::CrearControles()
{
    Move(0, 0, 12135, 10215);

    PicProvincias = new PictureBox(this, QStringLiteral("PicProvincias"));
    PicProvincias->setBorderStyle(0);
    PicProvincias->Move(0, 0, 12135, 10215);
    // Its picture is painted by Form_Load, once the window has its size on this screen.

    Barra1 = new Barra(this, QStringLiteral("Barra1"), PicProvincias);
    Barra1->setCaption(T::BarraCaption);
    Barra1->setColor(QStringLiteral("1"));
    Barra1->setMinimizar(false);
    Barra1->Move(0, 0, 12015, 555);

    auto boton = [this](const QString& nombre, const QString& titulo, int left) {
        auto* b = new Boton(this, nombre, PicProvincias);
        b->setCaption(titulo);
        AsignarFuente(b, 12);
        b->Move(left, 840, 1575, 735);
        return b;
    };
    LblNuevo = boton(QStringLiteral("LblNuevo"), T::Nuevo, 2160);
    lblAceptar = boton(QStringLiteral("lblAceptar"), T::Grabar, 3840);
    LblBuscar = boton(QStringLiteral("LblBuscar"), T::Buscar, 5520);
    LblCancelar = boton(QStringLiteral("LblCancelar"), T::Cancelar, 7200);
    LblBorrar = boton(QStringLiteral("LblBorrar"), T::Borrar, 8880);

    PicDatosProvincias = new PanelEnfocable(this, QStringLiteral("PicDatosProvincias"), PicProvincias);
    PicDatosProvincias->setBorderStyle(0);
    PicDatosProvincias->setBackColor(FondoDatos);
    PicDatosProvincias->Move(360, 3480, 11655, 3930);

    LinProvincias = new FlexGrid(this, QStringLiteral("LinProvincias"), PicDatosProvincias);
    AsignarFuente(LinProvincias, 9);
    LinProvincias->setBackColor(Blanco);
    LinProvincias->setForeColor(TextoGrilla);
    LinProvincias->setBackColorFixed(FondoCabeceraGrilla);
    LinProvincias->setForeColorFixed(Qt::black);
    LinProvincias->setBackColorSel(FondoEnfocado);
    LinProvincias->setForeColorSel(Colores::TextoResaltado());
    LinProvincias->setBackColorBkg(FondoEnfocado);
    LinProvincias->setGridColor(LineasGrilla);
    LinProvincias->setGridColorFixed(LineasGrilla);
    LinProvincias->Move(600, 600, 3855, 2415);

    auto titulo = [this](const QString& nombre, const QString& texto, int left, int top, int width, int height) {
        auto* l = new Label(this, nombre, PicDatosProvincias);
        l->setCaption(texto);
        l->setBackColor(FondoDatos);
        l->setForeColor(Granate);
        AsignarFuente(l, 14.25);
        l->Move(left, top, width, height);
        return l;
    };
    LblProv = titulo(QStringLiteral("LblProv"), T::LblProvDiseno, 840, 120, 1995, 330);
    LblDatosProvincias = titulo(QStringLiteral("LblDatosProvincias"), T::LblDatosProvinciasDiseno, 5880, 240, 2745, 330);

    auto etiqueta = [this](const QString& nombre, const QString& texto, int top) {
        auto* l = new Label(this, nombre, PicDatosProvincias);
        l->setCaption(texto);
        l->setBackColor(FondoEtiquetaCampo);
        l->setForeColor(Colores::TextoVentana());
        AsignarFuente(l, 14.25);
        l->Move(5520, top, 1860, 390);
        return l;
    };
    LblCodigo = etiqueta(QStringLiteral("LblCodigo"), T::LblCodigoDiseno, 1200);
    LblProvincia = etiqueta(QStringLiteral("LblProvincia"), T::LblProvinciaDiseno, 1800);

    TxtCodigo = new TextBox(this, QStringLiteral("TxtCodigo"), PicDatosProvincias);
    TxtCodigo->setMaxLength(2);
    AsignarFuente(TxtCodigo, 12);
    TxtCodigo->setBackColor(Blanco);
    TxtCodigo->Move(7440, 1200, 585, 405);
    TxtProvincia = new TextBox(this, QStringLiteral("TxtProvincia"), PicDatosProvincias);
    TxtProvincia->setMaxLength(20);
    AsignarFuente(TxtProvincia, 12);
    TxtProvincia->setBackColor(Blanco);
    TxtProvincia->Move(7440, 1800, 3420, 390);
    TxtCodigo->setTabIndex(1);
    TxtProvincia->setTabIndex(2);

    SpProvincias = new Shape(this, QStringLiteral("SpProvincias"), PicDatosProvincias);
    SpProvincias->setBorderColor(Granate);
    SpProvincias->Move(360, 360, 4395, 2955);
    SpDatosProvincias = new Shape(this, QStringLiteral("SpDatosProvincias"), PicDatosProvincias);
    SpDatosProvincias->setBorderColor(Granate);
    SpDatosProvincias->Move(5160, 360, 5955, 2955);
    // Each frame's title stands on the frame's top line and hides it behind its text.
    LblProv->ZOrder(0);
    LblDatosProvincias->ZOrder(0);

    Line5 = new Line(this, QStringLiteral("Line5"), PicProvincias);
    Line5->setBorderColor(Blanco);
    Line5->setX1(1440);
    Line5->setY1(2040);
    Line5->setX2(7080);
    Line5->setY2(2040);

    auto imagen = [this](const QString& nombre, const QString& archivo, int left, int top, int width, int height) {
        auto* i = new Image(this, nombre, PicProvincias);
        i->setPicture(archivo);
        i->Move(left, top, width, height);
        return i;
    };
    ImgImpresora = imagen(QStringLiteral("ImgImpresora"), QStringLiteral(":/provincias/impresora@4x.png"),
                          11160, 1725, 1200, 900);
    ImgProvDerecha = imagen(QStringLiteral("ImgProvDerecha"), QStringLiteral(":/provincias/siguiente@4x.png"),
                            10320, 1200, 1065, 600);
    ImgProvIzquierda = imagen(QStringLiteral("ImgProvIzquierda"), QStringLiteral(":/provincias/anterior@4x.png"),
                              600, 1080, 1065, 600);
}

void FrmProvincias::ConectarEventos()
{
    connect(Barra1, &Barra::SolicitudCierre, this, &FrmProvincias::CerrarVentana);
    connect(LblNuevo, &Boton::Click, this, &FrmProvincias::LblNuevo_Click);
    connect(lblAceptar, &Boton::Click, this, &FrmProvincias::lblAceptar_Click);
    connect(LblBuscar, &Boton::Click, this, &FrmProvincias::LblBuscar_Click);
    connect(LblCancelar, &Boton::Click, this, &FrmProvincias::LblCancelar_Click);
    connect(LblBorrar, &Boton::Click, this, &FrmProvincias::LblBorrar_Click);
    connect(LinProvincias, &FlexGrid::RowColChange, this, &FrmProvincias::LinProvincias_RowColChange);
    connect(LinProvincias, &FlexGrid::MouseDown, this, &FrmProvincias::LinProvincias_MouseDown);
    connect(LinProvincias, &FlexGrid::SelChange, this, &FrmProvincias::LinProvincias_SelChange);
    connect(TxtCodigo, &TextBox::Change, this, &FrmProvincias::TxtCodigo_Change);
    connect(TxtCodigo, &TextBox::GotFocus, this, &FrmProvincias::TxtCodigo_GotFocus);
    connect(TxtCodigo, &TextBox::KeyPress, this, &FrmProvincias::TxtCodigo_KeyPress);
    connect(TxtCodigo, &TextBox::LostFocus, this, &FrmProvincias::TxtCodigo_LostFocus);
    connect(TxtProvincia, &TextBox::GotFocus, this, &FrmProvincias::TxtProvincia_GotFocus);
    connect(TxtProvincia, &TextBox::KeyPress, this, &FrmProvincias::TxtProvincia_KeyPress);
    connect(TxtProvincia, &TextBox::LostFocus, this, &FrmProvincias::TxtProvincia_LostFocus);
    connect(ImgProvDerecha, &Image::Click, this, &FrmProvincias::ImgProvDerecha_Click);
    connect(ImgProvIzquierda, &Image::Click, this, &FrmProvincias::ImgProvIzquierda_Click);
    connect(ImgImpresora, &Image::Click, this, &FrmProvincias::ImgImpresora_Click);
}

// ---- Helpers ----

int FrmProvincias::Mensaje(const QString& texto, int estilo, const QString& titulo)
{
    return Tramacor::Mensajes().MostrarMensaje(texto, estilo, titulo);
}

void FrmProvincias::MostrarErrorNumerado(long numero, const QString& descripcion)
{
    Mensaje(T::NumeroError(numero, descripcion), EstiloError, T::SinTitulo);
}

// Reopens the window's recordset on a statement, with the window's cursor and locking.
void FrmProvincias::AbrirProvincias(const QString& sentencia)
{
    RsProvincias->Open(sentencia, Comunes().Conexion, Recordset::adOpenDynamic, Recordset::adLockOptimistic, -1);
}

void FrmProvincias::ResaltarCampo(TextBox* campo)
{
    campo->setBackColor(FondoEnfocado);
    campo->setSelStart(0);
    campo->setSelLength(int(campo->Text().size()));
}

// ---- Lifecycle and layout ----

// Loading follows the order the window has always had: data, grid, places, captions, the first
// record, then the scaling to the screen. Each step relies on what the previous ones set.
void FrmProvincias::Form_Load()
{
    AbrirDatos();
    PrepararGrilla();
    ColocarControles();
    PonerTitulos();
    MostrarPrimerRegistro();
    AjustarAPantalla();
}

// The window's recordset on every province by name, the window where the host placed it.
void FrmProvincias::AbrirDatos()
{
    if (!RsProvincias)
        RsProvincias = std::make_shared<Recordset>();
    if (RsProvincias->State() == Recordset::adStateOpen)
        RsProvincias->Close();

    CerrandoDesdeBarra = false;
    Comunes().EdicionEnCurso = false;

    setTop(ObjetoEstablecido(Comunes().FormUbicacion).Top());
    setLeft(ObjetoEstablecido(Comunes().FormUbicacion).Left());

    PicProvincias->setWidth(12146);
    PicProvincias->setHeight(10540);

    AbrirProvincias(Sentencias::TodasPorNombre());
    if (RsProvincias->Eof())
        DatosComunes::HabilitarControles(Controls(), false);
}

void FrmProvincias::PrepararGrilla()
{
    // The grid: the minimum row height, two centred titles, codes centred, names to the left.
    LinProvincias->setRowHeightMin(500);
    LinProvincias->setCols(2);
    LinProvincias->setColWidth(0, 900);
    LinProvincias->setFixedAlignment(0, FlexGrid::CentroCentro);
    LinProvincias->setFixedAlignment(1, FlexGrid::CentroCentro);
    LinProvincias->setColAlignment(0, FlexGrid::CentroCentro);
    LinProvincias->setColAlignment(1, FlexGrid::IzquierdaCentro);
    LinProvincias->setColWidth(1, Twips(F(LinProvincias->Width()) - F(LinProvincias->ColWidth(0))));
    LinProvincias->setLeft(700);
    LinProvincias->setTextMatrix(0, 0, Texto(Comunes().Textos->Fields(T::CampoCodigo).Value()).toUpper());
    LinProvincias->setTextMatrix(0, 1, Texto(Comunes().Textos->Fields(T::CampoProvincia).Value()).toUpper());
    LinProvincias->setHeight(2500);

    LlenarGrilla();
    LinProvincias->setColSel(LinProvincias->Cols() - 1);
    LinProvincias->setTop(1000);
}

// Every place is computed from the grid's frame, in the design screen's twips.
void FrmProvincias::ColocarControles()
{
    // The frame around the grid.
    SpProvincias->setWidth(Twips(F(LinProvincias->Width()) + 400));
    SpProvincias->setHeight(Twips(F(LinProvincias->Height()) + 400));
    SpProvincias->setTop(Twips(F(LinProvincias->Top()) - 200));
    SpProvincias->setLeft(Twips(F(LinProvincias->Left()) - 200));

    // The edit fields and their labels, right of the grid's frame.
    LblProv->setTop(Twips(F(SpProvincias->Top()) + 100 - F(LblProv->Height())));
    LblProv->setLeft(Twips(F(SpProvincias->Left()) + 500));
    LblCodigo->setLeft(Twips(F(SpProvincias->Left()) + F(SpProvincias->Width()) + 800));
    TxtCodigo->setLeft(Twips(F(LblCodigo->Left()) + F(LblCodigo->Width()) + 50));
    LblProvincia->setLeft(LblCodigo->Left());
    TxtProvincia->setLeft(Twips(F(LblProvincia->Left()) + F(LblProvincia->Width()) + 50));
    LblCodigo->setTop(Twips(F(SpProvincias->Top()) + 700));
    TxtCodigo->setTop(LblCodigo->Top());
    LblProvincia->setTop(Twips(F(LblCodigo->Top()) + F(LblCodigo->Height()) + 400));
    TxtProvincia->setTop(LblProvincia->Top());

    // The data panel.
    PicDatosProvincias->setHeight(
        Twips(F(SpProvincias->Height()) + F(LblDatosProvincias->Height()) + 1200 + 400));
    PicDatosProvincias->setWidth(Twips(F(PicProvincias->Width()) - 400));
    PicDatosProvincias->setLeft(MitadEntera(F(PicProvincias->Width()) - F(PicDatosProvincias->Width())));

    // The separator under the buttons, and the panel below it.
    Line5->setX1(120);
    Line5->setX2(Twips(F(PicProvincias->Width()) - 120));
    Line5->setY1(Twips(F(LblNuevo->Height()) + 1000 + F(Barra1->Height())));
    Line5->setY2(Line5->Y1());
    PicDatosProvincias->setTop(Twips(F(Line5->Y1()) + 1500));

    // The frame around the edit fields.
    SpDatosProvincias->setWidth(Twips(F(TxtProvincia->Width()) + F(LblProvincia->Width()) + 700));
    SpDatosProvincias->setHeight(SpProvincias->Height());
    SpDatosProvincias->setTop(SpProvincias->Top());
    SpDatosProvincias->setLeft(Twips(F(LblCodigo->Left()) - 300));
    LblDatosProvincias->setTop(Twips(F(SpDatosProvincias->Top()) + 100 - F(LblDatosProvincias->Height())));
    LblDatosProvincias->setLeft(Twips(F(SpDatosProvincias->Left()) + 500));

    // The button row, centred as a block, 100 twips apart.
    LblNuevo->setTop(Twips(F(Line5->Y1()) - F(LblNuevo->Height()) - 500));
    LblCancelar->setTop(LblNuevo->Top());
    LblBorrar->setTop(LblNuevo->Top());
    LblBuscar->setTop(LblNuevo->Top());
    lblAceptar->setTop(LblNuevo->Top());
    LblNuevo->setLeft(MitadEntera(F(PicProvincias->Width()) - 5 * F(LblNuevo->Width()) - 1800));
    lblAceptar->setLeft(Twips(F(LblNuevo->Left()) + F(LblNuevo->Width()) + 100));
    LblBuscar->setLeft(Twips(F(lblAceptar->Left()) + F(lblAceptar->Width()) + 100));
    LblBorrar->setLeft(Twips(F(LblBuscar->Left()) + F(LblBuscar->Width()) + 100));
    LblCancelar->setLeft(Twips(F(LblBorrar->Left()) + F(LblBorrar->Width()) + 100));

    // The previous arrow left of the buttons; the printer and the next arrow right of them.
    ImgProvIzquierda->setTop(
        Twips(F(LblNuevo->Top()) + F(MitadEntera(F(lblAceptar->Height()) - F(ImgProvIzquierda->Height())))));
    ImgProvIzquierda->setLeft(Twips(F(LblNuevo->Left()) - F(ImgProvIzquierda->Width()) - 100));
    ImgProvDerecha->setTop(ImgProvIzquierda->Top());
    ImgImpresora->setTop(Twips(F(LblNuevo->Top()) - 100));
    ImgImpresora->setLeft(Twips(F(LblCancelar->Left()) + F(LblCancelar->Width()) + 100));
    ImgProvDerecha->setLeft(Twips(F(ImgImpresora->Left()) + F(ImgImpresora->Width()) + 100));
}

void FrmProvincias::PonerTitulos()
{
    Recordset& textos = *Comunes().Textos;
    LblProv->setCaption(QStringLiteral("  ") + Texto(textos.Fields(T::CampoProvincias).Value()) + QStringLiteral("  "));
    LblDatosProvincias->setCaption(QStringLiteral("  ") + Texto(textos.Fields(T::CampoDatosProvincias).Value())
                                   + QStringLiteral("  "));
    LblCodigo->setCaption(QStringLiteral(" ") + Texto(textos.Fields(T::CampoCodigo).Value()) + QStringLiteral(":"));
    LblProvincia->setCaption(QStringLiteral(" ") + Texto(textos.Fields(T::CampoProvincia).Value())
                             + QStringLiteral(":"));
}

void FrmProvincias::MostrarPrimerRegistro()
{
    if (!RsProvincias->Bof())
        RsProvincias->MoveFirst();

    RegistroNuevo = false;
    Modificando = true;
    MostrarRegistro();
}

// Scales every control from the design screen to this one, then sizes the window to its panel.
void FrmProvincias::AjustarAPantalla()
{
    const DatosComunes& comunes = Comunes();
    if (Screen::Width() != double(comunes.AnchoBase)) {
        AjustarControles(Controls(), std::lrint(Screen::Width()), std::lrint(Screen::Height()), comunes.AnchoBase,
                         comunes.AltoBase);
        LinProvincias->setColWidth(0, 900);
        LinProvincias->setColWidth(1, Twips(F(LinProvincias->Width()) - F(LinProvincias->ColWidth(0))));
    }

    PicProvincias->setTop(0);
    PicProvincias->setLeft(0);
    setHeight(PicProvincias->Height());
    setWidth(PicProvincias->Width());
    Barra1->setWidth(Width());
    PintarFondo(*PicProvincias);
}

void FrmProvincias::CerrarVentana()
{
    CerrandoDesdeBarra = true;
    if (RegistroNuevo && TxtProvincia->Text().isEmpty() && TxtCodigo->Text().isEmpty())
        Comunes().EdicionEnCurso = false;

    if (RegistroNuevo) {
        if (Mensaje(T::DeseaGuardar, EstiloPregunta, T::TituloAtencion) == RespuestaSi) {
            lblAceptar_Click();
        } else {
            Comunes().EdicionEnCurso = false;
            ValidacionFallida = false;
        }
    } else {
        VerificarCambios();
        if (HayCambios && Mensaje(T::DeseaGuardar, EstiloPregunta, T::TituloAtencion) == RespuestaSi)
            lblAceptar_Click();
    }

    LblNuevo->setVisible(true);
    LblBorrar->setEnabled(true);

    if (!ValidacionFallida) {
        if (RsProvincias->State() == Recordset::adStateOpen)
            RsProvincias->Close();
        PicProvincias->setTag(QStringLiteral("0"));
        Unload();
    } else {
        ValidacionFallida = false;
    }

    if (!Comunes().EdicionEnCurso)
        ObjetoEstablecido(Comunes().FormPrincipal).setTag(QString());
}

void FrmProvincias::Form_Unload(int& Cancel)
{
    Q_UNUSED(Cancel);
    // An unload the host asked for goes ahead whatever the close path meets: a failure there
    // (a lost connection, say) is reported, and the window still goes.
    if (!CerrandoDesdeBarra) {
        try {
            CerrarVentana();
        } catch (const ErrorDatos& error) {
            InformarErrorEvento(int(error.Number()), error.Description());
        } catch (const ErrorEjecucion& error) {
            InformarErrorEvento(error.Number(), error.Description());
        }
    }

    Form*& instancia = InstanciaPredeterminada<FrmProvincias>::Referencia();
    QObject* referencia = instancia;
    Tramacor::Funciones().LiberarFormulario(referencia);
    if (referencia && referencia != this)
        throw ErrorEjecucion(ErrorEjecucion::TiposNoCoinciden,
                             QStringLiteral("No coinciden los tipos: LiberarFormulario devolvió otra ventana"));
    instancia = static_cast<Form*>(referencia);
}

void FrmProvincias::Form_Activate()
{
    Refresh();
}

void FrmProvincias::Form_Paint()
{
    // Painting goes on while a host hands data over; without the host object there is nothing
    // to paint with, and an error on every paint would lock the window up.
    DatosComunes& comunes = Comunes();
    if (!comunes.Utiles)
        return;
    Form*& instancia = InstanciaPredeterminada<FrmProvincias>::Referencia();
    QObject* ventana = instancia;
    comunes.Utiles->PintarFormulario(ventana);
    instancia = qobject_cast<Form*>(ventana);

    QObject* principal = comunes.FormPrincipal.data();
    comunes.Utiles->PintarFormulario(principal);
    comunes.FormPrincipal = qobject_cast<Form*>(principal);
}

void FrmProvincias::Form_Resize()
{
    if (Form* principal = Comunes().FormPrincipal; principal && principal->WindowState() == 1)
        principal->setWindowState(0);
}

// ---- Grid ----

void FrmProvincias::LlenarGrilla()
{
    Recordset rs;
    rs.Open(Sentencias::TodasPorNombre(), Comunes().Conexion, Recordset::adOpenStatic, Recordset::adLockReadOnly, -1);
    if (rs.Eof()) {
        rs.Close();
        return;
    }

    LinProvincias->setRows(1);
    const Field codigo = rs.Fields(QStringLiteral("Codigo"));
    const Field provincia = rs.Fields(QStringLiteral("Provincia"));
    const QString tabulador(QLatin1Char('\t'));
    while (!rs.Eof()) {
        const QString codigoFila = Texto(codigo.Value());
        LinProvincias->AddItem(codigoFila + tabulador + Texto(provincia.Value()));
        if (codigoFila == TxtCodigo->Text()) {
            LinProvincias->setRow(LinProvincias->Rows() - 1);
            LinProvincias->setColSel(LinProvincias->Cols() - 1);
        }
        if (!LinProvincias->RowIsVisible(LinProvincias->Row()))
            LinProvincias->setTopRow(LinProvincias->Rows() - 3);
        rs.MoveNext();
    }
    rs.Close();

    if (TxtCodigo->Text().isEmpty()) {
        TxtCodigo->setText(LinProvincias->TextMatrix(1, 0));
        TxtProvincia->setText(LinProvincias->TextMatrix(1, 1));
        CodigoActual = TxtCodigo->Text();
    }

    // With more rows than fit, the vertical scroll bar takes 350 twips of the name column.
    if (LinProvincias->Rows() > 4)
        LinProvincias->setColWidth(1, Twips(F(LinProvincias->Width()) - F(LinProvincias->ColWidth(0)) - 350));
    else
        LinProvincias->setColWidth(1, Twips(F(LinProvincias->Width()) - F(LinProvincias->ColWidth(0))));
}

void FrmProvincias::LinProvincias_RowColChange()
{
    if (IgnorarSeleccion) {
        IgnorarSeleccion = false;
        return;
    }
    LinProvincias->setTag(QStringLiteral("1"));
    MostrarRegistro();
    if (LinProvincias->Row() == 1)
        LinProvincias->setTopRow(1);
    LinProvincias->setTag(QStringLiteral("0"));
    LinProvincias->setColSel(LinProvincias->Cols() - 1);
}

void FrmProvincias::LinProvincias_MouseDown(int Button, int Shift, int X, int Y)
{
    Q_UNUSED(Button);
    Q_UNUSED(Shift);
    Q_UNUSED(X);
    Q_UNUSED(Y);
    IgnorarSeleccion = false;
}

void FrmProvincias::LinProvincias_SelChange()
{
}

// ---- Record display and field editing ----

void FrmProvincias::MostrarRegistro()
{
    bool guardado = false;
    if (LinProvincias->Tag() == QLatin1String("1")) {
        VerificarCambios();
        if (HayCambios && Mensaje(T::DeseaGuardar, EstiloPregunta, T::TituloAtencion) == RespuestaSi) {
            guardado = true;
            lblAceptar_Click();
        }
        RsProvincias->Close();
        const QString codigoFila = LinProvincias->TextMatrix(LinProvincias->Row(), 0);
        AbrirProvincias(Sentencias::MostrarPorCodigo(codigoFila));
        SituarEnCodigo(*RsProvincias, codigoFila);
    }

    if (RsProvincias->Eof()) {
        LimpiarCampos();
    } else {
        const QString codigo = Texto(RsProvincias->Fields(QStringLiteral("Codigo")).Value());
        TxtCodigo->setText(codigo);
        CodigoActual = codigo;
        TxtProvincia->setText(Texto(RsProvincias->Fields(QStringLiteral("Provincia")).Value()));
    }

    if (LinProvincias->Tag() != QLatin1String("1"))
        return;

    // Leave the window's recordset on the whole table, on the province shown.
    RsProvincias->Close();
    AbrirProvincias(Sentencias::TodasPorNombre());
    SituarEnCodigo(*RsProvincias, LinProvincias->TextMatrix(LinProvincias->Row(), 0));

    bool rellenar = guardado;
    if (RsProvincias->Eof()) {
        Mensaje(T::RegistroEliminado, EstiloAviso, T::SinTitulo);
        rellenar = true;
    }
    LinProvincias->setTabIndex(0);
    if (rellenar)
        LlenarGrilla();
}

void FrmProvincias::LimpiarCampos()
{
    TxtCodigo->setText(QString());
    TxtProvincia->setText(QString());
}

void FrmProvincias::VerificarCambios()
{
    if (TxtCodigo->Text().isEmpty())
        return;
    Recordset rs;
    rs.Open(Sentencias::VerificarCambios(CodigoActual), Comunes().Conexion, Recordset::adOpenDynamic,
            Recordset::adLockOptimistic, -1);
    SituarEnCodigo(rs, CodigoActual);
    HayCambios = false;
    if (rs.Eof())
        HayCambios = true;
    else if (Texto(rs.Fields(QStringLiteral("Codigo")).Value()) != TxtCodigo->Text())
        HayCambios = true;
    else if (Texto(rs.Fields(QStringLiteral("Provincia")).Value()) != TxtProvincia->Text())
        HayCambios = true;
    rs.Close();
}

void FrmProvincias::TxtCodigo_Change()
{
    if (TxtCodigo->Tag().isEmpty())
        return;
    const QString elegido = TxtCodigo->Tag();
    // Read again rather than moved to the first row: the recordset holds the rows it read, and
    // the search must not find a province another user has deleted since.
    RsProvincias->Requery(-1);
    if (!RsProvincias->Eof()) {
        RsProvincias->Find(Sentencias::CriterioCodigoComo(elegido), 0, Recordset::adSearchForward);
        // `like` may match a code with a wildcard in it; only the chosen code itself will do.
        while (!RsProvincias->Eof() && Texto(RsProvincias->Fields(QStringLiteral("Codigo")).Value()) != elegido)
            RsProvincias->Find(Sentencias::CriterioCodigoComo(elegido), 1, Recordset::adSearchForward);
    }
    if (RsProvincias->Eof()) {
        Mensaje(T::ProvinciaNoEncontrada, EstiloError, T::TituloError);
        // Emptying the field raises this handler again; with the code already consumed it does
        // not look for it (and report it missing) a second time.
        TxtCodigo->setTag(QString());
        LimpiarCampos();
    } else {
        MostrarRegistro();
        LlenarGrilla();
    }
    TxtCodigo->setTag(QString());
}

void FrmProvincias::TxtCodigo_GotFocus()
{
    ResaltarCampo(TxtCodigo);
}

void FrmProvincias::TxtProvincia_GotFocus()
{
    ResaltarCampo(TxtProvincia);
}

void FrmProvincias::TxtCodigo_KeyPress(int& KeyAscii)
{
    if (KeyAscii == TeclaIntro)
        TxtProvincia->SetFocus();
}

void FrmProvincias::TxtProvincia_KeyPress(int& KeyAscii)
{
    if (KeyAscii == TeclaIntro)
        lblAceptar->SetFocus();
}

void FrmProvincias::TxtProvincia_LostFocus()
{
    TxtProvincia->setBackColor(Blanco);
}

void FrmProvincias::TxtCodigo_LostFocus()
{
    TxtCodigo->setBackColor(Blanco);
    if (LblNuevo->Enabled() && TxtCodigo->Text() == CodigoActual)
        return;

    // A code with a quote, a wildcard or a control character is never sent to the database.
    if (!Sentencias::CodigoAceptable(TxtCodigo->Text())) {
        Mensaje(T::CodigoNoValido, EstiloError, T::TituloAtencion);
        TxtCodigo->SetFocus();
        return;
    }

    Recordset rs;
    rs.Open(Sentencias::ComprobarCodigo(TxtCodigo->Text()), Comunes().Conexion, Recordset::adOpenStatic,
            Recordset::adLockReadOnly, -1);
    if (!rs.Eof()) {
        Mensaje(T::CodigoYaExiste, EstiloError, T::TituloAviso);
        TxtCodigo->SetFocus();
        TxtCodigo->setText(LblNuevo->Enabled() ? CodigoActual : QString());
    }
    rs.Close();
}

void FrmProvincias::ImgProvDerecha_Click()
{
    PasarDeFila(!RegistroNuevo && LinProvincias->Row() < LinProvincias->Rows() - 1, +1);
}

void FrmProvincias::ImgProvIzquierda_Click()
{
    PasarDeFila(!RegistroNuevo && LinProvincias->Row() > 1, -1);
}

// Both arrows: step when they may, and in every case leave the browsing buttons usable and the
// current row in sight.
void FrmProvincias::PasarDeFila(bool mover, int paso)
{
    if (mover)
        LinProvincias->setRow(LinProvincias->Row() + paso);
    LblBorrar->setEnabled(true);
    LblNuevo->setVisible(true);
    LblNuevo->setEnabled(true);
    LblBuscar->setEnabled(true);
    if (!LinProvincias->RowIsVisible(LinProvincias->Row()))
        LinProvincias->setTopRow(LinProvincias->Row());
}

// ---- New and cancel ----

void FrmProvincias::LblNuevo_Click()
{
    if (RegistroNuevo)
        return;
    if (!TxtCodigo->Enabled())
        DatosComunes::HabilitarControles(Controls(), true);
    RegistroNuevo = true;
    LblNuevo->setEnabled(false);
    LblBuscar->setEnabled(false);
    LblBorrar->setEnabled(false);
    LblCancelar->setVisible(true);
    if (!RsProvincias->Eof()) {
        RsProvincias->MoveLast();
        RsProvincias->MoveNext();
    }
    MostrarRegistro();
    if (!RsProvincias->Bof())
        RsProvincias->MoveLast();
    ImgProvDerecha->setEnabled(false);
    ImgProvIzquierda->setEnabled(false);
    LinProvincias->setEnabled(false);
    Comunes().EdicionEnCurso = true;
    TxtCodigo->SetFocus();
}

void FrmProvincias::LblCancelar_Click()
{
    lblAceptar->setEnabled(true);
    LblBuscar->setEnabled(true);
    LblBorrar->setEnabled(true);
    LblNuevo->setVisible(true);
    RegistroNuevo = false;
    // Read again rather than moved to the first row, so that a province another user deleted
    // meanwhile is not found and shown again below.
    if (!RsProvincias->Eof())
        RsProvincias->Requery(-1);
    else
        DatosComunes::HabilitarControles(Controls(), false);
    PicDatosProvincias->SetFocus();

    // An enabled new button means the user was browsing: bring the stored values of the
    // province shown back, or the first province when it has gone meanwhile.
    if (LblNuevo->Enabled()) {
        // With no rows there is nothing to look for; the fields are simply emptied below.
        if (!(RsProvincias->Bof() && RsProvincias->Eof())) {
            RsProvincias->MoveFirst();
            RsProvincias->Find(Sentencias::CriterioCodigoComo(CodigoActual), 0, Recordset::adSearchForward);
            while (!RsProvincias->Eof()
                   && Texto(RsProvincias->Fields(QStringLiteral("Codigo")).Value()) != CodigoActual)
                RsProvincias->Find(Sentencias::CriterioCodigoComo(CodigoActual), 1, Recordset::adSearchForward);
            if (RsProvincias->Eof()) {
                if (!RsProvincias->Bof())
                    RsProvincias->MoveFirst();
                QApplication::beep();
            }
        }
    }
    LblNuevo->setEnabled(true);
    MostrarRegistro();
    LlenarGrilla();
    ImgProvDerecha->setEnabled(true);
    ImgProvIzquierda->setEnabled(true);
    LinProvincias->setEnabled(true);
    Comunes().EdicionEnCurso = false;
}

// ---- Save, delete, search and print (the write commands) ----

void FrmProvincias::lblAceptar_Click()
{
    ValidacionFallida = false;
    if (!CamposValidos()) {
        ValidacionFallida = true;
        return;
    }
    GuardarRegistro();
}

// The first field found wrong is reported and gets the focus.
bool FrmProvincias::CamposValidos()
{
    if (TxtCodigo->Text().isEmpty()) {
        Mensaje(T::CodigoEnBlanco, EstiloError, T::TituloAtencion);
        if (TxtCodigo->Enabled())
            TxtCodigo->SetFocus();
        return false;
    }
    // A code is pasted into every later statement and criterion: one that would change their
    // meaning is never stored.
    if (!Sentencias::CodigoAceptable(TxtCodigo->Text())) {
        Mensaje(T::CodigoNoValido, EstiloError, T::TituloAtencion);
        if (TxtCodigo->Enabled())
            TxtCodigo->SetFocus();
        return false;
    }
    if (TxtProvincia->Text().isEmpty()) {
        Mensaje(T::ProvinciaEnBlanco, EstiloError, T::TituloAtencion);
        if (TxtProvincia->Enabled())
            TxtProvincia->SetFocus();
        return false;
    }
    return true;
}

// Writes the fields into a new row or into the row of the current code, with date and user.
void FrmProvincias::GuardarRegistro()
{
    LblNuevo->setEnabled(true);
    LblBuscar->setEnabled(true);
    LblBorrar->setEnabled(true);
    LblNuevo->setVisible(true);
    ImgProvIzquierda->setEnabled(true);
    ImgProvDerecha->setEnabled(true);

    RsProvincias->Close();
    bool escribir = true;
    if (RegistroNuevo) {
        Modificando = false;
        AbrirProvincias(Sentencias::TodasLasColumnas());
        RsProvincias->AddNew();
    } else {
        Modificando = true;
        AbrirProvincias(Sentencias::PorCodigoParaModificar(CodigoActual));
        SituarEnCodigo(*RsProvincias, CodigoActual);
    }

    if (Modificando && RsProvincias->Eof()) {
        // Another user deleted the row: nothing is written, and the window shows the first
        // province in name order whose code is not below the lost one, or else one below it.
        Mensaje(T::NoSePudoModificar, EstiloError, T::TituloAtencion);
        RsProvincias->Close();
        AbrirProvincias(Sentencias::TodasPorNombre());
        if (!RsProvincias->Eof()) {
            RsProvincias->Find(Sentencias::CriterioCodigoMayorOIgual(CodigoActual), 0, Recordset::adSearchForward);
            if (RsProvincias->Eof()) {
                RsProvincias->MoveFirst();
                RsProvincias->Find(Sentencias::CriterioCodigoMenor(CodigoActual), 0, Recordset::adSearchForward);
            }
            MostrarRegistro();
            LlenarGrilla();
        }
        escribir = false;
    }

    if (escribir) {
        RsProvincias->Collect(QStringLiteral("Codigo"), TxtCodigo->Text());
        RsProvincias->Collect(QStringLiteral("Provincia"), TxtProvincia->Text());
        RsProvincias->Collect(QStringLiteral("Actualizado"), Tramacor::Funciones().FormatearFecha(QDateTime::currentDateTime()));
        RsProvincias->Collect(QStringLiteral("ModificadoPor"), Comunes().Usuario);

        try {
            RsProvincias->Update();
            CodigoActual = Texto(RsProvincias->Fields(QStringLiteral("Codigo")).Value());
            RsProvincias->Requery(-1);
        } catch (const ErrorDatos& error) {
            FallaGrabacion(error.Number(), error.Description());
            return;
        } catch (const ErrorEjecucion& error) {
            FallaGrabacion(error.Number(), error.Description());
            return;
        }

        IgnorarSeleccion = true;
        if (LinProvincias->Tag() != QLatin1String("1"))
            LlenarGrilla();
        RsProvincias->Close();
        AbrirProvincias(Sentencias::TodasPorNombre());
        CodigoActual = TxtCodigo->Text();
    }

    RegistroNuevo = false;
    LblBuscar->setEnabled(true);
    Modificando = true;
    LinProvincias->setEnabled(true);
    Comunes().EdicionEnCurso = false;
    PicDatosProvincias->SetFocus();
}

// The save's answer to a write the database refused.
void FrmProvincias::FallaGrabacion(long numero, const QString& descripcion)
{
    if (numero == ErroresDatos::ViolacionIntegridad) {
        Mensaje(T::CodigoDuplicado, EstiloError, T::TituloError);
        RsProvincias->CancelUpdate();
        RsProvincias->Close();
        AbrirProvincias(Sentencias::TodasPorNombre());
        LinProvincias->setEnabled(true);
        Comunes().EdicionEnCurso = false;
        RegistroNuevo = false;
        TxtCodigo->setText(CodigoActual);
        if (TxtCodigo->Enabled())
            TxtCodigo->SetFocus();
        return;
    }
    MostrarErrorNumerado(numero, descripcion);
    // The edits stay in the fields for another try; the recordset lets go of them so that the
    // other commands can move it again.
    RsProvincias->CancelUpdate();
}

void FrmProvincias::LblBorrar_Click()
{
    // A code with a wildcard (stored by another program) would delete more than its own row.
    if (!Sentencias::CodigoAceptable(CodigoActual)) {
        Mensaje(T::CodigoNoBorrable, EstiloError, T::TituloAtencion);
        return;
    }
    if (Mensaje(T::DeseaEliminar, EstiloPregunta, T::TituloAtencion) != RespuestaSi)
        return;

    const QString sentencia = Sentencias::BorrarPorCodigo(CodigoActual);
    // The delete and its audit record are one transaction: both are stored or neither is. It
    // ends on the connection it began on, whatever connection the host hands back.
    const ConnectionPtr conexion = Comunes().Conexion;
    bool enTransaccion = false;
    bool registrando = false;
    auto deshacer = [&] {
        if (!enTransaccion)
            return;
        enTransaccion = false;
        try {
            conexion->RollbackTrans();
        } catch (const ErrorDatos&) {
            // The failure that led here is the one to report.
        }
    };
    auto fallo = [&](long numero, const QString& descripcion) {
        // Undone before any message, so that no lock is held while the user reads it.
        deshacer();
        // Related rows only refuse the delete itself; a refusal of the audit record is another error.
        if (numero == ErroresDatos::ViolacionIntegridad && !registrando) {
            Mensaje(T::ImposibleBorrar, EstiloError, T::SinTitulo);
            RsProvincias->CancelBatch(Recordset::adAffectAll);
        } else {
            MostrarErrorNumerado(numero, descripcion);
        }
    };
    try {
        RsProvincias->Close();
        if (!conexion)
            throw ErrorDatos(ErroresDatos::ConexionNoValida, QStringLiteral("No se ha indicado la conexión."), {}, sentencia);
        conexion->BeginTrans();
        enTransaccion = true;
        AbrirProvincias(sentencia);
        registrando = true;
        Tramacor::Funciones().RegistrarOperacion(Comunes().ParametroRegistro, Comunes().Conexion, sentencia);
        registrando = false;
        enTransaccion = false;
        conexion->CommitTrans();
    } catch (const ErrorDatos& error) {
        fallo(error.Number(), error.Description());
    } catch (const ErrorEjecucion& error) {
        fallo(error.Number(), error.Description());
    } catch (...) {
        // Not the delete's to handle, but never leaves the host's connection in a transaction.
        deshacer();
        throw;
    }

    if (RsProvincias->State() == Recordset::adStateOpen)
        RsProvincias->Close();
    AbrirProvincias(Sentencias::TodasPorNombre());
    if (!RsProvincias->Eof())
        RsProvincias->MoveFirst();
    MostrarRegistro();
    LlenarGrilla();
}

void FrmProvincias::LblBuscar_Click()
{
    VerificarCambios();
    if (HayCambios && Mensaje(T::DeseaGuardar, EstiloPregunta, T::TituloAtencion) == RespuestaSi)
        lblAceptar_Click();

    const QString valorActual = TxtCodigo->Text();
    std::unique_ptr<IBusqueda> busqueda = Tramacor::NuevaBusqueda();
    Form*& instancia = InstanciaPredeterminada<FrmProvincias>::Referencia();
    QObject* ventana = instancia;
    bool marca = true;
    busqueda->BuscarRegistro(Comunes().Utiles.get(), ventana, T::TablaBusqueda, T::CampoBusqueda, valorActual,
                             T::ModoBusqueda, marca);
    instancia = qobject_cast<Form*>(ventana);
    TxtCodigo->setTag(QString());
}

void FrmProvincias::ImgImpresora_Click()
{
    ComandoImprimir(InstanciaPredeterminada<FrmProvincias>::Referencia());
}
