// Who the service takes a caller for: the user the bus authenticated for the
// connection, whatever has become of the process that opened it and whatever
// its real and effective UIDs were. Run as root (the tests take a process id
// for a root process and switch users); skipped otherwise.
#include "HelperMethods.h"
#include "ServiceTestSupport.h"

#include <systemd/sd-bus.h>

#include <grp.h>
#include <linux/sched.h>
#include <pwd.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/syscall.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <fstream>

namespace zrk::servicetest {
namespace {

// The private bus's socket, from the address PrivateBus publishes.
std::string busSocketPath() {
    const std::string address = std::getenv("DBUS_SYSTEM_BUS_ADDRESS");
    const std::string prefix = "unix:path=";
    return address.rfind(prefix, 0) == 0 ? address.substr(prefix.size()) : std::string();
}

int connectTo(const std::string& path) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
    if (fd < 0 || ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        if (fd >= 0) {
            ::close(fd);
        }
        return -1;
    }
    return fd;
}

using Request = std::pair<std::string, std::string>; // method, request string

// The service's replies to requests sent through a bus connection on a
// socket that is connected already (the bus authenticates whoever
// connected it), one line each; "<error>" for a request that got none.
std::string callThrough(int fd, const std::vector<Request>& requests) {
    sd_bus* bus = nullptr;
    if (sd_bus_new(&bus) < 0 || sd_bus_set_fd(bus, fd, fd) < 0 ||
        sd_bus_set_bus_client(bus, 1) < 0 || sd_bus_start(bus) < 0) {
        sd_bus_unref(bus);
        return "<no connection>\n";
    }
    std::string replies;
    for (const auto& [method, request] : requests) {
        sd_bus_error error = SD_BUS_ERROR_NULL;
        sd_bus_message* reply = nullptr;
        const char* text = nullptr;
        if (sd_bus_call_method(bus, helper::kServiceName, helper::kObjectPath,
                               helper::kInterfaceName, method.c_str(), &error, &reply, "s",
                               request.c_str()) >= 0 &&
            sd_bus_message_read(reply, "s", &text) >= 0) {
            replies += std::string(text) + "\n";
        } else {
            replies += "<error>\n";
        }
        sd_bus_message_unref(reply);
        sd_bus_error_free(&error);
    }
    sd_bus_flush_close_unref(bus);
    return replies;
}

// Switches the calling process to the user, real and effective UIDs apart
// when realUid says so.
bool becomeUser(uid_t uid, uid_t realUid) {
    const passwd* user = ::getpwuid(uid);
    return user != nullptr && ::setgroups(0, nullptr) == 0 &&
           ::setresgid(user->pw_gid, user->pw_gid, user->pw_gid) == 0 &&
           ::setresuid(realUid, uid, realUid) == 0;
}

std::string readAllFrom(int fd) {
    std::string out;
    char buffer[256];
    for (ssize_t n; (n = ::read(fd, buffer, sizeof buffer)) != 0;) {
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            break;
        }
        out.append(buffer, static_cast<std::size_t>(n));
    }
    return out;
}

// A root process under exactly the given id (clone3 with set_tid), which
// waits until it is killed. -1 when the id could not be had.
pid_t rootProcessWithId(pid_t id) {
    clone_args args{};
    args.exit_signal = SIGCHLD;
    pid_t wanted = id;
    args.set_tid = reinterpret_cast<std::uint64_t>(&wanted);
    args.set_tid_size = 1;
    const long pid = ::syscall(SYS_clone3, &args, sizeof args);
    if (pid == 0) {
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        for (;;) {
            ::pause();
        }
    }
    return pid == id ? static_cast<pid_t>(pid) : -1;
}

uid_t realUidOf(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("Uid:", 0) == 0) {
            return static_cast<uid_t>(std::strtoul(line.c_str() + 4, nullptr, 10));
        }
    }
    return static_cast<uid_t>(-1);
}

class CallerIdentity : public ::testing::Test {
protected:
    void SetUp() override {
        std::optional<Caller> c = unprivilegedCaller();
        if (::geteuid() != 0 || !c || !c->switchTo) {
            GTEST_SKIP() << "needs root and an unprivileged user";
        }
        caller = *c;
        bus = std::make_unique<PrivateBus>();
        own = bus->preferences() + caller.login + "-zrk5100-profile.plist";
        other = bus->preferences() + "root-zrk5100-profile.plist";
        writeFile(own, "mine");
        writeFile(other, "theirs");
        // Root's file is asked for removal, the caller's own for existence:
        // the one refused and the other answered show whom the service took
        // the connection for.
        requests = {{"vxPListRemove_XPC", other},
                    {"writeDictionaryToPlistFile_XPC", "file://" + other + ":AddURL:END<?xml x"},
                    {"vxPListExistProfile_XPC", own}};
    }

    static constexpr const char* kRepliesOfTheCaller = "FALSE\nFALSE\nTRUE\n";

    Caller caller;
    std::unique_ptr<PrivateBus> bus;
    std::string own, other;
    std::vector<Request> requests;
};

// The attack: a user's process connects to the bus and exits, leaving the
// connection to a process of its own; a root process then gets the first
// process's id. The requests through the connection are still the user's.
TEST_F(CallerIdentity, AConnectionWhoseOpenerExitedKeepsItsUser) {
    int go[2];
    int result[2];
    ASSERT_EQ(::pipe(go), 0);
    ASSERT_EQ(::pipe(result), 0);
    const std::string socket = busSocketPath();
    const pid_t opener = ::fork();
    if (opener == 0) {
        ::close(go[1]);
        ::close(result[0]);
        const int fd = becomeUser(*caller.switchTo, *caller.switchTo) ? connectTo(socket) : -1;
        if (fd < 0) {
            ::_exit(1);
        }
        if (::fork() == 0) {
            // The descendant: waits until the opener's id is root's, then
            // sends through the opener's connection.
            char byte;
            if (::read(go[0], &byte, 1) != 1) {
                ::_exit(1);
            }
            const std::string replies = callThrough(fd, requests);
            ::_exit(::write(result[1], replies.data(), replies.size()) < 0 ? 1 : 0);
        }
        ::_exit(0);
    }
    ::close(go[0]);
    ::close(result[1]);
    ASSERT_GT(opener, 0);
    int status = 0;
    ASSERT_EQ(::waitpid(opener, &status, 0), opener);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);

    const pid_t impostor = rootProcessWithId(opener);
    ASSERT_EQ(impostor, opener) << "the opener's id could not be taken: " << std::strerror(errno);
    EXPECT_EQ(realUidOf(opener), 0u) << "the opener's id now belongs to root";
    ASSERT_EQ(::write(go[1], "g", 1), 1);
    ::close(go[1]);
    const std::string replies = readAllFrom(result[0]);
    ::close(result[0]);
    ::kill(impostor, SIGKILL);
    ::waitpid(impostor, nullptr, 0);

    EXPECT_EQ(replies, kRepliesOfTheCaller);
    EXPECT_EQ(readFile(other), "theirs");
}

// A process whose real UID is root's and whose effective UID is the user's
// connects as the user, and is the user to the service.
TEST_F(CallerIdentity, RealAndEffectiveUidsApartCountAsTheBusSays) {
    int result[2];
    ASSERT_EQ(::pipe(result), 0);
    const std::string socket = busSocketPath();
    const pid_t process = ::fork();
    if (process == 0) {
        ::close(result[0]);
        const int fd = becomeUser(*caller.switchTo, 0) ? connectTo(socket) : -1;
        if (fd < 0) {
            ::_exit(1);
        }
        const std::string replies = callThrough(fd, requests);
        ::_exit(::write(result[1], replies.data(), replies.size()) < 0 ? 1 : 0);
    }
    ::close(result[1]);
    ASSERT_GT(process, 0);
    const std::string replies = readAllFrom(result[0]);
    ::close(result[0]);
    int status = 0;
    ::waitpid(process, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(replies, kRepliesOfTheCaller);
    EXPECT_EQ(readFile(other), "theirs");
}

} // namespace
} // namespace zrk::servicetest
