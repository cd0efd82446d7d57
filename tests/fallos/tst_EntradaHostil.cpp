// Generated hostile codes, names and code ranges (quotes, every `like` wildcard, SQL fragments,
// control and NUL characters, very long and multi-byte text, leading and trailing spaces) go
// through the code check, the save, the search, the delete and the listing statements as the
// window sends them. No statement may read or change a row it does not name, and the table
// must always equal the model of what should be there.

#include "ApoyoFallos.h"
#include "ErroresDatos.h"
#include "Recordset.h"
#include "Sentencias.h"

#include <QRandomGenerator>
#include <QtTest>

#include <algorithm>

using namespace ApoyoFallos;

namespace {

const QStringList& Piezas()
{
    static const QStringList piezas = [] {
        QStringList lista = QStringLiteral(
            "'|''|\"|%|_|*|[|]|[a-z]|[!0]|^|#|?|\\|\\%|' OR '1'='1|'; DELETE FROM Provincias; --|%' OR Codigo like '%|"
            "')) OR ((1=1|' --|/*|*/|;|NULL|SELECT|Provincias.Codigo| |  |\t|\n|\r\n|ñ|Ñ|Á|ü|€|ß|İ|ﬁ|e\u0301|\u200b|\u202e|"
            "\U0001D538|\U0001F600|中文|a|A|z|01|0|9|Z9").split(QLatin1Char('|'));
        for (char16_t c : {0x0, 0x1, 0x1b, 0x7f, 0x85, 0xD800, 0xDC00})
            lista << QString(QChar(c));
        return lista;
    }();
    return piezas;
}

// A hostile text: a few pieces, sometimes around a code that exists, sometimes very long,
// sometimes with spaces around it.
QString TextoHostil(QRandomGenerator& azar, const QStringList& existentes)
{
    const QStringList& piezas = Piezas();
    QString texto;
    const int forma = azar.bounded(20);
    if (forma < 4 && !existentes.isEmpty()) {
        // A near neighbour of a stored code: other letter case, spaces, one piece more.
        texto = existentes[azar.bounded(int(existentes.size()))];
        switch (azar.bounded(5)) {
        case 0: texto = texto.toUpper() == texto ? texto.toLower() : texto.toUpper(); break;
        case 1: texto += QLatin1Char(' '); break;
        case 2: texto.prepend(QLatin1Char(' ')); break;
        case 3: texto += piezas[azar.bounded(int(piezas.size()))]; break;
        default: texto.chop(1); break;
        }
        return texto;
    }
    if (forma == 4) {
        // Very long, many bytes per character on the way.
        const QString pieza = piezas[azar.bounded(int(piezas.size()))] + QStringLiteral("ñ");
        const int largo = 300 + azar.bounded(5000);
        while (texto.size() < largo)
            texto += pieza;
        return texto;
    }
    const int cuantas = 1 + azar.bounded(5);
    for (int i = 0; i < cuantas; ++i)
        texto += piezas[azar.bounded(int(piezas.size()))];
    if (forma == 5)
        texto = QStringLiteral("  ") + texto;
    else if (forma == 6)
        texto += QStringLiteral("   ");
    return texto;
}

QStringList Codigos(const QString& sentencia, const ConnectionPtr& conexion)
{
    Recordset rs;
    rs.Open(sentencia, conexion, 3, 1, -1);
    QStringList codigos;
    for (; !rs.Eof(); rs.MoveNext())
        codigos << rs.Fields(QStringLiteral("Codigo")).Value().toString();
    return codigos;
}

// Text that an engine cannot store unchanged: half a UTF-16 pair, or a NUL on PostgreSQL.
bool NoSePuedeGuardar(const QString& texto)
{
    return (BasePrueba::EnPostgres() && texto.contains(QChar(0))) || !texto.isValidUtf16();
}

// A code the window sends on to the statements.
bool CodigoQueLlega(const QString& codigo)
{
    return Sentencias::CodigoAceptable(codigo) && !codigo.isEmpty();
}

// An error a user can act on: one of the layer's specific numbers and a real description.
bool ErrorClaro(const ErrorDatos& error)
{
    return error.Number() != ErroresDatos::ErrorProveedor && !error.Description().trimmed().isEmpty()
        && error.Description() != QLatin1String("not an error");
}

} // namespace

class EntradaHostil : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase()
    {
        m_conexion.reset();
        m_base.reset();
    }
    void recorrido();
    void rangosDelListado();

private:
    // Saves `nombre` under `codigo` (anew, or over the row of `anterior`) and keeps the model; a
    // refusal must be a duplicate or a name no engine can hold, with an error that names the fault.
    void Guardar(const QString& anterior, const QString& codigo, const QString& nombre, const QString& contexto);
    void ComprobarTabla(const char* momento)
    {
        const Tabla obtenida = LeerTabla(*m_conexion);
        QVERIFY2(obtenida == m_modelo, qPrintable(QStringLiteral("%1: %2").arg(QLatin1String(momento), Diferencias(m_modelo, obtenida))));
    }

    std::unique_ptr<BasePrueba> m_base;
    ConnectionPtr m_conexion;
    Tabla m_modelo;
    QRandomGenerator m_azar;
    QStringList m_problemas;
    int m_guardados = 0;
};

void EntradaHostil::initTestCase()
{
    try {
        m_base = std::make_unique<BasePrueba>();
        m_conexion = m_base->Abrir();
    } catch (const ErrorDatos& error) {
        QFAIL(error.what());
    }
    // Letter codes as well, so that letter case and like patterns have something to hit.
    m_modelo = LeerTabla(*m_conexion);
    for (const char* codigo : {"ab", "AB", "Ab", "a", "b", "ñu", "Ñu", "x y", "x  y", "10", "1"})
        m_modelo.insert(QString::fromUtf8(codigo), QStringLiteral("Letras %1").arg(QString::fromUtf8(codigo)));
    CargarTabla(*m_conexion, m_modelo);
    const quint32 semilla = QRandomGenerator::global()->generate() % 100000;
    qInfo("semilla %u", semilla);
    m_azar.seed(semilla);
}

void EntradaHostil::Guardar(const QString& anterior, const QString& codigo, const QString& nombre, const QString& contexto)
{
    const bool repetido = codigo != anterior && m_modelo.contains(codigo);
    try {
        if (anterior.isEmpty())
            GuardarNueva(m_conexion, codigo, nombre);
        else
            QVERIFY2(Modificar(m_conexion, anterior, codigo, nombre), qPrintable(contexto));
        QVERIFY2(!repetido, qPrintable(QStringLiteral("se guardó un código repetido: %1").arg(contexto)));
        const QString guardado = LeerTabla(*m_conexion).value(codigo);
        if (guardado != nombre)
            m_problemas << QStringLiteral("el nombre %1 se guardó cambiado como %2 sin error").arg(Visible(nombre), Visible(guardado));
        m_modelo.remove(anterior);
        m_modelo.insert(codigo, guardado);
        ++m_guardados;
    } catch (const ErrorDatos& error) {
        QVERIFY2((repetido && error.Number() == ErroresDatos::ViolacionIntegridad) || (NoSePuedeGuardar(nombre) && ErrorClaro(error)),
                 qPrintable(QStringLiteral("%1, nombre %2: %3").arg(contexto, Visible(nombre), QString::fromUtf8(error.what()))));
    }
}

void EntradaHostil::recorrido()
{
    const int cuantos = Cuenta(1000, 5000);
    int rechazados = 0, borrados = 0;
    for (int i = 0; i < cuantos; ++i) {
        const QString codigo = TextoHostil(m_azar, m_modelo.keys());
        const QString contexto = QStringLiteral("código %1 (n.º %2)").arg(Visible(codigo)).arg(i);
        if (!CodigoQueLlega(codigo)) {
            // The window refuses it before any statement carries it; nothing to send.
            ++rechazados;
            continue;
        }
        // Stored, half a UTF-16 pair would come back changed, and in statement text it swallows
        // the closing quote.
        QVERIFY2(codigo.isValidUtf16(), qPrintable(QStringLiteral("CodigoAceptable admite %1").arg(contexto)));

        // The code check on leaving the code field, the change check and the display: each reads
        // the one row of that exact code, or none.
        const QStringList esperados = m_modelo.contains(codigo) ? QStringList{codigo} : QStringList{};
        try {
            QCOMPARE(Codigos(Sentencias::ComprobarCodigo(codigo), m_conexion), esperados);
            QCOMPARE(Codigos(Sentencias::VerificarCambios(codigo), m_conexion), esperados);
            QCOMPARE(Codigos(Sentencias::MostrarPorCodigo(codigo), m_conexion), esperados);
        } catch (const ErrorDatos& error) {
            QFAIL(qPrintable(QStringLiteral("%1: %2").arg(contexto, QString::fromUtf8(error.what()))));
        }

        // The save of a new province: stored exactly as typed, or refused as a duplicate.
        Guardar(QString(), codigo, TextoHostil(m_azar, {}), contexto);
        if (QTest::currentTestFailed())
            return;
        if (i % 50 == 0)
            ComprobarTabla("tras guardar");

        // The search: the chosen code found in the window's recordset by its like criterion.
        Recordset rs;
        rs.Open(Sentencias::TodasPorNombre(), m_conexion, 2, 3, -1);
        rs.Find(Sentencias::CriterioCodigoComo(codigo));
        QVERIFY2(rs.Eof() != m_modelo.contains(codigo), qPrintable(contexto));
        if (!rs.Eof())
            QCOMPARE(rs.Fields(QStringLiteral("Codigo")).Value().toString(), codigo);
        rs.Close();

        // Sometimes a change of the stored row (to another hostile code now and then), sometimes its delete.
        const int accion = m_azar.bounded(10);
        if (m_modelo.contains(codigo) && accion < 3) {
            const QString otro = accion == 0 ? TextoHostil(m_azar, m_modelo.keys()) : codigo;
            if (CodigoQueLlega(otro) && otro.isValidUtf16())
                Guardar(codigo, otro, TextoHostil(m_azar, {}), contexto);
        } else if (m_modelo.contains(codigo) && accion < 6) {
            try {
                Borrar(m_conexion, codigo);
            } catch (const ErrorDatos& error) {
                QFAIL(qPrintable(QStringLiteral("%1: %2").arg(contexto, QString::fromUtf8(error.what()))));
            }
            m_modelo.remove(codigo);
            ++borrados;
        }
        if (QTest::currentTestFailed())
            return;
        if (i % 50 == 0 || accion < 6)
            ComprobarTabla("tras modificar o borrar");
    }
    ComprobarTabla("al final");
    QVERIFY(CodigosRepetidos(*m_conexion).isEmpty());
    if (!BasePrueba::EnPostgres())
        QCOMPARE(ComprobarIntegridad(*m_conexion), QStringLiteral("ok"));
    qInfo("%d textos: %d guardados o modificados, %d rechazados por el código, %d borrados; %d filas",
          cuantos, m_guardados, rechazados, borrados, int(m_modelo.size()));
    QVERIFY2(m_problemas.isEmpty(), qPrintable(QStringLiteral("%1 problemas; los primeros: %2")
                                                   .arg(m_problemas.size()).arg(m_problemas.mid(0, 5).join(QStringLiteral(" | ")))));
    QVERIFY(m_guardados > cuantos / 10);
    QVERIFY(rechazados > cuantos / 10);
}

void EntradaHostil::rangosDelListado()
{
    // Whatever is typed as the range reaches the listing: the statement must list exactly the
    // codes between the two, compared as text, or refuse with a clear error.
    const int cuantos = Cuenta(300, 1500);
    const QStringList existentes = m_modelo.keys();
    int rechazados = 0;
    for (int i = 0; i < cuantos; ++i) {
        const QString desde = (i % 7 == 0 && !existentes.isEmpty()) ? existentes[m_azar.bounded(int(existentes.size()))]
                                                                    : TextoHostil(m_azar, existentes);
        const QString hasta = i % 11 == 0 ? QString() : TextoHostil(m_azar, existentes);
        const QString rango = QStringLiteral("desde %1 hasta %2").arg(Visible(desde), Visible(hasta));
        QStringList esperados;
        for (const QString& codigo : existentes) {
            if (CompararCodigos(codigo, desde) >= 0 && CompararCodigos(codigo, hasta) <= 0)
                esperados << codigo;
        }
        std::sort(esperados.begin(), esperados.end(), CodigoMenor);
        QStringList obtenidos;
        try {
            obtenidos = Codigos(Sentencias::ListadoConRango(desde, hasta, i % 2 == 0), m_conexion);
        } catch (const ErrorDatos& error) {
            // Text no engine takes as it is (a NUL character, half a UTF-16 pair) may be refused,
            // with an error that says what is wrong with the statement. Each text on its own:
            // half a pair at the end of one and the other half at the start of the next do not
            // make a character of the statement.
            QVERIFY2((desde + hasta).contains(QChar(0)) || !desde.isValidUtf16() || !hasta.isValidUtf16(),
                     qPrintable(rango + QStringLiteral(": ") + QString::fromUtf8(error.what())));
            QVERIFY2(error.Number() == ErroresDatos::ErrorSintaxis || error.Number() == ErroresDatos::ConversionNoValida
                         || error.Number() == ErroresDatos::ArgumentosNoValidos,
                     qPrintable(rango + QStringLiteral(": ") + QString::fromUtf8(error.what())));
            ++rechazados;
            continue;
        }
        // By code the statement's own order must be the byte order; by name only the set counts.
        if (i % 2 != 0)
            std::sort(obtenidos.begin(), obtenidos.end(), CodigoMenor);
        QVERIFY2(obtenidos == esperados,
                 qPrintable(QStringLiteral("%1: %2 filas en lugar de %3").arg(rango).arg(obtenidos.size()).arg(esperados.size())));
    }
    // The whole listing in both orders lists every row once.
    for (bool porCodigo : {true, false}) {
        QStringList todos = Codigos(Sentencias::Listado(porCodigo), m_conexion);
        if (porCodigo)
            QVERIFY(std::is_sorted(todos.begin(), todos.end(), CodigoMenor));
        std::sort(todos.begin(), todos.end(), CodigoMenor);
        QStringList esperados = existentes;
        std::sort(esperados.begin(), esperados.end(), CodigoMenor);
        QCOMPARE(todos, esperados);
    }
    ComprobarTabla("tras los listados");
    qInfo("%d rangos, %d rechazados con error", cuantos, rechazados);
}

QTEST_GUILESS_MAIN(EntradaHostil)
#include "tst_EntradaHostil.moc"
