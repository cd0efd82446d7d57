#pragma once

#include "runtime/ColumnaTexto.h"
#include "runtime/Control.h"

#include <QString>
#include <QVector>

class ModeloGrilla;
class VistaGrilla;

// The flexible grid: text cells addressed by row and column, one fixed header row (row 0),
// data rows 1..Rows-1, a current cell (Row, Col), a selection end column (ColSel) and a first
// visible row (TopRow). Every row has the same height.
//
// Events: RowColChange whenever the current cell changes, by the user (mouse, keyboard) or by
// assigning Row or Col, raised before the assignment returns; SelChange after it and when ColSel
// changes; MouseDown for a press on the grid, raised before the row change the press causes.
// Changing Rows, Cols or the contents never raises them.
//
// AddItem stores the row at once and tells the view about new rows in batches (on the next
// turn of the event loop, or when a member needs the view in step), so a fill of many rows
// costs little more than storing the strings. RowIsVisible and TopRow are arithmetic on the
// row height and the grid's height, valid before the window is shown.
//
// Defaults: Rows 1 (the header only), Cols 2, FixedRows 1, Row 0, Col 0, ColSel 0, TopRow 1.
class FlexGrid : public Control
{
    Q_OBJECT
public:
    FlexGrid(Form* formulario, const QString& nombre, Control* contenedor = nullptr);
    ~FlexGrid() override;

    // Setting Rows keeps the header and the first rows; 1 removes every data row. Rows below
    // FixedRows raise run-time error 30009; Cols below 1 error 30010.
    int Rows() const;
    void setRows(int filas);
    int Cols() const { return int(columnas_.size()); }
    void setCols(int columnas);
    // 0 (no header) or 1.
    int FixedRows() const { return filasFijas_; }

    // The current cell. An assignment out of range raises run-time error 30009 / 30010.
    int Row() const { return fila_; }
    void setRow(int fila);
    int Col() const { return col_; }
    void setCol(int col);
    int ColSel() const { return colSel_; }
    void setColSel(int col);
    // The first data row shown; it may go down to the last row (empty space below, as on the
    // platform). A value outside the data rows is brought to the nearest one.
    int TopRow() const { return filaSuperior_; }
    void setTopRow(int fila);
    bool RowIsVisible(int fila) const;

    // Column width in twips (an unset column reads 960). -1 as the width restores the default.
    int ColWidth(int col) const;
    void setColWidth(int col, int twips);
    // Alignments: three horizontal places times three vertical ones, and general (numbers to
    // the right, other texts to the left).
    enum Alineacion {
        IzquierdaArriba = 0, IzquierdaCentro = 1, IzquierdaAbajo = 2,
        CentroArriba = 3, CentroCentro = 4, CentroAbajo = 5,
        DerechaArriba = 6, DerechaCentro = 7, DerechaAbajo = 8,
        General = 9
    };
    int ColAlignment(int col) const;
    void setColAlignment(int col, int alineacion);
    int FixedAlignment(int col) const;
    void setFixedAlignment(int col, int alineacion);

    // Out-of-range cells raise run-time error 381.
    QString TextMatrix(int fila, int col) const;
    void setTextMatrix(int fila, int col, const QString& texto);
    // One row whose cells are separated by tabs; with an index the row is inserted there.
    void AddItem(const QString& elemento);
    void AddItem(const QString& elemento, int indice);
    void RemoveItem(int indice);

    // Minimum row height in twips; the rows are at least as high as the font needs.
    void setRowHeightMin(int twips);
    // The height every row has now, in twips.

    void setBackColorFixed(const QColor& c);
    void setForeColorFixed(const QColor& c);
    void setBackColorSel(const QColor& c);
    void setForeColorSel(const QColor& c);
    void setBackColorBkg(const QColor& c);
    void setGridColor(const QColor& c);
    void setGridColorFixed(const QColor& c);

    // Brings the view up to date with the stored rows now (normally done on its own).
    void Sincronizar();

signals:
    void RowColChange();
    void SelChange();
    // Button 1 left, 2 right, 4 middle; Shift 1 shift, 2 control, 4 alt; X, Y in twips.
    void MouseDown(int Button, int Shift, int X, int Y);

protected:
    void aplicarGeometria() override;
    void aplicarFuente() override;
    void aplicarColores() override;
    bool PuedeTenerFoco() const override { return true; }

private:
    friend class ModeloGrilla;
    friend class VistaGrilla;
    friend class DelegadoGrilla;
    friend class CabeceraGrilla;

    int filasDatos() const { return columnas_.isEmpty() ? 0 : columnas_[0].Filas(); }
    int filasVisibles() const;
    int maximoDesplazamiento() const;
    int altoFilaPixeles() const;
    void programarVolcado();
    void volcar();
    void aplicarVista();
    void fijarAltoFilas();
    void comprobarFila(int fila) const;
    void comprobarCol(int col) const;
    void alCambiarActual(int fila, int col);
    void avisarCambioDiferido();
    void alDesplazar(int valor);
    void aplicarActual();
    void aplicarAnchos();

    VistaGrilla* vista_ = nullptr;
    ModeloGrilla* modelo_ = nullptr;
    // The data rows, column by column; the header row apart.
    QVector<ColumnaTexto> columnas_;
    QVector<QString> cabecera_;
    QVector<int> anchos_;
    QVector<int> alineaciones_;
    QVector<int> alineacionesFijas_;
    int filasFijas_ = 1;
    int fila_ = 0, col_ = 0, colSel_ = 0, filaSuperior_ = 1;
    int altoMinimo_ = 0;
    int altoFila_ = 1;
    int filasEnVista_ = 0;
    bool volcadoPendiente_ = false;
    bool sincronizando_ = false;
    // While the view handles a mouse or key event, a change of the current cell is held back
    // and raised once the view is done with the event.
    bool diferir_ = false;
    bool cambioDiferido_ = false;
    QColor fondoFijo_, textoFijo_, fondoSel_, textoSel_, fondoVacio_, colorLineas_, colorLineasFijas_;
};
