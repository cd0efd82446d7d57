// Generated hostile codes and names (quotes, every `like` wildcard, SQL fragments, control and
// NUL characters, very long and multi-byte text, leading and trailing spaces) go through the
// code check, the save, the change, the search and the delete statements as the window sends them. No statement may read or change a row it does not name, and the table
// must always equal the model of what should be there.

#include "tests/fallos/ApoyoFallos.h"
#include "data/ErroresDatos.h"
#include "data/Recordset.h"
#include "component/Sentencias.h"

#include <QRandomGenerator>
#include <QtTest>

using namespace ApoyoFallos;

namespace {

// A hostile text: a few pieces, sometimes a near neighbour of a stored code (other letter case,
// spaces, one piece more or one character less), sometimes very long, sometimes with spaces around.
QString TextoHostil(QRandomGenerator& azar, const QStringList& existentes)
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
    const auto pieza = [&] { return piezas[azar.bounded(int(piezas.size()))]; };
    const int forma = azar.bounded(20);
    QString texto;
    if (forma < 4 && !existentes.isEmpty()) {
        texto = existentes[azar.bounded(int(existentes.size()))];
        switch (azar.bounded(5)) {
        case 0: return texto.toUpper() == texto ? texto.toLower() : texto.toUpper();
        case 1: return texto + QLatin1Char(' ');
        case 2: return QLatin1Char(' ') + texto;
        case 3: return texto + pieza();
        default: return texto.chopped(1);
        }
    }
    if (forma == 4) {
        const QString trozo = pieza() + QStringLiteral("ñ");
        for (const int largo = 300 + azar.bounded(5000); texto.size() < largo;)
            texto += trozo;
        return texto;
    }
    for (int i = 1 + azar.bounded(5); i > 0; --i)
        texto += pieza();
    return forma == 5 ? QStringLiteral("  ") + texto : forma == 6 ? texto + QStringLiteral("   ") : texto;
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
    // No towns, so that any province can be deleted; letter codes as well, so that letter case
    // and like patterns have something to hit.
    m_conexion->Execute(QStringLiteral("DELETE FROM Municipios"));
    for (const char* codigo : {"ab", "AB", "Ab", "a", "b", "ñu", "Ñu", "x y", "x  y", "10 ", "1"})
        GuardarNueva(m_conexion, QString::fromUtf8(codigo), QStringLiteral("Letras"));
    m_modelo = LeerTabla(*m_conexion);
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
        QVERIFY2(guardado == nombre,
                 qPrintable(QStringLiteral("el nombre %1 se guardó cambiado como %2 sin error").arg(Visible(nombre), Visible(guardado))));
        m_modelo.remove(anterior);
        m_modelo.insert(codigo, guardado);
        ++m_guardados;
    } catch (const ErrorDatos& error) {
        // Half a UTF-16 pair, or a NUL on PostgreSQL, cannot be stored unchanged: refused with a
        // specific number and a real description.
        const bool noCabe = (BasePrueba::EnPostgres() && nombre.contains(QChar(0))) || !nombre.isValidUtf16();
        const bool claro = error.Number() != ErroresDatos::ErrorProveedor && !error.Description().trimmed().isEmpty()
            && error.Description() != QLatin1String("not an error");
        QVERIFY2((repetido && error.Number() == ErroresDatos::ViolacionIntegridad) || (noCabe && claro),
                 qPrintable(QStringLiteral("%1, nombre %2: %3").arg(contexto, Visible(nombre), QString::fromUtf8(error.what()))));
    }
}

void EntradaHostil::recorrido()
{
    const int cuantos = Cuenta(1000, 5000);
    int rechazados = 0;
    for (int i = 0; i < cuantos; ++i) {
        const QString codigo = TextoHostil(m_azar, m_modelo.keys());
        const QString contexto = QStringLiteral("código %1 (n.º %2)").arg(Visible(codigo)).arg(i);
        if (codigo.isEmpty() || !Sentencias::CodigoAceptable(codigo)) {
            // The window refuses it before any statement carries it; nothing to send.
            ++rechazados;
            continue;
        }
        // Stored, half a UTF-16 pair would come back changed, and in statement text it swallows
        // the closing quote.
        QVERIFY2(codigo.isValidUtf16(), qPrintable(QStringLiteral("CodigoAceptable admite %1").arg(contexto)));

        // The code check on leaving the code field, the change check and the display: each reads
        // the one row of that exact code, or none; so does the search in the window's recordset.
        const QStringList esperados = m_modelo.contains(codigo) ? QStringList{codigo} : QStringList{};
        try {
            QCOMPARE(Codigos(Sentencias::ComprobarCodigo(codigo), m_conexion), esperados);
            QCOMPARE(Codigos(Sentencias::VerificarCambios(codigo), m_conexion), esperados);
            QCOMPARE(Codigos(Sentencias::MostrarPorCodigo(codigo), m_conexion), esperados);
            Recordset rs;
            rs.Open(Sentencias::TodasPorNombre(), m_conexion, 2, 3, -1);
            rs.Find(Sentencias::CriterioCodigoComo(codigo));
            QCOMPARE(rs.Eof() ? QStringList() : QStringList{rs.Fields(QStringLiteral("Codigo")).Value().toString()}, esperados);
        } catch (const ErrorDatos& error) {
            QFAIL(qPrintable(QStringLiteral("%1: %2").arg(contexto, QString::fromUtf8(error.what()))));
        }

        // The save of a new province: stored exactly as typed, or refused as a duplicate. Then
        // sometimes a change of the stored row (to another hostile code now and then), sometimes its delete.
        Guardar(QString(), codigo, TextoHostil(m_azar, {}), contexto);
        const int accion = m_azar.bounded(10);
        const QString otro = accion == 0 ? TextoHostil(m_azar, m_modelo.keys()) : codigo;
        if (m_modelo.contains(codigo) && accion < 3 && Sentencias::CodigoAceptable(otro) && !otro.isEmpty())
            Guardar(codigo, otro, TextoHostil(m_azar, {}), contexto);
        else if (m_modelo.contains(codigo) && accion >= 3 && accion < 6) {
            try {
                Borrar(m_conexion, codigo);
            } catch (const ErrorDatos& error) {
                QFAIL(qPrintable(QStringLiteral("%1: %2").arg(contexto, QString::fromUtf8(error.what()))));
            }
            m_modelo.remove(codigo);
        }
        if (QTest::currentTestFailed())
            return;
        if (i % 50 == 0 || accion < 6)
            ComprobarTabla(qPrintable(contexto));
    }
    ComprobarTabla("al final");
    qInfo("%d textos: %d guardados, %d rechazados por el código", cuantos, m_guardados, rechazados);
    QVERIFY(m_guardados > cuantos / 10);
    QVERIFY(rechazados > cuantos / 10);
}

QTEST_GUILESS_MAIN(EntradaHostil)
#include "tst_EntradaHostil.moc"
