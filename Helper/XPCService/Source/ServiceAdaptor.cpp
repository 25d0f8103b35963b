#include "ServiceAdaptor.h"

#include "HelperMethods.h"
#include "VXmacServiceXPC.h"
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

} // namespace

ServiceAdaptor::ServiceAdaptor(sdbus::IConnection& connection)
    : object_(sdbus::createObject(connection, xpc::kObjectPath)) {
    for (const MethodRow& row : kMethods) {
        sdbus::IObject& object = *object_;
        object.registerMethod(std::string(row.name))
            .onInterface(xpc::kInterfaceName)
            .withInputParamNames("request")
            .withOutputParamNames("reply")
            .implementedAs([&object, &row](const std::string& request) -> std::string {
                return serve(object, row, request);
            });
    }
    object_->finishRegistration();
}

} // namespace zrk
