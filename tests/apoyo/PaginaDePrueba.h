#pragma once
// A listing-like page drawn the way the report draws: title, rule, blue date, filled title band,
// rows and footer, in centimetres. Used to compare what the surfaces produce.

#include "SuperficieDestino.h"

#include <QColor>
#include <QImage>
#include <QString>

inline QImage FondoDePrueba()
{
    QImage fondo(40, 40, QImage::Format_RGB32);
    fondo.fill(QColor(255, 224, 224));
    for (int x = 0; x < 40; x += 8)
        for (int y = 0; y < 40; ++y)
            fondo.setPixel(x, y, qRgb(230, 120, 120));
    return fondo;
}

inline void DibujarPaginaDePrueba(SuperficieDestino& s, int numero, int filas = 40)
{
    s.SetScaleMode(SuperficieDestino::Centimetros);
    s.SetFontTransparent(true);
    s.SetBkMode(SuperficieDestino::Transparente);
    s.SetFillStyle(1);
    s.PaintPicture(FondoDePrueba(), 5, 10, 10, 10);
    s.SetCurrentY(1);
    s.SetFontName(QStringLiteral("Bookman Old Style"));
    s.SetFontBold(true);
    s.SetFontSize(14);
    s.SetCurrentX((s.ScaleWidth() - (s.TextWidth(QStringLiteral("Listado de Provincias")) + 2)) / 2);
    s.Print(QStringLiteral("Listado de Provincias"));
    s.Line(1, s.CurrentY(), s.ScaleWidth() - 1, s.CurrentY());
    s.SetFontBold(false);
    s.SetFontSize(12);
    s.SetCurrentY(s.CurrentY() + 0.1);
    s.SetForeColor(QColor(0x00, 0x00, 0xFF));
    const QString fecha = QStringLiteral("lunes, 7 de diciembre de 2026");
    s.SetCurrentX(s.ScaleWidth() - 1 - s.TextWidth(fecha));
    s.Print(fecha);
    s.Print(QString());
    s.SetForeColor(Qt::black);
    const double limite = s.ScaleHeight() - s.TextHeight(QStringLiteral("X"));
    s.Print(QString());
    s.SetFontSize(10);
    s.SetFontBold(true);
    s.Line(1, s.CurrentY() - 0.1, s.ScaleWidth() - 1, s.CurrentY() + s.TextHeight(QStringLiteral("H")) + 0.1,
           QColor(0xC0, 0xC0, 0xFF), SuperficieDestino::ModoLinea::BF);
    s.SetCurrentY(s.CurrentY() - s.TextHeight(QStringLiteral("H")) - 0.1);
    s.SetCurrentX(1.2);
    s.Print(QStringLiteral("Código"), false);
    s.SetCurrentX(7.0);
    s.Print(QStringLiteral("Provincia"));
    s.SetFontBold(false);
    for (int i = 1; i <= filas; ++i) {
        s.SetCurrentY(s.CurrentY() + 0.2);
        if (s.CurrentY() + s.TextHeight(QStringLiteral("X")) >= limite)
            break;
        s.SetFontSize(11);
        s.SetCurrentY(s.CurrentY() + 0.2);
        s.SetCurrentX(1.2);
        s.Print(QStringLiteral("%1").arg((numero - 1) * filas + i, 2, 10, QLatin1Char('0')), false);
        s.SetCurrentX(3.2);
        s.Print(QStringLiteral("Provincia número %1").arg((numero - 1) * filas + i));
    }
    s.SetFontSize(9);
    const QString pie = QStringLiteral("Orbalt Software - Nuvesta Página %1").arg(numero);
    s.SetCurrentX(((s.ScaleWidth() - 1) - s.TextWidth(pie)) / 2);
    s.SetCurrentY(limite);
    s.Print(pie);
    s.Line(1, s.CurrentY(), s.ScaleWidth() - 0.9, s.CurrentY());
}
