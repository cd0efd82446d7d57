#pragma once
// The host's search window: lists the code and the name of the rows of a table, filters them as
// the user types and hands the chosen code to the calling window.

#include "data/Connection.h"
#include "tramacor/Tramacor.h"

#include <QAbstractTableModel>
#include <QDialog>
#include <QStringList>

class QLabel;
class QLineEdit;
class QTableView;

// Hands a chosen code to the calling window: the Tag of its text box "Txt" + campo (TxtCodigo for
// the field Codigo), then that text box's Text, so its change handler runs before this returns.
// A window without that text box raises the runtime's error 730; a non-window, error 13.
void EntregarCodigo(QObject* ventana, const QString& campo, const QString& codigo);

// The connection the host's utilities object hands out (ObtenerDatos into temporaries).
// An unset utilities object is an error 91; a host that gives no connection, an error 91 too.
ConnectionPtr ConexionDeUtilidades(IUtilidades* utiles);

// At most Limite rows at a time: codes and names in two flat lists, never a widget per row.
class ModeloBusqueda : public QAbstractTableModel
{
    Q_OBJECT
public:
    explicit ModeloBusqueda(QObject* padre = nullptr) : QAbstractTableModel(padre) {}

    void Reemplazar(QStringList codigos, QStringList nombres, QStringList titulos);
    QString Codigo(int fila) const { return codigos_.value(fila); }

    int rowCount(const QModelIndex& padre = {}) const override;
    int columnCount(const QModelIndex& padre = {}) const override;
    QVariant data(const QModelIndex& indice, int rol) const override;
    QVariant headerData(int seccion, Qt::Orientation orientacion, int rol) const override;

private:
    QStringList codigos_;
    QStringList nombres_;
    QStringList titulos_;
};

class DialogoBusqueda : public QDialog
{
    Q_OBJECT
public:
    // Most rows shown at once; typing narrows the list further.
    static constexpr int Limite = 200;

    // Table and field must be plain names (letters, digits, underscore), else error 5. The list
    // shows the field and the column Provincia, or the table's first other column, when there is one.
    DialogoBusqueda(ConnectionPtr conexion, const QString& tabla, const QString& campo,
                    const QString& valorActual, QWidget* padre = nullptr);

    // The chosen code; empty when the user cancelled.
    QString Elegido() const { return elegido_; }

    QLineEdit* Filtro() const { return filtro_; }
    QTableView* Lista() const { return lista_; }
    int FilasMostradas() const { return modelo_->rowCount(); }
    // Whether more rows match than the list shows.
    bool HayMas() const { return hayMas_; }

protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override;

private:
    void Filtrar();
    void Elegir();
    void SeleccionarFila(int fila);

    ConnectionPtr conexion_;
    QString tabla_, campo_, columnaNombre_, valorActual_, elegido_;
    ModeloBusqueda* modelo_;
    QLineEdit* filtro_;
    QTableView* lista_;
    QLabel* estado_;
    bool hayMas_ = false;
};

class BusquedaQt : public IBusqueda
{
public:
    // Mode "Modal" only: returns when the user closes the window, with the chosen code or "".
    // The connection comes from the utilities object.
    QString BuscarRegistro(IUtilidades* Utiles, QObject*& Ventana, const QString& Tabla,
                           const QString& Campo, const QString& ValorActual, const QString& Modo,
                           bool& Marca) override;
};
