// The page picture of the preview: where Line and Print land (read back from the rendered page),
// how the pen moves, and the small cost of each recorded page.

#include "PaginaDePrueba.h"
#include "SuperficiePagina.h"

#include <QtTest>

#include <cmath>
#include <memory>
#include <vector>

using Modo = SuperficieDestino::ModoLinea;
Q_DECLARE_METATYPE(Modo)

namespace {

constexpr double PixelesPorCm = 40.0;  // pages are rendered at 840 x 1188
const QRgb Rojo = 0xFF0000;

QImage Render(const SuperficiePagina& pagina)
{
    return pagina.Imagen(QSize(qRound(21.0 * PixelesPorCm), qRound(29.7 * PixelesPorCm)));
}

// Lines are about a pixel wide: look around the point.
bool RojoCerca(const QImage& imagen, double xCm, double yCm)
{
    for (int dx = -1; dx <= 1; ++dx)
        for (int dy = -1; dy <= 1; ++dy)
            if ((imagen.pixel(int(xCm * PixelesPorCm) + dx, int(yCm * PixelesPorCm) + dy) & 0xFFFFFF) == Rojo)
                return true;
    return false;
}

// Bounding box, in pixels, of the dark pixels.
QRect Tinta(const QImage& imagen)
{
    QRect caja;
    for (int y = 0; y < imagen.height(); ++y)
        for (int x = 0; x < imagen.width(); ++x)
            if (qGray(imagen.pixel(x, y)) < 160)
                caja |= QRect(x, y, 1, 1);
    return caja;
}

}  // namespace

class TestSuperficiePagina : public QObject {
    Q_OBJECT

private slots:
    void lineas_data()
    {
        QTest::addColumn<Modo>("modo");
        QTest::addColumn<int>("escala");
        QTest::addColumn<QRectF>("puntos");  // (x1, y1) - (x2, y2) as left, top - right, bottom
        QTest::addColumn<QColor>("color");   // not valid: drawn in ForeColor, red
        QTest::addColumn<int>("relleno");
        QTest::addColumn<QPointF>("sonda");  // cm
        QTest::addColumn<bool>("pintado");
        const QRectF bf(QPointF(1, 1), QPointF(3, 2));
        const QRectF b(QPointF(1, 1), QPointF(5, 4));
        const QColor rojo(Qt::red);
        QTest::newRow("BF a la izquierda") << Modo::BF << 7 << bf << rojo << 1 << QPointF(0.85, 1.5) << false;
        QTest::newRow("BF esquinas al revés, sin color") << Modo::BF << 7 << QRectF(QPointF(3, 2), QPointF(1, 1))
                                                         << QColor() << 1 << QPointF(2.9, 1.9) << true;
        QTest::newRow("BF en twips") << Modo::BF << 1 << QRectF(QPointF(1440, 1440), QPointF(2880, 2880)) << rojo << 1
                                     << QPointF(5.0, 3.8) << true;
        QTest::newRow("B interior transparente") << Modo::B << 7 << b << rojo << 1 << QPointF(3, 2.5) << false;
        QTest::newRow("B relleno sólido") << Modo::B << 7 << b << rojo << 0 << QPointF(3, 2.5) << true;
        QTest::newRow("línea, por debajo") << Modo::Linea << 7 << QRectF(QPointF(2, 5), QPointF(10, 5)) << rojo << 1
                                           << QPointF(6, 5.2) << false;
    }

    void lineas()
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
        QCOMPARE(QPointF(pagina.CurrentX(), pagina.CurrentY()), puntos.bottomRight());
        QCOMPARE(RojoCerca(Render(pagina), sonda.x(), sonda.y()), pintado);
    }

    void printAvanzaLaPluma_data()
    {
        QTest::addColumn<int>("escala");
        QTest::addColumn<QString>("texto");
        QTest::addColumn<int>("lineas");
        QTest::newRow("twips") << 1 << "Orbalt Software - Nuvesta Página 3" << 1;
        QTest::newRow("línea vacía, cm") << 7 << "" << 1;
        QTest::newRow("tres líneas, mm") << 6 << "a\r\nÁlava\nc" << 3;
    }

    void printAvanzaLaPluma()
    {
        QFETCH(int, escala);
        QFETCH(QString, texto);
        QFETCH(int, lineas);
        SuperficiePagina pagina;
        pagina.SetScaleMode(escala);
        pagina.SetFontSize(10);
        const double unaLinea = pagina.TextHeight(QStringLiteral("X"));
        QCOMPARE(pagina.TextHeight(texto), lineas * unaLinea);
        const double y0 = pagina.ScaleHeight() / 4;
        pagina.SetCurrentX(pagina.ScaleWidth() / 10);
        pagina.SetCurrentY(y0);
        pagina.Print(texto);
        QCOMPARE(QPointF(pagina.CurrentX(), pagina.CurrentY()), QPointF(0.0, y0 + lineas * unaLinea));
        // "Print s;" leaves the pen on the (last) line, after the text.
        const double x0 = pagina.ScaleWidth() / 5;
        pagina.SetCurrentX(x0);
        pagina.SetCurrentY(y0);
        pagina.Print(texto, false);
        QCOMPARE(pagina.CurrentY(), y0 + (lineas - 1) * unaLinea);
        QCOMPARE(pagina.CurrentX(), (lineas == 1 ? x0 : 0.0) + pagina.TextWidth(texto.section(QLatin1Char('\n'), -1)));
    }

    void textoArribaEnCurrentY()
    {
        SuperficiePagina pagina;
        pagina.SetScaleMode(SuperficieDestino::Centimetros);
        pagina.SetFontName(QStringLiteral("Bookman Old Style"));
        pagina.SetFontSize(20);
        pagina.SetCurrentX(6.5);
        pagina.SetCurrentY(12.25);
        const QRectF caja(6.5, 12.25, pagina.TextWidth(QStringLiteral("Mgjpqy")), pagina.TextHeight(QStringLiteral("Mgjpqy")));
        pagina.Print(QStringLiteral("Mgjpqy"));
        // The ink lies in the text's box (top at CurrentY), reaches its right end and starts near its top.
        const QRect tinta = Tinta(Render(pagina));
        const QRectF enCm(tinta.left() / PixelesPorCm, tinta.top() / PixelesPorCm, tinta.width() / PixelesPorCm,
                          tinta.height() / PixelesPorCm);
        QVERIFY(caja.adjusted(-0.05, -0.05, 0.05, 0.05).contains(enCm));
        QVERIFY(enCm.right() > caja.right() - 0.3 && enCm.top() < caja.top() + caja.height() / 3);
    }

    // Only one page records at a time: drawing on another page closes the recording of the
    // first, which must then go on with its pen, font and colours as if nothing had happened.
    void dibujoAlternadoEntrePaginas()
    {
        const auto empezar = [](SuperficiePagina& p) {
            p.SetScaleMode(SuperficieDestino::Centimetros);
            p.SetFontSize(16);
            p.SetFontBold(true);
            p.SetForeColor(QColor(0x00, 0x00, 0xFF));
            p.SetCurrentY(2);
            p.Print(QStringLiteral("Primera parte"));
        };
        const auto terminar = [](SuperficiePagina& p) {
            p.Print(QStringLiteral("Segunda parte"));
            p.Line(1, p.CurrentY(), 15, p.CurrentY(), QColor(Rojo));
        };
        SuperficiePagina seguida, alternada, otra;
        empezar(seguida);
        terminar(seguida);
        empezar(alternada);
        DibujarPaginaDePrueba(otra, 1, 5);
        QCOMPARE(alternada.FontSize(), 16.0);
        terminar(alternada);
        DibujarPaginaDePrueba(otra, 2, 5);
        QCOMPARE(Render(alternada), Render(seguida));
        QVERIFY(Tinta(Render(alternada)).height() > 1.0 * PixelesPorCm);
    }

    void cadaPaginaOcupaPoco()
    {
        // Two hundred full pages, the background picture loaded anew for each as the report does.
        std::vector<std::unique_ptr<SuperficiePagina>> paginas;
        qint64 mayor = 0;
        for (int i = 1; i <= 200; ++i) {
            paginas.push_back(std::make_unique<SuperficiePagina>());
            DibujarPaginaDePrueba(*paginas.back(), i);
            mayor = std::max(mayor, paginas.back()->BytesGrabados());
        }
        // As pixels at screen resolution the page would take 794 x 1123 x 4 bytes, 3.5 MB.
        QVERIFY2(mayor < 8 * 1024, qPrintable(QStringLiteral("página mayor: %1 bytes").arg(mayor)));
        // The last page still replays in full: picture, title to footer.
        const QImage ultima = Render(*paginas.back());
        QCOMPARE(ultima.pixel(int(10 * PixelesPorCm), int(15 * PixelesPorCm)) & 0xFFFFFF, QRgb(0xFFE0E0));
        const QRect tinta = Tinta(ultima);
        QVERIFY(tinta.top() < 1.5 * PixelesPorCm && tinta.bottom() > 28 * PixelesPorCm);
    }
};

QTEST_MAIN(TestSuperficiePagina)
#include "tst_SuperficiePagina.moc"
