// The system's fixed installation paths and their resolution under the
// installation root. The root is "/" unless the process's own environment
// sets ZRK5100_ROOT; no request can move it. Every deliverable uses these
// definitions so that the plug-in, the helper and the service agree.
#pragma once

#include <string>
#include <string_view>

namespace zrk {

inline constexpr std::string_view kVendorPrefix = "com.ostra";
inline constexpr const char* kInstallRootVariable = "ZRK5100_ROOT";

// Fixed paths in their written form (absolute, as if the root were "/").
inline constexpr std::string_view kHelperToolPath =
    "/Library/Application Support/Ostra/ZR-K5100/Helpers/ZR-K5100Helper.app/Contents/MacOS/"
    "ZR-K5100Helper";
inline constexpr std::string_view kPreferencesDirectory =
    "/Library/Printers/Ostra/Preferences/com.ostra.printers.ZR-K5100/";
inline constexpr std::string_view kProfileDirectory =
    "/Library/Printers/Ostra/Products/ZR-K5100/Profiles";
inline constexpr std::string_view kOnPrinterIconPath =
    "/Library/Printers/Ostra/Products/ZR-K5100/Icons/fileExistZRK5100.icns";
inline constexpr std::string_view kDownloadManagerPath =
    "/Applications/Download Manager ZR-K5100/Ostra Download Manager.app";

// The installation root without a trailing slash ("" stands for "/").
std::string installRoot();

// A fixed path (written form, starting with "/") under the installation root.
std::string resolveInstallPath(std::string_view fixedPath);

} // namespace zrk
