// Launching the helper tool with posix_spawn: no shell, no search path.
#include "HelperLauncher.h"

#include "UniqueFd.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

extern char** environ;

namespace zrk {

namespace {

using Clock = std::chrono::steady_clock;

// While no exit notification descriptor is available the loop looks at the
// child this often.
constexpr int kExitPollMilliseconds = 10;

// Appends what the pipe holds; false at end of file. Output past the bound is
// read and dropped so the child never blocks on a full pipe.
bool readAvailable(int fd, std::string* output) {
    char buffer[4096];
    for (;;) {
        ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n == 0) {
            return false;
        }
        if (n < 0) {
            return errno == EAGAIN || errno == EWOULDBLOCK;
        }
        std::size_t room = kMaxHelperOutput - std::min(kMaxHelperOutput, output->size());
        output->append(buffer, std::min(room, static_cast<std::size_t>(n)));
    }
}

enum class ChildState { Running, Exited, Gone };

// Looks without reaping, so the process group id cannot be reused while the
// group is being ended.
ChildState childState(pid_t pid) {
    siginfo_t info{};
    int r;
    do {
        r = ::waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOHANG | WNOWAIT);
    } while (r < 0 && errno == EINTR);
    if (r < 0) {
        return ChildState::Gone; // reaped elsewhere (SIGCHLD ignored)
    }
    return info.si_pid == pid ? ChildState::Exited : ChildState::Running;
}

void killAndReap(pid_t pid) {
    ::kill(-pid, SIGKILL); // the helper's whole process group
    ::kill(pid, SIGKILL);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
}

int openExitDescriptor(pid_t pid) {
#ifdef SYS_pidfd_open
    return static_cast<int>(::syscall(SYS_pidfd_open, pid, 0));
#else
    (void)pid;
    return -1;
#endif
}

struct SpawnSetup {
    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attributes;
    bool actionsReady = false;
    bool attributesReady = false;
    ~SpawnSetup() {
        if (actionsReady) {
            posix_spawn_file_actions_destroy(&actions);
        }
        if (attributesReady) {
            posix_spawnattr_destroy(&attributes);
        }
    }
};

} // namespace

HelperRun runHelper(const std::string& launchPath, const std::vector<std::string>& arguments,
                    std::chrono::milliseconds timeLimit) {
    HelperRun run;
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) {
        return run;
    }
    UniqueFd readEnd(fds[0]);
    UniqueFd writeEnd(fds[1]);

    SpawnSetup setup;
    if (posix_spawn_file_actions_init(&setup.actions) != 0) {
        return run;
    }
    setup.actionsReady = true;
    if (posix_spawnattr_init(&setup.attributes) != 0) {
        return run;
    }
    setup.attributesReady = true;
    sigset_t none;
    sigset_t all;
    sigemptyset(&none);
    sigfillset(&all);
    if (posix_spawn_file_actions_adddup2(&setup.actions, writeEnd.get(), STDOUT_FILENO) != 0 ||
        posix_spawnattr_setflags(&setup.attributes, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK |
                                                        POSIX_SPAWN_SETSIGDEF) != 0 ||
        posix_spawnattr_setpgroup(&setup.attributes, 0) != 0 ||
        posix_spawnattr_setsigmask(&setup.attributes, &none) != 0 ||
        posix_spawnattr_setsigdefault(&setup.attributes, &all) != 0) {
        return run;
    }

    std::vector<char*> argv;
    argv.reserve(arguments.size() + 2);
    argv.push_back(const_cast<char*>(launchPath.c_str()));
    for (const std::string& argument : arguments) {
        argv.push_back(const_cast<char*>(argument.c_str()));
    }
    argv.push_back(nullptr);

    pid_t pid = -1;
    if (posix_spawn(&pid, launchPath.c_str(), &setup.actions, &setup.attributes, argv.data(),
                    environ) != 0) {
        return run;
    }
    run.launched = true;
    writeEnd.reset(); // end of file arrives once the helper's side is closed
    ::fcntl(readEnd.get(), F_SETFL, ::fcntl(readEnd.get(), F_GETFL) | O_NONBLOCK);
    UniqueFd exitNotice(openExitDescriptor(pid));

    const Clock::time_point deadline = Clock::now() + timeLimit;
    bool pipeOpen = true;
    for (;;) {
        ChildState state = childState(pid);
        if (state != ChildState::Running) {
            run.exitedInTime = Clock::now() <= deadline;
            if (state == ChildState::Exited) {
                // Anything the helper left running in its group goes with it,
                // so nothing can keep writing into the pipe.
                ::kill(-pid, SIGKILL);
            }
            // Whatever is left in the pipe was written before the exit.
            if (pipeOpen) {
                readAvailable(readEnd.get(), &run.output);
            }
            if (state == ChildState::Exited) {
                int status = 0;
                while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
                }
            }
            return run;
        }
        auto remaining =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (remaining.count() <= 0) {
            killAndReap(pid);
            return run;
        }
        pollfd watched[2];
        nfds_t count = 0;
        if (pipeOpen) {
            watched[count++] = {readEnd.get(), POLLIN, 0};
        }
        int timeout = static_cast<int>(std::min<long long>(remaining.count() + 1, 1 << 30));
        if (exitNotice.get() >= 0) {
            watched[count++] = {exitNotice.get(), POLLIN, 0};
        } else {
            timeout = std::min(timeout, kExitPollMilliseconds);
        }
        int ready = ::poll(watched, count, timeout);
        if (ready < 0 && errno != EINTR) {
            killAndReap(pid);
            return run;
        }
        if (ready > 0 && pipeOpen && watched[0].revents != 0) {
            pipeOpen = readAvailable(readEnd.get(), &run.output);
        }
    }
}

bool helperSucceeded(const HelperRun& run, std::string_view marker) {
    return run.launched && run.exitedInTime && !marker.empty() &&
           run.output.find(marker) != std::string::npos;
}

} // namespace zrk
