// The file requests waiting to be served, per caller. Callers are served in
// turn (one request of each caller that has any, round and round), not in
// the order their requests arrived, so a user who sends many requests at
// once holds up every other user by one request at most. What one caller may
// have waiting is bounded, in requests and in bytes; a request past the bound
// is not queued (the caller is answered with the failure reply at once), so
// the service's memory stays bounded whoever floods it.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <deque>
#include <map>
#include <optional>
#include <utility>

namespace zrk {

struct FairQueueLimits {
    std::size_t requestsPerCaller; // waiting requests of one caller
    std::size_t bytesPerCaller;    // their bytes
    // Bytes waiting of all callers together; past it only a caller with
    // nothing waiting may still queue a request, so no one is shut out.
    std::size_t bytesInAll;
};

template <typename Item> class FairQueue {
public:
    explicit FairQueue(FairQueueLimits limits) : limits_(limits) {}

    // Whether a request of the caller would be queued now.
    bool accepts(uid_t caller, std::size_t bytes) const {
        const auto found = callers_.find(caller);
        if (found == callers_.end()) {
            return bytes <= limits_.bytesPerCaller;
        }
        const Caller& waiting = found->second;
        return waiting.items.size() < limits_.requestsPerCaller &&
               waiting.bytes + bytes <= limits_.bytesPerCaller &&
               bytes_ + bytes <= limits_.bytesInAll;
    }

    // Queues the item as the caller's next; false (the item untouched) when
    // that would pass a bound.
    bool push(uid_t caller, std::size_t bytes, Item&& item) {
        if (!accepts(caller, bytes)) {
            return false;
        }
        Caller& waiting = callers_[caller];
        const bool idle = waiting.items.empty();
        waiting.items.emplace_back(bytes, std::move(item));
        waiting.bytes += bytes;
        bytes_ += bytes;
        if (idle) {
            turns_.push_back(caller);
        }
        return true;
    }

    // The next request: the oldest of the caller whose turn it is.
    std::optional<Item> pop() {
        if (turns_.empty()) {
            return std::nullopt;
        }
        const uid_t caller = turns_.front();
        turns_.pop_front();
        const auto found = callers_.find(caller);
        Caller& waiting = found->second;
        auto [bytes, item] = std::move(waiting.items.front());
        waiting.items.pop_front();
        waiting.bytes -= bytes;
        bytes_ -= bytes;
        if (waiting.items.empty()) {
            callers_.erase(found);
        } else {
            turns_.push_back(caller);
        }
        return std::optional<Item>(std::move(item));
    }

    bool empty() const { return turns_.empty(); }
    std::size_t bytes() const { return bytes_; }

private:
    struct Caller {
        std::deque<std::pair<std::size_t, Item>> items;
        std::size_t bytes = 0;
    };

    FairQueueLimits limits_;
    std::map<uid_t, Caller> callers_;
    std::deque<uid_t> turns_; // callers with requests waiting, whose turn is next first
    std::size_t bytes_ = 0;
};

} // namespace zrk
