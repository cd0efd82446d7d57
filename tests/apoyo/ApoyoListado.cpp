#include "tests/apoyo/ApoyoListado.h"

#include "component/ClassProvincias.h"
#include "component/DatosComunes.h"
#include "data/EsquemaProvincias.h"
#include "tests/apoyo/Falsos.h"
#include "maintenance/FrmProvincias.h"
#include "runtime/InstanciaPredeterminada.h"
#include "listing/ListadoProvincias.h"
#include "tramacor/UtilidadesAnfitrion.h"
#include "printing/SuperficieImpresora.h"

#include <QProcess>
#include <QRegularExpression>
#include <algorithm>

BaseListado::~BaseListado()
{
    if (Comunes().Conexion == Conexion()) {
        Comunes().TextosListado.Liberar();
        Comunes().Conexion.reset();
    }
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
    QStringList codigos;
    for (const QStringList& fila : FilasDe(*Conexion(), sentencia))
        codigos << fila.value(0); // the table's first column
    return codigos;
}

void BaseListado::Instalar() const
{
    Comunes().Conexion = Conexion();
    UtilidadesAnfitrion::AbrirTextos(Comunes().TextosListado, Conexion());
}

void BaseListado::CargarVentana(ClassProvincias& clase)
{
    principal_ = std::make_unique<Form>(QStringLiteral("FrmPrincipal"));
    ubicacion_ = std::make_unique<Form>(QStringLiteral("FrmUbicacion"));
    auto utiles = std::make_shared<UtilidadesFalsas>();
    utiles->Conexion = Conexion();
    utiles->Principal = principal_.get();
    utiles->Ubicacion = ubicacion_.get();
    std::shared_ptr<IUtilidades> datos = utiles;
    clase.Cargar(datos);
}

FrmProvincias* VentanaProvincias()
{
    return qobject_cast<FrmProvincias*>(InstanciaPredeterminada<FrmProvincias>::Referencia());
}

int SuperficieGrabadora::Veces(const QString& texto) const
{
    return int(std::count_if(Impresos.begin(), Impresos.end(), [&](const Impreso& i) { return i.Texto == texto; }));
}

QStringList SuperficieGrabadora::Filas(bool soloPrimeraPagina) const
{
    QStringList codigos;
    for (const Impreso& i : Impresos)
        if (i.X == 1.2 && i.Puntos == 11 && !(soloPrimeraPagina && i.Salto > 0))
            codigos << i.Texto;
    return codigos;
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
    Impresos << Impreso{texto, CurrentX(), FontSize(), Saltos};
    SuperficiePagina::Print(texto, finLinea);
}

SuperficieDestino& SuperficieGrabadora::PaginaSiguiente()
{
    ++Saltos;
    Cls();
    return *this;
}

std::unique_ptr<ListadoEnCurso> Dibujar(SuperficieDestino& superficie, const IDialogoImpresion& opciones)
{
    auto listado = std::make_unique<ListadoEnCurso>(opciones, QString(), nullptr);
    listado->Preparar(superficie);
    if (auto* pagina = dynamic_cast<SuperficiePagina*>(&superficie)) {
        pagina->SetWidth(11906);
        pagina->SetHeight(16838);
    } else {
        dynamic_cast<SuperficieImpresora&>(superficie).SetPaperSize(SuperficieImpresora::PapelA4);
    }
    SuperficieDestino* actual = &superficie;
    listado->ImprimirListado(actual);
    return listado;
}

int FilasPorPaginaA4()
{
    SuperficieGrabadora superficie;
    Dibujar(superficie);
    return int(superficie.Filas(true).size());
}

Salida Ejecutar(const QString& programa, const QStringList& argumentos)
{
    QProcess proceso;
    proceso.start(programa, argumentos);
    if (!proceso.waitForFinished(300000) || proceso.exitStatus() != QProcess::NormalExit)
        return {};
    return {proceso.exitCode(), QString::fromUtf8(proceso.readAllStandardError()),
            QString::fromUtf8(proceso.readAllStandardOutput())};
}

QString TextoPdf(const QString& archivo)
{
    return Ejecutar(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), archivo, QStringLiteral("-")}).texto;
}

int PaginasPdf(const QString& archivo)
{
    static const QRegularExpression paginas(QStringLiteral("^Pages:\\s+(\\d+)"), QRegularExpression::MultilineOption);
    const QRegularExpressionMatch encontrado = paginas.match(Ejecutar(QStringLiteral("pdfinfo"), {archivo}).texto);
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
