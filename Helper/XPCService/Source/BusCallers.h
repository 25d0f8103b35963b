// Who sends a request: the user the bus daemon authenticated for the
// sender's connection when it connected, as the bus driver answers for the
// sender's unique name (org.freedesktop.DBus.GetConnectionCredentials).
// Never anything read from /proc by process id: the process that opened a
// connection may have exited and its id gone to another process, root's
// included, while a descendant goes on sending through the connection.
//
// The answers are kept per unique name (a bus never gives a unique name
// twice), a bounded number of them. The lookups go through a connection of
// their own, so that their replies never wait behind the requests queued for
// the service's connection, and reading them never reads those requests.
#pragma once

#include <sdbus-c++/sdbus-c++.h>

#include <sys/types.h>

#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>

namespace zrk {

struct BusCredentials {
    uid_t uid = 0;
    pid_t pid = 0; // the process that opened the connection; 0 when unknown
};

class BusCallers {
public:
    // lookups: a connection to the same bus as the one requests come from.
    explicit BusCallers(std::unique_ptr<sdbus::IConnection> lookups);
    BusCallers(const BusCallers&) = delete;
    BusCallers& operator=(const BusCallers&) = delete;

    // The credentials of the connection with this unique name; nothing when
    // it is no unique name or the bus does not know it (it has gone).
    std::optional<BusCredentials> of(const std::string& sender);

private:
    std::unique_ptr<sdbus::IConnection> connection_;
    std::unique_ptr<sdbus::IProxy> driver_;
    std::unordered_map<std::string, BusCredentials> known_;
    std::deque<std::string> order_; // oldest first
};

} // namespace zrk
