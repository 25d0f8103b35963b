#include "HelperRequest.h"

#include "HelperMethods.h"

#include <array>
#include <string_view>

namespace zrk::helper {

namespace {

// A walk of a large table on a slow printer takes minutes; a file request is
// quick.
std::chrono::milliseconds timeLimitOf(RequestShape shape) {
    return shape == RequestShape::Walk ? kWalkReplyTimeLimit : kFileReplyTimeLimit;
}

// Each value followed by its marker.
template <std::size_t N>
std::string marked(const char* const* values, const std::array<std::string_view, N>& markers) {
    std::string text;
    for (std::string_view marker : markers) {
        text += *values++;
        text += marker;
    }
    return text;
}

std::string requestText(RequestShape shape, int argc, const char* const* argv) {
    switch (shape) {
    case RequestShape::Walk: {
        std::string text = marked(argv + 2, kWalkMarkers);
        for (int i = 4; i < argc; ++i) {
            text += argv[i];
            text += kMarkerWalkArgument;
        }
        return text;
    }
    case RequestShape::Plain:
        return argv[2];
    case RequestShape::Swap:
        return marked(argv + 2, kSwapMarkers);
    case RequestShape::URL:
        return marked(argv + 2, kURLMarkers) + argv[3];
    }
    return {};
}

} // namespace

std::optional<HelperRequest> buildHelperRequest(int argc, const char* const* argv) {
    if (argc < 2 || argv == nullptr || argv[1] == nullptr) {
        return std::nullopt;
    }
    const std::string_view method(argv[1]);
    for (const ProtocolMethod& row : kProtocolMethods) {
        if (row.name != method) {
            continue;
        }
        if (argc - 2 < row.values) {
            return std::nullopt;
        }
        return HelperRequest{std::string(row.name), requestText(row.shape, argc, argv),
                             timeLimitOf(row.shape)};
    }
    return std::nullopt;
}

} // namespace zrk::helper
