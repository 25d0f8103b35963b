#include "StorePaths.h"

#include "InstallRoot.h"

#include <pwd.h>
#include <unistd.h>

#include <vector>

namespace zrk {

namespace {

// A name becomes one component of a file name; it must not lead elsewhere.
bool usableNameComponent(std::string_view name) {
    return !name.empty() && name != "." && name != ".." &&
           name.find('/') == std::string_view::npos && name.find('\0') == std::string_view::npos;
}

// Fills the two "%s" of a file-name template in order.
std::string fillTemplate(std::string_view pattern, std::string_view first,
                         std::string_view second) {
    std::string out;
    std::string_view values[2] = {first, second};
    int next = 0;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == '%' && i + 1 < pattern.size() && pattern[i + 1] == 's' && next < 2) {
            out += values[next++];
            ++i;
        } else {
            out += pattern[i];
        }
    }
    return out;
}

bool formOne(const std::string& directory, const char* pattern, std::string_view user,
             std::string_view model, std::string* out) {
    // A path that does not fit the documented buffer is refused, never cut short.
    std::string path = directory + fillTemplate(pattern, user, model);
    if (path.size() > kMaxProfilePathLength) {
        return false;
    }
    *out = std::move(path);
    return true;
}

} // namespace

bool formStorePaths(std::string_view user, std::string_view model, StorePaths* paths) {
    if (paths == nullptr || !usableNameComponent(user) || !usableNameComponent(model)) {
        return false;
    }
    std::string directory = resolveInstallPath(kPreferencesDirectory);
    StorePaths formed;
    if (!formOne(directory, kCurrentFileTemplate, user, model, &formed.current) ||
        !formOne(directory, kBackupFileTemplate, user, model, &formed.backup) ||
        !formOne(directory, kSpoolFileTemplate, user, model, &formed.spool)) {
        return false;
    }
    *paths = std::move(formed);
    return true;
}

std::string realUserLoginName() {
    long size = sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(size > 0 ? static_cast<std::size_t>(size) : 16384);
    struct passwd entry;
    struct passwd* found = nullptr;
    if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) != 0 ||
        found == nullptr || found->pw_name == nullptr) {
        return {};
    }
    return found->pw_name;
}

} // namespace zrk

#if defined(ZRK_STORE_SERVICE_BUILD)

constinit thread_local const char* VX_PLIST_PROFILE_PATH = nullptr;
constinit thread_local const char* VX_PLIST_PROFILE_PREV_PATH = nullptr;
constinit thread_local const char* VX_PLIST_PROFILE_SPOOL_PATH = nullptr;

namespace zrk {

StorePathScope::StorePathScope(const StorePaths& paths)
    : paths_(paths), previous_{VX_PLIST_PROFILE_PATH, VX_PLIST_PROFILE_PREV_PATH,
                               VX_PLIST_PROFILE_SPOOL_PATH} {
    VX_PLIST_PROFILE_PATH = paths_.current.c_str();
    VX_PLIST_PROFILE_PREV_PATH = paths_.backup.c_str();
    VX_PLIST_PROFILE_SPOOL_PATH = paths_.spool.c_str();
}

StorePathScope::~StorePathScope() {
    VX_PLIST_PROFILE_PATH = previous_[0];
    VX_PLIST_PROFILE_PREV_PATH = previous_[1];
    VX_PLIST_PROFILE_SPOOL_PATH = previous_[2];
}

} // namespace zrk

#endif
