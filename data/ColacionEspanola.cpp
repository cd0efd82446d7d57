#include "data/ColacionEspanola.h"

#include <QCollator>
#include <QLocale>
#include <QStringDecoder>
#include <QVarLengthArray>

#include <cstring>
#include <sqlite3.h>

namespace {

struct Colacion {
    Colacion() : collator(QLocale(QLocale::Spanish, QLocale::Spain)) {}
    QCollator collator;
};

// Decodes without touching the heap for the short texts a name column holds. The collation
// runs for every comparison of an index build, so plain text is widened directly and only
// the rest goes through the general decoder.
using Buffer = QVarLengthArray<QChar, 128>;

QStringView Decodificar(const void* datos, int bytes, Buffer& buffer)
{
    const auto* texto = static_cast<const unsigned char*>(datos);
    buffer.resize(bytes);
    QChar* destino = buffer.data();
    int i = 0;
    while (i < bytes) {
        const unsigned char c = texto[i];
        if (c < 0x80) {
            *destino++ = QChar(c);
            ++i;
        } else if ((c & 0xE0) == 0xC0 && i + 1 < bytes && (texto[i + 1] & 0xC0) == 0x80 && c >= 0xC2) {
            *destino++ = QChar(char16_t((c & 0x1F) << 6 | (texto[i + 1] & 0x3F)));
            i += 2;
        } else {
            break;
        }
    }
    if (i == bytes)
        return QStringView(buffer.data(), destino - buffer.data());

    // Three- and four-byte sequences and malformed input: the general decoder from here on.
    const qsizetype hecho = destino - buffer.data();
    QStringDecoder decodificador(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    buffer.resize(hecho + decodificador.requiredSpace(bytes - i));
    QChar* fin = decodificador.appendToBuffer(buffer.data() + hecho,
                                              QByteArrayView(reinterpret_cast<const char*>(texto) + i, bytes - i));
    return QStringView(buffer.data(), fin - buffer.data());
}

int CompararUtf8(void* contexto, int bytesA, const void* a, int bytesB, const void* b)
{
    if (bytesA == bytesB && std::memcmp(a, b, static_cast<size_t>(bytesA)) == 0)
        return 0;
    Buffer bufferA, bufferB;
    const QStringView textoA = Decodificar(a, bytesA, bufferA);
    const QStringView textoB = Decodificar(b, bytesB, bufferB);
    const int resultado = static_cast<Colacion*>(contexto)->collator.compare(textoA, textoB);
    if (resultado != 0)
        return resultado;
    // Texts the collator holds equal must still have one fixed order, or an index breaks.
    const int comun = std::min(bytesA, bytesB);
    const int bytesIguales = std::memcmp(a, b, static_cast<size_t>(comun));
    return bytesIguales != 0 ? bytesIguales : bytesA - bytesB;
}

int CompararUtf16(void* contexto, int bytesA, const void* a, int bytesB, const void* b)
{
    const QStringView textoA(static_cast<const QChar*>(a), bytesA / 2);
    const QStringView textoB(static_cast<const QChar*>(b), bytesB / 2);
    const int resultado = static_cast<Colacion*>(contexto)->collator.compare(textoA, textoB);
    return resultado != 0 ? resultado : textoA.compare(textoB);
}

void Liberar(void* contexto)
{
    delete static_cast<Colacion*>(contexto);
}

} // namespace

int RegistrarColacionEspanola(sqlite3* conexion)
{
    // SQLite frees the context only when the registration succeeds.
    auto* utf8 = new Colacion;
    int resultado = sqlite3_create_collation_v2(conexion, "es", SQLITE_UTF8, utf8, CompararUtf8, Liberar);
    if (resultado != SQLITE_OK) {
        delete utf8;
        return resultado;
    }
    auto* utf16 = new Colacion;
    resultado = sqlite3_create_collation_v2(conexion, "es", SQLITE_UTF16, utf16, CompararUtf16, Liberar);
    if (resultado != SQLITE_OK)
        delete utf16;
    return resultado;
}
