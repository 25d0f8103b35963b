// The service's walk children, driven in-process: what a child may still do
// once it talks to the printer, and the service's own bound on its time.
#include "SpoolPlist.h"
#include "VXmacServiceXPC.h"
#include "WalkSandbox.h"
#include "WalkTestSupport.h"
#include "WalkWorkers.h"

#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <functional>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace zrk {
namespace {

using namespace std::chrono_literals;

// The fields of /proc/PID/status, by name.
std::map<std::string, std::string> processStatus(pid_t pid) {
    std::map<std::string, std::string> fields;
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);) {
        const std::size_t colon = line.find(':');
        if (colon != std::string::npos) {
            const std::size_t value = line.find_first_not_of(" \t", colon + 1);
            fields[line.substr(0, colon)] = value == std::string::npos ? "" : line.substr(value);
        }
    }
    return fields;
}

// This process's children that run this program (the walk children; the
// agent runs another).
std::vector<pid_t> walkChildren() {
    std::vector<pid_t> children;
    const std::string self = processStatus(::getpid())["Name"];
    DIR* proc = ::opendir("/proc");
    for (dirent* entry = proc ? ::readdir(proc) : nullptr; entry; entry = ::readdir(proc)) {
        const pid_t pid = static_cast<pid_t>(std::atoi(entry->d_name));
        if (pid <= 0) {
            continue;
        }
        std::map<std::string, std::string> status = processStatus(pid);
        if (status["PPid"] == std::to_string(::getpid()) && status["Name"] == self) {
            children.push_back(pid);
        }
    }
    if (proc) {
        ::closedir(proc);
    }
    return children;
}

struct Reply {
    std::optional<std::string> text;
};

// Submits one walk of `agent` for root and serves the workers the way the
// service's loop does until it is answered; `during` runs at every turn.
std::string serveWalk(WalkWorkers& workers, const test::ProfileRoot& root, const std::string& agent,
                      const std::function<void()>& during = {}) {
    WalkJob job;
    job.user = "tester";
    job.paths = root.paths();
    job.arguments = test::walkArgs(agent);
    Reply reply;
    EXPECT_TRUE(workers.submit(std::move(job), 0,
                               [&reply](const std::string& text) { reply.text = text; }));
    for (auto waited = 0ms; !reply.text && waited < 20s; waited += 20ms) {
        std::vector<pollfd> fds;
        workers.addPollFds(&fds);
        ::poll(fds.data(), fds.size(), workers.pollTimeout(20));
        workers.handleReady();
        if (during) {
            during();
        }
    }
    return reply.text.value_or("(no reply)");
}

TEST(WalkChild, TalksToThePrinterWithoutRootAndWithoutMostSystemCalls) {
    test::ProfileRoot root;
    // 150 ms per answer: the child is seen in the middle of its exchanges.
    test::TestAgent agent("slow", "three-rows.txt");
    WalkWorkers workers;
    std::map<std::string, std::string> seen;
    const std::string reply = serveWalk(workers, root, agent.address(), [&] {
        if (seen.empty() && !agent.requests().empty()) {
            const std::vector<pid_t> children = walkChildren();
            if (children.size() == 1) {
                seen = processStatus(children[0]);
            }
        }
    });
    EXPECT_EQ(reply, VXmacServiceXPC::walkReply(0)) << "the walk works inside its sandbox";
    ASSERT_FALSE(seen.empty()) << "the child was seen during its walk";
    if (::geteuid() == 0) {
        std::istringstream uids(seen["Uid"]);
        std::istringstream gids(seen["Gid"]);
        for (int i = 0; i < 4; ++i) {
            long uid = 0, gid = 0;
            uids >> uid;
            gids >> gid;
            EXPECT_NE(uid, 0) << "Uid: " << seen["Uid"];
            EXPECT_NE(gid, 0) << "Gid: " << seen["Gid"];
        }
        EXPECT_EQ(seen["Groups"], "");
        EXPECT_EQ(seen["CapEff"], "0000000000000000");
    }
    EXPECT_EQ(seen["NoNewPrivs"], "1");
    EXPECT_EQ(seen["Seccomp"], "2");
}

// A host name is resolved by the child after it has given up root and
// before its system calls are narrowed.
TEST(WalkChild, ResolvesAHostName) {
    test::ProfileRoot root;
    test::TestAgent agent("normal", "three-rows.txt");
    std::string address = agent.address();
    address.replace(0, address.find(':'), "localhost");
    WalkWorkers workers;
    EXPECT_EQ(serveWalk(workers, root, address), VXmacServiceXPC::walkReply(0));
}

// The service's own bound: the slow agent needs over 3 s for its three rows,
// the workers give a child half a second.
TEST(WalkChild, PastItsTimeLimitIsKilledAndItsWalkAnsweredAsFailed) {
    test::ProfileRoot root;
    test::TestAgent agent("slow", "three-rows.txt");
    WalkWorkers workers(500ms);
    EXPECT_EQ(serveWalk(workers, root, agent.address()), VXmacServiceXPC::walkReply(1));
    EXPECT_TRUE(workers.idle());
    EXPECT_TRUE(walkChildren().empty()) << "the child is gone";
}

// What a child can still do once its system calls are narrowed: each row
// runs in a child of its own, after the same steps as a walk.
TEST(WalkChild, ForbiddenCallsFailOrKill) {
    enum class Outcome { Refused, Killed };
    struct Case {
        const char* what;
        std::function<bool()> call; // true when the call succeeded
        Outcome expected;
    };
    const Case cases[] = {
        {"opening a file", [] { return ::open("/etc/passwd", O_RDONLY) >= 0; }, Outcome::Refused},
        {"creating a file", [] { return ::open("/tmp", O_TMPFILE | O_RDWR, 0600) >= 0; },
         Outcome::Refused},
        {"making another socket", [] { return ::socket(AF_INET, SOCK_DGRAM, 0) >= 0; },
         Outcome::Killed},
        {"executing a program",
         [] {
             char* const argv[] = {const_cast<char*>("/bin/true"), nullptr};
             return ::execv("/bin/true", argv) == 0;
         },
         Outcome::Killed},
        {"writing to another descriptor", [] { return ::write(STDIN_FILENO, "x", 1) == 1; },
         Outcome::Killed},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const pid_t parent = ::getpid();
        const pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            const int socket = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
            if (socket < 0 || !dropWalkPrivileges(parent) ||
                !restrictWalkSystemCalls(socket, STDOUT_FILENO)) {
                ::_exit(2);
            }
            const bool succeeded = c.call();
            ::_exit(succeeded ? 0 : 1);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(pid, &status, 0), pid);
        if (c.expected == Outcome::Refused) {
            EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << "status " << status;
        } else {
            EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGSYS) << "status " << status;
        }
    }
}

} // namespace
} // namespace zrk
