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

// No request is longer than a whole file's text after a URL of the longest
// path; a longer one is refused unread.
inline constexpr std::size_t kMaxRequestSize = (4u << 20) + 4096;

// The result a refused walk answers with.
inline constexpr int kWalkRefused = -1;

} // namespace zrk::xpc
