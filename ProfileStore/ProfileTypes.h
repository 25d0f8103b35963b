// The in-memory form of a profile file: one ProfileList per profile group,
// the entry states, and the key texts of the file's columns.
#pragma once

#include <cstdint>

// Slots per group; a group never holds more entries than this.
inline constexpr int32_t kMaxProfileEntries = 500;

// Profile groups, in file and processing order.
inline constexpr int32_t kProfileGroupRGB = 0;
inline constexpr int32_t kProfileGroupSIM = 1;
inline constexpr int32_t kProfileGroupDST = 2;
inline constexpr int32_t kProfileGroupCount = 3;

// Entry states (ProfileEntry::iInMenu). 0 marks an unused slot.
inline constexpr int32_t kInMenuEmpty = 0;
inline constexpr int32_t kInMenuDeviceAbsentHidden = 1;
inline constexpr int32_t kInMenuDevicePresentHidden = 2;
inline constexpr int32_t kInMenuDeviceAbsentShown = 3;
inline constexpr int32_t kInMenuDevicePresentShown = 4;
inline constexpr int32_t kInMenuUserHidden = 5;
inline constexpr int32_t kInMenuUserShown = 6;

// Where the printer keeps a profile file (ProfileEntry::iLocation).
inline constexpr int32_t kLocationDisk = 4;
inline constexpr int32_t kLocationCard = 5;

// Index given to a device entry that lost its index on the printer.
inline constexpr int32_t kSalvagedIndexOnDevice = 501;

// Bytes of a name field, terminating NUL included.
inline constexpr int kProfileNameFieldSize = 32;

struct ProfileEntry {
    int32_t iIndexOnDevice;
    int32_t iInMenu;
    int32_t iProfileClass;
    char FileName[kProfileNameFieldSize];
    char ProfileName[kProfileNameFieldSize];
    int32_t iLocation;
    int32_t iDriver; // held in memory only, never stored in the file
};

struct ProfileList {
    ProfileEntry litem[kMaxProfileEntries];
    int32_t iNum;
};

// Key texts of the file, NUL-padded to 32 bytes. A slot key is a column key
// followed by the slot number in four digits ("%s%04d").
inline constexpr char cIndexOnDeviceKey[32] = "IndexOnDevice";
inline constexpr char cInMenuKey[32] = "InMenu";
inline constexpr char cProfileClassKey[32] = "ProfileClass";
inline constexpr char cFileNameKey[32] = "FileName";
inline constexpr char cProfileNameKey[32] = "ProfileName";
inline constexpr char cLocationKey[32] = "Location";
inline constexpr char cPlistVersionKey[32] = "PlistVersion";
inline constexpr char cNumKey[32] = "iNum";

// Group keys of the root dictionary, indexed by profile group.
inline constexpr const char* cProfileGroupKeys[kProfileGroupCount] = {"RGB", "SIM", "DST"};

// The only format version written.
inline constexpr int32_t kPlistVersion = 1;
