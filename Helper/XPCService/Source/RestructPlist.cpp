#include "LogText.h"
#include "MergeTables.h"
#include "ProfileFileCheck.h"
#include "SpoolPlist.h"
#include "StorePaths.h"
#include "VXPList.h"

#include <syslog.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>

namespace zrk {

namespace {

enum GroupSlot { kRGB = kProfileGroupRGB, kSIM = kProfileGroupSIM, kDST = kProfileGroupDST };

// The number of leading slots a list claims, kept within the list whatever
// the file said.
int boundedCount(const ProfileList& list) {
    return std::clamp<int32_t>(list.iNum, 0, kMaxProfileEntries);
}

bool isDeviceLocation(int32_t location) {
    return location == kLocationDisk || location == kLocationCard;
}

} // namespace

void vDeleteMIBprofilesTemporary(int failed, ProfileList* list) {
    if (list == nullptr) {
        return;
    }
    for (ProfileEntry& entry : list->litem) {
        for (const AgeingChange& change : kAgeingChanges) {
            if (entry.iInMenu == change.before) {
                entry.iInMenu = failed != 0 ? change.afterFailure : change.afterSuccess;
                break;
            }
        }
    }
}

void vRestructDetail(int spoolSlot, ProfileList* list) {
    if (list == nullptr || spoolSlot < 0 || spoolSlot >= kMaxProfileEntries) {
        return;
    }
    const ProfileEntry& row = PlistForSpool.litem[spoolSlot];
    const int count = boundedCount(*list);
    for (int i = 0; i < count; ++i) {
        ProfileEntry& entry = list->litem[i];
        if (std::strncmp(entry.FileName, row.FileName, kProfileNameFieldSize) == 0 &&
            entry.iLocation == row.iLocation) {
            for (const FoundChange& change : kFoundChanges) {
                if (entry.iInMenu == change.before) {
                    entry.iInMenu = change.after;
                    break;
                }
            }
            return;
        }
    }
    for (ProfileEntry& entry : list->litem) {
        if (entry.iInMenu == kInMenuEmpty) {
            entry = row;
            entry.iInMenu = kNewDeviceEntryState;
            // Entries dropped by a failed walk still count until the list is
            // tidied, so the count alone could pass the list's size.
            list->iNum = std::min<int32_t>(boundedCount(*list) + 1, kMaxProfileEntries);
            return;
        }
    }
}

void vMergeSpoolIntoGroups(int failed, ProfileList* groups) {
    ProfileList& rgb = groups[kRGB];
    ProfileList& sim = groups[kSIM];
    ProfileList& dst = groups[kDST];

    for (int g = 0; g < kProfileGroupCount; ++g) {
        vDeleteMIBprofilesTemporary(failed, &groups[g]);
    }

    // Entries whose file names the printer could not serve are deleted.
    bool cleared = false;
    for (int g = 0; g < kProfileGroupCount; ++g) {
        ProfileList& list = groups[g];
        for (ProfileEntry& entry : list.litem) {
            entry.FileName[kProfileNameFieldSize - 1] = '\0';
            if (entry.FileName[0] != '\0' && !bJudgement8point3Format(entry.FileName)) {
                entry = ProfileEntry{};
                list.iNum = std::max(boundedCount(list) - 1, 0);
                cleared = true;
            }
        }
    }
    // The search for matching entries looks only at the first count slots.
    if (cleared) {
        for (int g = 0; g < kProfileGroupCount; ++g) {
            VXPListPaddingProfile_Dict(&groups[g]);
        }
    }

    // Rows that arrived before a failure are merged as well.
    const int rows = boundedCount(PlistForSpool);
    for (int i = 0; i < rows; ++i) {
        const ProfileEntry& row = PlistForSpool.litem[i];
        if (!isDeviceLocation(row.iLocation) || !bJudgement8point3Format(row.FileName)) {
            continue;
        }
        switch (row.iProfileClass) {
        case kProfileClassRGBSourceA:
        case kProfileClassRGBSourceB:
            vRestructDetail(i, &rgb);
            break;
        case kProfileClassOutput:
            vRestructDetail(i, &sim);
            vRestructDetail(i, &dst);
            break;
        default:
            break;
        }
    }

    for (int g = 0; g < kProfileGroupCount; ++g) {
        VXPListCleanProfile_Dict(&groups[g]);
        VXPListPaddingProfile_Dict(&groups[g]);
        VXPListSalvage_Dict(&groups[g]);
        // Entries dropped above leave the count too high and their fields
        // behind; the file is written the way every reader would correct it.
        VXPlistCheckWithInMenu_Dict(&groups[g]);
    }
}

int vRestructPlistSpool2Current(int failed) {
    // Only a missing file may be started from empty lists.
    if (VX_PLIST_PROFILE_PATH != nullptr) {
        std::string reason;
        if (store::checkProfileFile(VX_PLIST_PROFILE_PATH, &reason) ==
            store::ProfileFileState::Unreadable) {
            syslog(LOG_ERR, "xpc - mibwalk_XPC - %s %s: left unchanged",
                   escapedForLog(VX_PLIST_PROFILE_PATH).c_str(), escapedForLog(reason).c_str());
            return kMergeKeptUnreadableFile;
        }
    }
    // Three lists are 126 KB: kept off the stack of whichever thread serves
    // the request.
    auto groups = std::make_unique<ProfileList[]>(kProfileGroupCount);
    ProfileList& rgb = groups[kRGB];
    ProfileList& sim = groups[kSIM];
    ProfileList& dst = groups[kDST];

    // No file yet leaves the lists empty: the first walk creates the file.
    VXPListReadProfile_All(&rgb, &sim, &dst);
    vMergeSpoolIntoGroups(failed, groups.get());
    return VXPListWriteProfile_All(&rgb, &sim, &dst);
}

} // namespace zrk
