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
//
// A host run by any user also finds the classes of a system-wide installation: the registry
// built without a path reads the user's file first and then the system's, which only the
// administrator writes (quiltren-registrar --sistema). QUILTREN_REGISTRO, when set, is the one
// registry read and written, so tests and isolated hosts see nothing of the system's.
class RegistroClases
{
public:
    // QUILTREN_REGISTRO when set and not empty; otherwise <config>/quiltren/registro-clases.
    static QString RutaPredeterminada();
    // QUILTREN_REGISTRO_SISTEMA when set and not empty; otherwise /etc/quiltren/registro-clases.
    static QString RutaSistema();

    // A letter, then letters and digits, in at least two parts separated by dots; at most 39 characters.
    static bool ProgIdValido(const QString& progId);

    // The user's registry, then the system's (none of it when QUILTREN_REGISTRO is set).
    RegistroClases();
    // That file alone.
    explicit RegistroClases(QString ruta);

    const QString& Ruta() const { return ruta_; }

    // The entries of the file Ruta() (the system's are not listed).
    QList<EntradaClase> Entradas() const;
    // The entry in Ruta(), else in the system's registry when this one reads it.
    std::optional<EntradaClase> Buscar(const QString& progId) const;

    // Adds the entries, or replaces in place those whose ProgID is already there, in one write.
    void Registrar(const QList<EntradaClase>& entradas);
    // Removes the entries of these ProgIDs in one write; returns how many there were.
    int Desregistrar(const QStringList& progIds);

private:
    QString ruta_;
    QString rutaSistema_;   // empty: not read
};
