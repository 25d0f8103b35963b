#include "WriteSequenceLock.h"

#include "InstallRoot.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <thread>
#include <vector>

namespace zrk {

namespace {

using Clock = std::chrono::steady_clock;

// A folder of the real user that no one else may write in. The runtime
// folder is taken only as the login manager makes it (no link); the home
// folder is wherever the user database points.
bool privateDirectory(const std::string& path, bool followLink) {
    struct stat info;
    return !path.empty() && path.front() == '/' &&
           (followLink ? ::stat(path.c_str(), &info) : ::lstat(path.c_str(), &info)) == 0 &&
           S_ISDIR(info.st_mode) && info.st_uid == ::getuid() && (info.st_mode & 022) == 0;
}

std::string homeDirectory() {
    std::vector<char> buffer(16384);
    passwd entry;
    passwd* found = nullptr;
    if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) != 0 ||
        found == nullptr || found->pw_dir == nullptr) {
        return {};
    }
    std::string home = found->pw_dir;
    while (home.size() > 1 && home.back() == '/') {
        home.pop_back();
    }
    return home;
}

bool usableName(std::string_view name) {
    return !name.empty() && name != "." && name != ".." && name.find('/') == name.npos &&
           name.find('\0') == name.npos;
}

} // namespace

std::string writeLockPath(std::string_view user, std::string_view model) {
    if (!usableName(user) || !usableName(model)) {
        return {};
    }
    const std::string name = std::string(user) + "-" + std::string(model) + "-profile.lock";
    const std::string runtime = resolveInstallPath("/run/user/" + std::to_string(::getuid()));
    if (privateDirectory(runtime, false)) {
        return runtime + "/" + name;
    }
    const std::string home = homeDirectory();
    if (privateDirectory(home, true)) {
        return (home == "/" ? "" : home) + "/." + name;
    }
    return {};
}

UniqueFd lockWriteSequence(std::string_view user, std::string_view model,
                           std::chrono::milliseconds wait) {
    const std::string path = writeLockPath(user, model);
    if (path.empty()) {
        return UniqueFd();
    }
    UniqueFd file(
        ::open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600));
    struct stat info;
    if (!file.valid() || ::fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode) ||
        info.st_uid != ::getuid()) {
        return UniqueFd();
    }
    // Polled rather than blocking: the wait has a limit, and no signal is
    // needed to end it.
    const Clock::time_point deadline = Clock::now() + wait;
    auto pause = std::chrono::milliseconds(2);
    for (;;) {
        if (::flock(file.get(), LOCK_EX | LOCK_NB) == 0) {
            return file;
        }
        if (errno != EWOULDBLOCK && errno != EINTR) {
            return UniqueFd();
        }
        if (Clock::now() >= deadline) {
            return UniqueFd();
        }
        std::this_thread::sleep_for(pause);
        pause = std::min(pause * 2, std::chrono::milliseconds(50));
    }
}

} // namespace zrk
