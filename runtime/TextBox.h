#pragma once

#include "runtime/Control.h"

class CampoTexto;

// A single-line text box. Change is raised by every change of the text, typed or assigned
// by the program, before the assignment returns. MaxLength limits what the user types or
// pastes (0: no limit); a program assignment is kept whole, as the platform does. Pasted
// text is cut at its first line break and its tabs become blanks.
class TextBox : public Control
{
    Q_OBJECT
public:
    TextBox(Form* formulario, const QString& nombre, Control* contenedor = nullptr);

    QString Text() const;
    void setText(const QString& texto);
    int MaxLength() const { return maximo_; }
    void setMaxLength(int maximo);
    int SelStart() const;
    void setSelStart(int inicio);
    int SelLength() const;
    void setSelLength(int longitud);

signals:
    void Change();
    void GotFocus();
    void LostFocus();
    // KeyAscii: the character code of the key (13 Enter, 8 backspace, 27 Esc). A handler
    // that sets it to 0 swallows the key; another value replaces the character typed.
    void KeyPress(int& KeyAscii);

protected:
    void aplicarColores() override;
    bool PuedeTenerFoco() const override { return true; }

private:
    friend class CampoTexto;
    CampoTexto* campo_;
    int maximo_ = 0;
};
