// --profiles-list: the three groups of the user's current profile file, as
// the plug-in build of the profile store reads it.
#pragma once

#include <QJsonObject>
#include <QString>

#include <optional>

namespace PrintHost {

// {"RGB": [...], "SIM": [...], "DST": [...]}: every occupied entry in slot
// order with all its fields. No file gives three empty groups; a file that
// exists but cannot be read gives nothing, with `error` set.
std::optional<QJsonObject> describeProfileFile(QString* error);

} // namespace PrintHost
