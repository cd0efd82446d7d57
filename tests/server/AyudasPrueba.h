#pragma once

#include "ErrorServidor.h"

#include <QFile>
#include <QtTest>

#include <functional>

inline QByteArray Leer(const QString& ruta)
{
    QFile archivo(ruta);
    return archivo.open(QIODevice::ReadOnly) ? archivo.readAll() : QByteArray();
}

inline void Escribir(const QString& ruta, const QByteArray& contenido)
{
    QFile archivo(ruta);
    QVERIFY(archivo.open(QIODevice::WriteOnly));
    archivo.write(contenido);
}

// The ErrorServidor the call throws; number 0 when it throws nothing.
inline ErrorServidor Fallo(const std::function<void()>& llamada)
{
    try {
        llamada();
    } catch (const ErrorServidor& error) {
        return error;
    }
    return ErrorServidor(0, QStringLiteral("no falló"));
}
