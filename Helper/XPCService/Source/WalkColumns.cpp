#include "WalkColumns.h"

namespace zrk {

#define ZRK_PROFILE_TABLE_ENTRY 1, 3, 6, 1, 4, 1, 18334, 1, 1, 1, 1, 6, 13, 1, 1

const oid iOidIndexOnDevice[kWalkColumnLength] = {ZRK_PROFILE_TABLE_ENTRY, 1};
const oid iOidSourceType[kWalkColumnLength] = {ZRK_PROFILE_TABLE_ENTRY, 2};
const oid iOidProfileName[kWalkColumnLength] = {ZRK_PROFILE_TABLE_ENTRY, 3};
const oid iOidFileName[kWalkColumnLength] = {ZRK_PROFILE_TABLE_ENTRY, 4};
const oid iOidProfileClass[kWalkColumnLength] = {ZRK_PROFILE_TABLE_ENTRY, 5};
const oid iOidProfileAvailability[kWalkColumnLength] = {ZRK_PROFILE_TABLE_ENTRY, 7};

#undef ZRK_PROFILE_TABLE_ENTRY

} // namespace zrk
