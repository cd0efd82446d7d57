// Draws the faint compass rose that the listing prints in the middle of every page and writes it
// as fotos/fondo.bmp, a 256-colour bitmap:  generar-fondo-listado fotos/fondo.bmp
//
// The page shows it 10 cm wide; 1024 pixels keep it sharp in the preview at 100 % on a screen with
// two device pixels to each pixel (about 760 of them), where the first 256 pixel drawing was soft.

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QTextStream>
#include <QtMath>

namespace {

constexpr int Lado = 1024;
const QColor Linea(0xc6, 0xce, 0xe0);
const QColor Claro(0xec, 0xef, 0xf7);
const QColor Sombra(0xd9, 0xde, 0xec);

// One point of the star, from the centre towards `angulo` (degrees, 0 up, clockwise): a light half
// and a shaded half, as if lit from the left.
void Punta(QPainter& p, qreal angulo, qreal largo, qreal ancho)
{
    p.save();
    p.rotate(angulo);
    QPainterPath izquierda, derecha;
    izquierda.moveTo(0, 0);
    izquierda.lineTo(-ancho, -ancho);
    izquierda.lineTo(0, -largo);
    izquierda.closeSubpath();
    derecha.moveTo(0, 0);
    derecha.lineTo(ancho, -ancho);
    derecha.lineTo(0, -largo);
    derecha.closeSubpath();
    p.setPen(QPen(Linea, 1.2));
    p.setBrush(Claro);
    p.drawPath(izquierda);
    p.setBrush(Sombra);
    p.drawPath(derecha);
    p.restore();
}

QImage Rosa()
{
    QImage imagen(Lado, Lado, QImage::Format_RGB32);
    imagen.fill(Qt::white);
    QPainter p(&imagen);
    p.setRenderHint(QPainter::Antialiasing);
    // Drawn on a 256 unit square centred on the origin.
    p.translate(Lado / 2.0, Lado / 2.0);
    p.scale(Lado / 256.0, Lado / 256.0);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(Linea, 2.2));
    p.drawEllipse(QPointF(0, 0), 118, 118);
    p.setPen(QPen(Linea, 0.8));
    p.drawEllipse(QPointF(0, 0), 110, 110);
    p.drawEllipse(QPointF(0, 0), 62, 62);
    for (int grado = 0; grado < 360; grado += 5) {
        const bool mayor = grado % 45 == 0;
        p.save();
        p.rotate(grado);
        p.setPen(QPen(Linea, mayor ? 1.6 : 0.8));
        p.drawLine(QPointF(0, -110), QPointF(0, mayor ? -100 : -105));
        p.restore();
    }
    for (int i = 0; i < 4; ++i)
        Punta(p, 45 + 90 * i, 72, 11);
    for (int i = 0; i < 4; ++i)
        Punta(p, 90 * i, 106, 13);
    p.setPen(QPen(Linea, 1.4));
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(0, 0), 7, 7);
    return imagen;
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication aplicacion(argc, argv);
    if (argc != 2) {
        QTextStream(stderr) << "Uso: " << argv[0] << " ARCHIVO.bmp\n";
        return 2;
    }
    // Every colour of the drawing lies between white and a greyish blue: 256 steps along that line.
    QList<QRgb> colores;
    for (int i = 0; i < 256; ++i) {
        const auto tono = [i](int oscuro) { return 255 - (255 - oscuro) * i / 255; };
        colores.append(qRgb(tono(0xa8), tono(0xb2), tono(0xcc)));
    }
    const QImage paleta = Rosa().convertToFormat(QImage::Format_Indexed8, colores, Qt::ThresholdDither);
    if (!paleta.save(QString::fromLocal8Bit(argv[1]), "BMP")) {
        QTextStream(stderr) << "No se pudo escribir " << argv[1] << '\n';
        return 1;
    }
    return 0;
}
