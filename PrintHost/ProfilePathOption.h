// How a profile menu's chosen printer profile travels in a job: a PPD custom
// option of its own whose string parameter is the profile's printer path as
// nibble text. The PPD, its generator and the print host agree on these names.
#pragma once

#include <string>
#include <string_view>

namespace PrintHost {

// The custom option that carries the chosen profile of the menu bound to
// `keyword`: "VXPath" followed by the keyword without its "VX" and without a
// final "Profile" (VXImageRGBSource -> VXPathImageRGBSource,
// VXTextDestinationProfile -> VXPathTextDestination). Empty for a keyword that
// does not begin with "VX". Short enough for the PPD's 40-character limit on
// *ParamCustom keywords.
inline std::string profilePathOption(std::string_view keyword) {
    if (keyword.size() <= 2 || keyword.substr(0, 2) != "VX")
        return {};
    std::string_view rest = keyword.substr(2);
    constexpr std::string_view kTail = "Profile";
    if (rest.size() > kTail.size() && rest.substr(rest.size() - kTail.size()) == kTail)
        rest.remove_suffix(kTail.size());
    return "VXPath" + std::string(rest);
}

// The PostScript key under which the option's code puts the path (in
// userdict): the menu's keyword followed by "Path".
inline std::string profilePathKey(std::string_view keyword) {
    return std::string(keyword) + "Path";
}

// The choice of a custom option that carries `value`, as a job option value.
inline std::string customChoice(std::string_view value) {
    return "Custom." + std::string(value);
}

} // namespace PrintHost
