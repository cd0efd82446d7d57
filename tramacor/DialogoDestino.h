#pragma once
// The host's print dialog: destination (screen, a printer or the PDF printer with its file),
// order of the listing and an optional range of codes.

#include "tramacor/Tramacor.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

// What the user chose; Destino is "Null Impresora" when the dialog was cancelled.
struct OpcionesImpresion
{
    QString Destino = QStringLiteral("Null Impresora");
    bool OrdenPorCodigo = false;
    bool ConRango = false;
    QString CodigoDesde;
    QString CodigoHasta;
    QString ArchivoPdf;
};

class VentanaDestino : public QDialog
{
    Q_OBJECT
public:
    explicit VentanaDestino(QWidget* padre = nullptr);

    // The options as they stand in the window ("Null Impresora" until it is accepted).
    OpcionesImpresion Opciones() const { return opciones_; }

    // The widgets, for tests and scripted use.
    QComboBox* Destinos() const { return destinos_; }
    QLineEdit* Archivo() const { return archivo_; }
    QRadioButton* PorCodigo() const { return porCodigo_; }
    QRadioButton* PorNombre() const { return porNombre_; }
    QCheckBox* Rango() const { return rango_; }
    QLineEdit* Desde() const { return desde_; }
    QLineEdit* Hasta() const { return hasta_; }
    QPushButton* BotonAceptar() const { return aceptar_; }

    // The file proposed for the PDF printer: the user's documents folder.
    static QString ArchivoPropuesto();

private:
    void Aceptar();
    void ActualizarEstado();
    void ElegirArchivo();
    bool EsPdf() const;

    OpcionesImpresion opciones_;
    QComboBox* destinos_;
    QLineEdit* archivo_;
    QPushButton* examinar_;
    QRadioButton* porCodigo_;
    QRadioButton* porNombre_;
    QCheckBox* rango_;
    QLineEdit* desde_;
    QLineEdit* hasta_;
    QPushButton* aceptar_;
};

// A print dialog that keeps the user's answers as OpcionesImpresion; dialogs differ only in how
// ElegirDestino gets them.
class DialogoConOpciones : public IDialogoImpresion
{
public:
    bool OrdenPorCodigo() const override { return opciones_.OrdenPorCodigo; }
    bool ConRango() const override { return opciones_.ConRango; }
    QString CodigoDesde() const override { return opciones_.CodigoDesde; }
    QString CodigoHasta() const override { return opciones_.CodigoHasta; }
    QString ArchivoPdf() const override { return opciones_.ArchivoPdf; }

protected:
    OpcionesImpresion opciones_;
};

class DialogoImpresionQt : public DialogoConOpciones
{
public:
    // Modal over the window. Leaves the window reference as it is.
    void ElegirDestino(IUtilidades* Utiles, QObject*& Ventana, QString& Destino) override;
};
