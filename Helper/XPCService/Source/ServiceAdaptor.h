// The service's object on the bus: the eight methods of the protocol's
// interface, each "s -> s", handed to a VXmacServiceXPC for the caller.
//
// A request is taken off the bus as soon as it arrives and its caller told by
// the bus (BusCallers.h). It is refused at once (no caller, or past what the
// caller may have waiting) or waits as that caller's (FairQueue.h): the
// waiting requests are served one at a time, the callers in turn. A file
// request is served on the request worker's thread (RequestWorker.h) while
// this thread goes on taking requests off the bus and sends the reply when
// it is done; a walk is checked and handed to the walk workers
// (WalkWorkers.h) on its turn, and answered when its worker has walked and
// merged.
#pragma once

#include "FairQueue.h"
#include "RequestWorker.h"
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

    // Starts serving the next waiting request: a file request on the worker
    // (only while it is free), walks here until a file request comes. False
    // when nothing was waiting.
    bool startNext();
    // Sends the reply of the file request in hand once it is done; true
    // when one was.
    bool finishDone();
    // A file request is in hand (the files are the worker's).
    bool working() const { return worker_.busy(); }
    // Readable when the file request in hand is done.
    int doneFd() const { return worker_.doneFd(); }
    bool idle() const { return waiting_.empty(); }
    // Answers every waiting request with the failure reply.
    void refuseWaiting();

    using Handler = std::string (VXmacServiceXPC::*)(const std::string&) const;

private:
    struct Waiting {
        Handler handler = nullptr; // none for a walk
        std::string request;
        uid_t caller = 0;
        xpc::WriterProcess writer;
        sdbus::MethodReply reply;
    };

    void take(sdbus::MethodCall& call, Handler handler);
    void startWalk(Waiting& walk);

    std::unique_ptr<sdbus::IObject> object_;
    BusCallers& callers_;
    WalkWorkers& walks_;
    FairQueue<Waiting> waiting_;
    RequestWorker worker_;
    sdbus::MethodReply inHand_; // the reply of the file request on the worker
};

} // namespace zrk
