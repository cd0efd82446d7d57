#include "runtime/Fuente.h"

#include <QGuiApplication>

Fuente::Fuente()
    : nombre_(QGuiApplication::font().family()), tamano_(8.25), peso_(400)
{
}

void Fuente::setName(const QString& nombre)
{
    nombre_ = nombre;
    avisar();
}

void Fuente::setSize(double puntos)
{
    // A size the font system cannot use is kept out: the platform refuses it too.
    tamano_ = puntos > 0 ? puntos : 1.0;
    avisar();
}

void Fuente::setWeight(int peso)
{
    peso_ = qBound(1, peso, 1000);
    avisar();
}

void Fuente::setBold(bool negrita)
{
    peso_ = negrita ? 700 : 400;
    avisar();
}

void Fuente::setItalic(bool cursiva)
{
    cursiva_ = cursiva;
    avisar();
}

void Fuente::setUnderline(bool subrayado)
{
    subrayado_ = subrayado;
    avisar();
}

void Fuente::Asignar(const Fuente& otra)
{
    nombre_ = otra.nombre_;
    tamano_ = otra.tamano_;
    peso_ = otra.peso_;
    cursiva_ = otra.cursiva_;
    subrayado_ = otra.subrayado_;
    avisar();
}

QFont Fuente::AQFont() const
{
    QFont f(nombre_);
    f.setPointSizeF(tamano_);
    f.setWeight(QFont::Weight(peso_));
    f.setItalic(cursiva_);
    f.setUnderline(subrayado_);
    return f;
}

void Fuente::avisar()
{
    if (aviso_)
        aviso_();
}
