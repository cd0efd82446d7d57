#include "printing/SuperficiePagina.h"

#include "printing/ErrorImpresion.h"

#include <zlib.h>

struct SuperficiePagina::Tramo {
    QByteArray dibujo;  // a recorded QPicture, compressed; empty for a placed picture
    std::shared_ptr<const QByteArray> diccionario;  // what dibujo was compressed against
    int tamano = 0;     // of the recording before compression
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

// The pages of a listing are alike: the same fonts, titles and columns, only the rows differ. So
// each recording is compressed against an earlier page's recording, kept once and shared by the
// pages that use it; a page then takes well under half of what compressing it alone gives. The
// dictionary lives as long as some page uses it.
thread_local std::weak_ptr<const QByteArray> diccionarioVigente;

std::shared_ptr<const QByteArray> DiccionarioPara(const QByteArray& grabacion)
{
    std::shared_ptr<const QByteArray> diccionario = diccionarioVigente.lock();
    // A small recording (a page's first lines before a picture) makes a poor dictionary for
    // whole pages: a larger one replaces it.
    if (!diccionario || diccionario->size() < grabacion.size() / 2) {
        diccionario = std::make_shared<const QByteArray>(grabacion.constData(), grabacion.size());
        diccionarioVigente = diccionario;
    }
    return diccionario;
}

QByteArray Comprimir(const QByteArray& datos, const QByteArray& diccionario)
{
    z_stream flujo{};
    if (deflateInit(&flujo, Z_DEFAULT_COMPRESSION) != Z_OK)
        throw ErrorImpresion(QStringLiteral("No hay memoria para guardar la página de la vista previa."));
    QByteArray salida;
    int resultado = deflateSetDictionary(&flujo, reinterpret_cast<const Bytef*>(diccionario.constData()),
                                         uInt(diccionario.size()));
    if (resultado == Z_OK) {
        salida.resize(qsizetype(deflateBound(&flujo, uLong(datos.size()))));
        flujo.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(datos.constData()));
        flujo.avail_in = uInt(datos.size());
        flujo.next_out = reinterpret_cast<Bytef*>(salida.data());
        flujo.avail_out = uInt(salida.size());
        resultado = deflate(&flujo, Z_FINISH);
    }
    deflateEnd(&flujo);
    if (resultado != Z_STREAM_END)
        throw ErrorImpresion(QStringLiteral("No se puede guardar la página de la vista previa."));
    salida.resize(qsizetype(flujo.total_out));
    salida.squeeze();
    return salida;
}

QByteArray Descomprimir(const QByteArray& comprimido, int tamano, const QByteArray& diccionario)
{
    z_stream flujo{};
    if (inflateInit(&flujo) != Z_OK)
        throw ErrorImpresion(QStringLiteral("No hay memoria para mostrar la página de la vista previa."));
    QByteArray salida(tamano, Qt::Uninitialized);
    flujo.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(comprimido.constData()));
    flujo.avail_in = uInt(comprimido.size());
    flujo.next_out = reinterpret_cast<Bytef*>(salida.data());
    flujo.avail_out = uInt(salida.size());
    int resultado = inflate(&flujo, Z_FINISH);
    if (resultado == Z_NEED_DICT) {
        resultado = inflateSetDictionary(&flujo, reinterpret_cast<const Bytef*>(diccionario.constData()),
                                         uInt(diccionario.size()));
        if (resultado == Z_OK)
            resultado = inflate(&flujo, Z_FINISH);
    }
    inflateEnd(&flujo);
    if (resultado != Z_STREAM_END || flujo.total_out != uLong(tamano))
        throw ErrorImpresion(QStringLiteral("No se puede mostrar la página de la vista previa: su dibujo está dañado."));
    return salida;
}

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
    fuentePaginas_ = origen.fuentePaginas_;
}

SuperficieDestino& SuperficiePagina::PaginaSiguiente()
{
    if (!fuentePaginas_)
        throw ErrorImpresion(QStringLiteral("Esta página no forma parte de un documento: no hay página siguiente."));
    SuperficiePagina& nueva = fuentePaginas_();
    nueva.Cls();
    return nueva;
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
        const QByteArray grabacion = QByteArray::fromRawData(grabando_->data(), grabando_->size());
        std::shared_ptr<const QByteArray> diccionario = DiccionarioPara(grabacion);
        tramos_.push_back(Tramo{Comprimir(grabacion, *diccionario), diccionario, int(grabacion.size()), QImage(), QRectF()});
    }
    grabando_.reset();
}

void SuperficiePagina::PaintPicture(const QImage& imagen, double x, double y, double ancho, double alto)
{
    const QRectF destino = RectanguloImagen(imagen, x, y, ancho, alto);
    CerrarGrabacion();
    tramos_.push_back(Tramo{QByteArray(), nullptr, 0, ImagenCompartida(imagen), destino});
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
            const QByteArray datos = Descomprimir(tramo.dibujo, tramo.tamano, *tramo.diccionario);
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
