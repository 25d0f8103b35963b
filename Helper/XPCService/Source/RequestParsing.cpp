#include "RequestParsing.h"

#include "XPCProtocol.h"

#include <charconv>
#include <cstdint>

namespace zrk::xpc {

bool splitMarkedValues(std::string_view request, std::span<const std::string_view> markers,
                       std::vector<std::string_view>* values, std::string_view* rest) {
    std::vector<std::string_view> found;
    for (std::string_view marker : markers) {
        const std::size_t at = request.find(marker);
        if (at == std::string_view::npos) {
            return false;
        }
        found.push_back(request.substr(0, at));
        request.remove_prefix(at + marker.size());
    }
    *values = std::move(found);
    *rest = request;
    return true;
}

bool splitWalkArguments(std::string_view tail, std::vector<std::string>* arguments) {
    std::vector<std::string> found;
    for (std::size_t at; (at = tail.find(helper::kMarkerWalkArgument)) != std::string_view::npos;) {
        if (found.size() == kMaxWalkArguments) {
            return false;
        }
        found.emplace_back(tail.substr(0, at));
        tail.remove_prefix(at + helper::kMarkerWalkArgument.size());
    }
    if (found.empty()) {
        return false;
    }
    *arguments = std::move(found);
    return true;
}

bool parseSwapType(std::string_view value, int* type) {
    if (value == helper::kNullValue) {
        *type = 0;
        return true;
    }
    if (value.size() > 1 && value.front() == '+' && value[1] != '-') {
        value.remove_prefix(1);
    }
    std::int32_t parsed = 0;
    const char* end = value.data() + value.size();
    const auto [stop, error] = std::from_chars(value.data(), end, parsed);
    if (value.empty() || error != std::errc() || stop != end) {
        return false;
    }
    *type = parsed;
    return true;
}

} // namespace zrk::xpc
