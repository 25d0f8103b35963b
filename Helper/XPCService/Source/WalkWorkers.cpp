#include "WalkWorkers.h"

#include "MibWalk.h"
#include "SpoolPlist.h"
#include "StoreFileOps.h"
#include "StorePaths.h"
#include "WalkSandbox.h"
#include "XPCProtocol.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <syslog.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <memory>
#include <type_traits>

namespace zrk {

namespace {

// What a walk's child sends back: its result, the variables it counted and
// the spool. Plain bytes through a pipe between two copies of one program.
struct WalkOutcome {
    int32_t result = kWalkFailed;
    long counted = 0;
    ProfileList spool{};
};
static_assert(std::is_trivially_copyable_v<WalkOutcome>);

constexpr int kChildOutcomeFd = 3;

// A child ends its own walk when the walk's time is up, counted from its
// start, and sends what it received; one still running a moment later (in a
// name resolution, say) is killed.
constexpr std::chrono::seconds kKillGrace{1};

// In the child: walk, giving up root before the session opens and narrowing
// the system calls before the first message, send the outcome, end without
// running anything of the parent's (no destructors, no exit handlers). A
// step that fails ends the walk as failed before any message is sent.
[[noreturn]] void walkInChild(WalkJob& job, pid_t parent,
                              std::chrono::steady_clock::time_point started) {
    std::vector<char*> argv;
    for (std::string& argument : job.arguments) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);
    const long before = numprinted;
    // Heap, not stack: the outcome holds a 42 kB list.
    auto outcome = std::make_unique<WalkOutcome>();
    WalkSessionSteps steps;
    steps.started = started;
    steps.beforeOpen = [parent] {
        if (dropWalkPrivileges(parent)) {
            return true;
        }
        syslog(LOG_ERR, "xpc - mibwalk_XPC - the walk could not give up root; not walked");
        return false;
    };
    steps.afterOpen = [](int socket) {
        if (restrictWalkSystemCalls(socket, kChildOutcomeFd)) {
            return true;
        }
        syslog(LOG_ERR, "xpc - mibwalk_XPC - the walk's system calls could not be narrowed; "
                        "not walked");
        return false;
    };
    outcome->result = walkIntoSpool(static_cast<int>(job.arguments.size()), argv.data(), &steps);
    outcome->counted = numprinted - before;
    outcome->spool = PlistForSpool;
    const bool sent = writeAll(kChildOutcomeFd, reinterpret_cast<const char*>(outcome.get()),
                               sizeof(WalkOutcome));
    ::_exit(sent ? 0 : 1);
}

std::vector<std::string> keysOf(const WalkJob& job, uid_t caller) {
    std::vector<std::string> keys = {"file:" + job.paths.current};
    if (caller != 0) {
        keys.push_back("uid:" + std::to_string(caller));
    }
    return keys;
}

} // namespace

WalkWorkers::WalkWorkers() : WalkWorkers(kWalkTimeLimit) {}

WalkWorkers::WalkWorkers(std::chrono::milliseconds timeLimit) : timeLimit_(timeLimit) {}

WalkWorkers::~WalkWorkers() {
    for (Walk& walk : running_) {
        ::kill(walk.pid, SIGKILL);
        ::waitpid(walk.pid, nullptr, 0);
        ::close(walk.fd);
    }
}

bool WalkWorkers::submit(WalkJob job, uid_t caller, Reply reply) {
    std::vector<std::string> keys = keysOf(job, caller);
    for (const std::string& key : keys) {
        if (busy_.count(key) != 0) {
            return false;
        }
    }
    busy_.insert(keys.begin(), keys.end());
    Walk walk;
    walk.job = std::move(job);
    walk.keys = std::move(keys);
    walk.reply = std::move(reply);
    queued_.push_back(std::move(walk));
    startQueued();
    return true;
}

void WalkWorkers::startQueued() {
    while (!queued_.empty() && running_.size() < kMaxRunningWalks) {
        Walk walk = std::move(queued_.front());
        queued_.pop_front();
        if (start(walk)) {
            running_.push_back(std::move(walk));
        } else {
            // No process for it: merged here as a walk that could not start.
            walk.received.clear();
            finish(walk);
        }
    }
}

bool WalkWorkers::start(Walk& walk) {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) {
        return false;
    }
    const pid_t parent = ::getpid();
    const auto started = std::chrono::steady_clock::now();
    const pid_t pid = ::fork();
    if (pid == 0) {
        // The walk must not outlive the service, nor keep its bus connection
        // (or anything else) open: only the outcome pipe stays.
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (::getppid() != parent || ::dup2(fds[1], kChildOutcomeFd) < 0) {
            ::_exit(1);
        }
        ::close_range(kChildOutcomeFd + 1, ~0u, 0);
        walkInChild(walk.job, parent, started);
    }
    ::close(fds[1]);
    if (pid < 0) {
        ::close(fds[0]);
        return false;
    }
    ::fcntl(fds[0], F_SETFL, O_NONBLOCK);
    walk.pid = pid;
    walk.fd = fds[0];
    walk.deadline = started + timeLimit_ + kKillGrace;
    return true;
}

void WalkWorkers::addPollFds(std::vector<pollfd>* fds) const {
    for (const Walk& walk : running_) {
        fds->push_back(pollfd{walk.fd, POLLIN, 0});
    }
}

int WalkWorkers::pollTimeout(int timeout) const {
    const auto now = std::chrono::steady_clock::now();
    for (const Walk& walk : running_) {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(walk.deadline - now).count();
        const int until = left <= 0 ? 0 : static_cast<int>(std::min<long long>(left, INT32_MAX));
        if (timeout < 0 || until < timeout) {
            timeout = until;
        }
    }
    return timeout;
}

void WalkWorkers::handleReady() {
    const auto now = std::chrono::steady_clock::now();
    for (std::size_t i = 0; i < running_.size();) {
        Walk& walk = running_[i];
        bool ended = false;
        char buffer[16384];
        for (;;) {
            const ssize_t n = ::read(walk.fd, buffer, sizeof buffer);
            if (n > 0) {
                if (walk.received.size() + static_cast<std::size_t>(n) <= sizeof(WalkOutcome)) {
                    walk.received.append(buffer, static_cast<std::size_t>(n));
                }
                continue;
            }
            if (n < 0 && errno == EINTR) {
                continue;
            }
            ended = n == 0 || (errno != EAGAIN && errno != EWOULDBLOCK);
            break;
        }
        const bool overdue = !ended && now >= walk.deadline;
        if (!ended && !overdue) {
            ++i;
            continue;
        }
        if (overdue) {
            // Past its time: whatever part of the outcome it sent is dropped
            // and the walk merges as failed.
            ::kill(walk.pid, SIGKILL);
            walk.received.clear();
            syslog(LOG_ERR, "xpc - mibwalk_XPC - the walk ran past its time limit; killed");
        }
        ::close(walk.fd);
        ::waitpid(walk.pid, nullptr, 0);
        Walk done = std::move(walk);
        running_.erase(running_.begin() + static_cast<std::ptrdiff_t>(i));
        finish(done);
    }
    startQueued();
}

void WalkWorkers::finish(Walk& walk) {
    auto outcome = std::make_unique<WalkOutcome>();
    if (walk.received.size() == sizeof(WalkOutcome)) {
        std::memcpy(outcome.get(), walk.received.data(), sizeof(WalkOutcome));
    }
    // A child that ended without its outcome merges as a failed walk with
    // nothing received.
    PlistForSpool = outcome->spool;
    numprinted += outcome->counted;
    int result;
    {
        const StorePathScope scope(walk.job.paths);
        result = mergeWalkedSpool(outcome->result);
    }
    syslog(LOG_ERR, "xpc - mibwalk_XPC - iRet=%d", result);
    for (const std::string& key : walk.keys) {
        busy_.erase(key);
    }
    walk.reply(VXmacServiceXPC::walkReply(result));
}

} // namespace zrk
