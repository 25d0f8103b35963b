#include "CallerPolicy.h"

#include "InstallRoot.h"
#include "StorePaths.h"

#include <pwd.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

namespace zrk::xpc {

namespace {

// What follows "user-model" in each kind of file name.
struct KindSuffix {
    ProfileFileKind kind;
    std::string_view suffix;
};
constexpr KindSuffix kKindSuffixes[] = {
    {ProfileFileKind::Current, "-profile.plist"},
    {ProfileFileKind::Backup, "-profile.prev.plist"},
};

} // namespace

bool isAcceptableModelToken(std::string_view model) {
    return model == kModelToken;
}

bool parseProfileFilePath(std::string_view path, ProfileFileName* name) {
    const std::string directory = resolveInstallPath(kPreferencesDirectory);
    if (path.size() > kMaxProfilePathLength || !path.starts_with(directory)) {
        return false;
    }
    const std::string_view fileName = path.substr(directory.size());
    for (const KindSuffix& k : kKindSuffixes) {
        if (!fileName.ends_with(k.suffix)) {
            continue;
        }
        const std::string_view stem = fileName.substr(0, fileName.size() - k.suffix.size());
        const std::size_t dash = stem.rfind('-');
        if (dash == std::string_view::npos) {
            return false;
        }
        ProfileFileName parsed{std::string(stem.substr(0, dash)),
                               std::string(stem.substr(dash + 1)), k.kind};
        StorePaths formed;
        if (!isAcceptableModelToken(parsed.model) ||
            !formStorePaths(parsed.user, parsed.model, &formed)) {
            return false;
        }
        // The one spelling formStorePaths gives: no "//", "/./" or other
        // way round to the same name.
        const std::string& expected =
            k.kind == ProfileFileKind::Current ? formed.current : formed.backup;
        if (expected != path) {
            return false;
        }
        *name = std::move(parsed);
        return true;
    }
    return false;
}

bool callerMayActFor(uid_t caller, std::string_view user) {
    if (caller == 0) {
        return true;
    }
    if (user.empty() || user.find('\0') != std::string_view::npos) {
        return false;
    }
    const std::string userName(user);
    long hint = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(hint > 0 ? static_cast<std::size_t>(hint) : 16384);
    for (;;) {
        struct passwd entry;
        struct passwd* found = nullptr;
        const int rc = ::getpwnam_r(userName.c_str(), &entry, buffer.data(), buffer.size(), &found);
        if (rc == ERANGE && buffer.size() < (1u << 20)) {
            buffer.resize(buffer.size() * 2);
            continue;
        }
        return rc == 0 && found != nullptr && found->pw_uid == caller;
    }
}

bool callerOwnsProfileFile(uid_t caller, std::string_view path, ProfileFileKind kind) {
    ProfileFileName name;
    return parseProfileFilePath(path, &name) && name.kind == kind &&
           callerMayActFor(caller, name.user);
}

bool callerOwnsAnyProfileFile(uid_t caller, std::string_view path) {
    ProfileFileName name;
    return parseProfileFilePath(path, &name) && callerMayActFor(caller, name.user);
}

} // namespace zrk::xpc
