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

BaseListado::BaseListado(bool postgres) : postgres_(postgres)
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
    if (postgres_ && !nombre_.isEmpty()) {
        try {
            Connection::Abrir(servidor_)->Execute(
                QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(nombre_));
        } catch (const ErrorDatos& error) {
            qWarning("No se pudo borrar la base de prueba %s: %s", qPrintable(nombre_), error.what());
        }
    }
}

void BaseListado::Filas(const QList<QPair<QString, QString>>& filas)
{
    conexion_->Execute(QStringLiteral("DELETE FROM Municipios"));
    conexion_->Execute(QStringLiteral("DELETE FROM Provincias"));
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

void BaseListado::Reponer()
{
    for (const char* tabla : {"Municipios", "Provincias", "Textos", "Auditoria"})
        conexion_->Execute(QStringLiteral("DROP TABLE IF EXISTS %1").arg(QLatin1String(tabla)));
    CrearEsquemaSiFalta(*conexion_);
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
    filas.Close();
    return codigos;
}

void BaseListado::Instalar() const
{
    DatosComunes::Conexion = conexion_;
    auto textos = std::make_shared<Recordset>();
    textos->Open(SentenciaTextos(), conexion_, Recordset::adOpenStatic, Recordset::adLockReadOnly, -1);
    DatosComunes::TextosListado = textos;
}

SuperficieGrabadora::SuperficieGrabadora(double anchoCm, double altoCm) : ancho_(anchoCm), alto_(altoCm) {}

SuperficieGrabadora::SuperficieGrabadora(SuperficiePagina& pagina, bool comoImpresora)
    : real_(&pagina), comoImpresora_(comoImpresora)
{
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
    for (const Llamada& llamada : Llamadas)
        if (llamada.Que == QLatin1String("Print") && llamada.Texto == texto)
            lista << llamada;
    return lista;
}

SuperficieGrabadora::Llamada SuperficieGrabadora::Anotar(const QString& que, const QString& texto) const
{
    Llamada llamada;
    llamada.Que = que;
    llamada.Texto = texto;
    llamada.X = CurrentX();
    llamada.Y = CurrentY();
    llamada.Puntos = FontSize();
    llamada.Negrita = FontBold();
    llamada.Fuente = FontName();
    llamada.Color = ForeColor();
    return llamada;
}

int SuperficieGrabadora::SetBkMode(int modo)
{
    if (real_)
        return real_->SetBkMode(modo);
    const int antes = modo_;
    modo_ = modo;
    return antes;
}

int SuperficieGrabadora::ScaleMode() const { return real_ ? real_->ScaleMode() : escala_; }
void SuperficieGrabadora::SetScaleMode(int modo) { real_ ? real_->SetScaleMode(modo) : void(escala_ = modo); }
bool SuperficieGrabadora::FontTransparent() const { return real_ ? real_->FontTransparent() : transparente_; }
void SuperficieGrabadora::SetFontTransparent(bool t) { real_ ? real_->SetFontTransparent(t) : void(transparente_ = t); }
int SuperficieGrabadora::FillStyle() const { return real_ ? real_->FillStyle() : estilo_; }
void SuperficieGrabadora::SetFillStyle(int e) { real_ ? real_->SetFillStyle(e) : void(estilo_ = e); }
QColor SuperficieGrabadora::FillColor() const { return real_ ? real_->FillColor() : relleno_; }
void SuperficieGrabadora::SetFillColor(const QColor& c) { real_ ? real_->SetFillColor(c) : void(relleno_ = c); }
QColor SuperficieGrabadora::BackColor() const { return real_ ? real_->BackColor() : fondo_; }
void SuperficieGrabadora::SetBackColor(const QColor& c) { real_ ? real_->SetBackColor(c) : void(fondo_ = c); }
double SuperficieGrabadora::ScaleWidth() const { return real_ ? real_->ScaleWidth() : ancho_; }
double SuperficieGrabadora::ScaleHeight() const { return real_ ? real_->ScaleHeight() : alto_; }
double SuperficieGrabadora::CurrentX() const { return real_ ? real_->CurrentX() : x_; }
void SuperficieGrabadora::SetCurrentX(double x) { real_ ? real_->SetCurrentX(x) : void(x_ = x); }
double SuperficieGrabadora::CurrentY() const { return real_ ? real_->CurrentY() : y_; }
void SuperficieGrabadora::SetCurrentY(double y) { real_ ? real_->SetCurrentY(y) : void(y_ = y); }

double SuperficieGrabadora::TextWidth(const QString& texto) const
{
    return real_ ? real_->TextWidth(texto) : double(texto.size()) * puntos_ / 40.0;
}

double SuperficieGrabadora::TextHeight(const QString& texto) const
{
    return real_ ? real_->TextHeight(texto) : puntos_ / 16.0;
}

QString SuperficieGrabadora::FontName() const { return real_ ? real_->FontName() : fuente_; }
void SuperficieGrabadora::SetFontName(const QString& n) { real_ ? real_->SetFontName(n) : void(fuente_ = n); }
double SuperficieGrabadora::FontSize() const { return real_ ? real_->FontSize() : puntos_; }
void SuperficieGrabadora::SetFontSize(double p) { real_ ? real_->SetFontSize(p) : void(puntos_ = p); }
bool SuperficieGrabadora::FontBold() const { return real_ ? real_->FontBold() : negrita_; }
void SuperficieGrabadora::SetFontBold(bool b) { real_ ? real_->SetFontBold(b) : void(negrita_ = b); }
QColor SuperficieGrabadora::ForeColor() const { return real_ ? real_->ForeColor() : color_; }
void SuperficieGrabadora::SetForeColor(const QColor& c) { real_ ? real_->SetForeColor(c) : void(color_ = c); }

void SuperficieGrabadora::Print(const QString& texto, bool finLinea)
{
    Llamadas << Anotar(QStringLiteral("Print"), texto);
    if (real_) {
        real_->Print(texto, finLinea);
    } else if (finLinea) {
        x_ = 0;
        y_ += TextHeight(texto);
    } else {
        x_ += TextWidth(texto);
    }
}

void SuperficieGrabadora::Line(double x1, double y1, double x2, double y2, const QColor& color, ModoLinea modo)
{
    Llamada llamada = Anotar(QStringLiteral("Line"));
    llamada.X = x1;
    llamada.Y = y1;
    llamada.X2 = x2;
    llamada.Y2 = y2;
    llamada.Color = color.isValid() ? color : ForeColor();
    llamada.Modo = modo;
    Llamadas << llamada;
    if (real_) {
        real_->Line(x1, y1, x2, y2, color, modo);
    } else {
        x_ = x2;
        y_ = y2;
    }
}

void SuperficieGrabadora::PaintPicture(const QImage& imagen, double x, double y, double ancho, double alto)
{
    Llamada llamada = Anotar(QStringLiteral("PaintPicture"));
    llamada.X = x;
    llamada.Y = y;
    llamada.X2 = ancho;
    llamada.Y2 = alto;
    Llamadas << llamada;
    if (real_)
        real_->PaintPicture(imagen, x, y, ancho, alto);
}

void SuperficieGrabadora::Cls()
{
    Llamadas << Anotar(QStringLiteral("Cls"));
    if (real_)
        real_->Cls();
    x_ = y_ = 0;
}

int SuperficieGrabadora::Width() const { return real_ ? real_->Width() : qRound(ancho_ * 1440 / 2.54); }
void SuperficieGrabadora::SetWidth(int twips) { if (real_) real_->SetWidth(twips); }
int SuperficieGrabadora::Height() const { return real_ ? real_->Height() : qRound(alto_ * 1440 / 2.54); }
void SuperficieGrabadora::SetHeight(int twips) { if (real_) real_->SetHeight(twips); }
int SuperficieGrabadora::Left() const { return real_ ? real_->Left() : 0; }
void SuperficieGrabadora::SetLeft(int twips) { if (real_) real_->SetLeft(twips); }
int SuperficieGrabadora::Top() const { return real_ ? real_->Top() : 0; }
void SuperficieGrabadora::SetTop(int twips) { if (real_) real_->SetTop(twips); }

void SuperficieGrabadora::NewPage()
{
    Llamadas << Anotar(QStringLiteral("NewPage"));
    x_ = y_ = 0;
}

void SuperficieGrabadora::EndDoc()
{
    Llamadas << Anotar(QStringLiteral("EndDoc"));
}

void PrepararPaginaA4(SuperficiePagina& pagina)
{
    pagina.SetScaleMode(SuperficieDestino::Centimetros);
    pagina.SetFontTransparent(true);
    pagina.SetBkMode(SuperficieDestino::Transparente);
    pagina.SetFillStyle(1);
    pagina.SetWidth(11906);
    pagina.SetHeight(16838);
}

int FilasPorPaginaA4()
{
    SuperficiePagina pagina;
    PrepararPaginaA4(pagina);
    SuperficieGrabadora superficie(pagina, true);
    SuperficieDestino* actual = &superficie;
    const short antes = DatosComunes::NumeroPagina;
    ImprimirListado(OpcionesFijas(), actual, nullptr);
    DatosComunes::NumeroPagina = antes;
    int filas = 0;
    for (const auto& llamada : superficie.Llamadas) {
        if (llamada.Que == QLatin1String("NewPage"))
            break;
        if (llamada.Que == QLatin1String("Print") && llamada.X == 1.2 && llamada.Puntos == 11)
            ++filas;
    }
    return filas;
}

QString TextoPdf(const QString& archivo)
{
    QProcess proceso;
    proceso.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), archivo, QStringLiteral("-")});
    if (!proceso.waitForFinished(120000) || proceso.exitCode() != 0)
        return QString();
    return QString::fromUtf8(proceso.readAllStandardOutput());
}

int PaginasPdf(const QString& archivo)
{
    QProcess proceso;
    proceso.start(QStringLiteral("pdfinfo"), {archivo});
    if (!proceso.waitForFinished(60000) || proceso.exitCode() != 0)
        return -1;
    const QRegularExpression paginas(QStringLiteral("^Pages:\\s+(\\d+)"), QRegularExpression::MultilineOption);
    const QRegularExpressionMatch encontrado = paginas.match(QString::fromUtf8(proceso.readAllStandardOutput()));
    return encontrado.hasMatch() ? encontrado.captured(1).toInt() : -1;
}
