#include "SuperficiePagina.h"

#include "ErrorImpresion.h"


struct SuperficiePagina::Tramo {
    QByteArray dibujo;  // a recorded QPicture, compressed; empty for a placed picture
    QImage imagen;
    QRectF destino;     // where the picture goes, in layout dots
};

namespace {

void ComprobarTamano(int twips, const char* miembro)
{
    if (twips <= 0)
        throw ErrorImpresion(
            QStringLiteral("El valor %1 no es válido para %2: debe ser mayor que cero.").arg(twips).arg(QLatin1String(miembro)),
            ErrorImpresion::ValorNoValido);
}

// The page whose drawing is being recorded. A listing draws its pages one after another, so
// only one page records at a time: when drawing moves to another page, the page left behind
// closes its recording and keeps it compressed, instead of every page of a long preview
// holding an open recording (some 18 KB each) until the preview is shown.
thread_local const SuperficiePagina* paginaGrabando = nullptr;

}  // namespace

SuperficiePagina::SuperficiePagina() = default;

SuperficiePagina::~SuperficiePagina()
{
    if (pintor_)
        pintor_->end();
    if (paginaGrabando == this)
        paginaGrabando = nullptr;
}

void SuperficiePagina::Cls()
{
    if (pintor_)
        pintor_->end();
    if (paginaGrabando == this)
        paginaGrabando = nullptr;
    pintor_.reset();
    grabando_.reset();
    tramos_.clear();
    PlumaAlOrigen();
}

void SuperficiePagina::SetWidth(int twips)
{
    ComprobarTamano(twips, "Width");
    ancho_ = twips;
}

void SuperficiePagina::SetHeight(int twips)
{
    ComprobarTamano(twips, "Height");
    alto_ = twips;
}

void SuperficiePagina::CopiarAjustes(const SuperficiePagina& origen)
{
    CopiarEstado(origen);
    ancho_ = origen.ancho_;
    alto_ = origen.alto_;
    izquierda_ = origen.izquierda_;
    arriba_ = origen.arriba_;
}

QSizeF SuperficiePagina::TamanoUtil() const
{
    return QSizeF(DesdeTwips(ancho_), DesdeTwips(alto_));
}

QPainter& SuperficiePagina::Pintor()
{
    if (!pintor_) {
        if (paginaGrabando && paginaGrabando != this)
            paginaGrabando->CerrarGrabacion();
        auto grabacion = std::make_unique<QPicture>();
        auto pintor = std::make_unique<QPainter>();
        if (!pintor->begin(grabacion.get()))
            throw ErrorImpresion(QStringLiteral("No se puede dibujar en la página de la vista previa."));
        grabando_ = std::move(grabacion);
        pintor_ = std::move(pintor);
        paginaGrabando = this;
        PintorNuevo();
    }
    return *pintor_;
}

void SuperficiePagina::CerrarGrabacion() const
{
    if (!pintor_)
        return;
    if (paginaGrabando == this)
        paginaGrabando = nullptr;
    pintor_->end();
    pintor_.reset();
    if (grabando_->size() > 0) {
        QByteArray comprimido = qCompress(QByteArray::fromRawData(grabando_->data(), grabando_->size()));
        // qCompress leaves room for the uncompressed size: without this a page would keep that much.
        comprimido.squeeze();
        tramos_.push_back(Tramo{comprimido, QImage(), QRectF()});
    }
    grabando_.reset();
}

void SuperficiePagina::PaintPicture(const QImage& imagen, double x, double y, double ancho, double alto)
{
    const QRectF destino = RectanguloImagen(imagen, x, y, ancho, alto);
    CerrarGrabacion();
    tramos_.push_back(Tramo{QByteArray(), ImagenCompartida(imagen), destino});
}

void SuperficiePagina::Dibujar(QPainter& pintor, const QRectF& destino) const
{
    if (!pintor.isActive())
        throw ErrorImpresion(QStringLiteral("No se puede mostrar la página: el destino no está preparado para dibujar."));
    CerrarGrabacion();
    const QSizeF util = TamanoUtil();
    pintor.save();
    pintor.setClipRect(destino, Qt::IntersectClip);
    pintor.fillRect(destino, BackColor());
    pintor.translate(destino.topLeft());
    pintor.scale(destino.width() / util.width(), destino.height() / util.height());
    for (const Tramo& tramo : tramos_) {
        if (tramo.dibujo.isEmpty()) {
            pintor.save();
            pintor.setRenderHint(QPainter::SmoothPixmapTransform);
            pintor.drawImage(tramo.destino, tramo.imagen);
            pintor.restore();
        } else {
            QPicture grabacion;
            const QByteArray datos = qUncompress(tramo.dibujo);
            grabacion.setData(datos.constData(), static_cast<uint>(datos.size()));
            grabacion.play(&pintor);
        }
    }
    pintor.restore();
}

QImage SuperficiePagina::Imagen(const QSize& pixeles) const
{
    if (pixeles.width() <= 0 || pixeles.height() <= 0 || pixeles.width() > 20000 || pixeles.height() > 20000)
        throw ErrorImpresion(QStringLiteral("El tamaño de imagen %1 x %2 no es válido.")
                                 .arg(pixeles.width())
                                 .arg(pixeles.height()),
                             ErrorImpresion::ValorNoValido);
    QImage imagen(pixeles, QImage::Format_ARGB32_Premultiplied);
    imagen.fill(Qt::white);
    QPainter pintor(&imagen);
    pintor.setRenderHint(QPainter::TextAntialiasing);
    Dibujar(pintor, QRectF(QPointF(0, 0), QSizeF(pixeles)));
    pintor.end();
    return imagen;
}

qint64 SuperficiePagina::BytesGrabados() const
{
    CerrarGrabacion();
    qint64 total = 0;
    for (const Tramo& tramo : tramos_)
        total += tramo.dibujo.capacity() + static_cast<qint64>(sizeof(Tramo));
    return total;
}
