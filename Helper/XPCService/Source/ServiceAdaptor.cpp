#include "ServiceAdaptor.h"

#include "HelperMethods.h"
#include "VXmacServiceXPC.h"
#include "WalkWorkers.h"
#include "XPCProtocol.h"

#include <string>
#include <string_view>

namespace zrk {

namespace {

using Handler = std::string (VXmacServiceXPC::*)(const std::string&) const;

struct MethodRow {
    std::string_view name;
    Handler handler;
    bool isWalk;
};

// The protocol's methods in declaration order.
constexpr MethodRow kMethods[] = {
    {helper::kIsAdminProfile, &VXmacServiceXPC::vxPListIsAdminProfile_XPC, false},
    {helper::kSwapProfile, &VXmacServiceXPC::vxPListSwapProfile_XPC, false},
    {helper::kExistProfile, &VXmacServiceXPC::vxPListExistProfile_XPC, false},
    {helper::kRemove, &VXmacServiceXPC::vxPListRemove_XPC, false},
    {helper::kWriteDictionary, &VXmacServiceXPC::writeDictionaryToPlistFile_XPC, false},
    {helper::kWriteData, &VXmacServiceXPC::writeDataToPlistFile_XPC, false},
    {helper::kWriteDataRename, &VXmacServiceXPC::writeDataToPlistFileRename_XPC, false},
    {helper::kMibWalk, &VXmacServiceXPC::mibwalk_XPC, true},
};

std::string refusal(const MethodRow& row) {
    return row.isWalk ? std::string(xpc::kWalkReplyPrefix) + std::to_string(xpc::kWalkRefused)
                      : std::string(helper::kReplyFalse);
}

// Nothing may unwind into the bus library's C code: a caller whose identity
// cannot be established, or a request that fails unexpectedly, is refused.
std::string serve(const sdbus::IObject& object, const MethodRow& row, const std::string& request) {
    try {
        const sdbus::Message* message = object.getCurrentlyProcessedMessage();
        if (message == nullptr) {
            return refusal(row);
        }
        const VXmacServiceXPC service(message->getCredsUid());
        return (service.*row.handler)(request);
    } catch (...) {
        return refusal(row);
    }
}

// A walk: checked at once, then walked by a worker; the reply follows when
// the merge is done. A refused walk (a walk of the same file or caller still
// queued or running included) is answered at once.
void serveWalk(const sdbus::IObject& object, sdbus::Result<std::string>&& result,
               const std::string& request, WalkWorkers& walks) {
    const MethodRow& row = kMethods[std::size(kMethods) - 1];
    try {
        const sdbus::Message* message = object.getCurrentlyProcessedMessage();
        if (message == nullptr) {
            result.returnResults(refusal(row));
            return;
        }
        const uid_t caller = message->getCredsUid();
        WalkJob job;
        if (!VXmacServiceXPC(caller).acceptWalk(request, &job)) {
            result.returnResults(refusal(row));
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
            pending->returnResults(refusal(row));
        }
    } catch (...) {
        // Nothing may unwind into the bus library; the caller's wait ends with
        // its time limit.
    }
}

} // namespace

ServiceAdaptor::ServiceAdaptor(sdbus::IConnection& connection, WalkWorkers& walks)
    : object_(sdbus::createObject(connection, xpc::kObjectPath)) {
    static_assert(kMethods[std::size(kMethods) - 1].isWalk, "the walk is the last method");
    for (const MethodRow& row : kMethods) {
        sdbus::IObject& object = *object_;
        if (row.isWalk) {
            object.registerMethod(std::string(row.name))
                .onInterface(xpc::kInterfaceName)
                .withInputParamNames("request")
                .withOutputParamNames("reply")
                .implementedAs(
                    [&object, &walks](sdbus::Result<std::string>&& result, std::string request) {
                        serveWalk(object, std::move(result), request, walks);
                    });
        } else {
            object.registerMethod(std::string(row.name))
                .onInterface(xpc::kInterfaceName)
                .withInputParamNames("request")
                .withOutputParamNames("reply")
                .implementedAs([&object, &row](const std::string& request) -> std::string {
                    return serve(object, row, request);
                });
        }
    }
    object_->finishRegistration();
}

} // namespace zrk
