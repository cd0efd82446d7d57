// The host's search window over a table of 100,000 provinces: filtering as the user types,
// choosing with Enter or a double click, cancelling with Escape, and the hand-off of the chosen
// code through TxtCodigo.Tag. Built twice: on SQLite and on PostgreSQL (EN_POSTGRES).

#include "AyudaDialogos.h"
#include "BasePrueba.h"
#include "EsquemaProvincias.h"
#include "ErrorEjecucion.h"
#include "Falsos.h"
#include "Form.h"
#include "TextBox.h"
#include "VentanaBusqueda.h"

#include <QElapsedTimer>
#include <QLineEdit>
#include <QSqlQuery>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>

namespace {

constexpr int Filas = 100000;

// A calling window as the maintenance window is: a code text box whose change handler reads the tag.
class VentanaLlamante : public Form
{
public:
    VentanaLlamante() : Form(QStringLiteral("FrmLlamante"))
    {
        codigo = new TextBox(this, QStringLiteral("TxtCodigo"));
        connect(codigo, &TextBox::Change, this, [this] { TagsEnCambio.append(codigo->Tag()); });
    }
    TextBox* codigo;
    QStringList TagsEnCambio;
};

QString CodigoFila(const DialogoBusqueda& dialogo, int fila)
{
    return dialogo.Lista()->model()->index(fila, 0).data().toString();
}

} // namespace

class TestBusqueda : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void listaInicialLimitada();
    void filtrar_data();
    void filtrar();
    void filtrarEsRapido();
    void enterEligeFilaActual();
    void dobleClicElige();
    void escapeCancela();
    void valorActualSeleccionado();
    void entregaReal();
    void entregaCancelada();
    void entregarCodigoErrores();
    void nombresNoValidos_data();
    void nombresNoValidos();
    void busquedaFalsa();
    void cleanupTestCase();

private:
    std::unique_ptr<BasePrueba> base_;
    ConnectionPtr conexion_;
    std::shared_ptr<UtilidadesFalsas> utiles_;
};

void TestBusqueda::initTestCase()
{
    base_ = std::make_unique<BasePrueba>(EN_POSTGRES);
    conexion_ = base_->Conexion();
    LlenarProvinciasDePrueba(*conexion_, Filas);
    utiles_ = std::make_shared<UtilidadesFalsas>();
    utiles_->Conexion = conexion_;
}

void TestBusqueda::listaInicialLimitada()
{
    DialogoBusqueda dialogo(conexion_, QStringLiteral("Provincias"), QStringLiteral("Codigo"), QString());
    QCOMPARE(dialogo.FilasMostradas(), DialogoBusqueda::Limite);
    QVERIFY(dialogo.HayMas());
    QCOMPARE(CodigoFila(dialogo, 0), QStringLiteral("000001"));
    QCOMPARE(dialogo.Lista()->model()->columnCount(), 2);
    QCOMPARE(dialogo.Lista()->model()->headerData(1, Qt::Horizontal).toString(), QStringLiteral("Provincia"));
}

void TestBusqueda::filtrar_data()
{
    QTest::addColumn<QString>("escrito");
    QTest::addColumn<int>("filas");
    QTest::addColumn<QString>("primero");
    QTest::addColumn<bool>("hayMas");
    QTest::addColumn<QString>("nombresEmpiezan");

    QTest::newRow("código: cien filas") << "0999" << 100 << "099900" << false << "";
    QTest::newRow("código exacto") << "054321" << 1 << "054321" << false << "";
    QTest::newRow("nombre en minúsculas") << "madrid" << DialogoBusqueda::Limite << "" << true << "Madrid ";
    QTest::newRow("nombre con tilde") << "álava 1" << DialogoBusqueda::Limite << "000001" << true << "Álava 1";
    QTest::newRow("sin tilde encuentra la tilde") << "cadiz 1" << DialogoBusqueda::Limite << "" << true << "Cádiz 1";
    QTest::newRow("nombre que no existe") << "Ávila 100005" << 0 << "" << false << "";
    QTest::newRow("una sola fila por nombre") << "Ávila 99949" << 1 << "099949" << false << "Ávila 99949";
    QTest::newRow("comodín escrito es literal") << "%" << 0 << "" << false << "";
    QTest::newRow("guion bajo es literal") << "_1" << 0 << "" << false << "";
    QTest::newRow("nada coincide") << "zzz" << 0 << "" << false << "";
}

void TestBusqueda::filtrar()
{
    QFETCH(QString, escrito);
    QFETCH(int, filas);
    QFETCH(QString, primero);
    QFETCH(bool, hayMas);
    QFETCH(QString, nombresEmpiezan);

    DialogoBusqueda dialogo(conexion_, QStringLiteral("Provincias"), QStringLiteral("Codigo"), QString());
    dialogo.show();
    Teclear(dialogo.Filtro(), escrito);
    QCOMPARE(dialogo.Filtro()->text(), escrito);
    QCOMPARE(dialogo.FilasMostradas(), filas);
    QCOMPARE(dialogo.HayMas(), hayMas);
    if (!primero.isEmpty())
        QCOMPARE(CodigoFila(dialogo, 0), primero);
    if (!nombresEmpiezan.isEmpty())
        for (int fila = 0; fila < dialogo.FilasMostradas(); ++fila)
            QVERIFY(dialogo.Lista()->model()->index(fila, 1).data().toString().startsWith(nombresEmpiezan));
}

void TestBusqueda::filtrarEsRapido()
{
    // Every key typed queries the table again; with 100,000 rows that must not be felt.
    DialogoBusqueda dialogo(conexion_, QStringLiteral("Provincias"), QStringLiteral("Codigo"), QString());
    dialogo.show();
    QElapsedTimer reloj;
    reloj.start();
    QTest::keyClicks(dialogo.Filtro(), QStringLiteral("zamora 9"));
    const qint64 porTecla = reloj.elapsed() / 8;
    QVERIFY2(porTecla < 400, qPrintable(QStringLiteral("%1 ms por tecla").arg(porTecla)));
    QVERIFY(dialogo.FilasMostradas() > 0);
}

void TestBusqueda::enterEligeFilaActual()
{
    DialogoBusqueda dialogo(conexion_, QStringLiteral("Provincias"), QStringLiteral("Codigo"), QString());
    dialogo.show();
    QTest::keyClicks(dialogo.Filtro(), QStringLiteral("0999"));
    // The arrows typed in the filter move through the list.
    QTest::keyClick(dialogo.Filtro(), Qt::Key_Down);
    QTest::keyClick(dialogo.Filtro(), Qt::Key_Down);
    QTest::keyClick(dialogo.Filtro(), Qt::Key_Return);
    QCOMPARE(dialogo.result(), int(QDialog::Accepted));
    QCOMPARE(dialogo.Elegido(), QStringLiteral("099902"));
}

void TestBusqueda::dobleClicElige()
{
    DialogoBusqueda dialogo(conexion_, QStringLiteral("Provincias"), QStringLiteral("Codigo"), QString());
    dialogo.show();
    QTest::keyClicks(dialogo.Filtro(), QStringLiteral("00004"));
    QTableView* lista = dialogo.Lista();
    const QRect celda = lista->visualRect(lista->model()->index(3, 1));
    QTest::mouseClick(lista->viewport(), Qt::LeftButton, {}, celda.center());
    QTest::mouseDClick(lista->viewport(), Qt::LeftButton, {}, celda.center());
    QCOMPARE(dialogo.result(), int(QDialog::Accepted));
    QCOMPARE(dialogo.Elegido(), QStringLiteral("000043"));
}

void TestBusqueda::escapeCancela()
{
    DialogoBusqueda dialogo(conexion_, QStringLiteral("Provincias"), QStringLiteral("Codigo"), QString());
    dialogo.show();
    QTest::keyClicks(dialogo.Filtro(), QStringLiteral("0001"));
    QTest::keyClick(dialogo.Filtro(), Qt::Key_Escape);
    QCOMPARE(dialogo.result(), int(QDialog::Rejected));
    QVERIFY(dialogo.Elegido().isEmpty());
}

void TestBusqueda::valorActualSeleccionado()
{
    DialogoBusqueda dialogo(conexion_, QStringLiteral("Provincias"), QStringLiteral("Codigo"), QStringLiteral("000150"));
    QCOMPARE(dialogo.Lista()->currentIndex().row(), 149);
}

void TestBusqueda::entregaReal()
{
    VentanaLlamante ventana;
    ventana.codigo->setText(QStringLiteral("000001"));
    ventana.TagsEnCambio.clear();
    AlAbrirse<DialogoBusqueda>([](DialogoBusqueda* dialogo) {
        QTest::keyClicks(dialogo->Filtro(), QStringLiteral("000042"));
        QTest::keyClick(dialogo->Filtro(), Qt::Key_Enter);
    });
    auto busqueda = Tramacor::NuevaBusqueda();
    QObject* referencia = &ventana;
    bool marca = true;
    const QString devuelto = busqueda->BuscarRegistro(utiles_.get(), referencia, QStringLiteral("Provincias"),
                                                      QStringLiteral("Codigo"), ventana.codigo->Text(),
                                                      QStringLiteral("Modal"), marca);
    QCOMPARE(devuelto, QStringLiteral("000042"));
    QCOMPARE(referencia, &ventana);
    QCOMPARE(ventana.codigo->Tag(), QStringLiteral("000042"));
    QCOMPARE(ventana.codigo->Text(), QStringLiteral("000042"));
    // The change handler ran once, with the tag already set.
    QCOMPARE(ventana.TagsEnCambio, QStringList{QStringLiteral("000042")});
}

void TestBusqueda::entregaCancelada()
{
    VentanaLlamante ventana;
    ventana.codigo->setText(QStringLiteral("000007"));
    ventana.TagsEnCambio.clear();
    AlAbrirse<DialogoBusqueda>([](DialogoBusqueda* dialogo) {
        QTest::keyClicks(dialogo->Filtro(), QStringLiteral("0009"));
        QTest::keyClick(dialogo->Filtro(), Qt::Key_Escape);
    });
    BusquedaQt busqueda;
    QObject* referencia = &ventana;
    bool marca = true;
    QVERIFY(busqueda.BuscarRegistro(utiles_.get(), referencia, QStringLiteral("Provincias"), QStringLiteral("Codigo"),
                                    QStringLiteral("000007"), QStringLiteral("Modal"), marca).isEmpty());
    QVERIFY(ventana.codigo->Tag().isEmpty());
    QCOMPARE(ventana.codigo->Text(), QStringLiteral("000007"));
    QVERIFY(ventana.TagsEnCambio.isEmpty());
}

void TestBusqueda::entregarCodigoErrores()
{
    QObject noVentana;
    Form sinCodigo(QStringLiteral("SinCodigo"));
    struct Caso { QObject* ventana; int numero; };
    for (const Caso& caso : {Caso{&noVentana, 13}, Caso{&sinCodigo, 730}, Caso{nullptr, 91}}) {
        try {
            EntregarCodigo(caso.ventana, QStringLiteral("Codigo"), QStringLiteral("01"));
            QFAIL("se esperaba un error");
        } catch (const ErrorEjecucion& error) {
            QCOMPARE(error.Number(), caso.numero);
        }
    }
}

void TestBusqueda::nombresNoValidos_data()
{
    QTest::addColumn<QString>("tabla");
    QTest::addColumn<QString>("campo");
    QTest::addColumn<QString>("modo");
    QTest::newRow("tabla con sentencia") << "Provincias; DROP TABLE Provincias" << "Codigo" << "Modal";
    QTest::newRow("campo con espacio") << "Provincias" << "Codigo Provincia" << "Modal";
    QTest::newRow("campo que no existe") << "Provincias" << "Nada" << "Modal";
    QTest::newRow("modo no admitido") << "Provincias" << "Codigo" << "NoModal";
}

void TestBusqueda::nombresNoValidos()
{
    QFETCH(QString, tabla);
    QFETCH(QString, campo);
    QFETCH(QString, modo);
    VentanaLlamante ventana;
    QObject* referencia = &ventana;
    bool marca = true;
    try {
        BusquedaQt().BuscarRegistro(utiles_.get(), referencia, tabla, campo, QString(), modo, marca);
        QFAIL("se esperaba el error 5");
    } catch (const ErrorEjecucion& error) {
        QCOMPARE(error.Number(), 5);
    }
    QSqlQuery cuenta(conexion_->Base());
    QVERIFY(cuenta.exec(QStringLiteral("SELECT COUNT(*) FROM Provincias")) && cuenta.next());
    QCOMPARE(cuenta.value(0).toInt(), Filas);
}

void TestBusqueda::busquedaFalsa()
{
    auto guion = InstalarBusquedaFalsa();
    guion->Elecciones = {QStringLiteral("000007"), QString()};
    VentanaLlamante ventana;
    QObject* referencia = &ventana;
    bool marca = true;
    auto primera = Tramacor::NuevaBusqueda();
    QCOMPARE(primera->BuscarRegistro(utiles_.get(), referencia, QStringLiteral("Provincias"), QStringLiteral("Codigo"),
                                     QStringLiteral("01"), QStringLiteral("Modal"), marca),
             QStringLiteral("000007"));
    QCOMPARE(ventana.codigo->Tag(), QStringLiteral("000007"));
    QCOMPARE(ventana.TagsEnCambio, QStringList{QStringLiteral("000007")});
    ventana.codigo->setTag(QString());
    auto segunda = Tramacor::NuevaBusqueda();
    QVERIFY(segunda->BuscarRegistro(utiles_.get(), referencia, QStringLiteral("Provincias"), QStringLiteral("Codigo"),
                                    QStringLiteral("000007"), QStringLiteral("Modal"), marca).isEmpty());
    QVERIFY(ventana.codigo->Tag().isEmpty());
    QCOMPARE(guion->Llamadas.size(), 2);
    QCOMPARE(guion->Llamadas.at(1).ValorActual, QStringLiteral("000007"));
    QCOMPARE(guion->Llamadas.at(0).Ventana.data(), &ventana);
    Tramacor::FijarFabricaBusqueda({});
    QVERIFY(dynamic_cast<BusquedaQt*>(Tramacor::NuevaBusqueda().get()));
}

void TestBusqueda::cleanupTestCase()
{
    utiles_.reset();
    conexion_.reset();
    base_.reset();
}

QTEST_MAIN(TestBusqueda)
#include "tst_Busqueda.moc"
