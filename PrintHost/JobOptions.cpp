#include "JobOptions.h"

#include "PDEPlugInAPI.h"
#include "PPDFile.h"

#include <QJsonArray>

#include <QJsonValue>
#include <QString>

#include <algorithm>
#include <cstdlib>

namespace PrintHost {

JobOptionList jobOptions(const PMPrintSettings& settings, const PPDFile& ppd) {
    JobOptionList options;
    for (const auto& key : settings.keys()) {
        if (!ppd.isMainKeyword(QString::fromStdString(key)))
            continue;
        plist_t node = plist_dict_get_item(settings.dictionary(), key.c_str());
        // Only a string can name one of the option's choices.
        if (!node || plist_get_node_type(node) != PLIST_STRING)
            continue;
        char* value = nullptr;
        plist_get_string_val(node, &value);
        if (!value)
            continue;
        options.emplace_back(key, value);
        std::free(value);
    }
    std::sort(options.begin(), options.end());
    return options;
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
