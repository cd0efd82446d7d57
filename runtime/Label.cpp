#include "runtime/Label.h"

#include "runtime/ErrorEjecucion.h"

#include <QLabel>
#include <QMouseEvent>

namespace {

class EtiquetaPulsable : public QLabel
{
public:
    explicit EtiquetaPulsable(Label* etiqueta) : etiqueta_(etiqueta) {}

protected:
    void mouseReleaseEvent(QMouseEvent* evento) override
    {
        QLabel::mouseReleaseEvent(evento);
        if (evento->button() == Qt::LeftButton && rect().contains(evento->position().toPoint()))
            AtenderEvento([this] { emit etiqueta_->Click(); });
    }

private:
    Label* etiqueta_;
};

} // namespace

Label::Label(Form* formulario, const QString& nombre, Control* contenedor)
    : Control(Clase::Label, formulario, nombre, contenedor)
{
    etiqueta_ = new EtiquetaPulsable(this);
    etiqueta_->setTextFormat(Qt::PlainText);
    etiqueta_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    etiqueta_->setText(nombre);
    inicializar(etiqueta_);
}

QString Label::Caption() const
{
    return etiqueta_->text();
}

void Label::setCaption(const QString& texto)
{
    etiqueta_->setText(texto);
}

void Label::setAlignment(int alineacion)
{
    if (alineacion < 0 || alineacion > 2)
        throw ErrorEjecucion(ErrorEjecucion::ValorPropiedadNoValido,
                             QStringLiteral("El valor de Alignment no es válido: %1").arg(alineacion));
    alineacion_ = alineacion;
    const Qt::Alignment horizontal = alineacion == 1 ? Qt::AlignRight : alineacion == 2 ? Qt::AlignHCenter : Qt::AlignLeft;
    etiqueta_->setAlignment(horizontal | Qt::AlignTop);
}

void Label::setBackStyle(int estilo)
{
    if (estilo != 0 && estilo != 1)
        throw ErrorEjecucion(ErrorEjecucion::ValorPropiedadNoValido,
                             QStringLiteral("El valor de BackStyle no es válido: %1").arg(estilo));
    estiloFondo_ = estilo;
    aplicarColores();
}

void Label::setWordWrap(bool ajustar)
{
    etiqueta_->setWordWrap(ajustar);
}

void Label::aplicarColores()
{
    Control::aplicarColores();
    etiqueta_->setAutoFillBackground(estiloFondo_ == 1 && BackColor().isValid());
}
