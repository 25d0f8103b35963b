// Walks in processes of their own. The network part of a walk (net-snmp's
// state, the spool) runs in a child process, so a slow or silent printer
// holds no one but the user who asked; the merge into the profile file runs
// back in the service's one thread, so a merge and the file requests for the
// same file never run at once.
//
// A walk is keyed by the profile file it merges into and, for a caller other
// than root, by the caller: while a key has a walk queued or running, a
// further walk with that key is refused at once. At most kMaxRunningWalks
// children run at a time; later walks wait in arrival order.
//
// A child gives up root before it talks to the printer (WalkSandbox.h). The
// walk's time limit (kWalkTimeLimit) counts from the child's start, name
// resolution included; the service bounds each child too: one still running
// a second after that limit, whatever it is doing, is killed and its walk
// merged and answered as failed.
#pragma once

#include "VXmacServiceXPC.h"

#include <poll.h>
#include <sys/types.h>

#include <chrono>
#include <deque>
#include <functional>
#include <set>
#include <string>
#include <vector>

namespace zrk {

class WalkWorkers {
public:
    using Reply = std::function<void(const std::string&)>;

    static constexpr std::size_t kMaxRunningWalks = 8;

    WalkWorkers();
    // timeLimit: how long a child may run before it is killed, less a
    // second's grace (tests use a short one).
    explicit WalkWorkers(std::chrono::milliseconds timeLimit);
    ~WalkWorkers();
    WalkWorkers(const WalkWorkers&) = delete;
    WalkWorkers& operator=(const WalkWorkers&) = delete;

    // Queues the job; reply is called once with the walk's reply string
    // (from handleReady). False, calling nothing, when a walk with one of its
    // keys is already queued or running.
    bool submit(WalkJob job, uid_t caller, Reply reply);

    // The descriptors to wait on for running walks (POLLIN).
    void addPollFds(std::vector<pollfd>* fds) const;
    // How long the caller may wait before handleReady must run again to
    // end an overdue child: at most `timeout` (milliseconds, -1 for ever).
    int pollTimeout(int timeout) const;
    // Reads what the running walks sent, kills the children past their time
    // limit, merges and replies for each walk that has ended, and starts
    // queued walks.
    void handleReady();
    // Nothing queued or running.
    bool idle() const { return queued_.empty() && running_.empty(); }

private:
    struct Walk {
        WalkJob job;
        std::vector<std::string> keys;
        Reply reply;
        pid_t pid = -1;
        int fd = -1;
        std::chrono::steady_clock::time_point deadline;
        std::string received;
    };

    void startQueued();
    bool start(Walk& walk);
    void finish(Walk& walk);

    std::chrono::milliseconds timeLimit_;
    std::deque<Walk> queued_;
    std::vector<Walk> running_;
    std::set<std::string> busy_;
};

} // namespace zrk
