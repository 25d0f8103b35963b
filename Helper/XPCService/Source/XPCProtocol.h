// What the service holds requests to, beyond the protocol itself (which is
// ProfileStore/HelperMethods.h, shared with the plug-in and the helper).
#pragma once

#include "HelperMethods.h"

#include <cstddef>

namespace zrk::xpc {

// A walk carries at most this many arguments.
inline constexpr std::size_t kMaxWalkArguments = 511;

// A path value longer than this cannot be one of the profile files.
inline constexpr std::size_t kMaxRequestPathLength = 255;

// The result a refused walk answers with.
inline constexpr int kWalkRefused = -1;

} // namespace zrk::xpc
