#include "ServiceAdaptor.h"

#include "BusCallers.h"
#include "HelperMethods.h"
#include "VXmacServiceXPC.h"
#include "WalkWorkers.h"
#include "XPCProtocol.h"

#include <cstring>
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
        const Handler handler = handlerOf(row.name);
        if (row.shape != helper::RequestShape::Walk && handler == nullptr) {
            continue;
        }
        object_->registerMethod(std::string(helper::kInterfaceName), std::string(row.name), "s",
                                {"request"}, "s", {"reply"},
                                [this, handler](sdbus::MethodCall call) { take(call, handler); });
    }
    object_->finishRegistration();
}

// Nothing may unwind into the bus library's C code: a caller whose identity
// cannot be established, or a request that fails unexpectedly, is refused.
void ServiceAdaptor::take(sdbus::MethodCall& call, Handler handler) {
    const std::string refusal = handler != nullptr ? kFileRefusal : walkRefusal();
    try {
        // Read in place: a request that is refused is never copied.
        char* text = nullptr;
        call >> text;
        const std::size_t bytes = text != nullptr ? std::strlen(text) : 0;
        const std::optional<BusCredentials> caller = callers_.of(call.getSender());
        if (text == nullptr || !caller || bytes > xpc::kMaxRequestSize ||
            !waiting_.accepts(caller->uid, bytes)) {
            answer(call, refusal);
            return;
        }
        Waiting waiting;
        waiting.handler = handler;
        waiting.caller = caller->uid;
        if (needsWriter(handler)) {
            waiting.writer = xpc::writerOfProcess(caller->pid);
        }
        waiting.reply = call.createReply();
        waiting.request.assign(text, bytes);
        if (!waiting_.push(caller->uid, bytes, std::move(waiting))) {
            answer(call, refusal);
        }
    } catch (...) {
        answer(call, refusal);
    }
}

// A walk: checked, then walked by a walk worker; the reply follows when the
// merge is done. A refused walk (a walk of the same file or caller still
// queued or running included) is answered at once.
void ServiceAdaptor::startWalk(Waiting& walk) {
    try {
        WalkJob job;
        if (!VXmacServiceXPC(walk.caller).acceptWalk(walk.request, &job)) {
            send(walk.reply, walkRefusal());
            return;
        }
        auto pending = std::make_shared<sdbus::MethodReply>(std::move(walk.reply));
        const bool queued =
            walks_.submit(std::move(job), walk.caller,
                          [pending](const std::string& reply) { send(*pending, reply); });
        if (!queued) {
            send(*pending, walkRefusal());
        }
    } catch (...) {
        // Nothing may unwind into the bus library; the caller's wait ends
        // with its time limit.
    }
}

bool ServiceAdaptor::startNext() {
    bool started = false;
    while (!worker_.busy()) {
        std::optional<Waiting> next = waiting_.pop();
        if (!next) {
            break;
        }
        started = true;
        if (next->handler == nullptr) {
            startWalk(*next);
            continue;
        }
        inHand_ = std::move(next->reply);
        worker_.start([waiting = std::make_shared<Waiting>(std::move(*next))]() -> std::string {
            try {
                const VXmacServiceXPC service(waiting->caller, waiting->writer);
                return (service.*(waiting->handler))(waiting->request);
            } catch (...) {
                return kFileRefusal;
            }
        });
    }
    return started;
}

bool ServiceAdaptor::finishDone() {
    std::optional<std::string> reply = worker_.takeResult();
    if (!reply) {
        return false;
    }
    send(inHand_, *reply);
    inHand_ = sdbus::MethodReply();
    return true;
}

void ServiceAdaptor::refuseWaiting() {
    while (std::optional<Waiting> next = waiting_.pop()) {
        send(next->reply, next->handler != nullptr ? kFileRefusal : walkRefusal());
    }
}

} // namespace zrk
