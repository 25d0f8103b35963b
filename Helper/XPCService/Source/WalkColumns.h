// Layout of the printer's device profile table as the walk sees it: the
// entry identifier that roots the walk and the six columns it records.
#pragma once

#include <net-snmp/net-snmp-config.h>
#include <net-snmp/types.h>

#include <cstddef>

namespace zrk {

// The table entry, in the dotted form the panel sends as the walk's root.
inline constexpr const char* kWalkRootOID = "1.3.6.1.4.1.18334.1.1.1.1.6.13.1.1";

// A cell identifier is the entry (15 sub-identifiers), the column number, a
// table number that is not examined, and the row index.
inline constexpr std::size_t kWalkEntryLength = 15;
inline constexpr std::size_t kWalkColumnLength = 16;
inline constexpr std::size_t kWalkRowIndexPosition = 17;
inline constexpr std::size_t kWalkCellLength = kWalkRowIndexPosition + 1;

// Row indexes that have a spool slot (row r fills slot r - 1).
inline constexpr oid kWalkFirstRow = 1;
inline constexpr oid kWalkLastRow = 500;

// The recorded columns, by their full column identifier. Column 6 and any
// other column are walked over without being recorded.
extern const oid iOidIndexOnDevice[kWalkColumnLength];
extern const oid iOidSourceType[kWalkColumnLength];
extern const oid iOidProfileName[kWalkColumnLength];
extern const oid iOidFileName[kWalkColumnLength];
extern const oid iOidProfileClass[kWalkColumnLength];
extern const oid iOidProfileAvailability[kWalkColumnLength];

} // namespace zrk
