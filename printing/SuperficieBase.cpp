#include "printing/SuperficieBase.h"

#include "printing/ErrorImpresion.h"

#include <QFontDatabase>
#include <QList>
#include <QPen>
#include <QStringList>
#include <QtGlobal>

#include <cmath>
#include <mutex>

namespace {

// Layout dots in one point.
constexpr double PuntosPorPunto = SuperficieBase::ResolucionMaquetacion / 72.0;

// Lines are one screen pixel of the original forms (1/96 inch) on every surface: thin on paper,
// still one pixel when a page is shown small.
constexpr double GrosorLinea = SuperficieBase::ResolucionMaquetacion / 96.0;

// The listing asks for "Bookman Old Style"; Debian ships the same design as URW Bookman. Fontconfig
// usually aliases it already; the substitution makes Qt pick it even where it does not.
void SustituirFuentes()
{
    static std::once_flag hecho;
    std::call_once(hecho, [] {
        const QString bookman = QStringLiteral("Bookman Old Style");
        if (!QFontDatabase::families().contains(bookman, Qt::CaseInsensitive))
            QFont::insertSubstitution(bookman, QStringLiteral("URW Bookman"));
    });
}

QStringList Lineas(const QString& texto)
{
    QString normalizado = texto;
    normalizado.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    normalizado.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return normalizado.split(QLatin1Char('\n'));
}

void ComprobarColor(const QColor& color, const char* miembro)
{
    if (!color.isValid())
        throw ErrorImpresion(QStringLiteral("El color indicado para %1 no es válido.").arg(QLatin1String(miembro)),
                             ErrorImpresion::ValorNoValido);
}

Qt::BrushStyle Trama(int estilo)
{
    switch (estilo) {
    case 0: return Qt::SolidPattern;
    case 2: return Qt::HorPattern;
    case 3: return Qt::VerPattern;
    case 4: return Qt::BDiagPattern;
    case 5: return Qt::FDiagPattern;
    case 6: return Qt::CrossPattern;
    case 7: return Qt::DiagCrossPattern;
    default: return Qt::NoBrush;
    }
}

}  // namespace

SuperficieBase::SuperficieBase()
{
    SustituirFuentes();
    fuente_.setFamily(QStringLiteral("Arial"));
    fuente_.setHintingPreference(QFont::PreferNoHinting);
    fuente_.setStyleStrategy(QFont::PreferOutline);
    SetFontSize(8.25);
}

SuperficieBase::~SuperficieBase() = default;

int SuperficieBase::SetBkMode(int modo)
{
    if (modo != Transparente && modo != Opaco)
        throw ErrorImpresion(QStringLiteral("El modo de fondo %1 no es válido (1 transparente, 2 opaco).").arg(modo),
                             ErrorImpresion::ValorNoValido);
    const int anterior = transparente_ ? Transparente : Opaco;
    transparente_ = modo == Transparente;
    return anterior;
}

void SuperficieBase::SetScaleMode(int modo)
{
    switch (modo) {
    case Twips:
    case Puntos:
    case Pulgadas:
    case Milimetros:
    case Centimetros:
        escala_ = modo;
        return;
    default:
        throw ErrorImpresion(
            QStringLiteral("El modo de escala %1 no está admitido (1 twips, 2 puntos, 5 pulgadas, 6 milímetros, "
                           "7 centímetros).")
                .arg(modo),
            ErrorImpresion::ValorNoValido);
    }
}

double SuperficieBase::Factor() const
{
    switch (escala_) {
    case Puntos: return PuntosPorPunto;
    case Pulgadas: return ResolucionMaquetacion;
    case Milimetros: return ResolucionMaquetacion / 25.4;
    case Centimetros: return ResolucionMaquetacion / 2.54;
    default: return ResolucionMaquetacion / 1440.0;
    }
}

double SuperficieBase::AMaquetacion(double valor, const char* miembro) const
{
    // Beyond a kilometre nothing is meant to be drawn; such values come from corrupted arithmetic.
    if (!std::isfinite(valor) || std::fabs(valor * Factor()) > ResolucionMaquetacion * 40000.0)
        throw ErrorImpresion(QStringLiteral("El valor %1 no es válido para %2.").arg(valor).arg(QLatin1String(miembro)),
                             ErrorImpresion::ValorNoValido);
    return valor * Factor();
}

void SuperficieBase::SetFillStyle(int estilo)
{
    if (estilo < 0 || estilo > 7)
        throw ErrorImpresion(QStringLiteral("El estilo de relleno %1 no es válido (de 0 a 7).").arg(estilo),
                             ErrorImpresion::ValorNoValido);
    estiloRelleno_ = estilo;
}

void SuperficieBase::SetFillColor(const QColor& color)
{
    ComprobarColor(color, "FillColor");
    colorRelleno_ = color;
}

void SuperficieBase::SetBackColor(const QColor& color)
{
    ComprobarColor(color, "BackColor");
    colorFondo_ = color;
}

void SuperficieBase::SetForeColor(const QColor& color)
{
    ComprobarColor(color, "ForeColor");
    colorTexto_ = color;
}

double SuperficieBase::ScaleWidth() const
{
    return TamanoUtil().width() / Factor();
}

double SuperficieBase::ScaleHeight() const
{
    return TamanoUtil().height() / Factor();
}

double SuperficieBase::CurrentX() const
{
    return x_ / Factor();
}

void SuperficieBase::SetCurrentX(double x)
{
    x_ = AMaquetacion(x, "CurrentX");
}

double SuperficieBase::CurrentY() const
{
    return y_ / Factor();
}

void SuperficieBase::SetCurrentY(double y)
{
    y_ = AMaquetacion(y, "CurrentY");
}

double SuperficieBase::TextWidth(const QString& texto) const
{
    const QFontMetricsF medidas = Medidas();
    double ancho = 0.0;
    for (const QString& linea : Lineas(texto))
        ancho = std::max(ancho, medidas.horizontalAdvance(linea));
    return ancho / Factor();
}

double SuperficieBase::TextHeight(const QString& texto) const
{
    return Lineas(texto).size() * Medidas().lineSpacing() / Factor();
}

void SuperficieBase::SetFontName(const QString& nombre)
{
    if (nombre.trimmed().isEmpty())
        throw ErrorImpresion(QStringLiteral("Falta el nombre de la fuente."), ErrorImpresion::ValorNoValido);
    fuente_.setFamily(nombre);
}

void SuperficieBase::SetFontSize(double puntos)
{
    if (!std::isfinite(puntos) || puntos <= 0.0 || puntos > 2048.0)
        throw ErrorImpresion(QStringLiteral("El tamaño de fuente %1 no es válido.").arg(puntos),
                             ErrorImpresion::ValorNoValido);
    const int puntosMaquetacion = qRound(puntos * PuntosPorPunto);
    fuente_.setPixelSize(std::max(1, puntosMaquetacion));
    puntos_ = puntos;
}

void SuperficieBase::SetFontBold(bool negrita)
{
    fuente_.setBold(negrita);
}

void SuperficieBase::AplicarFuente(QPainter& p)
{
    // Setting an unchanged font would still be recorded on every row of a page picture.
    if (!fuenteAplicada_ || fuentePintor_ != fuente_) {
        p.setFont(fuente_);
        fuentePintor_ = fuente_;
        fuenteAplicada_ = true;
    }
}

void SuperficieBase::Print(const QString& texto, bool finLinea)
{
    const QStringList lineas = Lineas(texto);
    const QFontMetricsF medidas = Medidas();
    const double alto = medidas.lineSpacing();
    double x = x_;
    double y = y_;
    double anchoUltima = 0.0;
    for (int i = 0; i < lineas.size(); ++i) {
        const QString& linea = lineas.at(i);
        if (i > 0) {
            x = 0.0;
            y += alto;
        }
        anchoUltima = medidas.horizontalAdvance(linea);
        if (linea.isEmpty())
            continue;
        QPainter& p = Pintor();
        AplicarFuente(p);
        if (!transparente_)
            p.fillRect(QRectF(x, y, anchoUltima, alto), colorFondo_);
        p.setPen(QPen(colorTexto_));
        p.drawText(QPointF(x, y + medidas.ascent()), linea);
    }
    if (finLinea) {
        x_ = 0.0;
        y_ = y + alto;
    } else {
        x_ = x + anchoUltima;
        y_ = y;
    }
}

void SuperficieBase::Line(double x1, double y1, double x2, double y2, const QColor& color, ModoLinea modo)
{
    const QPointF desde(AMaquetacion(x1, "Line"), AMaquetacion(y1, "Line"));
    const QPointF hasta(AMaquetacion(x2, "Line"), AMaquetacion(y2, "Line"));
    const QColor tinta = color.isValid() ? color : colorTexto_;
    QPainter& p = Pintor();
    switch (modo) {
    case ModoLinea::Linea: {
        QPen pluma(tinta, GrosorLinea, Qt::SolidLine, Qt::FlatCap);
        p.setPen(pluma);
        p.drawLine(desde, hasta);
        break;
    }
    case ModoLinea::B: {
        const QRectF caja = QRectF(desde, hasta).normalized();
        if (estiloRelleno_ != 1)
            p.fillRect(caja, QBrush(colorRelleno_, Trama(estiloRelleno_)));
        p.setPen(QPen(tinta, GrosorLinea, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
        p.setBrush(Qt::NoBrush);
        p.drawRect(caja);
        break;
    }
    case ModoLinea::BF:
        p.fillRect(QRectF(desde, hasta).normalized(), tinta);
        break;
    }
    x_ = hasta.x();
    y_ = hasta.y();
}

QRectF SuperficieBase::RectanguloImagen(const QImage& imagen, double x, double y, double ancho, double alto) const
{
    if (imagen.isNull())
        throw ErrorImpresion(QStringLiteral("La imagen indicada para PaintPicture está vacía o no es válida."), 481);
    const QRectF destino(AMaquetacion(x, "PaintPicture"), AMaquetacion(y, "PaintPicture"), AMaquetacion(ancho, "PaintPicture"),
                         AMaquetacion(alto, "PaintPicture"));
    return destino.normalized();
}

QImage SuperficieBase::ImagenCompartida(const QImage& imagen)
{
    // A few distinct pictures are remembered; comparing pixels costs far less than drawing them.
    static QList<QImage> vistas;
    for (const QImage& vista : vistas) {
        if (vista.cacheKey() == imagen.cacheKey() || vista == imagen)
            return vista;
    }
    if (vistas.size() >= 8)
        vistas.removeFirst();
    vistas.append(imagen);
    return imagen;
}

void SuperficieBase::PaintPicture(const QImage& imagen, double x, double y, double ancho, double alto)
{
    const QRectF destino = RectanguloImagen(imagen, x, y, ancho, alto);
    QPainter& p = Pintor();
    p.save();
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawImage(destino, ImagenCompartida(imagen));
    p.restore();
}

void SuperficieBase::CopiarEstado(const SuperficieBase& origen)
{
    escala_ = origen.escala_;
    transparente_ = origen.transparente_;
    estiloRelleno_ = origen.estiloRelleno_;
    colorRelleno_ = origen.colorRelleno_;
    colorFondo_ = origen.colorFondo_;
    colorTexto_ = origen.colorTexto_;
    fuente_ = origen.fuente_;
    puntos_ = origen.puntos_;
    fuenteAplicada_ = false;
    PlumaAlOrigen();
}
