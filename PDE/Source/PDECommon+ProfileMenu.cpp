// Profile entries in the profile menus, and the profile chosen in the ticket.
#include "PDECommon.h"
#include "ProfileMenuEntries.h"

#include <VXPList.h>

#include <QComboBox>

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

// Ticket keys of a row's chosen profile: "%sCustom" and "%sCustomFilename".
QByteArray ticketKey(const char* suffix, const char* keyword) {
    return QByteArray(keyword) + suffix;
}

QByteArray fieldBytes(const char (&field)[kProfileNameFieldSize]) {
    return QByteArray(field, int(strnlen(field, sizeof field)));
}

// Reads one group afresh; the list is empty when the file cannot be read.
std::unique_ptr<ProfileList> readGroup(int32_t group) {
    auto list = std::make_unique<ProfileList>();
    std::memset(list.get(), 0, sizeof(ProfileList));
    if (VXPListReadProfile_Dict(list.get(), group) != 0)
        std::memset(list.get(), 0, sizeof(ProfileList));
    return list;
}

// The k-th offered entry of a list, counted from 1.
const ProfileEntry* offeredEntry(const ProfileList& list, int k) {
    int seen = 0;
    for (int32_t slot = 0; slot < list.iNum && slot < kMaxProfileEntries; ++slot) {
        if (isListedInMenu(list.litem[slot]) && ++seen == k)
            return &list.litem[slot];
    }
    return nullptr;
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
    QByteArray label;
    if (entry.iLocation == kLocationDisk || entry.iLocation == kLocationCard) {
        const QString text =
            PDECommon::localizedString(entry.iLocation == kLocationDisk ? "Disk" : "Card");
        if (text.isNull())
            return std::nullopt;
        label = text.toUtf8();
    }
    char title[256];
    std::snprintf(title, sizeof title, "%s(%s)%s", fieldBytes(entry.FileName).constData(),
                  fieldBytes(entry.ProfileName).constData(), label.constData());
    return QString::fromUtf8(title);
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
    auto rgb = std::make_unique<ProfileList>();
    auto sim = std::make_unique<ProfileList>();
    auto dst = std::make_unique<ProfileList>();
    for (ProfileList* list : {rgb.get(), sim.get(), dst.get()})
        std::memset(list, 0, sizeof(ProfileList));
    const int32_t status = VXPListReadProfile_All(rgb.get(), sim.get(), dst.get());
    if (status != 0)
        return status;
    const ProfileList* groups[kProfileGroupCount] = {rgb.get(), sim.get(), dst.get()};
    for (const ControlTableEntry* row = table; row && row->control; ++row) {
        const std::optional<int32_t> group = profileGroupForList(row->profileList);
        auto* menu = qobject_cast<QComboBox*>(row->control);
        if (!group || !menu)
            continue;
        const ProfileList& list = *groups[*group];
        for (int32_t slot = 0; slot < list.iNum && slot < kMaxProfileEntries; ++slot) {
            if (isListedInMenu(list.litem[slot]))
                menu->addItem(*menuTitleOfEntry(list.litem[slot]));
        }
    }
    return 0;
}

int PDECommon::commonSetTicketAddedProfile(const ControlTableEntry* row, plist_t dict,
                                           int16_t select) {
    const std::optional<int32_t> group = row ? profileGroupForList(row->profileList) : std::nullopt;
    if (!dict || !group)
        return -1;
    const std::unique_ptr<ProfileList> list = readGroup(*group);
    QByteArray path;
    if (const ProfileEntry* entry = offeredEntry(*list, select)) {
        path = printerPathOfEntry(*entry);
        if (path.isEmpty())
            path = fieldBytes(entry->FileName);
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
    const std::unique_ptr<ProfileList> list = readGroup(*group);
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
    if (!path.isValidUtf8())
        return 0;
    int16_t position = 0;
    for (int32_t slot = 0; slot < list->iNum && slot < kMaxProfileEntries; ++slot) {
        const ProfileEntry& entry = list->litem[slot];
        if (!isListedInMenu(entry))
            continue;
        ++position;
        const QByteArray entryPath = printerPathOfEntry(entry);
        if (!entryPath.isEmpty() && entryPath == path)
            return position;
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
