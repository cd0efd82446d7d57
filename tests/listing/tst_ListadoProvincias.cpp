// The report routines on recording surfaces: where the header, titles, rows and footer land, where
// pages break, how many pages a table gives, which statement and rows the options choose, and what
// the print command does with each answer of the print dialog.

#include "ApoyoListado.h"
#include "DatosComunes.h"
#include "ErrorEjecucion.h"
#include "ErrorImpresion.h"
#include "Falsos.h"
#include "Form.h"
#include "FrmListados.h"
#include "InstanciaPredeterminada.h"
#include "Label.h"
#include "ListadoProvincias.h"
#include "Printers.h"
#include "Screen.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include <cmath>

namespace {

const QString PieUno = QStringLiteral("Orbalt Software - Nuvesta Página 1");

// Draws the listing of `opciones` on `superficie` from a fresh page count.
void Dibujar(SuperficieDestino& superficie, const IDialogoImpresion& opciones, Form* ventana = nullptr)
{
    SuperficieDestino* actual = &superficie;
    DatosComunes::NumeroPagina = 0;
    ImprimirListado(opciones, actual, ventana);
}

// The codes printed as rows (11 pt at 1.2 cm), in order.
QStringList CodigosImpresos(const SuperficieGrabadora& superficie)
{
    QStringList codigos;
    for (const auto& llamada : superficie.De(QStringLiteral("Print")))
        if (llamada.X == 1.2 && llamada.Puntos == 11)
            codigos << llamada.Texto;
    return codigos;
}

// How many rows were printed before the first page break.
int FilasAntesDelSalto(const SuperficieGrabadora& superficie)
{
    int filas = 0;
    for (const auto& llamada : superficie.Llamadas) {
        if (llamada.Que == QLatin1String("NewPage"))
            break;
        if (llamada.Que == QLatin1String("Print") && llamada.X == 1.2 && llamada.Puntos == 11)
            ++filas;
    }
    return filas;
}

// Text measures on an A4 page in a given font.
struct Medida {
    double ancho, alto;
};
Medida Medir(const QString& texto, double puntos, bool negrita, const QString& fuente = QStringLiteral("Bookman Old Style"))
{
    SuperficiePagina pagina;
    PrepararPaginaA4(pagina);
    pagina.SetFontName(fuente);
    pagina.SetFontSize(puntos);
    pagina.SetFontBold(negrita);
    return Medida{pagina.TextWidth(texto), pagina.TextHeight(texto)};
}

bool Cerca(double a, double b)
{
    return std::abs(a - b) < 1e-9;
}

}  // namespace

class PruebaListadoProvincias : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<BaseListado> base_;
    std::shared_ptr<MensajesFalsos> mensajes_;
    std::shared_ptr<GuionImpresion> dialogo_;

private slots:
    void initTestCase()
    {
        Screen::FijarTamano(15360, 11520);
        Screen::FijarTwipsPorPixel(15);
        QVERIFY(QDir::setCurrent(qEnvironmentVariable("QUILTREN_RAIZ")));
        QVERIFY(QFile::exists(QStringLiteral("fotos/fondo.bmp")));
        base_ = std::make_unique<BaseListado>(false);
        base_->Instalar();
        mensajes_ = InstalarMensajesFalsos();
        dialogo_ = InstalarDialogoImpresionFalso();
    }

    void cleanupTestCase()
    {
        Tramacor::FijarMensajes(nullptr);
        Tramacor::FijarFabricaDialogoImpresion({});
        base_.reset();
    }

    void sentencia_data()
    {
        QTest::addColumn<bool>("porCodigo");
        QTest::addColumn<bool>("conRango");
        QTest::addColumn<QString>("desde");
        QTest::addColumn<QString>("hasta");
        QTest::addColumn<QString>("sentencia");

        const QString todas = QStringLiteral("SELECT Provincias.* From Provincias ORDER BY Provincias.");
        const QString rango = QStringLiteral("SELECT Provincias.* From Provincias Where  Provincias.Codigo >= '");
        QTest::newRow("todas por código") << true << false << "" << "" << todas + "Codigo";
        QTest::newRow("todas por nombre") << false << false << "" << "" << todas + "Provincia";
        QTest::newRow("sin rango aunque haya códigos") << true << false << "01" << "09" << todas + "Codigo";
        QTest::newRow("rango sin desde: todas") << false << true << "" << "09" << todas + "Provincia";
        QTest::newRow("rango por código")
            << true << true << "01" << "09" << rango + "01' AND Provincias.Codigo <= '09' ORDER BY Provincias.Codigo";
        QTest::newRow("rango por nombre")
            << false << true << "1" << "2" << rango + "1' AND Provincias.Codigo <= '2' ORDER BY Provincias.Provincia";
        QTest::newRow("rango sin hasta")
            << true << true << "05" << "" << rango + "05' AND Provincias.Codigo <= '' ORDER BY Provincias.Codigo";
    }

    void sentencia()
    {
        QFETCH(bool, porCodigo);
        QFETCH(bool, conRango);
        QFETCH(QString, desde);
        QFETCH(QString, hasta);
        QFETCH(QString, sentencia);
        QCOMPARE(ListadoProvincias::Sentencia(porCodigo, conRango, desde, hasta), sentencia);
    }

    void filasSegunOpciones_data()
    {
        QTest::addColumn<bool>("porCodigo");
        QTest::addColumn<bool>("conRango");
        QTest::addColumn<QString>("desde");
        QTest::addColumn<QString>("hasta");
        QTest::addColumn<QStringList>("codigos");

        QTest::newRow("por código, como texto") << true << false << "" << "" << QStringList{"1", "10", "2", "3"};
        QTest::newRow("por nombre, en español") << false << false << "" << "" << QStringList{"10", "3", "2", "1"};
        QTest::newRow("de 1 a 2 entra el 10") << true << true << "1" << "2" << QStringList{"1", "10", "2"};
        QTest::newRow("de 1 a 2 por nombre") << false << true << "1" << "2" << QStringList{"10", "2", "1"};
        QTest::newRow("rango sin desde: todas") << true << true << "" << "2" << QStringList{"1", "10", "2", "3"};
        QTest::newRow("códigos sin rango: todas") << true << false << "2" << "3" << QStringList{"1", "10", "2", "3"};
        QTest::newRow("sin hasta: ninguna") << true << true << "2" << "" << QStringList{};
        QTest::newRow("desde tras hasta: ninguna") << true << true << "3" << "1" << QStringList{};
    }

    void filasSegunOpciones()
    {
        QFETCH(bool, porCodigo);
        QFETCH(bool, conRango);
        QFETCH(QString, desde);
        QFETCH(QString, hasta);
        QFETCH(QStringList, codigos);

        base_->Filas({{"1", "Zamora"}, {"10", "Ávila"}, {"2", "Lugo"}, {"3", "Cádiz"}});
        SuperficieGrabadora superficie(21, 29.7);
        Dibujar(superficie, OpcionesFijas(porCodigo, conRango, desde, hasta));
        QCOMPARE(CodigosImpresos(superficie), codigos);
        // Even with no row the page is whole: header, titles and footer.
        QCOMPARE(superficie.Textos(QStringLiteral("Listado de Provincias")).size(), 1);
        QCOMPARE(superficie.Textos(QStringLiteral("Código")).size(), 1);
        QCOMPARE(superficie.Textos(PieUno).size(), 1);
        QCOMPARE(DatosComunes::NumeroPagina, short(1));
    }

    void rangoConComillas_data()
    {
        QTest::addColumn<QString>("desde");
        QTest::addColumn<QString>("hasta");
        QTest::newRow("en desde") << "0' OR '1'='1" << "99";
        QTest::newRow("en hasta") << "01" << "99'--";
        QTest::newRow("sola") << "'" << "'";
    }

    void rangoConComillas()
    {
        QFETCH(QString, desde);
        QFETCH(QString, hasta);

        // The report refuses the range before it draws anything.
        SuperficieGrabadora superficie(21, 29.7);
        try {
            Dibujar(superficie, OpcionesFijas(true, true, desde, hasta));
            QFAIL("Un rango con comillas no debe llegar a la base de datos");
        } catch (const ErrorEjecucion& error) {
            QVERIFY(error.Description().contains(QStringLiteral("comillas simples")));
        }
        QVERIFY(superficie.Llamadas.isEmpty());

        // The print command says so and prints nothing.
        QTemporaryDir carpeta;
        const QString pdf = carpeta.filePath(QStringLiteral("listado.pdf"));
        OpcionesImpresion respuesta;
        respuesta.Destino = Printers::NombrePdf;
        respuesta.ConRango = true;
        respuesta.CodigoDesde = desde;
        respuesta.CodigoHasta = hasta;
        respuesta.ArchivoPdf = pdf;
        dialogo_->Respuestas = {respuesta};
        mensajes_->Llamadas.clear();
        Form principal(QStringLiteral("FormPrincipal"));
        DatosComunes::FormPrincipal = &principal;
        Form provincias(QStringLiteral("FrmProvincias"));
        Form* referencia = &provincias;
        ComandoImprimir(referencia);
        QCOMPARE(mensajes_->Llamadas.size(), 1);
        QVERIFY(mensajes_->Llamadas.first().Texto.contains(QStringLiteral("comillas simples")));
        QCOMPARE(mensajes_->Llamadas.first().Estilo, 16);
        QCOMPARE(mensajes_->Llamadas.first().Titulo, QStringLiteral("Atención"));
        QVERIFY(!QFile::exists(pdf));
        QVERIFY(!InstanciaPredeterminada<FrmListados>::Existe());
    }

    void cabeceraTitulosFilasYPie()
    {
        base_->Filas({{"01", "Álava"}, {"02", "Albacete"}, {"03", "Alicante"}});
        SuperficiePagina pagina;
        PrepararPaginaA4(pagina);
        SuperficieGrabadora superficie(pagina);
        Dibujar(superficie, OpcionesFijas());
        const double ancho = pagina.ScaleWidth();
        const double alto = pagina.ScaleHeight();

        // The page frame, then the background square at whole centimetres.
        const auto lineas = superficie.De(QStringLiteral("Line"));
        QCOMPARE(lineas.first().Modo, SuperficieDestino::ModoLinea::B);
        QVERIFY(Cerca(lineas.first().X, 0) && Cerca(lineas.first().Y, 0));
        QVERIFY(Cerca(lineas.first().X2, ancho - 0.03) && Cerca(lineas.first().Y2, alto - 0.03));
        QCOMPARE(lineas.first().Color, QColor(Qt::black));
        const auto fondo = superficie.De(QStringLiteral("PaintPicture"));
        QCOMPARE(fondo.size(), 1);
        QCOMPARE(QList<double>({fondo[0].X, fondo[0].Y, fondo[0].X2, fondo[0].Y2}), QList<double>({5, 10, 10, 10}));

        // The title, centred in the width less 2 cm, with its rule one title line below 1 cm.
        const auto titulo = superficie.Textos(QStringLiteral("Listado de Provincias"));
        QCOMPARE(titulo.size(), 1);
        const Medida enTitulo = Medir(QStringLiteral("Listado de Provincias"), 14, true);
        QVERIFY(Cerca(titulo[0].Y, 1));
        QVERIFY(Cerca(titulo[0].X, (ancho - (enTitulo.ancho + 2)) / 2));
        QCOMPARE(titulo[0].Puntos, 14.0);
        QVERIFY(titulo[0].Negrita);
        QVERIFY(Cerca(lineas[1].X, 1) && Cerca(lineas[1].X2, ancho - 1));
        QVERIFY(Cerca(lineas[1].Y, 1 + enTitulo.alto) && Cerca(lineas[1].Y2, 1 + enTitulo.alto));

        // The date: long Spanish form, blue, 12 pt, ending 1 cm from the right edge.
        const QString textoFecha = ListadoProvincias::FechaLarga(QDate::currentDate());
        const auto fecha = superficie.Textos(textoFecha);
        QCOMPARE(fecha.size(), 1);
        const Medida enFecha = Medir(textoFecha, 12, false);
        QCOMPARE(fecha[0].Color, QColor(0, 0, 255));
        QCOMPARE(fecha[0].Puntos, 12.0);
        QVERIFY(!fecha[0].Negrita);
        QVERIFY(Cerca(fecha[0].X + enFecha.ancho, ancho - 1));
        QVERIFY(Cerca(fecha[0].Y, 1 + enTitulo.alto + 0.1));
        QVERIFY(Cerca(DatosComunes::LimiteInferior, alto - Medir(QStringLiteral("X"), 12, false).alto));

        // The title band and the column titles inside it: the date line and two empty 12 pt lines down.
        const double arribaTitulos = fecha[0].Y + 3 * enFecha.alto;
        const Medida enTitulos = Medir(QStringLiteral("H"), 10, true);
        const auto banda = superficie.De(QStringLiteral("Line"))[2];
        QCOMPARE(banda.Modo, SuperficieDestino::ModoLinea::BF);
        QCOMPARE(banda.Color, QColor(0xC0, 0xC0, 0xFF));
        QVERIFY(Cerca(banda.X, 1) && Cerca(banda.X2, ancho - 1));
        QVERIFY(Cerca(banda.Y, arribaTitulos - 0.1));
        QVERIFY(Cerca(banda.Y2, arribaTitulos + enTitulos.alto + 0.1));
        const auto codigo = superficie.Textos(QStringLiteral("Código"));
        const auto provincia = superficie.Textos(QStringLiteral("Provincia"));
        QCOMPARE(codigo.size(), 1);
        QCOMPARE(provincia.size(), 1);
        QVERIFY(Cerca(codigo[0].X, 1.2) && Cerca(codigo[0].Y, arribaTitulos));
        QVERIFY(Cerca(provincia[0].X, 7.0) && Cerca(provincia[0].Y, arribaTitulos));
        QVERIFY(codigo[0].Negrita && codigo[0].Puntos == 10);

        // Rows: 0.4 cm of their own plus one 11 pt line each, code at 1.2 cm and name at 3.2 cm.
        const double altoFila = Medir(QStringLiteral("X"), 11, false).alto;
        double y = arribaTitulos + enTitulos.alto + 0.4;
        for (const auto& [cod, nombre] : QList<QPair<QString, QString>>{{"01", "Álava"}, {"02", "Albacete"}, {"03", "Alicante"}}) {
            const auto enCodigo = superficie.Textos(cod);
            const auto enNombre = superficie.Textos(nombre);
            QCOMPARE(enCodigo.size(), 1);
            QCOMPARE(enNombre.size(), 1);
            QVERIFY2(Cerca(enCodigo[0].Y, y), qPrintable(cod));
            QVERIFY(Cerca(enCodigo[0].X, 1.2) && Cerca(enNombre[0].X, 3.2) && Cerca(enNombre[0].Y, y));
            QCOMPARE(enCodigo[0].Puntos, 11.0);
            QVERIFY(!enCodigo[0].Negrita);
            y += altoFila + 0.4;
        }

        // The footer at LimiteInferior, centred in the width less 1 cm, with its rule one line below.
        const auto pie = superficie.Textos(PieUno);
        QCOMPARE(pie.size(), 1);
        const Medida enPie = Medir(PieUno, 9, false);
        QVERIFY(Cerca(pie[0].Y, DatosComunes::LimiteInferior));
        QVERIFY(Cerca(pie[0].X, ((ancho - 1) - enPie.ancho) / 2));
        QCOMPARE(pie[0].Puntos, 9.0);
        QCOMPARE(pie[0].Color, QColor(Qt::black));
        const auto regla = superficie.De(QStringLiteral("Line")).last();
        QVERIFY(Cerca(regla.X, 1) && Cerca(regla.X2, ancho - 0.9));
        QVERIFY(Cerca(regla.Y, DatosComunes::LimiteInferior + enPie.alto));
        QCOMPARE(regla.Color, QColor(Qt::black));

        // What the page shows: the band's colour between the two titles, the title rule in black.
        const QImage imagen = pagina.Imagen(QSize(2100, 2970));
        const auto punto = [](double x, double y) { return QPoint(int(x * 100), int(y * 100)); };
        QCOMPARE(imagen.pixelColor(punto(5.0, arribaTitulos + enTitulos.alto / 2)), QColor(0xC0, 0xC0, 0xFF));
        QVERIFY(imagen.pixelColor(punto(10.5, 1 + enTitulo.alto)).lightness() < 100);
    }

    void fondo_data()
    {
        QTest::addColumn<QByteArray>("contenido");
        QTest::addColumn<bool>("dibujado");
        QTest::newRow("el nuestro") << QByteArray("copia") << true;
        QTest::newRow("no existe") << QByteArray() << false;
        QTest::newRow("ilegible") << QByteArray("BM esto no es una imagen") << false;
    }

    void fondo()
    {
        QFETCH(QByteArray, contenido);
        QFETCH(bool, dibujado);

        const QString raiz = QDir::currentPath();
        QTemporaryDir carpeta;
        QVERIFY(QDir(carpeta.path()).mkdir(QStringLiteral("fotos")));
        const QString archivo = carpeta.filePath(QStringLiteral("fotos/fondo.bmp"));
        if (contenido == "copia") {
            QVERIFY(QFile::copy(raiz + QStringLiteral("/fotos/fondo.bmp"), archivo));
        } else if (!contenido.isEmpty()) {
            QFile basura(archivo);
            QVERIFY(basura.open(QIODevice::WriteOnly));
            basura.write(contenido);
        }
        QVERIFY(QDir::setCurrent(carpeta.path()));
        base_->Codigos({"01", "02"});
        SuperficiePagina pagina;
        PrepararPaginaA4(pagina);
        SuperficieGrabadora superficie(pagina);
        Dibujar(superficie, OpcionesFijas());
        QDir::setCurrent(raiz);

        QCOMPARE(superficie.De(QStringLiteral("PaintPicture")).size(), dibujado ? 1 : 0);
        QCOMPARE(CodigosImpresos(superficie), QStringList({"01", "02"}));
        QCOMPARE(superficie.Textos(PieUno).size(), 1);
    }

    void colorBanda_data()
    {
        QTest::addColumn<bool>("conVentana");
        QTest::addColumn<QColor>("color");
        QTest::newRow("sin ventana") << false << QColor(0xC0, 0xC0, 0xFF);
        QTest::newRow("el de la ventana") << true << QColor(0xC0, 0xC0, 0xFF);
        QTest::newRow("leído en el momento") << true << QColor(0x20, 0xA0, 0x40);
    }

    void colorBanda()
    {
        QFETCH(bool, conVentana);
        QFETCH(QColor, color);

        Form ventana(QStringLiteral("FrmProvincias"));
        auto* etiqueta = new Label(&ventana, QStringLiteral("LblCodigo"));
        etiqueta->setBackColor(color);
        base_->Codigos({"01"});
        SuperficieGrabadora superficie(21, 29.7);
        Dibujar(superficie, OpcionesFijas(), conVentana ? &ventana : nullptr);
        QList<QColor> bandas;
        for (const auto& linea : superficie.De(QStringLiteral("Line")))
            if (linea.Modo == SuperficieDestino::ModoLinea::BF)
                bandas << linea.Color;
        QCOMPARE(bandas, QList<QColor>{color});
    }

    void saltoEnLaIgualdad()
    {
        base_->Codigos({"01", "02", "03", "04", "05", "06", "07", "08"});
        // Where the rows fall on a page that never ends.
        SuperficieGrabadora alta(21, 1000);
        Dibujar(alta, OpcionesFijas());
        QList<double> filas;
        for (const auto& llamada : alta.De(QStringLiteral("Print")))
            if (llamada.X == 1.2 && llamada.Puntos == 11)
                filas << llamada.Y;
        QCOMPARE(filas.size(), 8);

        // The fifth row's test, as the report makes it: the pen the fourth row left, 0.2 down, plus
        // one 11 pt line. A page whose LimiteInferior (height less one 12 pt line) equals it exactly...
        const double pluma = filas[3] + 11.0 / 16.0;
        const double prueba = (pluma + 0.2) + 11.0 / 16.0;
        double alto = prueba + 12.0 / 16.0;
        for (int intento = 0; intento < 8 && alto - 12.0 / 16.0 != prueba; ++intento)
            alto = std::nextafter(alto, alto - 12.0 / 16.0 < prueba ? 2000.0 : 0.0);
        QVERIFY(alto - 12.0 / 16.0 == prueba);

        // ...sends the fifth row to the next page,
        SuperficieGrabadora igual(21, alto);
        Dibujar(igual, OpcionesFijas());
        QCOMPARE(DatosComunes::LimiteInferior, prueba);
        QCOMPARE(FilasAntesDelSalto(igual), 4);
        QCOMPARE(igual.De(QStringLiteral("NewPage")).size(), 1);
        QCOMPARE(CodigosImpresos(igual), QStringList({"01", "02", "03", "04", "05", "06", "07", "08"}));

        // while the least bit more room keeps it on the first.
        SuperficieGrabadora holgada(21, std::nextafter(alto, 2000.0));
        Dibujar(holgada, OpcionesFijas());
        QVERIFY(DatosComunes::LimiteInferior > prueba);
        QVERIFY(FilasAntesDelSalto(holgada) >= 5);
    }

    void paginas_data()
    {
        // Rows as a multiple of the rows one page holds, plus a few.
        QTest::addColumn<int>("porPagina");
        QTest::addColumn<int>("mas");
        QTest::addColumn<int>("paginas");
        QTest::newRow("ninguna fila") << 0 << 0 << 1;
        QTest::newRow("una fila") << 0 << 1 << 1;
        QTest::newRow("una página justa") << 1 << 0 << 1;
        QTest::newRow("una fila de más") << 1 << 1 << 2;
        QTest::newRow("tres páginas justas") << 3 << 0 << 3;
        QTest::newRow("muchas") << 7 << 5 << 8;
    }

    void paginas()
    {
        QFETCH(int, porPagina);
        QFETCH(int, mas);
        QFETCH(int, paginas);

        base_->Generadas(200);
        SuperficieGrabadora medida(21, 29.7);
        Dibujar(medida, OpcionesFijas());
        const int filasPorPagina = FilasAntesDelSalto(medida);
        QVERIFY(filasPorPagina > 10);

        const int filas = porPagina * filasPorPagina + mas;
        base_->Generadas(filas);
        SuperficieGrabadora superficie(21, 29.7);
        Dibujar(superficie, OpcionesFijas());
        QCOMPARE(int(DatosComunes::NumeroPagina), paginas);
        QCOMPARE(superficie.De(QStringLiteral("NewPage")).size(), paginas - 1);
        QCOMPARE(CodigosImpresos(superficie).size(), filas);
        // Every page is whole and numbered in turn.
        QCOMPARE(superficie.Textos(QStringLiteral("Listado de Provincias")).size(), paginas);
        QCOMPARE(superficie.Textos(QStringLiteral("Código")).size(), paginas);
        for (int pagina = 1; pagina <= paginas; ++pagina)
            QCOMPARE(superficie.Textos(QStringLiteral("Orbalt Software - Nuvesta Página %1").arg(pagina)).size(), 1);
    }

    void contadorDePaginasDesborda()
    {
        SuperficieGrabadora superficie(21, 29.7);
        DatosComunes::NumeroPagina = 32767;
        try {
            ImprimirPie(superficie);
            QFAIL("La página 32768 no cabe en el contador");
        } catch (const ErrorEjecucion& error) {
            QCOMPARE(error.Number(), 6);
        }
        QCOMPARE(DatosComunes::NumeroPagina, short(32767));
        DatosComunes::NumeroPagina = 0;
    }

    void fechaLarga_data()
    {
        QTest::addColumn<QDate>("fecha");
        QTest::addColumn<QString>("texto");
        QTest::newRow("domingo") << QDate(2026, 12, 6) << "domingo, 6 de diciembre de 2026";
        QTest::newRow("miércoles") << QDate(2025, 1, 1) << "miércoles, 1 de enero de 2025";
        QTest::newRow("bisiesto") << QDate(2024, 2, 29) << "jueves, 29 de febrero de 2024";
        QTest::newRow("sábado") << QDate(2027, 8, 14) << "sábado, 14 de agosto de 2027";
    }

    void fechaLarga()
    {
        QFETCH(QDate, fecha);
        QFETCH(QString, texto);
        QCOMPARE(ListadoProvincias::FechaLarga(fecha), texto);
    }

    void comandoImprimir_data()
    {
        // resultado: 0 nothing drawn, 1 a PDF written, 2 a printer error.
        QTest::addColumn<QString>("destino");
        QTest::addColumn<bool>("conArchivo");
        QTest::addColumn<int>("resultado");
        QTest::newRow("nada que imprimir") << "Null Impresora" << true << 0;
        QTest::newRow("a PDF") << Printers::NombrePdf << true << 1;
        QTest::newRow("a PDF sin archivo") << Printers::NombrePdf << false << 2;
    }

    void comandoImprimir()
    {
        QFETCH(QString, destino);
        QFETCH(bool, conArchivo);
        QFETCH(int, resultado);

        base_->Generadas(52);
        QTemporaryDir carpeta;
        const QString pdf = carpeta.filePath(QStringLiteral("listado.pdf"));
        OpcionesImpresion respuesta;
        respuesta.Destino = destino;
        respuesta.OrdenPorCodigo = true;
        respuesta.ArchivoPdf = conArchivo ? pdf : QString();
        dialogo_->Respuestas = {respuesta};
        dialogo_->Ventanas.clear();
        mensajes_->Llamadas.clear();
        Form principal(QStringLiteral("FormPrincipal"));
        DatosComunes::FormPrincipal = &principal;
        Form provincias(QStringLiteral("FrmProvincias"));
        new Label(&provincias, QStringLiteral("LblCodigo"));
        Form* referencia = &provincias;

        DatosComunes::NumeroPagina = 0;
        bool fallo = false;
        try {
            ComandoImprimir(referencia);
        } catch (const ErrorImpresion&) {
            fallo = true;
        }
        QCOMPARE(fallo, resultado == 2);
        QCOMPARE(DatosComunes::Destino, destino);
        QCOMPARE(dialogo_->Ventanas.size(), 1);
        QCOMPARE(dialogo_->Ventanas.first().data(), &provincias);
        QCOMPARE(referencia, &provincias);
        QVERIFY(mensajes_->Llamadas.isEmpty());
        QCOMPARE(QFile::exists(pdf), resultado == 1);
        if (resultado == 1) {
            QVERIFY(DatosComunes::NumeroPagina >= 1);
            QCOMPARE(PaginasPdf(pdf), int(DatosComunes::NumeroPagina));
        } else {
            QCOMPARE(DatosComunes::NumeroPagina, short(0));
        }
    }

    void documentoAbandonadoSiFalla()
    {
        // The footer's texts are gone: the first footer fails and no half-written PDF remains.
        base_->Generadas(120);
        QTemporaryDir carpeta;
        const QString pdf = carpeta.filePath(QStringLiteral("listado.pdf"));
        DatosComunes::TextosListado->Close();
        try {
            ImprimirEnDestino(OpcionesFijas(true, false, {}, {}, pdf), Printers::NombrePdf, nullptr);
            QFAIL("Sin los textos del listado el pie no puede escribirse");
        } catch (const std::exception&) {
        }
        QVERIFY(!QFile::exists(pdf));
        base_->Instalar();

        // A folder that does not exist is refused before anything is drawn.
        const QString imposible = carpeta.filePath(QStringLiteral("no/existe/listado.pdf"));
        QVERIFY_THROWS_EXCEPTION(ErrorImpresion,
                                 ImprimirEnDestino(OpcionesFijas(true, false, {}, {}, imposible), Printers::NombrePdf,
                                                   nullptr));
        QVERIFY(!QFile::exists(imposible));
    }
};

QTEST_MAIN(PruebaListadoProvincias)
#include "tst_ListadoProvincias.moc"
