#include "ServiceAdaptor.h"

#include "HelperMethods.h"
#include "VXmacServiceXPC.h"
#include "WalkWorkers.h"
#include "WriterIdentity.h"
#include "XPCProtocol.h"

#include <string>
#include <string_view>

namespace zrk {

namespace {

using Handler = std::string (VXmacServiceXPC::*)(const std::string&) const;

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

const std::string kFileRefusal(helper::kReplyFalse);

std::string walkRefusal() {
    return VXmacServiceXPC::walkReply(xpc::kWalkRefused);
}

// Nothing may unwind into the bus library's C code: a caller whose identity
// cannot be established, or a request that fails unexpectedly, is refused.
std::string serve(const sdbus::IObject& object, Handler handler, const std::string& request) {
    try {
        const sdbus::Message* message = object.getCurrentlyProcessedMessage();
        if (message == nullptr) {
            return kFileRefusal;
        }
        const VXmacServiceXPC service(message->getCredsUid(),
                                      xpc::writerOfProcess(message->getCredsPid()));
        return (service.*handler)(request);
    } catch (...) {
        return kFileRefusal;
    }
}

// A walk: checked at once, then walked by a worker; the reply follows when
// the merge is done. A refused walk (a walk of the same file or caller still
// queued or running included) is answered at once.
void serveWalk(const sdbus::IObject& object, sdbus::Result<std::string>&& result,
               const std::string& request, WalkWorkers& walks) {
    try {
        const sdbus::Message* message = object.getCurrentlyProcessedMessage();
        if (message == nullptr) {
            result.returnResults(walkRefusal());
            return;
        }
        const uid_t caller = message->getCredsUid();
        WalkJob job;
        if (!VXmacServiceXPC(caller).acceptWalk(request, &job)) {
            result.returnResults(walkRefusal());
            return;
        }
        auto pending = std::make_shared<sdbus::Result<std::string>>(std::move(result));
        const bool queued =
            walks.submit(std::move(job), caller, [pending](const std::string& reply) {
                try {
                    pending->returnResults(reply);
                } catch (...) {
                    // the caller is gone
                }
            });
        if (!queued) {
            pending->returnResults(walkRefusal());
        }
    } catch (...) {
        // Nothing may unwind into the bus library; the caller's wait ends with
        // its time limit.
    }
}

} // namespace

ServiceAdaptor::ServiceAdaptor(sdbus::IConnection& connection, WalkWorkers& walks)
    : object_(sdbus::createObject(connection, helper::kObjectPath)) {
    for (const helper::ProtocolMethod& row : helper::kProtocolMethods) {
        sdbus::IObject& object = *object_;
        if (row.shape == helper::RequestShape::Walk) {
            object.registerMethod(std::string(row.name))
                .onInterface(helper::kInterfaceName)
                .withInputParamNames("request")
                .withOutputParamNames("reply")
                .implementedAs(
                    [&object, &walks](sdbus::Result<std::string>&& result, std::string request) {
                        serveWalk(object, std::move(result), request, walks);
                    });
        } else if (const Handler handler = handlerOf(row.name)) {
            object.registerMethod(std::string(row.name))
                .onInterface(helper::kInterfaceName)
                .withInputParamNames("request")
                .withOutputParamNames("reply")
                .implementedAs([&object, handler](const std::string& request) -> std::string {
                    return serve(object, handler, request);
                });
        }
    }
    object_->finishRegistration();
}

} // namespace zrk
