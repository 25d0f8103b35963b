// Splitting the service's request strings at their markers. No escaping
// exists: a value ends at the first occurrence of its own marker after the
// previous one.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace zrk::xpc {

// Splits off one value per marker, in order. *rest receives what follows the
// last marker. False when a marker is missing.
bool splitMarkedValues(std::string_view request, std::span<const std::string_view> markers,
                       std::vector<std::string_view>* values, std::string_view* rest);

// The walk arguments of a walk request's tail: every piece followed by
// ":arg:", in order; what follows the last marker is dropped. False when the
// tail holds no marker or more than kMaxWalkArguments arguments.
bool splitWalkArguments(std::string_view tail, std::vector<std::string>* arguments);

// A swap type: "NULL" is 0, otherwise an optionally signed decimal number
// that fits 32 bits, with nothing around it. False for anything else.
bool parseSwapType(std::string_view value, int* type);

} // namespace zrk::xpc
