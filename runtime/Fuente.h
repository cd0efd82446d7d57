#pragma once

#include <QFont>
#include <QString>
#include <functional>

// A control's font object: its members change the control's font at once.
// Size is in points as the platform keeps it (14.25, 9.75...); Weight 400 normal, 600, 700 bold.
class Fuente
{
public:
    Fuente();

    QString Name() const { return nombre_; }
    void setName(const QString& nombre);
    double Size() const { return tamano_; }
    void setSize(double puntos);
    int Weight() const { return peso_; }
    void setWeight(int peso);
    void setBold(bool negrita);
    void setItalic(bool cursiva);
    void setUnderline(bool subrayado);

    // Copies name, size, weight and style from another font object.
    void Asignar(const Fuente& otra);

    QFont AQFont() const;

    // Called after every change; the owning control applies the font to its widget.
    void AlCambiar(std::function<void()> aviso) { aviso_ = std::move(aviso); }

private:
    void avisar();

    QString nombre_;
    double tamano_;
    int peso_;
    bool cursiva_ = false;
    bool subrayado_ = false;
    std::function<void()> aviso_;
};
