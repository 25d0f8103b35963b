// Shared pieces of the service tests: a private message bus that activates
// the built ProfileService under a temporary installation root, runs of the
// built helper (as an unprivileged caller when the tests run as root), and
// snapshots of a folder tree.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace zrk::servicetest {

// A temporary folder, removed with everything in it.
class ScratchDir {
public:
    explicit ScratchDir(bool openToEveryone = false);
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

// A dbus-daemon of its own (session type, the system bus's default policy
// plus the service's policy file) whose activation folder holds the
// service's activation file, pointed at the built ProfileService with
// ZRK5100_ROOT set to a temporary root holding the preferences folder.
// DBUS_SYSTEM_BUS_ADDRESS points at it while it lives. The daemon dies with
// the test process; the destructor also waits for the service to end and
// fails the test if a sanitizer reported anything from it.
class PrivateBus {
public:
    explicit PrivateBus(std::chrono::seconds serviceIdleExit = std::chrono::seconds(60));
    ~PrivateBus();
    PrivateBus(const PrivateBus&) = delete;
    PrivateBus& operator=(const PrivateBus&) = delete;

    const std::string& root() const { return root_.path(); }
    std::string preferences() const;
    // Whether the service's name has an owner on the bus.
    bool serviceRunning() const;
    // The process that owns the service's name, if any.
    std::optional<pid_t> servicePid() const;
    // Kills the service with SIGKILL and waits until its name is free.
    void killService();
    // What the bus and the services it started wrote to standard error.
    std::string log() const;

private:
    ScratchDir busDir_;
    ScratchDir root_;
    std::string address_;
    std::optional<std::string> previousAddress_;
    pid_t daemon_ = -1;
};

// Who the helper runs as: the test's own user, or "nobody" when the tests
// run as root (so that the service's checks see an ordinary caller).
struct Caller {
    std::optional<uid_t> switchTo;
    std::string login;
};
std::optional<Caller> unprivilegedCaller();

// Up to n callers of different UIDs: existing system accounts (not root)
// when the tests run as root, else just the test's own user.
std::vector<Caller> distinctCallers(std::size_t n);

// Resident memory of a process in KiB (VmRSS), 0 when unknown.
long residentKilobytes(pid_t pid);

// The test agent (tools/testagent/testagent.py) on 127.0.0.1 serving a row
// file of tests/Walk/fixtures; it ends with the test process at the latest.
class AgentProcess {
public:
    AgentProcess(const std::string& mode, const std::string& rowsFixture);
    ~AgentProcess();
    AgentProcess(const AgentProcess&) = delete;
    AgentProcess& operator=(const AgentProcess&) = delete;
    std::string address() const { return "127.0.0.1:" + std::to_string(port_); }
    // GETNEXT and GET requests received so far (retransmissions included).
    std::size_t requestCount() const;

private:
    ScratchDir dir_;
    pid_t pid_ = -1;
    int port_ = 0;
};

struct HelperResult {
    std::string output;
    int exitStatus = -1; // -1 when it did not exit normally
};

// Runs the built helper with the arguments after argv[0].
HelperResult runHelper(const std::vector<std::string>& arguments, const Caller& caller);

// Every entry under a folder: relative path -> contents ("<dir>" for
// folders, "<link>" and the target for links).
std::map<std::string, std::string> snapshot(const std::string& folder);

std::string readFile(const std::string& path);
void writeFile(const std::string& path, const std::string& text);
bool exists(const std::string& path);

} // namespace zrk::servicetest
