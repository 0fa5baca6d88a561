#pragma once

#include "platform/Failure.h"

#include <QString>

#include <optional>

// Whether a print queue took a job. The printing toolkit hands a finished document to the print system
// and does not say whether the queue took it: a queue that refuses jobs, a queue that is gone or a print
// server that does not answer leave the toolkit's printer without an error. So the program asks the print
// system itself: the check notes the newest job of this user on the queue before the job is handed over,
// and afterwards looks for a newer one.
//
// Only queues of the print system are checked; a printer that writes a file is not one.
namespace platform {

class PrintJobCheck
{
public:
    // Notes the queue's newest job so far; to be made just before the job is handed over.
    explicit PrintJobCheck(const QString &queue);

    // The check for a job to the printer named `printerName` that writes to `outputFile` (empty for
    // none): none when the printer writes a file, which is no queue of the print system.
    static std::optional<PrintJobCheck> forPrinter(const QString &printerName, const QString &outputFile);

    // After the job was handed over (on the same thread): nothing when the queue took it; else the
    // failure's text says in Japanese what the queue or the print system answered, naming the queue.
    Status accepted() const;

private:
    QString m_queue;
    int m_lastJob = 0;
};

} // namespace platform
