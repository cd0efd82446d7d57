// Draws the pictures of the province window's images once and writes them as PNG files into the
// folder given on the command line. The files are shipped in maintenance/imagenes; run this again
// only to change their look:  generar-imagenes-provincias maintenance/imagenes
//
// Each picture is drawn at four times its design size and named "@4x", so that Qt reads it with a
// device pixel ratio of 4: it keeps its design size in the window, and stays sharp when the window
// stretches it to a 3840 pixel wide screen or to a screen with two device pixels to each pixel.
// The window's background is not here: it is painted for each size (FondoProvincias).

#include <QCoreApplication>
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QTextStream>
#include <QtMath>

namespace {

// The window's own palette: the beige of the data panel and the dark red of its titles.
const QColor Beige(0xe9, 0xe8, 0xd3);
const QColor BeigeOscuro(0xcb, 0xca, 0xa5);
const QColor Granate(0x80, 0x00, 0x00);

// Device pixels drawn to each pixel of the design size.
constexpr int Densidad = 4;

// A rounded key with an arrow pointing left or right.
QImage Flecha(bool derecha)
{
    QImage imagen(71 * Densidad, 40 * Densidad, QImage::Format_ARGB32_Premultiplied);
    imagen.fill(Qt::transparent);
    QPainter p(&imagen);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(Densidad, Densidad);

    const QRectF caja(1.5, 1.5, 68, 37);
    // Shadow.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 55));
    p.drawRoundedRect(caja.translated(0, 1.5), 11, 11);

    QLinearGradient cuerpo(0, caja.top(), 0, caja.bottom());
    cuerpo.setColorAt(0.0, QColor(0xfb, 0xfa, 0xf0));
    cuerpo.setColorAt(0.5, Beige);
    cuerpo.setColorAt(1.0, BeigeOscuro);
    p.setBrush(cuerpo);
    p.setPen(QPen(QColor(0x7d, 0x78, 0x55), 1.2));
    p.drawRoundedRect(caja, 11, 11);

    // Gloss on the upper half.
    QLinearGradient brillo(0, caja.top(), 0, caja.center().y());
    brillo.setColorAt(0.0, QColor(255, 255, 255, 150));
    brillo.setColorAt(1.0, QColor(255, 255, 255, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(brillo);
    p.drawRoundedRect(caja.adjusted(3, 2, -3, -caja.height() / 2), 8, 8);

    // Arrow: a shaft and a head, drawn pointing right and mirrored for the left one.
    QPainterPath flecha;
    flecha.moveTo(16, 16.5);
    flecha.lineTo(36, 16.5);
    flecha.lineTo(36, 9.5);
    flecha.lineTo(54, 20);
    flecha.lineTo(36, 30.5);
    flecha.lineTo(36, 23.5);
    flecha.lineTo(16, 23.5);
    flecha.closeSubpath();
    if (!derecha) {
        QTransform espejo;
        espejo.translate(71, 0);
        espejo.scale(-1, 1);
        flecha = espejo.map(flecha);
    }
    QLinearGradient tinta(0, 9, 0, 31);
    tinta.setColorAt(0.0, QColor(0xa8, 0x24, 0x24));
    tinta.setColorAt(1.0, Granate);
    p.setBrush(tinta);
    p.setPen(QPen(QColor(0x5a, 0x00, 0x00), 1.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(flecha);
    return imagen;
}

// A desk printer with a printed sheet coming out of it.
QImage Impresora()
{
    QImage imagen(80 * Densidad, 60 * Densidad, QImage::Format_ARGB32_Premultiplied);
    imagen.fill(Qt::transparent);
    QPainter p(&imagen);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(Densidad, Densidad);

    // Paper waiting at the back.
    p.setPen(QPen(QColor(0x9a, 0x9a, 0x9a), 1));
    p.setBrush(QColor(0xf4, 0xf4, 0xf4));
    p.drawRect(QRectF(22.5, 3.5, 35, 22));

    // Shadow under the body.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 60));
    p.drawRoundedRect(QRectF(7, 22, 68, 26), 6, 6);

    // Body.
    QLinearGradient cuerpo(0, 19, 0, 46);
    cuerpo.setColorAt(0.0, QColor(0x7c, 0x8a, 0x98));
    cuerpo.setColorAt(0.35, QColor(0x5a, 0x68, 0x77));
    cuerpo.setColorAt(1.0, QColor(0x36, 0x41, 0x4d));
    p.setBrush(cuerpo);
    p.setPen(QPen(QColor(0x26, 0x2f, 0x38), 1.2));
    p.drawRoundedRect(QRectF(5.5, 19.5, 69, 26), 6, 6);
    // Top edge highlight.
    p.setPen(QPen(QColor(255, 255, 255, 90), 1.2));
    p.drawLine(QPointF(11, 21.5), QPointF(69, 21.5));
    // Control lights.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x7c, 0xd9, 0x6a));
    p.drawEllipse(QPointF(64, 27.5), 2.2, 2.2);
    p.setBrush(QColor(0xe9, 0xe8, 0xd3));
    p.drawEllipse(QPointF(57, 27.5), 2.2, 2.2);
    // Paper slot.
    p.setBrush(QColor(0x1c, 0x23, 0x2a));
    p.drawRoundedRect(QRectF(15, 35, 50, 4), 2, 2);

    // The printed sheet coming out towards the viewer.
    QPainterPath hoja;
    hoja.moveTo(18, 37);
    hoja.lineTo(62, 37);
    hoja.lineTo(66, 57.5);
    hoja.lineTo(14, 57.5);
    hoja.closeSubpath();
    p.setBrush(QColor(0xff, 0xff, 0xfd));
    p.setPen(QPen(QColor(0x8c, 0x8c, 0x8c), 1));
    p.drawPath(hoja);
    // Printed lines: a title in dark red and body text in grey.
    p.setPen(QPen(Granate, 1.6));
    p.drawLine(QPointF(23, 42.5), QPointF(45, 42.5));
    p.setPen(QPen(QColor(0x80, 0x80, 0x80), 1.1));
    p.drawLine(QPointF(22, 47), QPointF(58, 47));
    p.drawLine(QPointF(21.5, 50.5), QPointF(59, 50.5));
    p.drawLine(QPointF(21, 54), QPointF(52, 54));
    return imagen;
}

bool Guardar(const QImage& imagen, const QDir& carpeta, const QString& nombre)
{
    const QString ruta = carpeta.filePath(nombre);
    if (!imagen.save(ruta, "PNG")) {
        QTextStream(stderr) << "No se pudo escribir " << ruta << '\n';
        return false;
    }
    QTextStream(stdout) << ruta << '\n';
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication aplicacion(argc, argv);
    if (argc != 2) {
        QTextStream(stderr) << "Uso: " << argv[0] << " CARPETA_DESTINO\n";
        return 2;
    }
    const QDir carpeta(QString::fromLocal8Bit(argv[1]));
    if (!carpeta.exists()) {
        QTextStream(stderr) << "No existe la carpeta " << carpeta.path() << '\n';
        return 2;
    }
    const bool bien = Guardar(Flecha(false), carpeta, QStringLiteral("anterior@4x.png"))
        && Guardar(Flecha(true), carpeta, QStringLiteral("siguiente@4x.png"))
        && Guardar(Impresora(), carpeta, QStringLiteral("impresora@4x.png"));
    return bien ? 0 : 1;
}
