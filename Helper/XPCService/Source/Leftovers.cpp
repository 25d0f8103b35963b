#include "Leftovers.h"

#include "CallerPolicy.h"
#include "InstallRoot.h"
#include "StorePaths.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <thread>
#include <vector>

namespace zrk::xpc {

namespace {

// mkstemp's six characters.
constexpr std::size_t kUniqueCharacters = 6;
constexpr std::string_view kPieceSuffix = ".dummy";

bool isUniqueCharacter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

// A service still finishing its last requests holds the lock that long at
// most; one that holds it longer is stuck, and the sweep is skipped.
constexpr auto kLockWait = std::chrono::seconds(10);

std::string preferencesDirectory() {
    std::string directory = resolveInstallPath(kPreferencesDirectory);
    while (directory.size() > 1 && directory.back() == '/') {
        directory.pop_back();
    }
    return directory;
}

} // namespace

bool isLeftoverTemporaryName(std::string_view name) {
    if (name.size() <= kUniqueCharacters + 1 || name[name.size() - kUniqueCharacters - 1] != '.') {
        return false;
    }
    for (const char c : name.substr(name.size() - kUniqueCharacters)) {
        if (!isUniqueCharacter(c)) {
            return false;
        }
    }
    std::string_view file = name.substr(0, name.size() - kUniqueCharacters - 1);
    const bool pieces = file.ends_with(kPieceSuffix);
    if (pieces) {
        file.remove_suffix(kPieceSuffix.size());
    }
    ProfileFileName parsed;
    return file.find('/') == std::string_view::npos &&
           parseProfileFilePath(resolveInstallPath(kPreferencesDirectory) + std::string(file),
                                &parsed) &&
           (!pieces || parsed.kind == ProfileFileKind::Current);
}

PreferencesSweeper::PreferencesSweeper() {
    UniqueFd directory(
        ::open(preferencesDirectory().c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (!directory.valid()) {
        return;
    }
    const auto giveUp = std::chrono::steady_clock::now() + kLockWait;
    while (::flock(directory.get(), LOCK_EX | LOCK_NB) != 0) {
        if ((errno != EWOULDBLOCK && errno != EINTR) ||
            std::chrono::steady_clock::now() >= giveUp) {
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    directory_ = std::move(directory);
}

int PreferencesSweeper::sweep() {
    if (!directory_.valid()) {
        return 0;
    }
    // A listing of its own: the held descriptor's position stays untouched.
    const int listing = ::openat(directory_.get(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    DIR* dir = listing >= 0 ? ::fdopendir(listing) : nullptr;
    if (dir == nullptr) {
        if (listing >= 0) {
            ::close(listing);
        }
        return 0;
    }
    std::vector<std::string> names;
    while (const dirent* entry = ::readdir(dir)) {
        if (isLeftoverTemporaryName(entry->d_name)) {
            names.emplace_back(entry->d_name);
        }
    }
    ::closedir(dir);
    int removed = 0;
    for (const std::string& name : names) {
        struct stat info;
        if (::fstatat(directory_.get(), name.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0 &&
            S_ISREG(info.st_mode) && info.st_uid == ::geteuid() &&
            ::unlinkat(directory_.get(), name.c_str(), 0) == 0) {
            ++removed;
        }
    }
    return removed;
}

} // namespace zrk::xpc
