// The report routines on recording A4 pages: where header, titles, rows and footer land, where
// pages break, how many pages a table gives, which statement and rows the options choose; and the
// printer picture of the real province window with each answer of the print dialog.

#include "ApoyoListado.h"
#include "ClassProvincias.h"
#include "DatosComunes.h"
#include "EsquemaProvincias.h"
#include "Falsos.h"
#include "FrmListados.h"
#include "FrmProvincias.h"
#include "Image.h"
#include "InstanciaPredeterminada.h"
#include "Label.h"
#include "ListadoProvincias.h"
#include "Printers.h"
#include "Screen.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <cmath>

namespace {

const QString PieUno = QStringLiteral("Orbalt Software - Nuvesta Página 1");

void Dibujar(SuperficieGrabadora& superficie, const IDialogoImpresion& opciones)
{
    SuperficieDestino* actual = &superficie;
    DatosComunes::NumeroPagina = 0;
    ImprimirListado(opciones, actual, nullptr);
}

// Width and height of a text on an A4 page in a given font.
QSizeF Medir(const QString& texto, double puntos, bool negrita)
{
    SuperficieGrabadora pagina;
    pagina.SetFontName(QStringLiteral("Bookman Old Style"));
    pagina.SetFontSize(puntos);
    pagina.SetFontBold(negrita);
    return QSizeF(pagina.TextWidth(texto), pagina.SuperficiePagina::TextHeight(texto));
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
    std::unique_ptr<Form> principal_, ubicacion_;
    ClassProvincias clase_;
    QStringList errores_;

    FrmProvincias* Provincias() const
    {
        return qobject_cast<FrmProvincias*>(InstanciaPredeterminada<FrmProvincias>::Referencia());
    }

private slots:
    void initTestCase()
    {
        Screen::FijarTwipsPorPixel(15);
        Screen::FijarTamano(15360, 11520);
        QVERIFY(QDir::setCurrent(qEnvironmentVariable("QUILTREN_RAIZ")));
        base_ = std::make_unique<BaseListado>(false);
        mensajes_ = InstalarMensajesFalsos();
        InstalarFuncionesFalsas();
        dialogo_ = InstalarDialogoImpresionFalso();
        FijarManejadorErroresEventos([this](int numero, const QString& texto) {
            errores_ << QStringLiteral("%1: %2").arg(numero).arg(texto);
        });
        // The real province window, shown by the component as a host shows it.
        principal_ = std::make_unique<Form>(QStringLiteral("FrmPrincipal"));
        ubicacion_ = std::make_unique<Form>(QStringLiteral("FrmUbicacion"));
        auto utiles = std::make_shared<UtilidadesFalsas>();
        utiles->Conexion = base_->Conexion();
        utiles->Principal = principal_.get();
        utiles->Ubicacion = ubicacion_.get();
        utiles->SentenciaTextos = SentenciaTextos();
        std::shared_ptr<IUtilidades> datos = utiles;
        clase_.Cargar(datos);
        QVERIFY(Provincias() && Provincias()->isVisible());
    }

    void cleanupTestCase()
    {
        clase_.Cerrar();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        DatosComunes::Liberar();
        FijarManejadorErroresEventos({});
        Tramacor::FijarMensajes(nullptr);
        Tramacor::FijarFunciones(nullptr);
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
        QTest::newRow("rango sin desde: todas") << true << true << "" << "2" << QStringList{"1", "10", "2", "3"};
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
        SuperficieGrabadora superficie(true);
        Dibujar(superficie, OpcionesFijas(porCodigo, conRango, desde, hasta));
        QCOMPARE(superficie.Filas(), codigos);
        // With no row the page is still whole: header, titles and footer.
        QCOMPARE(superficie.Textos(QStringLiteral("Listado de Provincias")).size(), 1);
        QCOMPARE(superficie.Textos(QStringLiteral("Código")).size(), 1);
        QCOMPARE(superficie.Textos(PieUno).size(), 1);
    }

    void cabeceraTitulosFilasYPie()
    {
        const QList<QPair<QString, QString>> filas{{"01", "Álava"}, {"02", "Albacete"}, {"03", "Alicante"}};
        base_->Filas(filas);
        SuperficieGrabadora pagina;
        Dibujar(pagina, OpcionesFijas());
        const double ancho = pagina.ScaleWidth();
        const double alto = pagina.ScaleHeight();
        const auto lineas = pagina.De(QStringLiteral("Line"));
        QCOMPARE(lineas.size(), 4);

        // Frame, then the background square at whole centimetres.
        QCOMPARE(lineas[0].Modo, SuperficieDestino::ModoLinea::B);
        QVERIFY(Cerca(lineas[0].X, 0) && Cerca(lineas[0].Y, 0));
        QVERIFY(Cerca(lineas[0].X2, ancho - 0.03) && Cerca(lineas[0].Y2, alto - 0.03));
        const auto fondo = pagina.De(QStringLiteral("PaintPicture"));
        QCOMPARE(fondo.size(), 1);
        QCOMPARE(QList<double>({fondo[0].X, fondo[0].Y, fondo[0].X2, fondo[0].Y2}), QList<double>({5, 10, 10, 10}));

        // Title centred in the width less 2 cm, top at 1 cm, its rule one title line below.
        const auto titulo = pagina.Textos(QStringLiteral("Listado de Provincias"));
        const QSizeF enTitulo = Medir(QStringLiteral("Listado de Provincias"), 14, true);
        QVERIFY(Cerca(titulo[0].Y, 1) && Cerca(titulo[0].X, (ancho - (enTitulo.width() + 2)) / 2));
        QVERIFY(titulo[0].Negrita && titulo[0].Puntos == 14);
        QVERIFY(Cerca(lineas[1].X, 1) && Cerca(lineas[1].X2, ancho - 1));
        QVERIFY(Cerca(lineas[1].Y, 1 + enTitulo.height()) && Cerca(lineas[1].Y2, lineas[1].Y));

        // Date: long Spanish form in blue 12 pt, ending 1 cm from the right edge, 0.1 cm below the rule.
        const QString textoFecha = ListadoProvincias::FechaLarga(QDate::currentDate());
        const auto fecha = pagina.Textos(textoFecha);
        const QSizeF enFecha = Medir(textoFecha, 12, false);
        QCOMPARE(fecha[0].Color, QColor(0, 0, 255));
        QVERIFY(!fecha[0].Negrita && fecha[0].Puntos == 12);
        QVERIFY(Cerca(fecha[0].X + enFecha.width(), ancho - 1));
        QVERIFY(Cerca(fecha[0].Y, lineas[1].Y + 0.1));
        QVERIFY(Cerca(DatosComunes::LimiteInferior, alto - Medir(QStringLiteral("X"), 12, false).height()));

        // Band (without a window: the colour the window gives LblCodigo) and titles, three 12 pt lines down.
        const double arribaTitulos = fecha[0].Y + 3 * enFecha.height();
        const double altoTitulos = Medir(QStringLiteral("H"), 10, true).height();
        QCOMPARE(lineas[2].Modo, SuperficieDestino::ModoLinea::BF);
        QCOMPARE(lineas[2].Color, QColor(0xC0, 0xC0, 0xFF));
        QVERIFY(Cerca(lineas[2].X, 1) && Cerca(lineas[2].X2, ancho - 1));
        QVERIFY(Cerca(lineas[2].Y, arribaTitulos - 0.1) && Cerca(lineas[2].Y2, arribaTitulos + altoTitulos + 0.1));
        const auto codigo = pagina.Textos(QStringLiteral("Código"));
        const auto provincia = pagina.Textos(QStringLiteral("Provincia"));
        QVERIFY(Cerca(codigo[0].X, 1.2) && Cerca(codigo[0].Y, arribaTitulos) && codigo[0].Negrita);
        QVERIFY(Cerca(provincia[0].X, 7.0) && Cerca(provincia[0].Y, arribaTitulos) && provincia[0].Puntos == 10);

        // Rows: 0.4 cm of their own plus one 11 pt line each; code at 1.2 cm, name at 3.2 cm.
        double y = arribaTitulos + altoTitulos + 0.4;
        for (const auto& [cod, nombre] : filas) {
            const auto enCodigo = pagina.Textos(cod);
            const auto enNombre = pagina.Textos(nombre);
            QVERIFY2(Cerca(enCodigo[0].Y, y) && Cerca(enNombre[0].Y, y), qPrintable(cod));
            QVERIFY(Cerca(enCodigo[0].X, 1.2) && Cerca(enNombre[0].X, 3.2));
            QVERIFY(enCodigo[0].Puntos == 11 && !enCodigo[0].Negrita);
            y += Medir(QStringLiteral("X"), 11, false).height() + 0.4;
        }

        // Footer at LimiteInferior, centred in the width less 1 cm, 9 pt black; its rule one line below.
        const auto pie = pagina.Textos(PieUno);
        const QSizeF enPie = Medir(PieUno, 9, false);
        QVERIFY(Cerca(pie[0].Y, DatosComunes::LimiteInferior) && Cerca(pie[0].X, ((ancho - 1) - enPie.width()) / 2));
        QVERIFY(pie[0].Puntos == 9 && pie[0].Color == QColor(Qt::black));
        QVERIFY(Cerca(lineas[3].X, 1) && Cerca(lineas[3].X2, ancho - 0.9));
        QVERIFY(Cerca(lineas[3].Y, DatosComunes::LimiteInferior + enPie.height()));
        QCOMPARE(lineas[3].Color, QColor(Qt::black));

        // On the page: the band's colour between the two titles, the title rule dark.
        const QImage imagen = pagina.Imagen(QSize(2100, 2970));
        const auto punto = [](double xCm, double yCm) { return QPoint(int(xCm * 100), int(yCm * 100)); };
        QCOMPARE(imagen.pixelColor(punto(5.0, arribaTitulos + altoTitulos / 2)), QColor(0xC0, 0xC0, 0xFF));
        QVERIFY(imagen.pixelColor(punto(10.5, lineas[1].Y)).lightness() < 100);
    }

    void fondo_data()
    {
        QTest::addColumn<QByteArray>("contenido");
        QTest::newRow("el nuestro") << QByteArray("copia");
        QTest::newRow("no existe") << QByteArray();
        QTest::newRow("ilegible") << QByteArray("BM esto no es una imagen");
    }

    void fondo()
    {
        QFETCH(QByteArray, contenido);
        const QString raiz = QDir::currentPath();
        QTemporaryDir carpeta;
        QVERIFY(QDir(carpeta.path()).mkdir(QStringLiteral("fotos")));
        const QString archivo = carpeta.filePath(QStringLiteral("fotos/fondo.bmp"));
        if (contenido == "copia") {
            QVERIFY(QFile::copy(raiz + QStringLiteral("/fotos/fondo.bmp"), archivo));
        } else if (!contenido.isEmpty()) {
            QFile basura(archivo);
            QVERIFY(basura.open(QIODevice::WriteOnly) && basura.write(contenido) > 0);
        }
        base_->Codigos({"01", "02"});
        QVERIFY(QDir::setCurrent(carpeta.path()));
        SuperficieGrabadora pagina;
        Dibujar(pagina, OpcionesFijas());
        QDir::setCurrent(raiz);
        // A missing or unreadable picture leaves the page without it and nothing else.
        QCOMPARE(pagina.De(QStringLiteral("PaintPicture")).size(), contenido == "copia" ? 1 : 0);
        QCOMPARE(pagina.Filas(), QStringList({"01", "02"}));
        QCOMPARE(pagina.Textos(PieUno).size(), 1);
    }

    void saltoEnLaIgualdad()
    {
        base_->Generadas(8);
        // The tests the rows make on a page that never ends: pen + TextHeight("X") in 11 pt.
        SuperficieGrabadora alta(true, 1000);
        Dibujar(alta, OpcionesFijas());
        QList<SuperficieGrabadora::Medida> pruebas;
        double altoLinea12 = 0;
        for (const auto& m : alta.Medidas) {
            if (m.Puntos == 12)
                altoLinea12 = m.Alto;
            else if (m.Puntos == 11)
                pruebas << m;
        }
        QCOMPARE(pruebas.size(), 7);  // the first row is tested in the titles' 10 pt
        const double prueba = pruebas[3].Pluma + pruebas[3].Alto;  // the fifth row's

        // A page whose LimiteInferior (height less one 12 pt line) is exactly that...
        double altoUtil = prueba + altoLinea12;
        for (int i = 0; i < 8 && altoUtil - altoLinea12 != prueba; ++i)
            altoUtil = std::nextafter(altoUtil, altoUtil - altoLinea12 < prueba ? 1000.0 : 0.0);
        QVERIFY(altoUtil - altoLinea12 == prueba);
        SuperficieGrabadora igual(true, altoUtil);
        Dibujar(igual, OpcionesFijas());
        QCOMPARE(DatosComunes::LimiteInferior, prueba);
        // ...sends the fifth row to the next page, while the least bit more room keeps it.
        QCOMPARE(igual.FilasAntesDelSalto(), 4);
        QCOMPARE(igual.Filas(), alta.Filas());
        SuperficieGrabadora holgada(true, std::nextafter(altoUtil, 1000.0));
        Dibujar(holgada, OpcionesFijas());
        QVERIFY(holgada.FilasAntesDelSalto() >= 5);
    }

    void paginas_data()
    {
        // Rows as a multiple of what one page holds, plus a few.
        QTest::addColumn<int>("porPagina");
        QTest::addColumn<int>("mas");
        QTest::addColumn<int>("paginas");
        QTest::newRow("ninguna fila") << 0 << 0 << 1;
        QTest::newRow("una fila") << 0 << 1 << 1;
        QTest::newRow("una página justa") << 1 << 0 << 1;
        QTest::newRow("una fila de más") << 1 << 1 << 2;
        QTest::newRow("muchas") << 7 << 5 << 8;
    }

    void paginas()
    {
        QFETCH(int, porPagina);
        QFETCH(int, mas);
        QFETCH(int, paginas);
        base_->Generadas(100);
        const int filas = porPagina * FilasPorPaginaA4() + mas;
        base_->Generadas(filas);
        SuperficieGrabadora superficie(true);
        Dibujar(superficie, OpcionesFijas());
        QCOMPARE(int(DatosComunes::NumeroPagina), paginas);
        QCOMPARE(superficie.De(QStringLiteral("NewPage")).size(), paginas - 1);
        QCOMPARE(superficie.Filas().size(), filas);
        // Every page is whole and numbered in turn.
        QCOMPARE(superficie.Textos(QStringLiteral("Listado de Provincias")).size(), paginas);
        QCOMPARE(superficie.Textos(QStringLiteral("Código")).size(), paginas);
        for (int pagina = 1; pagina <= paginas; ++pagina)
            QCOMPARE(superficie.Textos(QStringLiteral("Orbalt Software - Nuvesta Página %1").arg(pagina)).size(), 1);
    }

    void fechaLarga_data()
    {
        QTest::addColumn<QDate>("fecha");
        QTest::addColumn<QString>("texto");
        QTest::newRow("domingo") << QDate(2026, 12, 6) << "domingo, 6 de diciembre de 2026";
        QTest::newRow("bisiesto") << QDate(2024, 2, 29) << "jueves, 29 de febrero de 2024";
    }

    void fechaLarga()
    {
        QFETCH(QDate, fecha);
        QFETCH(QString, texto);
        QCOMPARE(ListadoProvincias::FechaLarga(fecha), texto);
    }

    void impresoraDeLaVentana_data()
    {
        // resultado: 0 nothing drawn, 1 a PDF, 2 the preview, 3 a printer error, 4 a refused range.
        QTest::addColumn<QString>("destino");
        QTest::addColumn<QString>("desde");
        QTest::addColumn<bool>("conArchivo");
        QTest::addColumn<int>("resultado");
        QTest::newRow("nada que imprimir") << "Null Impresora" << "" << true << 0;
        QTest::newRow("a PDF") << Printers::NombrePdf << "" << true << 1;
        QTest::newRow("en pantalla") << "Pantalla" << "" << false << 2;
        QTest::newRow("a PDF sin archivo") << Printers::NombrePdf << "" << false << 3;
        QTest::newRow("rango con comillas") << Printers::NombrePdf << "0' OR '1'='1" << true << 4;
    }

    void impresoraDeLaVentana()
    {
        QFETCH(QString, destino);
        QFETCH(QString, desde);
        QFETCH(bool, conArchivo);
        QFETCH(int, resultado);

        base_->Codigos({"01", "02", "03"});
        QTemporaryDir carpeta;
        OpcionesImpresion opciones;
        opciones.Destino = destino;
        opciones.OrdenPorCodigo = true;
        opciones.ConRango = !desde.isEmpty();
        opciones.CodigoDesde = desde;
        opciones.CodigoHasta = QStringLiteral("99");
        opciones.ArchivoPdf = conArchivo ? carpeta.filePath(QStringLiteral("provincias.pdf")) : QString();
        dialogo_->Respuestas = {opciones};
        dialogo_->Ventanas.clear();
        mensajes_->Llamadas.clear();
        errores_.clear();
        DatosComunes::NumeroPagina = 0;

        int paginasEnPantalla = 0;
        QColor banda;
        QTimer vista;
        vista.setSingleShot(true);
        connect(&vista, &QTimer::timeout, this, [&] {
            auto* listados = qobject_cast<FrmListados*>(InstanciaPredeterminada<FrmListados>::Referencia());
            if (!listados)
                return;
            paginasEnPantalla = listados->PicList.Count();
            // Down the page 5 cm from its left edge, between the two titles, into the band.
            const QImage pagina = listados->PicList(0)->Superficie().Imagen(QSize(2100, 2970));
            int y = 250;
            while (y < 700 && pagina.pixelColor(500, y) == QColor(Qt::white))
                ++y;
            banda = pagina.pixelColor(500, y + 5);
            emit listados->Barra1->SolicitudCierre();
        });
        vista.start(0);
        QWidget* impresora = Provincias()->ImgImpresora->Widget();
        QTest::mouseClick(impresora, Qt::LeftButton, {}, impresora->rect().center());

        QCOMPARE(dialogo_->Ventanas.size(), 1);
        QCOMPARE(dialogo_->Ventanas.first().data(), Provincias());
        QCOMPARE(DatosComunes::Destino, destino);
        QCOMPARE(errores_.size(), resultado == 3 ? 1 : 0);
        QCOMPARE(mensajes_->Llamadas.size(), resultado == 4 ? 1 : 0);
        if (resultado == 4) {
            QVERIFY(mensajes_->Llamadas.first().Texto.contains(QStringLiteral("comillas simples")));
            QCOMPARE(mensajes_->Llamadas.first().Estilo, 16);
            QCOMPARE(mensajes_->Llamadas.first().Titulo, QStringLiteral("Atención"));
        }
        QCOMPARE(int(DatosComunes::NumeroPagina), resultado == 1 || resultado == 2 ? 1 : 0);
        QCOMPARE(QFile::exists(opciones.ArchivoPdf), resultado == 1);
        if (resultado == 1)
            QCOMPARE(CodigosDelTexto(TextoPdf(opciones.ArchivoPdf), {"01", "02", "03"}), QStringList({"01", "02", "03"}));
        QCOMPARE(paginasEnPantalla, resultado == 2 ? 1 : 0);
        if (resultado == 2)
            QCOMPARE(banda, Provincias()->LblCodigo->BackColor());
        QVERIFY(!InstanciaPredeterminada<FrmListados>::Existe());
    }
};

QTEST_MAIN(PruebaListadoProvincias)
#include "tst_ListadoProvincias.moc"
