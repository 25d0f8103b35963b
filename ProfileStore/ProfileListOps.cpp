// List surgery: clean-up, compaction, salvage and the merge for queues that
// cannot be walked.
#include "StoreInternal.h"
#include "VXPList.h"

#include <cstring>

using zrk::store::boundedCount;

namespace {

bool sameProfile(const ProfileEntry& a, const ProfileEntry& b) {
    return std::strncmp(a.FileName, b.FileName, kProfileNameFieldSize) == 0 &&
           a.iLocation == b.iLocation;
}

bool listHasProfile(const ProfileList* list, const ProfileEntry& entry) {
    if (list == nullptr) {
        return false;
    }
    int32_t count = boundedCount(list);
    for (int32_t i = 0; i < count; ++i) {
        if (sameProfile(list->litem[i], entry)) {
            return true;
        }
    }
    return false;
}

} // namespace

void VXPListCleanProfile_Dict(ProfileList* list) {
    if (list == nullptr) {
        return;
    }
    for (ProfileEntry& entry : list->litem) {
        if (entry.iIndexOnDevice != 0 || entry.FileName[0] == '\0') {
            continue;
        }
        if (entry.iInMenu == kInMenuDeviceAbsentShown ||
            entry.iInMenu == kInMenuDevicePresentShown) {
            entry.iIndexOnDevice = kSalvagedIndexOnDevice;
            entry.iInMenu = kInMenuDeviceAbsentShown;
        } else {
            entry = ProfileEntry{};
            --list->iNum;
        }
    }
}

void VXPListPaddingProfile_Dict(ProfileList* list) {
    if (list == nullptr) {
        return;
    }
    // Stable: occupied slots move to the front in their order; every slot
    // behind them ends all zeros.
    int32_t next = 0;
    for (int32_t slot = 0; slot < kMaxProfileEntries; ++slot) {
        if (list->litem[slot].iInMenu != kInMenuEmpty) {
            if (slot != next) {
                list->litem[next] = list->litem[slot];
            }
            ++next;
        }
    }
    for (int32_t slot = next; slot < kMaxProfileEntries; ++slot) {
        list->litem[slot] = ProfileEntry{};
    }
}

void VXPListSalvage_Dict(ProfileList* list) {
    if (list == nullptr) {
        return;
    }
    for (ProfileEntry& entry : list->litem) {
        if (entry.iIndexOnDevice != 0 && entry.FileName[0] != '\0' &&
            entry.iInMenu == kInMenuDeviceAbsentShown) {
            entry.iInMenu = kInMenuUserShown;
        }
    }
}

int32_t VXPListMapping_Pap(const ProfileList* edited, const ProfileList* fromFile, ProfileList* out,
                           const ProfileList* deleted) {
    if (out == nullptr) {
        return 0;
    }
    int32_t position = 0;
    if (fromFile != nullptr) {
        int32_t count = boundedCount(fromFile);
        for (int32_t i = 0; i < count && position < kMaxProfileEntries; ++i) {
            const ProfileEntry& entry = fromFile->litem[i];
            // Only entries found on the printer by the last walk come from the
            // file; the window holds every other entry in its edited list.
            if (entry.iInMenu != kInMenuDevicePresentHidden &&
                entry.iInMenu != kInMenuDevicePresentShown) {
                continue;
            }
            if (!listHasProfile(edited, entry) && !listHasProfile(deleted, entry)) {
                out->litem[position++] = entry;
            }
        }
    }
    if (edited != nullptr) {
        int32_t count = boundedCount(edited);
        for (int32_t i = 0; i < count && position < kMaxProfileEntries; ++i) {
            out->litem[position++] = edited->litem[i];
        }
    }
    for (int32_t slot = position; slot < kMaxProfileEntries; ++slot) {
        out->litem[slot] = ProfileEntry{};
    }
    out->iNum = position;
    return edited != nullptr ? edited->iNum : 0;
}

int32_t VXPListMappingProfile_All_Pap(const ProfileList* rgbEdited, const ProfileList* simEdited,
                                      const ProfileList* dstEdited, ProfileList* rgbOut,
                                      ProfileList* simOut, ProfileList* dstOut,
                                      const ProfileList* rgbDeleted, const ProfileList* simDeleted,
                                      const ProfileList* dstDeleted) {
    std::unique_ptr<ProfileList> file[kProfileGroupCount] = {
        zrk::store::newClearedList(), zrk::store::newClearedList(), zrk::store::newClearedList()};
    for (const auto& l : file) {
        if (!l) {
            return 0;
        }
    }
    // A missing file gives empty lists.
    (void)VXPListReadProfile_All(file[0].get(), file[1].get(), file[2].get());
    const ProfileList* edited[kProfileGroupCount] = {rgbEdited, simEdited, dstEdited};
    const ProfileList* deleted[kProfileGroupCount] = {rgbDeleted, simDeleted, dstDeleted};
    ProfileList* outs[kProfileGroupCount] = {rgbOut, simOut, dstOut};
    for (int32_t g = 0; g < kProfileGroupCount; ++g) {
        VXPListMapping_Pap(edited[g], file[g].get(), outs[g], deleted[g]);
    }
    return 0;
}

void MyDebugMessage(const char* message, int32_t value) {
    // The walk's diagnostic points stay silent in production.
    (void)message;
    (void)value;
}
