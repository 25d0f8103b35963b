// A queue's saved defaults: the user's options for the queue that libcups
// keeps in the lpoptions file (the server-wide one for root), which every
// program printing through libcups applies to its jobs.
#pragma once

#include "JobOptions.h"

#include <QString>

namespace PrintHost {

class PPDFile;
class PMPrintSettings;

// Stores `options` as the saved defaults of `queue`. Saved options under a
// main keyword of `ppd` or a profile entry of one are replaced as a whole, so
// that a profile no longer chosen leaves no entries behind; other saved
// options stay. False with `error` set when the file cannot be written.
bool saveQueueDefaults(const QString& queue, const JobOptionList& options, const PPDFile& ppd,
                       QString* error);

// The saved defaults of `queue` that concern `ppd` (its main keywords and
// their profile entries), sorted by key; empty when nothing is saved.
JobOptionList savedQueueDefaults(const QString& queue, const PPDFile& ppd);

// Puts `defaults` into `settings` as a ticket would hold them: in the model
// dictionary of `printerId` under the product key, and at the top level.
void applyDefaultsToSettings(const JobOptionList& defaults, const QString& printerId,
                             PMPrintSettings& settings);

} // namespace PrintHost
