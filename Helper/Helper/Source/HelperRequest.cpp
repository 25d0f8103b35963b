#include "HelperRequest.h"

#include "HelperMethods.h"
#include "XPCProtocol.h"

#include <initializer_list>
#include <string_view>

namespace zrk::helper {

namespace {

enum class Shape {
    Walk,  // model ":ModelName:END" user ":USErName:END" (argument ":arg:")...
    Plain, // the value itself
    Swap,  // type ":ARG_iSwapType" current ":ARG_cFooCurrentString" backup ":ARG_cFooPrevString"
    URL,   // URL ":AddURL:END" text
};

struct MethodRow {
    std::string_view name;
    int values; // values the method needs after its name
    Shape shape;
    std::chrono::milliseconds timeLimit;
};

constexpr MethodRow kMethods[] = {
    {kMibWalk, 2, Shape::Walk, kWalkReplyTimeLimit},
    {kIsAdminProfile, 1, Shape::Plain, kFileReplyTimeLimit},
    {kSwapProfile, 3, Shape::Swap, kFileReplyTimeLimit},
    {kExistProfile, 1, Shape::Plain, kFileReplyTimeLimit},
    {kRemove, 1, Shape::Plain, kFileReplyTimeLimit},
    {kWriteData, 2, Shape::URL, kFileReplyTimeLimit},
    {kWriteDataRename, 1, Shape::Plain, kFileReplyTimeLimit},
    {kWriteDictionary, 2, Shape::URL, kFileReplyTimeLimit},
};

// Each value followed by its marker.
std::string marked(const char* const* values, std::initializer_list<std::string_view> markers) {
    std::string text;
    for (std::string_view marker : markers) {
        text += *values++;
        text += marker;
    }
    return text;
}

std::string requestText(Shape shape, int argc, const char* const* argv) {
    switch (shape) {
    case Shape::Walk: {
        std::string text = marked(argv + 2, {xpc::kMarkerModel, xpc::kMarkerUser});
        for (int i = 4; i < argc; ++i) {
            text += argv[i];
            text += xpc::kMarkerWalkArgument;
        }
        return text;
    }
    case Shape::Plain:
        return argv[2];
    case Shape::Swap:
        return marked(argv + 2,
                      {xpc::kMarkerSwapType, xpc::kMarkerSwapCurrent, xpc::kMarkerSwapPrevious});
    case Shape::URL:
        return marked(argv + 2, {xpc::kMarkerURL}) + argv[3];
    }
    return {};
}

} // namespace

std::optional<HelperRequest> buildHelperRequest(int argc, const char* const* argv) {
    if (argc < 2 || argv == nullptr || argv[1] == nullptr) {
        return std::nullopt;
    }
    const std::string_view method(argv[1]);
    for (const MethodRow& row : kMethods) {
        if (row.name != method) {
            continue;
        }
        if (argc - 2 < row.values) {
            return std::nullopt;
        }
        return HelperRequest{std::string(row.name), requestText(row.shape, argc, argv),
                             row.timeLimit};
    }
    return std::nullopt;
}

} // namespace zrk::helper
