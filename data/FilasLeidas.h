#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <cstring>
#include <memory>
#include <mutex>
#include <vector>

// The rows of a recordset, stored compactly: a table may hold a million rows, so cells are
// 8 bytes each and texts lie side by side in blocks of characters instead of one heap string
// per cell. Blocks never move once allocated, so growing never copies what was read.
// Copies of a FilasLeidas share the storage; the first change to a shared one copies it.
class FilasLeidas {
public:
    FilasLeidas() : FilasLeidas(QStringList()) {}
    explicit FilasLeidas(const QStringList& nombres) : nombres_(nombres), almacen_(std::make_shared<Almacen>()) {}

    const QStringList& Nombres() const { return nombres_; }
    qsizetype Columnas() const { return nombres_.size(); }
    qsizetype Filas() const { return nombres_.isEmpty() ? 0 : almacen_->numCeldas / nombres_.size(); }

    // Appends one cell; a row is complete after Columnas() cells. Inline: it runs once per
    // cell of every read.
    void Agregar(const QVariant& valor)
    {
        Almacen& almacen = Escribible();
        if (valor.isNull()) {
            almacen.AgregarCelda(Celda::Nula());
        } else if (valor.userType() == QMetaType::QString
                   && static_cast<const QString*>(valor.constData())->size() <= TamanoBloque) {
            almacen.AgregarTexto(*static_cast<const QString*>(valor.constData()));
        } else {
            almacen.AgregarCelda(Celda::DeOtro(almacen.otros.size()));
            almacen.otros.append(valor);
        }
    }
    void AgregarFila(const QList<QVariant>& valores);
    void CambiarFila(qsizetype fila, const QList<QVariant>& valores);

    QVariant Valor(qsizetype fila, qsizetype columna) const;
    QList<QVariant> Fila(qsizetype fila) const;
    // The text of a text cell without copying it; false for a null or non-text cell.
    bool Texto(qsizetype fila, qsizetype columna, QStringView& texto) const;
    // The first row at or after `desde` whose cell in `columna` is the text `texto` exactly, or
    // -1. The first call for a column indexes it (one pass), so the windows can go to a code
    // among a hundred thousand rows without walking them; copies sharing the storage share the
    // index, and any change drops it.
    qsizetype BuscarTexto(qsizetype columna, QStringView texto, qsizetype desde) const;

private:
    // Characters per text block and cells per cell block (64 KB each).
    static constexpr qsizetype TamanoBloque = qsizetype(1) << 15;
    static constexpr qsizetype CeldasPorBloque = qsizetype(1) << 13;

    // One cell: its kind, where it starts (block * TamanoBloque + offset for a text, the index
    // in `otros` for another value) and, for a text, its length.
    struct Celda {
        enum Tipo : quint64 { Nulo = 0, Texto = 1, Otro = 2 };
        static constexpr quint64 MascaraLongitud = (quint64(1) << 22) - 1;

        quint64 bits;

        static Celda Nula() { return {Nulo}; }
        static Celda DeTexto(qsizetype inicio, qsizetype longitud)
        {
            return {Texto | quint64(longitud) << 2 | quint64(inicio) << 24};
        }
        static Celda DeOtro(qsizetype indice) { return {Otro | quint64(indice) << 24}; }
        Tipo TipoCelda() const { return Tipo(bits & 3); }
        qsizetype Longitud() const { return qsizetype((bits >> 2) & MascaraLongitud); }
        qsizetype Inicio() const { return qsizetype(bits >> 24); }
    };

    struct Almacen {
        std::vector<std::unique_ptr<Celda[]>> celdas;
        qsizetype numCeldas = 0;
        std::vector<std::unique_ptr<char16_t[]>> textos;
        qsizetype usadoEnUltimo = TamanoBloque; // characters used in the last text block
        QList<QVariant> otros;

        // Text of a column -> first row holding it; built on the first search of the column.
        struct Indice {
            qsizetype columna;
            QHash<QStringView, qsizetype> primeraFila;
        };
        mutable std::mutex cerrojoIndice; // copies of the rows may be read from several threads
        mutable std::unique_ptr<Indice> indice;

        void AgregarCelda(Celda celda)
        {
            // A block may already be there: CambiarFila gives back cells it used for a moment.
            const size_t bloque = size_t(numCeldas / CeldasPorBloque);
            if (bloque == celdas.size())
                celdas.emplace_back(new Celda[CeldasPorBloque]);
            celdas[bloque][numCeldas % CeldasPorBloque] = celda;
            ++numCeldas;
        }
        void AgregarTexto(const QString& texto)
        {
            if (usadoEnUltimo + texto.size() > TamanoBloque) {
                textos.emplace_back(new char16_t[TamanoBloque]);
                usadoEnUltimo = 0;
            }
            AgregarCelda(Celda::DeTexto(qsizetype(textos.size() - 1) * TamanoBloque + usadoEnUltimo, texto.size()));
            std::memcpy(static_cast<void*>(textos.back().get() + usadoEnUltimo), texto.constData(),
                        size_t(texto.size()) * sizeof(QChar));
            usadoEnUltimo += texto.size();
        }
        Celda& En(qsizetype indice) const { return celdas[size_t(indice / CeldasPorBloque)][indice % CeldasPorBloque]; }
        const QChar* Caracteres(Celda celda) const
        {
            return reinterpret_cast<const QChar*>(textos[size_t(celda.Inicio() / TamanoBloque)].get())
                + celda.Inicio() % TamanoBloque;
        }
        std::shared_ptr<Almacen> Copia() const;
    };

    Almacen& Escribible()
    {
        if (almacen_.use_count() != 1)
            almacen_ = almacen_->Copia();
        else if (almacen_->indice)
            almacen_->indice.reset();
        return *almacen_;
    }

    QStringList nombres_;
    std::shared_ptr<Almacen> almacen_;
};
