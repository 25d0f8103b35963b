// Names of the profile files, and (service build) the store path set that a
// walk request establishes for the store operations it calls.
#pragma once

#include <string>
#include <string_view>

namespace zrk {

// A profile file path must fit a 255-byte buffer with its terminating NUL.
inline constexpr std::size_t kMaxProfilePathLength = 254;

// The model token that the plug-in sends and uses in its own file names.
inline constexpr std::string_view kModelToken = "zrk5100";

// File-name templates in the preferences directory: user name, then model token.
inline constexpr const char* kCurrentFileTemplate = "%s-%s-profile.plist";
inline constexpr const char* kBackupFileTemplate = "%s-%s-profile.prev.plist";
inline constexpr const char* kSpoolFileTemplate = "%s-%s-profile.spool.plist";

// Suffix of the temporary file that the piecewise write of the helper fills.
inline constexpr std::string_view kPieceFileSuffix = ".dummy";

struct StorePaths {
    std::string current;
    std::string backup;
    std::string spool;
};

// Forms the three paths in the preferences directory (under the installation
// root) for a user and a model token. False, leaving *paths untouched, when a
// name is empty, holds a '/', is "." or "..", or when a path would not fit
// kMaxProfilePathLength characters; nothing is ever cut short.
bool formStorePaths(std::string_view user, std::string_view model, StorePaths* paths);

// The login name of the process's real user; empty when it has none.
std::string realUserLoginName();

} // namespace zrk

#if defined(ZRK_STORE_SERVICE_BUILD)

// The store path set read by the service build of the store operations. Each
// thread has its own, so requests served on different threads never see each
// other's paths. NULL while no request has established one.
extern thread_local constinit const char* VX_PLIST_PROFILE_PATH;
extern thread_local constinit const char* VX_PLIST_PROFILE_PREV_PATH;
extern thread_local constinit const char* VX_PLIST_PROFILE_SPOOL_PATH;

namespace zrk {

// Points the calling thread's store path set at copies of the given paths for
// the scope's lifetime and restores the previous set when it ends.
class StorePathScope {
public:
    explicit StorePathScope(const StorePaths& paths);
    ~StorePathScope();
    StorePathScope(const StorePathScope&) = delete;
    StorePathScope& operator=(const StorePathScope&) = delete;

private:
    StorePaths paths_;
    const char* previous_[3];
};

} // namespace zrk

#endif
