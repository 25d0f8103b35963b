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

// Where the lock file of a user's sequences lives. It is found from the real
// user id and the user database alone, never from the environment (the
// runtime and temporary folders a process is given may differ between two
// processes of one user), and only in a folder that belongs to the user and
// that no one else may write in, so no other user can make or hold it:
//  - the user's runtime folder "/run/user/<uid>" (resolved under the
//    installation root), named "<user>-<model>-profile.lock", where it is a
//    folder of the user that no one else may write in (the login manager
//    makes it 0700 while the user has a session);
//  - else the home folder of the user's entry in the user database, under
//    the same name with a leading ".", where that is such a folder;
//  - else nowhere: empty.
std::string writeLockPath(std::string_view user, std::string_view model);

// Takes an exclusive advisory lock (flock) on writeLockPath(user, model),
// waiting at most `wait`. The lock lasts as long as the returned descriptor
// (it also ends when the process dies); an invalid descriptor when it could
// not be had.
UniqueFd lockWriteSequence(std::string_view user, std::string_view model,
                           std::chrono::milliseconds wait);

} // namespace zrk
