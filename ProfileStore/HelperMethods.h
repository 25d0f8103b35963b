// Method names of the helper tool's command line (argv[1]) and the texts of
// its reply line, shared by everything that launches the helper.
#pragma once

#include <string>
#include <string_view>

namespace zrk::helper {

inline constexpr std::string_view kMibWalk = "mibwalk_XPC";
inline constexpr std::string_view kIsAdminProfile = "vxPListIsAdminProfile_XPC";
inline constexpr std::string_view kSwapProfile = "vxPListSwapProfile_XPC";
inline constexpr std::string_view kExistProfile = "vxPListExistProfile_XPC";
inline constexpr std::string_view kRemove = "vxPListRemove_XPC";
inline constexpr std::string_view kWriteData = "writeDataToPlistFile_XPC";
inline constexpr std::string_view kWriteDataRename = "writeDataToPlistFileRename_XPC";
inline constexpr std::string_view kWriteDictionary = "writeDictionaryToPlistFile_XPC";

inline constexpr std::string_view kReplyTrue = "TRUE";
inline constexpr std::string_view kReplyFalse = "FALSE";

// What a successful file request prints: the method name, "=" and "TRUE".
inline std::string successMarker(std::string_view method) {
    std::string marker(method);
    marker += '=';
    marker += kReplyTrue;
    return marker;
}

// A walk's reply line starts with this, followed by the decimal result.
inline constexpr std::string_view kMibWalkReplyPrefix = "mibwalk_XPC=iRet=";

// Characters of the profile file's XML text per write request.
inline constexpr std::size_t kWritePieceCharacters = 90000;

} // namespace zrk::helper
