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

// Fixed paths (absolute, as if the root were "/"), from the table of places
// of the layout the build was configured for (cmake/InstallPlaces.cmake):
// the written forms under /Library by default, the FHS places in the package.
extern const std::string_view kHelperToolPath;
extern const std::string_view kPreferencesDirectory; // ends with '/'
extern const std::string_view kProfileDirectory;
extern const std::string_view kOnPrinterIconPath;
extern const std::string_view kDownloadManagerPath;
extern const std::string_view kSnmpStateDirectory;

// The installation root without a trailing slash ("" stands for "/").
std::string installRoot();

// A fixed path (written form, starting with "/") under the installation root.
std::string resolveInstallPath(std::string_view fixedPath);

} // namespace zrk
