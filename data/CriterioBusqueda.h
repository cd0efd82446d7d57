#pragma once

#include <QString>
#include <QVariant>

// One Find criterion: a column, an operator and a value, e.g. "Codigo >= '07'" or
// "Codigo like 'A*'". Text compares exactly, by code point, as the database's binary order.
class CriterioBusqueda {
public:
    enum class Operador { Igual, Distinto, Menor, Mayor, MenorOIgual, MayorOIgual, Como };

    // Throws ErrorDatos ArgumentosNoValidos for a criterion it cannot read.
    static CriterioBusqueda Analizar(const QString& criterio);

    QString Columna() const { return columna_; }
    Operador Operacion() const { return operador_; }
    bool Cumple(const QVariant& valor) const;
    // The same for a text value, without building a QVariant.
    bool CumpleTexto(QStringView texto) const;

    // Exposed for the tests of `like` patterns: * or % any run of characters, _ one character.
    static bool CoincideComo(QStringView texto, QStringView patron);
    static int CompararBinario(QStringView a, QStringView b);

private:
    bool Resultado(int comparacion) const;

    QString columna_;
    Operador operador_ = Operador::Igual;
    QString texto_;
    bool esNumero_ = false;
    double numero_ = 0;
};
