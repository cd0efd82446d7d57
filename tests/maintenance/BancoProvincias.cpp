#include "BancoProvincias.h"

#include "DatosComunes.h"
#include "ErrorDatos.h"
#include "ErrorEjecucion.h"
#include "EsquemaProvincias.h"
#include "InstanciaPredeterminada.h"
#include "Recordset.h"
#include "Screen.h"
#include "Tramacor.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QDateTime>
#include <QCoreApplication>
#include <QLineEdit>
#include <QTest>
#include <QUrl>

namespace {

// The PostgreSQL database of this test program.
QString basePostgres;

QString Texto(const QVariant& valor)
{
    return valor.isNull() ? QString() : valor.toString();
}

} // namespace

bool BancoProvincias::EnPostgres()
{
    return qEnvironmentVariable("QUILTREN_MOTOR") == QLatin1String("postgresql");
}

BancoProvincias::BancoProvincias()
{
    // The design screen: 1024 by 768 pixels at 15 twips each, which is also the host's base size.
    Screen::FijarTwipsPorPixel(15);
    Screen::FijarTamano(15360, 11520);

    if (EnPostgres()) {
        urlServidor_ = qEnvironmentVariable("QUILTREN_PG_URL");
        if (urlServidor_.isEmpty())
            throw ErrorDatos(0, QStringLiteral("QUILTREN_PG_URL no está definida: estas pruebas necesitan PostgreSQL"));
        // One database per test program, emptied and filled again for every test.
        if (basePostgres.isEmpty()) {
            const QString nombre = QStringLiteral("mant_%1_%2")
                                       .arg(QCoreApplication::applicationPid())
                                       .arg(QDateTime::currentMSecsSinceEpoch());
            Connection::Abrir(urlServidor_)->Execute(QStringLiteral("CREATE DATABASE ") + nombre);
            basePostgres = nombre;
        }
        QUrl url(urlServidor_);
        url.setPath(QLatin1Char('/') + basePostgres);
        origen_ = url.toString();
        Connection::Abrir(origen_)->Execute(
            QStringLiteral("DROP TABLE IF EXISTS Auditoria, Textos, Municipios, Provincias CASCADE"));
    } else {
        if (!carpeta_.isValid())
            throw ErrorDatos(0, QStringLiteral("No se pudo crear la carpeta temporal"));
        origen_ = carpeta_.filePath(QStringLiteral("provincias.db"));
    }
    conexion_ = AbrirBaseProvincias(origen_);
    propia_ = Connection::Abrir(origen_);

    Mensajes = InstalarMensajesFalsos();
    Funciones = InstalarFuncionesFalsas();
    Funciones->FechaFija = Fecha;
    Funciones->FijarUsuario(Usuario);
    Busqueda = InstalarBusquedaFalsa();
    FijarManejadorErroresEventos([this](int numero, const QString& descripcion) {
        ErroresEventos << QStringLiteral("%1: %2").arg(numero).arg(descripcion);
    });

    ubicacion_ = std::make_unique<Form>(QStringLiteral("FrmUbicacion"));
    ubicacion_->Move(600, 450, 4800, 3600);
    principal_ = std::make_unique<Form>(QStringLiteral("FrmPrincipal"));
    principal_->setTag(QStringLiteral("Provincias"));

    Utiles = std::make_shared<UtilidadesFalsas>();
    Utiles->Conexion = conexion_;
    Utiles->Ubicacion = ubicacion_.get();
    Utiles->Principal = principal_.get();
    Utiles->SentenciaTextos = SentenciaTextos();
    Utiles->Usuario = Usuario;
}

BancoProvincias::~BancoProvincias()
{
    if (InstanciaPredeterminada<FrmProvincias>::Existe()) {
        Mensajes->Respuestas.clear();
        Mensajes->RespuestaPredeterminada = 7;
        try {
            clase_.Cerrar();
        } catch (...) {
        }
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    DatosComunes::Liberar();
    FijarManejadorErroresEventos({});
    Tramacor::FijarMensajes(nullptr);
    Tramacor::FijarFunciones(nullptr);
    Tramacor::FijarFabricaBusqueda({});
    principal_.reset();
    ubicacion_.reset();
    Utiles.reset();
    conexion_.reset();
    propia_.reset();
    Screen::Restablecer();
}

void BancoProvincias::BorrarBase()
{
    if (basePostgres.isEmpty())
        return;
    try {
        Connection::Abrir(qEnvironmentVariable("QUILTREN_PG_URL"))
            ->Execute(QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(basePostgres));
    } catch (const std::exception& e) {
        qWarning("No se pudo borrar la base de pruebas: %s", e.what());
    }
    basePostgres.clear();
}

void BancoProvincias::Ejecutar(const QString& sentencia)
{
    propia_->Execute(sentencia);
}

void BancoProvincias::VaciarProvincias()
{
    Ejecutar(QStringLiteral("DELETE FROM Municipios"));
    Ejecutar(QStringLiteral("DELETE FROM Provincias"));
}

QList<FilaProvincia> BancoProvincias::Filas()
{
    Recordset rs;
    rs.Open(QStringLiteral("SELECT Codigo, Provincia, Actualizado, ModificadoPor FROM Provincias ORDER BY Codigo"),
            propia_, Recordset::adOpenStatic, Recordset::adLockReadOnly);
    QList<FilaProvincia> filas;
    while (!rs.Eof()) {
        filas.append({Texto(rs.Fields(QStringLiteral("Codigo")).Value()),
                      Texto(rs.Fields(QStringLiteral("Provincia")).Value()),
                      Texto(rs.Fields(QStringLiteral("Actualizado")).Value()),
                      Texto(rs.Fields(QStringLiteral("ModificadoPor")).Value())});
        rs.MoveNext();
    }
    return filas;
}

FilaProvincia BancoProvincias::Fila(const QString& codigo)
{
    for (const FilaProvincia& fila : Filas()) {
        if (fila.Codigo == codigo)
            return fila;
    }
    return {};
}

bool BancoProvincias::Existe(const QString& codigo)
{
    return !Fila(codigo).Codigo.isNull();
}

ConnectionPtr BancoProvincias::NuevaConexion()
{
    return Connection::Abrir(origen_);
}

FrmProvincias* BancoProvincias::Abrir()
{
    std::shared_ptr<IUtilidades> utiles = Utiles;
    clase_.Cargar(utiles);
    ventana_ = qobject_cast<FrmProvincias*>(InstanciaPredeterminada<FrmProvincias>::Referencia());
    if (!ventana_)
        throw ErrorEjecucion(91, QStringLiteral("La ventana no quedó como instancia predeterminada"));
    if (!QTest::qWaitForWindowActive(ventana_))
        throw ErrorEjecucion(5, QStringLiteral("La ventana no llegó a activarse"));
    return ventana_;
}

void BancoProvincias::Clic(Control* control)
{
    QTest::mouseClick(control->Widget(), Qt::LeftButton);
}

void BancoProvincias::ClicFila(int fila)
{
    auto* vista = qobject_cast<QAbstractItemView*>(ventana_->LinProvincias->Widget());
    Q_ASSERT(vista);
    ventana_->LinProvincias->Sincronizar();
    const QRect celda = vista->visualRect(vista->model()->index(fila - 1, 1));
    QTest::mouseClick(vista->viewport(), Qt::LeftButton, {}, celda.center());
}

void BancoProvincias::Enfocar(TextBox* caja)
{
    QTest::mouseClick(caja->Widget(), Qt::LeftButton);
}

void BancoProvincias::Escribir(TextBox* caja, const QString& texto)
{
    Enfocar(caja);
    auto* campo = qobject_cast<QLineEdit*>(caja->Widget());
    campo->selectAll();
    if (texto.isEmpty())
        QTest::keyClick(campo, Qt::Key_Delete);
    // One key per character; the keys QTest cannot name (accented letters) travel as their text.
    for (const QChar c : texto) {
        if (c.unicode() < 128)
            QTest::keyClick(campo, char(c.unicode()));
        else
            QTest::sendKeyEvent(QTest::Click, campo, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}

void BancoProvincias::SalirDelCodigo()
{
    QTest::keyClick(ventana_->TxtCodigo->Widget(), Qt::Key_Tab);
}

void BancoProvincias::CerrarConLaBarra()
{
    QWidget* barra = ventana_->Barra1->Widget();
    QTest::mouseClick(barra, Qt::LeftButton, {}, QPoint(barra->width() - 6, barra->height() / 2));
}

QStringList BancoProvincias::ColumnaGrilla(int columna) const
{
    QStringList textos;
    for (int fila = 1; fila < ventana_->LinProvincias->Rows(); ++fila)
        textos << ventana_->LinProvincias->TextMatrix(fila, columna - 1);
    return textos;
}

QStringList NombresEnOrdenEspanol()
{
    return QStringLiteral(
               "A Coruña|Álava|Albacete|Alicante|Almería|Asturias|Ávila|Badajoz|Baleares|Barcelona|Burgos|Cáceres|"
               "Cádiz|Cantabria|Castellón|Ceuta|Ciudad Real|Córdoba|Cuenca|Girona|Granada|Guadalajara|Guipúzcoa|"
               "Huelva|Huesca|Jaén|La Rioja|Las Palmas|León|Lleida|Lugo|Madrid|Málaga|Melilla|Murcia|Navarra|"
               "Ourense|Palencia|Pontevedra|S.C. de Tenerife|Salamanca|Segovia|Sevilla|Soria|Tarragona|Teruel|"
               "Toledo|Valencia|Valladolid|Vizcaya|Zamora|Zaragoza")
        .split(QLatin1Char('|'));
}
