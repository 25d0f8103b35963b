#include "QueueDefaults.h"

#include "PPDFile.h"
#include "PrintingLayer.h"
#include "ProfilePathOption.h"

#include <cups/cups.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <string_view>

namespace PrintHost {

namespace {

// The ticket's product dictionary, which holds one model dictionary per queue.
constexpr const char* kProductKey = "zrk5100";

struct DestList {
    int count = 0;
    cups_dest_t* dests = nullptr;
    ~DestList() { cupsFreeDests(count, dests); }
};

struct DestDeleter {
    void operator()(cups_dest_t* dest) const { cupsFreeDests(1, dest); }
};

bool concernsPPD(const char* name, const PPDFile& ppd) {
    const std::string key(name);
    return ppd.isMainKeyword(QString::fromStdString(key)) || isProfileEntryOf(key, ppd);
}

// Whether a saved option belongs to the panel: one of its keywords, the
// profile path option of one, or a ticket profile entry of one.
bool belongsToPanel(const std::string& key, const QStringList& panelKeywords, const PPDFile& ppd) {
    if (panelKeywords.contains(QString::fromStdString(key)))
        return true;
    std::string menu = profileMenuOfPathOption(key, ppd);
    if (menu.empty())
        menu = menuOfProfileEntry(key);
    return !menu.empty() && panelKeywords.contains(QString::fromStdString(menu));
}

} // namespace

bool saveQueueDefaults(const QString& queue, const JobOptionList& options,
                       const QStringList& panelKeywords, const PPDFile& ppd, QString* error) {
    const QByteArray name = queue.toUtf8();
    DestList list;
    list.count = cupsGetDests2(CUPS_HTTP_DEFAULT, &list.dests);
    cups_dest_t* dest = cupsGetDest(name.constData(), nullptr, list.count, list.dests);
    if (!dest) {
        list.count = cupsAddDest(name.constData(), nullptr, list.count, &list.dests);
        dest = cupsGetDest(name.constData(), nullptr, list.count, list.dests);
    }
    if (!dest) {
        if (error)
            *error = QStringLiteral("cannot keep defaults for the queue %1").arg(queue);
        return false;
    }
    // Collect the names first: removing an option moves the others.
    std::vector<std::string> stale;
    for (int i = 0; i < dest->num_options; ++i) {
        if (belongsToPanel(dest->options[i].name, panelKeywords, ppd))
            stale.emplace_back(dest->options[i].name);
    }
    for (const std::string& key : stale)
        dest->num_options = cupsRemoveOption(key.c_str(), dest->num_options, &dest->options);
    for (const auto& [key, value] : options) {
        if (belongsToPanel(key, panelKeywords, ppd))
            dest->num_options =
                cupsAddOption(key.c_str(), value.c_str(), dest->num_options, &dest->options);
    }
    // libcups does not record why it could not write the file: the last
    // IPP status would be a stale one, so the reason is the system's.
    errno = 0;
    if (cupsSetDests2(CUPS_HTTP_DEFAULT, list.count, list.dests) != 0) {
        const int reason = errno;
        if (error)
            *error =
                QStringLiteral("cannot save the defaults of the queue %1: %2")
                    .arg(queue, reason != 0 ? QString::fromLocal8Bit(std::strerror(reason))
                                            : QStringLiteral("the options file cannot be written"));
        return false;
    }
    return true;
}

JobOptionList savedQueueDefaults(const QString& queue, const PPDFile& ppd) {
    JobOptionList defaults;
    std::unique_ptr<cups_dest_t, DestDeleter> dest(
        cupsGetNamedDest(CUPS_HTTP_DEFAULT, queue.toUtf8().constData(), nullptr));
    if (!dest)
        return defaults;
    for (int i = 0; i < dest->num_options; ++i) {
        const cups_option_t& option = dest->options[i];
        if (!option.name || !option.value)
            continue;
        const std::string menu = profileMenuOfPathOption(option.name, ppd);
        if (!menu.empty()) {
            const std::string value(option.value);
            const std::string custom = customChoice("");
            if (value.size() > custom.size() && value.compare(0, custom.size(), custom) == 0) {
                defaults.emplace_back(menu + kProfileFlagSuffix, kProfileChosen);
                defaults.emplace_back(menu + kProfilePathSuffix, value.substr(custom.size()));
            }
            continue;
        }
        if (concernsPPD(option.name, ppd))
            defaults.emplace_back(option.name, option.value);
    }
    std::sort(defaults.begin(), defaults.end());
    return defaults;
}

void applyDefaultsToSettings(const JobOptionList& defaults, const QString& printerId,
                             PMPrintSettings& settings) {
    if (defaults.empty())
        return;
    plist_t root = settings.dictionary();
    plist_t product = plist_dict_get_item(root, kProductKey);
    if (!product || plist_get_node_type(product) != PLIST_DICT) {
        plist_dict_set_item(root, kProductKey, plist_new_dict());
        product = plist_dict_get_item(root, kProductKey);
    }
    const QByteArray id = printerId.toUtf8();
    plist_t model = plist_dict_get_item(product, id.constData());
    if (!model || plist_get_node_type(model) != PLIST_DICT) {
        plist_dict_set_item(product, id.constData(), plist_new_dict());
        model = plist_dict_get_item(product, id.constData());
    }
    for (const auto& [key, value] : defaults) {
        plist_dict_set_item(model, key.c_str(), plist_new_string(value.c_str()));
        plist_dict_set_item(root, key.c_str(), plist_new_string(value.c_str()));
    }
}

} // namespace PrintHost
