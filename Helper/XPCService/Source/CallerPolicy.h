// Whose profile files a caller may have the service touch. The service runs
// as root for every local user, so each request is held to the files of the
// user it comes from: a caller acts only for the user names of its own UID
// (root for anyone), and a file request only names that user's current or
// backup profile file in the preferences directory under the installation
// root, spelt exactly as formStorePaths spells it.
#pragma once

#include <sys/types.h>

#include <string>
#include <string_view>

namespace zrk::xpc {

enum class ProfileFileKind { Current, Backup };

struct ProfileFileName {
    std::string user;
    std::string model;
    ProfileFileKind kind = ProfileFileKind::Current;
};

// The service keeps the files of this printer model only: the one token the
// panel sends. Any other token would let a user name another user's file
// ("user-x" + "zrk5100") or have root create files without end, one set per
// invented token.
bool isAcceptableModelToken(std::string_view model);

// Recognises the path of a current or backup profile file as formStorePaths
// forms it for some user and acceptable model token.
bool parseProfileFilePath(std::string_view path, ProfileFileName* name);

// Root acts for anyone; any other caller for the user names whose entry in
// the user database has the caller's UID.
bool callerMayActFor(uid_t caller, std::string_view user);

// The path is the caller's own profile file of the given kind.
bool callerOwnsProfileFile(uid_t caller, std::string_view path, ProfileFileKind kind);

// The path is the caller's own current or backup profile file.
bool callerOwnsAnyProfileFile(uid_t caller, std::string_view path);

} // namespace zrk::xpc
