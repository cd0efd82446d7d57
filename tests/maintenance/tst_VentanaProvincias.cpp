// The province window as a user meets it, driven through its real widgets on the offscreen
// platform over a province database of the test's own (SQLite, or PostgreSQL when QUILTREN_MOTOR
// says so), with the host's objects scripted: loading, browsing, the code check, the save and the
// delete with each of their outcomes, the search, hostile codes, another user on the same
// database, a database that refuses to write, and closing. (The layout at other screens is
// checked by the host's tests.)

#include "tests/apoyo/BasePrueba.h"
#include "component/ClassProvincias.h"
#include "component/DatosComunes.h"
#include "runtime/ErrorEjecucion.h"
#include "data/EsquemaProvincias.h"
#include "tests/apoyo/Falsos.h"
#include "maintenance/FrmProvincias.h"
#include "runtime/InstanciaPredeterminada.h"
#include "data/Recordset.h"
#include "runtime/Screen.h"

#include <QAbstractItemView>
#include <QDateTime>
#include <QLineEdit>
#include <QTest>
#include <algorithm>

namespace {

// What the user reads, written out here so that a changed word in the window is caught.
const QString DeseaGuardar = QStringLiteral("¿Desea guardar este registro?");
const QString DeseaEliminar = QStringLiteral("¿Desea eliminar este registro?");
const QString CodigoYaExiste = QStringLiteral("El Código de la Provincia Ya Existe");
const QString CodigoEnBlanco = QStringLiteral("El Código no puede estar en blanco");
const QString ProvinciaEnBlanco = QStringLiteral("La Provincia no puede estar en blanco");
const QString ImposibleBorrar =
    QStringLiteral("Error, Registro imposible de borrar, existen datos relacionados con otras tablas");
const QString CodigoNoValido = QStringLiteral(
    "El Código no puede contener comillas ('), los caracteres % _ * [ \\ ni caracteres de control. "
    "Escriba un código formado solo por letras, números o espacios.");
const QString CodigoNoBorrable = QStringLiteral(
    "Esta provincia tiene un código con comillas, caracteres % _ * [ \\ o de control y no puede "
    "borrarse desde esta ventana: el borrado podría alcanzar a otras provincias.");

using Mensajes = QList<LlamadaMensaje>;
LlamadaMensaje Atencion(const QString& texto, int estilo = 16)
{
    return {texto, estilo, QStringLiteral("Atención")};
}

// "Nº Error:", the number and a line break, cut before the database's own description, which
// must follow.
Mensajes SinDescripcion(Mensajes mensajes)
{
    for (LlamadaMensaje& m : mensajes) {
        const qsizetype salto = m.Texto.indexOf(QStringLiteral("\r\n"));
        if (m.Texto.startsWith(QStringLiteral("Nº Error:")) && salto > 0 && m.Texto.size() > salto + 2)
            m.Texto.truncate(salto + 2);
    }
    return mensajes;
}
LlamadaMensaje Numerado(long numero)
{
    return {QStringLiteral("Nº Error:%1\r\n").arg(numero), 16, {}};
}

// The date text the scripted host returns, and the user it hands over.
const QString Fecha = QStringLiteral("06/12/2026 10:30:00");
const QString Usuario = QStringLiteral("marta");
QStringList Grabada(const QString& codigo, const QString& nombre)
{
    return {codigo, nombre, Fecha, Usuario};
}

QList<QStringList> Ordenadas(QList<QStringList> filas)
{
    std::sort(filas.begin(), filas.end(), [](const QStringList& a, const QStringList& b) { return a[0] < b[0]; });
    return filas;
}

// The database, the host's scripted objects, the component's class showing the window, and the
// clicks and keys a user gives it.
class Banco
{
public:
    Banco()
    {
        // The design screen: 1024 by 768 pixels at 15 twips each, also the host's base size.
        Screen::FijarTwipsPorPixel(15);
        Screen::FijarTamano(15360, 11520);
        otra_ = base_.Abrir();
        Mensajes = InstalarMensajesFalsos();
        Funciones = InstalarFuncionesFalsas();
        Funciones->FechaFija = Fecha;
        Funciones->FijarUsuario(Usuario);
        Busqueda = InstalarBusquedaFalsa();
        FijarManejadorErroresEventos([this](int numero, const QString& descripcion) {
            ErroresEventos << QStringLiteral("%1: %2").arg(numero).arg(descripcion);
        });
        ubicacion_.Move(600, 450, 4800, 3600);
        principal_.setTag(QStringLiteral("Provincias"));
        Utiles = std::make_shared<UtilidadesFalsas>();
        Utiles->Conexion = base_.Conexion();
        Utiles->Ubicacion = &ubicacion_;
        Utiles->Principal = &principal_;
        Utiles->Usuario = Usuario;
    }

    ~Banco()
    {
        if (InstanciaPredeterminada<FrmProvincias>::Existe()) {
            Mensajes->Respuestas.clear();
            Mensajes->RespuestaPredeterminada = 7;
            try {
                clase_.Cerrar();
            } catch (...) {
            }
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        Comunes().Liberar();
        FijarManejadorErroresEventos({});
        Tramacor::FijarMensajes(nullptr);
        Tramacor::FijarFunciones(nullptr);
        Tramacor::FijarFabricaBusqueda({});
        Screen::Restablecer();
    }

    // Another user's statement, on a connection other than the window's.
    void Ejecutar(const QString& sentencia) { otra_->Execute(sentencia); }
    ConnectionPtr NuevaConexion() const { return base_.Abrir(); }
    ConnectionPtr ConexionVentana() const { return base_.Conexion(); }

    // The rows as another connection reads them (code, name, change date, user), in code order.
    QList<QStringList> Filas(const QString& solo = {})
    {
        QList<QStringList> filas =
            FilasDe(*otra_, QStringLiteral("SELECT Codigo, Provincia, Actualizado, ModificadoPor FROM Provincias ORDER BY Codigo"));
        filas.removeIf([&](const QStringList& fila) { return !solo.isNull() && fila[0] != solo; });
        return filas;
    }
    QString Nombre(const QString& codigo) { return Filas(codigo).value(0).value(1); }
    // Each town as "town:province", in town order.
    QList<QStringList> Municipios()
    {
        return FilasDe(*otra_, QStringLiteral("SELECT Codigo || ':' || CodigoProvincia FROM Municipios ORDER BY Codigo"));
    }

    // Shows the window through the component's class, as a host does, and waits until it is active.
    FrmProvincias* Abrir()
    {
        std::shared_ptr<IUtilidades> utiles = Utiles;
        clase_.Cargar(utiles);
        v_ = qobject_cast<FrmProvincias*>(InstanciaPredeterminada<FrmProvincias>::Referencia());
        if (!v_ || !QTest::qWaitForWindowActive(v_))
            throw ErrorEjecucion(91, QStringLiteral("La ventana no se mostró activa como instancia predeterminada"));
        return v_;
    }
    void Cerrar() { clase_.Cerrar(); }

    void Clic(Control* control) { QTest::mouseClick(control->Widget(), Qt::LeftButton); }
    // A visible data row of the grid.
    void ClicFila(int fila)
    {
        auto* vista = qobject_cast<QAbstractItemView*>(v_->LinProvincias->Widget());
        v_->LinProvincias->Sincronizar();
        QTest::mouseClick(vista->viewport(), Qt::LeftButton, {},
                          vista->visualRect(vista->model()->index(fila - 1, 1)).center());
    }
    // A data row: the first is clicked, the others reached with the cursor keys.
    void Mostrar(int fila)
    {
        ClicFila(1);
        for (int i = 1; i < fila; ++i)
            QTest::keyClick(v_->LinProvincias->Widget(), Qt::Key_Down);
    }
    // Clicks in, selects everything and types over it, one key per character.
    void Escribir(TextBox* caja, const QString& texto)
    {
        Clic(caja);
        auto* campo = qobject_cast<QLineEdit*>(caja->Widget());
        campo->selectAll();
        if (texto.isEmpty())
            QTest::keyClick(campo, Qt::Key_Delete);
        // The keys QTest cannot name (accented letters) travel as their text.
        for (const QChar c : texto) {
            if (c.unicode() < 128)
                QTest::keyClick(campo, char(c.unicode()));
            else
                QTest::sendKeyEvent(QTest::Click, campo, Qt::Key_unknown, QString(c), Qt::NoModifier);
        }
    }
    void SalirDelCodigo() { QTest::keyClick(v_->TxtCodigo->Widget(), Qt::Key_Tab); }
    // The grid's column of codes (0) or names (1), data rows only.
    QStringList ColumnaGrilla(int columna) const
    {
        QStringList textos;
        for (int fila = 1; fila < v_->LinProvincias->Rows(); ++fila)
            textos << v_->LinProvincias->TextMatrix(fila, columna);
        return textos;
    }

    std::shared_ptr<MensajesFalsos> Mensajes;
    std::shared_ptr<FuncionesFalsas> Funciones;
    std::shared_ptr<GuionBusqueda> Busqueda;
    std::shared_ptr<UtilidadesFalsas> Utiles;
    // Errors that escaped an event handler; a test expects none unless it says so.
    QStringList ErroresEventos;

private:
    BasePrueba base_;
    ConnectionPtr otra_;
    Form ubicacion_{QStringLiteral("FrmUbicacion")};
    Form principal_{QStringLiteral("FrmPrincipal")};
    ClassProvincias clase_;
    FrmProvincias* v_ = nullptr;
};

// One row of each table below.
struct Comprobacion { bool nuevo; QString escrito; Mensajes aviso; QString queda; };
struct Oferta { QString codigo, nombre; int respuesta; Mensajes mensajes; QString guardado; };
struct Cancelacion { bool nuevo, borradaPorOtro; QString codigo; int fila; };
struct Grabacion {
    int fila;
    bool nuevo;
    QString codigo; // typed over the shown one; empty: kept
    QString nombre, averia;
    Mensajes mensajes;
    QString muestra; // the code shown after a dropped edit
};
struct Borrado { int fila, respuesta; QString averia; bool borrada; Mensajes mensajes; };
struct Buscada { QString elegido, editado; int respuesta; QString codigo, nombre; Mensajes mensajes; };
struct Hostil { QString codigo, nombre; bool tecleado; QString guardado, aviso; };
struct Cierre {
    bool anfitrion; // closed by the host through the class, or by the title bar
    bool nuevo;
    QString nombre;
    int respuesta, preguntas;
    bool cerrada;
};

} // namespace

Q_DECLARE_METATYPE(Comprobacion)
Q_DECLARE_METATYPE(Oferta)
Q_DECLARE_METATYPE(Cancelacion)
Q_DECLARE_METATYPE(Grabacion)
Q_DECLARE_METATYPE(Borrado)
Q_DECLARE_METATYPE(Buscada)
Q_DECLARE_METATYPE(Hostil)
Q_DECLARE_METATYPE(Cierre)

class PruebaVentanaProvincias : public QObject
{
    Q_OBJECT

    std::unique_ptr<Banco> banco;
    FrmProvincias* v = nullptr;
    QList<QStringList> originales;
    QList<QStringList> municipios;

    QStringList Campos() const { return {v->TxtCodigo->Text(), v->TxtProvincia->Text()}; }
    // The original rows without `quitar` and with `nueva`, in code order.
    QList<QStringList> Esperadas(const QString& quitar, const QStringList& nueva = {})
    {
        QList<QStringList> filas;
        for (const QStringList& f : originales)
            if (f[0] != quitar)
                filas << f;
        if (!nueva.isEmpty())
            filas << nueva;
        return Ordenadas(filas);
    }
    void Abrir()
    {
        originales = banco->Filas();
        municipios = banco->Municipios();
        v = banco->Abrir();
    }

private slots:
    void init() { banco = std::make_unique<Banco>(); }

    void cleanup()
    {
        const QStringList errores = banco->ErroresEventos;
        banco.reset();
        QVERIFY2(errores.isEmpty(), qPrintable(errores.join(QLatin1Char('\n'))));
    }

    void carga()
    {
        Abrir();
        // Names in Spanish alphabetical order: accents and ñ where a Spanish reader looks for them.
        QCOMPARE(banco->ColumnaGrilla(1).join(QLatin1Char('|')),
                 QStringLiteral("A Coruña|Álava|Albacete|Alicante|Almería|Asturias|Ávila|Badajoz|Baleares|Barcelona|"
                                "Burgos|Cáceres|Cádiz|Cantabria|Castellón|Ceuta|Ciudad Real|Córdoba|Cuenca|Girona|"
                                "Granada|Guadalajara|Guipúzcoa|Huelva|Huesca|Jaén|La Rioja|Las Palmas|León|Lleida|"
                                "Lugo|Madrid|Málaga|Melilla|Murcia|Navarra|Ourense|Palencia|Pontevedra|"
                                "S.C. de Tenerife|Salamanca|Segovia|Sevilla|Soria|Tarragona|Teruel|Toledo|Valencia|"
                                "Valladolid|Vizcaya|Zamora|Zaragoza"));
        QCOMPARE(banco->ColumnaGrilla(0).mid(0, 2), QStringList({"15", "01"}));
        QCOMPARE(QStringList({v->LinProvincias->TextMatrix(0, 0), v->LinProvincias->TextMatrix(0, 1)}),
                 QStringList({"CÓDIGO", "PROVINCIA"}));
        // The fill copies the first province into the fields without making a data row current.
        QCOMPARE(Campos(), QStringList({"15", "A Coruña"}));
        QCOMPARE(v->LinProvincias->Row(), 0);
        // Placed where the host's location window is, and painted by the host.
        QCOMPARE(QPoint(v->Left(), v->Top()), QPoint(600, 450));
        QVERIFY(banco->Utiles->LlamadasPintar > 0);
        QCOMPARE(banco->Mensajes->Llamadas, Mensajes{});
        // The arrows move one row and stop at either end, showing the row, and enable the buttons
        // that act on it again.
        v->LblBorrar->setEnabled(false);
        v->LblBuscar->setEnabled(false);
        for (Image* flecha : {v->ImgProvDerecha, v->ImgProvDerecha, v->ImgProvIzquierda, v->ImgProvIzquierda})
            banco->Clic(flecha);
        QCOMPARE(v->TxtProvincia->Text(), QStringLiteral("A Coruña"));
        for (int i = 0; i < 53; ++i)
            banco->Clic(v->ImgProvDerecha);
        QCOMPARE(v->LinProvincias->Row(), 52);
        QCOMPARE(v->TxtProvincia->Text(), QStringLiteral("Zaragoza"));
        QVERIFY(v->LinProvincias->RowIsVisible(52) && v->LblBorrar->Enabled() && v->LblBuscar->Enabled());
    }

    void comprobacionDelCodigo_data()
    {
        QTest::addColumn<Comprobacion>("caso");
        const Mensajes existe{{CodigoYaExiste, 16, QStringLiteral("Aviso")}};
        QTest::newRow("editando, código de otra") << Comprobacion{false, "28", existe, "15"};
        QTest::newRow("nueva, código existente") << Comprobacion{true, "28", existe, ""};
        QTest::newRow("editando, el mismo código") << Comprobacion{false, "15", {}, "15"};
        QTest::newRow("mayúsculas no coinciden") << Comprobacion{true, "AB", {}, "AB"};
        QTest::newRow("comilla") << Comprobacion{true, "'", {Atencion(CodigoNoValido)}, "'"};
    }

    void comprobacionDelCodigo()
    {
        QFETCH(Comprobacion, caso);
        const auto& [nuevo, escrito, aviso, queda] = caso;
        Abrir();
        banco->Ejecutar(QStringLiteral("INSERT INTO Provincias (Codigo, Provincia) VALUES ('ab', 'Minúsculas')"));
        const QList<QStringList> antes = banco->Filas();
        if (nuevo)
            banco->Clic(v->LblNuevo);
        banco->Escribir(v->TxtCodigo, escrito);
        banco->SalirDelCodigo();
        QCOMPARE(banco->Mensajes->Llamadas, aviso);
        QCOMPARE(v->TxtCodigo->Text(), queda);
        // A warning keeps the focus in the code field.
        QCOMPARE(v->ActiveControl(), aviso.isEmpty() ? static_cast<Control*>(v->TxtProvincia) : v->TxtCodigo);
        QCOMPARE(banco->Filas(), antes);
    }

    void ofertaDeGuardarAlCambiarDeFila_data()
    {
        QTest::addColumn<Oferta>("caso");
        const LlamadaMensaje pregunta = Atencion(DeseaGuardar, 4);
        QTest::newRow("sin cambios") << Oferta{"02", "Albacete", 6, {}, "Albacete"};
        QTest::newRow("nombre cambiado, no") << Oferta{"02", "Albacete Sur", 7, {pregunta}, "Albacete"};
        QTest::newRow("código cambiado, no") << Oferta{"98", "Albacete", 7, {pregunta}, "Albacete"};
        QTest::newRow("nombre cambiado, sí") << Oferta{"02", "Albacete Sur", 6, {pregunta}, "Albacete Sur"};
        QTest::newRow("sí, pero el nombre está vacío")
            << Oferta{"02", "", 6, {pregunta, Atencion(ProvinciaEnBlanco)}, "Albacete"};
    }

    void ofertaDeGuardarAlCambiarDeFila()
    {
        QFETCH(Oferta, caso);
        const auto& [codigo, nombre, respuesta, mensajes, guardado] = caso;
        Abrir();
        banco->ClicFila(3);
        banco->Escribir(v->TxtCodigo, codigo);
        banco->Escribir(v->TxtProvincia, nombre);
        banco->Mensajes->Respuestas = {respuesta};
        banco->ClicFila(2);
        QCOMPARE(banco->Mensajes->Llamadas, mensajes);
        QCOMPARE(banco->Nombre(QStringLiteral("02")), guardado);
        QVERIFY(banco->Filas(QStringLiteral("98")).isEmpty());
        // The clicked province replaces the fields whatever the answer; the grid lists the stored names.
        QCOMPARE(Campos(), QStringList({"01", "Álava"}));
        QCOMPARE(v->RecordsetProvincias()->Fields(QStringLiteral("Codigo")).Value().toString(), QStringLiteral("01"));
        QVERIFY(banco->ColumnaGrilla(1).contains(guardado));
    }

    void cancelar_data()
    {
        QTest::addColumn<Cancelacion>("caso");
        QTest::newRow("una nueva: la primera") << Cancelacion{true, false, "15", 1};
        QTest::newRow("una edición: la guardada") << Cancelacion{false, false, "02", 3};
        QTest::newRow("borrada por otro: la primera") << Cancelacion{false, true, "15", 1};
    }

    void cancelar()
    {
        QFETCH(Cancelacion, caso);
        const auto& [nuevo, borradaPorOtro, codigo, fila] = caso;
        Abrir();
        banco->ClicFila(3);
        if (nuevo)
            banco->Clic(v->LblNuevo);
        banco->Escribir(v->TxtCodigo, QStringLiteral("77"));
        banco->Escribir(v->TxtProvincia, QStringLiteral("Otra cosa"));
        if (borradaPorOtro)
            banco->Ejecutar(QStringLiteral("DELETE FROM Provincias WHERE Codigo = '02'"));
        banco->Clic(v->LblCancelar);
        banco->Clic(v->LblCancelar);
        QCOMPARE(Campos(), QStringList({codigo, banco->Nombre(codigo)}));
        QCOMPARE(v->LinProvincias->Row(), fila);
        QCOMPARE(v->LinProvincias->Rows(), borradaPorOtro ? 52 : 53);
        QVERIFY(!v->EstadoVentana().RegistroNuevo && !Comunes().EdicionEnCurso);
        QVERIFY(v->LblNuevo->Enabled() && v->LblBorrar->Enabled() && v->LinProvincias->Enabled());
        QVERIFY(banco->Filas(QStringLiteral("77")).isEmpty());
        QCOMPARE(banco->Mensajes->Llamadas, Mensajes{});
    }

    void filaBorradaPorOtroUsuario()
    {
        Abrir();
        banco->Ejecutar(QStringLiteral("DELETE FROM Provincias WHERE Codigo = '02'"));
        banco->ClicFila(3);
        QCOMPARE(banco->Mensajes->Llamadas, (Mensajes{{QStringLiteral("El Registro fue Eliminado por Otro Usuario"), 64, {}}}));
        // Filled again without the lost province; the first one is shown.
        QCOMPARE(v->LinProvincias->Rows(), 52);
        QVERIFY(!banco->ColumnaGrilla(0).contains(QStringLiteral("02")));
        QCOMPARE(Campos(), QStringList({"15", "A Coruña"}));
        QCOMPARE(v->EstadoVentana().CodigoActual, QStringLiteral("15"));
    }

    void tablaVacia()
    {
        banco->Ejecutar(QStringLiteral("DELETE FROM Municipios"));
        banco->Ejecutar(QStringLiteral("DELETE FROM Provincias"));
        Abrir();
        QCOMPARE(v->LinProvincias->Rows(), 1);
        QVERIFY(!v->TxtCodigo->Enabled() && !v->TxtProvincia->Enabled());
        for (Control* c : {static_cast<Control*>(v->ImgProvDerecha), static_cast<Control*>(v->ImgProvIzquierda),
                           static_cast<Control*>(v->LblCancelar), static_cast<Control*>(v->LblNuevo)})
            banco->Clic(c);
        QVERIFY(v->TxtCodigo->Enabled() && v->TxtProvincia->Enabled());
        QCOMPARE(v->ActiveControl(), static_cast<Control*>(v->TxtCodigo));
        banco->Clic(v->LblCancelar);
        QVERIFY(!v->TxtCodigo->Enabled() && !v->TxtProvincia->Enabled());
        QCOMPARE(v->TxtCodigo->Text(), QString());
        QCOMPARE(banco->Mensajes->Llamadas, Mensajes{});
    }

    // The save: the edit stored, or what the user reads when another user took the code or
    // deleted the row (the edit is dropped), or when the database does not write (the table keeps
    // what was committed, and once it writes again the same edit is saved with nothing lost).
    void grabar_data()
    {
        QTest::addColumn<Grabacion>("caso");
        const Mensajes existe{{QStringLiteral("Este Código ya exite "), 16, QStringLiteral("Error")}};
        const Mensajes perdida{Atencion(QStringLiteral("No se pudo modificar el registro"))};
        QTest::newRow("nombre cambiado") << Grabacion{3, false, "", "Albacete Norte", "", {}, ""};
        QTest::newRow("código cambiado") << Grabacion{3, false, "99", "Albacete", "", {}, ""};
        QTest::newRow("código cambiado, con municipios") << Grabacion{10, false, "98", "Barcelona", "", {}, ""};
        QTest::newRow("nombre de espacios") << Grabacion{3, false, "", "   ", "", {}, ""};
        QTest::newRow("provincia nueva") << Grabacion{3, true, "53", "Nueva Tabarca", "", {}, ""};
        // The code is still free when the field is left; another user takes it before the save.
        QTest::newRow("nueva, código tomado por otro") << Grabacion{3, true, "53", "Mía", "duplicado", existe, "02"};
        QTest::newRow("código cambiado, tomado por otro")
            << Grabacion{10, false, "53", "Mía", "duplicado", existe, "08"};
        // The first province in name order whose code is not below the lost one, or else one below.
        QTest::newRow("borrada por otro: Cuenca") << Grabacion{19, false, "", "Cambiada", "borrada", perdida, "33"};
        QTest::newRow("borrada por otro: Melilla") << Grabacion{34, false, "", "Cambiada", "borrada", perdida, "15"};
        QTest::newRow("solo lectura")
            << Grabacion{3, false, "", "Albacete Sur", "solo lectura", {Numerado(-2147217911)}, ""};
    }

    void grabar()
    {
        QFETCH(Grabacion, caso);
        auto [fila, nuevo, codigo, nombre, averia, mensajes, muestra] = caso;
        const bool pg = BasePrueba::EnPostgres();
        Abrir();
        ConnectionPtr ventana = banco->ConexionVentana();
        banco->Mostrar(fila);
        if (nuevo)
            banco->Clic(v->LblNuevo);
        const QString antes = v->TxtCodigo->Text();
        if (!codigo.isEmpty()) {
            banco->Escribir(v->TxtCodigo, codigo);
            banco->SalirDelCodigo();
        }
        codigo = v->TxtCodigo->Text();
        if (averia == QLatin1String("duplicado")) {
            banco->Ejecutar(QStringLiteral("INSERT INTO Provincias (Codigo, Provincia) VALUES ('53', 'Suya')"));
        } else if (averia == QLatin1String("borrada")) {
            banco->Ejecutar(QStringLiteral("DELETE FROM Provincias WHERE Codigo = '%1'").arg(codigo));
        } else if (averia == QLatin1String("solo lectura")) {
            ventana->Execute(pg ? QStringLiteral("SET default_transaction_read_only = on")
                                : QStringLiteral("PRAGMA query_only = 1"));
        }
        banco->Escribir(v->TxtProvincia, nombre);
        banco->Clic(v->lblAceptar);
        QCOMPARE(SinDescripcion(banco->Mensajes->Llamadas), mensajes);

        if (!muestra.isEmpty()) {
            // Back to browsing, without the edit.
            const bool duplicado = averia == QLatin1String("duplicado");
            QCOMPARE(banco->Filas(), duplicado ? Esperadas({}, {QStringLiteral("53"), QStringLiteral("Suya"), {}, {}})
                                               : Esperadas(codigo));
            QCOMPARE(v->TxtCodigo->Text(), muestra);
            QCOMPARE(banco->Municipios(), municipios);
            QVERIFY(!v->EstadoVentana().RegistroNuevo && !Comunes().EdicionEnCurso && v->LinProvincias->Enabled());
            if (duplicado) {
                // The name as typed, and the focus back in the code.
                QCOMPARE(v->TxtProvincia->Text(), nombre);
                QCOMPARE(v->ActiveControl(), static_cast<Control*>(v->TxtCodigo));
            } else {
                QCOMPARE(v->LinProvincias->Rows(), 52);
            }
            return;
        }
        if (!averia.isEmpty()) {
            QCOMPARE(banco->Filas(), originales);
            ventana->Execute(pg ? QStringLiteral("SET default_transaction_read_only = off") : QStringLiteral("PRAGMA query_only = 0"));
            QCOMPARE(v->TxtProvincia->Text(), nombre);
            banco->Mensajes->Llamadas.clear();
            banco->Clic(v->lblAceptar);
            QCOMPARE(banco->Mensajes->Llamadas, Mensajes{});
        }
        QCOMPARE(banco->Filas(), Esperadas(antes, Grabada(codigo, nombre)));
        // The towns of a province follow its new code.
        if (!antes.isEmpty())
            for (QStringList& municipio : municipios)
                municipio.replaceInStrings(QLatin1Char(':') + antes, QLatin1Char(':') + codigo);
        QCOMPARE(banco->Municipios(), municipios);
        const FrmProvincias::Estado estado = v->EstadoVentana();
        QCOMPARE(estado.CodigoActual, codigo);
        QVERIFY(!estado.RegistroNuevo && estado.Modificando && !estado.ValidacionFallida);
        QVERIFY(!Comunes().EdicionEnCurso);
        // The grid was filled again and its current row is the saved province.
        QCOMPARE(QStringList({v->LinProvincias->TextMatrix(v->LinProvincias->Row(), 0),
                              v->LinProvincias->TextMatrix(v->LinProvincias->Row(), 1)}),
                 QStringList({codigo, nombre}));
        QVERIFY(v->LinProvincias->Enabled() && v->LblNuevo->Enabled() && v->LblBorrar->Enabled());
        QCOMPARE(v->ActiveControl(), static_cast<Control*>(v->PicDatosProvincias));
    }

    void borrar_data()
    {
        QTest::addColumn<Borrado>("caso");
        const LlamadaMensaje pregunta = Atencion(DeseaEliminar, 4);
        const LlamadaMensaje relacionada{ImposibleBorrar, 16, {}};
        QTest::newRow("respuesta no") << Borrado{3, 7, "", false, Mensajes{pregunta}};
        QTest::newRow("borrada") << Borrado{3, 6, "", true, Mensajes{pregunta}};
        QTest::newRow("con municipios") << Borrado{10, 6, "", false, Mensajes{pregunta, relacionada}};
        QTest::newRow("referenciada por otro después")
            << Borrado{3, 6, "municipio nuevo", false, Mensajes{pregunta, relacionada}};
        // The delete and its audit record stand or fall together.
        QTest::newRow("el anfitrión no registra la operación")
            << Borrado{3, 6, "anfitrión", false, Mensajes{pregunta, Numerado(5)}};
        QTest::newRow("la auditoría rechaza el registro")
            << Borrado{3, 6, "disparador", false, Mensajes{pregunta, Numerado(-2147217873)}};
        QTest::newRow("la auditoría lo rechaza por duplicado")
            << Borrado{3, 6, "duplicado", false, Mensajes{pregunta, Numerado(-2147217887)}};
    }

    void borrar()
    {
        QFETCH(Borrado, caso);
        const auto& [fila, respuesta, averia, borrada, mensajes] = caso;
        Abrir();
        banco->Mostrar(fila);
        const QString codigo = v->TxtCodigo->Text();
        const QString sentencia = QStringLiteral("DELETE From Provincias WHERE (((Provincias.Codigo) Like '%1'))").arg(codigo);
        if (averia == QLatin1String("municipio nuevo"))
            banco->Ejecutar(QStringLiteral("INSERT INTO Municipios (Codigo, Municipio, CodigoProvincia) VALUES ('%1003', 'Otro', '%1')")
                                .arg(codigo));
        if (averia == QLatin1String("disparador") && BasePrueba::EnPostgres()) {
            banco->Ejecutar(QStringLiteral("CREATE FUNCTION Rechazar() RETURNS trigger AS $$ BEGIN RAISE EXCEPTION "
                                           "'Auditoría cerrada' USING ERRCODE = 'check_violation'; END $$ LANGUAGE plpgsql"));
            banco->Ejecutar(QStringLiteral("CREATE TRIGGER AuditoriaCerrada BEFORE INSERT ON Auditoria FOR EACH ROW EXECUTE FUNCTION Rechazar()"));
        } else if (averia == QLatin1String("disparador")) {
            banco->Ejecutar(QStringLiteral("CREATE TRIGGER AuditoriaCerrada BEFORE INSERT ON Auditoria "
                                           "BEGIN SELECT RAISE(ABORT, 'Auditoría cerrada'); END"));
        }
        if (averia == QLatin1String("duplicado")) {
            banco->Ejecutar(QStringLiteral("CREATE UNIQUE INDEX IxAuditoriaSentencia ON Auditoria (Sentencia)"));
            banco->Ejecutar(QStringLiteral("INSERT INTO Auditoria (Fecha, Usuario, Sentencia) VALUES ('2026-01-01 00:00:00', 'otro', '%1')")
                                .arg(QString(sentencia).replace(QLatin1Char('\''), QLatin1String("''"))));
        }
        banco->Funciones->SoloAnotar = false;
        banco->Funciones->FalloRegistro = averia == QStringLiteral("anfitrión") ? 5 : 0;
        banco->Mensajes->Respuestas = {respuesta};
        banco->Clic(v->LblBorrar);
        QCOMPARE(SinDescripcion(banco->Mensajes->Llamadas), mensajes);
        QCOMPARE(banco->Filas(), borrada ? Esperadas(codigo) : originales);
        QVERIFY(!banco->ConexionVentana()->EnTransaccion());

        Recordset auditoria;
        auditoria.Open(QStringLiteral("SELECT Sentencia, Fecha FROM Auditoria WHERE Usuario = '%1'").arg(Usuario),
                       banco->NuevaConexion(), 3, 1);
        QCOMPARE(auditoria.RecordCount(), borrada ? 1L : 0L);
        if (borrada) {
            QCOMPARE(auditoria.Fields(QStringLiteral("Sentencia")).Value().toString(), sentencia);
            const QDateTime fecha = QDateTime::fromString(auditoria.Fields(QStringLiteral("Fecha")).Value().toString(),
                                                          QStringLiteral("yyyy-MM-dd HH:mm:ss"));
            QVERIFY(qAbs(fecha.secsTo(QDateTime::currentDateTime())) < 600);
        }
        // After an answer the window shows the first province in name order.
        QCOMPARE(v->TxtCodigo->Text(), respuesta == 6 ? QStringLiteral("15") : codigo);
        QCOMPARE(v->LinProvincias->Rows(), borrada ? 52 : 53);
    }

    void buscar_data()
    {
        QTest::addColumn<Buscada>("caso");
        QTest::newRow("elegida") << Buscada{"28", "", 0, "28", "Madrid", {}};
        QTest::newRow("cancelada") << Buscada{"", "", 0, "15", "A Coruña", {}};
        QTest::newRow("elegida pero borrada")
            << Buscada{"02", "", 0, "", "", {{QStringLiteral("Error no se encontró la Provincia"), 16, QStringLiteral("Error")}}};
        QTest::newRow("cambios guardados, elegida")
            << Buscada{"28", "Coruña", 6, "28", "Madrid", Mensajes{Atencion(DeseaGuardar, 4)}};
    }

    void buscar()
    {
        QFETCH(Buscada, caso);
        const auto& [elegido, editado, respuesta, codigo, nombre, mensajes] = caso;
        Abrir();
        banco->Ejecutar(QStringLiteral("DELETE FROM Provincias WHERE Codigo = '02'"));
        if (!editado.isEmpty())
            banco->Escribir(v->TxtProvincia, editado);
        banco->Mensajes->Respuestas = {respuesta};
        banco->Busqueda->Elecciones = {elegido};
        banco->Clic(v->LblBuscar);

        QCOMPARE(banco->Mensajes->Llamadas, mensajes);
        QCOMPARE(banco->Busqueda->Llamadas.size(), 1);
        const LlamadaBusqueda llamada = banco->Busqueda->Llamadas.first();
        QCOMPARE(llamada.Ventana.data(), static_cast<QObject*>(v));
        QCOMPARE(QStringList({llamada.Tabla, llamada.Campo, llamada.Modo, llamada.ValorActual}),
                 QStringList({"Provincias", "Codigo", "Modal", "15"}));
        QVERIFY(llamada.Marca);
        QCOMPARE(Campos(), QStringList({codigo, nombre}));
        QCOMPARE(v->TxtCodigo->Tag(), QString());
        if (!elegido.isEmpty() && !codigo.isEmpty())
            QCOMPARE(v->LinProvincias->TextMatrix(v->LinProvincias->Row(), 0), codigo);
        QCOMPARE(banco->Nombre(QStringLiteral("15")), respuesta == 6 ? QStringLiteral("Coruña") : QStringLiteral("A Coruña"));
    }

    void codigosHostilesYCamposVacios_data()
    {
        QTest::addColumn<Hostil>("caso");
        const QString hostil = QStringLiteral("Hostil");
        QTest::newRow("comilla") << Hostil{"'", hostil, false, "", CodigoNoValido};
        QTest::newRow("porcentaje") << Hostil{"%", hostil, false, "", CodigoNoValido};
        QTest::newRow("código vacío") << Hostil{"", hostil, false, "", CodigoEnBlanco};
        QTest::newRow("nombre vacío") << Hostil{"60", "", false, "", ProvinciaEnBlanco};
        QTest::newRow("muy largo, tecleado") << Hostil{"ABCDEFGHIJKLMNOPQRSTUVWXYZ", hostil, true, "AB", ""};
        QTest::newRow("espacios") << Hostil{"  ", hostil, true, "  ", ""};
        QTest::newRow("acento combinante")
            << Hostil{QStringLiteral("e\u0301"), hostil, false, QStringLiteral("e\u0301"), ""};
    }

    void codigosHostilesYCamposVacios()
    {
        QFETCH(Hostil, caso);
        const auto& [codigo, nombre, tecleado, guardado, aviso] = caso;
        Abrir();
        banco->Clic(v->LblNuevo);
        if (tecleado)
            banco->Escribir(v->TxtCodigo, codigo);
        banco->Escribir(v->TxtProvincia, nombre);
        // Put there by the program, so that only the save looks at it.
        if (!tecleado)
            v->TxtCodigo->setText(codigo);
        banco->Clic(v->lblAceptar);

        if (!aviso.isEmpty()) {
            QCOMPARE(banco->Mensajes->Llamadas, Mensajes{Atencion(aviso)});
            QCOMPARE(banco->Filas(), originales);
            // Still entering the new province, with the focus in the field at fault.
            QVERIFY(v->EstadoVentana().RegistroNuevo && v->EstadoVentana().ValidacionFallida);
            QVERIFY(!v->LblNuevo->Enabled() && !v->LinProvincias->Enabled());
            QCOMPARE(v->ActiveControl(), static_cast<Control*>(aviso == ProvinciaEnBlanco ? v->TxtProvincia : v->TxtCodigo));
            QCOMPARE(v->TxtProvincia->Text(), nombre);
            return;
        }
        QCOMPARE(banco->Mensajes->Llamadas, Mensajes{});
        QCOMPARE(Ordenadas(banco->Filas()), Ordenadas(Esperadas(QString(), Grabada(guardado, nombre))));
        // The stored code is found again by the cancel, and its delete takes that row only.
        banco->Clic(v->LblCancelar);
        QCOMPARE(v->TxtCodigo->Text(), guardado);
        banco->Mensajes->Respuestas = {6};
        banco->Clic(v->LblBorrar);
        QCOMPARE(banco->Mensajes->Llamadas, Mensajes{Atencion(DeseaEliminar, 4)});
        QCOMPARE(banco->Filas(), originales);
    }

    void codigoConComodinDeOtroPrograma()
    {
        // Another program stored a code the window would never store. It is shown as its own row
        // (not as the rows its wildcard would match), and neither the delete nor the save sends a
        // statement that could reach further rows.
        banco->Ejecutar(QStringLiteral("INSERT INTO Provincias (Codigo, Provincia) VALUES ('0%', '  Comodín')"));
        Abrir();
        banco->ClicFila(1);
        QCOMPARE(Campos(), QStringList({"0%", "  Comodín"}));
        banco->Mensajes->Respuestas = {6};
        banco->Clic(v->LblBorrar);
        banco->Escribir(v->TxtProvincia, QStringLiteral("Renombrada"));
        banco->Clic(v->lblAceptar);
        QCOMPARE(banco->Mensajes->Llamadas, (Mensajes{Atencion(CodigoNoBorrable), Atencion(CodigoNoValido)}));
        QCOMPARE(banco->Filas(), originales);
    }

    void cerrar_data()
    {
        QTest::addColumn<Cierre>("caso");
        QTest::newRow("sin cambios") << Cierre{false, false, "A Coruña", 0, 0, true};
        QTest::newRow("con cambios, no") << Cierre{false, false, "Coruña", 7, 1, true};
        QTest::newRow("nueva sin escribir, no") << Cierre{false, true, "", 7, 1, true};
        QTest::newRow("nueva sin nombre, sí: sigue abierta") << Cierre{false, true, "", 6, 2, false};
        QTest::newRow("nueva completa, sí: se guarda") << Cierre{false, true, "Nueva Tabarca", 6, 1, true};
        // The host's unload goes through whatever the answer, the save or the database do.
        QTest::newRow("anfitrión, nueva sin nombre, sí") << Cierre{true, true, "", 6, 2, true};
        QTest::newRow("anfitrión, la tabla ya no existe") << Cierre{true, false, "Cambiada", 0, 0, true};
    }

    void cerrar()
    {
        QFETCH(Cierre, caso);
        const auto& [anfitrion, nuevo, nombre, respuesta, preguntas, cerrada] = caso;
        Abrir();
        QPointer<FrmProvincias> ventana(v);
        if (nuevo) {
            banco->Clic(v->LblNuevo);
            if (respuesta == 6)
                banco->Escribir(v->TxtCodigo, QStringLiteral("53"));
        }
        banco->Escribir(v->TxtProvincia, nombre);
        banco->Mensajes->Respuestas = {respuesta};
        const bool tablaBorrada = anfitrion && !nuevo;
        if (tablaBorrada) {
            banco->Ejecutar(QStringLiteral("DROP TABLE Municipios"));
            banco->Ejecutar(QStringLiteral("DROP TABLE Provincias"));
        }
        QWidget* barra = v->Barra1->Widget();
        if (anfitrion)
            banco->Cerrar();
        else // the close button at the right end of the title bar
            QTest::mouseClick(barra, Qt::LeftButton, {}, QPoint(barra->width() - 6, barra->height() / 2));
        QCOMPARE(banco->Mensajes->Llamadas.size(), preguntas);
        QCOMPARE(InstanciaPredeterminada<FrmProvincias>::Existe(), !cerrada);
        // The lost table is reported through the runtime's handler of event errors.
        QCOMPARE(banco->ErroresEventos.size(), tablaBorrada ? 1 : 0);
        banco->ErroresEventos.clear();
        if (anfitrion)
            return;
        QCOMPARE(banco->Filas(QStringLiteral("53")).size(), cerrada && respuesta == 6 && nuevo ? 1 : 0);
        // The host's main window forgets the edit unless a new province is still pending.
        QCOMPARE(Comunes().FormPrincipal->Tag(), cerrada ? QString() : QStringLiteral("Provincias"));
        QCOMPARE(banco->Funciones->Liberados.size(), cerrada ? 1 : 0);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(ventana.isNull(), cerrada);
        if (!cerrada)
            QVERIFY(!v->EstadoVentana().ValidacionFallida && v->LblNuevo->Visible() && v->LblBorrar->Enabled());
        QCOMPARE(banco->Nombre(QStringLiteral("15")), QStringLiteral("A Coruña"));
    }
};

QTEST_MAIN(PruebaVentanaProvincias)
#include "tst_VentanaProvincias.moc"
