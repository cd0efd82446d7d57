#pragma once

#include "tests/apoyo/BasePrueba.h"
#include "data/ErrorDatos.h"

#include <QMap>
#include <QProcess>
#include <QStringList>

// What the fault tests share: the counts of the quick and the full (soak) runs, the writes as
// the window makes them, the faults themselves, and reads of the table to compare with a model.
namespace ApoyoFallos {

// `rapido` in the quick set, `completo` under QUILTREN_SOAK=1.
bool EsSoak();
inline int Cuenta(int rapido, int completo) { return EsSoak() ? completo : rapido; }

// A test database, or the test fails with the reason.
#define ABRIR_BASE(variable, ...)                                                   \
    std::unique_ptr<BasePrueba> variable;                                            \
    try {                                                                           \
        variable = std::make_unique<BasePrueba>(__VA_ARGS__);                        \
    } catch (const ErrorDatos& error) {                                             \
        QFAIL(error.what());                                                        \
    }

// The saves and the delete of the window; ErrorDatos on refusal.
void GuardarNueva(const ConnectionPtr& conexion, const QString& codigo, const QString& nombre);
// The row found by its old code gets `nuevoCodigo` and `nombre`; false when the row is gone.
bool Modificar(const ConnectionPtr& conexion, const QString& codigo, const QString& nuevoCodigo, const QString& nombre);
void Borrar(const ConnectionPtr& conexion, const QString& codigo);

// Starts fallos_escritor and waits until it prints `aviso`; an empty text when it did.
QString ArrancarEscritor(QProcess& escritor, const QStringList& argumentos, const char* aviso);
// Lets a `bloquear` writer go and waits for it to end.
bool SoltarBloqueo(QProcess& bloqueador);

// A tmpfs of 512 KiB on `carpeta` for one test (root only), unmounted whatever happens.
class Montaje {
public:
    explicit Montaje(const QString& carpeta);
    ~Montaje();
    bool Montado() const { return montado_; }

private:
    QByteArray ruta_;
    bool montado_ = false;
};
// Fills what is left of the disk with the file `ruta`.
bool LlenarDisco(const QString& ruta);

// Codes and names of the province table, read through a bare query. A code stored twice comes
// back a second time with " (repetida)" added; an SQLite file that fails its integrity check
// throws ErrorDatos.
using Tabla = QMap<QString, QString>;
Tabla LeerTabla(Connection& conexion);
// How two tables differ, in a few lines, for the message of a failed comparison.
QString Diferencias(const Tabla& esperada, const Tabla& obtenida);

} // namespace ApoyoFallos
