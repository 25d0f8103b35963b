// The profile store: reading, building and writing the profile file, and the
// list operations of the device walk and the Profile Management window.
//
// Lists are passed by address and owned by the caller; a list handed to a
// reader must be cleared to zeros first (readers only fill what they find).
// Statuses are 0 for success and -1 for failure unless noted. Nothing throws.
//
// Where the current file's path comes from depends on the build:
//  - plug-in build (ZRK_STORE_PLUGIN_BUILD): the preferences directory under
//    the installation root and the login name of the process's real user;
//  - service build (ZRK_STORE_SERVICE_BUILD): the store path set of the
//    request being served (StorePaths.h). Without one, every operation that
//    touches a file fails.
#pragma once

#include "ProfileTypes.h"

#include <plist/plist.h>

#include <cstdint>

// Profile file selectors of VXPListRemove.
inline constexpr int32_t kRemoveBackupFile = 2;
inline constexpr int32_t kRemoveCurrentFile = 3;

// Swap types of VXPListSwapProfile.
inline constexpr int32_t kSwapRestore = 0; // backup replaces the current file
inline constexpr int32_t kSwapDiscard = 1; // backup is removed
inline constexpr int32_t kSwapBackup = 2;  // current file is copied to the backup

// Readers. Fail with -1, touching no list, when the file cannot be read or
// parsed, or lacks a required group or column dictionary.
int32_t VXPListReadProfile_All(ProfileList* rgb, ProfileList* sim, ProfileList* dst);
int32_t VXPListReadProfile_Dict(ProfileList* list, int32_t group);
// For queues that cannot be walked: present-hidden entries are skipped and
// present-shown entries read as user-shown.
int32_t VXPListReadProfile_Dict_Pap(ProfileList* list, int32_t group);

// Corrects the count against the occupied slots; clears everything from the
// corrected count on when they disagree.
void VXPlistCheckWithInMenu_Dict(ProfileList* list);

// Read one slot value of a column dictionary. A missing key or a value of
// another type leaves the output as it is.
void ReadDictionaryIntEntry(plist_t dict, const char* key, int32_t* value);
// name is a 32-byte field; at most 31 bytes are kept, cut at a character
// boundary, and the field is always NUL-terminated.
void ReadDictionaryStringEntry(plist_t dict, const char* key, char* name);

// Builds one group dictionary (all 500 slots of every column, then "iNum")
// and returns a new one-entry dictionary mapping the group key to it; an
// unknown group gives an empty dictionary. The seven out-references point
// into the returned dictionary: the caller frees only the returned one
// (plist_free). Any out-reference may be NULL. Returns NULL without a list.
plist_t CreatePropsDictionary(int32_t group, const ProfileList* list, plist_t* groupDict,
                              plist_t* indexOnDeviceDict, plist_t* inMenuDict,
                              plist_t* profileClassDict, plist_t* locationDict,
                              plist_t* fileNameDict, plist_t* profileNameDict);

// Writers. Both return -1 without writing when the write-permission probe
// fails; a write never leaves a partly written current file.
int32_t VXPListWriteProfile_All(const ProfileList* rgb, const ProfileList* sim,
                                const ProfileList* dst);
// Replaces one group, keeping the other two as read from the file. The out
// lists (each may be NULL) receive the three groups as written.
int32_t VXPListWriteProfile_Dict(const ProfileList* list, int32_t group, ProfileList* rgbOut,
                                 ProfileList* simOut, ProfileList* dstOut);
// Merges the window's edits of a queue that cannot be walked with the file
// (VXPListMappingProfile_All_Pap) and writes the result.
int32_t VXPListWriteProfile_All_Pap(const ProfileList* rgbEdited, const ProfileList* simEdited,
                                    const ProfileList* dstEdited, const ProfileList* rgbDeleted,
                                    const ProfileList* simDeleted, const ProfileList* dstDeleted);

// Reads the file's groups and merges each with VXPListMapping_Pap. Returns 0.
int32_t VXPListMappingProfile_All_Pap(const ProfileList* rgbEdited, const ProfileList* simEdited,
                                      const ProfileList* dstEdited, ProfileList* rgbOut,
                                      ProfileList* simOut, ProfileList* dstOut,
                                      const ProfileList* rgbDeleted, const ProfileList* simDeleted,
                                      const ProfileList* dstDeleted);
// Output: the file's device-present entries that were neither edited nor
// deleted, then the edited entries; at most 500. Returns the edited count.
int32_t VXPListMapping_Pap(const ProfileList* edited, const ProfileList* fromFile, ProfileList* out,
                           const ProfileList* deleted);

// Hands out copies of the file's three group dictionaries; the caller frees
// every copy it receives (plist_free), also after a failure.
int32_t VXPListMappingGetMainDict_FromPlist(plist_t* rgb, plist_t* sim, plist_t* dst);
// Looks up the six column dictionaries of a group dictionary (borrowed: they
// live as long as the group dictionary) and its "iNum" when present.
int32_t VXPListMappingGetSubDict(plist_t groupDict, plist_t* indexOnDeviceDict, plist_t* inMenuDict,
                                 plist_t* profileClassDict, plist_t* locationDict,
                                 plist_t* fileNameDict, plist_t* profileNameDict, int32_t* count);

// List surgery after a device walk, run in this order on each group.
void VXPListCleanProfile_Dict(ProfileList* list);
void VXPListPaddingProfile_Dict(ProfileList* list);
void VXPListSalvage_Dict(ProfileList* list);

// Diagnostic hook of the device walk; discards what it is given.
void MyDebugMessage(const char* message, int32_t value);

// Privileged operations (plug-in build: through the helper tool; service
// build: on the files).
// 1 when the current file may be created or changed, else 0.
int32_t VXPListIsAdminProfile();
// 1 when the current file exists (and may be written), else 0.
int32_t VXPListExistProfile();
// which: kRemoveCurrentFile or kRemoveBackupFile. 1 removed, else 0.
int32_t VXPListRemove(int32_t which);
// type: kSwapRestore, kSwapDiscard or kSwapBackup; other types do nothing.
void VXPListSwapProfile(int32_t type);
