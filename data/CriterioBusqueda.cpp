#include "data/CriterioBusqueda.h"

#include "data/ErrorDatos.h"
#include "data/ErroresDatos.h"

namespace {

[[noreturn]] void CriterioNoValido(const QString& criterio, const QString& motivo)
{
    throw ErrorDatos(ErroresDatos::ArgumentosNoValidos,
                     QStringLiteral("El criterio de búsqueda no es válido (%1): %2").arg(motivo, criterio), {}, criterio);
}

bool EsCaracterDeNombre(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('.');
}

void SaltarEspacios(const QString& texto, qsizetype& i)
{
    while (i < texto.size() && texto[i].isSpace())
        ++i;
}

// Surrogates stand above the rest of the basic plane, as their code points do.
uint Orden(QChar c)
{
    return c.isSurrogate() ? c.unicode() + 0x10000u : c.unicode();
}

bool EsComodin(QChar c)
{
    return c == QLatin1Char('*') || c == QLatin1Char('%');
}

} // namespace

int CriterioBusqueda::CompararBinario(QStringView a, QStringView b)
{
    const qsizetype comun = std::min(a.size(), b.size());
    for (qsizetype i = 0; i < comun; ++i) {
        if (a[i] != b[i])
            return Orden(a[i]) < Orden(b[i]) ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

bool CriterioBusqueda::CoincideComo(QStringView texto, QStringView patron)
{
    // Greedy match that returns to the last wildcard on a mismatch.
    qsizetype t = 0, p = 0, comodin = -1, marca = 0;
    while (t < texto.size()) {
        if (p < patron.size() && EsComodin(patron[p])) {
            comodin = p++;
            marca = t;
        } else if (p < patron.size() && (patron[p] == QLatin1Char('_') || patron[p] == texto[t])) {
            ++p;
            ++t;
        } else if (comodin >= 0) {
            p = comodin + 1;
            t = ++marca;
        } else {
            return false;
        }
    }
    while (p < patron.size() && EsComodin(patron[p]))
        ++p;
    return p == patron.size();
}

CriterioBusqueda CriterioBusqueda::Analizar(const QString& criterio)
{
    CriterioBusqueda resultado;
    qsizetype i = 0;
    SaltarEspacios(criterio, i);

    if (i < criterio.size() && criterio[i] == QLatin1Char('[')) {
        const qsizetype cierre = criterio.indexOf(QLatin1Char(']'), i + 1);
        if (cierre < 0)
            CriterioNoValido(criterio, QStringLiteral("falta el corchete de cierre"));
        resultado.columna_ = criterio.mid(i + 1, cierre - i - 1);
        i = cierre + 1;
    } else {
        const qsizetype inicio = i;
        while (i < criterio.size() && EsCaracterDeNombre(criterio[i]))
            ++i;
        resultado.columna_ = criterio.mid(inicio, i - inicio);
    }
    if (resultado.columna_.isEmpty())
        CriterioNoValido(criterio, QStringLiteral("falta el nombre del campo"));
    SaltarEspacios(criterio, i);

    const QStringView resto = QStringView(criterio).mid(i);
    struct Simbolo { const char* texto; Operador operador; };
    static const Simbolo simbolos[] = {
        {"<=", Operador::MenorOIgual}, {">=", Operador::MayorOIgual}, {"<>", Operador::Distinto},
        {"<", Operador::Menor}, {">", Operador::Mayor}, {"=", Operador::Igual}};
    bool encontrado = false;
    for (const auto& simbolo : simbolos) {
        if (resto.startsWith(QLatin1String(simbolo.texto))) {
            resultado.operador_ = simbolo.operador;
            i += qsizetype(qstrlen(simbolo.texto));
            encontrado = true;
            break;
        }
    }
    if (!encontrado) {
        if (resto.startsWith(QLatin1String("like"), Qt::CaseInsensitive)
            && (resto.size() == 4 || resto[4].isSpace() || resto[4] == QLatin1Char('\''))) {
            resultado.operador_ = Operador::Como;
            i += 4;
        } else {
            CriterioNoValido(criterio, QStringLiteral("falta el operador"));
        }
    }
    SaltarEspacios(criterio, i);

    if (i < criterio.size() && criterio[i] == QLatin1Char('\'')) {
        ++i;
        QString texto;
        bool cerrado = false;
        while (i < criterio.size()) {
            if (criterio[i] == QLatin1Char('\'')) {
                if (i + 1 < criterio.size() && criterio[i + 1] == QLatin1Char('\'')) {
                    texto += QLatin1Char('\'');
                    i += 2;
                    continue;
                }
                ++i;
                cerrado = true;
                break;
            }
            texto += criterio[i++];
        }
        if (!cerrado)
            CriterioNoValido(criterio, QStringLiteral("falta la comilla de cierre"));
        resultado.texto_ = texto;
    } else {
        const qsizetype inicio = i;
        while (i < criterio.size() && !criterio[i].isSpace())
            ++i;
        resultado.texto_ = criterio.mid(inicio, i - inicio);
        bool ok = false;
        resultado.numero_ = resultado.texto_.toDouble(&ok);
        if (!ok)
            CriterioNoValido(criterio, QStringLiteral("el valor debe ir entre comillas o ser un número"));
        resultado.esNumero_ = true;
    }
    SaltarEspacios(criterio, i);
    if (i != criterio.size())
        CriterioNoValido(criterio, QStringLiteral("sobra texto tras el valor"));
    return resultado;
}

bool CriterioBusqueda::Cumple(const QVariant& valor) const
{
    // A missing value satisfies no comparison, as in SQL.
    if (valor.isNull())
        return false;
    if (operador_ == Operador::Como)
        return CoincideComo(valor.toString(), texto_);

    int comparacion = 0;
    bool numerico = false;
    if (esNumero_) {
        bool ok = false;
        const double numero = valor.toDouble(&ok);
        if (ok) {
            comparacion = numero < numero_ ? -1 : (numero > numero_ ? 1 : 0);
            numerico = true;
        }
    }
    if (!numerico)
        comparacion = CompararBinario(valor.toString(), texto_);
    return Resultado(comparacion);
}

bool CriterioBusqueda::CumpleTexto(QStringView texto) const
{
    if (operador_ == Operador::Como)
        return CoincideComo(texto, texto_);
    if (esNumero_) {
        bool ok = false;
        const double numero = texto.toDouble(&ok);
        if (ok)
            return Resultado(numero < numero_ ? -1 : (numero > numero_ ? 1 : 0));
    }
    return Resultado(CompararBinario(texto, texto_));
}

bool CriterioBusqueda::Resultado(int comparacion) const
{
    switch (operador_) {
    case Operador::Igual: return comparacion == 0;
    case Operador::Distinto: return comparacion != 0;
    case Operador::Menor: return comparacion < 0;
    case Operador::Mayor: return comparacion > 0;
    case Operador::MenorOIgual: return comparacion <= 0;
    case Operador::MayorOIgual: return comparacion >= 0;
    case Operador::Como: break;
    }
    return false;
}
