#include "server/FabricaClase.h"

#include "server/CodigosServidor.h"
#include "server/ErrorServidor.h"

FabricaClase::FabricaClase(QString progId, QString clase, FuncionFabrica crear, std::atomic<int>& objetosVivos)
    : progId_(std::move(progId)), clase_(std::move(clase)), crear_(std::move(crear)), objetosVivos_(objetosVivos)
{
}

std::shared_ptr<QObject> FabricaClase::CrearInstancia() const
{
    QObject* objeto = nullptr;
    QString motivo = QStringLiteral("la fábrica no devolvió ningún objeto");
    try {
        if (crear_)
            objeto = crear_();
    } catch (const std::exception& error) {
        motivo = QString::fromUtf8(error.what());
    } catch (...) {
        motivo = QStringLiteral("la fábrica terminó con un error desconocido");
    }
    if (objeto == nullptr)
        throw ErrorServidor(CodigoServidor::FalloFabrica,
                            QStringLiteral("No se pudo crear un objeto de la clase «%1»: %2.").arg(progId_, motivo));

    // Counted by its destruction, not by the shared_ptr, so the count stays true however the
    // object ends.
    ++objetosVivos_;
    std::atomic<int>* vivos = &objetosVivos_;
    QObject::connect(objeto, &QObject::destroyed, [vivos] { --*vivos; });
    return std::shared_ptr<QObject>(objeto);
}
