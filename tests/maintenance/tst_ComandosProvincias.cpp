// The window's writing commands, driven through the real window: the save with each of its
// outcomes, the delete, the search, hostile codes, a second user on the same database, and a
// database that refuses to write. Every case checks the messages and the table's rows after.

#include "BancoProvincias.h"

#include "DatosComunes.h"
#include "Recordset.h"

#include <QDateTime>
#include <QTest>
#include <algorithm>

namespace {

QList<QStringList> Ordenadas(QList<QStringList> filas)
{
    std::sort(filas.begin(), filas.end(), [](const QStringList& a, const QStringList& b) { return a[0] < b[0]; });
    return filas;
}

QStringList Grabada(const QString& codigo, const QString& nombre)
{
    return {codigo, nombre, BancoProvincias::Fecha, BancoProvincias::Usuario};
}

// Each town as "town:province", in town order.
QStringList Municipios(BancoProvincias& banco)
{
    Recordset rs;
    rs.Open(QStringLiteral("SELECT Codigo, CodigoProvincia FROM Municipios ORDER BY Codigo"), banco.NuevaConexion(), 3, 1);
    QStringList municipios;
    for (; !rs.Eof(); rs.MoveNext())
        municipios << rs.Fields(QStringLiteral("Codigo")).Value().toString() + QLatin1Char(':')
                          + rs.Fields(QStringLiteral("CodigoProvincia")).Value().toString();
    return municipios;
}

} // namespace

class PruebaComandosProvincias : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<BancoProvincias> banco;
    FrmProvincias* v = nullptr;
    QList<QStringList> originales;
    QStringList municipios;

    // Shows a province: the first data row is clicked, the others reached with the cursor keys.
    void Mostrar(int fila)
    {
        banco->ClicFila(1);
        for (int i = 1; i < fila; ++i)
            QTest::keyClick(v->LinProvincias->Widget(), Qt::Key_Down);
    }

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

private slots:
    void init()
    {
        banco = std::make_unique<BancoProvincias>();
        originales = banco->Filas();
        municipios = Municipios(*banco);
        v = banco->Abrir();
    }

    void cleanup()
    {
        const QStringList errores = banco->ErroresEventos;
        banco.reset();
        QVERIFY2(errores.isEmpty(), qPrintable(errores.join(QLatin1Char('\n'))));
    }

    void grabarCompleto_data()
    {
        QTest::addColumn<int>("fila");
        QTest::addColumn<bool>("nuevo");
        QTest::addColumn<QString>("codigo");
        QTest::addColumn<QString>("nombre");
        QTest::addColumn<QString>("desaparece");
        QTest::newRow("nombre cambiado") << 3 << false << "02" << "Albacete Norte" << "02";
        QTest::newRow("código cambiado") << 3 << false << "99" << "Albacete" << "02";
        QTest::newRow("código cambiado, con municipios") << 10 << false << "98" << "Barcelona" << "08";
        QTest::newRow("nombre de espacios") << 3 << false << "02" << "   " << "02";
        QTest::newRow("provincia nueva") << 3 << true << "53" << "Nueva Tabarca" << "";
    }

    void grabarCompleto()
    {
        QFETCH(int, fila);
        QFETCH(bool, nuevo);
        QFETCH(QString, codigo);
        QFETCH(QString, nombre);
        QFETCH(QString, desaparece);
        Mostrar(fila);
        if (nuevo)
            banco->Clic(v->LblNuevo);
        banco->Escribir(v->TxtCodigo, codigo);
        banco->Escribir(v->TxtProvincia, nombre);
        banco->Clic(v->lblAceptar);

        QCOMPARE(banco->Mensajes->Llamadas, Mensajes{});
        QCOMPARE(banco->Filas(), Esperadas(desaparece, Grabada(codigo, nombre)));
        // The towns of a province follow its new code.
        if (!desaparece.isEmpty())
            municipios.replaceInStrings(QLatin1Char(':') + desaparece, QLatin1Char(':') + codigo);
        QCOMPARE(Municipios(*banco), municipios);
        const FrmProvincias::Estado estado = v->EstadoVentana();
        QCOMPARE(estado.CodigoActual, codigo);
        QVERIFY(!estado.RegistroNuevo && estado.Modificando && !estado.ValidacionFallida);
        QVERIFY(!DatosComunes::EdicionEnCurso);
        // The grid was filled again and its current row is the saved province.
        QCOMPARE(QStringList({v->LinProvincias->TextMatrix(v->LinProvincias->Row(), 0),
                              v->LinProvincias->TextMatrix(v->LinProvincias->Row(), 1)}), QStringList({codigo, nombre}));
        QVERIFY(v->LinProvincias->Enabled() && v->LblNuevo->Enabled() && v->LblBorrar->Enabled());
        QCOMPARE(v->ActiveControl(), static_cast<Control*>(v->PicDatosProvincias));
    }

    // The code is still free when the field is left; another user takes it before the save.
    void duplicadoCreadoPorOtroUsuario_data()
    {
        QTest::addColumn<int>("fila");
        QTest::addColumn<bool>("nuevo");
        QTest::addColumn<QString>("mostrado");
        QTest::newRow("provincia nueva") << 3 << true << "02";
        QTest::newRow("código cambiado, con municipios") << 10 << false << "08";
    }

    void duplicadoCreadoPorOtroUsuario()
    {
        QFETCH(int, fila);
        QFETCH(bool, nuevo);
        QFETCH(QString, mostrado);
        Mostrar(fila);
        if (nuevo)
            banco->Clic(v->LblNuevo);
        banco->Escribir(v->TxtCodigo, QStringLiteral("53"));
        banco->SalirDelCodigo();
        banco->Escribir(v->TxtProvincia, QStringLiteral("Mía"));
        banco->Ejecutar(QStringLiteral("INSERT INTO Provincias (Codigo, Provincia) VALUES ('53', 'Suya')"));
        banco->Clic(v->lblAceptar);

        QCOMPARE(banco->Mensajes->Llamadas, (Mensajes{{QStringLiteral("Este Código ya exite "), 16, QStringLiteral("Error")}}));
        QCOMPARE(banco->Filas(), Esperadas(QString(), {QStringLiteral("53"), QStringLiteral("Suya"), {}, {}}));
        QCOMPARE(Municipios(*banco), municipios);
        // Back to browsing, with the code shown before the edit and the name as typed.
        QCOMPARE(QStringList({v->TxtCodigo->Text(), v->TxtProvincia->Text()}), QStringList({mostrado, "Mía"}));
        QCOMPARE(v->ActiveControl(), static_cast<Control*>(v->TxtCodigo));
        QVERIFY(!v->EstadoVentana().RegistroNuevo && !DatosComunes::EdicionEnCurso && v->LinProvincias->Enabled());
    }

    void filaBorradaAntesDeGrabar_data()
    {
        QTest::addColumn<int>("fila");
        QTest::addColumn<QString>("codigo");
        QTest::addColumn<QString>("muestra");
        // The first province in name order whose code is not below the lost one, or else one below.
        QTest::newRow("Cuenca") << 19 << "16" << "33";
        QTest::newRow("Melilla") << 34 << "52" << "15";
    }

    void filaBorradaAntesDeGrabar()
    {
        QFETCH(int, fila);
        QFETCH(QString, codigo);
        QFETCH(QString, muestra);
        Mostrar(fila);
        QCOMPARE(v->TxtCodigo->Text(), codigo);
        banco->Escribir(v->TxtProvincia, QStringLiteral("Cambiada"));
        banco->Ejecutar(QStringLiteral("DELETE FROM Provincias WHERE Codigo = '%1'").arg(codigo));
        banco->Clic(v->lblAceptar);
        QCOMPARE(banco->Mensajes->Llamadas, Mensajes{Atencion(QStringLiteral("No se pudo modificar el registro"))});
        QCOMPARE(banco->Filas(), Esperadas(codigo));
        QCOMPARE(v->TxtCodigo->Text(), muestra);
        QCOMPARE(v->LinProvincias->Rows(), 52);
    }

    void baseQueNoAdmiteEscrituras_data()
    {
        QTest::addColumn<bool>("bloqueada");
        QTest::addColumn<long>("numero");
        QTest::newRow("solo lectura") << false << -2147217911L;
        QTest::newRow("bloqueada por otra conexión") << true << -2147217871L;
    }

    void baseQueNoAdmiteEscrituras()
    {
        QFETCH(bool, bloqueada);
        QFETCH(long, numero);
        const bool pg = BasePrueba::EnPostgres();
        ConnectionPtr ventana = banco->ConexionVentana();
        ConnectionPtr otro = banco->NuevaConexion();
        if (bloqueada) {
            ventana->EstablecerEsperaBloqueo(200);
            if (pg)
                ventana->Execute(QStringLiteral("SET lock_timeout = '200ms'"));
            otro->Execute(pg ? QStringLiteral("BEGIN") : QStringLiteral("BEGIN EXCLUSIVE"));
            if (pg)
                otro->Execute(QStringLiteral("LOCK TABLE Provincias IN EXCLUSIVE MODE"));
        } else {
            ventana->Execute(pg ? QStringLiteral("SET default_transaction_read_only = on")
                                : QStringLiteral("PRAGMA query_only = 1"));
        }
        Mostrar(3);
        banco->Escribir(v->TxtProvincia, QStringLiteral("Albacete Sur"));
        banco->Clic(v->lblAceptar);

        QCOMPARE(banco->Mensajes->Llamadas.size(), 1);
        const LlamadaMensaje aviso = banco->Mensajes->Llamadas.takeFirst();
        // "Nº Error:", the number, a line break and the database's description; no title.
        QVERIFY2(aviso.Texto.startsWith(QStringLiteral("Nº Error:%1\r\n").arg(numero)) && aviso.Texto.size() > 20,
                 qPrintable(aviso.Texto));
        QCOMPARE(aviso.Estilo, 16);
        QCOMPARE(aviso.Titulo, QString());
        QCOMPARE(banco->Filas(), originales);

        // Once the database writes again, the same edit is saved with nothing lost on the way.
        if (bloqueada)
            otro->Execute(QStringLiteral("ROLLBACK"));
        else
            ventana->Execute(pg ? QStringLiteral("SET default_transaction_read_only = off")
                                : QStringLiteral("PRAGMA query_only = 0"));
        QCOMPARE(v->TxtProvincia->Text(), QStringLiteral("Albacete Sur"));
        banco->Clic(v->lblAceptar);
        QCOMPARE(banco->Mensajes->Llamadas, Mensajes{});
        QCOMPARE(banco->Filas(), Esperadas(QStringLiteral("02"), Grabada(QStringLiteral("02"), QStringLiteral("Albacete Sur"))));
    }

    void borrar_data()
    {
        QTest::addColumn<int>("fila");
        QTest::addColumn<int>("respuesta");
        QTest::addColumn<QString>("averia");
        QTest::addColumn<bool>("borrada");
        QTest::addColumn<Mensajes>("mensajes");
        const LlamadaMensaje pregunta = Atencion(Dice::DeseaEliminar, 4);
        const LlamadaMensaje relacionada{Dice::ImposibleBorrar, 16, {}};
        // "Nº Error:", the number and a line break; the database's own description follows.
        const auto numerado = [](long numero) { return LlamadaMensaje{QStringLiteral("Nº Error:%1\r\n").arg(numero), 16, {}}; };
        QTest::newRow("respuesta no") << 3 << 7 << "" << false << Mensajes{pregunta};
        QTest::newRow("borrada") << 3 << 6 << "" << true << Mensajes{pregunta};
        QTest::newRow("con municipios") << 10 << 6 << "" << false << Mensajes{pregunta, relacionada};
        QTest::newRow("referenciada por otro después") << 3 << 6 << "municipio nuevo" << false << Mensajes{pregunta, relacionada};
        // The delete and its audit record stand or fall together.
        QTest::newRow("el anfitrión no registra la operación") << 3 << 6 << "anfitrión" << false << Mensajes{pregunta, numerado(5)};
        QTest::newRow("la auditoría rechaza el registro") << 3 << 6 << "disparador" << false
            << Mensajes{pregunta, numerado(-2147217873)};
        QTest::newRow("la auditoría lo rechaza por duplicado") << 3 << 6 << "duplicado" << false
            << Mensajes{pregunta, numerado(-2147217887)};
    }

    void borrar()
    {
        QFETCH(int, fila);
        QFETCH(int, respuesta);
        QFETCH(QString, averia);
        QFETCH(bool, borrada);
        QFETCH(Mensajes, mensajes);
        Mostrar(fila);
        const QString codigo = v->TxtCodigo->Text();
        const QString sentencia = QStringLiteral("DELETE From Provincias WHERE (((Provincias.Codigo) Like '%1'))").arg(codigo);
        if (averia == QStringLiteral("municipio nuevo"))
            banco->Ejecutar(QStringLiteral("INSERT INTO Municipios (Codigo, Municipio, CodigoProvincia) VALUES ('%1003', 'Otro', '%1')")
                                .arg(codigo));
        if (averia == QStringLiteral("disparador") && BasePrueba::EnPostgres()) {
            banco->Ejecutar(QStringLiteral("CREATE FUNCTION Rechazar() RETURNS trigger AS $$ BEGIN RAISE EXCEPTION "
                                           "'Auditoría cerrada' USING ERRCODE = 'check_violation'; END $$ LANGUAGE plpgsql"));
            banco->Ejecutar(QStringLiteral("CREATE TRIGGER AuditoriaCerrada BEFORE INSERT ON Auditoria FOR EACH ROW EXECUTE FUNCTION Rechazar()"));
        } else if (averia == QStringLiteral("disparador")) {
            banco->Ejecutar(QStringLiteral("CREATE TRIGGER AuditoriaCerrada BEFORE INSERT ON Auditoria "
                                           "BEGIN SELECT RAISE(ABORT, 'Auditoría cerrada'); END"));
        }
        if (averia == QStringLiteral("duplicado")) {
            banco->Ejecutar(QStringLiteral("CREATE UNIQUE INDEX IxAuditoriaSentencia ON Auditoria (Sentencia)"));
            banco->Ejecutar(QStringLiteral("INSERT INTO Auditoria (Fecha, Usuario, Sentencia) VALUES ('2026-01-01 00:00:00', 'otro', '%1')")
                                .arg(QString(sentencia).replace(QLatin1Char('\''), QLatin1String("''"))));
        }
        banco->Funciones->SoloAnotar = false;
        banco->Funciones->FalloRegistro = averia == QStringLiteral("anfitrión") ? 5 : 0;
        banco->Mensajes->Respuestas = {respuesta};
        banco->Clic(v->LblBorrar);
        Mensajes llamadas = banco->Mensajes->Llamadas;
        for (LlamadaMensaje& llamada : llamadas) {
            const qsizetype salto = llamada.Texto.indexOf(QStringLiteral("\r\n"));
            if (llamada.Texto.startsWith(QStringLiteral("Nº Error:")) && salto > 0 && llamada.Texto.size() > salto + 2)
                llamada.Texto.truncate(salto + 2);
        }
        QCOMPARE(llamadas, mensajes);
        QCOMPARE(banco->Filas(), borrada ? Esperadas(codigo) : originales);
        QVERIFY(!banco->ConexionVentana()->EnTransaccion());

        Recordset auditoria;
        auditoria.Open(QStringLiteral("SELECT Sentencia, Fecha FROM Auditoria WHERE Usuario = '%1'").arg(BancoProvincias::Usuario),
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

    void borrarLaUltimaDejaLaTablaVacia()
    {
        banco->Ejecutar(QStringLiteral("DELETE FROM Municipios"));
        banco->Ejecutar(QStringLiteral("DELETE FROM Provincias WHERE Codigo <> '15'"));
        banco->Clic(v->LblCancelar);
        banco->Mensajes->Respuestas = {6};
        banco->Clic(v->LblBorrar);
        QCOMPARE(banco->Filas(), QList<QStringList>{});
        QCOMPARE(v->TxtCodigo->Text(), QString());
        QCOMPARE(v->TxtProvincia->Text(), QString());
        // A fill that finds no rows leaves the grid as it was.
        QCOMPARE(v->LinProvincias->Rows(), 2);
    }

    void buscar_data()
    {
        QTest::addColumn<QString>("elegido");
        QTest::addColumn<QString>("editado");
        QTest::addColumn<int>("respuesta");
        QTest::addColumn<QString>("codigo");
        QTest::addColumn<QString>("nombre");
        QTest::addColumn<Mensajes>("mensajes");
        const LlamadaMensaje pregunta = Atencion(Dice::DeseaGuardar, 4);
        QTest::newRow("elegida") << "28" << "" << 0 << "28" << "Madrid" << Mensajes{};
        QTest::newRow("cancelada") << "" << "" << 0 << "15" << "A Coruña" << Mensajes{};
        QTest::newRow("elegida pero borrada") << "02" << "" << 0 << "" << ""
            << Mensajes{{QStringLiteral("Error no se encontró la Provincia"), 16, QStringLiteral("Error")}};
        QTest::newRow("cambios guardados, elegida") << "28" << "Coruña" << 6 << "28" << "Madrid" << Mensajes{pregunta};
    }

    void buscar()
    {
        QFETCH(QString, elegido);
        QFETCH(QString, editado);
        QFETCH(int, respuesta);
        QFETCH(QString, codigo);
        QFETCH(QString, nombre);
        QFETCH(Mensajes, mensajes);
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
        QCOMPARE(QStringList({llamada.Tabla, llamada.Campo, llamada.Modo}),
                 QStringList({"Provincias", "Codigo", "Modal"}));
        QCOMPARE(llamada.ValorActual, QStringLiteral("15"));
        QVERIFY(llamada.Marca);
        QCOMPARE(QStringList({v->TxtCodigo->Text(), v->TxtProvincia->Text()}), QStringList({codigo, nombre}));
        QCOMPARE(v->TxtCodigo->Tag(), QString());
        if (!elegido.isEmpty() && !codigo.isEmpty())
            QCOMPARE(v->LinProvincias->TextMatrix(v->LinProvincias->Row(), 0), codigo);
        QCOMPARE(banco->Fila(QStringLiteral("15")).value(1),
                 respuesta == 6 ? QStringLiteral("Coruña") : QStringLiteral("A Coruña"));
    }

    void codigosHostilesYCamposVacios_data()
    {
        QTest::addColumn<QString>("codigo");
        QTest::addColumn<QString>("nombre");
        QTest::addColumn<bool>("tecleado");
        QTest::addColumn<QString>("guardado");
        QTest::addColumn<QString>("aviso");
        const QString noValido = Dice::CodigoNoValido;
        const QString hostil = QStringLiteral("Hostil");
        QTest::newRow("comilla") << "'" << hostil << false << "" << noValido;
        QTest::newRow("porcentaje") << "%" << hostil << false << "" << noValido;
        QTest::newRow("código vacío") << "" << hostil << false << "" << Dice::CodigoEnBlanco;
        QTest::newRow("nombre vacío") << "60" << "" << false << "" << Dice::ProvinciaEnBlanco;
        QTest::newRow("muy largo, tecleado") << "ABCDEFGHIJKLMNOPQRSTUVWXYZ" << hostil << true << "AB" << "";
        QTest::newRow("espacios") << "  " << hostil << true << "  " << "";
        QTest::newRow("acento combinante") << QStringLiteral("e\u0301") << hostil << false << QStringLiteral("e\u0301") << "";
    }

    void codigosHostilesYCamposVacios()
    {
        QFETCH(QString, codigo);
        QFETCH(QString, nombre);
        QFETCH(bool, tecleado);
        QFETCH(QString, guardado);
        QFETCH(QString, aviso);
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
            QCOMPARE(v->ActiveControl(),
                     static_cast<Control*>(aviso == Dice::ProvinciaEnBlanco ? v->TxtProvincia : v->TxtCodigo));
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
        QCOMPARE(banco->Mensajes->Llamadas, Mensajes{Atencion(Dice::DeseaEliminar, 4)});
        QCOMPARE(banco->Filas(), originales);
    }

    void codigoConComodinDeOtroPrograma()
    {
        // Another program stored a code the window would never store. It is shown as its own row
        // (not as the rows its wildcard would match), and neither the delete nor the save sends a
        // statement that could reach further rows.
        banco->Ejecutar(QStringLiteral("INSERT INTO Provincias (Codigo, Provincia) VALUES ('0%', '  Comodín')"));
        originales = banco->Filas();
        banco->Clic(v->LblCancelar);
        banco->ClicFila(1);
        QCOMPARE(QStringList({v->TxtCodigo->Text(), v->TxtProvincia->Text()}), QStringList({"0%", "  Comodín"}));
        banco->Mensajes->Respuestas = {6};
        banco->Clic(v->LblBorrar);
        banco->Escribir(v->TxtProvincia, QStringLiteral("Renombrada"));
        banco->Clic(v->lblAceptar);
        QCOMPARE(banco->Mensajes->Llamadas, (Mensajes{Atencion(Dice::CodigoNoBorrable), Atencion(Dice::CodigoNoValido)}));
        QCOMPARE(banco->Filas(), originales);
    }
};

QTEST_MAIN(PruebaComandosProvincias)
#include "tst_ComandosProvincias.moc"
