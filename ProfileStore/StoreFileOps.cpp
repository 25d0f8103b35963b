// File steps of the privileged operations.
#include "StoreFileOps.h"

#include "UniqueFd.h"

#include "VXPList.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <vector>

namespace zrk {

bool writeAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        ssize_t n = ::write(fd, data, size);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

namespace {

constexpr mode_t kProfileFileMode = 0664;
constexpr std::size_t kCopyBlockSize = 65535;

int openRetrying(const char* path, int flags, mode_t mode = 0) {
    int fd;
    do {
        fd = ::open(path, flags | O_CLOEXEC, mode);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

std::string directoryOf(const std::string& path) {
    std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

void backUp(const std::string& currentPath, const std::string& backupPath) {
    ::unlink(backupPath.c_str());
    // Only a plain file is copied: no symbolic link planted in its place is
    // followed. (A second hard link is harmless: only root makes names in the
    // preferences directory.)
    UniqueFd current(openRetrying(currentPath.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW));
    struct stat info {};
    if (current.valid() && (::fstat(current.get(), &info) != 0 || !S_ISREG(info.st_mode))) {
        current.reset();
    }
    // The backup is created even when the current file cannot be opened.
    UniqueFd backup(openRetrying(backupPath.c_str(), O_RDWR | O_APPEND | O_CREAT | O_NOFOLLOW,
                                 kProfileFileMode));
    if (!current.valid() || !backup.valid()) {
        return;
    }
    std::vector<char> block(kCopyBlockSize);
    for (;;) {
        ssize_t n = ::read(current.get(), block.data(), block.size());
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0 || !writeAll(backup.get(), block.data(), static_cast<std::size_t>(n))) {
            break;
        }
    }
    ::fsync(backup.get());
}

} // namespace

bool probeWritable(const std::string& path) {
    ::umask(002);
    // Opening without O_CREAT first tells whether the file existed, so the
    // probe never removes a file that someone else created meanwhile.
    UniqueFd file(openRetrying(path.c_str(), O_RDWR | O_APPEND | O_NOFOLLOW | O_NONBLOCK));
    if (file.valid()) {
        return true;
    }
    if (errno != ENOENT) {
        return false;
    }
    UniqueFd created(openRetrying(path.c_str(), O_RDWR | O_APPEND | O_CREAT | O_EXCL | O_NOFOLLOW,
                                  kProfileFileMode));
    if (!created.valid()) {
        return false;
    }
    created.reset();
    ::unlink(path.c_str());
    return true;
}

bool fileOpensForReading(const std::string& path) {
    UniqueFd file(openRetrying(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW));
    return file.valid();
}

bool removeFile(const std::string& path) {
    return std::remove(path.c_str()) == 0;
}

void swapProfileFiles(int32_t type, const std::string& currentPath, const std::string& backupPath) {
    switch (type) {
    case kSwapBackup:
        backUp(currentPath, backupPath);
        break;
    case kSwapDiscard:
        ::unlink(backupPath.c_str());
        break;
    case kSwapRestore:
        // One rename: without a backup nothing changes.
        ::rename(backupPath.c_str(), currentPath.c_str());
        break;
    default:
        break;
    }
}

bool writeFileAtomically(const std::string& path, std::string_view data) {
    std::string temporary = path + ".XXXXXX";
    UniqueFd file(::mkostemp(temporary.data(), O_CLOEXEC));
    if (!file.valid()) {
        return false;
    }
    bool written = ::fchmod(file.get(), kProfileFileMode) == 0 &&
                   writeAll(file.get(), data.data(), data.size()) && ::fsync(file.get()) == 0;
    file.reset();
    if (!written || ::rename(temporary.c_str(), path.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return false;
    }
    // The rename itself is durable once the directory is flushed.
    UniqueFd directory(openRetrying(directoryOf(path).c_str(), O_RDONLY | O_DIRECTORY));
    if (directory.valid()) {
        ::fsync(directory.get());
    }
    return true;
}

namespace {

bool keptInURLPath(unsigned char c) {
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')) {
        return true;
    }
    switch (c) {
    case '-':
    case '.':
    case '_':
    case '~':
    case '/':
    case '!':
    case '$':
    case '&':
    case '\'':
    case '(':
    case ')':
    case '*':
    case '+':
    case ',':
    case ';':
    case '=':
    case ':':
    case '@':
        return true;
    default:
        return false;
    }
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    return -1;
}

} // namespace

std::string fileURLFromPath(std::string_view path) {
    static const char digits[] = "0123456789ABCDEF";
    std::string url = "file://";
    for (char ch : path) {
        auto c = static_cast<unsigned char>(ch);
        if (keptInURLPath(c)) {
            url += ch;
        } else {
            url += '%';
            url += digits[c >> 4];
            url += digits[c & 0xF];
        }
    }
    return url;
}

bool pathFromFileURL(std::string_view url, std::string* path) {
    constexpr std::string_view scheme = "file://";
    constexpr std::string_view localhost = "localhost";
    if (path == nullptr || url.substr(0, scheme.size()) != scheme) {
        return false;
    }
    url.remove_prefix(scheme.size());
    if (url.substr(0, localhost.size()) == localhost) {
        url.remove_prefix(localhost.size());
    }
    if (url.empty() || url.front() != '/') {
        return false;
    }
    std::string decoded;
    for (std::size_t i = 0; i < url.size(); ++i) {
        char c = url[i];
        if (c == '?' || c == '#') {
            return false; // a file path carries no query or fragment
        }
        if (c != '%') {
            decoded += c;
            continue;
        }
        if (i + 2 >= url.size()) {
            return false;
        }
        int high = hexValue(url[i + 1]);
        int low = hexValue(url[i + 2]);
        if (high < 0 || low < 0 || (high == 0 && low == 0)) {
            return false;
        }
        decoded += static_cast<char>(high * 16 + low);
        i += 2;
    }
    *path = std::move(decoded);
    return true;
}

} // namespace zrk
