#include "ServiceAdaptor.h"

#include "BusCallers.h"
#include "HelperMethods.h"
#include "VXmacServiceXPC.h"
#include "WalkWorkers.h"
#include "XPCProtocol.h"

#include <string>
#include <string_view>

namespace zrk {

namespace {

using Handler = ServiceAdaptor::Handler;

// The handler of each file method of the protocol (HelperMethods.h); the
// walk is served by the walk workers.
struct FileHandler {
    std::string_view method;
    Handler handler;
};
constexpr FileHandler kFileHandlers[] = {
    {helper::kIsAdminProfile, &VXmacServiceXPC::vxPListIsAdminProfile_XPC},
    {helper::kSwapProfile, &VXmacServiceXPC::vxPListSwapProfile_XPC},
    {helper::kExistProfile, &VXmacServiceXPC::vxPListExistProfile_XPC},
    {helper::kRemove, &VXmacServiceXPC::vxPListRemove_XPC},
    {helper::kWriteDictionary, &VXmacServiceXPC::writeDictionaryToPlistFile_XPC},
    {helper::kWriteData, &VXmacServiceXPC::writeDataToPlistFile_XPC},
    {helper::kWriteDataRename, &VXmacServiceXPC::writeDataToPlistFileRename_XPC},
};

Handler handlerOf(std::string_view method) {
    for (const FileHandler& row : kFileHandlers) {
        if (row.method == method) {
            return row.handler;
        }
    }
    return nullptr;
}

// The requests whose writer matters: the pieces and the commit.
bool needsWriter(Handler handler) {
    return handler == &VXmacServiceXPC::writeDataToPlistFile_XPC ||
           handler == &VXmacServiceXPC::writeDataToPlistFileRename_XPC;
}

const std::string kFileRefusal(helper::kReplyFalse);

std::string walkRefusal() {
    return VXmacServiceXPC::walkReply(xpc::kWalkRefused);
}

// Sends a reply; a caller that has gone is no one's concern.
void send(sdbus::MethodReply& reply, const std::string& text) {
    try {
        reply << text;
        reply.send();
    } catch (...) {
    }
}

void answer(const sdbus::MethodCall& call, const std::string& text) {
    try {
        sdbus::MethodReply reply = call.createReply();
        send(reply, text);
    } catch (...) {
    }
}

} // namespace

ServiceAdaptor::ServiceAdaptor(sdbus::IConnection& connection, BusCallers& callers,
                               WalkWorkers& walks)
    : object_(sdbus::createObject(connection, helper::kObjectPath)), callers_(callers),
      walks_(walks),
      waiting_(FairQueueLimits{kMaxWaitingPerCaller, kMaxWaitingBytesPerCaller, kMaxWaitingBytes}) {
    for (const helper::ProtocolMethod& row : helper::kProtocolMethods) {
        sdbus::method_callback callback;
        if (row.shape == helper::RequestShape::Walk) {
            callback = [this](sdbus::MethodCall call) { takeWalk(call); };
        } else if (const Handler handler = handlerOf(row.name)) {
            callback = [this, handler](sdbus::MethodCall call) { take(call, handler); };
        } else {
            continue;
        }
        object_->registerMethod(std::string(helper::kInterfaceName), std::string(row.name), "s",
                                {"request"}, "s", {"reply"}, std::move(callback));
    }
    object_->finishRegistration();
}

// Nothing may unwind into the bus library's C code: a caller whose identity
// cannot be established, or a request that fails unexpectedly, is refused.
void ServiceAdaptor::take(sdbus::MethodCall& call, Handler handler) {
    try {
        std::string request;
        call >> request;
        const std::optional<BusCredentials> caller = callers_.of(call.getSender());
        if (!caller || request.size() > xpc::kMaxRequestSize) {
            answer(call, kFileRefusal);
            return;
        }
        Waiting waiting;
        waiting.handler = handler;
        waiting.caller = caller->uid;
        if (needsWriter(handler)) {
            waiting.writer = xpc::writerOfProcess(caller->pid);
        }
        waiting.reply = call.createReply();
        const std::size_t bytes = request.size();
        waiting.request = std::move(request);
        if (!waiting_.push(caller->uid, bytes, std::move(waiting))) {
            answer(call, kFileRefusal);
        }
    } catch (...) {
        answer(call, kFileRefusal);
    }
}

// A walk: checked at once, then walked by a worker; the reply follows when
// the merge is done. A refused walk (a walk of the same file or caller still
// queued or running included) is answered at once.
void ServiceAdaptor::takeWalk(sdbus::MethodCall& call) {
    try {
        std::string request;
        call >> request;
        const std::optional<BusCredentials> caller = callers_.of(call.getSender());
        WalkJob job;
        if (!caller || request.size() > xpc::kMaxRequestSize ||
            !VXmacServiceXPC(caller->uid).acceptWalk(request, &job)) {
            answer(call, walkRefusal());
            return;
        }
        auto pending = std::make_shared<sdbus::MethodReply>(call.createReply());
        const bool queued =
            walks_.submit(std::move(job), caller->uid,
                          [pending](const std::string& reply) { send(*pending, reply); });
        if (!queued) {
            send(*pending, walkRefusal());
        }
    } catch (...) {
        answer(call, walkRefusal());
    }
}

bool ServiceAdaptor::serveNext() {
    std::optional<Waiting> next = waiting_.pop();
    if (!next) {
        return false;
    }
    std::string reply;
    try {
        const VXmacServiceXPC service(next->caller, next->writer);
        reply = (service.*(next->handler))(next->request);
    } catch (...) {
        reply = kFileRefusal;
    }
    next->request = std::string(); // its memory back before the reply goes
    send(next->reply, reply);
    return true;
}

void ServiceAdaptor::refuseWaiting() {
    while (std::optional<Waiting> next = waiting_.pop()) {
        send(next->reply, kFileRefusal);
    }
}

} // namespace zrk
