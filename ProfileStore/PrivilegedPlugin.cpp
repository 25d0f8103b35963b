// Plug-in build of the privileged operations: each one is a request to the
// service, carried by one launch of the helper tool.
#if defined(ZRK_STORE_PLUGIN_BUILD)

#include "HelperLauncher.h"
#include "HelperMethods.h"
#include "InstallRoot.h"
#include "SplitCharEvery.h"
#include "StoreFileOps.h"
#include "StoreInternal.h"
#include "StorePaths.h"
#include "VXPList.h"
#include "WriteSequenceLock.h"

#include <sys/stat.h>

#include <string>
#include <vector>

namespace {

// The plug-in names the files after the login name of its real user.
bool userStorePaths(zrk::StorePaths* paths) {
    return zrk::formStorePaths(zrk::realUserLoginName(), zrk::kModelToken, paths);
}

std::string helperPath() {
    return zrk::resolveInstallPath(zrk::kHelperToolPath);
}

bool helperExists(const std::string& path) {
    struct stat info;
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

// One launch; true when the reply carries "<method>=TRUE". Without a helper
// nothing is launched.
bool request(std::string_view method, std::vector<std::string> values) {
    std::string path = helperPath();
    if (!helperExists(path)) {
        return false;
    }
    values.insert(values.begin(), std::string(method));
    zrk::HelperRun run = zrk::runHelper(path, values, zrk::kFileRequestTimeLimit);
    return zrk::helperSucceeded(run, zrk::helper::successMarker(method));
}

} // namespace

namespace zrk::store {

bool currentProfilePath(std::string* path) {
    StorePaths paths;
    if (!userStorePaths(&paths)) {
        return false;
    }
    *path = paths.current;
    return true;
}

bool backupProfilePath(std::string* path) {
    StorePaths paths;
    if (!userStorePaths(&paths)) {
        return false;
    }
    *path = paths.backup;
    return true;
}

bool holdWriteSequence(UniqueFd* hold) {
    *hold = lockWriteSequence(realUserLoginName(), kModelToken, kFileRequestTimeLimit);
    return hold->valid();
}

int32_t writeProfileListsUnprobed(const ProfileList* rgb, const ProfileList* sim,
                                  const ProfileList* dst) {
    std::string path;
    if (!currentProfilePath(&path) || !helperExists(helperPath())) {
        return -1;
    }
    std::string xml;
    if (!buildProfileXml(rgb, sim, dst, &xml)) {
        return -1;
    }
    // Both steps name the file by the same URL string.
    const std::string url = fileURLFromPath(path);
    for (std::string& piece : splitCharEvery(xml, helper::kWritePieceCharacters)) {
        if (!request(helper::kWriteData, {url, std::move(piece)})) {
            return -1; // the current file keeps its old contents
        }
    }
    return request(helper::kWriteDataRename, {url}) ? 0 : -1;
}

} // namespace zrk::store

int32_t VXPListIsAdminProfile() {
    std::string path;
    if (!zrk::store::currentProfilePath(&path)) {
        return 0;
    }
    return request(zrk::helper::kIsAdminProfile, {path}) ? 1 : 0;
}

int32_t VXPListExistProfile() {
    std::string path;
    if (VXPListIsAdminProfile() == 0 || !zrk::store::currentProfilePath(&path)) {
        return 0;
    }
    return request(zrk::helper::kExistProfile, {path}) ? 1 : 0;
}

int32_t VXPListRemove(int32_t which) {
    if (VXPListIsAdminProfile() == 0) {
        return 0;
    }
    std::string path;
    return zrk::store::removalProfilePath(which, &path) && request(zrk::helper::kRemove, {path})
               ? 1
               : 0;
}

void VXPListSwapProfile(int32_t type) {
    if (VXPListIsAdminProfile() == 0) {
        return;
    }
    std::string current;
    std::string backup;
    if (!zrk::store::currentProfilePath(&current) || !zrk::store::backupProfilePath(&backup)) {
        return;
    }
    // The reply is not examined.
    (void)request(zrk::helper::kSwapProfile, {std::to_string(type), current, backup});
}

#endif
