#include "ApoyoListado.h"

#include "DatosComunes.h"
#include "EsquemaProvincias.h"
#include "ListadoProvincias.h"
#include "Recordset.h"

#include <QProcess>
#include <algorithm>
#include <QRegularExpression>

BaseListado::~BaseListado()
{
    if (DatosComunes::Conexion == Conexion()) {
        DatosComunes::TextosListado.Liberar();
        DatosComunes::Conexion.reset();
    }
}

void BaseListado::Reponer()
{
    for (const char* tabla : {"Municipios", "Provincias", "Textos", "Auditoria"})
        Conexion()->Execute(QStringLiteral("DROP TABLE IF EXISTS %1").arg(QLatin1String(tabla)));
    CrearEsquemaSiFalta(*Conexion());
}

void BaseListado::Filas(const QList<QPair<QString, QString>>& filas)
{
    Generadas(0);
    for (const auto& fila : filas)
        Conexion()->Execute(QStringLiteral("INSERT INTO Provincias (Codigo, Provincia) VALUES ('%1', '%2')")
                                .arg(fila.first, fila.second));
}

void BaseListado::Generadas(int cuantas)
{
    LlenarProvinciasDePrueba(*Conexion(), cuantas);
}

QStringList BaseListado::CodigosSegun(const QString& sentencia) const
{
    Recordset filas;
    filas.Open(sentencia, Conexion(), Recordset::adOpenStatic, Recordset::adLockReadOnly, -1);
    QStringList codigos;
    for (; !filas.Eof(); filas.MoveNext())
        codigos << filas.Fields(QStringLiteral("Codigo")).Value().toString();
    return codigos;
}

void BaseListado::Instalar() const
{
    DatosComunes::Conexion = Conexion();
    auto textos = std::make_shared<Recordset>();
    textos->Open(SentenciaTextos(), Conexion(), Recordset::adOpenStatic, Recordset::adLockReadOnly, -1);
    DatosComunes::TextosListado = textos;
}

SuperficieGrabadora::SuperficieGrabadora(bool comoImpresora, double altoUtil)
    : impresora_(comoImpresora), altoUtil_(altoUtil)
{
    SetScaleMode(Centimetros);
    SetFontTransparent(true);
    SetBkMode(Transparente);
    SetFillStyle(1);
    SetWidth(11906);
    SetHeight(16838);
}

int SuperficieGrabadora::Cuantas(const QString& que) const
{
    return int(std::count_if(Llamadas.begin(), Llamadas.end(), [&](const Llamada& l) { return l.Que == que; }));
}

int SuperficieGrabadora::Impresos(const QString& texto) const
{
    return int(std::count_if(Llamadas.begin(), Llamadas.end(),
                             [&](const Llamada& l) { return l.Que == QLatin1String("Print") && l.Texto == texto; }));
}

QStringList SuperficieGrabadora::Filas() const
{
    QStringList codigos;
    for (const Llamada& llamada : Llamadas)
        if (llamada.Que == QLatin1String("Print") && llamada.X == 1.2 && llamada.Puntos == 11)
            codigos << llamada.Texto;
    return codigos;
}

int SuperficieGrabadora::FilasAntesDelSalto() const
{
    int filas = 0;
    for (const Llamada& llamada : Llamadas) {
        if (llamada.Que == QLatin1String("NewPage"))
            break;
        filas += llamada.Que == QLatin1String("Print") && llamada.X == 1.2 && llamada.Puntos == 11;
    }
    return filas;
}

double SuperficieGrabadora::TextHeight(const QString& texto) const
{
    const double alto = SuperficiePagina::TextHeight(texto);
    if (texto == QLatin1String("X"))
        Medidas << Medida{CurrentY(), alto, FontSize()};
    return alto;
}

void SuperficieGrabadora::Print(const QString& texto, bool finLinea)
{
    Llamadas << Llamada{QStringLiteral("Print"), texto, CurrentX(), CurrentY(), FontSize()};
    SuperficiePagina::Print(texto, finLinea);
}

void SuperficieGrabadora::PaintPicture(const QImage& imagen, double x, double y, double ancho, double alto)
{
    Llamadas << Llamada{QStringLiteral("PaintPicture"), {}, x, y, 0};
    SuperficiePagina::PaintPicture(imagen, x, y, ancho, alto);
}

void SuperficieGrabadora::NewPage()
{
    Llamadas << Llamada{QStringLiteral("NewPage"), {}, CurrentX(), CurrentY(), FontSize()};
    Cls();
}

void Dibujar(SuperficieGrabadora& superficie, const IDialogoImpresion& opciones)
{
    SuperficieDestino* actual = &superficie;
    DatosComunes::NumeroPagina = 0;
    ImprimirListado(opciones, actual, nullptr);
}

int FilasPorPaginaA4()
{
    SuperficieGrabadora superficie(true);
    const short antes = DatosComunes::NumeroPagina;
    Dibujar(superficie, OpcionesFijas());
    DatosComunes::NumeroPagina = antes;
    return superficie.FilasAntesDelSalto();
}

namespace {

QString Salida(const QString& programa, const QStringList& argumentos)
{
    QProcess proceso;
    proceso.start(programa, argumentos);
    if (!proceso.waitForFinished(120000) || proceso.exitCode() != 0)
        return QString();
    return QString::fromUtf8(proceso.readAllStandardOutput());
}

}  // namespace

QString TextoPdf(const QString& archivo)
{
    return Salida(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), archivo, QStringLiteral("-")});
}

int PaginasPdf(const QString& archivo)
{
    static const QRegularExpression paginas(QStringLiteral("^Pages:\\s+(\\d+)"), QRegularExpression::MultilineOption);
    const QRegularExpressionMatch encontrado = paginas.match(Salida(QStringLiteral("pdfinfo"), {archivo}));
    return encontrado.hasMatch() ? encontrado.captured(1).toInt() : -1;
}

QStringList CodigosDelTexto(const QString& texto, const QStringList& posibles)
{
    static const QRegularExpression fila(QStringLiteral("^\\s*(\\S+)\\s{2,}\\S.*$"), QRegularExpression::MultilineOption);
    QStringList codigos;
    for (auto it = fila.globalMatch(texto); it.hasNext();) {
        const QString codigo = it.next().captured(1);
        if (posibles.contains(codigo))
            codigos << codigo;
    }
    return codigos;
}
