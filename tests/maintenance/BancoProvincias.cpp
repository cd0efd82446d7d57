#include "BancoProvincias.h"

#include "DatosComunes.h"
#include "ErrorEjecucion.h"
#include "EsquemaProvincias.h"
#include "InstanciaPredeterminada.h"
#include "Recordset.h"
#include "Screen.h"
#include "Tramacor.h"

#include <QAbstractItemView>
#include <QLineEdit>
#include <QTest>

BancoProvincias::BancoProvincias()
{
    // The design screen: 1024 by 768 pixels at 15 twips each, which is also the host's base size.
    Screen::FijarTwipsPorPixel(15);
    Screen::FijarTamano(15360, 11520);
    otra_ = NuevaConexion();

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
    Utiles->Conexion = base_.Conexion();
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
    Utiles.reset();
    otra_.reset();
    Screen::Restablecer();
}

QList<QStringList> BancoProvincias::Filas()
{
    Recordset rs;
    rs.Open(QStringLiteral("SELECT Codigo, Provincia, Actualizado, ModificadoPor FROM Provincias ORDER BY Codigo"),
            otra_, Recordset::adOpenStatic, Recordset::adLockReadOnly);
    QList<QStringList> filas;
    for (; !rs.Eof(); rs.MoveNext()) {
        QStringList fila;
        for (const char* campo : {"Codigo", "Provincia", "Actualizado", "ModificadoPor"})
            fila << rs.Fields(QLatin1String(campo)).Value().toString();
        filas << fila;
    }
    return filas;
}

QStringList BancoProvincias::Fila(const QString& codigo)
{
    for (const QStringList& fila : Filas())
        if (fila.first() == codigo)
            return fila;
    return {};
}

FrmProvincias* BancoProvincias::Abrir()
{
    std::shared_ptr<IUtilidades> utiles = Utiles;
    clase_.Cargar(utiles);
    ventana_ = qobject_cast<FrmProvincias*>(InstanciaPredeterminada<FrmProvincias>::Referencia());
    if (!ventana_ || !QTest::qWaitForWindowActive(ventana_))
        throw ErrorEjecucion(91, QStringLiteral("La ventana no se mostró activa como instancia predeterminada"));
    return ventana_;
}

void BancoProvincias::Clic(Control* control)
{
    QTest::mouseClick(control->Widget(), Qt::LeftButton);
}

void BancoProvincias::ClicFila(int fila)
{
    auto* vista = qobject_cast<QAbstractItemView*>(ventana_->LinProvincias->Widget());
    ventana_->LinProvincias->Sincronizar();
    QTest::mouseClick(vista->viewport(), Qt::LeftButton, {}, vista->visualRect(vista->model()->index(fila - 1, 1)).center());
}

void BancoProvincias::Escribir(TextBox* caja, const QString& texto)
{
    Clic(caja);
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

QStringList BancoProvincias::ColumnaGrilla(int columna) const
{
    QStringList textos;
    for (int fila = 1; fila < ventana_->LinProvincias->Rows(); ++fila)
        textos << ventana_->LinProvincias->TextMatrix(fila, columna - 1);
    return textos;
}
