#include "FilasLeidas.h"

void FilasLeidas::AgregarOtro(const QVariant& valor)
{
    m_celdas.append(Celda::DeOtro(m_otros.size()));
    m_otros.append(valor);
}

void FilasLeidas::AgregarFila(const QList<QVariant>& valores)
{
    for (const QVariant& valor : valores)
        Agregar(valor);
}

void FilasLeidas::CambiarFila(qsizetype fila, const QList<QVariant>& valores)
{
    // The new values go to the end of the storage; the old ones stay unused, which costs
    // little since only single rows are ever edited.
    const qsizetype primera = fila * Columnas();
    const qsizetype fin = m_celdas.size();
    AgregarFila(valores);
    for (qsizetype i = 0; i < valores.size(); ++i)
        m_celdas[primera + i] = m_celdas[fin + i];
    m_celdas.resize(fin);
}

QVariant FilasLeidas::Valor(qsizetype fila, qsizetype columna) const
{
    const Celda celda = m_celdas[fila * Columnas() + columna];
    switch (celda.TipoCelda()) {
    case Celda::Texto:
        // An empty text stays a text, distinct from a null.
        return celda.Longitud() == 0 ? QVariant(QString(QLatin1String("")))
                                     : QVariant(QString(m_textos.constData() + celda.Inicio(), celda.Longitud()));
    case Celda::Otro:
        return m_otros[celda.Inicio()];
    case Celda::Nulo:
        break;
    }
    return QVariant();
}

QList<QVariant> FilasLeidas::Fila(qsizetype fila) const
{
    QList<QVariant> valores;
    valores.reserve(Columnas());
    for (qsizetype columna = 0; columna < Columnas(); ++columna)
        valores << Valor(fila, columna);
    return valores;
}

bool FilasLeidas::Texto(qsizetype fila, qsizetype columna, QStringView& texto) const
{
    const Celda celda = m_celdas[fila * Columnas() + columna];
    if (celda.TipoCelda() != Celda::Texto)
        return false;
    texto = QStringView(m_textos.constData() + celda.Inicio(), celda.Longitud());
    return true;
}
