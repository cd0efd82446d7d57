#include "Apoyo.h"
#include "ErrorServidor.h"
#include "CrearObjeto.h"
#include "ExportacionesServidor.h"
#include "RegistroClases.h"

#include <QProcess>
#include <QTemporaryDir>

#include <dlfcn.h>

namespace {
// The ErrorServidor the call throws; number 0 when it throws nothing.
template <class F>
ErrorServidor Fallo(F&& llamada)
{
    return Capturar<ErrorServidor>(std::forward<F>(llamada)).value_or(ErrorServidor(0, QStringLiteral("no falló")));
}
} // namespace

namespace {

const QString Componente = QStringLiteral(RUTA_COMPONENTE_PRUEBA);
const QString Servidor = QStringLiteral(RUTA_SERVIDOR);
const QString Prueba = QStringLiteral("PruebaServidor.ClasePrueba");

bool ComponenteEnMemoria()
{
    void* manejador = dlopen(QFile::encodeName(Componente).constData(), RTLD_NOW | RTLD_NOLOAD);
    if (manejador != nullptr)
        dlclose(manejador);
    return manejador != nullptr;
}

// A handle of our own on the test component, to call its exports directly.
class Exportaciones
{
public:
    Exportaciones() : manejador_(dlopen(QFile::encodeName(Componente).constData(), RTLD_NOW | RTLD_LOCAL)) {}
    ~Exportaciones()
    {
        if (manejador_ != nullptr)
            dlclose(manejador_);
    }
    bool Cargada() const { return manejador_ != nullptr; }
    int DllCanUnloadNow() const { return reinterpret_cast<TipoDllCanUnloadNow>(dlsym(manejador_, "DllCanUnloadNow"))(); }

private:
    void* manejador_;
};

} // namespace

class TestServidorComponente : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir carpeta_;
    QString Registro() const { return carpeta_.filePath(QStringLiteral("registro-clases")); }
    const QByteArray Otras = QByteArrayLiteral("# a mano\nclase\tOtra.Clase\t/opt/otra/libotra.so\tOtraClase\t3.1\n");

private slots:
    void init()
    {
        QFile::remove(Registro());
        QFile::remove(carpeta_.filePath(QStringLiteral("sistema")));
        qputenv("QUILTREN_REGISTRO", QFile::encodeName(Registro()));
        qputenv("QUILTREN_REGISTRO_SISTEMA", QFile::encodeName(carpeta_.filePath(QStringLiteral("sistema"))));
    }

    void cleanup()
    {
        LiberarBibliotecasSinUso();
    }

    // DllRegisterServer finds the library's own file and registers each of its classes; the
    // unregistration takes exactly those away again.
    void registrarYDesregistrar()
    {
        QVERIFY(EscribirArchivo(Registro(), Otras));
        RegistrarBiblioteca(Componente);
        const QList<EntradaClase> esperadas{
            {QStringLiteral("Otra.Clase"), QStringLiteral("/opt/otra/libotra.so"), QStringLiteral("OtraClase"), QStringLiteral("3.1")},
            {Prueba, Componente, QStringLiteral("ClasePrueba"), QStringLiteral("2.03.0007")},
            {QStringLiteral("PruebaServidor.ClaseNula"), Componente, QStringLiteral("ClaseNula"), QStringLiteral("2.03.0007")},
            {QStringLiteral("PruebaServidor.ClaseQueFalla"), Componente, QStringLiteral("ClaseQueFalla"), QStringLiteral("2.03.0007")},
        };
        QCOMPARE(RegistroClases().Entradas(), esperadas);

        RegistrarBiblioteca(Componente);   // registering twice changes nothing
        QCOMPARE(RegistroClases().Entradas(), esperadas);

        DesregistrarBiblioteca(Componente);
        QCOMPARE(LeerArchivo(Registro()), Otras);
    }

    // ProgIDs compare without regard to letter case, as on the original platform.
    void crearPorProgId()
    {
        RegistrarBiblioteca(Componente);
        const std::shared_ptr<QObject> objeto = CrearObjeto(QStringLiteral("pruebaservidor.CLASEPRUEBA"));
        QVERIFY(objeto);
        QCOMPARE(objeto->metaObject()->className(), "ClasePrueba");
        QString saludo;
        QVERIFY(QMetaObject::invokeMethod(objeto.get(), "Saludar", Q_RETURN_ARG(QString, saludo), Q_ARG(QString, QStringLiteral("Ana"))));
        QCOMPARE(saludo, QStringLiteral("Hola, Ana"));
    }

    void errorAlCrear_data()
    {
        QTest::addColumn<QString>("progId");
        QTest::addColumn<QByteArray>("registro");
        QTest::addColumn<int>("numero");
        QTest::addColumn<QString>("mensaje");
        QTest::addColumn<int>("versionMayor");   // what the host was built for; 0: any
        const QByteArray componente = QFile::encodeName(Componente);
        const QString faltante = carpeta_.filePath(QStringLiteral("no-existe.so"));
        const QString texto = carpeta_.filePath(QStringLiteral("texto.so"));

        QTest::newRow("no registrada") << QStringLiteral("PruebaServidor.Nada") << Otras << int(0x80040154u)
                                       << QStringLiteral("La clase «PruebaServidor.Nada» no está registrada: instale el componente que la "
                                                         "ofrece o regístrelo con quiltren-registrar.") << 0;
        QTest::newRow("biblioteca que falta")
            << QStringLiteral("Falta.Clase") << "clase\tFalta.Clase\t" + QFile::encodeName(faltante) + "\tClase\t1\n"
            << int(0x8007007Eu)
            << QStringLiteral("No se encuentra la biblioteca «%1», registrada para la clase «Falta.Clase».").arg(faltante) << 0;
        QTest::newRow("no es una biblioteca")
            << QStringLiteral("Texto.Clase") << "clase\tTexto.Clase\t" + QFile::encodeName(texto) + "\tClase\t1\n"
            << int(0x800700C1u)
            << QStringLiteral("No se puede cargar la biblioteca «%1», registrada para la clase «Texto.Clase» (detalle del sistema: ").arg(texto) << 0;
        QTest::newRow("no es un componente")
            << QStringLiteral("Servidor.Clase") << "clase\tServidor.Clase\t" + QFile::encodeName(Servidor) + "\tClase\t1\n"
            << int(0x8007007Fu)
            << QStringLiteral("La biblioteca «%1», registrada para la clase «Servidor.Clase», no exporta «DllGetClassObject»: no es un componente.").arg(Servidor) << 0;
        QTest::newRow("clase que la biblioteca no sirve")
            << QStringLiteral("PruebaServidor.Ajena") << "clase\tPruebaServidor.Ajena\t" + componente + "\tAjena\t1\n"
            << int(0x80040111u)
            << QStringLiteral("La biblioteca «%1» no ofrece la clase «PruebaServidor.Ajena» (código 0x80040111).").arg(Componente) << 0;
        QTest::newRow("fábrica sin objeto")
            << QStringLiteral("PruebaServidor.ClaseNula") << "clase\tPruebaServidor.ClaseNula\t" + componente + "\tClaseNula\t1\n"
            << int(0x80004005u)
            << QStringLiteral("No se pudo crear un objeto de la clase «PruebaServidor.ClaseNula»: la fábrica no devolvió ningún objeto.") << 0;
        QTest::newRow("fábrica que falla")
            << QStringLiteral("PruebaServidor.ClaseQueFalla") << "clase\tPruebaServidor.ClaseQueFalla\t" + componente + "\tClaseQueFalla\t1\n"
            << int(0x80004005u)
            << QStringLiteral("No se pudo crear un objeto de la clase «PruebaServidor.ClaseQueFalla»: no queda memoria para la ficha.") << 0;
        QTest::newRow("registro dañado")
            << Prueba << "clase\t" + Prueba.toUtf8() + "\t" + componente + "\n" << int(0x800703F1u)
            << QStringLiteral("El registro de clases «%1» está dañado en la línea 1: una clase lleva ProgID, biblioteca, nombre y "
                              "versión separados por tabuladores, y esta línea tiene 3 campos en lugar de 5.").arg(Registro()) << 0;
        // The registry states another major version (nothing is loaded), or states the right one
        // for a library that reports another.
        const QString otraVersion = QStringLiteral("La biblioteca «%1», registrada para la clase «%2», es de la versión "
                                                   "2.03.0007, y este programa se construyó para la versión 1 de la clase: instale "
                                                   "una versión 1 del componente o vuelva a construir el programa con la que está instalada.")
                                        .arg(Componente, Prueba);
        QTest::newRow("registrada con otra versión") << Prueba << "clase\t" + Prueba.toUtf8() + "\t" + componente + "\tClasePrueba\t2.03.0007\n"
                                                     << int(0x8007051Au) << otraVersion << 1;
        QTest::newRow("biblioteca de otra versión") << Prueba << "clase\t" + Prueba.toUtf8() + "\t" + componente + "\tClasePrueba\t1.00.0001\n"
                                                    << int(0x8007051Au) << otraVersion << 1;
    }

    // Each failure is an ErrorServidor with its own number and message, the registry stays as
    // it was and nothing is left alive in the component.
    void errorAlCrear()
    {
        QFETCH(QString, progId);
        QFETCH(QByteArray, registro);
        QFETCH(int, numero);
        QFETCH(QString, mensaje);
        QFETCH(int, versionMayor);
        QVERIFY(EscribirArchivo(carpeta_.filePath(QStringLiteral("texto.so")), "esto no es una biblioteca\n"));
        QVERIFY(EscribirArchivo(Registro(), registro));

        const ErrorServidor error = Fallo([&] { CrearObjeto(progId, versionMayor); });
        QCOMPARE(error.Numero(), numero);
        if (numero == int(0x800700C1u))
            QVERIFY2(error.Descripcion().startsWith(mensaje) && error.Descripcion().endsWith(QStringLiteral(").")),
                     qPrintable(error.Descripcion()));
        else
            QCOMPARE(error.Descripcion(), mensaje);
        QCOMPARE(LeerArchivo(Registro()), registro);
        Exportaciones exportaciones;
        QVERIFY(exportaciones.Cargada());
        QCOMPARE(exportaciones.DllCanUnloadNow(), 0);
    }

    // The host's unload only takes away a library nothing of which is in use.
    void liberarBibliotecas()
    {
        RegistrarBiblioteca(Componente);
        LiberarBibliotecasSinUso();
        QVERIFY(!ComponenteEnMemoria());

        std::shared_ptr<QObject> objeto = CrearObjeto(Prueba);
        QCOMPARE(LiberarBibliotecasSinUso(), 0);
        QVERIFY(ComponenteEnMemoria());

        objeto.reset();
        QCOMPARE(LiberarBibliotecasSinUso(), 1);
        QVERIFY(!ComponenteEnMemoria());
        QCOMPARE(LiberarBibliotecasSinUso(), 0);

        objeto = CrearObjeto(Prueba);   // loaded afresh on demand
        QCOMPARE(objeto->metaObject()->className(), "ClasePrueba");
    }

    void leerVersion()
    {
        const DatosVersion version = LeerVersion(Componente);
        QCOMPARE(version.Version, QStringLiteral("2.03.0007"));
        QCOMPARE(version.Locale, QStringLiteral("es-ES"));
        const ErrorServidor error = Fallo([] { LeerVersion(Servidor); });
        QCOMPARE(error.Numero(), int(0x8007007Fu));
        QCOMPARE(error.Descripcion(), QStringLiteral("La biblioteca «%1» no exporta «QuiltrenVersion»: no es un componente.").arg(Servidor));
    }

    void herramientaRegistrar_data()
    {
        QTest::addColumn<QStringList>("argumentos");
        QTest::addColumn<bool>("registradaAntes");
        QTest::addColumn<int>("salida");
        QTest::addColumn<QString>("texto");
        QTest::addColumn<bool>("registradaDespues");
        QTest::addColumn<bool>("enSistema");   // in the system's registry, the user's left as it was
        const QString faltante = carpeta_.filePath(QStringLiteral("no-existe.so"));
        QTest::newRow("registrar") << QStringList{Componente} << false << 0
                                   << QStringLiteral("Biblioteca «%1» registrada.\n").arg(Componente) << true << false;
        QTest::newRow("desregistrar") << QStringList{QStringLiteral("-u"), Componente} << true << 0
                                      << QStringLiteral("Biblioteca «%1» desregistrada.\n").arg(Componente) << false << false;
        QTest::newRow("biblioteca que falta") << QStringList{faltante} << true << 1
                                              << QStringLiteral("Error 0x8007007E: No se encuentra la biblioteca «%1».\n").arg(faltante)
                                              << true << false;
        QTest::newRow("registrar en el sistema") << QStringList{QStringLiteral("--sistema"), Componente} << false << 0
                                                 << QStringLiteral("Biblioteca «%1» registrada.\n").arg(Componente) << true << true;
    }

    void herramientaRegistrar()
    {
        QFETCH(QStringList, argumentos);
        QFETCH(bool, registradaAntes);
        QFETCH(int, salida);
        QFETCH(QString, texto);
        QFETCH(bool, registradaDespues);
        QFETCH(bool, enSistema);
        QVERIFY(EscribirArchivo(Registro(), Otras));
        if (registradaAntes)
            RegistrarBiblioteca(Componente);
        const QByteArray antes = LeerArchivo(Registro());

        QProcess proceso;
        proceso.start(QStringLiteral(RUTA_REGISTRAR), argumentos);
        QVERIFY(proceso.waitForFinished(30000));
        QCOMPARE(proceso.exitCode(), salida);
        QCOMPARE(QString::fromUtf8(salida == 0 ? proceso.readAllStandardOutput() : proceso.readAllStandardError()), texto);

        const RegistroClases escrito(enSistema ? RegistroClases::RutaSistema() : Registro());
        QCOMPARE(escrito.Buscar(Prueba).has_value(), registradaDespues);
        QVERIFY(RegistroClases().Buscar(QStringLiteral("Otra.Clase")));
        if (salida != 0 || enSistema)
            QCOMPARE(LeerArchivo(Registro()), antes);
    }
};

QTEST_GUILESS_MAIN(TestServidorComponente)
#include "tst_ServidorComponente.moc"
