#include "runtime/TextBox.h"

#include "runtime/ErrorEjecucion.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPointer>
#include <QRegularExpression>
#include <QValidator>

// The line edit behind a text box: it tells user edits from program assignments and raises
// the platform's key and focus events.
class CampoTexto : public QLineEdit
{
public:
    CampoTexto(TextBox* caja) : caja_(caja) {}

    TextBox* caja_;
    QString anterior_;
    bool asignando_ = false;
    bool cambiado_ = false;

protected:
    void keyPressEvent(QKeyEvent* evento) override
    {
        const QString texto = evento->text();
        int ascii = -1;
        switch (evento->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter: ascii = 13; break;
        case Qt::Key_Backspace: ascii = 8; break;
        case Qt::Key_Escape: ascii = 27; break;
        case Qt::Key_Tab:
        case Qt::Key_Backtab: break;
        default:
            if (texto.size() == 1)
                ascii = texto.at(0).unicode();
        }
        if (ascii < 0) {
            QLineEdit::keyPressEvent(evento);
            return;
        }
        int KeyAscii = ascii;
        QPointer<CampoTexto> vivo(this);
        AtenderEvento([&] { emit caja_->KeyPress(KeyAscii); });
        if (!vivo)
            return;
        if (KeyAscii == 0) {
            evento->accept();
            return;
        }
        if (KeyAscii != ascii && KeyAscii >= 32) {
            QKeyEvent otra(evento->type(), 0, Qt::NoModifier, QString(QChar(KeyAscii)));
            QLineEdit::keyPressEvent(&otra);
            return;
        }
        QLineEdit::keyPressEvent(evento);
    }

    // Switching to another application and back, or opening a menu, is no focus change for
    // the window: the field keeps the focus it had, and its events are not raised again.
    void focusInEvent(QFocusEvent* evento) override
    {
        QLineEdit::focusInEvent(evento);
        if (conFoco_)
            return;
        conFoco_ = true;
        AtenderEvento([this] { emit caja_->GotFocus(); });
    }

    void focusOutEvent(QFocusEvent* evento) override
    {
        QLineEdit::focusOutEvent(evento);
        const Qt::FocusReason razon = evento->reason();
        if (!conFoco_ || razon == Qt::ActiveWindowFocusReason || razon == Qt::PopupFocusReason)
            return;
        conFoco_ = false;
        AtenderEvento([this] { emit caja_->LostFocus(); });
    }

private:
    bool conFoco_ = false;
};

namespace {

// Keeps what the user types or pastes to one line and to the maximum length. A program
// assignment passes untouched.
class ValidadorCaja : public QValidator
{
public:
    ValidadorCaja(CampoTexto* campo, TextBox* caja) : QValidator(campo), campo_(campo), caja_(caja) {}

    State validate(QString& entrada, int& posicion) const override
    {
        if (campo_->asignando_)
            return Acceptable;
        const QString& anterior = campo_->anterior_;
        // The part that changed: what lies between the common start and the common end.
        int prefijo = 0;
        const int minimo = int(qMin(anterior.size(), entrada.size()));
        while (prefijo < minimo && anterior.at(prefijo) == entrada.at(prefijo))
            ++prefijo;
        int sufijo = 0;
        while (sufijo < minimo - prefijo
               && anterior.at(anterior.size() - 1 - sufijo) == entrada.at(entrada.size() - 1 - sufijo))
            ++sufijo;
        QString insertado = entrada.mid(prefijo, entrada.size() - prefijo - sufijo);
        const int salto = int(insertado.indexOf(QRegularExpression(QStringLiteral("[\\r\\n]"))));
        if (salto >= 0)
            insertado.truncate(salto);
        insertado.replace(QLatin1Char('\t'), QLatin1Char(' '));
        insertado.remove(QRegularExpression(QStringLiteral("[\\x00-\\x1f\\x7f]")));
        const int maximo = caja_->MaxLength();
        if (maximo > 0) {
            const int cabe = qMax(0, maximo - prefijo - sufijo);
            if (insertado.size() > cabe)
                insertado.truncate(cabe);
        }
        const QString resultado = entrada.left(prefijo) + insertado + entrada.right(sufijo);
        if (resultado != entrada) {
            entrada = resultado;
            posicion = prefijo + int(insertado.size());
        }
        return Acceptable;
    }

private:
    CampoTexto* campo_;
    TextBox* caja_;
};

} // namespace

TextBox::TextBox(Form* formulario, const QString& nombre, Control* contenedor)
    : Control(Clase::TextBox, formulario, nombre, contenedor)
{
    campo_ = new CampoTexto(this);
    campo_->setValidator(new ValidadorCaja(campo_, this));
    setBackColor(Qt::white);
    setForeColor(Qt::black);
    connect(campo_, &QLineEdit::textChanged, this, [this](const QString& texto) {
        // A key the limits refused is reported by Qt with the text it already had.
        if (texto == campo_->anterior_)
            return;
        campo_->anterior_ = texto;
        if (campo_->asignando_) {
            campo_->cambiado_ = true;
            return;
        }
        AtenderEvento([this] { emit Change(); });
    });
    inicializar(campo_);
}

QString TextBox::Text() const
{
    return campo_->text();
}

void TextBox::setText(const QString& texto)
{
    // Qt reports the change inside its own call; Change is raised here, after it returns, so a
    // handler that fails reaches the code that assigned the text.
    campo_->asignando_ = true;
    campo_->cambiado_ = false;
    campo_->setText(texto);
    campo_->asignando_ = false;
    if (campo_->cambiado_) {
        campo_->cambiado_ = false;
        emit Change();
    }
}

void TextBox::setMaxLength(int maximo)
{
    if (maximo < 0)
        throw ErrorEjecucion(ErrorEjecucion::ValorPropiedadNoValido,
                             QStringLiteral("El valor de MaxLength no es válido: %1").arg(maximo));
    maximo_ = maximo;
}

int TextBox::SelStart() const
{
    return campo_->hasSelectedText() ? campo_->selectionStart() : campo_->cursorPosition();
}

void TextBox::setSelStart(int inicio)
{
    campo_->setCursorPosition(qBound(0, inicio, int(campo_->text().size())));
}

int TextBox::SelLength() const
{
    return int(campo_->selectedText().size());
}

void TextBox::setSelLength(int longitud)
{
    const int inicio = SelStart();
    const int largo = qBound(0, longitud, int(campo_->text().size()) - inicio);
    if (largo == 0)
        campo_->setCursorPosition(inicio);
    else
        campo_->setSelection(inicio, largo);
}

void TextBox::aplicarColores()
{
    QPalette paleta = campo_->palette();
    if (BackColor().isValid()) {
        paleta.setColor(QPalette::Active, QPalette::Base, BackColor());
        paleta.setColor(QPalette::Inactive, QPalette::Base, BackColor());
    }
    if (ForeColor().isValid()) {
        paleta.setColor(QPalette::Active, QPalette::Text, ForeColor());
        paleta.setColor(QPalette::Inactive, QPalette::Text, ForeColor());
    }
    campo_->setPalette(paleta);
}
