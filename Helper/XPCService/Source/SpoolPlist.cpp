#include "SpoolPlist.h"

#include "WalkColumns.h"

#include <net-snmp/net-snmp-includes.h>

#include <cstdint>
#include <cstring>

namespace zrk {

ProfileList PlistForSpool;

namespace {

enum class SpoolField { IndexOnDevice, Location, ProfileName, FileName, ProfileClass, Driver };

struct SpoolColumn {
    const oid* column;
    u_char type;
    SpoolField field;
};

// Searched in this order; the first column that matches with the right
// value type decides.
const SpoolColumn kSpoolColumns[] = {
    {iOidIndexOnDevice, ASN_INTEGER, SpoolField::IndexOnDevice},
    {iOidSourceType, ASN_INTEGER, SpoolField::Location},
    {iOidProfileName, ASN_OCTET_STR, SpoolField::ProfileName},
    {iOidFileName, ASN_OCTET_STR, SpoolField::FileName},
    {iOidProfileClass, ASN_INTEGER, SpoolField::ProfileClass},
    {iOidProfileAvailability, ASN_INTEGER, SpoolField::Driver},
};

// Copies a received text into a 32-byte name field: the bytes up to the
// first NUL, at most 31 of them, never ending inside a UTF-8 sequence.
void copyText(char (&field)[kProfileNameFieldSize], const netsnmp_variable_list* var) {
    std::size_t length = 0;
    const u_char* text = var->val.string;
    if (text != nullptr) {
        const void* nul = std::memchr(text, 0, var->val_len);
        length = nul != nullptr ? static_cast<std::size_t>(static_cast<const u_char*>(nul) - text)
                                : var->val_len;
    }
    constexpr std::size_t kLimit = kProfileNameFieldSize - 1;
    if (length > kLimit) {
        length = kLimit;
        // Step back over continuation bytes so the cut falls before the lead
        // byte of the character it would split (a sequence has at most three).
        std::size_t cut = length;
        for (int back = 0; back < 3 && cut > 0 && (text[cut] & 0xC0) == 0x80; ++back) {
            --cut;
        }
        if ((text[cut] & 0xC0) != 0x80) {
            length = cut;
        }
    }
    std::memset(field, 0, sizeof field);
    if (length > 0) {
        std::memcpy(field, text, length);
    }
}

} // namespace

void vSpoolPlist(const oid* name, std::size_t nameLength, const netsnmp_variable_list* var,
                 int reset) {
    if (reset == 1) {
        std::memset(&PlistForSpool, 0, sizeof PlistForSpool);
        return;
    }
    // A cell needs the column and the row index; anything shorter names no slot.
    if (name == nullptr || var == nullptr || nameLength < kWalkCellLength) {
        return;
    }
    const oid row = name[kWalkRowIndexPosition];
    if (row < kWalkFirstRow || row > kWalkLastRow) {
        return;
    }
    ProfileEntry& slot = PlistForSpool.litem[row - kWalkFirstRow];

    for (const SpoolColumn& column : kSpoolColumns) {
        if (std::memcmp(name, column.column, kWalkColumnLength * sizeof(oid)) != 0 ||
            var->type != column.type) {
            continue;
        }
        if (column.type == ASN_INTEGER && var->val.integer == nullptr) {
            return;
        }
        // Integers are taken as 32-bit signed values.
        const int32_t number =
            column.type == ASN_INTEGER ? static_cast<int32_t>(*var->val.integer) : 0;
        switch (column.field) {
        case SpoolField::IndexOnDevice:
            slot.iIndexOnDevice = number;
            // The count never passes the spool's slots, whatever the agent repeats.
            if (PlistForSpool.iNum < kMaxProfileEntries) {
                ++PlistForSpool.iNum;
            }
            break;
        case SpoolField::Location:
            slot.iLocation = number;
            break;
        case SpoolField::ProfileName:
            copyText(slot.ProfileName, var);
            break;
        case SpoolField::FileName:
            copyText(slot.FileName, var);
            break;
        case SpoolField::ProfileClass:
            slot.iProfileClass = number;
            break;
        case SpoolField::Driver:
            slot.iDriver = number;
            break;
        }
        return;
    }
}

} // namespace zrk
