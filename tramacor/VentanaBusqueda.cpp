#include "tramacor/VentanaBusqueda.h"

#include "runtime/Controles.h"
#include "data/ErrorDatos.h"
#include "runtime/ErrorEjecucion.h"
#include "runtime/Form.h"
#include "data/Recordset.h"
#include "runtime/TextBox.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSet>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTableView>
#include <QVBoxLayout>

namespace {

[[noreturn]] void ErrorObjetoNoEstablecido()
{
    throw ErrorEjecucion(ErrorEjecucion::VariableObjetoNoEstablecida);
}

bool NombreSimple(const QString& nombre)
{
    static const QRegularExpression patron(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
    return patron.match(nombre).hasMatch();
}

// The typed text as a `like` prefix: its own wildcards and the escape character stand for themselves.
QString Prefijo(const QString& texto)
{
    QString escapado;
    for (const QChar c : texto) {
        if (c == QLatin1Char('%') || c == QLatin1Char('_') || c == QLatin1Char('\\'))
            escapado += QLatin1Char('\\');
        escapado += c;
    }
    return escapado + QLatin1Char('%');
}

} // namespace

void EntregarCodigo(QObject* ventana, const QString& campo, const QString& codigo)
{
    if (!ventana)
        ErrorObjetoNoEstablecido();
    Form* formulario = qobject_cast<Form*>(ventana);
    if (!formulario)
        throw ErrorEjecucion(ErrorEjecucion::TiposNoCoinciden);
    auto* texto = qobject_cast<TextBox*>(formulario->Controls().Item(QStringLiteral("Txt") + campo));
    if (!texto)
        throw ErrorEjecucion(ErrorEjecucion::TiposNoCoinciden);
    texto->setTag(codigo);
    texto->setText(codigo);
}

ConnectionPtr ConexionDeUtilidades(IUtilidades* utiles)
{
    if (!utiles)
        ErrorObjetoNoEstablecido();
    DatosAnfitrion datos;
    // The host receives three live recordsets, as it does from the component.
    datos.Textos.Referencia();
    datos.TextosListado.Referencia();
    datos.RecordsetSinUso.Referencia();
    utiles->ObtenerDatos(datos);
    const ConnectionPtr conexion = datos.Conexion;
    if (!conexion)
        ErrorObjetoNoEstablecido();
    return conexion;
}

void ModeloBusqueda::Reemplazar(QStringList codigos, QStringList nombres, QStringList titulos)
{
    beginResetModel();
    codigos_ = std::move(codigos);
    nombres_ = std::move(nombres);
    titulos_ = std::move(titulos);
    endResetModel();
}

int ModeloBusqueda::rowCount(const QModelIndex& padre) const
{
    return padre.isValid() ? 0 : int(codigos_.size());
}

int ModeloBusqueda::columnCount(const QModelIndex& padre) const
{
    return padre.isValid() ? 0 : int(titulos_.size());
}

QVariant ModeloBusqueda::data(const QModelIndex& indice, int rol) const
{
    if (!indice.isValid() || rol != Qt::DisplayRole)
        return {};
    return indice.column() == 0 ? codigos_.value(indice.row()) : nombres_.value(indice.row());
}

QVariant ModeloBusqueda::headerData(int seccion, Qt::Orientation orientacion, int rol) const
{
    if (orientacion != Qt::Horizontal || rol != Qt::DisplayRole)
        return {};
    return titulos_.value(seccion);
}

DialogoBusqueda::DialogoBusqueda(ConnectionPtr conexion, const QString& tabla, const QString& campo,
                                 const QString& valorActual, QWidget* padre)
    : QDialog(padre), conexion_(std::move(conexion)), tabla_(tabla), campo_(campo), valorActual_(valorActual)
{
    if (!conexion_)
        ErrorObjetoNoEstablecido();
    if (!NombreSimple(tabla) || !NombreSimple(campo))
        throw ErrorEjecucion(ErrorEjecucion::LlamadaNoValida,
                             QStringLiteral("Nombre de tabla o de campo no válido: \"%1\", \"%2\"").arg(tabla, campo));

    // The columns the table has, read from an empty result (the engines may fold their case).
    const QString muestra = QStringLiteral("SELECT * FROM %1 WHERE 1 = 0").arg(tabla);
    QSqlQuery consulta(conexion_->Base());
    if (!consulta.exec(muestra))
        throw ErrorDatos::DesdeSql(consulta.lastError(), muestra, conexion_->EsPostgres());
    const QSqlRecord columnas = consulta.record();
    bool tieneCampo = false;
    QString otra;
    for (int i = 0; i < columnas.count(); ++i) {
        const QString nombre = columnas.fieldName(i);
        if (nombre.compare(campo, Qt::CaseInsensitive) == 0)
            tieneCampo = true;
        else if (nombre.compare(QLatin1String("Provincia"), Qt::CaseInsensitive) == 0)
            columnaNombre_ = QStringLiteral("Provincia");
        else if (otra.isEmpty() && NombreSimple(nombre))
            otra = nombre;
    }
    if (!tieneCampo)
        throw ErrorEjecucion(ErrorEjecucion::LlamadaNoValida,
                             QStringLiteral("La tabla %1 no tiene el campo %2").arg(tabla, campo));
    if (columnaNombre_.isEmpty())
        columnaNombre_ = otra;

    setWindowTitle(QStringLiteral("Buscar en %1").arg(tabla));
    setModal(true);

    auto* indicacion = new QLabel(QStringLiteral("Escriba el comienzo del código o del nombre:"), this);
    filtro_ = new QLineEdit(this);
    filtro_->setClearButtonEnabled(true);
    filtro_->setPlaceholderText(QStringLiteral("Filtrar…"));
    filtro_->installEventFilter(this);

    modelo_ = new ModeloBusqueda(this);
    lista_ = new QTableView(this);
    lista_->setModel(modelo_);
    lista_->setSelectionBehavior(QAbstractItemView::SelectRows);
    lista_->setSelectionMode(QAbstractItemView::SingleSelection);
    lista_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lista_->verticalHeader()->hide();
    lista_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    lista_->horizontalHeader()->setStretchLastSection(true);
    lista_->setAlternatingRowColors(true);
    lista_->installEventFilter(this);
    connect(lista_, &QTableView::doubleClicked, this, [this](const QModelIndex&) { Elegir(); });

    estado_ = new QLabel(this);
    estado_->setStyleSheet(QStringLiteral("color: #555;"));

    auto* botones = new QDialogButtonBox(this);
    QPushButton* aceptar = botones->addButton(QStringLiteral("Aceptar"), QDialogButtonBox::AcceptRole);
    botones->addButton(QStringLiteral("Cancelar"), QDialogButtonBox::RejectRole);
    aceptar->setAutoDefault(false);
    connect(botones, &QDialogButtonBox::accepted, this, &DialogoBusqueda::Elegir);
    connect(botones, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* disposicion = new QVBoxLayout(this);
    disposicion->addWidget(indicacion);
    disposicion->addWidget(filtro_);
    disposicion->addWidget(lista_, 1);
    disposicion->addWidget(estado_);
    disposicion->addWidget(botones);
    resize(460, 420);

    // A failure while the user types is shown in the window, which stays open.
    connect(filtro_, &QLineEdit::textChanged, this, [this] {
        try {
            Filtrar();
        } catch (const ErrorDatos& error) {
            modelo_->Reemplazar({}, {}, {});
            estado_->setText(QStringLiteral("No se pudo leer la tabla: %1").arg(error.Description()));
        }
    });
    Filtrar();
    lista_->setColumnWidth(0, 110);
    filtro_->setFocus();
}

void DialogoBusqueda::Filtrar()
{
    const QString texto = filtro_->text();
    const QString columnas = columnaNombre_.isEmpty() ? campo_ : campo_ + QStringLiteral(", ") + columnaNombre_;
    QStringList codigos, nombres;
    QSet<QString> vistos;
    hayMas_ = false;

    // Each query walks one index in its order and stops after the rows it can show.
    auto leer = [&](const QString& sentencia, const QVariantList& valores) {
        QSqlQuery consulta(conexion_->Base());
        consulta.setForwardOnly(true);
        if (!consulta.prepare(sentencia))
            throw ErrorDatos::DesdeSql(consulta.lastError(), sentencia, conexion_->EsPostgres());
        for (const QVariant& valor : valores)
            consulta.addBindValue(valor);
        if (!consulta.exec())
            throw ErrorDatos::DesdeSql(consulta.lastError(), sentencia, conexion_->EsPostgres());
        while (consulta.next()) {
            const QString codigo = consulta.value(0).toString();
            if (vistos.contains(codigo))
                continue;
            if (codigos.size() == Limite) {
                hayMas_ = true;
                break;
            }
            vistos.insert(codigo);
            codigos.append(codigo);
            nombres.append(columnaNombre_.isEmpty() ? QString() : consulta.value(1).toString());
        }
    };

    // Codes that begin with the text, exactly as typed.
    leer(QStringLiteral("SELECT %1 FROM %2 WHERE %3 LIKE ? ESCAPE '\\' ORDER BY %3 LIMIT %4")
             .arg(columnas, tabla_, campo_).arg(Limite + 1),
         {Prefijo(texto)});
    // Then names that begin with it, compared in the column's own (Spanish) order, so letter case
    // and accents do not matter: "ca" finds Cáceres. U+FFFF sorts after every letter.
    if (!texto.isEmpty() && !columnaNombre_.isEmpty())
        leer(QStringLiteral("SELECT %1 FROM %2 WHERE %3 >= ? AND %3 < ? ORDER BY %3 LIMIT %4")
                 .arg(columnas, tabla_, columnaNombre_).arg(Limite + 1),
             {texto, texto + QChar(0xFFFF)});

    QStringList titulos{campo_ == QLatin1String("Codigo") ? QStringLiteral("Código") : campo_};
    if (!columnaNombre_.isEmpty())
        titulos.append(columnaNombre_);
    modelo_->Reemplazar(codigos, nombres, titulos);

    if (codigos.isEmpty())
        estado_->setText(QStringLiteral("Ningún registro coincide con «%1».").arg(texto));
    else if (hayMas_)
        estado_->setText(QStringLiteral("Se muestran los primeros %1 registros; escriba más para acotar.").arg(Limite));
    else
        estado_->setText(codigos.size() == 1 ? QStringLiteral("1 registro.")
                                             : QStringLiteral("%1 registros.").arg(codigos.size()));

    // Keep the current value selected while it is in the list; otherwise the first row.
    const int actual = texto.isEmpty() ? int(codigos.indexOf(valorActual_)) : -1;
    SeleccionarFila(actual >= 0 ? actual : 0);
}

void DialogoBusqueda::SeleccionarFila(int fila)
{
    if (fila < 0 || fila >= modelo_->rowCount()) {
        lista_->clearSelection();
        return;
    }
    const QModelIndex indice = modelo_->index(fila, 0);
    lista_->setCurrentIndex(indice);
    lista_->selectRow(fila);
    lista_->scrollTo(indice);
}

void DialogoBusqueda::Elegir()
{
    const QModelIndex actual = lista_->currentIndex();
    if (!actual.isValid())
        return;
    elegido_ = modelo_->Codigo(actual.row());
    accept();
}

bool DialogoBusqueda::eventFilter(QObject* objeto, QEvent* evento)
{
    if (evento->type() == QEvent::KeyPress) {
        const int tecla = static_cast<QKeyEvent*>(evento)->key();
        if (tecla == Qt::Key_Return || tecla == Qt::Key_Enter) {
            Elegir();
            return true;
        }
        // Arrows and page keys typed in the filter move through the list.
        if (objeto == filtro_ && (tecla == Qt::Key_Up || tecla == Qt::Key_Down || tecla == Qt::Key_PageUp
                                  || tecla == Qt::Key_PageDown)) {
            QKeyEvent copia(QEvent::KeyPress, tecla, static_cast<QKeyEvent*>(evento)->modifiers());
            QCoreApplication::sendEvent(lista_, &copia);
            return true;
        }
    }
    return QDialog::eventFilter(objeto, evento);
}

QString BusquedaQt::BuscarRegistro(IUtilidades* Utiles, QObject*& Ventana, const QString& Tabla,
                                   const QString& Campo, const QString& ValorActual, const QString& Modo,
                                   bool& Marca)
{
    Q_UNUSED(Marca);
    if (Modo != QLatin1String("Modal"))
        throw ErrorEjecucion(ErrorEjecucion::LlamadaNoValida,
                             QStringLiteral("Modo de búsqueda no admitido: \"%1\"").arg(Modo));
    ConnectionPtr conexion = ConexionDeUtilidades(Utiles);
    DialogoBusqueda dialogo(conexion, Tabla, Campo, ValorActual, qobject_cast<QWidget*>(Ventana));
    if (dialogo.exec() != QDialog::Accepted || dialogo.Elegido().isEmpty())
        return QString();
    EntregarCodigo(Ventana, Campo, dialogo.Elegido());
    return dialogo.Elegido();
}
