#pragma once

#include <QString>

// Every statement the system sends to the province table, and the Find criteria it uses
// on its recordsets, in one place. The texts are kept exactly as the system has always
// sent them (spacing, parentheses, letter case of keywords and the lower-case `codigo`),
// since other tools compare and log them; the engines accept them unchanged.
//
// A code is pasted between single quotes; the one guard added here is that a single quote
// in it is doubled, so no typed code can end the literal and change the statement. Codes
// carrying `like` wildcards are refused before they are stored (CodigoAceptable).
namespace Sentencias {

// The code with each single quote doubled, ready to stand between quotes in SQL or a criterion.
inline QString Literal(const QString& codigo)
{
    QString resultado = codigo;
    resultado.replace(QLatin1Char('\''), QLatin1String("''"));
    return resultado;
}

// Whether a code may be stored: no `like` wildcard (% _ *), no [, no single quote, no backslash
// (PostgreSQL's `like` escape), no control character and no half of a UTF-16 pair (no engine
// stores it as it is). An empty code passes here; the save refuses it with its own message.
inline bool CodigoAceptable(const QString& codigo)
{
    for (qsizetype i = 0; i < codigo.size(); ++i) {
        const QChar c = codigo[i];
        switch (c.unicode()) {
        case u'%': case u'_': case u'*': case u'[': case u'\'': case u'\\':
            return false;
        default:
            if (c.category() == QChar::Other_Control)
                return false;
            if (c.isHighSurrogate() && i + 1 < codigo.size() && codigo[i + 1].isLowSurrogate())
                ++i;
            else if (c.isSurrogate())
                return false;
        }
    }
    return true;
}

// All codes and names in name order: the window's recordset and the grid fill.
inline QString TodasPorNombre()
{
    return QStringLiteral("SELECT Provincias.Codigo, Provincias.Provincia From Provincias ORDER BY Provincias.Provincia");
}

// Every column of every row: the recordset a new province is added to.
inline QString TodasLasColumnas()
{
    return QStringLiteral("SELECT Provincias.* From Provincias");
}

// The row of `codigo` with every column, to be modified by the save.
inline QString PorCodigoParaModificar(const QString& codigo)
{
    return QStringLiteral("SELECT Provincias.* From Provincias WHERE (((Provincias.Codigo) Like '")
        + Literal(codigo) + QStringLiteral("'))ORDER BY Provincias.Provincia");
}

// Deletes the row of `codigo`.
inline QString BorrarPorCodigo(const QString& codigo)
{
    return QStringLiteral("DELETE From Provincias WHERE (((Provincias.Codigo) Like '")
        + Literal(codigo) + QStringLiteral("'))");
}

// Code and name of `codigo`, to compare with the edit fields.
inline QString VerificarCambios(const QString& codigo)
{
    return QStringLiteral("SELECT Provincias.Codigo, Provincias.Provincia FROM Provincias WHERE ((Provincias.Codigo)like '")
        + Literal(codigo) + QStringLiteral("') ORDER BY Provincias.Codigo");
}

// Code and name of `codigo`, for the display driven by the grid.
inline QString MostrarPorCodigo(const QString& codigo)
{
    return QStringLiteral(" SELECT Provincias.Codigo, Provincias.Provincia From Provincias WHERE (((Provincias.codigo) like '")
        + Literal(codigo) + QStringLiteral("'))ORDER BY Provincias.Provincia");
}

// The row of a code typed into the code field, to warn that it exists already.
inline QString ComprobarCodigo(const QString& codigo)
{
    return QStringLiteral("SELECT Provincias.* FROM Provincias WHERE Provincias.Codigo like '")
        + Literal(codigo) + QStringLiteral("'");
}

// The listing's order clause.
inline QString OrdenListado(bool ordenPorCodigo)
{
    return ordenPorCodigo ? QStringLiteral(" ORDER BY Provincias.Codigo")
                          : QStringLiteral(" ORDER BY Provincias.Provincia");
}

// The listing of the whole table.
inline QString Listado(bool ordenPorCodigo)
{
    return QStringLiteral("SELECT Provincias.* From Provincias") + OrdenListado(ordenPorCodigo);
}

// The listing of the codes from `desde` to `hasta`, both included; used when `desde` is not empty.
inline QString ListadoConRango(const QString& desde, const QString& hasta, bool ordenPorCodigo)
{
    return QStringLiteral("SELECT Provincias.* From Provincias Where ")
        + QStringLiteral(" Provincias.Codigo >= '") + Literal(desde)
        + QStringLiteral("' AND Provincias.Codigo <= '") + Literal(hasta) + QStringLiteral("'")
        + OrdenListado(ordenPorCodigo);
}

// Find criteria on the window's recordset (skip 0, forward, no start).
inline QString CriterioCodigoMayorOIgual(const QString& codigo)
{
    return QStringLiteral("Codigo >= '") + Literal(codigo) + QStringLiteral("'");
}

inline QString CriterioCodigoMenor(const QString& codigo)
{
    return QStringLiteral("Codigo < '") + Literal(codigo) + QStringLiteral("'");
}

inline QString CriterioCodigoComo(const QString& codigo)
{
    return QStringLiteral("Codigo like '") + Literal(codigo) + QStringLiteral("'");
}

} // namespace Sentencias
