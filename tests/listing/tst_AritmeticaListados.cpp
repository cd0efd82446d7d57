// The whole-number arithmetic of the listing and of its preview: rounding a half to the even
// neighbour, the runtime's integer division, overflow of 16 and 32 bits, and the column of pages
// and the scroll bar at every zoom.

#include "Apoyo.h"
#include "AritmeticaListados.h"

#include <QtTest>

using namespace AritmeticaListados;

Q_DECLARE_METATYPE(AritmeticaListados::TamanoPagina)

namespace {

const TamanoPagina A4{11906, 16838};

std::vector<TamanoPagina> Paginas(int cuantas, TamanoPagina tamano = A4)
{
    return std::vector<TamanoPagina>(std::size_t(cuantas), tamano);
}

}  // namespace

class PruebaAritmeticaListados : public QObject
{
    Q_OBJECT

private slots:
    void redondeos_data()
    {
        QTest::addColumn<double>("valor");
        QTest::addColumn<long>("largo");
        QTest::addColumn<int>("entero");
        QTest::newRow("medio a par, abajo") << 2.5 << 2L << 2;
        QTest::newRow("medio a par, arriba") << 3.5 << 4L << 4;
        QTest::newRow("límite de 16 bits") << 32767.4 << 32767L << 32767;
        QTest::newRow("pasa de 16 bits") << 32767.5 << 32768L << -1;
    }

    void redondeos()
    {
        QFETCH(double, valor);
        QFETCH(long, largo);
        QFETCH(int, entero);
        QCOMPARE(RedondearLargo(valor), largo);
        if (entero == -1)
            QCOMPARE(NumeroDeError([&] { RedondearEntero(valor); }), 6);
        else
            QCOMPARE(RedondearEntero(valor), entero);
    }

    void desbordamientos_data()
    {
        QTest::addColumn<int>("caso");
        QTest::addColumn<int>("error");
        QTest::newRow("Long, arriba") << 0 << 6;
        QTest::newRow("división entera por cero") << 3 << 11;
        QTest::newRow("x / 0") << 4 << 11;
        QTest::newRow("0 / 0") << 5 << 6;
        QTest::newRow("página 32768") << 6 << 6;
    }

    void desbordamientos()
    {
        QFETCH(int, caso);
        QFETCH(int, error);
        const auto accion = [caso] {
            switch (caso) {
            case 0: RedondearLargo(2147483647.5); break;
            case 3: DivisionEntera(7, 0.4); break;
            case 4: Dividir(7, 0); break;
            case 5: Dividir(0, 0); break;
            case 6: SiguientePagina(32767); break;
            }
        };
        QCOMPARE(NumeroDeError(accion), error);
    }

    void divisionEntera_data()
    {
        QTest::addColumn<double>("dividendo");
        QTest::addColumn<double>("divisor");
        QTest::addColumn<long>("cociente");
        QTest::newRow("11,5 se hace 12") << 11.5 << 2.0 << 6L;
        QTest::newRow("trunca hacia cero") << -7.0 << 2.0 << -3L;
    }

    void divisionEntera()
    {
        QFETCH(double, dividendo);
        QFETCH(double, divisor);
        QFETCH(long, cociente);
        QCOMPARE(DivisionEntera(dividendo, divisor), cociente);
    }

    void columna_data()
    {
        QTest::addColumn<QString>("zoom");
        QTest::addColumn<int>("paginas");
        QTest::addColumn<int>("altoPagina");
        QTest::addColumn<long>("altoVisible");
        QTest::addColumn<long>("anchoVentana");
        QTest::addColumn<long>("alto");
        QTest::addColumn<long>("altoMostrado");
        QTest::addColumn<long>("ancho");
        QTest::addColumn<long>("izquierda");
        QTest::addColumn<int>("maximo");
        QTest::addColumn<bool>("visible");

        // A 1024 x 768 screen leaves 10150 twips for the pages, a 1920 x 1200 one 16630.
        QTest::newRow("encajar, una página")
            << "Encajar en Pantalla" << 1 << 16838 << 10150L << 15360L << 10150L << 10150L << 7177L << 4092L << 0 << false;
        QTest::newRow("50 %, dos páginas apenas no caben")
            << "50 %" << 2 << 16838 << 16630L << 28800L << 16938L << 8419L << 5953L << 11424L << 0 << true;
        QTest::newRow("máximo en el medio, a par abajo")
            << "100 %" << 1 << 1250 << 1000L << 15360L << 1250L << 1250L << 1000L << 7180L << 2 << true;
        QTest::newRow("texto desconocido: no crece")
            << "75 %" << 2 << 16838 << 10150L << 15360L << 100L << 0L << 0L << 7680L << -10 << false;
        QTest::newRow("1964 páginas a 100 %: la última que cabe")
            << "100 %" << 1964 << 16838 << 10150L << 15360L << 33266132L << 16838L << 11906L << 1727L << 32765 << true;
    }

    void columna()
    {
        QFETCH(QString, zoom);
        QFETCH(int, paginas);
        QFETCH(int, altoPagina);
        QFETCH(long, altoVisible);
        QFETCH(long, anchoVentana);
        QFETCH(long, alto);
        QFETCH(long, altoMostrado);
        QFETCH(long, ancho);
        QFETCH(long, izquierda);
        QFETCH(int, maximo);
        QFETCH(bool, visible);

        const TamanoPagina tamano{altoPagina == 16838 ? 11906 : 1000, altoPagina};
        QList<long> posiciones;
        const Columna columna = ComponerColumna(zoom, Paginas(paginas, tamano), altoVisible, anchoVentana, 1175, 100,
                                                [&](int, long y, const Columna&) { posiciones << y; });
        QCOMPARE(columna.alto, alto);
        QCOMPARE(columna.altoPagina, altoMostrado);
        QCOMPARE(columna.ancho, ancho);
        QCOMPARE(columna.izquierda, izquierda);
        QCOMPARE(columna.arriba, 1275L);
        QCOMPARE(columna.maximo, maximo);
        QCOMPARE(columna.barraVisible, visible);
        // Each page one displayed height and a gap of 100 below the one before.
        QCOMPARE(posiciones.size(), paginas);
        QCOMPARE(posiciones.last(), (altoMostrado + 100) * (paginas - 1));
    }

    void columnaDesborda_data()
    {
        QTest::addColumn<QString>("zoom");
        QTest::addColumn<int>("paginas");
        QTest::addColumn<TamanoPagina>("tamano");
        QTest::addColumn<long>("altoVisible");
        QTest::addColumn<int>("error");
        QTest::newRow("columna de más de 32 bits") << "100 %" << 130000 << A4 << 10150L << 6;
        QTest::newRow("sin sitio para las páginas") << "100 %" << 1 << A4 << 0L << 11;
        QTest::newRow("página sin altura") << "Encajar en Pantalla" << 1 << TamanoPagina{11906, 0} << 10150L << 11;
    }

    void columnaDesborda()
    {
        QFETCH(QString, zoom);
        QFETCH(int, paginas);
        QFETCH(TamanoPagina, tamano);
        QFETCH(long, altoVisible);
        QFETCH(int, error);
        QCOMPARE(NumeroDeError([&] { ComponerColumna(zoom, Paginas(paginas, tamano), altoVisible, 15360, 1175, 100); }),
                 error);
    }

    void desplazamiento_data()
    {
        QTest::addColumn<int>("valor");
        QTest::addColumn<int>("maximo");
        QTest::addColumn<long>("altoColumna");
        QTest::addColumn<long>("altoVisible");
        QTest::addColumn<long>("arriba");
        QTest::newRow("al final, borde con borde") << 7 << 7 << 16838L << 10150L << -5413L;
        QTest::newRow("décimas truncadas") << 1 << 7 << 16838L << 10155L << 260L;
        QTest::newRow("sin recorrido") << 0 << 0 << 10150L << 10150L << 1275L;
    }

    void desplazamiento()
    {
        QFETCH(int, valor);
        QFETCH(int, maximo);
        QFETCH(long, altoColumna);
        QFETCH(long, altoVisible);
        QFETCH(long, arriba);
        QCOMPARE(ArribaColumna(valor, 0, maximo, altoColumna, altoVisible, 1175, 100), arriba);
    }
};

QTEST_GUILESS_MAIN(PruebaAritmeticaListados)
#include "tst_AritmeticaListados.moc"
