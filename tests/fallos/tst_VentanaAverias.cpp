// The same faults under the real maintenance window: another process holding the write lock and
// a full disk. The save and the delete show "Nº Error:" with the number and the description, the
// table keeps what was committed, and once the fault is gone the same window saves again.

#include "ApoyoFallos.h"
#include "ClassProvincias.h"
#include "DatosComunes.h"
#include "ErroresDatos.h"
#include "Falsos.h"
#include "FrmProvincias.h"
#include "InstanciaPredeterminada.h"
#include "UtilidadesAnfitrion.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using namespace ApoyoFallos;

class VentanaAverias : public QObject {
    Q_OBJECT

private slots:
    void guardarYBorrarConAveria_data();
    void guardarYBorrarConAveria();
};

void VentanaAverias::guardarYBorrarConAveria_data()
{
    QTest::addColumn<QString>("averia");
    QTest::addColumn<long>("numero");
    QTest::newRow("bloqueo de otro proceso") << QStringLiteral("bloqueo") << long(ErroresDatos::BaseBloqueada);
    QTest::newRow("disco lleno") << QStringLiteral("disco") << long(ErroresDatos::ErrorEntradaSalida);
}

void VentanaAverias::guardarYBorrarConAveria()
{
    QFETCH(QString, averia);
    QFETCH(long, numero);

    QTemporaryDir carpeta;
    QVERIFY(carpeta.isValid());
    std::optional<Montaje> montaje;
    if (averia == QLatin1String("disco")) {
        montaje.emplace(carpeta.path());
        QVERIFY2(montaje->Montado(), "No se pudo montar un tmpfs de 512 KiB: esta prueba necesita ser root");
    }
    ABRIR_BASE(base, false, carpeta.path());
    ConnectionPtr conexion = base->Abrir();
    conexion->EstablecerEsperaBloqueo(300);
    Tabla modelo = LeerTabla(*conexion);

    auto mensajes = InstalarMensajesFalsos();
    mensajes->RespuestaPredeterminada = 6;
    UtilidadesAnfitrion::Datos datos;
    datos.Conexion = conexion;
    Form principal(QStringLiteral("FrmPrincipal")), ubicacion(QStringLiteral("FrmUbicacion"));
    datos.Principal = &principal;
    datos.Ubicacion = &ubicacion;
    datos.Usuario = QStringLiteral("averías");
    std::shared_ptr<IUtilidades> utiles = std::make_shared<UtilidadesAnfitrion>(datos);
    ClassProvincias clase;
    clase.Cargar(utiles);
    FrmProvincias* ventana = InstanciaPredeterminada<FrmProvincias>::Obtener();
    const QString codigo = ventana->TxtCodigo->Text();
    QVERIFY(modelo.contains(codigo));

    // The fault.
    QProcess bloqueador;
    const QString relleno = carpeta.filePath(QStringLiteral("relleno"));
    if (averia == QLatin1String("bloqueo")) {
        const QString arranque = ArrancarEscritor(bloqueador, {QStringLiteral("bloquear"), base->Origen()}, "bloqueado");
        QVERIFY2(arranque.isEmpty(), qPrintable(arranque));
    } else {
        QVERIFY(LlenarDisco(relleno));
    }

    // A long name, so that the full disk has to find room for it.
    const QString nombre = QStringLiteral("Cambiada %1").arg(QString(3000, QChar(u'ñ')));
    const QString prefijo = QStringLiteral("Nº Error:%1\r\n").arg(numero);
    mensajes->Llamadas.clear();
    ventana->TxtProvincia->setText(nombre);
    ventana->lblAceptar->HacerClick();
    QCOMPARE(mensajes->Llamadas.size(), 1);
    QVERIFY2(mensajes->Llamadas[0].Texto.startsWith(prefijo) && mensajes->Llamadas[0].Texto.size() > prefijo.size(),
             qPrintable(mensajes->Llamadas[0].Texto));
    QCOMPARE(mensajes->Llamadas[0].Estilo, 16);
    QCOMPARE(mensajes->Llamadas[0].Titulo, QString());
    if (averia == QLatin1String("bloqueo")) {
        // The delete under the same lock: the question, then the error, and the row stays.
        mensajes->Llamadas.clear();
        ventana->LblBorrar->HacerClick();
        QCOMPARE(mensajes->Llamadas.size(), 2);
        QCOMPARE(mensajes->Llamadas[0].Texto, QStringLiteral("¿Desea eliminar este registro?"));
        QVERIFY2(mensajes->Llamadas[1].Texto.startsWith(prefijo), qPrintable(mensajes->Llamadas[1].Texto));
    }
    QVERIFY2(LeerTabla(*base->Abrir()) == modelo, "la avería cambió la tabla");

    // The fault goes away: the same window saves.
    QVERIFY(averia == QLatin1String("bloqueo") ? SoltarBloqueo(bloqueador) : QFile::remove(relleno));
    ventana->TxtCodigo->setText(codigo);
    ventana->TxtProvincia->setText(nombre);
    mensajes->Llamadas.clear();
    ventana->lblAceptar->HacerClick();
    QVERIFY2(mensajes->Llamadas.isEmpty(), qPrintable(mensajes->Llamadas.value(0).Texto));
    modelo.insert(codigo, nombre);
    const Tabla obtenida = LeerTabla(*base->Abrir());
    QVERIFY2(obtenida == modelo, qPrintable(Diferencias(modelo, obtenida)));
    QCOMPARE(ventana->LinProvincias->Rows(), int(modelo.size()) + 1);

    clase.Cerrar();
    Tramacor::FijarMensajes(nullptr);
}

QTEST_MAIN(VentanaAverias)
#include "tst_VentanaAverias.moc"
