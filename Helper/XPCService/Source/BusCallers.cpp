#include "BusCallers.h"

#include <chrono>
#include <cstdint>
#include <map>

namespace zrk {

namespace {

// Unique names seen lately. One more than this forgets the oldest, which
// only costs its next request a lookup.
constexpr std::size_t kKnownConnections = 1024;

// The bus driver answers at once; a bus that does not is failing.
constexpr std::chrono::seconds kLookupTimeLimit{5};

} // namespace

BusCallers::BusCallers(std::unique_ptr<sdbus::IConnection> lookups)
    : connection_(std::move(lookups)),
      driver_(sdbus::createProxy(*connection_, "org.freedesktop.DBus", "/org/freedesktop/DBus")) {}

std::optional<BusCredentials> BusCallers::of(const std::string& sender) {
    if (sender.empty() || sender.front() != ':') {
        return std::nullopt;
    }
    if (const auto found = known_.find(sender); found != known_.end()) {
        return found->second;
    }
    std::map<std::string, sdbus::Variant> credentials;
    try {
        driver_->callMethod("GetConnectionCredentials")
            .onInterface("org.freedesktop.DBus")
            .withTimeout(kLookupTimeLimit)
            .withArguments(sender)
            .storeResultsTo(credentials);
        // Whatever else arrived on this connection (the bus's own signals)
        // is read and dropped.
        while (connection_->processPendingRequest()) {
        }
    } catch (const sdbus::Error&) {
        return std::nullopt; // gone, or the bus failed
    }
    const auto user = credentials.find("UnixUserID");
    if (user == credentials.end() || !user->second.containsValueOfType<std::uint32_t>()) {
        return std::nullopt;
    }
    BusCredentials found;
    found.uid = static_cast<uid_t>(user->second.get<std::uint32_t>());
    if (const auto process = credentials.find("ProcessID");
        process != credentials.end() && process->second.containsValueOfType<std::uint32_t>()) {
        found.pid = static_cast<pid_t>(process->second.get<std::uint32_t>());
    }
    if (order_.size() == kKnownConnections) {
        known_.erase(order_.front());
        order_.pop_front();
    }
    known_.emplace(sender, found);
    order_.push_back(sender);
    return found;
}

} // namespace zrk
