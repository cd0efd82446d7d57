#include "runtime/ColumnaTexto.h"

QString ColumnaTexto::Texto(int fila) const
{
    if (!reescritas_.isEmpty()) {
        auto it = reescritas_.constFind(fila);
        if (it != reescritas_.constEnd())
            return it.value();
    }
    const quint32 inicio = inicios_[fila];
    return QString(buffer_.constData() + inicio, qsizetype(inicios_[fila + 1] - inicio));
}

void ColumnaTexto::Fijar(int fila, const QString& texto)
{
    reescritas_.insert(fila, texto);
}

void ColumnaTexto::Agregar(QStringView texto)
{
    buffer_.append(texto);
    inicios_.append(quint32(buffer_.size()));
}

void ColumnaTexto::Insertar(int fila, const QString& texto)
{
    const quint32 inicio = inicios_[fila];
    const quint32 largo = quint32(texto.size());
    buffer_.insert(inicio, texto);
    inicios_.insert(fila + 1, inicio + largo);
    for (qsizetype k = fila + 2; k < inicios_.size(); ++k)
        inicios_[k] += largo;
    if (!reescritas_.isEmpty()) {
        QHash<int, QString> movidas;
        for (auto it = reescritas_.cbegin(); it != reescritas_.cend(); ++it)
            movidas.insert(it.key() >= fila ? it.key() + 1 : it.key(), it.value());
        reescritas_.swap(movidas);
    }
}

void ColumnaTexto::Quitar(int fila)
{
    const quint32 inicio = inicios_[fila];
    const quint32 largo = inicios_[fila + 1] - inicio;
    buffer_.remove(inicio, largo);
    inicios_.remove(fila + 1);
    for (qsizetype k = fila + 1; k < inicios_.size(); ++k)
        inicios_[k] -= largo;
    if (!reescritas_.isEmpty()) {
        QHash<int, QString> movidas;
        for (auto it = reescritas_.cbegin(); it != reescritas_.cend(); ++it) {
            if (it.key() != fila)
                movidas.insert(it.key() > fila ? it.key() - 1 : it.key(), it.value());
        }
        reescritas_.swap(movidas);
    }
}

void ColumnaTexto::Redimensionar(int filas)
{
    const int actuales = Filas();
    if (filas >= actuales) {
        inicios_.reserve(filas + 1);
        for (int k = actuales; k < filas; ++k)
            inicios_.append(quint32(buffer_.size()));
        return;
    }
    if (filas == 0) {
        Vaciar();
        return;
    }
    inicios_.resize(filas + 1);
    buffer_.truncate(inicios_.last());
    for (auto it = reescritas_.begin(); it != reescritas_.end();) {
        if (it.key() >= filas)
            it = reescritas_.erase(it);
        else
            ++it;
    }
}

void ColumnaTexto::Vaciar()
{
    // Gives the memory of a large fill back, not only the rows.
    buffer_ = QString();
    inicios_ = QVector<quint32>{0};
    reescritas_.clear();
}
