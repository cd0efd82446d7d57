#pragma once

#include <QString>
#include <stdexcept>

// A failure of the class registry or of loading a component: a number from CodigosServidor.h
// and a Spanish description for the user. what() gives the description in UTF-8.
class ErrorServidor : public std::runtime_error
{
public:
    ErrorServidor(int numero, const QString& descripcion);

    int Numero() const noexcept { return numero_; }
    const QString& Descripcion() const noexcept { return descripcion_; }

private:
    int numero_;
    QString descripcion_;
};
