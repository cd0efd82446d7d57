#include "ApoyoListado.h"

#include "DatosComunes.h"
#include "ErrorDatos.h"
#include "ErroresDatos.h"
#include "EsquemaProvincias.h"
#include "ListadoProvincias.h"
#include "Recordset.h"

#include <QCoreApplication>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QUrl>

BaseListado::BaseListado(bool postgres)
{
    QString origen;
    if (!postgres) {
        carpeta_ = std::make_unique<QTemporaryDir>();
        origen = carpeta_->filePath(QStringLiteral("provincias.db"));
    } else {
        servidor_ = qEnvironmentVariable("QUILTREN_PG_URL");
        if (servidor_.isEmpty())
            throw ErrorDatos(ErroresDatos::FalloConexion,
                             QStringLiteral("QUILTREN_PG_URL no está definida: esta prueba necesita PostgreSQL."));
        nombre_ = QStringLiteral("prueba_listado_%1_%2")
                      .arg(QCoreApplication::applicationPid())
                      .arg(QRandomGenerator::global()->generate());
        Connection::Abrir(servidor_)->Execute(QStringLiteral("CREATE DATABASE %1").arg(nombre_));
        QUrl url(servidor_);
        url.setPath(QLatin1Char('/') + nombre_);
        origen = url.toString();
    }
    conexion_ = AbrirBaseProvincias(origen);
}

BaseListado::~BaseListado()
{
    if (DatosComunes::Conexion == conexion_) {
        DatosComunes::TextosListado.Liberar();
        DatosComunes::Conexion.reset();
    }
    conexion_.reset();
    if (!nombre_.isEmpty()) {
        try {
            Connection::Abrir(servidor_)->Execute(QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(nombre_));
        } catch (const ErrorDatos& error) {
            qWarning("No se pudo borrar la base de prueba %s: %s", qPrintable(nombre_), error.what());
        }
    }
}

void BaseListado::Reponer()
{
    for (const char* tabla : {"Municipios", "Provincias", "Textos", "Auditoria"})
        conexion_->Execute(QStringLiteral("DROP TABLE IF EXISTS %1").arg(QLatin1String(tabla)));
    CrearEsquemaSiFalta(*conexion_);
}

void BaseListado::Filas(const QList<QPair<QString, QString>>& filas)
{
    Generadas(0);
    for (const auto& fila : filas)
        conexion_->Execute(QStringLiteral("INSERT INTO Provincias (Codigo, Provincia) VALUES ('%1', '%2')")
                               .arg(fila.first, fila.second));
}

void BaseListado::Codigos(const QStringList& codigos)
{
    QList<QPair<QString, QString>> filas;
    for (const QString& codigo : codigos)
        filas.append({codigo, QStringLiteral("Provincia ") + codigo});
    Filas(filas);
}

void BaseListado::Generadas(int cuantas)
{
    LlenarProvinciasDePrueba(*conexion_, cuantas);
}

QStringList BaseListado::CodigosSegun(const QString& sentencia) const
{
    Recordset filas;
    filas.Open(sentencia, conexion_, Recordset::adOpenStatic, Recordset::adLockReadOnly, -1);
    QStringList codigos;
    for (; !filas.Eof(); filas.MoveNext())
        codigos << filas.Fields(QStringLiteral("Codigo")).Value().toString();
    return codigos;
}

void BaseListado::Instalar() const
{
    DatosComunes::Conexion = conexion_;
    auto textos = std::make_shared<Recordset>();
    textos->Open(SentenciaTextos(), conexion_, Recordset::adOpenStatic, Recordset::adLockReadOnly, -1);
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

QList<SuperficieGrabadora::Llamada> SuperficieGrabadora::De(const QString& que) const
{
    QList<Llamada> lista;
    for (const Llamada& llamada : Llamadas)
        if (llamada.Que == que)
            lista << llamada;
    return lista;
}

QList<SuperficieGrabadora::Llamada> SuperficieGrabadora::Textos(const QString& texto) const
{
    QList<Llamada> lista;
    for (const Llamada& llamada : De(QStringLiteral("Print")))
        if (llamada.Texto == texto)
            lista << llamada;
    return lista;
}

QStringList SuperficieGrabadora::Filas() const
{
    QStringList codigos;
    for (const Llamada& llamada : De(QStringLiteral("Print")))
        if (llamada.X == 1.2 && llamada.Puntos == 11)
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

double SuperficieGrabadora::ScaleHeight() const
{
    return altoUtil_ > 0 ? altoUtil_ : SuperficiePagina::ScaleHeight();
}

double SuperficieGrabadora::TextHeight(const QString& texto) const
{
    const double alto = SuperficiePagina::TextHeight(texto);
    if (texto == QLatin1String("X"))
        Medidas << Medida{CurrentY(), alto, FontSize()};
    return alto;
}

SuperficieGrabadora::Llamada SuperficieGrabadora::Anotar(const QString& que, const QString& texto) const
{
    return Llamada{que, texto, CurrentX(), CurrentY(), 0, 0, FontSize(), FontBold(), ForeColor(), ModoLinea::Linea};
}

void SuperficieGrabadora::Print(const QString& texto, bool finLinea)
{
    Llamadas << Anotar(QStringLiteral("Print"), texto);
    SuperficiePagina::Print(texto, finLinea);
}

void SuperficieGrabadora::Line(double x1, double y1, double x2, double y2, const QColor& color, ModoLinea modo)
{
    Llamadas << Llamada{QStringLiteral("Line"), {}, x1, y1, x2, y2, FontSize(), FontBold(),
                        color.isValid() ? color : ForeColor(), modo};
    SuperficiePagina::Line(x1, y1, x2, y2, color, modo);
}

void SuperficieGrabadora::PaintPicture(const QImage& imagen, double x, double y, double ancho, double alto)
{
    Llamadas << Llamada{QStringLiteral("PaintPicture"), {}, x, y, ancho, alto, 0, false, QColor(), ModoLinea::Linea};
    SuperficiePagina::PaintPicture(imagen, x, y, ancho, alto);
}

void SuperficieGrabadora::NewPage()
{
    Llamadas << Anotar(QStringLiteral("NewPage"));
    Cls();
}

int FilasPorPaginaA4()
{
    SuperficieGrabadora superficie(true);
    SuperficieDestino* actual = &superficie;
    const short antes = DatosComunes::NumeroPagina;
    ImprimirListado(OpcionesFijas(), actual, nullptr);
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
