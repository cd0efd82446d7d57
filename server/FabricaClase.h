#pragma once

#include <QObject>
#include <QString>
#include <atomic>
#include <functional>
#include <memory>

// Makes a new object of one class; the caller owns it. It may return nullptr or throw to fail.
using FuncionFabrica = std::function<QObject*()>;

// The class object that DllGetClassObject hands out: it creates objects of one ProgID and
// keeps its library's count of live objects, which DllCanUnloadNow consults.
//
// Objects are QObjects so a host can reach their methods by name (Q_INVOKABLE members and
// QMetaObject::invokeMethod) without linking the component. The shared_ptr owns the object
// and deletes it when the last copy goes; do not give it a parent nor delete it otherwise.
// The count drops when the object is destroyed, however that happens. Release every object
// before the library is unloaded: its code lives there.
class FabricaClase
{
public:
    FabricaClase(QString progId, QString clase, FuncionFabrica crear, std::atomic<int>& objetosVivos);

    const QString& ProgId() const { return progId_; }
    const QString& Clase() const { return clase_; }

    // Throws ErrorServidor (CodigoServidor::FalloFabrica) when the factory fails.
    std::shared_ptr<QObject> CrearInstancia() const;

private:
    QString progId_;
    QString clase_;
    FuncionFabrica crear_;
    std::atomic<int>& objetosVivos_;
};
