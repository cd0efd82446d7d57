#pragma once
// A recordset variable created on first use: the first reference to a missing one makes an
// empty, closed Recordset, so whoever receives it always has a live object to open or replace.

#include "data/Recordset.h"

#include <memory>

class RecordsetAutomatico
{
public:
    Recordset* operator->() { return Referencia().get(); }
    Recordset& operator*() { return *Referencia(); }
    // The variable itself, created if missing, for code that passes it by reference.
    std::shared_ptr<Recordset>& Referencia()
    {
        if (!recordset_)
            recordset_ = std::make_shared<Recordset>();
        return recordset_;
    }
    bool Existe() const { return recordset_ != nullptr; }
    // Drops the object; the next reference creates a new one.
    void Liberar() { recordset_.reset(); }
    RecordsetAutomatico& operator=(std::shared_ptr<Recordset> otro)
    {
        recordset_ = std::move(otro);
        return *this;
    }

private:
    std::shared_ptr<Recordset> recordset_;
};
