#pragma once

#include "runtime/Control.h"
#include "runtime/ErrorEjecucion.h"
#include "runtime/Form.h"

#include <QMap>
#include <QPointer>

// A control array: elements of one class that share a name and are told apart by Index.
// Element 0 is created with the window; Load(i) adds element i, which takes over the settings
// of the first element and starts hidden; Unload(i) removes an element added at run time.
template <class T>
class ArregloControles
{
public:
    ArregloControles() = default;

    // Creates element 0.
    T* Crear(Form* formulario, const QString& nombre, Control* contenedor = nullptr)
    {
        formulario_ = formulario;
        nombre_ = nombre;
        contenedor_ = contenedor;
        T* primero = new T(formulario, nombre, contenedor);
        primero->fijarIndice(0);
        elementos_.insert(0, primero);
        return primero;
    }

    // The element of that index; one that does not exist raises run-time error 340.
    T* operator()(int indice) const
    {
        auto it = elementos_.constFind(indice);
        if (it == elementos_.constEnd() || !it.value())
            throw ErrorEjecucion(ErrorEjecucion::ElementoNoExiste,
                                 QStringLiteral("El elemento %1 de la matriz de controles '%2' no existe").arg(indice).arg(nombre_));
        return it.value();
    }

    int Count() const { return int(elementos_.size()); }
    int LBound() const { return elementos_.isEmpty() ? 0 : elementos_.firstKey(); }

    T* Load(int indice)
    {
        if (elementos_.contains(indice) || indice < 0 || elementos_.isEmpty())
            throw ErrorEjecucion(ErrorEjecucion::ValorPropiedadNoValido,
                                 QStringLiteral("El elemento %1 de '%2' ya está cargado").arg(indice).arg(nombre_));
        T* nuevo = new T(formulario_, nombre_, contenedor_);
        nuevo->fijarIndice(indice);
        nuevo->CopiarPropiedadesDe(*elementos_.first());
        nuevo->setVisible(false);
        elementos_.insert(indice, nuevo);
        return nuevo;
    }

    void Unload(int indice)
    {
        if (indice == LBound() || !elementos_.contains(indice))
            throw ErrorEjecucion(ErrorEjecucion::ValorPropiedadNoValido,
                                 QStringLiteral("No se puede descargar el elemento %1 de '%2'").arg(indice).arg(nombre_));
        delete elementos_.take(indice).data();
    }

private:
    Form* formulario_ = nullptr;
    QString nombre_;
    Control* contenedor_ = nullptr;
    QMap<int, QPointer<T>> elementos_;
};
