#pragma once

#include <QHash>
#include <QString>
#include <QVector>

// The texts of one grid column, stored one after another in a single buffer with their start
// offsets, so appending a row costs no allocation of its own. A cell written again later goes
// to a small side table.
class ColumnaTexto
{
public:
    int Filas() const { return int(inicios_.size()) - 1; }
    QString Texto(int fila) const;
    void Fijar(int fila, const QString& texto);
    void Agregar(QStringView texto);
    void Insertar(int fila, const QString& texto);
    void Quitar(int fila);
    // Grows with empty cells or drops the last rows.
    void Redimensionar(int filas);
    void Vaciar();

private:
    QString buffer_;
    // 32-bit offsets: half the memory a fill touches, and a column holds up to 4 G characters.
    QVector<quint32> inicios_{0};
    QHash<int, QString> reescritas_;
};
