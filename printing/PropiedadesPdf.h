#pragma once
// The document properties of a finished PDF (title, author) as readers and pdfinfo show them.
// Qt's PDF writer has no author, so the properties are added after the document is complete, as
// an update appended to the file: the pages written before stay untouched.

#include <QString>

// Appends to the PDF a properties dictionary with the title, the author and the program that made
// it. Throws ErrorImpresion when the file cannot be read or written or does not end as a PDF does.
void EscribirPropiedadesPdf(const QString& archivo, const QString& titulo, const QString& autor);
