#pragma once
// Every text of the listing and of its preview window, in one place.

#include <QString>

namespace TextosListados {

// Page header and column titles.
inline const QString Titulo = QStringLiteral("Listado de Provincias");
inline const QString TituloCodigo = QStringLiteral("Código");
inline const QString TituloProvincia = QStringLiteral("Provincia");
// The footer: this maker line, the word for page from the host's texts, a space and the number.
inline const QString Pie = QStringLiteral("Orbalt Software - Nuvesta ");
inline const QString CampoPagina = QStringLiteral("Pagina");
inline const QString FuenteCabecera = QStringLiteral("Bookman Old Style");

// The background picture of every page, as the system names it (relative to the current folder).
inline const QString ArchivoFondo = QStringLiteral("fotos\\fondo.bmp");

// Destinations the print dialog returns besides a printer's name.
inline const QString SinImpresion = QStringLiteral("Null Impresora");
inline const QString Pantalla = QStringLiteral("Pantalla");

// The preview window.
inline const QString CaptionVentana = QStringLiteral("Listados");
inline const QString CaptionBarra = QStringLiteral("Impresión Pantalla");
inline const QString EtiquetaPorcentaje = QStringLiteral(" Porcentaje:");
inline const QString FuenteOpciones = QStringLiteral("Bookman Old Style");
// The page count in the options bar, while the pages are drawn and once they all are.
inline const QString PaginasDibujando = QStringLiteral("Páginas: %1 (dibujando…)");
inline const QString PaginasDibujadas = QStringLiteral("Páginas: %1");

// Refusals and progress of our own.
inline const QString TituloAtencion = QStringLiteral("Atención");
inline const QString RangoConComillas =
    QStringLiteral("Los códigos del rango no pueden contener comillas simples ('). Corrija el rango y vuelva a intentarlo.");
inline const QString SinArchivoPdf = QStringLiteral("Falta el nombre del archivo PDF del listado.");
inline const QString DibujandoPaginas = QStringLiteral("Preparando el listado de provincias…\nPáginas dibujadas: %1");
inline const QString TituloProgreso = QStringLiteral("Listado de Provincias");

}  // namespace TextosListados
