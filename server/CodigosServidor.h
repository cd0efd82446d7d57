#pragma once

#include <QString>

// Result codes of the server entry points and numbers of ErrorServidor. They follow the
// platform's HRESULT values, so a host that knows those codes reads them the same way here:
// 0 and 1 are successes, every failure is a distinct negative number.
namespace CodigoServidor {

constexpr int Correcto = 0;                                       // S_OK
constexpr int Falso = 1;                                          // S_FALSE: "no" without a failure
constexpr int ClaseNoDisponible = static_cast<int>(0x80040111u);  // the library does not serve that ProgID
constexpr int ClaseNoRegistrada = static_cast<int>(0x80040154u);  // the ProgID is not in the registry
constexpr int RegistroIlegible = static_cast<int>(0x80040150u);   // the registry file cannot be read
constexpr int RegistroNoEscribible = static_cast<int>(0x80040151u);
constexpr int RegistroDanado = static_cast<int>(0x800703F1u);
constexpr int RegistroBloqueado = static_cast<int>(0x80070021u);  // another process keeps it locked
constexpr int BibliotecaNoEncontrada = static_cast<int>(0x8007007Eu);
constexpr int BibliotecaNoCargable = static_cast<int>(0x800700C1u);
constexpr int SimboloNoEncontrado = static_cast<int>(0x8007007Fu);
constexpr int VersionIncompatible = static_cast<int>(0x8007051Au);   // ERROR_REVISION_MISMATCH
constexpr int FalloFabrica = static_cast<int>(0x80004005u);       // the class factory made no object
constexpr int ArgumentoNoValido = static_cast<int>(0x80070057u);
constexpr int PunteroNulo = static_cast<int>(0x80004003u);
constexpr int Inesperado = static_cast<int>(0x8000FFFFu);

// "0x80040154": how codes are shown in messages.
inline QString EnHexadecimal(int codigo)
{
    return QStringLiteral("0x%1").arg(QString::number(static_cast<uint>(codigo), 16).toUpper().rightJustified(8, QLatin1Char('0')));
}

} // namespace CodigoServidor
