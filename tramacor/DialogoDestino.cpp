#include "tramacor/DialogoDestino.h"

#include "printing/Printers.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardPaths>
#include <QVBoxLayout>

namespace {
const QString Pantalla = QStringLiteral("Pantalla");
}

QString VentanaDestino::ArchivoPropuesto()
{
    QString carpeta = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (carpeta.isEmpty())
        carpeta = QDir::homePath();
    return QDir(carpeta).filePath(QStringLiteral("Listado de Provincias.pdf"));
}

VentanaDestino::VentanaDestino(QWidget* padre) : QDialog(padre)
{
    setWindowTitle(QStringLiteral("Imprimir listado"));
    setModal(true);

    destinos_ = new QComboBox(this);
    destinos_->addItem(Pantalla);
    for (const Impresora& impresora : Printers::Lista())
        destinos_->addItem(impresora.EsPdf() ? QStringLiteral("%1 (archivo PDF)").arg(impresora.DeviceName())
                                             : impresora.DeviceName(),
                           impresora.DeviceName());
    destinos_->setItemData(0, Pantalla);

    archivo_ = new QLineEdit(ArchivoPropuesto(), this);
    examinar_ = new QPushButton(QStringLiteral("Examinar…"), this);
    auto* filaArchivo = new QHBoxLayout;
    filaArchivo->addWidget(archivo_, 1);
    filaArchivo->addWidget(examinar_);

    auto* formulario = new QFormLayout;
    formulario->addRow(QStringLiteral("Destino:"), destinos_);
    formulario->addRow(QStringLiteral("Archivo PDF:"), filaArchivo);

    auto* orden = new QGroupBox(QStringLiteral("Orden"), this);
    porCodigo_ = new QRadioButton(QStringLiteral("Por código"), orden);
    porNombre_ = new QRadioButton(QStringLiteral("Por nombre"), orden);
    porNombre_->setChecked(true);
    auto* filaOrden = new QHBoxLayout(orden);
    filaOrden->addWidget(porCodigo_);
    filaOrden->addWidget(porNombre_);
    filaOrden->addStretch(1);

    auto* grupoRango = new QGroupBox(QStringLiteral("Códigos"), this);
    rango_ = new QCheckBox(QStringLiteral("Limitar a un intervalo de códigos"), grupoRango);
    desde_ = new QLineEdit(grupoRango);
    hasta_ = new QLineEdit(grupoRango);
    auto* filaRango = new QHBoxLayout;
    filaRango->addWidget(new QLabel(QStringLiteral("Desde:"), grupoRango));
    filaRango->addWidget(desde_);
    filaRango->addSpacing(12);
    filaRango->addWidget(new QLabel(QStringLiteral("Hasta:"), grupoRango));
    filaRango->addWidget(hasta_);
    auto* columnaRango = new QVBoxLayout(grupoRango);
    columnaRango->addWidget(rango_);
    columnaRango->addLayout(filaRango);

    auto* botones = new QDialogButtonBox(this);
    aceptar_ = botones->addButton(QStringLiteral("Aceptar"), QDialogButtonBox::AcceptRole);
    botones->addButton(QStringLiteral("Cancelar"), QDialogButtonBox::RejectRole);
    aceptar_->setDefault(true);

    auto* disposicion = new QVBoxLayout(this);
    disposicion->addLayout(formulario);
    disposicion->addWidget(orden);
    disposicion->addWidget(grupoRango);
    disposicion->addStretch(1);
    disposicion->addWidget(botones);
    setMinimumWidth(480);

    connect(destinos_, &QComboBox::currentIndexChanged, this, &VentanaDestino::ActualizarEstado);
    connect(rango_, &QCheckBox::toggled, this, &VentanaDestino::ActualizarEstado);
    connect(examinar_, &QPushButton::clicked, this, &VentanaDestino::ElegirArchivo);
    connect(botones, &QDialogButtonBox::accepted, this, &VentanaDestino::Aceptar);
    connect(botones, &QDialogButtonBox::rejected, this, &QDialog::reject);
    ActualizarEstado();
}

bool VentanaDestino::EsPdf() const
{
    return destinos_->currentData().toString() == Printers::NombrePdf;
}

void VentanaDestino::ActualizarEstado()
{
    archivo_->setEnabled(EsPdf());
    examinar_->setEnabled(EsPdf());
    desde_->setEnabled(rango_->isChecked());
    hasta_->setEnabled(rango_->isChecked());
}

void VentanaDestino::ElegirArchivo()
{
    QString archivo = QFileDialog::getSaveFileName(this, QStringLiteral("Guardar el listado como PDF"),
                                                   archivo_->text(), QStringLiteral("Documentos PDF (*.pdf)"));
    if (archivo.isEmpty())
        return;
    if (!archivo.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive))
        archivo += QLatin1String(".pdf");
    archivo_->setText(archivo);
}

void VentanaDestino::Aceptar()
{
    if (EsPdf() && archivo_->text().trimmed().isEmpty()) {
        QMessageBox::warning(this, QStringLiteral("Atención"),
                             QStringLiteral("Indique el archivo PDF en el que se guardará el listado."));
        archivo_->setFocus();
        return;
    }
    opciones_.Destino = destinos_->currentData().toString();
    opciones_.OrdenPorCodigo = porCodigo_->isChecked();
    opciones_.ConRango = rango_->isChecked();
    opciones_.CodigoDesde = rango_->isChecked() ? desde_->text() : QString();
    opciones_.CodigoHasta = rango_->isChecked() ? hasta_->text() : QString();
    opciones_.ArchivoPdf = EsPdf() ? archivo_->text().trimmed() : QString();
    accept();
}

void DialogoImpresionQt::ElegirDestino(IUtilidades* Utiles, QObject*& Ventana, QString& Destino)
{
    Q_UNUSED(Utiles);
    VentanaDestino ventana(qobject_cast<QWidget*>(Ventana));
    ventana.exec();
    opciones_ = ventana.Opciones();
    Destino = opciones_.Destino;
}
