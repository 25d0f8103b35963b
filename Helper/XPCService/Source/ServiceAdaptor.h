// The service's object on the bus: the eight methods of the protocol's
// interface, each "s -> s", handed to a VXmacServiceXPC for the caller.
//
// A request is taken off the bus as soon as it arrives, its caller told by
// the bus (BusCallers.h), and either answered at once (a refusal, or a walk
// refused or handed to the walk workers) or queued as that caller's: the
// file requests are served later, one at a time, the callers in turn
// (FairQueue.h), by serveNext. A walk is answered when its worker has walked
// and merged (WalkWorkers.h).
#pragma once

#include "FairQueue.h"
#include "WriterIdentity.h"

#include <sdbus-c++/sdbus-c++.h>

#include <memory>
#include <string>

namespace zrk {

class BusCallers;
class VXmacServiceXPC;
class WalkWorkers;

class ServiceAdaptor {
public:
    // What one caller may have waiting: a few requests, two of the largest.
    static constexpr std::size_t kMaxWaitingPerCaller = 16;
    static constexpr std::size_t kMaxWaitingBytesPerCaller = 9u << 20;
    static constexpr std::size_t kMaxWaitingBytes = 32u << 20;

    // Exports the object at helper::kObjectPath on the connection.
    ServiceAdaptor(sdbus::IConnection& connection, BusCallers& callers, WalkWorkers& walks);
    ServiceAdaptor(const ServiceAdaptor&) = delete;
    ServiceAdaptor& operator=(const ServiceAdaptor&) = delete;

    // Serves the next waiting file request and sends its reply; false when
    // none was waiting.
    bool serveNext();
    bool idle() const { return waiting_.empty(); }
    // Answers every waiting request with the failure reply.
    void refuseWaiting();

    using Handler = std::string (VXmacServiceXPC::*)(const std::string&) const;

private:
    struct Waiting {
        Handler handler = nullptr;
        std::string request;
        uid_t caller = 0;
        xpc::WriterProcess writer;
        sdbus::MethodReply reply;
    };

    void take(sdbus::MethodCall& call, Handler handler);
    void takeWalk(sdbus::MethodCall& call);

    std::unique_ptr<sdbus::IObject> object_;
    BusCallers& callers_;
    WalkWorkers& walks_;
    FairQueue<Waiting> waiting_;
};

} // namespace zrk
