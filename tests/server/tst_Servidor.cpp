// The class registry, kept line for line beside what other tools wrote, and the component server,
// driven with a component library of the tests' own.

#include "tests/apoyo/Apoyo.h"
#include "server/CrearObjeto.h"
#include "server/ErrorServidor.h"
#include "server/ExportacionesServidor.h"
#include "server/RegistroClases.h"

#include <QDir>
#include <QLockFile>
#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>

#include <dlfcn.h>

Q_DECLARE_METATYPE(EntradaClase)

namespace {

// The ErrorServidor the call throws; number 0 when it throws nothing.
template <class F>
ErrorServidor Fallo(F&& llamada)
{
    return Capturar<ErrorServidor>(std::forward<F>(llamada)).value_or(ErrorServidor(0, QStringLiteral("no falló")));
}

const EntradaClase Ficha{QStringLiteral("Prueba.Ficha"), QStringLiteral("/opt/prueba/libficha.so"),
                         QStringLiteral("Ficha"), QStringLiteral("1.00.0001")};
const QByteArray LineaFicha = "clase\tPrueba.Ficha\t/opt/prueba/libficha.so\tFicha\t1.00.0001\n";

// As another tool and a person may have left it: comments, a blank line, a key of another
// tool, another class and a line ending from another system.
const QByteArray RegistroAjeno = QByteArrayLiteral(
    "# clases instaladas\n"
    "\n"
    "tipos\tQuiltren\t/opt/quiltren/tipos.tlb\n"
    "clase\tOtra.Clase\t/opt/otra/libotra.so\tOtraClase\t3.1\n"
    "# fin de la parte manual\r\n");
const QByteArray Otras = QByteArrayLiteral("# a mano\nclase\tOtra.Clase\t/opt/otra/libotra.so\tOtraClase\t3.1\n");

const QString Componente = QStringLiteral(RUTA_COMPONENTE_PRUEBA);
const QString Servidor = QStringLiteral(RUTA_SERVIDOR);
const QString Prueba = QStringLiteral("PruebaServidor.ClasePrueba");

// A registration refused: the registry's place and content, the entry registered beside Ficha, the
// number a read of that registry gives (0: it reads), and the number and text of the refusal.
struct Rechazo { QString ruta; QByteArray contenido; EntradaClase entrada; int numeroLectura, numero; QString mensaje; };
// A creation by ProgID under a registry's content: its error and, when not 0, the major version asked for.
struct Creacion { QString progId; QByteArray registro; int numero; QString mensaje; int versionMayor = 0; };
// quiltren-registrar: arguments, registered before, exit code, text written, and the user's registry after.
struct Herramienta { QStringList argumentos; bool registradaAntes; int salida; QString texto; QByteArray registro; };

QByteArray Linea(const QString& progId, const QString& biblioteca, const QString& clase, const QString& version = QStringLiteral("1"))
{
    return QStringLiteral("clase\t%1\t%2\t%3\t%4\n").arg(progId, biblioteca, clase, version).toUtf8();
}

bool ComponenteEnMemoria()
{
    void* manejador = dlopen(QFile::encodeName(Componente).constData(), RTLD_NOW | RTLD_NOLOAD);
    if (manejador != nullptr)
        dlclose(manejador);
    return manejador != nullptr;
}

} // namespace

Q_DECLARE_METATYPE(Rechazo)
Q_DECLARE_METATYPE(Creacion)
Q_DECLARE_METATYPE(Herramienta)

class TestServidor : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir carpeta_;
    QString Ruta() const { return carpeta_.filePath(QStringLiteral("registro-clases")); }

private slots:
    // Every test starts without a registry: the one it writes (QUILTREN_REGISTRO) and the system's.
    void init()
    {
        QFile::remove(Ruta());
        QFile::remove(carpeta_.filePath(QStringLiteral("sistema")));
        qputenv("QUILTREN_REGISTRO", QFile::encodeName(Ruta()));
        qputenv("QUILTREN_REGISTRO_SISTEMA", QFile::encodeName(carpeta_.filePath(QStringLiteral("sistema"))));
    }

    void cleanup() { LiberarBibliotecasSinUso(); }

    // Without QUILTREN_REGISTRO a lookup reads the user's registry, then the system's, and the
    // user's entry wins; with it, that file alone is read. The user's registry starts in a new folder.
    void registroDelUsuarioYDelSistema()
    {
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(carpeta_.path()));
        qputenv("QUILTREN_REGISTRO", "");
        const auto recuperar = qScopeGuard([] { qunsetenv("XDG_CONFIG_HOME"); });
        QCOMPARE(RegistroClases::RutaPredeterminada(), carpeta_.filePath(QStringLiteral("quiltren/registro-clases")));
        QVERIFY(EscribirArchivo(carpeta_.filePath(QStringLiteral("sistema")),
                                LineaFicha + Linea("Otra.Clase", "/usr/lib/libotra.so", "OtraClase")));
        QCOMPARE(RegistroClases().Desregistrar({Ficha.ProgId}), 0);
        RegistroClases().Registrar({{QStringLiteral("Otra.Clase"), QStringLiteral("/opt/otra/libotra.so"), QStringLiteral("OtraClase"), {}}});
        QCOMPARE(RegistroClases().Buscar(Ficha.ProgId), std::optional<EntradaClase>(Ficha));
        QCOMPARE(RegistroClases().Buscar(QStringLiteral("otra.clase")).value_or(EntradaClase{}).Biblioteca,
                 QStringLiteral("/opt/otra/libotra.so"));
        qputenv("QUILTREN_REGISTRO", QFile::encodeName(Ruta()));
        QVERIFY(!RegistroClases().Buscar(Ficha.ProgId).has_value());
    }

    // Every change touches only its own line; the rest stays byte for byte.
    void registrarSustituirYDesregistrar()
    {
        QVERIFY(EscribirArchivo(Ruta(), RegistroAjeno));
        RegistroClases registro(Ruta());
        registro.Registrar({Ficha});
        QCOMPARE(LeerArchivo(Ruta()), RegistroAjeno + LineaFicha);
        QCOMPARE(registro.Buscar(QStringLiteral("prueba.FICHA")), std::optional<EntradaClase>(Ficha));
        const EntradaClase movida{QStringLiteral("otra.clase"), QStringLiteral("/usr/lib/libotra.so.2"), QStringLiteral("OtraClase"), QString()};
        // The file is replaced whole: a host reading it meanwhile sees the old registry, never half a new one.
        QFile lector(Ruta());
        QVERIFY(lector.open(QIODevice::ReadOnly));
        registro.Registrar({movida});
        QCOMPARE(lector.readAll(), RegistroAjeno + LineaFicha);
        QByteArray esperado = RegistroAjeno + LineaFicha;
        esperado.replace("clase\tOtra.Clase\t/opt/otra/libotra.so\tOtraClase\t3.1", "clase\totra.clase\t/usr/lib/libotra.so.2\tOtraClase\t");
        QCOMPARE(LeerArchivo(Ruta()), esperado);
        QCOMPARE(registro.Desregistrar({QStringLiteral("Prueba.Ficha"), QStringLiteral("No.Esta")}), 1);
        esperado.chop(LineaFicha.size());
        QCOMPARE(LeerArchivo(Ruta()), esperado);
    }

    void rechazo_data()
    {
        QTest::addColumn<Rechazo>("caso");
        const EntradaClase otra{QStringLiteral("Prueba.Otra"), QStringLiteral("/opt/b.so"), QStringLiteral("B"), QStringLiteral("1")};
        // A damaged line stops reads and writes alike with its line number.
        const auto danada = [&](const QByteArray& linea, const QString& razon) {
            return Rechazo{Ruta(), RegistroAjeno + linea + "\n" + LineaFicha, otra, int(0x800703F1u), int(0x800703F1u),
                           QStringLiteral("El registro de clases «%1» está dañado en la línea 6: %2.").arg(Ruta(), razon)};
        };
        QTest::newRow("sin tabulador") << danada("basura", "falta el tabulador tras la clave de la línea");
        QTest::newRow("faltan campos") << danada("clase\tA.B\t/opt/b.so\tB", "una clase lleva ProgID, biblioteca, nombre y versión "
                                                                             "separados por tabuladores, y esta línea tiene 4 campos en lugar de 5");
        QTest::newRow("ruta relativa") << danada("clase\tA.B\tlib/b.so\tB\t1", "la ruta de la biblioteca «lib/b.so» de la clase «A.B» no es absoluta");
        QTest::newRow("ProgID repetido") << danada("clase\tOTRA.CLASE\t/opt/b.so\tB\t1", "la clase «OTRA.CLASE» ya figura en la línea 4");

        // A registration is all or nothing: the valid entry beside the bad one is not written either.
        const auto invalida = [&](const EntradaClase& entrada, const QString& razon) {
            return Rechazo{Ruta(), RegistroAjeno, entrada, 0, int(0x80070057u), QStringLiteral("No se puede registrar la clase: %1.").arg(razon)};
        };
        const QString largo = QStringLiteral("A.") + QString(38, QLatin1Char('b'));
        QTest::newRow("ProgID de 40 caracteres")
            << invalida({largo, Ficha.Biblioteca, Ficha.Clase, Ficha.Version},
                        QStringLiteral("el ProgID «%1» no es válido (letras y cifras en dos o más partes separadas por puntos, "
                                       "empezando por una letra, 39 caracteres como mucho)").arg(largo));
        QTest::newRow("tabulador en la ruta") << invalida({Ficha.ProgId, QStringLiteral("/opt/a\tb.so"), Ficha.Clase, Ficha.Version},
                                                          "los datos de la clase «Prueba.Ficha» no pueden llevar tabuladores ni saltos de línea");

        // Places no one can read or write, even root (no permission bits involved), and a registry another process locks.
        const QString carpeta = carpeta_.filePath(QStringLiteral("es-una-carpeta"));
        QTest::newRow("el registro es una carpeta")
            << Rechazo{carpeta, RegistroAjeno, otra, int(0x80040150u), int(0x80040150u),
                       QStringLiteral("No se puede leer el registro de clases «%1»: es una carpeta.").arg(carpeta)};
        const QString archivo = carpeta_.filePath(QStringLiteral("es-un-archivo"));
        QTest::newRow("su carpeta es un archivo")
            << Rechazo{archivo + QStringLiteral("/registro"), RegistroAjeno, otra, 0, int(0x80040151u),
                       QStringLiteral("No se puede escribir el registro de clases «%1/registro»: no se puede crear la carpeta «%1».").arg(archivo)};
        // Readers do not wait for the lock.
        QTest::newRow("bloqueado por otro")
            << Rechazo{Ruta(), RegistroAjeno, otra, 0, int(0x80070021u),
                       QStringLiteral("El registro de clases «%1» está bloqueado por otro proceso; "
                                      "inténtelo de nuevo en unos segundos.").arg(Ruta())};
    }

    // Nothing is rewritten.
    void rechazo()
    {
        QFETCH(Rechazo, caso);
        QDir().mkpath(carpeta_.filePath(QStringLiteral("es-una-carpeta")));
        QVERIFY(EscribirArchivo(carpeta_.filePath(QStringLiteral("es-un-archivo")), "no es una carpeta\n"));
        QVERIFY(EscribirArchivo(Ruta(), caso.contenido));
        QLockFile otro(Ruta() + QStringLiteral(".bloqueo"));
        if (caso.numero == int(0x80070021u))
            QVERIFY(otro.lock());
        RegistroClases registro(caso.ruta);
        QCOMPARE(Fallo([&] { registro.Buscar(QStringLiteral("Otra.Clase")); }).Numero(), caso.numeroLectura);
        if (caso.numeroLectura != 0)  // nor unregistered from
            QCOMPARE(Fallo([&] { registro.Desregistrar({QStringLiteral("No.Esta")}); }).Numero(), caso.numeroLectura);
        const ErrorServidor error = Fallo([&] { registro.Registrar({Ficha, caso.entrada}); });
        QCOMPARE(error.Numero(), caso.numero);
        QCOMPARE(error.Descripcion(), caso.mensaje);
        QCOMPARE(LeerArchivo(carpeta_.filePath(QStringLiteral("es-un-archivo"))), QByteArray("no es una carpeta\n"));
        QCOMPARE(LeerArchivo(Ruta()), caso.contenido);
    }

    void errorAlCrear_data()
    {
        QTest::addColumn<Creacion>("caso");
        const QString faltante = carpeta_.filePath(QStringLiteral("no-existe.so"));
        const QString texto = carpeta_.filePath(QStringLiteral("texto.so"));
        QTest::newRow("no registrada") << Creacion{"PruebaServidor.Nada", Otras, int(0x80040154u),
                                                   "La clase «PruebaServidor.Nada» no está registrada: instale el componente que la "
                                                   "ofrece o regístrelo con quiltren-registrar."};
        QTest::newRow("biblioteca que falta")
            << Creacion{"Falta.Clase", Linea("Falta.Clase", faltante, "Clase"), int(0x8007007Eu),
                        QStringLiteral("No se encuentra la biblioteca «%1», registrada para la clase «Falta.Clase».").arg(faltante)};
        QTest::newRow("no es una biblioteca")
            << Creacion{"Texto.Clase", Linea("Texto.Clase", texto, "Clase"), int(0x800700C1u),
                        QStringLiteral("No se puede cargar la biblioteca «%1», registrada para la clase «Texto.Clase» "
                                       "(detalle del sistema: ").arg(texto)};
        QTest::newRow("no es un componente")
            << Creacion{"Servidor.Clase", Linea("Servidor.Clase", Servidor, "Clase"), int(0x8007007Fu),
                        QStringLiteral("La biblioteca «%1», registrada para la clase «Servidor.Clase», no exporta "
                                       "«DllGetClassObject»: no es un componente.").arg(Servidor)};
        QTest::newRow("clase que la biblioteca no sirve")
            << Creacion{"PruebaServidor.Ajena", Linea("PruebaServidor.Ajena", Componente, "Ajena"), int(0x80040111u),
                        QStringLiteral("La biblioteca «%1» no ofrece la clase «PruebaServidor.Ajena» (código 0x80040111).").arg(Componente)};
        QTest::newRow("fábrica que falla")
            << Creacion{"PruebaServidor.ClaseQueFalla", Linea("PruebaServidor.ClaseQueFalla", Componente, "ClaseQueFalla"), int(0x80004005u),
                        "No se pudo crear un objeto de la clase «PruebaServidor.ClaseQueFalla»: no queda memoria para la ficha."};
        // The registry states another major version (nothing is loaded), or states the right one
        // for a library that reports another.
        const QString otraVersion = QStringLiteral("La biblioteca «%1», registrada para la clase «%2», es de la versión "
                                                   "2.03.0007, y este programa se construyó para la versión 1 de la clase: instale "
                                                   "una versión 1 del componente o vuelva a construir el programa con la que está instalada.")
                                        .arg(Componente, Prueba);
        QTest::newRow("registrada con otra versión")
            << Creacion{Prueba, Linea(Prueba, Componente, "ClasePrueba", "2.03.0007"), int(0x8007051Au), otraVersion, 1};
        QTest::newRow("biblioteca de otra versión")
            << Creacion{Prueba, Linea(Prueba, Componente, "ClasePrueba", "1.00.0001"), int(0x8007051Au), otraVersion, 1};
    }

    // Each failure is an ErrorServidor with its own number and message, the registry stays as
    // it was and nothing is left alive in the component.
    void errorAlCrear()
    {
        QFETCH(Creacion, caso);
        QVERIFY(EscribirArchivo(carpeta_.filePath(QStringLiteral("texto.so")), "esto no es una biblioteca\n"));
        QVERIFY(EscribirArchivo(Ruta(), caso.registro));
        const ErrorServidor error = Fallo([&] { CrearObjeto(caso.progId, caso.versionMayor); });
        QCOMPARE(error.Numero(), caso.numero);
        if (caso.numero == int(0x800700C1u))
            QVERIFY2(error.Descripcion().startsWith(caso.mensaje) && error.Descripcion().endsWith(QStringLiteral(").")),
                     qPrintable(error.Descripcion()));
        else
            QCOMPARE(error.Descripcion(), caso.mensaje);
        QCOMPARE(LeerArchivo(Ruta()), caso.registro);
        LiberarBibliotecasSinUso();
        QVERIFY(!ComponenteEnMemoria());
    }

    // An object created by its ProgID (letter case aside, as on the original platform); the
    // host's unload only takes away a library nothing of which is in use. A library without the
    // version export is not a component.
    void crearYLiberar()
    {
        RegistrarBiblioteca(Componente);
        LiberarBibliotecasSinUso();
        QVERIFY(!ComponenteEnMemoria());
        std::shared_ptr<QObject> objeto = CrearObjeto(Prueba);
        QCOMPARE(LiberarBibliotecasSinUso(), 0);
        objeto.reset();
        QCOMPARE(LiberarBibliotecasSinUso(), 1);
        QVERIFY(!ComponenteEnMemoria());
        objeto = CrearObjeto(QStringLiteral("pruebaservidor.CLASEPRUEBA")); // loaded afresh on demand
        QString saludo;
        QVERIFY(QMetaObject::invokeMethod(objeto.get(), "Saludar", Q_RETURN_ARG(QString, saludo), Q_ARG(QString, QStringLiteral("Ana"))));
        QCOMPARE(saludo, QStringLiteral("Hola, Ana"));
        const ErrorServidor error = Fallo([] { LeerVersion(Servidor); });
        QCOMPARE(error.Numero(), int(0x8007007Fu));
        QCOMPARE(error.Descripcion(), QStringLiteral("La biblioteca «%1» no exporta «QuiltrenVersion»: no es un componente.").arg(Servidor));
    }

    // DllRegisterServer finds the library's own file and registers each of its classes; the
    // unregistration takes exactly those away again.
    void herramientaRegistrar_data()
    {
        QTest::addColumn<Herramienta>("caso");
        const QString faltante = carpeta_.filePath(QStringLiteral("no-existe.so"));
        const QString registrada = QStringLiteral("Biblioteca «%1» registrada.\n").arg(Componente);
        QByteArray conClases = Otras;
        for (const QString clase : {"ClasePrueba", "ClaseNula", "ClaseQueFalla"})
            conClases += Linea(QStringLiteral("PruebaServidor.") + clase, Componente, clase, QStringLiteral("2.03.0007"));
        QTest::newRow("registrar") << Herramienta{{Componente}, false, 0, registrada, conClases};
        QTest::newRow("desregistrar")
            << Herramienta{{"-u", Componente}, true, 0, QStringLiteral("Biblioteca «%1» desregistrada.\n").arg(Componente), Otras};
        QTest::newRow("biblioteca que falta")
            << Herramienta{{faltante}, true, 1, QStringLiteral("Error 0x8007007E: No se encuentra la biblioteca «%1».\n").arg(faltante), conClases};
        // In the system's registry, the user's left as it was.
        QTest::newRow("registrar en el sistema") << Herramienta{{"--sistema", Componente}, false, 0, registrada, Otras};
    }

    void herramientaRegistrar()
    {
        QFETCH(Herramienta, caso);
        QVERIFY(EscribirArchivo(Ruta(), Otras));
        if (caso.registradaAntes)
            RegistrarBiblioteca(Componente);
        QProcess proceso;
        proceso.start(QStringLiteral(RUTA_REGISTRAR), caso.argumentos);
        QVERIFY(proceso.waitForFinished(30000));
        QCOMPARE(proceso.exitCode(), caso.salida);
        QCOMPARE(QString::fromUtf8(caso.salida == 0 ? proceso.readAllStandardOutput() : proceso.readAllStandardError()), caso.texto);
        QCOMPARE(LeerArchivo(Ruta()), caso.registro);
        QCOMPARE(RegistroClases(RegistroClases::RutaSistema()).Buscar(Prueba).has_value(), caso.argumentos.contains("--sistema"));
    }
};

QTEST_GUILESS_MAIN(TestServidor)
#include "tst_Servidor.moc"
