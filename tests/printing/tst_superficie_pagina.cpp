// The page picture of the preview: where Print, Line and PaintPicture land (read back from the
// rendered page), how the pen moves, text measures, bad values, and the cost of thousands of pages.

#include "ErrorImpresion.h"
#include "PaginaDePrueba.h"
#include "SuperficiePagina.h"

#include <QFontInfo>
#include <QPainter>
#include <QtTest>

#include <cmath>
#include <functional>
#include <memory>
#include <vector>

using Modo = SuperficieDestino::ModoLinea;
using Accion = std::function<void(SuperficiePagina&)>;
Q_DECLARE_METATYPE(Modo)
Q_DECLARE_METATYPE(Accion)

namespace {

// Pages are rendered at 40 pixels to the centimetre: 840 x 1188 for A4.
constexpr double PixelesPorCm = 40.0;

QImage Render(const SuperficiePagina& pagina)
{
    return pagina.Imagen(QSize(qRound(21.0 * PixelesPorCm), qRound(29.7 * PixelesPorCm)));
}

QRgb PixelEn(const QImage& imagen, double xCm, double yCm)
{
    return imagen.pixel(int(xCm * PixelesPorCm), int(yCm * PixelesPorCm)) & 0xFFFFFF;
}

// Lines are one pixel or so wide: look in the pixels around the point.
bool ColorCerca(const QImage& imagen, double xCm, double yCm, QRgb color)
{
    const int cx = int(xCm * PixelesPorCm);
    const int cy = int(yCm * PixelesPorCm);
    for (int x = cx - 1; x <= cx + 1; ++x)
        for (int y = cy - 1; y <= cy + 1; ++y)
            if ((imagen.pixel(x, y) & 0xFFFFFF) == color)
                return true;
    return false;
}

// Bounding box, in pixels, of every pixel that is not white.
QRect Tinta(const QImage& imagen)
{
    QRect caja;
    for (int y = 0; y < imagen.height(); ++y)
        for (int x = 0; x < imagen.width(); ++x)
            if (qGray(imagen.pixel(x, y)) < 160)
                caja |= QRect(x, y, 1, 1);
    return caja;
}

const QRgb Blanco = 0xFFFFFF;
const QRgb Rojo = 0xFF0000;

}  // namespace

class TestSuperficiePagina : public QObject {
    Q_OBJECT

private slots:
    void paginaNuevaEsA4();
    void lineas_data();
    void lineas();
    void printAvanzaLaPluma_data();
    void printAvanzaLaPluma();
    void textoArribaEnCurrentY_data();
    void textoArribaEnCurrentY();
    void textWidthProporcional_data();
    void textWidthProporcional();
    void fondoDelTexto_data();
    void fondoDelTexto();
    void paintPictureEstirada();
    void clsBorraLaPagina();
    void dibujarEnDestinoRecortado();
    void copiarAjustes();
    void bookmanEsUrwBookman();
    void valoresNoValidos_data();
    void valoresNoValidos();
    void dosMilPaginasOcupanPoco();
};

void TestSuperficiePagina::paginaNuevaEsA4()
{
    SuperficiePagina pagina;
    QCOMPARE(pagina.ScaleMode(), SuperficieDestino::Twips);
    QCOMPARE(pagina.Width(), 11906);
    QCOMPARE(pagina.Height(), 16838);
    pagina.SetScaleMode(SuperficieDestino::Centimetros);
    QVERIFY(std::fabs(pagina.ScaleWidth() - 21.0) < 0.001);
    QVERIFY(std::fabs(pagina.ScaleHeight() - 29.7) < 0.001);
    pagina.SetWidth(5669);  // 10 cm
    QVERIFY(std::fabs(pagina.ScaleWidth() - 10.0) < 0.001);
    pagina.SetScaleMode(SuperficieDestino::Milimetros);
    QVERIFY(std::fabs(pagina.ScaleWidth() - 100.0) < 0.01);
}

void TestSuperficiePagina::lineas_data()
{
    QTest::addColumn<Modo>("modo");
    QTest::addColumn<int>("escala");
    QTest::addColumn<QRectF>("puntos");  // (x1, y1) and (x2, y2) as left, top, right, bottom
    QTest::addColumn<QColor>("color");   // invalid: drawn in ForeColor, which is set to red
    QTest::addColumn<int>("relleno");
    QTest::addColumn<QPointF>("sonda");  // centimetres
    QTest::addColumn<bool>("pintado");

    const QRectF caja(QPointF(1, 1), QPointF(3, 2));
    const QColor rojo(Qt::red);
    QTest::newRow("BF dentro") << Modo::BF << 7 << caja << rojo << 1 << QPointF(2, 1.5) << true;
    QTest::newRow("BF cerca de la esquina") << Modo::BF << 7 << caja << rojo << 1 << QPointF(1.05, 1.05) << true;
    QTest::newRow("BF a la izquierda") << Modo::BF << 7 << caja << rojo << 1 << QPointF(0.85, 1.5) << false;
    QTest::newRow("BF a la derecha") << Modo::BF << 7 << caja << rojo << 1 << QPointF(3.15, 1.5) << false;
    QTest::newRow("BF encima") << Modo::BF << 7 << caja << rojo << 1 << QPointF(2, 0.85) << false;
    QTest::newRow("BF debajo") << Modo::BF << 7 << caja << rojo << 1 << QPointF(2, 2.15) << false;
    QTest::newRow("BF con las esquinas al revés")
        << Modo::BF << 7 << QRectF(QPointF(3, 2), QPointF(1, 1)) << rojo << 1 << QPointF(2, 1.5) << true;
    QTest::newRow("BF sin color usa ForeColor") << Modo::BF << 7 << caja << QColor() << 1 << QPointF(2, 1.5) << true;
    QTest::newRow("BF en twips")
        << Modo::BF << 1 << QRectF(QPointF(1440, 1440), QPointF(2880, 2880)) << rojo << 1 << QPointF(3.8, 3.8) << true;
    QTest::newRow("BF en twips, fuera")
        << Modo::BF << 1 << QRectF(QPointF(1440, 1440), QPointF(2880, 2880)) << rojo << 1 << QPointF(5.3, 3.8) << false;
    QTest::newRow("B borde superior") << Modo::B << 7 << QRectF(QPointF(1, 1), QPointF(5, 4)) << rojo << 1
                                      << QPointF(3, 1) << true;
    QTest::newRow("B borde derecho") << Modo::B << 7 << QRectF(QPointF(1, 1), QPointF(5, 4)) << rojo << 1
                                     << QPointF(5, 2.5) << true;
    QTest::newRow("B interior transparente") << Modo::B << 7 << QRectF(QPointF(1, 1), QPointF(5, 4)) << rojo << 1
                                             << QPointF(3, 2.5) << false;
    QTest::newRow("B interior con relleno sólido") << Modo::B << 7 << QRectF(QPointF(1, 1), QPointF(5, 4)) << rojo
                                                   << 0 << QPointF(3, 2.5) << true;
    QTest::newRow("línea sobre el trazo") << Modo::Linea << 7 << QRectF(QPointF(2, 5), QPointF(10, 5)) << rojo << 1
                                          << QPointF(6, 5) << true;
    QTest::newRow("línea, por debajo") << Modo::Linea << 7 << QRectF(QPointF(2, 5), QPointF(10, 5)) << rojo << 1
                                       << QPointF(6, 5.2) << false;
    QTest::newRow("línea, más allá del final") << Modo::Linea << 7 << QRectF(QPointF(2, 5), QPointF(10, 5)) << rojo
                                               << 1 << QPointF(10.3, 5) << false;
    QTest::newRow("línea vertical sin color") << Modo::Linea << 7 << QRectF(QPointF(4, 2), QPointF(4, 9)) << QColor()
                                              << 1 << QPointF(4, 8) << true;
}

void TestSuperficiePagina::lineas()
{
    QFETCH(Modo, modo);
    QFETCH(int, escala);
    QFETCH(QRectF, puntos);
    QFETCH(QColor, color);
    QFETCH(int, relleno);
    QFETCH(QPointF, sonda);
    QFETCH(bool, pintado);

    SuperficiePagina pagina;
    pagina.SetScaleMode(escala);
    pagina.SetForeColor(Qt::red);
    pagina.SetFillStyle(relleno);
    pagina.SetFillColor(Qt::red);
    pagina.Line(puntos.left(), puntos.top(), puntos.right(), puntos.bottom(), color, modo);
    QCOMPARE(pagina.CurrentX(), puntos.right());
    QCOMPARE(pagina.CurrentY(), puntos.bottom());

    const QImage imagen = Render(pagina);
    if (modo == Modo::BF || (modo == Modo::B && relleno == 0 && pintado))
        QCOMPARE(PixelEn(imagen, sonda.x(), sonda.y()), pintado ? Rojo : Blanco);
    else
        QCOMPARE(ColorCerca(imagen, sonda.x(), sonda.y(), Rojo), pintado);
}

void TestSuperficiePagina::printAvanzaLaPluma_data()
{
    QTest::addColumn<QString>("fuente");
    QTest::addColumn<double>("tamano");
    QTest::addColumn<bool>("negrita");
    QTest::addColumn<int>("escala");
    QTest::addColumn<QString>("texto");
    QTest::addColumn<int>("lineas");

    QTest::newRow("Bookman 14 negrita, cm") << "Bookman Old Style" << 14.0 << true << 7 << "Listado de Provincias" << 1;
    QTest::newRow("Bookman 11, cm") << "Bookman Old Style" << 11.0 << false << 7 << "Álava" << 1;
    QTest::newRow("Arial 9, twips") << "Arial" << 9.0 << false << 1 << "Orbalt Software - Nuvesta Página 3" << 1;
    QTest::newRow("línea vacía") << "Bookman Old Style" << 12.0 << false << 7 << "" << 1;
    QTest::newRow("dos líneas") << "Bookman Old Style" << 10.0 << false << 7 << "Código\nProvincia" << 2;
    QTest::newRow("tres líneas, CR LF") << "Arial" << 10.0 << false << 6 << "a\r\nb\r\nc" << 3;
}

void TestSuperficiePagina::printAvanzaLaPluma()
{
    QFETCH(QString, fuente);
    QFETCH(double, tamano);
    QFETCH(bool, negrita);
    QFETCH(int, escala);
    QFETCH(QString, texto);
    QFETCH(int, lineas);

    SuperficiePagina pagina;
    pagina.SetScaleMode(escala);
    pagina.SetFontName(fuente);
    pagina.SetFontSize(tamano);
    pagina.SetFontBold(negrita);
    const double unaLinea = pagina.TextHeight(QStringLiteral("X"));
    QVERIFY(unaLinea > 0.0);
    QCOMPARE(pagina.TextHeight(texto), lineas * unaLinea);

    const double y0 = pagina.ScaleHeight() / 4;
    pagina.SetCurrentX(pagina.ScaleWidth() / 10);
    pagina.SetCurrentY(y0);
    pagina.Print(texto);
    QCOMPARE(pagina.CurrentX(), 0.0);
    QCOMPARE(pagina.CurrentY(), y0 + pagina.TextHeight(texto));

    // "Print s;" keeps the line open: the pen stays on it, after the text.
    const QString ultima = texto.split(QRegularExpression(QStringLiteral("\r?\n"))).last();
    const double x0 = pagina.ScaleWidth() / 5;
    pagina.SetCurrentX(x0);
    pagina.SetCurrentY(y0);
    pagina.Print(texto, false);
    QCOMPARE(pagina.CurrentY(), y0 + (lineas - 1) * unaLinea);
    QCOMPARE(pagina.CurrentX(), (lineas == 1 ? x0 : 0.0) + pagina.TextWidth(ultima));

    // The line height follows the size of the font (within the rounding of the font's metrics).
    pagina.SetFontSize(tamano * 2);
    QVERIFY(std::fabs(pagina.TextHeight(QStringLiteral("X")) / unaLinea - 2.0) < 0.02);
}

void TestSuperficiePagina::textoArribaEnCurrentY_data()
{
    QTest::addColumn<QString>("texto");
    QTest::addColumn<double>("x");
    QTest::addColumn<double>("y");
    QTest::addColumn<double>("tamano");

    QTest::newRow("mayúsculas") << "MMMMMM" << 2.0 << 3.0 << 28.0;
    QTest::newRow("con descendentes") << "gjpqy" << 6.5 << 12.25 << 20.0;
    QTest::newRow("título") << "Listado de Provincias" << 4.0 << 1.0 << 14.0;
}

void TestSuperficiePagina::textoArribaEnCurrentY()
{
    QFETCH(QString, texto);
    QFETCH(double, x);
    QFETCH(double, y);
    QFETCH(double, tamano);

    SuperficiePagina pagina;
    pagina.SetScaleMode(SuperficieDestino::Centimetros);
    pagina.SetFontName(QStringLiteral("Bookman Old Style"));
    pagina.SetFontSize(tamano);
    pagina.SetCurrentX(x);
    pagina.SetCurrentY(y);
    const double ancho = pagina.TextWidth(texto);
    const double alto = pagina.TextHeight(texto);
    pagina.Print(texto);

    const QRect tinta = Tinta(Render(pagina));
    QVERIFY(!tinta.isEmpty());
    const double px = 1.0 / PixelesPorCm;
    // All ink inside the text's box: TextWidth wide, TextHeight high, its top at CurrentY.
    QVERIFY2(tinta.left() * px >= x - 2 * px && tinta.left() * px <= x + 0.15,
             qPrintable(QStringLiteral("izquierda %1 cm").arg(tinta.left() * px)));
    QVERIFY2((tinta.right() + 1) * px <= x + ancho + 2 * px && (tinta.right() + 1) * px >= x + ancho - 0.3,
             qPrintable(QStringLiteral("derecha %1 cm, ancho %2").arg((tinta.right() + 1) * px).arg(ancho)));
    QVERIFY2(tinta.top() * px >= y - px && tinta.top() * px <= y + alto / 3,
             qPrintable(QStringLiteral("arriba %1 cm").arg(tinta.top() * px)));
    QVERIFY2((tinta.bottom() + 1) * px <= y + alto + px,
             qPrintable(QStringLiteral("abajo %1 cm, alto %2").arg((tinta.bottom() + 1) * px).arg(alto)));
}

void TestSuperficiePagina::textWidthProporcional_data()
{
    QTest::addColumn<QString>("fuente");
    QTest::addColumn<bool>("negrita");
    QTest::addColumn<QString>("unidad");  // digits have one width: no kerning between them

    QTest::newRow("Bookman") << "Bookman Old Style" << false << "0";
    QTest::newRow("Bookman negrita") << "Bookman Old Style" << true << "5";
    QTest::newRow("Arial") << "Arial" << false << "8";
}

void TestSuperficiePagina::textWidthProporcional()
{
    QFETCH(QString, fuente);
    QFETCH(bool, negrita);
    QFETCH(QString, unidad);

    SuperficiePagina pagina;
    pagina.SetScaleMode(SuperficieDestino::Centimetros);
    pagina.SetFontName(fuente);
    pagina.SetFontBold(negrita);
    pagina.SetFontSize(10);
    const double una = pagina.TextWidth(unidad);
    QVERIFY(una > 0.05 && una < 0.5);
    for (int n : {2, 7, 30})
        QVERIFY(std::fabs(pagina.TextWidth(unidad.repeated(n)) - n * una) < 1e-6);
    QCOMPARE(pagina.TextWidth(QString()), 0.0);
    // Widest line of several.
    QCOMPARE(pagina.TextWidth(unidad.repeated(3) + QLatin1Char('\n') + unidad.repeated(9)), pagina.TextWidth(unidad.repeated(9)));
    // Twice the size, twice the width; the same width in other units.
    pagina.SetFontSize(20);
    QVERIFY(std::fabs(pagina.TextWidth(unidad) / una - 2.0) < 0.005);
    const double enCm = pagina.TextWidth(unidad);
    pagina.SetScaleMode(SuperficieDestino::Twips);
    QVERIFY(std::fabs(pagina.TextWidth(unidad) - enCm * 1440 / 2.54) < 1e-6);
}

void TestSuperficiePagina::fondoDelTexto_data()
{
    QTest::addColumn<bool>("transparente");
    QTest::addColumn<int>("modoBk");  // 0: leave FontTransparent as set
    QTest::addColumn<QRgb>("esperado");

    QTest::newRow("FontTransparent False") << false << 0 << QRgb(0xFFFF00);
    QTest::newRow("FontTransparent True") << true << 0 << Blanco;
    QTest::newRow("SetBkMode 1 sobre False") << false << 1 << Blanco;
    QTest::newRow("SetBkMode 2 sobre True") << true << 2 << QRgb(0xFFFF00);
}

void TestSuperficiePagina::fondoDelTexto()
{
    QFETCH(bool, transparente);
    QFETCH(int, modoBk);
    QFETCH(QRgb, esperado);

    SuperficiePagina pagina;
    pagina.SetScaleMode(SuperficieDestino::Centimetros);
    pagina.SetFontSize(20);
    pagina.SetFontTransparent(transparente);
    if (modoBk != 0) {
        QCOMPARE(pagina.SetBkMode(modoBk), transparente ? 1 : 2);
        QCOMPARE(pagina.FontTransparent(), modoBk == 1);
    }
    // Spaces: a text box without ink, drawn with a yellow BackColor; the page is then shown white.
    pagina.SetBackColor(QColor(0xFFFF00));
    pagina.SetCurrentX(2);
    pagina.SetCurrentY(2);
    const double ancho = pagina.TextWidth(QStringLiteral("      "));
    const double alto = pagina.TextHeight(QStringLiteral(" "));
    pagina.Print(QStringLiteral("      "));
    pagina.SetBackColor(Qt::white);
    const QImage imagen = Render(pagina);
    QCOMPARE(PixelEn(imagen, 2 + ancho / 2, 2 + alto / 2), esperado);
    QCOMPARE(PixelEn(imagen, 2 + ancho + 0.2, 2 + alto / 2), Blanco);
    QCOMPARE(PixelEn(imagen, 2 + ancho / 2, 2 + alto + 0.2), Blanco);
}

void TestSuperficiePagina::paintPictureEstirada()
{
    QImage cuadro(10, 10, QImage::Format_RGB32);
    cuadro.fill(Qt::red);
    for (int x = 5; x < 10; ++x)
        for (int y = 0; y < 10; ++y)
            cuadro.setPixel(x, y, qRgb(0, 0, 255));

    SuperficiePagina pagina;
    pagina.SetScaleMode(SuperficieDestino::Centimetros);
    pagina.Print(QStringLiteral("antes"));
    pagina.PaintPicture(cuadro, 2, 2, 4, 2);
    pagina.Line(4.5, 2.5, 5.5, 3.5, Qt::green, Modo::BF);  // drawn after, so on top of the picture
    const QImage imagen = Render(pagina);
    QCOMPARE(PixelEn(imagen, 2.5, 3), Rojo);
    QCOMPARE(PixelEn(imagen, 5.8, 3), QRgb(0x0000FF));
    QCOMPARE(PixelEn(imagen, 5, 3), QRgb(0x00FF00));
    QCOMPARE(PixelEn(imagen, 6.3, 3), Blanco);
    QCOMPARE(PixelEn(imagen, 3, 4.3), Blanco);

    const qint64 antes = pagina.BytesGrabados();
    QVERIFY_THROWS_EXCEPTION(ErrorImpresion, pagina.PaintPicture(QImage(), 1, 1, 2, 2));
    QCOMPARE(pagina.BytesGrabados(), antes);
    QCOMPARE(Render(pagina), imagen);
}

void TestSuperficiePagina::clsBorraLaPagina()
{
    SuperficiePagina pagina;
    DibujarPaginaDePrueba(pagina, 1);
    QVERIFY(pagina.BytesGrabados() > 0);
    QVERIFY(!Tinta(Render(pagina)).isEmpty());
    pagina.Cls();
    QCOMPARE(pagina.CurrentX(), 0.0);
    QCOMPARE(pagina.CurrentY(), 0.0);
    QCOMPARE(pagina.BytesGrabados(), 0);
    QVERIFY(Tinta(Render(pagina)).isEmpty());

    // Cls paints the page in BackColor; drawing goes on after it.
    pagina.SetBackColor(QColor(0x00FFFF));
    pagina.Cls();
    pagina.Line(1, 1, 2, 2, Qt::red, Modo::BF);
    const QImage imagen = Render(pagina);
    QCOMPARE(PixelEn(imagen, 10, 10), QRgb(0x00FFFF));
    QCOMPARE(PixelEn(imagen, 1.5, 1.5), Rojo);
}

void TestSuperficiePagina::dibujarEnDestinoRecortado()
{
    SuperficiePagina pagina;
    pagina.SetScaleMode(SuperficieDestino::Centimetros);
    pagina.Line(-5, -5, 40, 40, Qt::red, Modo::BF);  // beyond every edge of the page
    pagina.Line(1, 1, 3, 2, Qt::blue, Modo::BF);

    // The page shown at 10 pixels to the centimetre at (50, 30) of a larger picture.
    QImage lienzo(400, 400, QImage::Format_RGB32);
    lienzo.fill(QColor(0x808080));
    QPainter pintor(&lienzo);
    pagina.Dibujar(pintor, QRectF(50, 30, 210, 297));
    pintor.end();
    QCOMPARE(lienzo.pixel(50 + 20, 30 + 15) & 0xFFFFFF, QRgb(0x0000FF));
    QCOMPARE(lienzo.pixel(50 + 5, 30 + 5) & 0xFFFFFF, Rojo);
    QCOMPARE(lienzo.pixel(50 + 209, 30 + 296) & 0xFFFFFF, Rojo);
    QCOMPARE(lienzo.pixel(45, 100) & 0xFFFFFF, QRgb(0x808080));
    QCOMPARE(lienzo.pixel(100, 25) & 0xFFFFFF, QRgb(0x808080));
    QCOMPARE(lienzo.pixel(265, 100) & 0xFFFFFF, QRgb(0x808080));
    QCOMPARE(lienzo.pixel(100, 330) & 0xFFFFFF, QRgb(0x808080));

    // Drawing after a replay goes on in the same page.
    pagina.Line(10, 10, 12, 12, Qt::green, Modo::BF);
    QCOMPARE(PixelEn(Render(pagina), 11, 11), QRgb(0x00FF00));
    QCOMPARE(PixelEn(Render(pagina), 2, 1.5), QRgb(0x0000FF));
}

void TestSuperficiePagina::copiarAjustes()
{
    SuperficiePagina primera;
    primera.SetScaleMode(SuperficieDestino::Centimetros);
    primera.SetFontTransparent(true);
    primera.SetFillStyle(1);
    primera.SetFontName(QStringLiteral("Bookman Old Style"));
    primera.SetFontSize(12);
    primera.SetFontBold(true);
    primera.SetForeColor(Qt::blue);
    primera.SetWidth(11906);
    primera.SetHeight(16838);
    primera.SetLeft(1500);
    primera.SetTop(10);
    primera.SetCurrentY(7);
    primera.Print(QStringLiteral("Página 1"));

    SuperficiePagina otra;
    otra.CopiarAjustes(primera);
    QCOMPARE(otra.ScaleMode(), SuperficieDestino::Centimetros);
    QCOMPARE(otra.FontTransparent(), true);
    QCOMPARE(otra.FontName(), QStringLiteral("Bookman Old Style"));
    QCOMPARE(otra.FontSize(), 12.0);
    QCOMPARE(otra.FontBold(), true);
    QCOMPARE(otra.ForeColor(), QColor(Qt::blue));
    QCOMPARE(otra.Left(), 1500);
    QCOMPARE(otra.Top(), 10);
    QCOMPARE(otra.ScaleWidth(), primera.ScaleWidth());
    QCOMPARE(otra.TextHeight(QStringLiteral("X")), primera.TextHeight(QStringLiteral("X")));
    QCOMPARE(otra.CurrentY(), 0.0);
    QCOMPARE(otra.BytesGrabados(), 0);
}

void TestSuperficiePagina::bookmanEsUrwBookman()
{
    SuperficiePagina pagina;  // the first surface sets the font substitution up
    QVERIFY2(QFontInfo(QFont(QStringLiteral("Bookman Old Style"))).family().contains(QStringLiteral("Bookman")),
             qPrintable(QFontInfo(QFont(QStringLiteral("Bookman Old Style"))).family()));
    pagina.SetFontSize(12);
    pagina.SetFontName(QStringLiteral("Bookman Old Style"));
    const double bookman = pagina.TextWidth(QStringLiteral("Listado de Provincias"));
    pagina.SetFontName(QStringLiteral("URW Bookman"));
    QCOMPARE(pagina.TextWidth(QStringLiteral("Listado de Provincias")), bookman);
    pagina.SetFontName(QStringLiteral("Arial"));
    QVERIFY(pagina.TextWidth(QStringLiteral("Listado de Provincias")) != bookman);
}

void TestSuperficiePagina::valoresNoValidos_data()
{
    QTest::addColumn<Accion>("accion");
    QTest::addColumn<long>("numero");

    const long valor = ErrorImpresion::ValorNoValido;
    const long miembro = ErrorImpresion::MiembroNoAdmitido;
    QTest::newRow("ScaleMode 3") << Accion([](SuperficiePagina& p) { p.SetScaleMode(3); }) << valor;
    QTest::newRow("ScaleMode 0") << Accion([](SuperficiePagina& p) { p.SetScaleMode(0); }) << valor;
    QTest::newRow("FontSize 0") << Accion([](SuperficiePagina& p) { p.SetFontSize(0); }) << valor;
    QTest::newRow("FontSize negativo") << Accion([](SuperficiePagina& p) { p.SetFontSize(-3); }) << valor;
    QTest::newRow("FontSize NaN") << Accion([](SuperficiePagina& p) { p.SetFontSize(std::nan("")); }) << valor;
    QTest::newRow("FontName vacío") << Accion([](SuperficiePagina& p) { p.SetFontName(QStringLiteral(" ")); }) << valor;
    QTest::newRow("CurrentX infinito") << Accion([](SuperficiePagina& p) { p.SetCurrentX(INFINITY); }) << valor;
    QTest::newRow("CurrentY enorme") << Accion([](SuperficiePagina& p) { p.SetCurrentY(1e12); }) << valor;
    QTest::newRow("Line NaN") << Accion([](SuperficiePagina& p) { p.Line(0, 0, std::nan(""), 1); }) << valor;
    QTest::newRow("PaintPicture vacía")
        << Accion([](SuperficiePagina& p) { p.PaintPicture(QImage(), 0, 0, 1, 1); }) << 481L;
    QTest::newRow("SetBkMode 5") << Accion([](SuperficiePagina& p) { p.SetBkMode(5); }) << valor;
    QTest::newRow("FillStyle 8") << Accion([](SuperficiePagina& p) { p.SetFillStyle(8); }) << valor;
    QTest::newRow("ForeColor no válido") << Accion([](SuperficiePagina& p) { p.SetForeColor(QColor()); }) << valor;
    QTest::newRow("Width 0") << Accion([](SuperficiePagina& p) { p.SetWidth(0); }) << valor;
    QTest::newRow("Height negativo") << Accion([](SuperficiePagina& p) { p.SetHeight(-10); }) << valor;
    QTest::newRow("Imagen vacía") << Accion([](SuperficiePagina& p) { p.Imagen(QSize(0, 10)); }) << valor;
    QTest::newRow("NewPage") << Accion([](SuperficiePagina& p) { p.NewPage(); }) << miembro;
    QTest::newRow("EndDoc") << Accion([](SuperficiePagina& p) { p.EndDoc(); }) << miembro;
    QTest::newRow("KillDoc") << Accion([](SuperficiePagina& p) { p.KillDoc(); }) << miembro;
    QTest::newRow("PaperSize") << Accion([](SuperficiePagina& p) { p.SetPaperSize(9); }) << miembro;
}

void TestSuperficiePagina::valoresNoValidos()
{
    QFETCH(Accion, accion);
    QFETCH(long, numero);

    SuperficiePagina pagina;
    pagina.SetScaleMode(SuperficieDestino::Centimetros);
    pagina.SetFontSize(11);
    pagina.SetCurrentX(2);
    pagina.SetCurrentY(3);
    pagina.Line(1, 1, 2, 2, Qt::red, Modo::BF);
    pagina.SetCurrentX(2);
    pagina.SetCurrentY(3);
    const QImage antes = Render(pagina);
    try {
        accion(pagina);
        QFAIL("no se ha producido el error");
    } catch (const ErrorImpresion& error) {
        QCOMPARE(error.Numero(), numero);
        QVERIFY(!error.Descripcion().isEmpty());
        QCOMPARE(QString::fromStdString(error.what()), error.Descripcion());
    }
    QCOMPARE(pagina.ScaleMode(), SuperficieDestino::Centimetros);
    QCOMPARE(pagina.FontSize(), 11.0);
    QCOMPARE(pagina.FontName(), QStringLiteral("Arial"));
    QCOMPARE(pagina.CurrentX(), 2.0);
    QCOMPARE(pagina.CurrentY(), 3.0);
    QCOMPARE(pagina.Width(), SuperficiePagina::AnchoA4);
    QCOMPARE(pagina.Height(), SuperficiePagina::AltoA4);
    QCOMPARE(pagina.ForeColor(), QColor(Qt::black));
    QCOMPARE(pagina.FillStyle(), 1);
    QCOMPARE(Render(pagina), antes);
}

void TestSuperficiePagina::dosMilPaginasOcupanPoco()
{
    // A listing of 2,000 full pages with the background picture on each, loaded anew every time.
    std::vector<std::unique_ptr<SuperficiePagina>> paginas;
    qint64 total = 0;
    qint64 mayor = 0;
    for (int i = 1; i <= 2000; ++i) {
        auto pagina = std::make_unique<SuperficiePagina>();
        DibujarPaginaDePrueba(*pagina, i);
        const qint64 bytes = pagina->BytesGrabados();
        total += bytes;
        mayor = std::max(mayor, bytes);
        paginas.push_back(std::move(pagina));
    }
    // The same page as pixels at screen resolution would take 794 x 1123 x 4 bytes, 3.5 MB.
    QVERIFY2(mayor < 8 * 1024, qPrintable(QStringLiteral("página mayor: %1 bytes").arg(mayor)));
    QVERIFY2(total < 2000LL * 8 * 1024, qPrintable(QStringLiteral("total: %1 bytes").arg(total)));

    // The last page still replays in full: title, band, rows, footer and picture.
    const QImage ultima = Render(*paginas.back());
    QCOMPARE(PixelEn(ultima, 10, 15), QRgb(0xFFE0E0));
    const QRect tinta = Tinta(ultima);
    QVERIFY(tinta.top() < 1.5 * PixelesPorCm);
    QVERIFY(tinta.bottom() > 28 * PixelesPorCm);
}

QTEST_MAIN(TestSuperficiePagina)
#include "tst_superficie_pagina.moc"
