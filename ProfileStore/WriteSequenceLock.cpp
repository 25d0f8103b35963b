#include "WriteSequenceLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <thread>

namespace zrk {

namespace {

using Clock = std::chrono::steady_clock;

// A directory of the real user that no one else may write in.
bool privateDirectory(const std::string& path) {
    struct stat info;
    return !path.empty() && path.front() == '/' && ::lstat(path.c_str(), &info) == 0 &&
           S_ISDIR(info.st_mode) && info.st_uid == ::getuid() && (info.st_mode & 022) == 0;
}

std::string runtimeDirectory() {
    const char* value = std::getenv("XDG_RUNTIME_DIR");
    return value != nullptr && privateDirectory(value) ? std::string(value) : std::string();
}

std::string fallbackDirectory() {
    const char* tmp = std::getenv("TMPDIR");
    std::string base = tmp != nullptr && tmp[0] == '/' ? tmp : "/tmp";
    while (base.size() > 1 && base.back() == '/') {
        base.pop_back();
    }
    const std::string path = base + "/zrk5100-" + std::to_string(::getuid());
    // mkdir never follows a link planted at the name; whatever is there must
    // then pass as this user's own private directory.
    if (::mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) {
        return {};
    }
    struct stat info;
    if (::lstat(path.c_str(), &info) != 0 || !S_ISDIR(info.st_mode) || info.st_uid != ::getuid() ||
        (info.st_mode & 077) != 0) {
        return {};
    }
    return path;
}

bool usableName(std::string_view name) {
    return !name.empty() && name != "." && name != ".." && name.find('/') == name.npos &&
           name.find('\0') == name.npos;
}

} // namespace

std::string writeLockDirectory() {
    std::string directory = runtimeDirectory();
    return directory.empty() ? fallbackDirectory() : directory;
}

UniqueFd lockWriteSequence(std::string_view user, std::string_view model,
                           std::chrono::milliseconds wait) {
    const std::string directory = writeLockDirectory();
    if (directory.empty() || !usableName(user) || !usableName(model)) {
        return UniqueFd();
    }
    const std::string path =
        directory + "/" + std::string(user) + "-" + std::string(model) + "-profile.lock";
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
