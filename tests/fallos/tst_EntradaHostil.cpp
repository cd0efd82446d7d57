// Generated hostile codes, names and code ranges (quotes, every `like` wildcard, SQL fragments,
// control and NUL characters, very long and multi-byte text, leading and trailing spaces) go
// through the code check, the save, the search, the delete and the listing statements as the
// window sends them. No statement may read or change a row it does not name, and the table
// must always equal the model of what should be there.

#include "ApoyoFallos.h"
#include "ErrorDatos.h"
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
    static const QStringList piezas = {
        QStringLiteral("'"), QStringLiteral("''"), QStringLiteral("\""), QStringLiteral("%"), QStringLiteral("_"),
        QStringLiteral("*"), QStringLiteral("["), QStringLiteral("]"), QStringLiteral("[a-z]"), QStringLiteral("[!0]"),
        QStringLiteral("^"), QStringLiteral("#"), QStringLiteral("?"), QStringLiteral("\\"), QStringLiteral("\\%"),
        QStringLiteral("' OR '1'='1"), QStringLiteral("'; DELETE FROM Provincias; --"), QStringLiteral("%' OR Codigo like '%"),
        QStringLiteral("')) OR ((1=1"), QStringLiteral("' --"), QStringLiteral("/*"), QStringLiteral("*/"),
        QStringLiteral(";"), QStringLiteral("NULL"), QStringLiteral("SELECT"), QStringLiteral("Provincias.Codigo"),
        QStringLiteral(" "), QStringLiteral("  "), QStringLiteral("\t"), QStringLiteral("\n"), QStringLiteral("\r\n"),
        QString(QChar(0)), QString(QChar(1)), QString(QChar(0x1b)), QString(QChar(0x7f)), QString(QChar(0x85)),
        QStringLiteral("ñ"), QStringLiteral("Ñ"), QStringLiteral("Á"), QStringLiteral("ü"), QStringLiteral("€"),
        QStringLiteral("ß"), QStringLiteral("İ"), QStringLiteral("ﬁ"), QStringLiteral("e\u0301"), QStringLiteral("\u200b"),
        QStringLiteral("\u202e"), QString(QChar(0xD800)), QString(QChar(0xDC00)), QStringLiteral("\U0001D538"), QStringLiteral("\U0001F600"), QStringLiteral("中文"),
        QStringLiteral("a"), QStringLiteral("A"), QStringLiteral("z"), QStringLiteral("01"), QStringLiteral("0"),
        QStringLiteral("9"), QStringLiteral("Z9")};
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
    while (!rs.Eof()) {
        codigos << rs.Fields(QStringLiteral("Codigo")).Value().toString();
        rs.MoveNext();
    }
    rs.Close();
    return codigos;
}

// A half of a UTF-16 pair without its other half: no engine can store it as it is.
bool TieneSustitutoSuelto(const QString& texto)
{
    for (qsizetype i = 0; i < texto.size(); ++i) {
        if (texto[i].isHighSurrogate() && i + 1 < texto.size() && texto[i + 1].isLowSurrogate())
            ++i;
        else if (texto[i].isSurrogate())
            return true;
    }
    return false;
}

// Text that an engine cannot store unchanged.
bool NoSePuedeGuardar(const QString& texto)
{
    return (bool(MOTOR_POSTGRESQL) && texto.contains(QChar(0))) || TieneSustitutoSuelto(texto);
}

// An error a user can act on: one of the layer's specific numbers and a real description.
bool ErrorClaro(const ErrorDatos& error)
{
    return error.Number() != ErroresDatos::ErrorProveedor && !error.Description().trimmed().isEmpty()
        && error.Description() != QLatin1String("not an error");
}

QString Visible(const QString& texto)
{
    QString visible = texto.left(60);
    for (QChar& c : visible) {
        if (c.category() == QChar::Other_Control)
            c = QChar(u'·');
    }
    return QLatin1Char('"') + visible + (texto.size() > 60 ? QStringLiteral("…\"") : QStringLiteral("\""));
}

} // namespace

class EntradaHostil : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void codigoAceptable_data();
    void codigoAceptable();
    void recorrido();
    void rangosDelListado();

private:
    // Saves a new province the way the window does; ErrorDatos on refusal.
    void GuardarNueva(const QString& codigo, const QString& nombre);
    // What a statement for `codigo` must return: the one stored row of that exact code, or nothing.
    QStringList Esperados(const QString& codigo) const;
    void ComprobarTabla(const char* momento);

    std::unique_ptr<BasePrueba> m_base;
    ConnectionPtr m_conexion;
    Tabla m_modelo;
    QRandomGenerator m_azar;
};

void EntradaHostil::initTestCase()
{
    try {
        m_base = std::make_unique<BasePrueba>(bool(MOTOR_POSTGRESQL));
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

void EntradaHostil::cleanupTestCase()
{
    m_conexion.reset();
    m_base.reset();
}

void EntradaHostil::codigoAceptable_data()
{
    QTest::addColumn<QString>("codigo");
    QTest::addColumn<bool>("aceptable");
    QTest::newRow("corriente") << QStringLiteral("28") << true;
    QTest::newRow("espacios y acentos") << QStringLiteral(" Ñu ü ") << true;
    QTest::newRow("vacío") << QString() << true;
    QTest::newRow("comilla") << QStringLiteral("O'Donnell") << false;
    QTest::newRow("porcentaje") << QStringLiteral("2%") << false;
    QTest::newRow("subrayado") << QStringLiteral("0_") << false;
    QTest::newRow("asterisco") << QStringLiteral("*") << false;
    QTest::newRow("corchete") << QStringLiteral("[0-9]") << false;
    QTest::newRow("barra invertida") << QStringLiteral("a\\b") << false;
    QTest::newRow("nulo") << QStringLiteral("a") + QChar(0) << false;
    QTest::newRow("tabulador") << QStringLiteral("a\tb") << false;
    QTest::newRow("salto de línea") << QStringLiteral("a\n") << false;
    QTest::newRow("fragmento SQL") << QStringLiteral("x' OR '1'='1") << false;
    QTest::newRow("par UTF-16 completo") << QStringLiteral("\U0001F600") << true;
    QTest::newRow("mitad de un par UTF-16") << QStringLiteral("X") + QChar(0xD800) << false;
}

void EntradaHostil::codigoAceptable()
{
    QFETCH(QString, codigo);
    QFETCH(bool, aceptable);
    QCOMPARE(Sentencias::CodigoAceptable(codigo), aceptable);
}

QStringList EntradaHostil::Esperados(const QString& codigo) const
{
    return m_modelo.contains(codigo) ? QStringList{codigo} : QStringList{};
}

void EntradaHostil::GuardarNueva(const QString& codigo, const QString& nombre)
{
    Recordset rs;
    rs.Open(Sentencias::TodasLasColumnas(), m_conexion, 2, 3, -1);
    rs.AddNew();
    rs.Collect(QStringLiteral("Codigo"), codigo);
    rs.Collect(QStringLiteral("Provincia"), nombre);
    rs.Collect(QStringLiteral("Actualizado"), QStringLiteral("01/01/2024"));
    rs.Collect(QStringLiteral("ModificadoPor"), nombre);
    try {
        rs.Update();
    } catch (const ErrorDatos&) {
        rs.CancelUpdate();
        throw;
    }
    QCOMPARE(rs.Fields(QStringLiteral("Codigo")).Value().toString(), codigo);
    rs.Requery(-1);
    rs.Close();
}

void EntradaHostil::ComprobarTabla(const char* momento)
{
    const Tabla obtenida = LeerTabla(*m_conexion);
    QVERIFY2(obtenida == m_modelo, qPrintable(QStringLiteral("%1: %2").arg(QLatin1String(momento), Diferencias(m_modelo, obtenida))));
}

void EntradaHostil::recorrido()
{
    const int cuantos = Cuenta(1000, 5000);
    int guardados = 0, rechazados = 0, borrados = 0, modificados = 0;
    QStringList problemas;
    for (int i = 0; i < cuantos; ++i) {
        const QString codigo = TextoHostil(m_azar, m_modelo.keys());
        const QString nombre = TextoHostil(m_azar, {});
        const QString contexto = QStringLiteral("código %1 (n.º %2)").arg(Visible(codigo)).arg(i);
        const bool aceptable = Sentencias::CodigoAceptable(codigo) && !codigo.isEmpty();
        if (aceptable && TieneSustitutoSuelto(codigo)) {
            // Stored, it would come back changed, and in statement text it swallows the closing quote.
            problemas << QStringLiteral("CodigoAceptable admite %1, con media pareja UTF-16").arg(contexto);
            continue;
        }
        if (!aceptable) {
            // The window refuses it before any statement carries it; nothing to send.
            ++rechazados;
            continue;
        }

        // The code check on leaving the code field, the change check and the display: each reads
        // the one row of that exact code, or none.
        try {
            QCOMPARE(Codigos(Sentencias::ComprobarCodigo(codigo), m_conexion), Esperados(codigo));
            QCOMPARE(Codigos(Sentencias::VerificarCambios(codigo), m_conexion), Esperados(codigo));
            QCOMPARE(Codigos(Sentencias::MostrarPorCodigo(codigo), m_conexion), Esperados(codigo));
        } catch (const ErrorDatos& error) {
            QFAIL(qPrintable(QStringLiteral("%1: %2").arg(contexto, QString::fromUtf8(error.what()))));
        }

        // The save of a new province: stored exactly as typed, or refused as a duplicate.
        const bool existia = m_modelo.contains(codigo);
        try {
            GuardarNueva(codigo, nombre);
            QVERIFY2(!existia, qPrintable(QStringLiteral("se guardó un código repetido: %1").arg(contexto)));
            const QString guardado = LeerTabla(*m_conexion).value(codigo);
            if (guardado != nombre)
                problemas << QStringLiteral("el nombre %1 se guardó cambiado como %2 sin error").arg(Visible(nombre), Visible(guardado));
            m_modelo.insert(codigo, guardado);
            ++guardados;
        } catch (const ErrorDatos& error) {
            // Besides a duplicate, only a name no engine can hold as it is may be refused (half a
            // UTF-16 pair, or a NUL character on PostgreSQL), with an error that names the fault.
            const QString fallo = QStringLiteral("%1, nombre %2: %3").arg(contexto, Visible(nombre), QString::fromUtf8(error.what()));
            if (!(existia && error.Number() == ErroresDatos::ViolacionIntegridad)) {
                QVERIFY2(NoSePuedeGuardar(nombre), qPrintable(fallo));
                QVERIFY2(ErrorClaro(error), qPrintable(fallo));
            }
        }
        if (i % 50 == 0)
            ComprobarTabla("tras guardar");

        // The search: the chosen code found in the window's recordset by its like criterion.
        {
            Recordset rs;
            rs.Open(Sentencias::TodasPorNombre(), m_conexion, 2, 3, -1);
            rs.MoveFirst();
            rs.Find(Sentencias::CriterioCodigoComo(codigo));
            if (m_modelo.contains(codigo)) {
                QVERIFY2(!rs.Eof(), qPrintable(contexto));
                QCOMPARE(rs.Fields(QStringLiteral("Codigo")).Value().toString(), codigo);
            } else {
                QVERIFY2(rs.Eof(), qPrintable(contexto));
            }
            rs.Close();
        }

        // Sometimes a change of the stored row (to another hostile code now and then), sometimes its delete.
        const int accion = m_azar.bounded(10);
        if (m_modelo.contains(codigo) && accion < 3) {
            const QString otro = accion == 0 ? TextoHostil(m_azar, m_modelo.keys()) : codigo;
            if (Sentencias::CodigoAceptable(otro) && !otro.isEmpty() && !TieneSustitutoSuelto(otro)) {
                const QString nuevoNombre = TextoHostil(m_azar, {});
                Recordset rs;
                rs.Open(Sentencias::PorCodigoParaModificar(codigo), m_conexion, 2, 3, -1);
                QCOMPARE(rs.RecordCount(), 1L);
                rs.Collect(QStringLiteral("Codigo"), otro);
                rs.Collect(QStringLiteral("Provincia"), nuevoNombre);
                try {
                    rs.Update();
                    QVERIFY2(otro == codigo || !m_modelo.contains(otro), qPrintable(contexto));
                    m_modelo.remove(codigo);
                    const QString guardado = LeerTabla(*m_conexion).value(otro);
                    if (guardado != nuevoNombre)
                        problemas << QStringLiteral("el nombre %1 se guardó cambiado como %2 sin error").arg(Visible(nuevoNombre), Visible(guardado));
                    m_modelo.insert(otro, guardado);
                    ++modificados;
                } catch (const ErrorDatos& error) {
                    rs.CancelUpdate();
                    const bool repetido = otro != codigo && m_modelo.contains(otro);
                    QVERIFY2((repetido && error.Number() == ErroresDatos::ViolacionIntegridad)
                                 || (NoSePuedeGuardar(nuevoNombre) && ErrorClaro(error)),
                             qPrintable(QStringLiteral("%1: %2").arg(contexto, QString::fromUtf8(error.what()))));
                }
                rs.Close();
            }
        } else if (m_modelo.contains(codigo) && accion < 6) {
            Recordset rs;
            try {
                rs.Open(Sentencias::BorrarPorCodigo(codigo), m_conexion, 2, 3, -1);
            } catch (const ErrorDatos& error) {
                QFAIL(qPrintable(QStringLiteral("%1: %2").arg(contexto, QString::fromUtf8(error.what()))));
            }
            QCOMPARE(rs.State(), int(Recordset::adStateClosed));
            m_modelo.remove(codigo);
            ++borrados;
        }
        if (i % 50 == 0 || accion < 6)
            ComprobarTabla("tras modificar o borrar");
    }
    ComprobarTabla("al final");
    QVERIFY(CodigosRepetidos(*m_conexion).isEmpty());
    if (!MOTOR_POSTGRESQL)
        QCOMPARE(ComprobarIntegridad(*m_conexion), QStringLiteral("ok"));
    qInfo("%d textos: %d guardados, %d rechazados por el código, %d modificados, %d borrados; %d filas",
          cuantos, guardados, rechazados, modificados, borrados, int(m_modelo.size()));
    QVERIFY2(problemas.isEmpty(), qPrintable(QStringLiteral("%1 problemas; los primeros: %2")
                                                 .arg(problemas.size()).arg(problemas.mid(0, 5).join(QStringLiteral(" | ")))));
    QVERIFY(guardados > cuantos / 10);
    QVERIFY(rechazados > cuantos / 10);
}

void EntradaHostil::rangosDelListado()
{
    // Whatever is typed as the range reaches the listing: the statement must list exactly the
    // codes between the two, compared as text, or refuse with a clear error.
    const int cuantos = Cuenta(300, 1500);
    QStringList existentes = m_modelo.keys();
    int rechazados = 0;
    for (int i = 0; i < cuantos; ++i) {
        const QString desde = (i % 7 == 0 && !existentes.isEmpty()) ? existentes[m_azar.bounded(int(existentes.size()))]
                                                                    : TextoHostil(m_azar, existentes);
        const QString hasta = i % 11 == 0 ? QString() : TextoHostil(m_azar, existentes);
        const bool porCodigo = i % 2 == 0;
        QStringList esperados;
        for (auto fila = m_modelo.cbegin(); fila != m_modelo.cend(); ++fila) {
            if (CompararCodigos(fila.key(), desde) >= 0 && CompararCodigos(fila.key(), hasta) <= 0)
                esperados << fila.key();
        }
        QStringList obtenidos;
        try {
            obtenidos = Codigos(Sentencias::ListadoConRango(desde, hasta, porCodigo), m_conexion);
        } catch (const ErrorDatos& error) {
            // Text no engine takes as it is (a NUL character, half a UTF-16 pair) may be refused,
            // with an error that says what is wrong with the statement.
            const QString rango = QStringLiteral("desde %1 hasta %2: %3").arg(Visible(desde), Visible(hasta), QString::fromUtf8(error.what()));
            // Each text on its own: half a pair at the end of one and the other half at the start
            // of the next do not make a character of the statement.
            QVERIFY2((desde + hasta).contains(QChar(0)) || TieneSustitutoSuelto(desde) || TieneSustitutoSuelto(hasta),
                     qPrintable(rango));
            QVERIFY2(error.Number() == ErroresDatos::ErrorSintaxis || error.Number() == ErroresDatos::ConversionNoValida
                         || error.Number() == ErroresDatos::ArgumentosNoValidos,
                     qPrintable(rango));
            ++rechazados;
            continue;
        }
        if (porCodigo) {
            std::sort(esperados.begin(), esperados.end(), CodigoMenor);
        } else {
            std::sort(obtenidos.begin(), obtenidos.end(), CodigoMenor);
            std::sort(esperados.begin(), esperados.end(), CodigoMenor);
        }
        QVERIFY2(obtenidos == esperados,
                 qPrintable(QStringLiteral("desde %1 hasta %2: %3 filas en lugar de %4")
                                .arg(Visible(desde), Visible(hasta)).arg(obtenidos.size()).arg(esperados.size())));
    }
    // The whole listing in both orders lists every row once.
    for (bool porCodigo : {true, false}) {
        QStringList todos = Codigos(Sentencias::Listado(porCodigo), m_conexion);
        if (porCodigo)
            QVERIFY(std::is_sorted(todos.begin(), todos.end(), CodigoMenor));
        std::sort(todos.begin(), todos.end(), CodigoMenor);
        QStringList esperados = m_modelo.keys();
        std::sort(esperados.begin(), esperados.end(), CodigoMenor);
        QCOMPARE(todos, esperados);
    }
    ComprobarTabla("tras los listados");
    qInfo("%d rangos, %d rechazados con error", cuantos, rechazados);
}

QTEST_GUILESS_MAIN(EntradaHostil)
#include "tst_EntradaHostil.moc"
