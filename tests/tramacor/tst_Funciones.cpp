// The host's functions object (date text, text drawing, operation log, window release) and the
// host utilities object that hands out the common data.

#include "tests/apoyo/Apoyo.h"
#include "data/EsquemaProvincias.h"
#include "data/ErrorDatos.h"
#include "runtime/ErrorEjecucion.h"
#include "tramacor/FuncionesQt.h"
#include "data/Recordset.h"
#include "printing/SuperficiePagina.h"
#include "tramacor/UtilidadesAnfitrion.h"

#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

class TestFunciones : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir carpeta_;
    ConnectionPtr conexion_;

private slots:
    void initTestCase()
    {
        QVERIFY(carpeta_.isValid());
        conexion_ = AbrirBaseProvincias(carpeta_.filePath(QStringLiteral("funciones.sqlite")));
    }

    void formatearFecha()
    {
        QCOMPARE(FuncionesQt().FormatearFecha(QDateTime(QDate(2026, 12, 6), QTime(14, 5, 9))), QStringLiteral("06/12/2026 14:05:09"));
    }

    void imprimirTexto_data()
    {
        QTest::addColumn<QString>("alineacion");
        QTest::addColumn<bool>("finDeLinea");
        QTest::newRow("I sin fin") << "I" << false;
        QTest::newRow("D con fin") << "D" << true;
        QTest::newRow("D sin fin") << "D" << false;
    }

    void imprimirTexto()
    {
        QFETCH(QString, alineacion);
        QFETCH(bool, finDeLinea);
        SuperficiePagina pagina;
        pagina.SetScaleMode(SuperficieDestino::Centimetros);
        pagina.SetFontSize(11);
        pagina.SetCurrentY(5);
        const double ancho = pagina.TextWidth(QStringLiteral("Álava"));
        const double alto = pagina.TextHeight(QStringLiteral("Álava"));
        QVERIFY(ancho > 0.5);

        FuncionesQt().ImprimirTexto(pagina, 10, alineacion, QStringLiteral("Álava"), finDeLinea, 0);
        // A line end takes the pen to the start of the next line; otherwise it stays on the line,
        // after the text: at X for "D", X + width for "I".
        QCOMPARE(pagina.CurrentX(), finDeLinea ? 0.0 : alineacion == QLatin1String("I") ? 10 + ancho : 10.0);
        QCOMPARE(pagina.CurrentY(), finDeLinea ? 5 + alto : 5.0);
    }

    // The operation log: a statement with quotes travels as a bound value and is stored exactly,
    // under the user of the parameter or the default one; without the log table, the data
    // layer's error naming it.
    void registrarOperacion_data()
    {
        QTest::addColumn<QVariant>("parametro");
        QTest::addColumn<QString>("usuario"); // empty: a database without the log table
        QTest::newRow("el usuario en el parámetro") << QVariant(QStringLiteral("marta")) << "marta";
        QTest::newRow("parámetro vacío") << QVariant() << "predeterminado";
        QTest::newRow("sin tabla de registro") << QVariant(QStringLiteral("luis")) << "";
    }

    void registrarOperacion()
    {
        QFETCH(QVariant, parametro);
        QFETCH(QString, usuario);
        conexion_->Execute(QStringLiteral("DELETE FROM Auditoria"));
        FuncionesQt funciones;
        funciones.FijarUsuario(QStringLiteral("predeterminado"));
        const QString sentencia = QStringLiteral("DELETE From Provincias WHERE (((Provincias.Codigo) Like 'O''B'))");
        ConnectionPtr conexion = usuario.isEmpty() ? Connection::Abrir(carpeta_.filePath(QStringLiteral("sin_auditoria.sqlite")),
                                                                       Connection::Apertura::CrearSiFalta)
                                                   : conexion_;
        const ConnectionPtr antes = conexion;
        const std::optional<ErrorDatos> error = Capturar<ErrorDatos>([&] { funciones.RegistrarOperacion(parametro, conexion, sentencia); });
        QCOMPARE(conexion, antes);
        if (usuario.isEmpty()) {
            QVERIFY(error && error->Statement().contains(QStringLiteral("Auditoria")));
            return;
        }
        QVERIFY2(!error, error ? error->what() : "");
        QSqlQuery consulta(conexion_->Base());
        QVERIFY(consulta.exec(QStringLiteral("SELECT Fecha, Usuario, Sentencia FROM Auditoria")) && consulta.next());
        const QDateTime fecha = QDateTime::fromString(consulta.value(0).toString(), QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        QVERIFY(qAbs(fecha.secsTo(QDateTime::currentDateTime())) < 60);
        QCOMPARE(consulta.value(1).toString(), usuario);
        QCOMPARE(consulta.value(2).toString(), sentencia);
        QVERIFY(!consulta.next());
    }

    void liberarFormulario()
    {
        // A loaded window stays in the reference; one that is unloading is released.
        class Ventana : public Form
        {
        public:
            Ventana() : Form(QStringLiteral("Ventana")) {}
            QObject* Dejado = this;

        protected:
            void Form_Unload(int&) override { FuncionesQt().LiberarFormulario(Dejado); }
        };
        auto* ventana = new Ventana;
        ventana->Load();
        QObject* referencia = ventana;
        FuncionesQt().LiberarFormulario(referencia);
        QCOMPARE(referencia, ventana);
        ventana->Unload();
        QCOMPARE(ventana->Dejado, nullptr);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void utilidadesAnfitrion()
    {
        Form ubicacion(QStringLiteral("FormUbicacion"));
        Form principal(QStringLiteral("FormPrincipal"));
        UtilidadesAnfitrion::Datos datos;
        datos.Conexion = conexion_;
        datos.Ubicacion = &ubicacion;
        datos.Principal = &principal;
        datos.Usuario = QStringLiteral("elena");
        UtilidadesAnfitrion utiles(datos);

        DatosAnfitrion recibidos;   // Textos missing: created
        recibidos.TextosListado->Open(QStringLiteral("SELECT * FROM Provincias"), conexion_, 3, 1, -1);   // open: reopened
        utiles.ObtenerDatos(recibidos);

        QCOMPARE(recibidos.Conexion, conexion_);
        QVERIFY(recibidos.Ubicacion == &ubicacion && recibidos.Principal == &principal);
        QCOMPARE(QList<long>({recibidos.AnchoBase, recibidos.AltoBase}), QList<long>({15360, 11520}));
        QCOMPARE(recibidos.Usuario, QStringLiteral("elena"));
        QCOMPARE(recibidos.ParametroRegistro, QVariant(QStringLiteral("elena")));
        QCOMPARE(recibidos.Textos->Fields(QStringLiteral("Codigo")).Value().toString(), QStringLiteral("Código"));
        QCOMPARE(recibidos.TextosListado->Fields(QStringLiteral("Pagina")).Value().toString(), QStringLiteral("Página"));

        // No texts for the language: the error, with the values before the texts written.
        utiles.Configuracion().Idioma = QStringLiteral("xx");
        utiles.Configuracion().AnchoBase = 19200;
        recibidos.Usuario.clear();
        QVERIFY_THROWS_EXCEPTION(ErrorDatos, utiles.ObtenerDatos(recibidos));
        QCOMPARE(recibidos.AnchoBase, 19200L);
        QVERIFY(recibidos.Usuario.isEmpty());
    }
};

QTEST_MAIN(TestFunciones)
#include "tst_Funciones.moc"
