#include "host/VentanasAnfitrion.h"

#include "controls/Barra.h"
#include "runtime/Label.h"
#include "runtime/Screen.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

namespace {

const QColor FondoPrincipal(0xEE, 0xF1, 0xF4);
// Heights of the menu bar below the title bar and of the status line at the bottom, in twips.
constexpr int AltoMenu = 360;
constexpr int AltoEstado = 330;

} // namespace

VentanaPrincipal::VentanaPrincipal() : Form(QStringLiteral("FormPrincipal"))
{
    setCaption(QStringLiteral("Quiltren"));
    setBackColor(FondoPrincipal);

    barra_ = new Barra(this, QStringLiteral("Barra1"));
    barra_->setCaption(QStringLiteral("Quiltren · Gestión de maestros"));
    barra_->setColor(QStringLiteral("1"));
    barra_->setMinimizar(true);
    connect(barra_, &Barra::SolicitudCierre, this, &VentanaPrincipal::Salir);

    menu_ = new QMenuBar(this);
    menu_->setNativeMenuBar(false);
    QMenu* archivo = menu_->addMenu(QStringLiteral("&Archivo"));
    QAction* salir = archivo->addAction(QStringLiteral("&Salir"));
    salir->setShortcut(QKeySequence(QStringLiteral("Ctrl+Q")));
    connect(salir, &QAction::triggered, this, &VentanaPrincipal::Salir);
    QMenu* maestros = menu_->addMenu(QStringLiteral("&Maestros"));
    QAction* provincias = maestros->addAction(QStringLiteral("&Provincias"));
    connect(provincias, &QAction::triggered, this, &VentanaPrincipal::Provincias);

    titulo_ = new Label(this, QStringLiteral("LblTitulo"));
    titulo_->setCaption(QStringLiteral("Quiltren"));
    titulo_->setAlignment(2);
    titulo_->setBackStyle(0);
    titulo_->setForeColor(QColor(0x2F, 0x4A, 0x66));
    titulo_->Font().setName(QStringLiteral("Bookman Old Style"));
    titulo_->Font().setSize(36);
    titulo_->Font().setWeight(600);

    indicacion_ = new Label(this, QStringLiteral("LblIndicacion"));
    indicacion_->setCaption(QStringLiteral("Abra la ficha de provincias desde Maestros › Provincias."));
    indicacion_->setAlignment(2);
    indicacion_->setBackStyle(0);
    indicacion_->setForeColor(QColor(0x55, 0x5F, 0x6B));
    indicacion_->Font().setSize(12);

    estado_ = new Label(this, QStringLiteral("LblEstado"));
    estado_->setBackStyle(1);
    estado_->setBackColor(QColor(0xDD, 0xE3, 0xEA));
    estado_->setForeColor(QColor(0x33, 0x3D, 0x48));
    estado_->Font().setSize(9);

    // The screen less the desktop's own panels.
    const QRect area = Screen::AreaDisponible();
    Move(area.x(), area.y(), area.width(), area.height());
    Disponer();
}

void VentanaPrincipal::FijarEstado(const QString& texto)
{
    estado_->setCaption(QStringLiteral("  ") + texto);
}

void VentanaPrincipal::Form_Load()
{
    Disponer();
}

void VentanaPrincipal::Form_Resize()
{
    Disponer();
}

void VentanaPrincipal::Form_Unload(int& Cancel)
{
    Q_UNUSED(Cancel);
    emit Salir();
}

void VentanaPrincipal::Disponer()
{
    const int ancho = Width();
    const int alto = Height();
    barra_->Move(0, 0, ancho, barra_->Height());
    const int debajoBarra = barra_->Height();
    menu_->setGeometry(0, Screen::TwipsAPixelesY(debajoBarra), Screen::TwipsAPixelesX(ancho),
                       Screen::TwipsAPixelesY(AltoMenu));
    estado_->Move(0, qMax(0, alto - AltoEstado), ancho, AltoEstado);
    titulo_->Move(0, qMax(0, alto / 2 - 1400), ancho, 1000);
    indicacion_->Move(0, qMax(0, alto / 2 - 300), ancho, 450);
}

VentanaUbicacion::VentanaUbicacion() : Form(QStringLiteral("FormUbicacion"))
{
    setCaption(QStringLiteral("Ubicación"));
    Move(0, 0, 1500, 1000);
}

QRect VentanaPrincipal::AreaLibre() const
{
    const int arriba = barra_->Height() + AltoMenu;
    return QRect(Left(), Top() + arriba, Width(), qMax(0, Height() - arriba - AltoEstado));
}

void VentanaUbicacion::Centrar(int anchoVentana, int altoVentana, const QRect& area)
{
    // On a whole pixel: a window that starts between two pixels rounds its edges otherwise than the
    // picture box that fills it, and one pixel row of its bare back colour shows.
    const int left = Screen::PixelesATwipsX(Screen::TwipsAPixelesX(area.x() + qMax(0, (area.width() - anchoVentana) / 2)));
    const int top = Screen::PixelesATwipsY(Screen::TwipsAPixelesY(area.y() + qMax(0, (area.height() - altoVentana) / 2)));
    Move(left, top, Width(), Height());
}
