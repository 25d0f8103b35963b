// The lock that holds one user's write sequence of a profile file (probe,
// pieces, commit) against every other sequence of the same user and model,
// so that two print dialogs never interleave their pieces. Plug-in build
// only: the service serialises its own work.
#pragma once

#include "UniqueFd.h"

#include <chrono>
#include <string>
#include <string_view>

namespace zrk {

// Where the lock files live: $XDG_RUNTIME_DIR when it is a directory of the
// real user that no one else may write, else "zrk5100-<uid>" in $TMPDIR (or
// /tmp), created 0700. A fallback that exists as anything but such a
// directory (a link, another owner, open to others) is refused: empty.
std::string writeLockDirectory();

// Takes an exclusive advisory lock (flock) on "<user>-<model>-profile.lock"
// in writeLockDirectory(), waiting at most `wait`. The lock lasts as long as
// the returned descriptor (it also ends when the process dies); an invalid
// descriptor when it could not be had.
UniqueFd lockWriteSequence(std::string_view user, std::string_view model,
                           std::chrono::milliseconds wait);

} // namespace zrk
