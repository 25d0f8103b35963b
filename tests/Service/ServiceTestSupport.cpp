#include "ServiceTestSupport.h"

#include "InstallRoot.h"
#include "XPCProtocol.h"

#include <sdbus-c++/sdbus-c++.h>

#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <stdexcept>
#include <thread>

namespace zrk::servicetest {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

constexpr const char* kBusAddressVariable = "DBUS_SYSTEM_BUS_ADDRESS";
constexpr const char* kDbusDaemon = "/usr/bin/dbus-daemon";

// Starts a program whose standard output goes into a pipe; the child dies
// with this process. `prepare` runs in the child before exec.
template <typename Prepare>
pid_t startChild(const std::vector<std::string>& argv, int* readEnd, int stderrFd,
                 Prepare prepare) {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) {
        throw std::runtime_error("pipe failed");
    }
    std::vector<char*> args;
    for (const std::string& a : argv) {
        args.push_back(const_cast<char*>(a.c_str()));
    }
    args.push_back(nullptr);
    const pid_t parent = ::getpid();
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (::getppid() != parent || ::dup2(fds[1], STDOUT_FILENO) < 0 ||
            (stderrFd >= 0 && ::dup2(stderrFd, STDERR_FILENO) < 0) || !prepare()) {
            ::_exit(127);
        }
        ::execv(args[0], args.data());
        ::_exit(127);
    }
    ::close(fds[1]);
    if (pid < 0) {
        ::close(fds[0]);
        throw std::runtime_error("fork failed");
    }
    *readEnd = fds[0];
    return pid;
}

std::string readAll(int fd) {
    std::string out;
    char buffer[4096];
    ssize_t n;
    while ((n = ::read(fd, buffer, sizeof buffer)) > 0 || (n < 0 && errno == EINTR)) {
        if (n > 0) {
            out.append(buffer, static_cast<std::size_t>(n));
        }
    }
    return out;
}

bool processGone(pid_t pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string text;
    std::getline(stat, text);
    const std::size_t paren = text.rfind(')');
    // Gone, or a zombie nobody reaps any more.
    return !stat || paren == std::string::npos || paren + 2 >= text.size() ||
           text[paren + 2] == 'Z';
}

void replace(std::string& text, const std::string& placeholder, const std::string& value) {
    text.replace(text.find(placeholder), placeholder.size(), value);
}

std::string busConfig(const std::string& busDir, const std::string& socket) {
    std::string config = readFile(ZRK_SOURCE_DIR "/tests/Service/fixtures/private-bus.conf.in");
    replace(config, "@SOCKET@", socket);
    replace(config, "@SERVICEDIR@", busDir + "/services");
    replace(config, "@POLICY@",
            ZRK_SOURCE_DIR "/Helper/XPCService/dbus/system.d/com.ostra.ZR-K5100.conf");
    std::string owner;
    if (const passwd* me = ::getpwuid(::geteuid()); me != nullptr && ::geteuid() != 0) {
        owner = std::string("<policy user=\"") + me->pw_name + "\"><allow own=\"" +
                helper::kServiceName + "\"/></policy>";
    }
    replace(config, "@OWNER@", owner);
    return config;
}

} // namespace

ScratchDir::ScratchDir(bool openToEveryone) {
    std::string pattern = (fs::temp_directory_path() / "zrk-service-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("mkdtemp failed");
    }
    path_ = pattern;
    if (openToEveryone) {
        ::chmod(path_.c_str(), 0755);
    }
}

ScratchDir::~ScratchDir() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
}

PrivateBus::PrivateBus(std::chrono::seconds serviceIdleExit) : busDir_(true) {
    const std::string socket = busDir_.path() + "/bus";
    address_ = "unix:path=" + socket;
    fs::create_directories(preferences());
    fs::create_directories(busDir_.path() + "/services");
    writeFile(busDir_.path() + "/bus.conf", busConfig(busDir_.path(), socket));

    // The installed activation file, with Exec pointed at the built service.
    std::string activation = readFile(ZRK_SOURCE_DIR "/Helper/XPCService/dbus/system-services/"
                                                     "com.ostra.ZR-K5100.service.in");
    const std::string exec = std::string("/usr/bin/env ") + kInstallRootVariable + "=" +
                             root_.path() + " " + kBusAddressVariable + "=" + address_ + " " +
                             ZRK_PROFILE_SERVICE + " --idle-exit " +
                             std::to_string(serviceIdleExit.count());
    replace(activation, "@ZRK_SERVICE_EXEC@", exec);
    writeFile(busDir_.path() + "/services/com.ostra.ZR-K5100.service", activation);

    const int log = ::open((busDir_.path() + "/daemon.log").c_str(),
                           O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    int fd = -1;
    daemon_ = startChild({kDbusDaemon, "--config-file=" + busDir_.path() + "/bus.conf", "--nofork",
                          "--print-address=1"},
                         &fd, log, [] { return true; });
    ::close(log);
    // The address line says the daemon listens.
    std::string line;
    for (char c; ::read(fd, &c, 1) == 1 && c != '\n';) {
        line += c;
    }
    ::close(fd);
    if (line.empty()) {
        ::kill(daemon_, SIGKILL);
        ::waitpid(daemon_, nullptr, 0);
        throw std::runtime_error("the private dbus-daemon did not start");
    }
    if (const char* old = std::getenv(kBusAddressVariable)) {
        previousAddress_ = old;
    }
    ::setenv(kBusAddressVariable, address_.c_str(), 1);
}

PrivateBus::~PrivateBus() {
    const std::optional<pid_t> service = servicePid();
    ::kill(daemon_, SIGTERM);
    ::waitpid(daemon_, nullptr, 0);
    // Without its bus the service ends by itself.
    for (auto waited = 0ms; service && !processGone(*service); waited += 20ms) {
        if (waited > 5s) {
            ADD_FAILURE() << "the service did not end with its bus";
            ::kill(*service, SIGKILL);
            break;
        }
        std::this_thread::sleep_for(20ms);
    }
    if (previousAddress_) {
        ::setenv(kBusAddressVariable, previousAddress_->c_str(), 1);
    } else {
        ::unsetenv(kBusAddressVariable);
    }
    const std::string log = readFile(busDir_.path() + "/daemon.log");
    for (const char* report : {"Sanitizer", "runtime error"}) {
        EXPECT_EQ(log.find(report), std::string::npos) << "bus and service log:\n" << log;
    }
}

std::string PrivateBus::log() const {
    return readFile(busDir_.path() + "/daemon.log");
}

std::string PrivateBus::preferences() const {
    return root_.path() + std::string(kPreferencesDirectory);
}

namespace {

std::unique_ptr<sdbus::IProxy> busDriver(sdbus::IConnection& connection) {
    return sdbus::createProxy(connection, "org.freedesktop.DBus", "/org/freedesktop/DBus");
}

} // namespace

bool PrivateBus::serviceRunning() const {
    auto connection = sdbus::createSessionBusConnectionWithAddress(address_);
    bool owned = false;
    busDriver(*connection)
        ->callMethod("NameHasOwner")
        .onInterface("org.freedesktop.DBus")
        .withArguments(std::string(helper::kServiceName))
        .storeResultsTo(owned);
    return owned;
}

std::optional<pid_t> PrivateBus::servicePid() const {
    try {
        auto connection = sdbus::createSessionBusConnectionWithAddress(address_);
        uint32_t pid = 0;
        busDriver(*connection)
            ->callMethod("GetConnectionUnixProcessID")
            .onInterface("org.freedesktop.DBus")
            .withArguments(std::string(helper::kServiceName))
            .storeResultsTo(pid);
        return static_cast<pid_t>(pid);
    } catch (const sdbus::Error&) {
        return std::nullopt; // not running
    }
}

void PrivateBus::killService() {
    if (const std::optional<pid_t> pid = servicePid()) {
        ::kill(*pid, SIGKILL);
        for (auto waited = 0ms; !processGone(*pid) && waited < 5s; waited += 5ms) {
            std::this_thread::sleep_for(5ms);
        }
    }
    for (auto waited = 0ms; serviceRunning() && waited < 5s; waited += 5ms) {
        std::this_thread::sleep_for(5ms);
    }
}

std::vector<Caller> distinctCallers(std::size_t n) {
    std::vector<Caller> callers;
    if (::geteuid() != 0) {
        if (std::optional<Caller> me = unprivilegedCaller()) {
            callers.push_back(*me);
        }
        return callers;
    }
    std::set<uid_t> seen;
    ::setpwent();
    while (const passwd* entry = ::getpwent()) {
        if (callers.size() == n) {
            break;
        }
        if (entry->pw_uid == 0 || !seen.insert(entry->pw_uid).second ||
            ::getpwuid(entry->pw_uid) == nullptr) {
            continue;
        }
        callers.push_back(Caller{entry->pw_uid, entry->pw_name});
    }
    ::endpwent();
    // The name each UID looks up as, which is the name the plug-in uses.
    for (Caller& c : callers) {
        c.login = ::getpwuid(*c.switchTo)->pw_name;
    }
    return callers;
}

long residentKilobytes(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmRSS:", 0) == 0) {
            return std::atol(line.c_str() + 6);
        }
    }
    return 0;
}

AgentProcess::AgentProcess(const std::string& mode, const std::string& rowsFixture) {
    int fd = -1;
    pid_ = startChild({"/usr/bin/python3", ZRK_SOURCE_DIR "/tools/testagent/testagent.py", "--rows",
                       ZRK_SOURCE_DIR "/tests/Walk/fixtures/" + rowsFixture, "--mode", mode,
                       "--lifetime", "300", "--record", dir_.path() + "/requests.txt"},
                      &fd, -1, [] { return true; });
    std::string line;
    for (char c; ::read(fd, &c, 1) == 1 && c != '\n';) {
        line += c;
    }
    ::close(fd);
    port_ = std::atoi(line.c_str());
    if (port_ <= 0) {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
        throw std::runtime_error("the test agent did not start");
    }
}

AgentProcess::~AgentProcess() {
    ::kill(pid_, SIGTERM);
    ::waitpid(pid_, nullptr, 0);
}

std::size_t AgentProcess::requestCount() const {
    std::ifstream in(dir_.path() + "/requests.txt");
    std::size_t count = 0;
    for (std::string line; std::getline(in, line);) {
        ++count;
    }
    return count;
}

std::optional<Caller> unprivilegedCaller() {
    if (::geteuid() != 0) {
        const passwd* me = ::getpwuid(::geteuid());
        return me ? std::optional<Caller>(Caller{std::nullopt, me->pw_name}) : std::nullopt;
    }
    const passwd* nobody = ::getpwnam("nobody");
    if (nobody == nullptr || nobody->pw_uid == 0) {
        return std::nullopt;
    }
    return Caller{nobody->pw_uid, "nobody"};
}

HelperResult runHelper(const std::vector<std::string>& arguments, const Caller& caller) {
    std::vector<std::string> argv = {ZRK_HELPER};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    gid_t gid = 0;
    if (caller.switchTo) {
        const passwd* user = ::getpwuid(*caller.switchTo);
        if (user == nullptr) {
            throw std::runtime_error("no such user");
        }
        gid = user->pw_gid;
    }
    int fd = -1;
    const pid_t pid = startChild(argv, &fd, -1, [&caller, gid] {
        return !caller.switchTo || (::setgroups(0, nullptr) == 0 && ::setgid(gid) == 0 &&
                                    ::setuid(*caller.switchTo) == 0);
    });
    HelperResult result;
    result.output = readAll(fd);
    ::close(fd);
    int status = 0;
    ::waitpid(pid, &status, 0);
    result.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

std::map<std::string, std::string> snapshot(const std::string& folder) {
    std::map<std::string, std::string> entries;
    for (const auto& e : fs::recursive_directory_iterator(folder)) {
        const std::string name = fs::relative(e.path(), folder).string();
        if (e.is_symlink()) {
            entries[name] = "<link>" + fs::read_symlink(e.path()).string();
        } else if (e.is_directory()) {
            entries[name] = "<dir>";
        } else {
            entries[name] = readFile(e.path().string());
        }
    }
    return entries;
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

void writeFile(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}

bool exists(const std::string& path) {
    struct stat info;
    return ::lstat(path.c_str(), &info) == 0;
}

} // namespace zrk::servicetest
