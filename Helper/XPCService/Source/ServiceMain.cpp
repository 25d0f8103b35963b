// ProfileService: the privileged service of the profile store and the
// profile-table walk. D-Bus activation starts it on the system bus
// (DBUS_SYSTEM_BUS_ADDRESS is honoured); it serves the file requests one at
// a time on this one thread, walks in child processes (WalkWorkers.h), and
// exits once it has been idle for a while, so that the next request starts
// it afresh.
//
//   ProfileService [--idle-exit SECONDS]     (default 60)
#include "ServiceAdaptor.h"
#include "WalkWorkers.h"
#include "XPCProtocol.h"

#include <sdbus-c++/sdbus-c++.h>

#include <poll.h>
#include <syslog.h>

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

// Handles everything that has arrived; true when anything was handled.
bool processAll(sdbus::IConnection& connection) {
    bool handled = false;
    while (connection.processPendingRequest()) {
        handled = true;
    }
    return handled;
}

// Serves until no message has arrived and no walk has run for idleLimit.
// Throws when the bus connection fails (the bus went away).
void serveUntilIdle(sdbus::IConnection& connection, zrk::WalkWorkers& walks,
                    milliseconds idleLimit) {
    Clock::time_point lastActivity = Clock::now();
    std::vector<pollfd> fds;
    for (;;) {
        if (processAll(connection)) {
            lastActivity = Clock::now();
        }
        walks.handleReady();
        // Replies of finished walks go out with the next processing round.
        if (processAll(connection) || !walks.idle()) {
            lastActivity = Clock::now();
        }
        const auto idle = std::chrono::duration_cast<milliseconds>(Clock::now() - lastActivity);
        if (idle >= idleLimit) {
            return;
        }
        const sdbus::IConnection::PollData data = connection.getEventLoopPollData();
        int timeout = static_cast<int>((idleLimit - idle).count());
        if (const int busTimeout = data.getPollTimeout(); busTimeout >= 0) {
            timeout = std::min(timeout, busTimeout);
        }
        // A walk child past its time limit is ended on time.
        timeout = walks.pollTimeout(timeout);
        fds.assign(1, pollfd{data.fd, data.events, 0});
        walks.addPollFds(&fds);
        if (::poll(fds.data(), fds.size(), timeout) < 0 && errno != EINTR) {
            throw sdbus::Error("org.freedesktop.DBus.Error.Failed", "poll failed");
        }
    }
}

} // namespace

int main(int argc, char** argv) {
    milliseconds idleLimit;
    if (!parseIdleLimit(argc, argv, &idleLimit)) {
        return 2;
    }
    std::signal(SIGPIPE, SIG_IGN);
    ::openlog("ProfileService", LOG_PID, LOG_DAEMON);
    try {
        std::unique_ptr<sdbus::IConnection> connection = sdbus::createSystemBusConnection();
        zrk::WalkWorkers walks;
        zrk::ServiceAdaptor adaptor(*connection, walks);
        // The name last: the first request can arrive as soon as it is ours.
        connection->requestName(zrk::helper::kServiceName);
        serveUntilIdle(*connection, walks, idleLimit);
        // Once the release has been answered, every request sent to the name
        // before it is already here; later ones start a new service.
        connection->releaseName(zrk::helper::kServiceName);
        processAll(*connection);
    } catch (const sdbus::Error& error) {
        syslog(LOG_ERR, "ProfileService: %s", error.getMessage().c_str());
        return 1;
    } catch (...) {
        return 1;
    }
    return 0;
}
