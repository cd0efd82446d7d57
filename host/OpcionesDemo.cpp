#include "host/OpcionesDemo.h"

#include <QRegularExpression>

namespace {

constexpr long TwipsPorPixel = 15;

// Sizes from 320 × 200 to 16384 × 16384 pixels make sense as a design screen.
bool LeerBase(const QString& texto, long& ancho, long& alto)
{
    static const QRegularExpression patron(QStringLiteral("^(\\d{1,5})[xX×](\\d{1,5})$"));
    const QRegularExpressionMatch m = patron.match(texto.trimmed());
    if (!m.hasMatch())
        return false;
    const long a = m.captured(1).toLong();
    const long h = m.captured(2).toLong();
    if (a < 320 || h < 200 || a > 16384 || h > 16384)
        return false;
    ancho = a * TwipsPorPixel;
    alto = h * TwipsPorPixel;
    return true;
}

} // namespace

OpcionesDemo LeerOpciones(const QStringList& argumentos)
{
    OpcionesDemo o;
    bool hayOrden = false, hayDesde = false, hayHasta = false;
    for (int i = 0; i < argumentos.size() && o.Error.isEmpty(); ++i) {
        QString nombre = argumentos.at(i);
        QString valor;
        bool conValor = false;
        const int igual = nombre.indexOf(QLatin1Char('='));
        if (nombre.startsWith(QLatin1String("--")) && igual > 0) {
            valor = nombre.mid(igual + 1);
            nombre = nombre.left(igual);
            conValor = true;
        }
        auto tomarValor = [&]() -> bool {
            if (conValor)
                return true;
            if (i + 1 >= argumentos.size()) {
                o.Error = QStringLiteral("Falta el valor de la opción %1.").arg(nombre);
                return false;
            }
            valor = argumentos.at(++i);
            return true;
        };

        if (nombre == QLatin1String("--ayuda") || nombre == QLatin1String("--help") || nombre == QLatin1String("-h")) {
            o.Ayuda = true;
        } else if (nombre == QLatin1String("--version")) {
            o.Version = true;
        } else if (nombre == QLatin1String("--db")) {
            if (tomarValor()) {
                o.Base = valor;
                if (valor.isEmpty())
                    o.Error = QStringLiteral("La opción --db necesita una ruta o una dirección postgresql://.");
            }
        } else if (nombre == QLatin1String("--base")) {
            if (tomarValor() && !LeerBase(valor, o.AnchoBase, o.AltoBase))
                o.Error = QStringLiteral("Tamaño de pantalla no válido en --base: «%1». Use ANCHOxALTO en píxeles, por ejemplo 1024x768.").arg(valor);
        } else if (nombre == QLatin1String("--captura")) {
            if (tomarValor()) {
                o.Captura = valor;
                if (valor.isEmpty())
                    o.Error = QStringLiteral("La opción --captura necesita el nombre de un archivo PNG.");
            }
        } else if (nombre == QLatin1String("--listado")) {
            if (tomarValor()) {
                o.Listado = valor;
                if (valor.isEmpty())
                    o.Error = QStringLiteral("La opción --listado necesita el nombre de un archivo PDF.");
            }
        } else if (nombre == QLatin1String("--impresora")) {
            if (tomarValor()) {
                o.Impresora = valor;
                if (valor.isEmpty())
                    o.Error = QStringLiteral("La opción --impresora necesita el nombre de una impresora (véalos con --impresoras).");
            }
        } else if (nombre == QLatin1String("--impresoras")) {
            o.Impresoras = true;
        } else if (nombre == QLatin1String("--orden")) {
            if (tomarValor()) {
                hayOrden = true;
                if (valor == QLatin1String("codigo") || valor == QLatin1String("código"))
                    o.OrdenPorCodigo = true;
                else if (valor == QLatin1String("nombre"))
                    o.OrdenPorCodigo = false;
                else
                    o.Error = QStringLiteral("Orden no válido: «%1». Use codigo o nombre.").arg(valor);
            }
        } else if (nombre == QLatin1String("--desde")) {
            if (tomarValor()) {
                hayDesde = true;
                o.CodigoDesde = valor;
            }
        } else if (nombre == QLatin1String("--hasta")) {
            if (tomarValor()) {
                hayHasta = true;
                o.CodigoHasta = valor;
            }
        } else {
            o.Error = QStringLiteral("Opción desconocida: «%1». Use --ayuda para ver las opciones.").arg(argumentos.at(i));
        }
    }
    if (!o.Error.isEmpty())
        return o;
    if ((hayOrden || hayDesde || hayHasta) && o.Listado.isEmpty() && o.Impresora.isEmpty())
        o.Error = QStringLiteral("Las opciones --orden, --desde y --hasta solo sirven con --listado o --impresora.");
    else if (!o.Listado.isEmpty() && !o.Impresora.isEmpty())
        o.Error = QStringLiteral("Las opciones --listado e --impresora no se pueden usar juntas.");
    else if (!o.Impresora.isEmpty() && !o.Captura.isEmpty())
        o.Error = QStringLiteral("Las opciones --impresora y --captura no se pueden usar juntas.");
    else if (hayDesde != hayHasta)
        o.Error = QStringLiteral("Indique a la vez --desde y --hasta.");
    else if (!o.Listado.isEmpty() && !o.Captura.isEmpty())
        o.Error = QStringLiteral("Las opciones --listado y --captura no se pueden usar juntas.");
    o.ConRango = hayDesde;
    return o;
}

QString TextoAyuda()
{
    return QStringLiteral(
        "Uso: quiltren-demo [opciones]\n"
        "\n"
        "Abre la base de datos de provincias y la ficha de mantenimiento de provincias.\n"
        "\n"
        "Opciones:\n"
        "  --db RUTA|postgresql://usuario@servidor:puerto/base\n"
        "                        base de datos; por omisión un archivo SQLite en la carpeta\n"
        "                        de datos del usuario (se crea si falta)\n"
        "  --base ANCHOxALTO     pantalla de diseño de las ventanas, en píxeles (1152x864)\n"
        "  --captura ARCHIVO.png guarda una imagen de la pantalla cuando las ventanas se\n"
        "                        han dibujado y termina\n"
        "  --listado ARCHIVO.pdf imprime el listado de provincias en un PDF, sin ventanas\n"
        "  --impresora NOMBRE    envía el listado de provincias a esa impresora, sin ventanas\n"
        "    --orden codigo|nombre   orden del listado (por omisión, nombre)\n"
        "    --desde CÓDIGO --hasta CÓDIGO   limita el listado a esos códigos\n"
        "  --impresoras          muestra las impresoras, una por línea, y cuál es la\n"
        "                        predeterminada\n"
        "  --version             muestra la versión del componente\n"
        "  --ayuda               muestra esta ayuda\n");
}

QString TextoVersion(const QString& version, const QString& locale)
{
    return QStringLiteral("Quiltren %1 (%2)").arg(version, locale);
}
