#include "Apoyo.h"
#include "ErrorServidor.h"
#include "RegistroClases.h"

#include <QDir>
#include <QLockFile>
#include <QTemporaryDir>

namespace {
// The ErrorServidor the call throws; number 0 when it throws nothing.
template <class F>
ErrorServidor Fallo(F&& llamada)
{
    return Capturar<ErrorServidor>(std::forward<F>(llamada)).value_or(ErrorServidor(0, QStringLiteral("no falló")));
}
} // namespace

Q_DECLARE_METATYPE(EntradaClase)

namespace {

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

} // namespace

class TestRegistroClases : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir carpeta_;
    QString Ruta() const { return carpeta_.filePath(QStringLiteral("registro-clases")); }

private slots:
    void init() { QFile::remove(Ruta()); }

    void rutaPredeterminada()
    {
        const QByteArray antes = qgetenv("QUILTREN_REGISTRO");
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(carpeta_.path()));
        qputenv("QUILTREN_REGISTRO", "/srv/quiltren/clases");
        const QString desdeEntorno = RegistroClases::RutaPredeterminada();
        qputenv("QUILTREN_REGISTRO", "");
        const QString predeterminada = RegistroClases::RutaPredeterminada();
        qputenv("QUILTREN_REGISTRO", antes);
        qunsetenv("XDG_CONFIG_HOME");
        QCOMPARE(desdeEntorno, QStringLiteral("/srv/quiltren/clases"));
        QCOMPARE(predeterminada, carpeta_.filePath(QStringLiteral("quiltren/registro-clases")));
    }

    // Without QUILTREN_REGISTRO a lookup reads the user's registry, then the system's, and the
    // user's entry wins; with it, that file alone is read.
    void registroDelSistema()
    {
        const QByteArray antes = qgetenv("QUILTREN_REGISTRO");
        const QString sistema = carpeta_.filePath(QStringLiteral("sistema"));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(carpeta_.path()));
        qputenv("QUILTREN_REGISTRO_SISTEMA", QFile::encodeName(sistema));
        qputenv("QUILTREN_REGISTRO", "");
        QVERIFY(EscribirArchivo(sistema, LineaFicha + "clase\tOtra.Clase\t/usr/lib/libotra.so\tOtraClase\t3.1\n"));
        RegistroClases().Registrar({{QStringLiteral("Otra.Clase"), QStringLiteral("/opt/otra/libotra.so"), QStringLiteral("OtraClase"), {}}});
        const auto soloEnSistema = RegistroClases().Buscar(Ficha.ProgId);
        const auto enAmbos = RegistroClases().Buscar(QStringLiteral("otra.clase"));
        const auto propias = RegistroClases().Entradas().size();
        qputenv("QUILTREN_REGISTRO", QFile::encodeName(Ruta()));
        const bool aislado = !RegistroClases().Buscar(Ficha.ProgId).has_value();
        qputenv("QUILTREN_REGISTRO", antes);
        qunsetenv("XDG_CONFIG_HOME");
        qunsetenv("QUILTREN_REGISTRO_SISTEMA");
        QCOMPARE(soloEnSistema, std::optional<EntradaClase>(Ficha));
        QCOMPARE(enAmbos.value_or(EntradaClase{}).Biblioteca, QStringLiteral("/opt/otra/libotra.so"));
        QCOMPARE(propias, 1);
        QVERIFY(aislado);
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
        QCOMPARE(registro.Entradas(), (QList<EntradaClase>{movida, Ficha}));

        QCOMPARE(registro.Desregistrar({QStringLiteral("Prueba.Ficha"), QStringLiteral("No.Esta")}), 1);
        esperado.chop(LineaFicha.size());
        QCOMPARE(LeerArchivo(Ruta()), esperado);
        QVERIFY(!registro.Buscar(QStringLiteral("Prueba.Ficha")));
    }

    void registroNuevo()
    {
        const QString ruta = carpeta_.filePath(QStringLiteral("nueva/carpeta/registro-clases"));
        RegistroClases registro(ruta);
        QVERIFY(registro.Entradas().isEmpty());
        QCOMPARE(registro.Desregistrar({Ficha.ProgId}), 0);
        QVERIFY(!QFile::exists(ruta));

        registro.Registrar({Ficha});
        const QByteArray contenido = LeerArchivo(ruta);
        QVERIFY(contenido.startsWith("# "));
        QVERIFY(contenido.endsWith("\n" + LineaFicha));
        QCOMPARE(QDir(QFileInfo(ruta).path()).entryList(QDir::Files), QStringList{QStringLiteral("registro-clases")});
    }

    void lineaDanada_data()
    {
        QTest::addColumn<QByteArray>("linea");
        QTest::addColumn<QString>("razon");
        QTest::newRow("sin tabulador") << QByteArray("basura") << QStringLiteral("falta el tabulador tras la clave de la línea");
        QTest::newRow("faltan campos") << QByteArray("clase\tA.B\t/opt/b.so\tB")
                                       << QStringLiteral("una clase lleva ProgID, biblioteca, nombre y versión separados por "
                                                         "tabuladores, y esta línea tiene 4 campos en lugar de 5");
        QTest::newRow("ProgID no válido") << QByteArray("clase\tA B\t/opt/b.so\tB\t1")
                                          << QStringLiteral("el ProgID «A B» no es válido (letras y cifras en dos o más partes "
                                                            "separadas por puntos, empezando por una letra, 39 caracteres como mucho)");
        QTest::newRow("ruta relativa") << QByteArray("clase\tA.B\tlib/b.so\tB\t1")
                                       << QStringLiteral("la ruta de la biblioteca «lib/b.so» de la clase «A.B» no es absoluta");
        QTest::newRow("ProgID repetido") << QByteArray("clase\tOTRA.CLASE\t/opt/b.so\tB\t1")
                                         << QStringLiteral("la clase «OTRA.CLASE» ya figura en la línea 4");
    }

    // A damaged line stops reads and writes alike with its line number, and nothing is rewritten.
    void lineaDanada()
    {
        QFETCH(QByteArray, linea);
        QFETCH(QString, razon);
        const QByteArray contenido = RegistroAjeno + linea + "\n" + LineaFicha;
        QVERIFY(EscribirArchivo(Ruta(), contenido));
        RegistroClases registro(Ruta());
        const QString mensaje = QStringLiteral("El registro de clases «%1» está dañado en la línea 6: %2.").arg(Ruta(), razon);
        const std::function<void()> llamadas[] = {
            [&] { registro.Buscar(QStringLiteral("Otra.Clase")); },
            [&] { registro.Registrar({Ficha}); },
            [&] { registro.Desregistrar({QStringLiteral("Otra.Clase")}); },
        };
        for (const auto& llamada : llamadas) {
            const ErrorServidor error = Fallo(llamada);
            QCOMPARE(error.Numero(), int(0x800703F1u));
            QCOMPARE(error.Descripcion(), mensaje);
            QCOMPARE(LeerArchivo(Ruta()), contenido);
        }
    }

    void entradaNoValida_data()
    {
        QTest::addColumn<EntradaClase>("entrada");
        QTest::addColumn<QString>("razon");
        QTest::newRow("ProgID de 40 caracteres")
            << EntradaClase{QStringLiteral("A.") + QString(38, QLatin1Char('b')), Ficha.Biblioteca, Ficha.Clase, Ficha.Version}
            << QStringLiteral("el ProgID «A.%1» no es válido (letras y cifras en dos o más partes separadas por puntos, "
                              "empezando por una letra, 39 caracteres como mucho)").arg(QString(38, QLatin1Char('b')));
        QTest::newRow("tabulador en la ruta") << EntradaClase{Ficha.ProgId, QStringLiteral("/opt/a\tb.so"), Ficha.Clase, Ficha.Version}
                                              << QStringLiteral("los datos de la clase «Prueba.Ficha» no pueden llevar tabuladores ni saltos de línea");
        QTest::newRow("sin nombre de clase") << EntradaClase{Ficha.ProgId, Ficha.Biblioteca, QString(), Ficha.Version}
                                             << QStringLiteral("falta el nombre de la clase «Prueba.Ficha»");
    }

    // A registration is all or nothing: the valid entry beside the bad one is not written either.
    void entradaNoValida()
    {
        QFETCH(EntradaClase, entrada);
        QFETCH(QString, razon);
        QVERIFY(EscribirArchivo(Ruta(), RegistroAjeno));
        const ErrorServidor error = Fallo([&] { RegistroClases(Ruta()).Registrar({Ficha, entrada}); });
        QCOMPARE(error.Numero(), int(0x80070057u));
        QCOMPARE(error.Descripcion(), QStringLiteral("No se puede registrar la clase: %1.").arg(razon));
        QCOMPARE(LeerArchivo(Ruta()), RegistroAjeno);
    }

    void registroInaccesible_data()
    {
        QTest::addColumn<QString>("ruta");
        QTest::addColumn<int>("numeroLectura");
        QTest::addColumn<int>("numeroEscritura");
        QTest::addColumn<QString>("mensajeEscritura");
        const QString carpeta = carpeta_.filePath(QStringLiteral("es-una-carpeta"));
        QTest::newRow("el registro es una carpeta") << carpeta << int(0x80040150u) << int(0x80040150u)
                                                    << QStringLiteral("No se puede leer el registro de clases «%1»: es una carpeta.").arg(carpeta);
        const QString archivo = carpeta_.filePath(QStringLiteral("es-un-archivo"));
        QTest::newRow("su carpeta es un archivo")
            << archivo + QStringLiteral("/registro") << 0 << int(0x80040151u)
            << QStringLiteral("No se puede escribir el registro de clases «%1/registro»: no se puede crear la carpeta «%1».").arg(archivo);
        QTest::newRow("sistema de archivos del núcleo")
            << QStringLiteral("/proc/registro-clases") << 0 << int(0x80040151u)
            << QStringLiteral("No se puede escribir el registro de clases «/proc/registro-clases»: no se puede crear el archivo "
                              "de bloqueo en la carpeta «/proc» (compruebe los permisos).");
    }

    // Places no one can read or write, even root: no permission bits involved.
    void registroInaccesible()
    {
        QFETCH(QString, ruta);
        QFETCH(int, numeroLectura);
        QFETCH(int, numeroEscritura);
        QFETCH(QString, mensajeEscritura);
        QDir().mkpath(carpeta_.filePath(QStringLiteral("es-una-carpeta")));
        QVERIFY(EscribirArchivo(carpeta_.filePath(QStringLiteral("es-un-archivo")), "no es una carpeta\n"));
        RegistroClases registro(ruta);
        QCOMPARE(Fallo([&] { registro.Entradas(); }).Numero(), numeroLectura);
        const ErrorServidor error = Fallo([&] { registro.Registrar({Ficha}); });
        QCOMPARE(error.Numero(), numeroEscritura);
        QCOMPARE(error.Descripcion(), mensajeEscritura);
        QCOMPARE(LeerArchivo(carpeta_.filePath(QStringLiteral("es-un-archivo"))), QByteArray("no es una carpeta\n"));
    }

    void bloqueadoPorOtro()
    {
        QVERIFY(EscribirArchivo(Ruta(), RegistroAjeno));
        QLockFile otro(Ruta() + QStringLiteral(".bloqueo"));
        QVERIFY(otro.lock());
        RegistroClases registro(Ruta());
        const ErrorServidor error = Fallo([&] { registro.Registrar({Ficha}); });
        QCOMPARE(error.Numero(), int(0x80070021u));
        QCOMPARE(error.Descripcion(), QStringLiteral("El registro de clases «%1» está bloqueado por otro proceso; "
                                                     "inténtelo de nuevo en unos segundos.").arg(Ruta()));
        QCOMPARE(LeerArchivo(Ruta()), RegistroAjeno);
        QCOMPARE(registro.Entradas().size(), 1);   // readers do not wait for the lock
    }
};

QTEST_GUILESS_MAIN(TestRegistroClases)
#include "tst_RegistroClases.moc"
