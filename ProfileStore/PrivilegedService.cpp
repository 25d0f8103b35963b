// Service build of the privileged operations: the file steps themselves, on
// the store path set of the request being served.
#if defined(ZRK_STORE_SERVICE_BUILD)

#include "StoreFileOps.h"
#include "StoreInternal.h"
#include "StorePaths.h"
#include "VXPList.h"

#include <cstring>

namespace zrk::store {

namespace {

bool pathFromSet(const char* value, std::string* path) {
    if (value == nullptr || value[0] == '\0' || std::strlen(value) > kMaxProfilePathLength) {
        return false;
    }
    *path = value;
    return true;
}

} // namespace

bool currentProfilePath(std::string* path) {
    return pathFromSet(VX_PLIST_PROFILE_PATH, path);
}

bool backupProfilePath(std::string* path) {
    return pathFromSet(VX_PLIST_PROFILE_PREV_PATH, path);
}

bool holdWriteSequence(UniqueFd* hold) {
    hold->reset();
    return true;
}

int32_t writeProfileListsUnprobed(const ProfileList* rgb, const ProfileList* sim,
                                  const ProfileList* dst) {
    std::string path;
    std::string xml;
    if (!currentProfilePath(&path) || !buildProfileXml(rgb, sim, dst, &xml)) {
        return -1;
    }
    return writeFileAtomically(path, xml) ? 0 : -1;
}

} // namespace zrk::store

int32_t VXPListIsAdminProfile() {
    std::string path;
    if (!zrk::store::currentProfilePath(&path)) {
        return 0;
    }
    return zrk::probeWritable(path) ? 1 : 0;
}

int32_t VXPListExistProfile() {
    std::string path;
    if (VXPListIsAdminProfile() == 0 || !zrk::store::currentProfilePath(&path)) {
        return 0;
    }
    return zrk::fileOpensForReading(path) ? 1 : 0;
}

int32_t VXPListRemove(int32_t which) {
    if (VXPListIsAdminProfile() == 0) {
        return 0;
    }
    std::string path;
    return zrk::store::removalProfilePath(which, &path) && zrk::removeFile(path) ? 1 : 0;
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
    zrk::swapProfileFiles(type, current, backup);
}

#endif
