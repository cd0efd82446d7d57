#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

// The rows of a recordset, stored compactly: a table may hold a million rows, so texts are
// kept side by side in one character block instead of one heap string per cell. Copies are
// cheap and share the storage until one of them is changed.
class FilasLeidas {
public:
    FilasLeidas() = default;
    explicit FilasLeidas(const QStringList& nombres) : m_nombres(nombres) {}

    const QStringList& Nombres() const { return m_nombres; }
    qsizetype Columnas() const { return m_nombres.size(); }
    qsizetype Filas() const { return m_nombres.isEmpty() ? 0 : m_celdas.size() / m_nombres.size(); }

    // Appends one cell; a row is complete after Columnas() cells. Inline: it runs once per
    // cell of every read.
    void Agregar(const QVariant& valor)
    {
        if (valor.isNull()) {
            m_celdas.append(Celda::Nula());
        } else if (valor.userType() == QMetaType::QString && m_textos.size() <= Celda::MaximoInicio) {
            const QString& texto = *static_cast<const QString*>(valor.constData());
            if (texto.size() <= Celda::MaximaLongitud) {
                m_celdas.append(Celda::DeTexto(m_textos.size(), texto.size()));
                m_textos.append(texto);
                return;
            }
            AgregarOtro(valor);
        } else {
            AgregarOtro(valor);
        }
    }
    void AgregarFila(const QList<QVariant>& valores);
    void CambiarFila(qsizetype fila, const QList<QVariant>& valores);

    QVariant Valor(qsizetype fila, qsizetype columna) const;
    QList<QVariant> Fila(qsizetype fila) const;
    // The text of a text cell without copying it; false for a null or non-text cell.
    bool Texto(qsizetype fila, qsizetype columna, QStringView& texto) const;

private:
    // One cell in 8 bytes: its kind, where it starts (in m_textos for a text, in m_otros for
    // another value) and, for a text, its length. Longer texts go to m_otros.
    struct Celda {
        enum Tipo : quint64 { Nulo = 0, Texto = 1, Otro = 2 };
        static constexpr qsizetype MaximaLongitud = (qsizetype(1) << 22) - 1;
        static constexpr qsizetype MaximoInicio = (qsizetype(1) << 40) - 1;

        quint64 bits;

        static Celda Nula() { return {Nulo}; }
        static Celda DeTexto(qsizetype inicio, qsizetype longitud)
        {
            return {Texto | quint64(longitud) << 2 | quint64(inicio) << 24};
        }
        static Celda DeOtro(qsizetype indice) { return {Otro | quint64(indice) << 24}; }
        Tipo TipoCelda() const { return Tipo(bits & 3); }
        qsizetype Longitud() const { return qsizetype((bits >> 2) & MaximaLongitud); }
        qsizetype Inicio() const { return qsizetype(bits >> 24); }
    };

    void AgregarOtro(const QVariant& valor);

    QStringList m_nombres;
    QList<Celda> m_celdas; // row after row
    QString m_textos;
    QList<QVariant> m_otros;
};
