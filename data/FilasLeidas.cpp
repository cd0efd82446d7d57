#include "data/FilasLeidas.h"

#include <algorithm>

std::shared_ptr<FilasLeidas::Almacen> FilasLeidas::Almacen::Copia() const
{
    auto copia = std::make_shared<Almacen>();
    for (const auto& bloque : celdas) {
        copia->celdas.emplace_back(new Celda[CeldasPorBloque]);
        std::copy(bloque.get(), bloque.get() + CeldasPorBloque, copia->celdas.back().get());
    }
    copia->numCeldas = numCeldas;
    for (const auto& bloque : textos) {
        copia->textos.emplace_back(new char16_t[TamanoBloque]);
        std::copy(bloque.get(), bloque.get() + TamanoBloque, copia->textos.back().get());
    }
    copia->usadoEnUltimo = usadoEnUltimo;
    copia->otros = otros;
    return copia;
}

void FilasLeidas::AgregarFila(const QList<QVariant>& valores)
{
    for (const QVariant& valor : valores)
        Agregar(valor);
}

void FilasLeidas::CambiarFila(qsizetype fila, const QList<QVariant>& valores)
{
    // The new values go to the end of the storage and the row's cells point there; the old
    // texts stay unused, which costs little since only single rows are ever edited.
    const qsizetype primera = fila * Columnas();
    const qsizetype fin = Escribible().numCeldas;
    AgregarFila(valores);
    Almacen& almacen = *almacen_;
    for (qsizetype i = 0; i < valores.size(); ++i)
        almacen.En(primera + i) = almacen.En(fin + i);
    almacen.numCeldas = fin;
}

QVariant FilasLeidas::Valor(qsizetype fila, qsizetype columna) const
{
    const Celda celda = almacen_->En(fila * Columnas() + columna);
    switch (celda.TipoCelda()) {
    case Celda::Texto:
        // An empty text stays a text, distinct from a null.
        return celda.Longitud() == 0 ? QVariant(QString(QLatin1String("")))
                                     : QVariant(QString(almacen_->Caracteres(celda), celda.Longitud()));
    case Celda::Otro:
        return almacen_->otros[celda.Inicio()];
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
    const Celda celda = almacen_->En(fila * Columnas() + columna);
    if (celda.TipoCelda() != Celda::Texto)
        return false;
    texto = QStringView(almacen_->Caracteres(celda), celda.Longitud());
    return true;
}

qsizetype FilasLeidas::BuscarTexto(qsizetype columna, QStringView texto, qsizetype desde) const
{
    const qsizetype filas = Filas();
    if (columna < 0 || columna >= Columnas() || desde >= filas)
        return -1;
    desde = std::max<qsizetype>(desde, 0);
    qsizetype primera = -1;
    {
        const Almacen& almacen = *almacen_;
        std::lock_guard<std::mutex> cerrojo(almacen.cerrojoIndice);
        if (!almacen.indice || almacen.indice->columna != columna) {
            auto nuevo = std::make_unique<Almacen::Indice>();
            nuevo->columna = columna;
            nuevo->primeraFila.reserve(filas);
            for (qsizetype fila = 0; fila < filas; ++fila) {
                QStringView valor;
                // A repeated text keeps its first row.
                if (Texto(fila, columna, valor) && !nuevo->primeraFila.contains(valor))
                    nuevo->primeraFila.insert(valor, fila);
            }
            almacen.indice = std::move(nuevo);
        }
        primera = almacen.indice->primeraFila.value(texto, -1);
    }
    if (primera < 0 || primera >= desde)
        return primera;
    // The text is also before `desde`; only a walk finds its next row.
    for (qsizetype fila = desde; fila < filas; ++fila) {
        QStringView valor;
        if (Texto(fila, columna, valor) && valor == texto)
            return fila;
    }
    return -1;
}
