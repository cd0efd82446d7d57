#include "runtime/FlexGrid.h"

#include "runtime/ErrorEjecucion.h"
#include "runtime/Screen.h"
#include "runtime/VistaGrilla.h"

#include <QScrollBar>

namespace {

constexpr int anchoPredeterminado = 960;

} // namespace

FlexGrid::FlexGrid(Form* formulario, const QString& nombre, Control* contenedor)
    : Control(Clase::Grid, formulario, nombre, contenedor)
{
    columnas_.resize(2);
    cabecera_.resize(2);
    anchos_.fill(-1, 2);
    alineaciones_.fill(FlexGrid::General, 2);
    alineacionesFijas_.fill(FlexGrid::General, 2);

    const QPalette sistema = QPalette();
    setBackColor(Qt::white);
    setForeColor(Qt::black);
    fondoFijo_ = sistema.color(QPalette::Button);
    textoFijo_ = Qt::black;
    fondoSel_ = sistema.color(QPalette::Highlight);
    textoSel_ = sistema.color(QPalette::HighlightedText);
    fondoVacio_ = QColor(128, 128, 128);
    colorLineas_ = QColor(192, 192, 192);
    colorLineasFijas_ = Qt::black;

    vista_ = new VistaGrilla(this);
    modelo_ = new ModeloGrilla(this);
    vista_->setHorizontalHeader(new CabeceraGrilla(this));
    vista_->setModel(modelo_);
    vista_->setItemDelegate(new DelegadoGrilla(this));
    vista_->setSelectionMode(QAbstractItemView::NoSelection);
    vista_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    vista_->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    vista_->setHorizontalScrollMode(QAbstractItemView::ScrollPerItem);
    vista_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    vista_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    vista_->setTabKeyNavigation(false);
    vista_->setShowGrid(false);
    vista_->setWordWrap(false);
    vista_->setCornerButtonEnabled(false);
    vista_->setFrameStyle(QFrame::Box | QFrame::Plain);
    vista_->setLineWidth(1);
    QHeaderView* filas = vista_->verticalHeader();
    filas->hide();
    filas->setMinimumSectionSize(1);
    filas->setSectionResizeMode(QHeaderView::Fixed);
    QHeaderView* cabecera = vista_->horizontalHeader();
    cabecera->setMinimumSectionSize(1);
    cabecera->setSectionResizeMode(QHeaderView::Fixed);
    cabecera->setHighlightSections(false);
    cabecera->setSectionsClickable(false);
    cabecera->setStretchLastSection(false);
    cabecera->setDefaultSectionSize(Screen::TwipsAPixelesX(anchoPredeterminado));
    connect(vista_->verticalScrollBar(), &QScrollBar::valueChanged, this, [this](int valor) { alDesplazar(valor); });

    inicializar(vista_);
    fijarAltoFilas();
}

FlexGrid::~FlexGrid() = default;

int FlexGrid::Rows() const
{
    return filasFijas_ + filasDatos();
}

void FlexGrid::comprobarFila(int fila) const
{
    if (fila < 0 || fila >= Rows())
        throw ErrorEjecucion(ErrorEjecucion::ValorFilaNoValido,
                             QStringLiteral("Valor de fila no válido: %1 (la cuadrícula '%2' tiene %3 filas)").arg(fila).arg(Name()).arg(Rows()));
}

void FlexGrid::comprobarCol(int col) const
{
    if (col < 0 || col >= Cols())
        throw ErrorEjecucion(ErrorEjecucion::ValorColumnaNoValido,
                             QStringLiteral("Valor de columna no válido: %1 (la cuadrícula '%2' tiene %3 columnas)").arg(col).arg(Name()).arg(Cols()));
}

void FlexGrid::setRows(int filas)
{
    if (filas < filasFijas_ || filas < 1)
        throw ErrorEjecucion(ErrorEjecucion::ValorFilaNoValido,
                             QStringLiteral("Valor de fila no válido: Rows no puede ser %1").arg(filas));
    const int datos = filas - filasFijas_;
    if (datos >= filasDatos()) {
        for (auto& columna : columnas_)
            columna.Redimensionar(datos);
        programarVolcado();
    } else {
        modelo_->empezarReinicio();
        for (auto& columna : columnas_)
            columna.Redimensionar(datos);
        filasEnVista_ = datos;
        modelo_->terminarReinicio();
        volcadoPendiente_ = false;
        fila_ = qMin(fila_, filas - 1);
        filaSuperior_ = qBound(filasFijas_, filaSuperior_, qMax(filasFijas_, filas - 1));
        aplicarAnchos();
        aplicarVista();
    }
}

void FlexGrid::setCols(int columnas)
{
    if (columnas < 1)
        throw ErrorEjecucion(ErrorEjecucion::ValorColumnaNoValido,
                             QStringLiteral("Valor de columna no válido: Cols no puede ser %1").arg(columnas));
    const int datos = filasDatos();
    const int antes = Cols();
    volcar();
    modelo_->empezarReinicio();
    columnas_.resize(columnas);
    for (auto& columna : columnas_)
        columna.Redimensionar(datos);
    cabecera_.resize(columnas);
    anchos_.resize(columnas);
    alineaciones_.resize(columnas);
    alineacionesFijas_.resize(columnas);
    for (int c = antes; c < columnas; ++c) {
        anchos_[c] = -1;
        alineaciones_[c] = FlexGrid::General;
        alineacionesFijas_[c] = FlexGrid::General;
    }
    modelo_->terminarReinicio();
    col_ = qMin(col_, columnas - 1);
    colSel_ = qMin(colSel_, columnas - 1);
    aplicarAnchos();
    aplicarVista();
}

void FlexGrid::setRow(int fila)
{
    comprobarFila(fila);
    if (fila == fila_)
        return;
    fila_ = fila;
    colSel_ = col_;
    if (fila - filasFijas_ < filasEnVista_)
        aplicarActual();
    else
        programarVolcado();
    emit RowColChange();
    emit SelChange();
}

void FlexGrid::setCol(int col)
{
    comprobarCol(col);
    if (col == col_)
        return;
    col_ = col;
    colSel_ = col;
    aplicarActual();
    emit RowColChange();
    emit SelChange();
}

void FlexGrid::setColSel(int col)
{
    comprobarCol(col);
    if (col == colSel_)
        return;
    colSel_ = col;
    vista_->viewport()->update();
    emit SelChange();
}

int FlexGrid::maximoDesplazamiento() const
{
    // When the rows do not all fit, the grid scrolls until the last row is the first one
    // shown, with empty space below it, as the platform's grid does.
    return filasEnVista_ > filasVisibles() ? filasEnVista_ - 1 : 0;
}

void FlexGrid::setTopRow(int fila)
{
    // Rows that all fit leave nothing to scroll.
    const int ultima = filasDatos() > filasVisibles() ? Rows() - 1 : filasFijas_;
    filaSuperior_ = qBound(filasFijas_, fila, qMax(filasFijas_, ultima));
    if (filaSuperior_ - filasFijas_ < filasEnVista_)
        aplicarVista();
    else
        programarVolcado();
}

int FlexGrid::altoFilaPixeles() const
{
    return altoFila_;
}

int FlexGrid::filasVisibles() const
{
    // From the widget's own geometry, which is right before the window is ever shown.
    const int cabecera = filasFijas_ == 1 ? altoFilaPixeles() : 0;
    const int util = vista_->height() - 2 * vista_->frameWidth() - cabecera;
    return qMax(0, util / altoFilaPixeles());
}

bool FlexGrid::RowIsVisible(int fila) const
{
    comprobarFila(fila);
    if (fila < filasFijas_)
        return true;
    return fila >= filaSuperior_ && fila < filaSuperior_ + filasVisibles();
}

int FlexGrid::ColWidth(int col) const
{
    comprobarCol(col);
    return anchos_[col] < 0 ? anchoPredeterminado : anchos_[col];
}

void FlexGrid::setColWidth(int col, int twips)
{
    comprobarCol(col);
    anchos_[col] = twips < 0 ? -1 : twips;
    vista_->setColumnWidth(col, Screen::TwipsAPixelesX(ColWidth(col)));
}

void FlexGrid::aplicarAnchos()
{
    for (int c = 0; c < Cols(); ++c)
        vista_->setColumnWidth(c, Screen::TwipsAPixelesX(ColWidth(c)));
}

int FlexGrid::ColAlignment(int col) const
{
    comprobarCol(col);
    return alineaciones_[col];
}

void FlexGrid::setColAlignment(int col, int alineacion)
{
    comprobarCol(col);
    if (alineacion < IzquierdaArriba || alineacion > General)
        throw ErrorEjecucion(ErrorEjecucion::ValorPropiedadNoValido,
                             QStringLiteral("El valor de ColAlignment no es válido: %1").arg(alineacion));
    alineaciones_[col] = alineacion;
    vista_->viewport()->update();
}

int FlexGrid::FixedAlignment(int col) const
{
    comprobarCol(col);
    return alineacionesFijas_[col];
}

void FlexGrid::setFixedAlignment(int col, int alineacion)
{
    comprobarCol(col);
    if (alineacion < IzquierdaArriba || alineacion > General)
        throw ErrorEjecucion(ErrorEjecucion::ValorPropiedadNoValido,
                             QStringLiteral("El valor de FixedAlignment no es válido: %1").arg(alineacion));
    alineacionesFijas_[col] = alineacion;
    vista_->horizontalHeader()->viewport()->update();
}

QString FlexGrid::TextMatrix(int fila, int col) const
{
    if (fila < 0 || fila >= Rows() || col < 0 || col >= Cols())
        throw ErrorEjecucion(ErrorEjecucion::IndiceMatrizPropiedadesNoValido,
                             QStringLiteral("Índice de TextMatrix no válido: fila %1, columna %2").arg(fila).arg(col));
    if (fila < filasFijas_)
        return cabecera_[col];
    return columnas_[col].Texto(fila - filasFijas_);
}

void FlexGrid::setTextMatrix(int fila, int col, const QString& texto)
{
    if (fila < 0 || fila >= Rows() || col < 0 || col >= Cols())
        throw ErrorEjecucion(ErrorEjecucion::IndiceMatrizPropiedadesNoValido,
                             QStringLiteral("Índice de TextMatrix no válido: fila %1, columna %2").arg(fila).arg(col));
    if (fila < filasFijas_) {
        cabecera_[col] = texto;
        modelo_->cabeceraCambiada(col);
        return;
    }
    const int m = fila - filasFijas_;
    columnas_[col].Fijar(m, texto);
    if (m < filasEnVista_)
        modelo_->celdaCambiada(m, col);
}

void FlexGrid::AddItem(const QString& elemento)
{
    // Split in place into the column buffers: no allocation per cell.
    const int nc = Cols();
    const QStringView texto(elemento);
    const qsizetype n = texto.size();
    qsizetype inicio = 0;
    for (int c = 0; c < nc; ++c) {
        if (inicio > n) {
            columnas_[c].Agregar(QStringView());
            continue;
        }
        qsizetype tab = texto.indexOf(QLatin1Char('\t'), inicio);
        if (tab < 0)
            tab = n;
        columnas_[c].Agregar(texto.mid(inicio, tab - inicio));
        inicio = tab + 1;
    }
    programarVolcado();
}

void FlexGrid::AddItem(const QString& elemento, int indice)
{
    if (indice < filasFijas_ || indice > Rows())
        throw ErrorEjecucion(ErrorEjecucion::ValorFilaNoValido,
                             QStringLiteral("Valor de fila no válido para AddItem: %1").arg(indice));
    if (indice == Rows()) {
        AddItem(elemento);
        return;
    }
    volcar();
    const int m = indice - filasFijas_;
    const QStringList partes = elemento.split(QLatin1Char('\t'));
    modelo_->empezarInsercion(m, m);
    for (int c = 0; c < Cols(); ++c)
        columnas_[c].Insertar(m, partes.value(c));
    ++filasEnVista_;
    modelo_->terminarInsercion();
}

void FlexGrid::RemoveItem(int indice)
{
    if (indice < filasFijas_ || indice >= Rows())
        throw ErrorEjecucion(ErrorEjecucion::ValorFilaNoValido,
                             QStringLiteral("Valor de fila no válido para RemoveItem: %1").arg(indice));
    volcar();
    const int m = indice - filasFijas_;
    modelo_->empezarBorrado(m, m);
    for (auto& columna : columnas_)
        columna.Quitar(m);
    --filasEnVista_;
    modelo_->terminarBorrado();
    fila_ = qMin(fila_, Rows() - 1);
    filaSuperior_ = qBound(filasFijas_, filaSuperior_, qMax(filasFijas_, Rows() - 1));
    aplicarVista();
}

void FlexGrid::setRowHeightMin(int twips)
{
    if (twips < 0)
        throw ErrorEjecucion(ErrorEjecucion::ValorPropiedadNoValido,
                             QStringLiteral("El valor de RowHeightMin no es válido: %1").arg(twips));
    altoMinimo_ = twips;
    fijarAltoFilas();
}

void FlexGrid::fijarAltoFilas()
{
    // Kept at hand: RowIsVisible runs once per appended row during a fill.
    const int fuente = QFontMetrics(Font().AQFont()).height() + 4;
    altoFila_ = qMax(fuente, Screen::TwipsAPixelesY(altoMinimo_));
    const int alto = altoFila_;
    vista_->verticalHeader()->setDefaultSectionSize(alto);
    vista_->horizontalHeader()->setFixedHeight(alto);
}

void FlexGrid::programarVolcado()
{
    if (volcadoPendiente_)
        return;
    volcadoPendiente_ = true;
    QMetaObject::invokeMethod(this, [this] { volcar(); }, Qt::QueuedConnection);
}

void FlexGrid::Sincronizar()
{
    volcar();
}

void FlexGrid::volcar()
{
    volcadoPendiente_ = false;
    const int datos = filasDatos();
    if (datos > filasEnVista_) {
        modelo_->empezarInsercion(filasEnVista_, datos - 1);
        filasEnVista_ = datos;
        modelo_->terminarInsercion();
    }
    aplicarVista();
}

void FlexGrid::aplicarVista()
{
    const bool antes = sincronizando_;
    sincronizando_ = true;
    QScrollBar* barra = vista_->verticalScrollBar();
    barra->setRange(0, maximoDesplazamiento());
    barra->setValue(filaSuperior_ - filasFijas_);
    sincronizando_ = antes;
    aplicarActual();
}

void FlexGrid::aplicarActual()
{
    const bool antes = sincronizando_;
    sincronizando_ = true;
    const int m = fila_ - filasFijas_;
    QItemSelectionModel* seleccion = vista_->selectionModel();
    if (m >= 0 && m < filasEnVista_)
        seleccion->setCurrentIndex(modelo_->index(m, col_), QItemSelectionModel::NoUpdate);
    else
        seleccion->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
    sincronizando_ = antes;
    vista_->viewport()->update();
}

void FlexGrid::alCambiarActual(int fila, int col)
{
    if (fila == fila_ && col == col_)
        return;
    fila_ = fila;
    col_ = col;
    colSel_ = col;
    vista_->viewport()->update();
    if (diferir_) {
        cambioDiferido_ = true;
        return;
    }
    AtenderEvento([this] {
        emit RowColChange();
        emit SelChange();
    });
}

void FlexGrid::avisarCambioDiferido()
{
    if (!cambioDiferido_)
        return;
    cambioDiferido_ = false;
    AtenderEvento([this] {
        emit RowColChange();
        emit SelChange();
    });
}

void FlexGrid::alDesplazar(int valor)
{
    if (sincronizando_)
        return;
    filaSuperior_ = qBound(filasFijas_, valor + filasFijas_, qMax(filasFijas_, Rows() - 1));
}

void FlexGrid::aplicarGeometria()
{
    Control::aplicarGeometria();
}

void FlexGrid::aplicarFuente()
{
    Control::aplicarFuente();
    if (vista_)
        fijarAltoFilas();
}

void FlexGrid::aplicarColores()
{
    if (!Widget())
        return;
    QPalette paleta = Widget()->palette();
    paleta.setColor(QPalette::Base, fondoVacio_);
    paleta.setColor(QPalette::Window, fondoVacio_);
    paleta.setColor(QPalette::WindowText, colorLineasFijas_);
    Widget()->setPalette(paleta);
    Widget()->update();
    vista_->viewport()->update();
}

#define QUILTREN_COLOR_GRILLA(Nombre, miembro) \
    void FlexGrid::set##Nombre(const QColor& c) \
    { \
        miembro = c; \
        aplicarColores(); \
        vista_->horizontalHeader()->viewport()->update(); \
    }

QUILTREN_COLOR_GRILLA(BackColorFixed, fondoFijo_)
QUILTREN_COLOR_GRILLA(ForeColorFixed, textoFijo_)
QUILTREN_COLOR_GRILLA(BackColorSel, fondoSel_)
QUILTREN_COLOR_GRILLA(ForeColorSel, textoSel_)
QUILTREN_COLOR_GRILLA(BackColorBkg, fondoVacio_)
QUILTREN_COLOR_GRILLA(GridColor, colorLineas_)
QUILTREN_COLOR_GRILLA(GridColorFixed, colorLineasFijas_)

#undef QUILTREN_COLOR_GRILLA
