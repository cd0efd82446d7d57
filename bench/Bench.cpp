// Speed measurements of the system on generated province tables, each against a baseline
// measured in the same run. Prints "BENCH <name> <value> <unit>" per figure and
// "RATIO <name> <value>" (ours / baseline, lower is better) where there is a baseline.
//
//   quiltren-bench grilla MOTOR FILAS      window load, grid refill, responsiveness, row selection
//   quiltren-bench busqueda MOTOR FILAS    host search window: open to first rows, each keystroke
//   quiltren-bench listado MOTOR PAGINAS   PDF listing through quiltren-demo --listado vs plain text
//   quiltren-bench vista MOTOR PAGINAS     screen preview of the listing: first page shown (against one
//                                          page in the same run), all pages drawn, memory
//   quiltren-bench pdf ORIGEN ARCHIVO      the PDF listing alone (child process of "listado")
//
// MOTOR is sqlite (a temporary file) or postgresql (a database of its own on QUILTREN_PG_URL).

#include "controls/Barra.h"
#include "component/ClassProvincias.h"
#include "data/Connection.h"
#include "component/DatosComunes.h"
#include "data/ErrorDatos.h"
#include "data/EsquemaProvincias.h"
#include "tests/apoyo/Falsos.h"
#include "listing/FrmListados.h"
#include "maintenance/FrmProvincias.h"
#include "runtime/InstanciaPredeterminada.h"
#include "listing/ListadoPdf.h"
#include "component/Sentencias.h"
#include "tramacor/UtilidadesAnfitrion.h"
#include "tramacor/VentanaBusqueda.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <malloc.h>
#include <sys/resource.h>
#include <unistd.h>

namespace {

void Cifra(const QString& nombre, double valor, const char* unidad)
{
    std::printf("BENCH %s %.3f %s\n", qPrintable(nombre), valor, unidad);
    std::fflush(stdout);
}

void Razon(const QString& nombre, double nuestro, double base)
{
    std::printf("RATIO %s %.3f\n", qPrintable(nombre), base > 0 ? nuestro / base : 0.0);
    std::fflush(stdout);
}

double Mediana(QList<double> valores)
{
    std::sort(valores.begin(), valores.end());
    return valores.isEmpty() ? 0 : valores[valores.size() / 2];
}

double Percentil(QList<double> valores, double p)
{
    std::sort(valores.begin(), valores.end());
    if (valores.isEmpty())
        return 0;
    const qsizetype i = std::min(valores.size() - 1, qsizetype(p * double(valores.size())));
    return valores[i];
}

double Milisegundos(const std::function<void()>& trabajo)
{
    QElapsedTimer reloj;
    reloj.start();
    trabajo();
    return double(reloj.nsecsElapsed()) / 1e6;
}

// The time until the event loop runs again: a 0-ms timer queued now fires once pending work is done.
double HastaQueResponda()
{
    QElapsedTimer reloj;
    reloj.start();
    bool disparado = false;
    QTimer::singleShot(0, [&] { disparado = true; });
    while (!disparado)
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 50);
    return double(reloj.nsecsElapsed()) / 1e6;
}

// A generated province table of its own, dropped at the end.
class Base {
public:
    Base(const QString& motor, int filas)
    {
        if (motor == QLatin1String("postgresql")) {
            const QString servidor = qEnvironmentVariable("QUILTREN_PG_URL");
            if (servidor.isEmpty())
                throw ErrorDatos(0, QStringLiteral("QUILTREN_PG_URL no está definida (use scripts/con-postgresql.sh)"));
            nombre_ = QStringLiteral("bench_%1_%2").arg(getpid()).arg(QDateTime::currentMSecsSinceEpoch() % 1000000);
            Connection::Abrir(servidor)->Execute(QStringLiteral("CREATE DATABASE %1").arg(nombre_));
            QUrl url(servidor);
            url.setPath(QLatin1Char('/') + nombre_);
            origen_ = url.toString();
        } else {
            origen_ = carpeta_.filePath(QStringLiteral("provincias.db"));
        }
        ConnectionPtr conexion = AbrirBaseProvincias(origen_);
        LlenarProvinciasDePrueba(*conexion, filas);
        if (conexion->EsPostgres())
            conexion->Execute(QStringLiteral("VACUUM ANALYZE Provincias"));
        else
            conexion->Execute(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
    }
    ~Base()
    {
        if (nombre_.isEmpty())
            return;
        try {
            Connection::Abrir(qEnvironmentVariable("QUILTREN_PG_URL"))
                ->Execute(QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(nombre_));
        } catch (const ErrorDatos&) {
        }
    }
    QString Origen() const { return origen_; }

private:
    QTemporaryDir carpeta_;
    QString origen_;
    QString nombre_;
};

// The baseline of every read: S1 through a bare forward-only query, each value taken as text.
double LecturaDesnuda(Connection& conexion, const QString& sentencia)
{
    return Milisegundos([&] {
        QSqlQuery consulta(conexion.Base());
        consulta.setForwardOnly(true);
        consulta.exec(sentencia);
        QStringList codigos, nombres;
        while (consulta.next()) {
            codigos << consulta.value(0).toString();
            nombres << consulta.value(1).toString();
        }
    });
}

QString Etiqueta(const QString& motor, int cantidad)
{
    const QString tam = cantidad >= 1000000 && cantidad % 1000000 == 0 ? QStringLiteral("%1M").arg(cantidad / 1000000)
                        : cantidad >= 1000 && cantidad % 1000 == 0   ? QStringLiteral("%1k").arg(cantidad / 1000)
                                                                     : QString::number(cantidad);
    return motor + QLatin1Char('_') + tam;
}

// The maintenance window loaded the way a host loads it, on `conexion`.
struct VentanaCargada {
    explicit VentanaCargada(const ConnectionPtr& conexion)
        : principal(QStringLiteral("FrmPrincipal")), ubicacion(QStringLiteral("FrmUbicacion"))
    {
        UtilidadesAnfitrion::Datos datos;
        datos.Conexion = conexion;
        datos.Principal = &principal;
        datos.Ubicacion = &ubicacion;
        datos.Usuario = QStringLiteral("bench");
        utiles = std::make_shared<UtilidadesAnfitrion>(datos);
    }
    FrmProvincias* Ventana() const
    {
        if (!InstanciaPredeterminada<FrmProvincias>::Existe())
            throw ErrorDatos(0, QStringLiteral("La ventana de provincias no se ha cargado"));
        return InstanciaPredeterminada<FrmProvincias>::Obtener();
    }
    Form principal;
    Form ubicacion;
    std::shared_ptr<IUtilidades> utiles;
    ClassProvincias clase;
};

double MemoriaMaximaMiB()
{
    rusage uso{};
    getrusage(RUSAGE_SELF, &uso);
    return double(uso.ru_maxrss) / 1024.0;
}

int Grilla(const QString& motor, int filas)
{
    Base base(motor, filas);
    ConnectionPtr conexion = Connection::Abrir(base.Origen());
    const QString etiqueta = Etiqueta(motor, filas);

    QList<double> desnudas;
    for (int i = 0; i < 3; ++i)
        desnudas << LecturaDesnuda(*conexion, Sentencias::TodasPorNombre());
    const double desnuda = Mediana(desnudas);
    Cifra(QStringLiteral("lectura_s1_%1").arg(etiqueta), desnuda, "ms");

    VentanaCargada carga(conexion);
    ClassProvincias& clase = carga.clase;
    std::shared_ptr<IUtilidades>& utiles = carga.utiles;

    // The window's load: its recordset on S1, the grid fill and the first province shown.
    QList<double> cargas, respuestas;
    for (int i = 0; i < 3; ++i) {
        cargas << Milisegundos([&] { clase.Cargar(utiles); });
        respuestas << HastaQueResponda();
        if (i < 2)
            clase.Cerrar();
    }
    Cifra(QStringLiteral("ventana_carga_%1").arg(etiqueta), Mediana(cargas), "ms");
    Razon(QStringLiteral("ventana_carga_%1").arg(etiqueta), Mediana(cargas), desnuda);

    // The grid refill (LlenarGrilla) through the cancel button, the window's public path to it.
    FrmProvincias* ventana = carga.Ventana();
    QList<double> llenados, tras;
    for (int i = 0; i < 3; ++i) {
        llenados << Milisegundos([&] { ventana->LblCancelar->HacerClick(); });
        tras << HastaQueResponda();
    }
    // A fill that loses rows would be fast for the wrong reason.
    if (ventana->LinProvincias->Rows() != filas + 1)
        throw ErrorDatos(0, QStringLiteral("La rejilla tiene %1 filas de datos en lugar de %2")
                                .arg(ventana->LinProvincias->Rows() - 1).arg(filas));
    Cifra(QStringLiteral("grilla_llenado_%1").arg(etiqueta), Mediana(llenados), "ms");
    Razon(QStringLiteral("grilla_llenado_%1").arg(etiqueta), Mediana(llenados), desnuda);
    // Responsive again: from the end of the fill until the event loop runs a 0-ms timer (the
    // grid tells its view of the new rows then).
    Cifra(QStringLiteral("grilla_respuesta_%1").arg(etiqueta), Mediana(tras), "ms");
    Cifra(QStringLiteral("ventana_respuesta_%1").arg(etiqueta), Mediana(respuestas), "ms");

    // Row selection: grid row to fields, with the S6 read of the display.
    if (filas <= 200000) {
        QRandomGenerator azar(20240601);
        QList<double> selecciones;
        const int muestras = 300;
        for (int i = 0; i < muestras; ++i) {
            const int fila = 1 + azar.bounded(ventana->LinProvincias->Rows() - 1);
            selecciones << Milisegundos([&] { ventana->LinProvincias->setRow(fila); });
            if (ventana->TxtCodigo->Text() != ventana->LinProvincias->TextMatrix(fila, 0))
                throw ErrorDatos(0, QStringLiteral("La selección de la fila %1 no mostró su código").arg(fila));
        }
        Cifra(QStringLiteral("seleccion_p50_%1").arg(etiqueta), Percentil(selecciones, 0.5), "ms");
        Cifra(QStringLiteral("seleccion_p95_%1").arg(etiqueta), Percentil(selecciones, 0.95), "ms");
    }

    // Saving a changed name: the write, the grid refilled and the window's recordset read again,
    // until the window answers.
    QList<double> guardados;
    for (int i = 0; i < 3; ++i) {
        const QString nombre = ventana->TxtProvincia->Text();
        ventana->TxtProvincia->setText(nombre.endsWith(QLatin1Char('.')) ? nombre.chopped(1) : nombre + QLatin1Char('.'));
        guardados << Milisegundos([&] { ventana->lblAceptar->HacerClick(); }) + HastaQueResponda();
        QSqlQuery leer(conexion->Base());
        leer.exec(QStringLiteral("SELECT Provincia FROM Provincias WHERE Codigo = '%1'").arg(ventana->TxtCodigo->Text()));
        const QString guardado = leer.next() ? leer.value(0).toString() : QString();
        if (guardado != ventana->TxtProvincia->Text())
            throw ErrorDatos(0, QStringLiteral("El guardado no llegó a la base: «%1»").arg(guardado));
    }
    Cifra(QStringLiteral("guardado_%1").arg(etiqueta), Mediana(guardados), "ms");
    clase.Cerrar();
    return 0;
}

int Busqueda(const QString& motor, int filas)
{
    Base base(motor, filas);
    ConnectionPtr conexion = Connection::Abrir(base.Origen());
    const QString etiqueta = Etiqueta(motor, filas);
    QList<double> aperturas;
    std::unique_ptr<DialogoBusqueda> dialogo;
    for (int i = 0; i < 3; ++i) {
        dialogo.reset();
        aperturas << Milisegundos([&] {
            dialogo = std::make_unique<DialogoBusqueda>(conexion, QStringLiteral("Provincias"), QStringLiteral("Codigo"), QString());
            dialogo->show();
            while (dialogo->FilasMostradas() == 0)
                QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 50);
            QCoreApplication::processEvents();
        });
    }
    Cifra(QStringLiteral("busqueda_apertura_%1").arg(etiqueta), Mediana(aperturas), "ms");
    // Typing a code digit by digit, then erasing it: each keystroke filters the list again.
    QList<double> teclas;
    const QString codigo = QString::number(filas / 3 + 7);
    for (const QChar c : codigo)
        teclas << Milisegundos([&] {
            QTest::keyClick(dialogo->Filtro(), c.toLatin1());
            QCoreApplication::processEvents();
        });
    for (int i = 0; i < codigo.size(); ++i)
        teclas << Milisegundos([&] {
            QTest::keyClick(dialogo->Filtro(), Qt::Key_Backspace);
            QCoreApplication::processEvents();
        });
    Cifra(QStringLiteral("busqueda_tecla_p50_%1").arg(etiqueta), Percentil(teclas, 0.5), "ms");
    Cifra(QStringLiteral("busqueda_tecla_max_%1").arg(etiqueta), Percentil(teclas, 1.0), "ms");
    return 0;
}

struct Medida {
    double ms = 0;
    double kb = 0;
    int codigo = -1;
    QString salida;
};

// Runs a program under /usr/bin/time -v: wall time and the child's peak resident memory.
Medida Medir(const QString& programa, const QStringList& argumentos)
{
    Medida medida;
    QProcess proceso;
    proceso.setProcessChannelMode(QProcess::SeparateChannels);
    QElapsedTimer reloj;
    reloj.start();
    proceso.start(QStringLiteral("/usr/bin/time"), QStringList{QStringLiteral("-v"), programa} + argumentos);
    proceso.waitForFinished(-1);
    medida.ms = double(reloj.nsecsElapsed()) / 1e6;
    medida.codigo = proceso.exitCode();
    medida.salida = QString::fromLocal8Bit(proceso.readAllStandardError());
    const auto coincidencia = QRegularExpression(QStringLiteral("Maximum resident set size \\(kbytes\\): (\\d+)")).match(medida.salida);
    medida.kb = coincidencia.hasMatch() ? coincidencia.captured(1).toDouble() : 0;
    return medida;
}

// The PDF listing in a process of its own: quiltren-demo --listado, or, where this host does not
// offer it yet, this program calling the same report code (GenerarListadoPdf).
Medida ListadoEnProceso(const QString& demo, const QString& origen, const QString& pdf)
{
    Medida m = Medir(demo, {QStringLiteral("--db"), origen, QStringLiteral("--listado"), pdf});
    if (m.codigo == 0 && QFile::exists(pdf))
        return m;
    std::fprintf(stderr, "quiltren-demo --listado no generó el PDF; se mide GenerarListadoPdf en un proceso propio\n");
    return Medir(QCoreApplication::applicationFilePath(), {QStringLiteral("pdf"), origen, pdf});
}

int Paginas(const QString& pdf)
{
    QProcess info;
    info.start(QStringLiteral("pdfinfo"), {pdf});
    info.waitForFinished(-1);
    const auto c = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(QString::fromLocal8Bit(info.readAllStandardOutput()));
    return c.hasMatch() ? c.captured(1).toInt() : 0;
}

// Rows per listing page, found by listing a small table once.
double FilasPorPagina(const QString& demo, const QString& motor)
{
    const int filas = 2000;
    Base base(motor, filas);
    QTemporaryDir carpeta;
    const QString pdf = carpeta.filePath(QStringLiteral("prueba.pdf"));
    const Medida m = ListadoEnProceso(demo, base.Origen(), pdf);
    const int paginas = Paginas(pdf);
    if (m.codigo != 0 || paginas < 2)
        throw ErrorDatos(0, QStringLiteral("El listado de prueba falló: %1").arg(m.salida.right(400)));
    return double(filas) / paginas;
}

int Listado(const QString& motor, int paginas)
{
    const QString demo = QCoreApplication::applicationDirPath() + QStringLiteral("/quiltren-demo");
    const double porPagina = FilasPorPagina(demo, motor);
    const int filas = std::max(1, int((paginas - 0.5) * porPagina));
    Base base(motor, filas);
    QTemporaryDir carpeta;
    const QString etiqueta = QStringLiteral("%1_%2p").arg(motor).arg(paginas);

    // Baseline: the same rows, in the same order, written as plain text lines.
    ConnectionPtr conexion = Connection::Abrir(base.Origen());
    const double texto = Milisegundos([&] {
        QFile archivo(carpeta.filePath(QStringLiteral("listado.txt")));
        archivo.open(QIODevice::WriteOnly);
        QSqlQuery consulta(conexion->Base());
        consulta.setForwardOnly(true);
        consulta.exec(Sentencias::Listado(false));
        while (consulta.next())
            archivo.write((consulta.value(0).toString() + QLatin1Char('\t') + consulta.value(1).toString() + QLatin1Char('\n')).toUtf8());
    });
    conexion.reset();

    const QString pdf = carpeta.filePath(QStringLiteral("listado.pdf"));
    const Medida m = ListadoEnProceso(demo, base.Origen(), pdf);
    const int hechas = Paginas(pdf);
    if (m.codigo != 0 || hechas == 0)
        throw ErrorDatos(0, QStringLiteral("quiltren-demo --listado falló: %1").arg(m.salida.right(400)));
    Cifra(QStringLiteral("listado_pdf_%1").arg(etiqueta), m.ms, "ms");
    Cifra(QStringLiteral("listado_paginas_%1").arg(etiqueta), hechas, "paginas");
    Cifra(QStringLiteral("listado_por_pagina_%1").arg(etiqueta), m.ms / hechas, "ms");
    Cifra(QStringLiteral("listado_memoria_%1").arg(etiqueta), m.kb / 1024.0, "MiB");
    // The background picture is stored once in the file, not once per page.
    Cifra(QStringLiteral("listado_bytes_por_pagina_%1").arg(etiqueta), double(QFileInfo(pdf).size()) / hechas, "B");
    Cifra(QStringLiteral("listado_texto_%1").arg(etiqueta), texto, "ms");
    Razon(QStringLiteral("listado_pdf_%1").arg(etiqueta), m.ms, texto);
    return 0;
}

struct MedidaVista {
    double primera = -1;         // until the first page is on screen (median of the tries)
    double total = 0;            // until every page is drawn and the command returns
    double respuestaMaxima = 0;  // the longest wait of an event while the pages are drawn
    double memoriaAntes = 0;
};

// The print command to "Pantalla" on a listing of `paginas` pages, `veces` times on the same
// table: the first time the preview is closed once every page is in, the others through its
// title bar as soon as the first page shows. Throws when the preview fails.
MedidaVista MedirVista(const QString& motor, int paginas, double porPagina, int veces)
{
    Base base(motor, std::max(1, int((paginas - 0.5) * porPagina)));
    VentanaCargada carga(Connection::Abrir(base.Origen()));
    carga.clase.Cargar(carga.utiles);
    FrmProvincias* ventana = carga.Ventana();
    HastaQueResponda();
    MedidaVista medida;
    medida.memoriaAntes = MemoriaMaximaMiB();

    auto guion = InstalarDialogoImpresionFalso();
    guion->Predeterminada.Destino = QStringLiteral("Pantalla");
    QList<double> primeras;
    for (int vez = 0; vez < veces; ++vez) {
        QElapsedTimer reloj;
        double primera = -1, ultimoTic = -1;
        QTimer sonda;
        sonda.setInterval(5);
        QObject::connect(&sonda, &QTimer::timeout, [&] {
            auto* vista = qobject_cast<FrmListados*>(QApplication::activeModalWidget());
            if (!vista || !vista->isVisible())
                return;
            const double ahora = double(reloj.nsecsElapsed()) / 1e6;
            if (primera < 0) {
                QCoreApplication::processEvents();
                primera = double(reloj.nsecsElapsed()) / 1e6;
            } else if (ultimoTic >= 0) {
                // The probe's own interval is not a wait.
                medida.respuestaMaxima = std::max(medida.respuestaMaxima, ahora - ultimoTic - 5);
            }
            ultimoTic = double(reloj.nsecsElapsed()) / 1e6;
            if (vez > 0)
                emit vista->Barra1->SolicitudCierre();
            else if (!vista->Dibujando())
                vista->Hide();  // ends the modal loop of a window of the forms runtime
        });
        sonda.start();
        reloj.start();
        emit ventana->ImgImpresora->Click();
        if (vez == 0)
            medida.total = double(reloj.nsecsElapsed()) / 1e6;
        sonda.stop();
        if (primera < 0)
            throw ErrorDatos(0, QStringLiteral("La vista previa no llegó a mostrarse"));
        primeras << primera;
        // The next try starts from nothing: the preview and its pages go.
        if (InstanciaPredeterminada<FrmListados>::Existe())
            InstanciaPredeterminada<FrmListados>::Obtener()->Unload();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    medida.primera = Mediana(primeras);
    QStringList textos;
    for (double p : primeras)
        textos << QString::number(p, 'f', 1);
    std::fprintf(stderr, "vista de %d páginas, primera página en cada intento (ms): %s\n", paginas,
                 qPrintable(textos.join(QLatin1Char(' '))));
    // The next measure starts from nothing too, and the allocator hands the memory back.
    carga.clase.Cerrar();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    malloc_trim(0);
    return medida;
}

int Vista(const QString& motor, int paginas)
{
    const QString demo = QCoreApplication::applicationDirPath() + QStringLiteral("/quiltren-demo");
    const double porPagina = FilasPorPagina(demo, motor);
    const QString etiqueta = QStringLiteral("%1_%2p").arg(motor).arg(paginas);
    // Against a baseline of one page in this same process, measured after the long listing so that
    // it adds nothing to the peak memory. The time to the first page is the median of a few tries:
    // the first try of a process warms fonts and windows up, and the machine is shared.
    const int intentos = paginas > 1 ? 7 : 1;
    QElapsedTimer reloj;
    reloj.start();
    MedidaVista medida;
    try {
        medida = MedirVista(motor, paginas, porPagina, intentos);
    } catch (const std::exception& error) {
        // The preview's scroll arithmetic has a limit of its own; past it the command fails.
        std::fprintf(stderr, "La vista previa de %d páginas no se puede mostrar: %s\n", paginas, error.what());
        Cifra(QStringLiteral("vista_hasta_error_%1").arg(etiqueta), double(reloj.nsecsElapsed()) / 1e6, "ms");
        Cifra(QStringLiteral("vista_memoria_%1").arg(etiqueta), MemoriaMaximaMiB(), "MiB");
        return 3;
    }
    const double memoria = MemoriaMaximaMiB();
    Cifra(QStringLiteral("vista_primera_pagina_%1").arg(etiqueta), medida.primera, "ms");
    Cifra(QStringLiteral("vista_total_%1").arg(etiqueta), medida.total, "ms");
    Cifra(QStringLiteral("vista_respuesta_max_%1").arg(etiqueta), medida.respuestaMaxima, "ms");
    Cifra(QStringLiteral("vista_memoria_%1").arg(etiqueta), memoria, "MiB");
    Cifra(QStringLiteral("vista_memoria_extra_%1").arg(etiqueta), memoria - medida.memoriaAntes, "MiB");
    if (paginas > 1) {
        const MedidaVista base = MedirVista(motor, 1, porPagina, intentos);
        Cifra(QStringLiteral("vista_primera_pagina_%1_1p").arg(motor), base.primera, "ms");
        Razon(QStringLiteral("vista_primera_pagina_%1p_vs_1p").arg(paginas), medida.primera, base.primera);
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication aplicacion(argc, argv);
    const QStringList argumentos = aplicacion.arguments();
    if (argumentos.size() != 4) {
        std::fprintf(stderr, "Uso: %s grilla|busqueda|listado|vista sqlite|postgresql CANTIDAD\n", argv[0]);
        return 1;
    }
    const QString que = argumentos[1], motor = argumentos[2];
    const int cantidad = argumentos[3].toInt();
    try {
        if (que == QLatin1String("grilla"))
            return Grilla(motor, cantidad);
        if (que == QLatin1String("busqueda"))
            return Busqueda(motor, cantidad);
        if (que == QLatin1String("listado"))
            return Listado(motor, cantidad);
        if (que == QLatin1String("vista"))
            return Vista(motor, cantidad);
        if (que == QLatin1String("pdf")) {
            GenerarListadoPdf(Connection::Abrir(motor), argumentos[3], false, QString(), QString());
            return 0;
        }
    } catch (const std::exception& error) {
        std::fprintf(stderr, "ERROR: %s\n", error.what());
        return 2;
    }
    std::fprintf(stderr, "Medida desconocida: %s\n", qPrintable(que));
    return 1;
}
