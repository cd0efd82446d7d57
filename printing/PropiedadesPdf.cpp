#include "printing/PropiedadesPdf.h"

#include "printing/ErrorImpresion.h"

#include <QDateTime>
#include <QFile>
#include <QRegularExpression>

namespace {

// A text string of the PDF: UTF-16 big-endian with its byte order mark, in hexadecimal, which needs
// no escaping whatever the text holds.
QByteArray TextoPdf(const QString& texto)
{
    QByteArray bytes("\xFE\xFF", 2);
    for (const QChar c : texto) {
        bytes.append(char(c.unicode() >> 8));
        bytes.append(char(c.unicode() & 0xFF));
    }
    return '<' + bytes.toHex().toUpper() + '>';
}

QByteArray FechaPdf(const QDateTime& momento)
{
    const int minutos = momento.offsetFromUtc() / 60;
    return momento.toString(QStringLiteral("'D:'yyyyMMddHHmmss")).toLatin1()
        + QStringLiteral("%1%2'%3'")
              .arg(minutos < 0 ? QLatin1Char('-') : QLatin1Char('+'))
              .arg(qAbs(minutos) / 60, 2, 10, QLatin1Char('0'))
              .arg(qAbs(minutos) % 60, 2, 10, QLatin1Char('0'))
              .toLatin1();
}

}  // namespace

void EscribirPropiedadesPdf(const QString& archivo, const QString& titulo, const QString& autor)
{
    QFile pdf(archivo);
    if (!pdf.open(QIODevice::ReadWrite))
        throw ErrorImpresion(QStringLiteral("No se puede abrir el archivo PDF \"%1\" para anotar sus propiedades.").arg(archivo));
    const qint64 fin = pdf.size();
    pdf.seek(qMax<qint64>(0, fin - 1024));
    const QString cola = QString::fromLatin1(pdf.read(1024));
    auto numero = [&](const QString& patron) -> qint64 {
        QRegularExpressionMatchIterator encontrados = QRegularExpression(patron).globalMatch(cola);
        QRegularExpressionMatch ultimo;
        while (encontrados.hasNext())
            ultimo = encontrados.next();
        return ultimo.hasMatch() ? ultimo.captured(1).toLongLong() : -1;
    };
    const qint64 tamano = numero(QStringLiteral("/Size (\\d+)"));
    const qint64 raiz = numero(QStringLiteral("/Root (\\d+) 0 R"));
    const qint64 tablaAnterior = numero(QStringLiteral("startxref\\s+(\\d+)"));
    if (tamano <= 0 || raiz <= 0 || tablaAnterior <= 0 || !cola.trimmed().endsWith(QLatin1String("%%EOF")))
        throw ErrorImpresion(QStringLiteral("El archivo PDF \"%1\" no termina como un PDF completo.").arg(archivo));

    // A new object for the properties, one more entry in a table of its own that points back to
    // the previous one, and a trailer that names the new properties.
    QByteArray anexo = cola.endsWith(QLatin1Char('\n')) ? QByteArray() : QByteArray("\n");
    const qint64 objeto = fin + anexo.size();
    anexo += QByteArray::number(tamano) + " 0 obj\n<<\n/Title " + TextoPdf(titulo) + "\n/Author " + TextoPdf(autor)
        + "\n/Creator " + TextoPdf(QStringLiteral("Quiltren")) + "\n/Producer " + TextoPdf(QStringLiteral("Qt ") + qVersion())
        + "\n/CreationDate (" + FechaPdf(QDateTime::currentDateTime()) + ")\n>>\nendobj\n";
    const qint64 tabla = fin + anexo.size();
    anexo += "xref\n" + QByteArray::number(tamano) + " 1\n" + QByteArray::number(objeto).rightJustified(10, '0')
        + " 00000 n \ntrailer\n<<\n/Size " + QByteArray::number(tamano + 1) + "\n/Root " + QByteArray::number(raiz)
        + " 0 R\n/Info " + QByteArray::number(tamano) + " 0 R\n/Prev " + QByteArray::number(tablaAnterior)
        + "\n>>\nstartxref\n" + QByteArray::number(tabla) + "\n%%EOF\n";
    if (!pdf.seek(fin) || pdf.write(anexo) != anexo.size() || !pdf.flush())
        throw ErrorImpresion(QStringLiteral("No se han podido anotar las propiedades del archivo PDF \"%1\".").arg(archivo));
}
