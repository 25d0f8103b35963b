// What the store's source files share (internal).
#pragma once

#include "ProfileTypes.h"
#include "UniqueFd.h"
#include "VXPList.h"

#include <plist/plist.h>

#include <cstdint>
#include <memory>
#include <new>
#include <string>

namespace zrk::store {

// Owns a property-list node.
struct PlistDeleter {
    void operator()(void* node) const {
        if (node != nullptr) {
            plist_free(static_cast<plist_t>(node));
        }
    }
};
using PlistPtr = std::unique_ptr<void, PlistDeleter>;

// A zeroed list on the heap (lists are 42 kB; several at once do not belong
// on a caller's stack). NULL when memory runs out.
inline std::unique_ptr<ProfileList> newClearedList() {
    return std::unique_ptr<ProfileList>(new (std::nothrow) ProfileList());
}

// Largest profile file the readers accept; a full file is about 560 kB.
inline constexpr std::size_t kMaxProfileFileSize = 16u << 20;

// Path of the current or backup profile file for this build; false when it
// cannot be formed.
bool currentProfilePath(std::string* path);
bool backupProfilePath(std::string* path);

// The file VXPListRemove selects: kRemoveCurrentFile or kRemoveBackupFile;
// false for any other selector or a path that cannot be formed.
inline bool removalProfilePath(int32_t which, std::string* path) {
    if (which == kRemoveCurrentFile) {
        return currentProfilePath(path);
    }
    if (which == kRemoveBackupFile) {
        return backupProfilePath(path);
    }
    return false;
}

// Why a profile file could not be loaded: missing is true when there is no
// file at all; reason says what is wrong with one that is there.
struct LoadProblem {
    bool missing = false;
    const char* reason = "";
};

// Reads and parses a whole profile file; NULL when that fails, with the
// problem in *problem when it is given.
PlistPtr loadProfileFile(const std::string& path, LoadProblem* problem = nullptr);

// The XML text of a complete profile file holding the three lists.
bool buildProfileXml(const ProfileList* rgb, const ProfileList* sim, const ProfileList* dst,
                     std::string* xml);

// Holds the current file's write sequence (probe, pieces, commit) for as
// long as *hold lives: the plug-in build locks it per user and model against
// the user's other print dialogs (WriteSequenceLock.h); the service build,
// which serialises its own work, holds nothing. False, holding nothing, when
// the lock cannot be had within the file-request time limit.
bool holdWriteSequence(UniqueFd* hold);

// Writes already merged lists to the current file, without a probe (the
// transport differs between the builds).
int32_t writeProfileListsUnprobed(const ProfileList* rgb, const ProfileList* sim,
                                  const ProfileList* dst);

// Number of entries to walk in a list: its count clamped to 0..500.
inline int32_t boundedCount(const ProfileList* list) {
    if (list->iNum < 0) {
        return 0;
    }
    return list->iNum > kMaxProfileEntries ? kMaxProfileEntries : list->iNum;
}

} // namespace zrk::store
