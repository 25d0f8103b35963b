// The local CUPS server's side of print-dialog --queue: a queue's PPD and
// device URI, and submitting a job with the dialog's options.
#pragma once

#include "JobOptions.h"

#include <QString>

#include <optional>
#include <string>

namespace PrintHost {

struct QueueDescription {
    QString ppdPath; // a temporary copy of the queue's PPD; the caller removes it
    std::optional<std::string> deviceURI;
};

// Whether `name` can be a CUPS queue name (printable ASCII, no space, "/", "#",
// quotes or backslash, at most 127 bytes).
bool isValidQueueName(const QString& name);

// Asks the server named by the CUPS configuration (CUPS_SERVER) for the
// queue's device URI and PPD.
std::optional<QueueDescription> describeQueue(const QString& name, QString* error);

// Prints `documentPath` on the queue with the given job options; the job id,
// or 0 with `error` set.
int submitJob(const QString& queue, const QString& documentPath, const QString& title,
              const JobOptionList& options, QString* error);

// A one-page PostScript document to carry a job's options.
QByteArray testPageDocument();

} // namespace PrintHost
