// The host's services a component calls: the message box, the print dialog, the operation log, the
// date text and the common data; and the search window over 100,000 provinces, choosing and handing
// the code back through TxtCodigo.Tag, on SQLite and on PostgreSQL (the other services on SQLite).

#include "tests/apoyo/Apoyo.h"
#include "tests/apoyo/BasePrueba.h"
#include "tests/apoyo/Falsos.h"
#include "data/EsquemaProvincias.h"
#include "data/ErrorDatos.h"
#include "printing/Printers.h"
#include "printing/SuperficiePagina.h"
#include "runtime/Form.h"
#include "runtime/TextBox.h"
#include "tramacor/MensajesQt.h"
#include "tramacor/TraduccionesQt.h"
#include "tramacor/UtilidadesAnfitrion.h"
#include "tramacor/VentanaBusqueda.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
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

// A message box's style number, the buttons and icon it shows, the button pressed (or "Escape") and the answer.
struct Caja { int estilo; QStringList botones; int icono; QString pulsar; int respuesta; };
// What the user picks in the print dialog: "Pantalla", "pdf" or "cancelar", the order, whether a range and which.
struct Eleccion { QString destino; bool porCodigo, rango; QString desde, hasta; };
Q_DECLARE_METATYPE(Caja)
Q_DECLARE_METATYPE(Filtro)
Q_DECLARE_METATYPE(Eleccion)

class TestServiciosAnfitrion : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir carpeta_;
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
        // Qt's standard buttons (and its file, print and page set-up dialogs) speak Spanish.
        QVERIFY(CargarTraduccionesQt());
        QCOMPARE(QDialogButtonBox(QDialogButtonBox::Cancel).button(QDialogButtonBox::Cancel)->text(), QStringLiteral("Cancelar"));
    }

    // Only the search depends on the engine.
    void init()
    {
        if (BasePrueba::EnPostgres() && !QByteArray(QTest::currentTestFunction()).startsWith("busqueda"))
            QSKIP("no depende del motor");
    }

    void mensaje_data()
    {
        QTest::addColumn<Caja>("caso");
        QTest::newRow("4 Sí") << Caja{4, {"No", "Sí"}, QMessageBox::NoIcon, "Sí", 6};
        QTest::newRow("4 Escape es No") << Caja{4, {"No", "Sí"}, QMessageBox::NoIcon, "Escape", 7};
        QTest::newRow("16 error") << Caja{16, {"Aceptar"}, QMessageBox::Critical, "Aceptar", 1};
        QTest::newRow("64 aviso") << Caja{64, {"Aceptar"}, QMessageBox::Information, "Escape", 1};
    }

    void mensaje()
    {
        QFETCH(Caja, caso);
        QStringList visto;
        AlAbrirse<QMessageBox>([&](QMessageBox* caja) {
            visto << caja->text() << caja->windowTitle() << QString::number(caja->icon());
            QStringList textos;
            for (QAbstractButton* b : caja->buttons())
                textos << b->text();
            textos.sort();
            visto << textos;
            if (caso.pulsar == QLatin1String("Escape"))
                QTest::keyClick(caja, Qt::Key_Escape);
            for (QAbstractButton* b : caja->buttons()) {
                if (b->text() == caso.pulsar)
                    b->click();
            }
        });
        const QString texto = QStringLiteral("¿Desea guardar este registro?");
        QCOMPARE(MensajesQt().MostrarMensaje(texto, caso.estilo, QStringLiteral("Atención")), caso.respuesta);
        QCOMPARE(visto, QStringList({texto, QStringLiteral("Atención"), QString::number(caso.icono)}) + caso.botones);
    }

    void opcionesImpresion_data()
    {
        QTest::addColumn<Eleccion>("caso");
        QTest::newRow("pantalla por código con rango") << Eleccion{"Pantalla", true, true, "10", "20"};
        QTest::newRow("pdf con rango abierto") << Eleccion{"pdf", false, true, "30", ""};
        QTest::newRow("rango sin marcar no se devuelve") << Eleccion{"Pantalla", true, false, "10", "20"};
        QTest::newRow("cancelar") << Eleccion{"cancelar", true, true, "10", "20"};
    }

    // The destinations offered: the screen first, then the system's printers and last the PDF
    // printer, by its Spanish name. The PDF printer accepted without a file asks for one and the
    // dialog stays open. What was chosen comes back; nothing when cancelled.
    void opcionesImpresion()
    {
        QFETCH(Eleccion, caso);
        const QString archivo = carpeta_.filePath(QStringLiteral("listado.pdf"));
        const bool pdf = caso.destino == QLatin1String("pdf");
        const bool cancelar = caso.destino == QLatin1String("cancelar");
        QStringList esperados{QStringLiteral("Pantalla")}, ofrecidos;
        for (const Impresora& impresora : Printers::Lista())
            esperados.append(impresora.DeviceName());
        QString aviso;
        bool porNombre = false;  // the order it opens with
        AlAbrirse<VentanaDestino>([&](VentanaDestino* ventana) {
            QComboBox* destinos = ventana->Destinos();
            for (int i = 0; i < destinos->count(); ++i)
                ofrecidos.append(destinos->itemData(i).toString());
            porNombre = ventana->PorNombre()->isChecked();
            destinos->setCurrentIndex(pdf ? destinos->findData(Printers::NombrePdf) : 0);
            if (pdf) {
                ventana->Archivo()->clear();
                AlAbrirse<QMessageBox>([&aviso](QMessageBox* caja) {
                    aviso = caja->windowTitle() + QLatin1Char('|') + caja->text();
                    caja->accept();
                });
                QTest::mouseClick(ventana->BotonAceptar(), Qt::LeftButton);
                QTest::keyClicks(ventana->Archivo(), archivo);
            }
            QTest::mouseClick(caso.porCodigo ? ventana->PorCodigo() : ventana->PorNombre(), Qt::LeftButton);
            ventana->Desde()->setText(caso.desde);
            ventana->Hasta()->setText(caso.hasta);
            ventana->Rango()->setChecked(caso.rango);
            if (cancelar)
                QTest::keyClick(ventana, Qt::Key_Escape);
            else
                QTest::mouseClick(ventana->BotonAceptar(), Qt::LeftButton);
        });
        Form maestro(QStringLiteral("FrmProvincias"));
        QObject* referencia = &maestro;
        auto dialogo = Tramacor::NuevoDialogoImpresion();
        QString elegido = QStringLiteral("antes");
        dialogo->ElegirDestino(nullptr, referencia, elegido);
        QCOMPARE(referencia, &maestro);
        QCOMPARE(elegido, cancelar ? QStringLiteral("Null Impresora") : pdf ? Printers::NombrePdf : caso.destino);
        QCOMPARE(dialogo->ArchivoPdf(), pdf ? archivo : QString());
        QCOMPARE(dialogo->OrdenPorCodigo(), caso.porCodigo && !cancelar);
        QCOMPARE(dialogo->ConRango(), caso.rango && !cancelar);
        QCOMPARE(dialogo->CodigoDesde(), caso.rango && !cancelar ? caso.desde : QString());
        QCOMPARE(dialogo->CodigoHasta(), caso.rango && !cancelar ? caso.hasta : QString());
        QCOMPARE(ofrecidos, esperados);
        QVERIFY(ofrecidos.last() == QStringLiteral("Imprimir a PDF") && porNombre);
        QCOMPARE(aviso, pdf ? QStringLiteral("Atención|Indique el archivo PDF en el que se guardará el listado.") : QString());
    }

    // The operation log (its time and a plain statement are checked by the window's deletion): a
    // statement with quotes travels as a bound value and is stored exactly, under the default user
    // when the parameter is empty; without the log table, the data layer's error naming it. The
    // date text records carry, right-aligned text, and the common data with no texts for the language.
    void funcionesYDatos()
    {
        ConnectionPtr conexion = AbrirBaseProvincias(carpeta_.filePath(QStringLiteral("funciones.sqlite")));
        FuncionesQt funciones;
        funciones.FijarUsuario(QStringLiteral("predeterminado"));
        QVariant vacio;
        const QString sentencia = QStringLiteral("DELETE From Provincias WHERE (((Provincias.Codigo) Like 'O''B'))");
        funciones.RegistrarOperacion(vacio, conexion, sentencia);
        QCOMPARE(Escalar(*conexion, QStringLiteral("SELECT Usuario || '|' || Sentencia FROM Auditoria")).toString(),
                 QStringLiteral("predeterminado|") + sentencia);
        QCOMPARE(funciones.FormatearFecha(QDateTime(QDate(2026, 12, 6), QTime(14, 5, 9))), QStringLiteral("06/12/2026 14:05:09"));
        SuperficiePagina pagina;  // right-aligned text ends at X, where the pen stays
        funciones.ImprimirTexto(pagina, 3000, QStringLiteral("D"), QStringLiteral("Álava"), false, 0);
        QCOMPARE(pagina.CurrentX(), 3000.0);
        UtilidadesAnfitrion::Datos datos;
        datos.Conexion = conexion;
        UtilidadesAnfitrion utiles(datos);
        utiles.Configuracion().Idioma = QStringLiteral("xx");
        DatosAnfitrion recibidos;
        const std::optional<ErrorDatos> sinTextos = Capturar<ErrorDatos>([&] { utiles.ObtenerDatos(recibidos); });
        QVERIFY(sinTextos && sinTextos->Description() == QStringLiteral("No hay textos de la interfaz para el idioma «xx»"));
        conexion = Connection::Abrir(carpeta_.filePath(QStringLiteral("sin_auditoria.sqlite")), Connection::Apertura::CrearSiFalta);
        const std::optional<ErrorDatos> error = Capturar<ErrorDatos>([&] { funciones.RegistrarOperacion(vacio, conexion, sentencia); });
        QVERIFY(error && error->Statement().contains(QStringLiteral("Auditoria")));
    }

    // A loaded window stays in the reference; one that is unloading is released.
    void liberarFormulario()
    {
        struct Ventana : Form {
            Ventana() : Form(QStringLiteral("Ventana")) {}
            QObject* Dejado = this;
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

    void busquedaFiltrar_data()
    {
        QTest::addColumn<Filtro>("caso");
        // Up to the limit is shown, and then more are said to be there.
        const int limite = DialogoBusqueda::Limite;
        QTest::newRow("nada escrito: los primeros") << Filtro{"", limite, "000001", ""};
        QTest::newRow("código: cien filas") << Filtro{"0999", 100, "099900", ""};
        QTest::newRow("nombre con tilde") << Filtro{"álava 1", limite, "000001", "Álava 1"};
        QTest::newRow("sin tilde encuentra la tilde") << Filtro{"cadiz 1", limite, "", "Cádiz 1"};
        QTest::newRow("comodín escrito es literal") << Filtro{"%", 0, "", ""};
        QTest::newRow("guion bajo es literal") << Filtro{"_1", 0, "", ""};
    }

    void busquedaFiltrar()
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
    void busquedaElegir_data()
    {
        QTest::addColumn<QString>("forma");
        QTest::addColumn<QString>("elegido"); // empty: cancelled
        QTest::newRow("Intro tras dos flechas") << "flechas" << "099902";
        QTest::newRow("Intro del teclado numérico") << "intro" << "099900";
        QTest::newRow("doble clic en la cuarta fila") << "doble" << "099903";
        QTest::newRow("Escape") << "escape" << "";
    }

    void busquedaElegir()
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

    // A table or field name carrying SQL is refused before any statement runs.
    void busquedaErrores()
    {
        VentanaLlamante ventana;
        QObject* referencia = &ventana;
        bool marca = true;
        for (const auto& [tabla, campo] : QList<QPair<QString, QString>>{{"Provincias; DROP TABLE Provincias", "Codigo"},
                                                                         {"Provincias", "Codigo Provincia"}})
            QCOMPARE(NumeroDeError([&] {
                BusquedaQt().BuscarRegistro(utiles_.get(), referencia, tabla, campo, QString(), QStringLiteral("Modal"), marca);
            }), 5L);
        QCOMPARE(Escalar(*conexion_, QStringLiteral("SELECT COUNT(*) FROM Provincias")).toInt(), Filas);
    }
};

QTEST_MAIN(TestServiciosAnfitrion)
#include "tst_ServiciosAnfitrion.moc"
