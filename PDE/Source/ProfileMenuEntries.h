// The profile entries a profile menu offers, their titles and printer paths,
// and the nibble text a chosen path is kept as in the ticket.
#pragma once

#include <ProfileTypes.h>

#include <QByteArray>
#include <QList>
#include <QString>

#include <cstdint>
#include <optional>

namespace PDE {

// Profile group of a row's profile list code (1 RGB, 3 SIM, 2 DST), or
// nothing for rows without profile entries.
std::optional<int32_t> profileGroupForList(uint16_t profileList);

// States offered in the menus: shown device entries and shown user entries.
bool isOfferedInMenu(int32_t inMenu);

// An entry the menus list: offered, and with a title that can be formed. The
// menus, the recorded choice and reading it back all count these alone, so a
// menu position always names the same entry.
bool isListedInMenu(const ProfileEntry& entry);

// The entry's path on the printer; empty for a location other than disk or card.
QByteArray printerPathOfEntry(const ProfileEntry& entry);

// "FileName(ProfileName)Label"; nothing when the location label is missing.
std::optional<QString> menuTitleOfEntry(const ProfileEntry& entry);

// Item data of a profile menu's entry items, set when the menu is built, so
// that a choice is always recorded as the entry its item was built from and
// never resolved again in a file that may have changed since. PPD items keep
// their choice keyword in Qt::UserRole and have neither.
// The entry's path on the printer (QByteArray; empty when it has none).
inline constexpr int kProfileItemPrinterPathRole = Qt::UserRole + 1;
// The entry's bare file name (QByteArray).
inline constexpr int kProfileItemFileNameRole = Qt::UserRole + 2;

// One entry item of a profile menu.
struct ProfileMenuItem {
    QString title;
    QByteArray printerPath;
    QByteArray fileName;
    friend bool operator==(const ProfileMenuItem&, const ProfileMenuItem&) = default;
};
using ProfileMenuItems = QList<ProfileMenuItem>;

// The items a list's offered entries make, in slot order. The location
// labels are looked up once for the whole list.
ProfileMenuItems profileMenuItemsOfList(const ProfileList& list);

// Two characters per byte: '0' + high nibble, '0' + low nibble.
QByteArray encodeNibbleText(const QByteArray& bytes);
// Pairs of characters back to bytes; an odd last character pairs with NUL.
QByteArray decodeNibbleText(const QByteArray& text);

} // namespace PDE
