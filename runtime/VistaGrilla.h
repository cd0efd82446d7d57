#pragma once
// The Qt pieces behind the flexible grid: the model over its storage, the painting of cells and of
// the header row, and the view that turns mouse and key events into the grid's events. Only
// FlexGrid.cpp uses them.

#include "runtime/FlexGrid.h"

#include <QAbstractItemDelegate>
#include <QAbstractTableModel>
#include <QHeaderView>
#include <QTableView>

#include <functional>

// The model over the grid's own storage. It shows only the rows the view has been told of.
class ModeloGrilla : public QAbstractTableModel
{
public:
    explicit ModeloGrilla(FlexGrid* grilla) : QAbstractTableModel(grilla), g_(grilla) {}

    int rowCount(const QModelIndex& padre = QModelIndex()) const override
    {
        return padre.isValid() ? 0 : g_->filasEnVista_;
    }
    int columnCount(const QModelIndex& padre = QModelIndex()) const override
    {
        return padre.isValid() ? 0 : g_->Cols();
    }
    QVariant data(const QModelIndex& indice, int rol) const override
    {
        if (rol == Qt::DisplayRole && indice.isValid())
            return g_->columnas_[indice.column()].Texto(indice.row());
        return QVariant();
    }
    QVariant headerData(int seccion, Qt::Orientation orientacion, int rol) const override
    {
        if (orientacion == Qt::Horizontal && rol == Qt::DisplayRole && seccion >= 0 && seccion < g_->Cols())
            return g_->cabecera_[seccion];
        return QVariant();
    }
    Qt::ItemFlags flags(const QModelIndex& indice) const override
    {
        return indice.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
    }

    void empezarInsercion(int desde, int hasta) { beginInsertRows(QModelIndex(), desde, hasta); }
    void terminarInsercion() { endInsertRows(); }
    void empezarBorrado(int desde, int hasta) { beginRemoveRows(QModelIndex(), desde, hasta); }
    void terminarBorrado() { endRemoveRows(); }
    void empezarReinicio() { beginResetModel(); }
    void terminarReinicio() { endResetModel(); }
    void celdaCambiada(int fila, int col) { emit dataChanged(index(fila, col), index(fila, col)); }
    void cabeceraCambiada(int col) { emit headerDataChanged(Qt::Horizontal, col, col); }

private:
    FlexGrid* g_;
};

// Paints the cells: one background, text with the column's alignment, a right and a bottom line.
class DelegadoGrilla : public QAbstractItemDelegate
{
public:
    explicit DelegadoGrilla(FlexGrid* grilla) : QAbstractItemDelegate(grilla), g_(grilla) {}

    void paint(QPainter* pintor, const QStyleOptionViewItem& opcion, const QModelIndex& indice) const override;
    QSize sizeHint(const QStyleOptionViewItem& opcion, const QModelIndex& indice) const override;

private:
    FlexGrid* g_;
};

// The fixed header row.
class CabeceraGrilla : public QHeaderView
{
public:
    explicit CabeceraGrilla(FlexGrid* grilla) : QHeaderView(Qt::Horizontal), g_(grilla) {}

protected:
    void paintSection(QPainter* pintor, const QRect& r, int seccion) const override;
    void mousePressEvent(QMouseEvent* evento) override;

private:
    FlexGrid* g_;
};

// The view. It reports the mouse press before the view moves the current cell, holds the
// cell change of a mouse or key event back until the view is done with that event, and lets
// the first visible row go down to the last row.
class VistaGrilla : public QTableView
{
public:
    explicit VistaGrilla(FlexGrid* grilla) : g_(grilla) {}

protected:
    void mousePressEvent(QMouseEvent* evento) override;
    void mouseReleaseEvent(QMouseEvent* evento) override;
    void mouseMoveEvent(QMouseEvent* evento) override;
    void mouseDoubleClickEvent(QMouseEvent* evento) override;
    void keyPressEvent(QKeyEvent* evento) override;
    void focusInEvent(QFocusEvent* evento) override;
    void focusOutEvent(QFocusEvent* evento) override;
    void currentChanged(const QModelIndex& actual, const QModelIndex& anterior) override;
    void scrollTo(const QModelIndex& indice, ScrollHint pista = EnsureVisible) override;
    void updateGeometries() override;
    void scrollContentsBy(int dx, int dy) override;

private:
    // At the end of its range Qt shows the last page; the grid shows the row of the scroll
    // value at the top, with empty space below the last row.
    void corregirDesplazamiento();
    // Runs the view's own handling of an event with the cell change held back until it is done.
    void diferido(const std::function<void()>& manejar);

    FlexGrid* g_;
};
