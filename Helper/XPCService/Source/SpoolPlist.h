// The spool list that a walk of the device profile table fills, and the
// merge of the spool into the user's profile file.
//
// The spool is one list for the whole process; walks and merges run one at a
// time (the service serves one request at a time) and the merge writes
// through the service build of the store, on the store path set of the
// request being served.
#pragma once

#include "ProfileTypes.h"

#include <net-snmp/net-snmp-config.h>
#include <net-snmp/types.h>

#include <cstddef>
#include <cstdint>

namespace zrk {

// Slot r - 1 holds the table row with row index r; iNum counts the index
// cells received. iInMenu stays 0 in every slot.
extern ProfileList PlistForSpool;

// reset 1 clears the whole spool. Otherwise files one received cell: the
// column is found over the identifier's first 16 sub-identifiers, the slot
// by its 18th; cells of another column, of the wrong value type, without a
// row index or with a row index outside 1..500 are ignored. Texts are cut to
// 31 bytes at a character boundary.
void vSpoolPlist(const oid* name, std::size_t nameLength, const netsnmp_variable_list* var,
                 int reset);

// Merges the spool into the three profile groups of the current profile file
// and rewrites it; failed is the walk's result code (0 success). Returns the
// write's result: 0 written, -1 not. A missing file is created; a file that
// is there but does not read as a profile file (damaged, binary, nested too
// deeply, lacking a group, refused by a rule of the reader) is left byte for
// byte as it was, one system-log line names the reason, and the result is
// kMergeKeptUnreadableFile: replacing it would lose every entry of the user.
inline constexpr int kMergeKeptUnreadableFile = -2;
int vRestructPlistSpool2Current(int failed);

// The merge itself, on the three groups (indexed by kProfileGroupRGB..DST) as
// read from the profile file: ages the entries, clears names the printer
// cannot serve, files the spool's rows and tidies every group. What it leaves
// in the groups is what vRestructPlistSpool2Current writes.
void vMergeSpoolIntoGroups(int failed, ProfileList* groups);

// Ages the states of one group before the merge, after a successful or a
// failed walk; only iInMenu changes.
void vDeleteMIBprofilesTemporary(int failed, ProfileList* list);

// Merges spool slot spoolSlot into one group: a matching entry (same file
// name and location) is marked as found, otherwise the row becomes a new
// entry in the first free slot (dropped when the group is full).
void vRestructDetail(int spoolSlot, ProfileList* list);

// True for a file name the printer can serve: a base of 1 to 27 characters,
// optionally a dot and an extension of at most 3 characters (everything after
// the first dot), every character accepted by FileNameFilter.
bool bJudgement8point3Format(const char* name);

// True for ASCII letters and digits and ! # $ % & ' ( ) - . ^ _ { } ~ `.
bool FileNameFilter(int c);

} // namespace zrk
