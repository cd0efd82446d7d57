// The host's functions object (date text, text drawing, operation log, window release) and the
// host utilities object that hands out the common data.

#include "EsquemaProvincias.h"
#include "ErrorDatos.h"
#include "ErrorEjecucion.h"
#include "Falsos.h"
#include "FuncionesQt.h"
#include "Recordset.h"
#include "SuperficiePagina.h"
#include "UtilidadesAnfitrion.h"

#include <QPainter>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// The page drawn into an image at one pixel per layout dot's twentieth, to look for ink.
QImage Pintar(const SuperficiePagina& pagina)
{
    QImage imagen(595, 842, QImage::Format_RGB32);
    imagen.fill(Qt::white);
    QPainter pintor(&imagen);
    pagina.Dibujar(pintor, QRectF(0, 0, imagen.width(), imagen.height()));
    return imagen;
}

// Columns (in pixels) that hold any dark pixel between two rows.
QPair<int, int> ExtensionTinta(const QImage& imagen, int filaDesde, int filaHasta)
{
    int primera = -1, ultima = -1;
    for (int x = 0; x < imagen.width(); ++x)
        for (int y = filaDesde; y < filaHasta; ++y)
            if (qGray(imagen.pixel(x, y)) < 128) {
                if (primera < 0)
                    primera = x;
                ultima = x;
                break;
            }
    return {primera, ultima};
}

} // namespace

class TestFunciones : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void formatearFecha_data();
    void formatearFecha();
    void imprimirTexto_data();
    void imprimirTexto();
    void imprimirTextoDibuja();
    void alineacionNoValida();
    void registrarOperacion_data();
    void registrarOperacion();
    void registrarSinConexion();
    void registrarFalla();
    void liberarFormulario();
    void utilidadesAnfitrion();
    void utilidadesReabrenTextos();
    void utilidadesSinTextos();

private:
    QTemporaryDir carpeta_;
    ConnectionPtr conexion_;
};

void TestFunciones::initTestCase()
{
    QVERIFY(carpeta_.isValid());
    conexion_ = AbrirBaseProvincias(carpeta_.filePath(QStringLiteral("funciones.sqlite")));
}

void TestFunciones::formatearFecha_data()
{
    QTest::addColumn<QDateTime>("fecha");
    QTest::addColumn<QString>("texto");
    QTest::newRow("tarde") << QDateTime(QDate(2026, 12, 6), QTime(14, 5, 9)) << "06/12/2026 14:05:09";
    QTest::newRow("medianoche") << QDateTime(QDate(2025, 1, 31), QTime(0, 0, 0)) << "31/01/2025 00:00:00";
}

void TestFunciones::formatearFecha()
{
    QFETCH(QDateTime, fecha);
    QFETCH(QString, texto);
    FuncionesQt funciones;
    QCOMPARE(funciones.FormatearFecha(fecha), texto);
}

void TestFunciones::imprimirTexto_data()
{
    QTest::addColumn<QString>("alineacion");
    QTest::addColumn<bool>("finDeLinea");
    QTest::newRow("I sin fin") << "I" << false;
    QTest::newRow("I con fin") << "I" << true;
    QTest::newRow("D sin fin") << "D" << false;
    QTest::newRow("D con fin") << "D" << true;
}

void TestFunciones::imprimirTexto()
{
    QFETCH(QString, alineacion);
    QFETCH(bool, finDeLinea);

    SuperficiePagina pagina;
    pagina.SetScaleMode(SuperficieDestino::Centimetros);
    pagina.SetFontSize(11);
    pagina.SetCurrentY(5);
    const QString texto = QStringLiteral("Álava");
    const double ancho = pagina.TextWidth(texto);
    const double alto = pagina.TextHeight(texto);
    QVERIFY(ancho > 0.5);

    FuncionesQt().ImprimirTexto(pagina, 10, alineacion, texto, finDeLinea, 0);

    if (finDeLinea) {
        QCOMPARE(pagina.CurrentX(), 0.0);
        QCOMPARE(pagina.CurrentY(), 5 + alto);
    } else {
        // The pen stays on the line, after the text: at X for "D", X + width for "I".
        QCOMPARE(pagina.CurrentY(), 5.0);
        QCOMPARE(pagina.CurrentX(), alineacion == QLatin1String("I") ? 10 + ancho : 10.0);
    }
}

void TestFunciones::imprimirTextoDibuja()
{
    // Two columns on one line: a code starting at 1.2 cm, a date ending at 20 cm.
    SuperficiePagina pagina;
    pagina.SetScaleMode(SuperficieDestino::Centimetros);
    pagina.SetFontSize(12);
    pagina.SetCurrentY(3);
    FuncionesQt funciones;
    funciones.ImprimirTexto(pagina, 1.2, QStringLiteral("I"), QStringLiteral("01"), false, 0);
    funciones.ImprimirTexto(pagina, 20, QStringLiteral("D"), QStringLiteral("Miércoles"), true, 0);

    const QImage imagen = Pintar(pagina);
    const double pixelesPorCm = imagen.width() / 21.0;
    const int arriba = int(3 * pixelesPorCm);
    const int abajo = int((3 + pagina.TextHeight(QStringLiteral("X"))) * pixelesPorCm);
    const auto [primera, ultima] = ExtensionTinta(imagen, arriba, abajo);
    QVERIFY(primera >= 0);
    QVERIFY(qAbs(primera - 1.2 * pixelesPorCm) < 4);
    QVERIFY(qAbs(ultima - 20 * pixelesPorCm) < 4);
    // Nothing above the line.
    QCOMPARE(ExtensionTinta(imagen, 0, arriba - 1).first, -1);
}

void TestFunciones::alineacionNoValida()
{
    SuperficiePagina pagina;
    pagina.SetCurrentX(2);
    try {
        FuncionesQt().ImprimirTexto(pagina, 1, QStringLiteral("C"), QStringLiteral("x"), true, 0);
        QFAIL("se esperaba el error 5");
    } catch (const ErrorEjecucion& error) {
        QCOMPARE(error.Number(), 5);
    }
    QCOMPARE(pagina.CurrentX(), 2.0);
}

void TestFunciones::registrarOperacion_data()
{
    QTest::addColumn<QVariant>("parametro");
    QTest::addColumn<QString>("usuario");
    QTest::newRow("el usuario en el parámetro") << QVariant(QStringLiteral("marta")) << "marta";
    QTest::newRow("parámetro vacío") << QVariant() << "predeterminado";
    QTest::newRow("parámetro texto vacío") << QVariant(QString()) << "predeterminado";
}

void TestFunciones::registrarOperacion()
{
    QFETCH(QVariant, parametro);
    QFETCH(QString, usuario);

    conexion_->Execute(QStringLiteral("DELETE FROM Auditoria"));
    FuncionesQt funciones;
    funciones.FijarUsuario(QStringLiteral("predeterminado"));
    // A statement with quotes travels as a bound value, stored exactly.
    const QString sentencia = QStringLiteral("DELETE From Provincias WHERE (((Provincias.Codigo) Like 'O''B'))");
    ConnectionPtr conexion = conexion_;
    funciones.RegistrarOperacion(parametro, conexion, sentencia);
    QCOMPARE(conexion, conexion_);

    QSqlQuery consulta(conexion_->Base());
    QVERIFY(consulta.exec(QStringLiteral("SELECT Fecha, Usuario, Sentencia FROM Auditoria")));
    QVERIFY(consulta.next());
    const QDateTime fecha = QDateTime::fromString(consulta.value(0).toString(), QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    QVERIFY(fecha.isValid());
    QVERIFY(qAbs(fecha.secsTo(QDateTime::currentDateTime())) < 60);
    QCOMPARE(consulta.value(1).toString(), usuario);
    QCOMPARE(consulta.value(2).toString(), sentencia);
    QVERIFY(!consulta.next());
}

void TestFunciones::registrarSinConexion()
{
    QVariant parametro;
    ConnectionPtr ninguna;
    try {
        FuncionesQt().RegistrarOperacion(parametro, ninguna, QStringLiteral("DELETE"));
        QFAIL("se esperaba el error 91");
    } catch (const ErrorEjecucion& error) {
        QCOMPARE(error.Number(), 91);
    }
}

void TestFunciones::registrarFalla()
{
    // A database without the log table: the data layer's error, nothing written anywhere.
    ConnectionPtr otra = Connection::Abrir(carpeta_.filePath(QStringLiteral("sin_auditoria.sqlite")),
                                           Connection::Apertura::CrearSiFalta);
    QVariant parametro(QStringLiteral("luis"));
    try {
        FuncionesQt().RegistrarOperacion(parametro, otra, QStringLiteral("DELETE"));
        QFAIL("se esperaba un error de datos");
    } catch (const ErrorDatos& error) {
        QVERIFY(error.Statement().contains(QStringLiteral("Auditoria")));
        QVERIFY(!error.Description().isEmpty());
    }
}

void TestFunciones::liberarFormulario()
{
    FuncionesQt funciones;
    Form ventana(QStringLiteral("Ventana"));
    ventana.Load();
    QObject* referencia = &ventana;
    funciones.LiberarFormulario(referencia);
    QCOMPARE(referencia, &ventana);

    // While the window unloads, the reference is released.
    class Descargable : public Form
    {
    public:
        Descargable() : Form(QStringLiteral("Descargable")) {}
        QObject* Dejado = reinterpret_cast<QObject*>(1);

    protected:
        void Form_Unload(int&) override
        {
            QObject* yo = this;
            FuncionesQt().LiberarFormulario(yo);
            Dejado = yo;
        }
    };
    auto* descargable = new Descargable;
    QPointer<Descargable> vigilado(descargable);
    descargable->Load();
    descargable->Unload();
    QCOMPARE(descargable->Dejado, nullptr);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(vigilado.isNull());

    QObject* nada = nullptr;
    funciones.LiberarFormulario(nada);
    QCOMPARE(nada, nullptr);
}

void TestFunciones::utilidadesAnfitrion()
{
    Form ubicacion(QStringLiteral("FormUbicacion"));
    Form principal(QStringLiteral("FormPrincipal"));
    UtilidadesAnfitrion::Datos datos;
    datos.Conexion = conexion_;
    datos.Ubicacion = &ubicacion;
    datos.Principal = &principal;
    datos.Usuario = QStringLiteral("elena");
    UtilidadesAnfitrion utiles(datos);

    ConnectionPtr conexion;
    QVariant v2, v3, v4, v5, v10, parametro;
    QObject* u = nullptr;
    QObject* p = nullptr;
    long ancho = 0, alto = 0;
    auto textos = std::make_shared<Recordset>();
    auto textosListado = std::make_shared<Recordset>();
    auto sinUso = std::make_shared<Recordset>();
    QString usuario;
    utiles.ObtenerDatos(conexion, v2, v3, v4, v5, u, p, ancho, alto, v10, textos, textosListado, sinUso, parametro, usuario);

    QCOMPARE(conexion, conexion_);
    for (const QVariant& v : {v2, v3, v4, v5, v10})
        QCOMPARE(v, QVariant(0));
    QCOMPARE(u, &ubicacion);
    QCOMPARE(p, &principal);
    QCOMPARE(ancho, 15360L);
    QCOMPARE(alto, 11520L);
    QCOMPARE(usuario, QStringLiteral("elena"));
    QCOMPARE(parametro, QVariant(QStringLiteral("elena")));
    QCOMPARE(sinUso->State(), int(Recordset::adStateClosed));
    const QStringList campos{"Codigo", "Provincia", "Provincias", "Datos Provincias"};
    const QStringList valores{"Código", "Provincia", "Provincias", "Datos Provincias"};
    for (int i = 0; i < campos.size(); ++i)
        QCOMPARE(textos->Fields(campos.at(i)).Value().toString(), valores.at(i));
    QCOMPARE(textosListado->Fields(QStringLiteral("Pagina")).Value().toString(), QStringLiteral("Página"));
}

void TestFunciones::utilidadesReabrenTextos()
{
    UtilidadesAnfitrion::Datos datos;
    datos.Conexion = conexion_;
    datos.Usuario = QStringLiteral("elena");
    datos.ParametroRegistro = 42;
    UtilidadesAnfitrion utiles(datos);

    ConnectionPtr conexion;
    QVariant v2, v3, v4, v5, v10, parametro;
    QObject* u = nullptr;
    QObject* p = nullptr;
    long ancho = 0, alto = 0;
    std::shared_ptr<Recordset> textos;   // missing: created
    auto textosListado = std::make_shared<Recordset>();
    textosListado->Open(QStringLiteral("SELECT * FROM Provincias"), conexion_, 3, 1, -1);   // left open: reopened
    std::shared_ptr<Recordset> sinUso;
    QString usuario;
    utiles.ObtenerDatos(conexion, v2, v3, v4, v5, u, p, ancho, alto, v10, textos, textosListado, sinUso, parametro, usuario);
    QVERIFY(textos);
    QCOMPARE(textos->Fields(QStringLiteral("Codigo")).Value().toString(), QStringLiteral("Código"));
    QCOMPARE(textosListado->Fields(QStringLiteral("Pagina")).Value().toString(), QStringLiteral("Página"));
    QCOMPARE(parametro, QVariant(42));
}

void TestFunciones::utilidadesSinTextos()
{
    UtilidadesAnfitrion::Datos datos;
    datos.Conexion = conexion_;
    datos.Idioma = QStringLiteral("xx");
    datos.AnchoBase = 19200;
    UtilidadesAnfitrion utiles(datos);

    ConnectionPtr conexion;
    QVariant v2, v3, v4, v5, v10, parametro;
    QObject* u = nullptr;
    QObject* p = nullptr;
    long ancho = 0, alto = 0;
    auto textos = std::make_shared<Recordset>();
    auto textosListado = std::make_shared<Recordset>();
    auto sinUso = std::make_shared<Recordset>();
    QString usuario = QStringLiteral("sin tocar");
    QVERIFY_THROWS_EXCEPTION(ErrorDatos, utiles.ObtenerDatos(conexion, v2, v3, v4, v5, u, p, ancho, alto, v10, textos,
                                                             textosListado, sinUso, parametro, usuario));
    // Values before the texts are written, the user after them is not.
    QCOMPARE(conexion, conexion_);
    QCOMPARE(ancho, 19200L);
    QCOMPARE(usuario, QStringLiteral("sin tocar"));
}

QTEST_MAIN(TestFunciones)
#include "tst_Funciones.moc"
