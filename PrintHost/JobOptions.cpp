#include "JobOptions.h"

#include "PDEPlugInAPI.h"
#include "PPDFile.h"
#include "ProfilePathOption.h"

#include <QJsonArray>

#include <QJsonValue>
#include <QString>

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <string_view>

namespace PrintHost {

namespace {

std::optional<std::string> stringEntry(const PMPrintSettings& settings, const std::string& key) {
    plist_t node = plist_dict_get_item(settings.dictionary(), key.c_str());
    if (!node || plist_get_node_type(node) != PLIST_STRING)
        return std::nullopt;
    char* value = nullptr;
    plist_get_string_val(node, &value);
    if (!value)
        return std::nullopt;
    std::string text(value);
    std::free(value);
    return text;
}

} // namespace

JobOptionList jobOptions(const PMPrintSettings& settings, const PPDFile& ppd) {
    JobOptionList options;
    for (const auto& key : settings.keys()) {
        if (!ppd.isMainKeyword(QString::fromStdString(key)) ||
            !profileMenuOfPathOption(key, ppd).empty())
            continue;
        // Only a string can name one of the option's choices.
        if (auto value = stringEntry(settings, key))
            options.emplace_back(key, std::move(*value));
    }
    // A chosen profile travels in its menu's profile path option: the option
    // itself only holds the menu's first PPD choice, so without it the
    // printer would never learn which profile was chosen.
    const std::size_t optionCount = options.size();
    for (std::size_t i = 0; i < optionCount; ++i) {
        const std::string& keyword = options[i].first;
        if (stringEntry(settings, keyword + kProfileFlagSuffix) !=
            std::optional<std::string>(kProfileChosen))
            continue;
        const std::string pathOption = profilePathOption(keyword);
        if (pathOption.empty() || !ppdFindCustomOption(ppd.get(), pathOption.c_str()))
            continue;
        if (auto path = stringEntry(settings, keyword + kProfilePathSuffix); path && !path->empty())
            options.emplace_back(pathOption, customChoice(*path));
    }
    std::sort(options.begin(), options.end());
    return options;
}

std::string menuOfProfileEntry(const std::string& key) {
    // The two suffixes end differently, so at most one of them matches.
    for (const char* suffix : {kProfileFlagSuffix, kProfilePathSuffix}) {
        const std::string_view tail(suffix);
        if (key.size() > tail.size() &&
            key.compare(key.size() - tail.size(), tail.size(), tail) == 0)
            return key.substr(0, key.size() - tail.size());
    }
    return {};
}

bool isProfileEntryOf(const std::string& key, const PPDFile& ppd) {
    const std::string menu = menuOfProfileEntry(key);
    return !menu.empty() && ppd.isMainKeyword(QString::fromStdString(menu));
}

std::string profileMenuOfPathOption(const std::string& key, const PPDFile& ppd) {
    if (key.empty() || !ppdFindCustomOption(ppd.get(), key.c_str()) ||
        !ppd.isMainKeyword(QString::fromStdString(key)))
        return {};
    // The path option's name leaves out "VX" and a final "Profile" of the menu's.
    constexpr std::string_view kPrefix = "VXPath";
    if (key.compare(0, kPrefix.size(), kPrefix) != 0)
        return {};
    const std::string rest = key.substr(kPrefix.size());
    for (const std::string& keyword : {"VX" + rest, "VX" + rest + "Profile"}) {
        if (keyword != key && profilePathOption(keyword) == key &&
            ppd.isMainKeyword(QString::fromStdString(keyword)))
            return keyword;
    }
    return {};
}

QJsonObject summaryToJson(const QVariantMap& summary) {
    QJsonObject object;
    for (auto it = summary.constBegin(); it != summary.constEnd(); ++it)
        object.insert(it.key(), QJsonValue::fromVariant(it.value()));
    const QString orderKey = QString::fromLatin1(kSummaryDisplayOrderKey);
    if (!object.contains(orderKey))
        object.insert(orderKey, QJsonArray());
    return object;
}

} // namespace PrintHost
