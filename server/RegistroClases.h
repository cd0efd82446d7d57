#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

// One registered class: which library serves a ProgID.
struct EntradaClase
{
    QString ProgId;      // "Quiltren.ClassProvincias"
    QString Biblioteca;  // absolute path of the library file
    QString Clase;       // "ClassProvincias"
    QString Version;     // "1.00.0051"; may be empty

    bool operator==(const EntradaClase& otra) const;
};

// The class registry: a UTF-8 text file, one entry per line,
//   clase<TAB>ProgID<TAB>biblioteca<TAB>nombre de clase<TAB>versión
// plus blank lines and "#" comments. Lines with another key ("clave<TAB>...") belong to other
// tools and are kept byte for byte, as are comments and untouched entries. Every call reads
// the file afresh; writes go to a temporary file renamed over the old one, under a lock file,
// so readers never see half a file. ProgIDs compare without regard to letter case, as on the
// original platform. Every failure is an ErrorServidor; a failed call leaves the file as it was.
class RegistroClases
{
public:
    // QUILTREN_REGISTRO when set and not empty; otherwise <config>/quiltren/registro-clases.
    static QString RutaPredeterminada();

    // A letter, then letters and digits, in at least two parts separated by dots; at most 39 characters.
    static bool ProgIdValido(const QString& progId);

    explicit RegistroClases(QString ruta = RutaPredeterminada());

    const QString& Ruta() const { return ruta_; }

    QList<EntradaClase> Entradas() const;
    std::optional<EntradaClase> Buscar(const QString& progId) const;

    // Adds the entries, or replaces in place those whose ProgID is already there, in one write.
    void Registrar(const QList<EntradaClase>& entradas);
    // Removes the entries of these ProgIDs in one write; returns how many there were.
    int Desregistrar(const QStringList& progIds);

private:
    QString ruta_;
};
