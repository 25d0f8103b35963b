// Ticket bridge: the per-queue model dictionary inside the print settings,
// its top-level mirror, defaults, CST values and the summary.
#include "PDECommon.h"

#include <QByteArray>

#include <cstdlib>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace PDE {

namespace {

// Owns a node until it is handed to a dictionary.
struct PlistNode {
    explicit PlistNode(plist_t node) : node(node) {}
    ~PlistNode() {
        if (node)
            plist_free(node);
    }
    PlistNode(PlistNode&& other) noexcept : node(std::exchange(other.node, nullptr)) {}
    PlistNode(const PlistNode&) = delete;
    PlistNode& operator=(const PlistNode&) = delete;
    plist_t release() { return std::exchange(node, nullptr); }
    plist_t node;
};

void setStringEntry(plist_t dict, const QString& key, const QString& value) {
    plist_dict_set_item(dict, key.toUtf8().constData(),
                        plist_new_string(value.toUtf8().constData()));
}

} // namespace

std::optional<QByteArray> PDECommon::commonDictionaryStringValue(plist_t dict, const char* key) {
    plist_t value =
        commonCFTypeIsValid(dict, PLIST_DICT) && key ? plist_dict_get_item(dict, key) : nullptr;
    if (!commonCFTypeIsValid(value, PLIST_STRING))
        return std::nullopt;
    char* text = nullptr;
    plist_get_string_val(value, &text);
    QByteArray bytes(text ? text : "");
    std::free(text);
    return bytes;
}

plist_t PDECommon::commonCFDictionaryGetValueWithType(plist_t dict, const char* key) {
    if (!commonCFTypeIsValid(dict, PLIST_DICT) || plist_dict_get_size(dict) == 0 || !key)
        return nullptr;
    plist_t value = plist_dict_get_item(dict, key);
    return commonCFTypeIsValid(value, PLIST_DICT) ? value : nullptr;
}

bool PDECommon::commonCFTypeIsValid(plist_t object, plist_type type) {
    return object && plist_get_node_type(object) == type;
}

plist_t PDECommon::commonGetModelDictionary(PMPrintSettings* settings, PMPrintSession* session) {
    const QByteArray product = commonGetPPDProductName(settings).toUtf8();
    const QString queue = commonGetPrintQueueName(session);
    if (product.isEmpty() || !settings)
        return nullptr;

    plist_t productDict = nullptr;
    PrintHost::PMPrintSettingsGetValue(settings, product.constData(), &productDict);
    if (!productDict) {
        PlistNode fresh(plist_new_dict());
        PrintHost::PMPrintSettingsSetValue(settings, product.constData(), fresh.node, false);
        PrintHost::PMPrintSettingsGetValue(settings, product.constData(), &productDict);
    }
    // A product entry of another type belongs to someone else: leave it alone.
    if (!commonCFTypeIsValid(productDict, PLIST_DICT) || queue.isNull())
        return nullptr;

    const QByteArray queueKey = queue.toUtf8();
    if (!plist_dict_get_item(productDict, queueKey.constData()))
        plist_dict_set_item(productDict, queueKey.constData(), plist_new_dict());
    return commonCFDictionaryGetValueWithType(productDict, queueKey.constData());
}

int PDECommon::commonCFDictionaryMapToTicket(PMPrintSettings* settings, plist_t dict) {
    if (!settings || !commonCFTypeIsValid(dict, PLIST_DICT))
        return kNoErr;
    // Every key and value is taken before anything is stored: storing
    // replaces entries of the settings, and the dictionary being copied lives
    // inside one of them (the product dictionary).
    std::vector<std::pair<std::string, PlistNode>> entries;
    plist_dict_iter iter = nullptr;
    plist_dict_new_iter(dict, &iter);
    if (!iter)
        return kMemFullErr;
    for (;;) {
        char* key = nullptr;
        plist_t value = nullptr;
        plist_dict_next_item(dict, iter, &key, &value);
        if (!key)
            break;
        std::string name(key);
        std::free(key);
        // A model dictionary's entry under the product key would replace
        // every queue's stored values at the top level.
        if (name == kProductKey)
            continue;
        plist_t copy = value ? plist_copy(value) : nullptr;
        if (!copy) {
            std::free(iter);
            return kMemFullErr;
        }
        entries.emplace_back(std::move(name), copy);
    }
    std::free(iter);
    for (const auto& [key, value] : entries)
        PrintHost::PMPrintSettingsSetValue(settings, key.c_str(), value.node, false);
    return kNoErr;
}

int PDECommon::commonSyncTicketFromPane(PMPrintSettings* settings, PMPrintSession* session,
                                        const ControlTableEntry* table) {
    plist_t model = commonGetModelDictionary(settings, session);
    if (!model || !table)
        return kNoErr;
    for (const ControlTableEntry* row = table; row->control; ++row) {
        if (!rowHasPPDKeyword(row) || !row->choices)
            continue;
        const int32_t value = commonGetControlValueFromPPDWithSInt32(row);
        const qsizetype count = row->choices->size();
        if (value >= 0 && value < count) {
            const PPDChoiceEntry& entry = row->choices->at(value);
            setStringEntry(model, entry[kChoiceOptionKeyword], entry[kChoiceKeyword]);
            commonSetTicketAddedProfileFlag(row, model, "False");
        } else if (value >= count) {
            commonSetTicketAddedProfile(row, model, int16_t(value - count + 1));
            commonSetTicketAddedProfileFlag(row, model, "True");
        }
    }
    return commonCFDictionaryMapToTicket(settings, model);
}

int PDECommon::commonSyncPaneFromTicket(PMPrintSettings* settings, PMPrintSession* session,
                                        const ControlTableEntry* table) {
    plist_t model = commonGetModelDictionary(settings, session);
    if (!model || !table)
        return kNoErr;
    for (const ControlTableEntry* row = table; row->control; ++row) {
        if (!rowHasPPDKeyword(row) || !row->choices)
            continue;
        std::optional<int32_t> value;
        if (row->profileList != kProfileListNone &&
            commonGetTicketAddedProfileFlag(row, model) == u"True") {
            const int16_t selected = commonGetTicketAddedProfile(row, model);
            value = selected >= 1 ? int32_t(row->choices->size() + selected - 1)
                                  : commonGetDefualtValueFromPPDWithSInt32(row);
        } else {
            const std::optional<QByteArray> choice =
                commonDictionaryStringValue(model, row->ppdKeyword);
            if (choice) {
                const QString text = QString::fromUtf8(*choice);
                value =
                    commonGetTicketValueWithSInt32(row, QString::fromUtf8(row->ppdKeyword), &text);
            } else if (!plist_dict_get_item(model, row->ppdKeyword)) {
                value = commonGetDefualtValueFromPPDWithSInt32(row);
            }
            // A value that is not a string leaves the row as it is.
        }
        if (value && *value != -1)
            commonSetControlValueWithSInt32(row, *value);
    }
    return commonCFDictionaryMapToTicket(settings, model);
}

void PDECommon::commonDefaultFromPPDInfo(const ControlTableEntry* table) {
    if (!table)
        return;
    for (const ControlTableEntry* row = table; row->control; ++row) {
        if (!rowHasPPDKeyword(row))
            continue;
        commonSetControlValueWithSInt32(
            row, row->choices ? commonGetDefualtValueFromPPDWithSInt32(row) : 0);
    }
}

int32_t PDECommon::commonConvertToCSTValue(const ControlTableEntry* row, int32_t value) {
    if (row && row->kind == kControlKindPopUp)
        return value < 0 ? 0 : value + 1;
    return value;
}

int32_t PDECommon::commonConvertFromCSTValue(const ControlTableEntry* row, int32_t value) {
    if (row && row->kind == kControlKindPopUp)
        return value < 1 ? 0 : value - 1;
    return value;
}

namespace {
bool isAscii(const char* text) {
    for (const char* p = text; *p; ++p) {
        if (static_cast<unsigned char>(*p) >= 0x80)
            return false;
    }
    return true;
}
} // namespace

int PDECommon::commonGetSummaryText(const ControlTableEntry* table, QVariantMap* dict,
                                    QStringList* array) {
    if (!bundle() || !table || !dict || !array)
        return kNoErr;
    int status = kNoErr;
    for (const ControlTableEntry* row = table; row->control; ++row) {
        if (!row->summaryKey)
            continue;
        const QString name =
            isAscii(row->summaryKey) ? localizedString(row->summaryKey) : QString();
        const QString text = commonGetControlValueFromPPDWithNSString(row);
        if (name.isNull() || text.isNull()) {
            status = kParamErr;
            continue;
        }
        dict->insert(name, text);
        array->append(name);
    }
    return status;
}

int PDECommon::commonGetSummaryTextQuickColor(const char* itemName, const QString& value,
                                              QVariantMap* dict, QStringList* array) {
    if (!bundle() || !dict || !array)
        return kNoErr;
    if (!itemName || !isAscii(itemName))
        return kParamErr;
    const QString name = localizedString(itemName);
    if (name.isNull())
        return kParamErr;
    dict->insert(name, value);
    array->append(name);
    return kNoErr;
}

} // namespace PDE
