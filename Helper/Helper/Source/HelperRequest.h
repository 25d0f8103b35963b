// The helper tool's command line: argv[1] names the method, the values
// follow; each method turns its values into the one request string the
// service expects.
#pragma once

#include <chrono>
#include <optional>
#include <string>

namespace zrk::helper {

// How long the helper waits for the service's reply: a walk of a large table
// on a slow printer takes minutes, a file request is quick unless it waits
// behind a walk. Both end before the plug-in's own limits, so the helper
// gives up by itself.
inline constexpr std::chrono::milliseconds kWalkReplyTimeLimit{9 * 60 * 1000};
inline constexpr std::chrono::milliseconds kFileReplyTimeLimit{15 * 1000};

struct HelperRequest {
    std::string method;
    std::string text;
    std::chrono::milliseconds timeLimit{};
};

// The request of a command line; nothing for an unknown method (names are
// compared exactly) or too few values. Values beyond those a method takes
// are ignored, except by the walk, which takes them all.
std::optional<HelperRequest> buildHelperRequest(int argc, const char* const* argv);

} // namespace zrk::helper
