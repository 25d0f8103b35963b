// The service's place on the bus and the shape of its requests, shared by the
// service and the helper tool. The method names are those of HelperMethods.h:
// each method of the interface takes one request string and answers with one
// reply string.
#pragma once

#include <cstddef>
#include <string_view>

namespace zrk::xpc {

// Bus name, object path and interface. Object paths and interface names
// may not hold hyphens; the interface carries the protocol's registration
// suffix.
inline constexpr const char* kServiceName = "com.ostra.ZR-K5100";
inline constexpr const char* kObjectPath = "/com/ostra/ZRK5100";
inline constexpr const char* kInterfaceName =
    "com.ostra.VX_XPC_Protocol8F4418FF_327A_4252_A295_FA478F715E80";

// Request markers: every value is followed by its marker.
inline constexpr std::string_view kMarkerSwapType = ":ARG_iSwapType";
inline constexpr std::string_view kMarkerSwapCurrent = ":ARG_cFooCurrentString";
inline constexpr std::string_view kMarkerSwapPrevious = ":ARG_cFooPrevString";
inline constexpr std::string_view kMarkerURL = ":AddURL:END";
inline constexpr std::string_view kMarkerModel = ":ModelName:END";
inline constexpr std::string_view kMarkerUser = ":USErName:END";
inline constexpr std::string_view kMarkerWalkArgument = ":arg:";

// A swap value that stands for "no path", or for type 0.
inline constexpr std::string_view kNullValue = "NULL";

// A walk carries at most this many arguments.
inline constexpr std::size_t kMaxWalkArguments = 511;

// A path value longer than this cannot be one of the profile files.
inline constexpr std::size_t kMaxRequestPathLength = 255;

// A walk's reply is this prefix and the decimal result; a refused walk
// answers with kWalkRefused.
inline constexpr std::string_view kWalkReplyPrefix = "iRet=";
inline constexpr int kWalkRefused = -1;

} // namespace zrk::xpc
