// What an interrupted service leaves in the preferences directory: the
// temporary files of its writes and merges (the file's name followed by "."
// and six characters, mkstemp's pattern, for a profile file or the temporary
// file of a piecewise write). A service killed in the middle of a write
// leaves one behind for good; the next service removes them.
//
// Only such names are removed, only regular files of the service's own user
// (root), only in the preferences directory itself, never through a link.
// The service holds a lock on the directory for as long as it runs, taken
// before its first sweep, so that a service that is starting never removes a
// file that one still finishing its last requests is writing.
#pragma once

#include "UniqueFd.h"

#include <string>
#include <string_view>

namespace zrk::xpc {

// Whether a name in the preferences directory is one of the service's
// temporary files.
bool isLeftoverTemporaryName(std::string_view name);

class PreferencesSweeper {
public:
    // Opens the preferences directory and waits (a while) for the lock on
    // it; without both, sweep does nothing.
    PreferencesSweeper();
    PreferencesSweeper(const PreferencesSweeper&) = delete;
    PreferencesSweeper& operator=(const PreferencesSweeper&) = delete;

    // Removes the leftovers; only when no write or merge of this service is
    // in progress. The number removed.
    int sweep();

private:
    UniqueFd directory_;
};

} // namespace zrk::xpc
