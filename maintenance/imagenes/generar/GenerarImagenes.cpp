// Draws the pictures of the province window once and writes them as PNG files into the folder
// given on the command line. The files are shipped in maintenance/imagenes; run this again only
// to change their look:  generar-imagenes-provincias maintenance/imagenes

#include <QCoreApplication>
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QTextStream>
#include <QtMath>

namespace {

// The window's own palette: the beige of the data panel, the dark red of its titles and the
// lavender of the field labels, on a calm slate blue.
const QColor Pizarra(0x46, 0x62, 0x7d);
const QColor PizarraOscura(0x2c, 0x42, 0x58);
const QColor Beige(0xe9, 0xe8, 0xd3);
const QColor BeigeOscuro(0xcb, 0xca, 0xa5);
const QColor Granate(0x80, 0x00, 0x00);

QImage Fondo()
{
    QImage imagen(1149, 770, QImage::Format_RGB32);
    QPainter p(&imagen);
    p.setRenderHint(QPainter::Antialiasing);

    QLinearGradient degradado(0, 0, 0, imagen.height());
    degradado.setColorAt(0.0, QColor(0x5d, 0x7a, 0x95));
    degradado.setColorAt(0.45, Pizarra);
    degradado.setColorAt(1.0, PizarraOscura);
    p.fillRect(imagen.rect(), degradado);

    // A soft light from the upper left, so the surface does not look flat.
    QRadialGradient luz(QPointF(220, 90), 700);
    luz.setColorAt(0.0, QColor(255, 255, 255, 46));
    luz.setColorAt(1.0, QColor(255, 255, 255, 0));
    p.fillRect(imagen.rect(), luz);

    // A fine diagonal weave, barely visible.
    p.setPen(QPen(QColor(255, 255, 255, 10), 1));
    for (int x = -imagen.height(); x < imagen.width(); x += 9)
        p.drawLine(x, 0, x + imagen.height(), imagen.height());
    p.setPen(QPen(QColor(0, 0, 0, 8), 1));
    for (int x = 0; x < imagen.width() + imagen.height(); x += 9)
        p.drawLine(x, 0, x - imagen.height(), imagen.height());

    // The brand mark, faint, in the lower right corner of the part the window shows (810 by 703
    // pixels at the design size): a ring around a quilt of squares.
    const QPointF centro(742, 640);
    p.setPen(QPen(QColor(255, 255, 255, 30), 5));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(centro, 44, 44);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 26));
    for (int fila = -1; fila <= 1; ++fila) {
        for (int columna = -1; columna <= 1; ++columna) {
            if ((fila + columna) % 2 != 0)
                continue;
            p.drawRoundedRect(QRectF(centro.x() + columna * 20 - 8, centro.y() + fila * 20 - 8, 16, 16), 3, 3);
        }
    }
    return imagen;
}

// A rounded key with an arrow pointing left or right.
QImage Flecha(bool derecha)
{
    QImage imagen(71, 40, QImage::Format_ARGB32_Premultiplied);
    imagen.fill(Qt::transparent);
    QPainter p(&imagen);
    p.setRenderHint(QPainter::Antialiasing);

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
    QImage imagen(80, 60, QImage::Format_ARGB32_Premultiplied);
    imagen.fill(Qt::transparent);
    QPainter p(&imagen);
    p.setRenderHint(QPainter::Antialiasing);

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
    const bool bien = Guardar(Fondo(), carpeta, QStringLiteral("fondo.png"))
        && Guardar(Flecha(false), carpeta, QStringLiteral("anterior.png"))
        && Guardar(Flecha(true), carpeta, QStringLiteral("siguiente.png"))
        && Guardar(Impresora(), carpeta, QStringLiteral("impresora.png"));
    return bien ? 0 : 1;
}
