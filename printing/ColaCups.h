#pragma once
// A print queue of the system's CUPS, as the printer surface needs it: whether it can take a job
// now, and the sending of a finished document to it. Qt's own print engine sends the document
// without looking at the answer, so a queue that refuses the job would go unreported; here every
// refusal becomes an ErrorImpresion with the reason in Spanish.

#include <QString>

namespace ColaCups {

// Throws ErrorImpresion when the queue (a device name, "cola" or "cola/instancia") does not exist,
// the print server cannot be reached, the queue is stopped or it does not accept jobs.
void ComprobarDisponible(const QString& nombre);

// Sends the file (a complete PDF) to the queue as one job named titulo, on paper of that size
// ("A4"). Returns the job's number once the server has accepted it; throws ErrorImpresion when the
// queue is not available or refuses the job, and then no job of it is left in the queue.
int Enviar(const QString& nombre, const QString& archivo, const QString& titulo, const QString& papel);

}  // namespace ColaCups
