// The state changes of the merge, as data.
#pragma once

#include "ProfileTypes.h"

#include <cstdint>

namespace zrk {

// Before the spool is merged, device entries age: a successful walk hides
// nothing but marks them as not found; a failed walk drops the hidden ones
// and turns the shown ones into user entries. Other states stay.
struct AgeingChange {
    int32_t before;
    int32_t afterSuccess;
    int32_t afterFailure;
};

inline constexpr AgeingChange kAgeingChanges[] = {
    {kInMenuDeviceAbsentHidden, kInMenuDeviceAbsentHidden, kInMenuEmpty},
    {kInMenuDevicePresentHidden, kInMenuDeviceAbsentHidden, kInMenuEmpty},
    {kInMenuDevicePresentShown, kInMenuDeviceAbsentShown, kInMenuUserShown},
};

// An entry that the walk reported again is marked as found on the printer,
// keeping whether it is shown. Other states stay.
struct FoundChange {
    int32_t before;
    int32_t after;
};

inline constexpr FoundChange kFoundChanges[] = {
    {kInMenuDeviceAbsentHidden, kInMenuDevicePresentHidden},
    {kInMenuUserHidden, kInMenuDevicePresentHidden},
    {kInMenuDeviceAbsentShown, kInMenuDevicePresentShown},
    {kInMenuUserShown, kInMenuDevicePresentShown},
};

// State of an entry that a walk adds.
inline constexpr int32_t kNewDeviceEntryState = kInMenuDevicePresentHidden;

// Profile classes as the printer reports them: RGB sources go to the RGB
// group, output profiles to both the simulation and the destination group.
inline constexpr int32_t kProfileClassRGBSourceA = 1;
inline constexpr int32_t kProfileClassRGBSourceB = 2;
inline constexpr int32_t kProfileClassOutput = 3;

// File-name form: base length and extension length limits.
inline constexpr int kMaxFileBaseLength = 27;
inline constexpr int kMaxFileExtensionLength = 3;

// Punctuation a file name may hold besides ASCII letters and digits.
inline constexpr char kFileNamePunctuation[] = "!#$%&'()-.^_{}~`";

} // namespace zrk
