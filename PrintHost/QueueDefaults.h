// A queue's saved defaults: the user's options for the queue that libcups
// keeps in the lpoptions file (the server-wide one for root), which every
// program printing through libcups applies to its jobs.
#pragma once

#include "JobOptions.h"

#include <QString>
#include <QStringList>

namespace PrintHost {

class PPDFile;
class PMPrintSettings;

// Stores the panel's part of `options` as the saved defaults of `queue`:
// the options under one of `panelKeywords` (the panel's supported PPD option
// keys) and their profile path options. Saved options of the queue under those
// keywords, their profile path options and their ticket profile entries are
// replaced as a whole, so that a profile no longer chosen leaves nothing
// behind; every other saved option (PageSize, Resolution, copies, ...) stays.
// False with `error` set to the system's reason when the file cannot be
// written.
bool saveQueueDefaults(const QString& queue, const JobOptionList& options,
                       const QStringList& panelKeywords, const PPDFile& ppd, QString* error);

// The saved defaults of `queue` that concern `ppd` (its main keywords and
// their profile entries) in the ticket's form, sorted by key: a saved
// profile path option "Custom.<nibble text>" comes back as its menu's
// "<keyword>Custom" = "True" and "<keyword>CustomFilename" = the nibble text.
// Empty when nothing is saved.
JobOptionList savedQueueDefaults(const QString& queue, const PPDFile& ppd);

// Puts `defaults` into `settings` as a ticket would hold them: in the model
// dictionary of `printerId` under the product key, and at the top level.
void applyDefaultsToSettings(const JobOptionList& defaults, const QString& printerId,
                             PMPrintSettings& settings);

} // namespace PrintHost
