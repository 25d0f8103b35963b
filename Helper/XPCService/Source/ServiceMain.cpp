// ProfileService: the privileged service of the profile store and the
// profile-table walk. D-Bus activation starts it on the system bus
// (DBUS_SYSTEM_BUS_ADDRESS is honoured). It takes every request off the bus
// as it arrives and serves the file requests one at a time on this one
// thread, the callers in turn (ServiceAdaptor.h); it walks in child
// processes (WalkWorkers.h), removes what an interrupted service left in the
// preferences directory (Leftovers.h), and exits once it has been idle for a
// while, so that the next request starts it afresh. SIGTERM or SIGINT ends
// it after the request in hand.
//
//   ProfileService [--idle-exit SECONDS]     (default 60)
#include "BusCallers.h"
#include "Leftovers.h"
#include "LogText.h"
#include "ServiceAdaptor.h"
#include "WalkWorkers.h"
#include "XPCProtocol.h"

#include <sdbus-c++/sdbus-c++.h>

#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <syslog.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <csignal>
#include <cstring>
#include <string_view>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

constexpr std::chrono::seconds kDefaultIdleLimit{60};
constexpr long kMaxIdleSeconds = 24 * 60 * 60;

bool parseIdleLimit(int argc, char** argv, milliseconds* limit) {
    *limit = kDefaultIdleLimit;
    if (argc == 1) {
        return true;
    }
    if (argc != 3 || std::strcmp(argv[1], "--idle-exit") != 0) {
        return false;
    }
    const std::string_view value(argv[2]);
    long seconds = 0;
    const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), seconds);
    if (error != std::errc() || end != value.data() + value.size() || seconds < 1 ||
        seconds > kMaxIdleSeconds) {
        return false;
    }
    *limit = std::chrono::seconds(seconds);
    return true;
}

// Every message that has arrived is taken off the bus: queued, answered or
// handed to a walk, so that the bus never holds a full queue for the
// service. At most this many between two requests served, so that the
// queued requests go on being served under a flood.
constexpr int kMaxTakenPerRound = 256;

// A sweep of the preferences directory before a request, when the last one
// was longer ago than this.
constexpr std::chrono::seconds kSweepInterval{1};

volatile std::sig_atomic_t gStopRequested = 0;
int gWakeFd = -1; // the write end of the pipe that wakes the loop

extern "C" void onStopSignal(int) {
    const int saved = errno;
    gStopRequested = 1;
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(gWakeFd, &byte, 1);
    errno = saved;
}

// A walk's child keeps the default action, whatever the service does.
extern "C" void defaultStopSignals() {
    std::signal(SIGTERM, SIG_DFL);
    std::signal(SIGINT, SIG_DFL);
}

// The read end of the wake pipe, -1 when the handlers could not be set.
int catchStopSignals() {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0) {
        return -1;
    }
    gWakeFd = fds[1];
    struct sigaction action {};
    action.sa_handler = onStopSignal;
    action.sa_flags = SA_RESTART;
    sigemptyset(&action.sa_mask);
    if (::sigaction(SIGTERM, &action, nullptr) != 0 || ::sigaction(SIGINT, &action, nullptr) != 0 ||
        ::pthread_atfork(nullptr, nullptr, defaultStopSignals) != 0) {
        return -1;
    }
    return fds[0];
}

void drainWakePipe(int fd) {
    char buffer[64];
    while (fd >= 0 && ::read(fd, buffer, sizeof buffer) > 0) {
    }
}

// Takes what has arrived, up to a round's worth; true when anything was.
bool takeArrived(sdbus::IConnection& connection, int limit = kMaxTakenPerRound) {
    bool handled = false;
    for (int i = 0; i < limit && connection.processPendingRequest(); ++i) {
        handled = true;
    }
    return handled;
}

struct Service {
    sdbus::IConnection& connection;
    zrk::ServiceAdaptor& adaptor;
    zrk::WalkWorkers& walks;
    zrk::xpc::PreferencesSweeper& sweeper;
    Clock::time_point lastSweep = Clock::now();

    // One round: what arrived is taken, a finished request answered, and
    // while no file request is in hand, finished walks merged and the next
    // waiting request started (after a sweep when one is due). True when
    // anything was done.
    bool round() {
        bool busy = takeArrived(connection);
        busy = adaptor.finishDone() || busy;
        if (!adaptor.working()) {
            walks.handleReady();
            if (!adaptor.idle()) {
                if (Clock::now() - lastSweep >= kSweepInterval) {
                    sweeper.sweep();
                    lastSweep = Clock::now();
                }
                busy = adaptor.startNext() || busy;
            }
        }
        // Replies go out with the next processing round.
        return takeArrived(connection) || busy;
    }

    bool idle() const { return !adaptor.working() && adaptor.idle() && walks.idle(); }

    // Waits for the bus, the request in hand, the walks (while nothing is in
    // hand) and the wake pipe, at most timeout ms.
    void wait(int timeout, int wakeFd) {
        const sdbus::IConnection::PollData data = connection.getEventLoopPollData();
        if (const int busTimeout = data.getPollTimeout(); busTimeout >= 0) {
            timeout = timeout < 0 ? busTimeout : std::min(timeout, busTimeout);
        }
        std::vector<pollfd> fds = {pollfd{data.fd, data.events, 0}};
        if (adaptor.working()) {
            fds.push_back(pollfd{adaptor.doneFd(), POLLIN, 0});
        } else {
            // A walk child past its time limit is ended on time.
            timeout = walks.pollTimeout(timeout);
            walks.addPollFds(&fds);
        }
        if (wakeFd >= 0) {
            fds.push_back(pollfd{wakeFd, POLLIN, 0});
        }
        if (::poll(fds.data(), fds.size(), timeout) < 0 && errno != EINTR) {
            throw sdbus::Error("org.freedesktop.DBus.Error.Failed", "poll failed");
        }
        drainWakePipe(wakeFd);
    }
};

// Serves until nothing has arrived and no request or walk has run for
// idleLimit, or a stop signal came. Throws when the bus connection fails
// (the bus went away).
void serveUntilIdle(Service& service, int wakeFd, milliseconds idleLimit) {
    Clock::time_point lastActivity = Clock::now();
    while (gStopRequested == 0) {
        if (service.round() || !service.idle()) {
            lastActivity = Clock::now();
        }
        if (!service.adaptor.working() && !service.adaptor.idle()) {
            continue;
        }
        const auto idle = std::chrono::duration_cast<milliseconds>(Clock::now() - lastActivity);
        if (idle >= idleLimit) {
            return;
        }
        service.wait(static_cast<int>((idleLimit - idle).count()), wakeFd);
    }
}

// After the name is released: every request sent to it before is here, and
// is answered.
void serveTheRest(Service& service) {
    for (;;) {
        const bool busy = service.round();
        if (!busy && service.idle()) {
            return;
        }
        if (!busy) {
            service.wait(100, -1);
        }
    }
}

// After a stop signal: the request in hand is finished and answered, the
// waiting ones refused.
void finishInHand(Service& service) {
    while (service.adaptor.working()) {
        if (!service.adaptor.finishDone()) {
            service.wait(100, -1);
        }
    }
    service.adaptor.refuseWaiting();
    takeArrived(service.connection);
}

} // namespace

int main(int argc, char** argv) {
    milliseconds idleLimit;
    if (!parseIdleLimit(argc, argv, &idleLimit)) {
        return 2;
    }
    std::signal(SIGPIPE, SIG_IGN);
    const int wakeFd = catchStopSignals();
    ::openlog("ProfileService", LOG_PID, LOG_DAEMON);
    try {
        std::unique_ptr<sdbus::IConnection> connection = sdbus::createSystemBusConnection();
        zrk::BusCallers callers(sdbus::createSystemBusConnection());
        zrk::WalkWorkers walks;
        zrk::ServiceAdaptor adaptor(*connection, callers, walks);
        // Waits for a service that is still finishing its last requests.
        zrk::xpc::PreferencesSweeper sweeper;
        sweeper.sweep();
        Service service{*connection, adaptor, walks, sweeper};
        // The name last: the first request can arrive as soon as it is ours.
        connection->requestName(zrk::helper::kServiceName);
        serveUntilIdle(service, wakeFd, idleLimit);
        if (gStopRequested != 0) {
            // What the bus still holds for the service is answered by the
            // bus once the service has gone. (The connection is flushed as
            // it closes.)
            finishInHand(service);
            return 0;
        }
        // Once the release has been answered, every request sent to the name
        // before it is already here; later ones start a new service.
        connection->releaseName(zrk::helper::kServiceName);
        serveTheRest(service);
    } catch (const sdbus::Error& error) {
        syslog(LOG_ERR, "ProfileService: %s", zrk::escapedForLog(error.getMessage()).c_str());
        return 1;
    } catch (...) {
        return 1;
    }
    return 0;
}
