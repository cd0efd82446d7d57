// The host's search window over a table of 100,000 provinces: filtering as the user types,
// choosing with Enter or a double click, cancelling with Escape, and the hand-off of the chosen
// code through TxtCodigo.Tag. Run on SQLite and on PostgreSQL.

#include "tests/apoyo/Apoyo.h"
#include "tests/apoyo/BasePrueba.h"
#include "data/EsquemaProvincias.h"
#include "runtime/ErrorEjecucion.h"
#include "tests/apoyo/Falsos.h"
#include "runtime/Form.h"
#include "runtime/TextBox.h"
#include "tramacor/VentanaBusqueda.h"

#include <QLineEdit>
#include <QTableView>
#include <QtTest>

namespace {

constexpr int Filas = 100000;

// What is typed in the filter, the rows shown, the first code (if checked) and how every name starts (if checked).
struct Filtro { QString escrito; int filas; QString primero, nombresEmpiezan; };

// A calling window as the maintenance window is: a code text box whose change handler reads the tag.
class VentanaLlamante : public Form
{
public:
    VentanaLlamante() : Form(QStringLiteral("FrmLlamante"))
    {
        codigo = new TextBox(this, QStringLiteral("TxtCodigo"));
        codigo->setText(QStringLiteral("000007"));
        connect(codigo, &TextBox::Change, this, [this] { TagsEnCambio.append(codigo->Tag()); });
    }
    TextBox* codigo;
    QStringList TagsEnCambio;
};

} // namespace

Q_DECLARE_METATYPE(Filtro)

class TestBusqueda : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<BasePrueba> base_;
    ConnectionPtr conexion_;
    std::shared_ptr<UtilidadesFalsas> utiles_;

private slots:
    void initTestCase()
    {
        base_ = std::make_unique<BasePrueba>();
        conexion_ = base_->Conexion();
        LlenarProvinciasDePrueba(*conexion_, Filas);
        utiles_ = std::make_shared<UtilidadesFalsas>();
        utiles_->Conexion = conexion_;
    }

    void filtrar_data()
    {
        QTest::addColumn<Filtro>("caso");
        // Up to the limit is shown, and then more are said to be there.
        const int limite = DialogoBusqueda::Limite;
        QTest::newRow("nada escrito: los primeros") << Filtro{"", limite, "000001", ""};
        QTest::newRow("código: cien filas") << Filtro{"0999", 100, "099900", ""};
        QTest::newRow("nombre con tilde") << Filtro{"álava 1", limite, "000001", "Álava 1"};
        QTest::newRow("sin tilde encuentra la tilde") << Filtro{"cadiz 1", limite, "", "Cádiz 1"};
        QTest::newRow("una sola fila por nombre") << Filtro{"Ávila 99949", 1, "099949", "Ávila 99949"};
        QTest::newRow("comodín escrito es literal") << Filtro{"%", 0, "", ""};
        QTest::newRow("guion bajo es literal") << Filtro{"_1", 0, "", ""};
    }

    void filtrar()
    {
        QFETCH(Filtro, caso);
        const auto& [escrito, filas, primero, nombresEmpiezan] = caso;
        DialogoBusqueda dialogo(conexion_, QStringLiteral("Provincias"), QStringLiteral("Codigo"), QString());
        dialogo.show();
        Teclear(dialogo.Filtro(), escrito);
        QCOMPARE(dialogo.FilasMostradas(), filas);
        QCOMPARE(dialogo.HayMas(), filas == DialogoBusqueda::Limite);
        const QAbstractItemModel* modelo = dialogo.Lista()->model();
        if (!primero.isEmpty())
            QCOMPARE(modelo->index(0, 0).data().toString(), primero);
        if (!nombresEmpiezan.isEmpty())
            for (int fila = 0; fila < filas; ++fila)
                QVERIFY(modelo->index(fila, 1).data().toString().startsWith(nombresEmpiezan));
    }

    // Choosing in the dialog the host opens, and the hand-off of the code to the calling window.
    void elegir_data()
    {
        QTest::addColumn<QString>("forma");
        QTest::addColumn<QString>("elegido"); // empty: cancelled
        QTest::newRow("Intro tras dos flechas") << "flechas" << "099902";
        QTest::newRow("Intro del teclado numérico") << "intro" << "099900";
        QTest::newRow("doble clic en la cuarta fila") << "doble" << "099903";
        QTest::newRow("Escape") << "escape" << "";
    }

    void elegir()
    {
        QFETCH(QString, forma);
        QFETCH(QString, elegido);
        VentanaLlamante ventana;
        AlAbrirse<DialogoBusqueda>([forma](DialogoBusqueda* dialogo) {
            QTest::keyClicks(dialogo->Filtro(), QStringLiteral("0999"));
            QTableView* lista = dialogo->Lista();
            const QPoint celda = lista->visualRect(lista->model()->index(3, 1)).center();
            if (forma == QLatin1String("flechas")) {
                // The arrows typed in the filter move through the list.
                QTest::keyClick(dialogo->Filtro(), Qt::Key_Down);
                QTest::keyClick(dialogo->Filtro(), Qt::Key_Down);
                QTest::keyClick(dialogo->Filtro(), Qt::Key_Return);
            } else if (forma == QLatin1String("doble")) {
                QTest::mouseClick(lista->viewport(), Qt::LeftButton, {}, celda);
                QTest::mouseDClick(lista->viewport(), Qt::LeftButton, {}, celda);
            } else {
                QTest::keyClick(dialogo->Filtro(), forma == QLatin1String("intro") ? Qt::Key_Enter : Qt::Key_Escape);
            }
        });
        QObject* referencia = &ventana;
        bool marca = true;
        const QString devuelto = Tramacor::NuevaBusqueda()->BuscarRegistro(
            utiles_.get(), referencia, QStringLiteral("Provincias"), QStringLiteral("Codigo"), ventana.codigo->Text(),
            QStringLiteral("Modal"), marca);
        QCOMPARE(devuelto, elegido);
        QCOMPARE(referencia, &ventana);
        QCOMPARE(ventana.codigo->Tag(), elegido);
        QCOMPARE(ventana.codigo->Text(), elegido.isEmpty() ? QStringLiteral("000007") : elegido);
        // The change handler ran once, with the tag already set; not at all when cancelled.
        QCOMPARE(ventana.TagsEnCambio, elegido.isEmpty() ? QStringList() : QStringList{elegido});
    }

    void errores()
    {
        VentanaLlamante ventana;
        QObject* referencia = &ventana;
        bool marca = true;
        const QList<QStringList> casos{{"Provincias; DROP TABLE Provincias", "Codigo", "Modal"},
                                       {"Provincias", "Codigo Provincia", "Modal"},
                                       {"Provincias", "Nada", "Modal"},
                                       {"Provincias", "Codigo", "NoModal"}};
        for (const QStringList& caso : casos) {
            QCOMPARE(NumeroDeError([&] {
                BusquedaQt().BuscarRegistro(utiles_.get(), referencia, caso[0], caso[1], QString(), caso[2], marca);
            }), 5L);
        }
        QCOMPARE(Escalar(*conexion_, QStringLiteral("SELECT COUNT(*) FROM Provincias")).toInt(), Filas);

        // Handing a code to something that is not such a window.
        QObject noVentana;
        Form sinCodigo(QStringLiteral("SinCodigo"));
        const QList<QPair<QObject*, int>> destinos{{&noVentana, 13}, {&sinCodigo, 730}, {nullptr, 91}};
        for (const auto& [destino, numero] : destinos)
            QCOMPARE(NumeroDeError([&] { EntregarCodigo(destino, QStringLiteral("Codigo"), QStringLiteral("01")); }), long(numero));
    }
};

QTEST_MAIN(TestBusqueda)
#include "tst_Busqueda.moc"
