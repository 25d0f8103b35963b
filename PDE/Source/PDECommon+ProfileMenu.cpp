// Profile entries in the profile menus, and the profile chosen in the ticket.
#include "PDECommon.h"
#include "ProfileMenuEntries.h"

#include <VXPList.h>

#include <QComboBox>
#include <QSignalBlocker>
#include <QStandardItemModel>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>

namespace PDE {

namespace {

constexpr const char* kDiskPathPrefix = "/ata1a/data/USfiles/Profiles/";
constexpr const char* kCardPathPrefix = "/ataCf1a/data/USfiles/Profiles/";
constexpr const char* kCustomFlagSuffix = "Custom";
constexpr const char* kCustomFilenameSuffix = "CustomFilename";
constexpr int kMaxNibbleText = 1023;
constexpr size_t kMenuTitleSize = 256;

// Ticket keys of a row's chosen profile: "%sCustom" and "%sCustomFilename".
QByteArray ticketKey(const char* suffix, const char* keyword) {
    return QByteArray(keyword) + suffix;
}

QByteArray fieldBytes(const char (&field)[kProfileNameFieldSize]) {
    return QByteArray(field, int(strnlen(field, sizeof field)));
}

// The localized location labels, looked up once per list rather than once
// per entry. A null label means the entry cannot be titled.
struct LocationLabels {
    QByteArray disk;
    QByteArray card;
    bool hasDisk = false;
    bool hasCard = false;

    static LocationLabels lookUp() {
        LocationLabels labels;
        const QString disk = PDECommon::localizedString("Disk");
        const QString card = PDECommon::localizedString("Card");
        labels.hasDisk = !disk.isNull();
        labels.hasCard = !card.isNull();
        labels.disk = disk.toUtf8();
        labels.card = card.toUtf8();
        return labels;
    }
    // The label of an entry's location: "" for other locations, nothing when
    // the location's label is missing.
    std::optional<QByteArray> of(const ProfileEntry& entry) const {
        if (entry.iLocation == kLocationDisk)
            return hasDisk ? std::optional(disk) : std::nullopt;
        if (entry.iLocation == kLocationCard)
            return hasCard ? std::optional(card) : std::nullopt;
        return QByteArray();
    }
};

// "FileName(ProfileName)Label", formed in 256 bytes like every menu title.
QString formMenuTitle(const ProfileEntry& entry, const QByteArray& label) {
    char title[kMenuTitleSize];
    std::snprintf(title, sizeof title, "%s(%s)%s", fieldBytes(entry.FileName).constData(),
                  fieldBytes(entry.ProfileName).constData(), label.constData());
    return QString::fromUtf8(title);
}

bool isProfileItem(const QComboBox* menu, int index) {
    return menu->itemData(index, kProfileItemFileNameRole).isValid();
}

// Index of a menu's first entry item; the entry items follow the PPD items.
int firstProfileItem(const QComboBox* menu) {
    int index = menu->count();
    while (index > 0 && isProfileItem(menu, index - 1))
        --index;
    return index;
}

// The k-th entry item of a row's menu, counted from 1; -1 when there is none.
int profileItemIndex(const QComboBox* menu, int k) {
    if (!menu || k < 1)
        return -1;
    const int index = firstProfileItem(menu) + k - 1;
    return index < menu->count() ? index : -1;
}

ProfileMenuItems profileItemsOfMenu(const QComboBox* menu) {
    ProfileMenuItems items;
    for (int index = firstProfileItem(menu); index < menu->count(); ++index)
        items.append({menu->itemText(index),
                      menu->itemData(index, kProfileItemPrinterPathRole).toByteArray(),
                      menu->itemData(index, kProfileItemFileNameRole).toByteArray()});
    return items;
}

// Appends the items in one insertion: a menu of a full profile file has 500
// of them, and a model change per item would cost far more than the file read.
void appendProfileItems(QComboBox* menu, const ProfileMenuItems& items) {
    if (items.isEmpty())
        return;
    auto* model = qobject_cast<QStandardItemModel*>(menu->model());
    if (!model) {
        for (const ProfileMenuItem& item : items) {
            menu->addItem(item.title);
            const int index = menu->count() - 1;
            menu->setItemData(index, item.printerPath, kProfileItemPrinterPathRole);
            menu->setItemData(index, item.fileName, kProfileItemFileNameRole);
        }
        return;
    }
    QList<QStandardItem*> rows;
    rows.reserve(items.size());
    for (const ProfileMenuItem& item : items) {
        auto* row = new QStandardItem(item.title);
        row->setData(item.printerPath, kProfileItemPrinterPathRole);
        row->setData(item.fileName, kProfileItemFileNameRole);
        rows.append(row);
    }
    model->invisibleRootItem()->appendRows(rows);
}

// The three groups of the current file, read once; nothing when the file
// cannot be read.
struct ProfileGroups {
    std::unique_ptr<ProfileList> lists[kProfileGroupCount];
    std::optional<ProfileMenuItems> items[kProfileGroupCount];
    int32_t status = -1;

    ProfileGroups() {
        for (auto& list : lists)
            list = std::make_unique<ProfileList>();
        status = VXPListReadProfile_All(lists[0].get(), lists[1].get(), lists[2].get());
    }
    // A group's items, formed once however many menus show them.
    const ProfileMenuItems& itemsOf(int32_t group) {
        if (!items[group])
            items[group] = status == 0 ? profileMenuItemsOfList(*lists[group]) : ProfileMenuItems();
        return *items[group];
    }
};

// A profile menu whose option the PPD lacks gets no profile entries: its
// first profile would be its only item, selected and summarised, and the job
// could never carry it.
bool hasPPDOption(const ControlTableEntry* row) {
    return row->choices && !row->choices->isEmpty();
}

} // namespace

std::optional<int32_t> profileGroupForList(uint16_t profileList) {
    switch (profileList) {
    case kProfileListRGBSource:
        return kProfileGroupRGB;
    case kProfileListSimulation:
        return kProfileGroupSIM;
    case kProfileListDestination:
        return kProfileGroupDST;
    default:
        return std::nullopt;
    }
}

bool isListedInMenu(const ProfileEntry& entry) {
    return isOfferedInMenu(entry.iInMenu) && menuTitleOfEntry(entry).has_value();
}

bool isOfferedInMenu(int32_t inMenu) {
    return inMenu == kInMenuDeviceAbsentShown || inMenu == kInMenuDevicePresentShown ||
           inMenu == kInMenuUserShown;
}

QByteArray printerPathOfEntry(const ProfileEntry& entry) {
    if (entry.iLocation == kLocationDisk)
        return kDiskPathPrefix + fieldBytes(entry.FileName);
    if (entry.iLocation == kLocationCard)
        return kCardPathPrefix + fieldBytes(entry.FileName);
    return QByteArray();
}

std::optional<QString> menuTitleOfEntry(const ProfileEntry& entry) {
    const std::optional<QByteArray> label = LocationLabels::lookUp().of(entry);
    if (!label)
        return std::nullopt;
    return formMenuTitle(entry, *label);
}

ProfileMenuItems profileMenuItemsOfList(const ProfileList& list) {
    const LocationLabels labels = LocationLabels::lookUp();
    ProfileMenuItems items;
    const int32_t count = std::clamp<int32_t>(list.iNum, 0, kMaxProfileEntries);
    items.reserve(count);
    for (int32_t slot = 0; slot < count; ++slot) {
        const ProfileEntry& entry = list.litem[slot];
        if (!isOfferedInMenu(entry.iInMenu))
            continue;
        const std::optional<QByteArray> label = labels.of(entry);
        if (!label)
            continue;
        items.append(
            {formMenuTitle(entry, *label), printerPathOfEntry(entry), fieldBytes(entry.FileName)});
    }
    return items;
}

QByteArray encodeNibbleText(const QByteArray& bytes) {
    QByteArray text;
    text.reserve(bytes.size() * 2);
    for (char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        text.append(char(0x30 + (b >> 4)));
        text.append(char(0x30 + (b & 0x0F)));
    }
    return text;
}

QByteArray decodeNibbleText(const QByteArray& text) {
    QByteArray bytes;
    const int length = std::min<int>(int(text.size()), kMaxNibbleText);
    for (int i = 0; i < length; i += 2) {
        const int high = static_cast<unsigned char>(text[i]);
        const int low = i + 1 < length ? static_cast<unsigned char>(text[i + 1]) : 0;
        bytes.append(char((high * 16 + low - 0x30) & 0xFF));
    }
    return bytes;
}

int PDECommon::commonAddMenuFromProfilePlist(const ControlTableEntry* table) {
    ProfileGroups groups;
    if (groups.status != 0)
        return groups.status;
    for (const ControlTableEntry* row = table; row && row->control; ++row) {
        const std::optional<int32_t> group = profileGroupForList(row->profileList);
        auto* menu = qobject_cast<QComboBox*>(row->control);
        if (group && menu && hasPPDOption(row))
            appendProfileItems(menu, groups.itemsOf(*group));
    }
    return 0;
}

int PDECommon::commonReBuildProfileMenus(const ControlTableEntry* table,
                                         std::vector<ControlTableEntry>* changedRows) {
    ProfileGroups groups;
    for (const ControlTableEntry* row = table; row && row->control; ++row) {
        const std::optional<int32_t> group = profileGroupForList(row->profileList);
        auto* menu = qobject_cast<QComboBox*>(row->control);
        if (!group || !menu || !hasPPDOption(row))
            continue;
        const ProfileMenuItems& items = groups.itemsOf(*group);
        if (profileItemsOfMenu(menu) == items)
            continue;
        const QSignalBlocker quiet(menu);
        const int first = firstProfileItem(menu);
        menu->model()->removeRows(first, menu->count() - first);
        appendProfileItems(menu, items);
        if (changedRows)
            changedRows->push_back(*row);
    }
    return groups.status;
}

int PDECommon::commonSetTicketAddedProfile(const ControlTableEntry* row, plist_t dict,
                                           int16_t select) {
    const std::optional<int32_t> group = row ? profileGroupForList(row->profileList) : std::nullopt;
    if (!dict || !group)
        return -1;
    // The entry the chosen item was built from, never an entry looked up again.
    const auto* menu = qobject_cast<const QComboBox*>(row->control);
    QByteArray path;
    if (const int index = profileItemIndex(menu, select); index >= 0) {
        path = menu->itemData(index, kProfileItemPrinterPathRole).toByteArray();
        if (path.isEmpty())
            path = menu->itemData(index, kProfileItemFileNameRole).toByteArray();
    }
    if (row->choices && !row->choices->isEmpty()) {
        const PPDChoiceEntry& first = row->choices->first();
        plist_dict_set_item(dict, first[kChoiceOptionKeyword].toUtf8().constData(),
                            plist_new_string(first[kChoiceKeyword].toUtf8().constData()));
    }
    plist_dict_set_item(dict, ticketKey(kCustomFilenameSuffix, row->ppdKeyword).constData(),
                        plist_new_string(encodeNibbleText(path).constData()));
    commonSetTicketAddedProfileFlag(row, dict, "True");
    return 0;
}

int16_t PDECommon::commonGetTicketAddedProfile(const ControlTableEntry* row, plist_t dict) {
    const std::optional<int32_t> group = row ? profileGroupForList(row->profileList) : std::nullopt;
    if (!dict || !group)
        return -1;
    const QByteArray text = commonDictionaryStringValue(
                                dict, ticketKey(kCustomFilenameSuffix, row->ppdKeyword).constData())
                                .value_or(QByteArray());
    if (text.size() > kMaxNibbleText)
        return 0;
    for (char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80)
            return 0;
    }
    const QByteArray path = decodeNibbleText(text);
    if (!path.isValidUtf8() || path.isEmpty())
        return 0;
    // Matched against the entries the menu offers, so the position found is
    // the item that shows the recorded entry.
    const auto* menu = qobject_cast<const QComboBox*>(row->control);
    if (!menu)
        return 0;
    const int first = firstProfileItem(menu);
    for (int index = first; index < menu->count(); ++index) {
        if (menu->itemData(index, kProfileItemPrinterPathRole).toByteArray() == path)
            return int16_t(index - first + 1);
    }
    return 0;
}

QString PDECommon::commonGetTicketAddedProfileFlag(const ControlTableEntry* row, plist_t dict) {
    if (!row || !dict || !profileGroupForList(row->profileList))
        return QString();
    const std::optional<QByteArray> flag = commonDictionaryStringValue(
        dict, ticketKey(kCustomFlagSuffix, row->ppdKeyword).constData());
    return flag ? QString::fromUtf8(*flag) : QString();
}

int PDECommon::commonSetTicketAddedProfileFlag(const ControlTableEntry* row, plist_t dict,
                                               const char* flag) {
    if (row && dict && flag && profileGroupForList(row->profileList))
        plist_dict_set_item(dict, ticketKey(kCustomFlagSuffix, row->ppdKeyword).constData(),
                            plist_new_string(flag));
    return 0;
}

} // namespace PDE
