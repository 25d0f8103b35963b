#include "JobOptions.h"

#include "PDEPlugInAPI.h"
#include "PPDFile.h"

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
        if (!ppd.isMainKeyword(QString::fromStdString(key)))
            continue;
        // Only a string can name one of the option's choices.
        if (auto value = stringEntry(settings, key))
            options.emplace_back(key, std::move(*value));
    }
    // A chosen profile travels as its menu's two profile entries: the option
    // itself only holds the menu's first PPD choice, so without them the
    // printer would never learn which profile was chosen.
    const std::size_t optionCount = options.size();
    for (std::size_t i = 0; i < optionCount; ++i) {
        const std::string flagKey = options[i].first + kProfileFlagSuffix;
        const std::string pathKey = options[i].first + kProfilePathSuffix;
        if (stringEntry(settings, flagKey) != std::optional<std::string>(kProfileChosen))
            continue;
        if (auto path = stringEntry(settings, pathKey)) {
            options.emplace_back(flagKey, kProfileChosen);
            options.emplace_back(pathKey, std::move(*path));
        }
    }
    std::sort(options.begin(), options.end());
    return options;
}

bool isProfileEntryOf(const std::string& key, const PPDFile& ppd) {
    for (const char* suffix : {kProfileFlagSuffix, kProfilePathSuffix}) {
        const std::string_view tail(suffix);
        if (key.size() > tail.size() &&
            key.compare(key.size() - tail.size(), tail.size(), tail) == 0 &&
            ppd.isMainKeyword(QString::fromStdString(key.substr(0, key.size() - tail.size()))))
            return true;
    }
    return false;
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
