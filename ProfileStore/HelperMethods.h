// The protocol between the plug-in, the helper tool and the service, written
// once: where the service is on the bus, its methods in declaration order
// with the shape of each request string, the markers that end the values of
// a request, and the texts of the replies and reply lines. The plug-in's
// store builds its command lines from it, the helper its request strings,
// and the service parses and answers by it.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace zrk::helper {

// Bus name, object path and interface. Object paths and interface names may
// not hold hyphens; the interface carries the protocol's registration suffix.
inline constexpr const char* kServiceName = "com.ostra.ZR-K5100";
inline constexpr const char* kObjectPath = "/com/ostra/ZRK5100";
inline constexpr const char* kInterfaceName =
    "com.ostra.VX_XPC_Protocol8F4418FF_327A_4252_A295_FA478F715E80";

// Method names: the helper's argv[1], the bus method, the reply line's start.
inline constexpr std::string_view kMibWalk = "mibwalk_XPC";
inline constexpr std::string_view kIsAdminProfile = "vxPListIsAdminProfile_XPC";
inline constexpr std::string_view kSwapProfile = "vxPListSwapProfile_XPC";
inline constexpr std::string_view kExistProfile = "vxPListExistProfile_XPC";
inline constexpr std::string_view kRemove = "vxPListRemove_XPC";
inline constexpr std::string_view kWriteData = "writeDataToPlistFile_XPC";
inline constexpr std::string_view kWriteDataRename = "writeDataToPlistFileRename_XPC";
inline constexpr std::string_view kWriteDictionary = "writeDictionaryToPlistFile_XPC";

// Request markers: every value is followed by its marker.
inline constexpr std::string_view kMarkerSwapType = ":ARG_iSwapType";
inline constexpr std::string_view kMarkerSwapCurrent = ":ARG_cFooCurrentString";
inline constexpr std::string_view kMarkerSwapPrevious = ":ARG_cFooPrevString";
inline constexpr std::string_view kMarkerURL = ":AddURL:END";
inline constexpr std::string_view kMarkerModel = ":ModelName:END";
inline constexpr std::string_view kMarkerUser = ":USErName:END";
inline constexpr std::string_view kMarkerWalkArgument = ":arg:";

// The shapes of the request strings, and the markers of each.
enum class RequestShape {
    Plain, // the value itself
    Swap,  // type ":ARG_iSwapType" current ":ARG_cFooCurrentString" backup ":ARG_cFooPrevString"
    URL,   // URL ":AddURL:END" text
    Walk,  // model ":ModelName:END" user ":USErName:END" (argument ":arg:")...
};
inline constexpr std::array<std::string_view, 3> kSwapMarkers = {
    kMarkerSwapType, kMarkerSwapCurrent, kMarkerSwapPrevious};
inline constexpr std::array<std::string_view, 1> kURLMarkers = {kMarkerURL};
inline constexpr std::array<std::string_view, 2> kWalkMarkers = {kMarkerModel, kMarkerUser};

struct ProtocolMethod {
    std::string_view name;
    RequestShape shape;
    int values; // command-line values the method needs after its name
};

// The protocol's methods in declaration order.
inline constexpr ProtocolMethod kProtocolMethods[] = {
    {kIsAdminProfile, RequestShape::Plain, 1},  {kSwapProfile, RequestShape::Swap, 3},
    {kExistProfile, RequestShape::Plain, 1},    {kRemove, RequestShape::Plain, 1},
    {kWriteDictionary, RequestShape::URL, 2},   {kWriteData, RequestShape::URL, 2},
    {kWriteDataRename, RequestShape::Plain, 1}, {kMibWalk, RequestShape::Walk, 2},
};

// A swap value that stands for "no path", or for type 0.
inline constexpr std::string_view kNullValue = "NULL";

// Replies of the file methods; a walk answers this prefix and its result.
inline constexpr std::string_view kReplyTrue = "TRUE";
inline constexpr std::string_view kReplyFalse = "FALSE";
inline constexpr std::string_view kWalkReplyPrefix = "iRet=";

// What a successful file request prints: the method name, "=" and "TRUE".
inline std::string successMarker(std::string_view method) {
    std::string marker(method);
    marker += '=';
    marker += kReplyTrue;
    return marker;
}

// The start of a walk's reply line, followed by the decimal result.
inline std::string walkReplyLinePrefix() {
    return std::string(kMibWalk) + "=" + std::string(kWalkReplyPrefix);
}

// Characters of the profile file's XML text per write request.
inline constexpr std::size_t kWritePieceCharacters = 90000;

} // namespace zrk::helper
