// libFuzzer target: any sequence of (method, request text) pairs through the
// service's eight request handlers, against a temporary installation root.
// What must hold whatever the requests say: nothing outside the preferences
// directory (and net-snmp's own state folder of the service) is created,
// changed or removed, and an ordinary caller never changes another user's
// files inside it.
//
// Input: a first byte choosing the caller (root or "nobody") and which
// profile files are planted as links to a file outside the directory; then
// records of one method byte and the request text up to the next NUL byte.
// "%R" in a request stands for the installation root, so that seeds and the
// dictionary can name the files of this process's root.
//
// Walks run in a network namespace of their own with no interface up, so no
// request reaches any address; where the namespace cannot be made, walk
// requests are skipped.
#include "InstallRoot.h"
#include "SnmpEnvironment.h"
#include "VXmacServiceXPC.h"

#include <pwd.h>
#include <sched.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <system_error>

namespace {

namespace fs = std::filesystem;

using Method = std::string (zrk::VXmacServiceXPC::*)(const std::string&) const;

constexpr Method kMethods[] = {
    &zrk::VXmacServiceXPC::vxPListIsAdminProfile_XPC,
    &zrk::VXmacServiceXPC::vxPListSwapProfile_XPC,
    &zrk::VXmacServiceXPC::vxPListExistProfile_XPC,
    &zrk::VXmacServiceXPC::vxPListRemove_XPC,
    &zrk::VXmacServiceXPC::writeDictionaryToPlistFile_XPC,
    &zrk::VXmacServiceXPC::writeDataToPlistFile_XPC,
    &zrk::VXmacServiceXPC::writeDataToPlistFileRename_XPC,
    &zrk::VXmacServiceXPC::mibwalk_XPC,
};
constexpr size_t kMethodCount = sizeof kMethods / sizeof kMethods[0];
constexpr size_t kWalkMethod = 7;
constexpr size_t kMaxRequests = 8;

struct Process {
    std::string root;
    std::string prefs;
    std::string outside;
    uid_t nobody = 0;
    std::string snmp;
    bool walksIsolated = false;
};

Process* gProcess = nullptr;

[[noreturn]] void finding(const std::string& what) {
    std::fprintf(stderr, "fuzz finding: %s\n", what.c_str());
    std::fflush(stderr);
    std::abort();
}

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

void writeFile(const fs::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}

// Every entry under the root outside the preferences directory, and (for an
// ordinary caller) the entries inside it that belong to another user.
std::map<std::string, std::string> guarded(const Process& p, bool otherUsersToo) {
    std::map<std::string, std::string> entries;
    std::error_code error;
    for (auto it = fs::recursive_directory_iterator(p.root, error);
         it != fs::recursive_directory_iterator(); it.increment(error)) {
        if (error)
            finding("cannot list the installation root: " + error.message());
        const fs::path path = it->path();
        const std::string name = path.string();
        if (name == p.snmp) {
            it.disable_recursion_pending();
            continue;
        }
        const bool inPrefs = name.compare(0, p.prefs.size(), p.prefs) == 0;
        if (inPrefs) {
            const std::string file = path.filename().string();
            if (!otherUsersToo || file.compare(0, 15, "nobody-zrk5100-") == 0)
                continue;
        }
        struct stat info {};
        ::lstat(name.c_str(), &info);
        std::string description =
            std::to_string(info.st_mode) + ":" + std::to_string(info.st_uid) + ":";
        if (it->is_symlink())
            description += "<link>" + fs::read_symlink(path).string();
        else if (it->is_directory())
            description += "<dir>";
        else
            description += readFile(path);
        entries[name] = description;
    }
    return entries;
}

// The preferences directory as each run starts: the caller's files, another
// user's, and optionally links planted where the caller's files belong.
void resetPreferences(const Process& p, uint8_t links) {
    std::error_code ignored;
    fs::remove_all(p.prefs, ignored);
    fs::create_directories(p.prefs);
    const std::string current = p.prefs + "nobody-zrk5100-profile.plist";
    const std::string backup = p.prefs + "nobody-zrk5100-profile.prev.plist";
    const char* kProfile = "<?xml version=\"1.0\"?><plist version=\"1.0\"><dict/></plist>";
    writeFile(p.prefs + "root-zrk5100-profile.plist", kProfile);
    writeFile(p.prefs + "root-zrk5100-profile.prev.plist", kProfile);
    writeFile(p.prefs + "nobody-x-zrk5100-profile.plist", kProfile);
    const std::string names[] = {current, backup, current + ".dummy"};
    for (int i = 0; i < 3; ++i) {
        if (links & (1u << i))
            fs::create_symlink(p.outside, names[i]);
        else if (i < 2)
            writeFile(names[i], kProfile);
    }
}

void isolateNetwork(Process& p) {
    // A namespace of its own has only a loopback interface, and it is down.
    p.walksIsolated = ::unshare(CLONE_NEWNET) == 0;
    if (!p.walksIsolated)
        std::fprintf(stderr, "no network namespace of our own: walk requests are skipped\n");
}

std::string substituteRoot(std::string text, const std::string& root) {
    for (size_t at = text.find("%R"); at != std::string::npos; at = text.find("%R", at)) {
        text.replace(at, 2, root);
        at += root.size();
    }
    return text;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    static Process p;
    // The service fsyncs what it writes: where a folder in memory exists,
    // the root goes there so that the requests never wait on a disk.
    const char* tmp = std::getenv("TMPDIR");
    std::string parent = ::access("/dev/shm", W_OK | X_OK) == 0 ? "/dev/shm"
                         : tmp && tmp[0]                        ? tmp
                                                                : "/tmp";
    std::string pattern = parent + "/zrk-fuzz-service-XXXXXX";
    if (!::mkdtemp(pattern.data()))
        finding("cannot make the installation root");
    p.root = pattern;
    ::setenv(zrk::kInstallRootVariable, p.root.c_str(), 1);
    // The service's own net-snmp folder under the root, made as the service
    // makes it before its first walk.
    p.snmp = zrk::prepareSnmpEnvironment();
    p.prefs = p.root + std::string(zrk::kPreferencesDirectory);
    p.outside = p.root + "/Library/Printers/Ostra/outside.plist";
    fs::create_directories(p.prefs);
    writeFile(p.outside, "<?xml outside the preferences directory");
    const passwd* nobody = ::getpwnam("nobody");
    if (!nobody || nobody->pw_uid == 0)
        finding("no unprivileged user \"nobody\"");
    p.nobody = nobody->pw_uid;
    isolateNetwork(p);
    gProcess = &p;
    std::atexit([] {
        std::error_code ignored;
        fs::remove_all(gProcess->root, ignored);
    });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    Process& p = *gProcess;
    const bool asRoot = data[0] & 0x80;
    resetPreferences(p, data[0] & 0x07);
    const std::map<std::string, std::string> before = guarded(p, !asRoot);

    const zrk::VXmacServiceXPC service(asRoot ? 0 : p.nobody);
    size_t at = 1;
    for (size_t n = 0; n < kMaxRequests && at < size; ++n) {
        const size_t method = data[at++] % kMethodCount;
        size_t end = at;
        while (end < size && data[end] != 0)
            ++end;
        const std::string request =
            substituteRoot(std::string(reinterpret_cast<const char*>(data + at), end - at), p.root);
        at = end + 1;
        if (method == kWalkMethod && !p.walksIsolated)
            continue;
        (service.*kMethods[method])(request);
    }

    const std::map<std::string, std::string> after = guarded(p, !asRoot);
    if (after != before) {
        for (const auto& [name, text] : after) {
            auto old = before.find(name);
            if (old == before.end())
                std::fprintf(stderr, "created: %s\n", name.c_str());
            else if (old->second != text)
                std::fprintf(stderr, "changed: %s\n", name.c_str());
        }
        for (const auto& [name, text] : before) {
            if (after.find(name) == after.end())
                std::fprintf(stderr, "removed: %s\n", name.c_str());
        }
        finding("a request touched something it must not");
    }
    return 0;
}
