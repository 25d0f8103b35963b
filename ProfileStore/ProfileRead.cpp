// Loading the profile file and the readers.
#include "ProfileFileCheck.h"
#include "StoreInternal.h"
#include "UniqueFd.h"
#include "Utf8.h"
#include "VXPList.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>

namespace zrk::store {

namespace {

// Element nesting that the property-list parser may be handed. The parser
// descends recursively, so a file of nested elements would exhaust the
// stack; a profile file nests five deep.
constexpr int kMaxXmlNesting = 32;

bool isNameStart(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || c == ':';
}

// The end of the markup that starts at `i` and is no element tag: a comment,
// a CDATA section, a processing instruction or a declaration. Their text may
// hold anything, tags included, so it is stepped over as a whole; npos when
// it is not closed.
std::size_t endOfNonElementMarkup(std::string_view text, std::size_t i) {
    struct Markup {
        std::string_view open;
        std::string_view close;
    };
    constexpr Markup kMarkups[] = {
        {"<!--", "-->"}, {"<![CDATA[", "]]>"}, {"<?", "?>"}, {"<!", ">"}};
    for (const Markup& m : kMarkups) {
        if (text.substr(i, m.open.size()) == m.open) {
            const std::size_t close = text.find(m.close, i + m.open.size());
            return close == std::string_view::npos ? close : close + m.close.size() - 1;
        }
    }
    return i;
}

// True when no element of the XML text nests deeper than the limit. Errs on
// the side of counting too deep: a tag with a quoted attribute is taken as an
// opening tag, and unclosed markup counts as too deep.
bool xmlNestingWithin(std::string_view text, int limit) {
    int depth = 0;
    for (std::size_t i = text.find('<'); i != std::string_view::npos; i = text.find('<', i + 1)) {
        if (i + 1 >= text.size()) {
            break;
        }
        const char next = text[i + 1];
        if (next == '!' || next == '?') {
            i = endOfNonElementMarkup(text, i);
            if (i == std::string_view::npos) {
                return false;
            }
            continue;
        }
        if (next == '/') {
            depth = depth > 0 ? depth - 1 : 0;
            continue;
        }
        if (!isNameStart(next)) {
            continue; // a stray '<'
        }
        std::size_t end = text.find('>', i);
        std::string_view tag = text.substr(i, end == std::string_view::npos ? text.npos : end - i);
        bool selfClosing = end != std::string_view::npos && text[end - 1] == '/' &&
                           tag.find_first_of("\"'") == std::string_view::npos;
        if (!selfClosing && ++depth > limit) {
            return false;
        }
    }
    return true;
}

} // namespace

PlistPtr loadProfileFile(const std::string& path, LoadProblem* problem) {
    LoadProblem ignored;
    LoadProblem& why = problem != nullptr ? *problem : ignored;
    why = {};
    // O_NONBLOCK: a FIFO planted in place of the file must not hang the
    // reader; O_NOFOLLOW: the service reads as root, and a symbolic link in
    // place of the file must not make it read someone else's. A second hard
    // link is no such danger: only root can make names in the preferences
    // directory, and a backup tool's link must not cost the user's entries.
    UniqueFd file{::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOFOLLOW)};
    if (!file.valid()) {
        why.missing = errno == ENOENT;
        why.reason = errno == ELOOP ? "is a symbolic link" : "cannot be opened";
        return {};
    }
    struct stat info;
    if (::fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode)) {
        why.reason = "is not a regular file";
        return {};
    }
    if (info.st_size < 0 || static_cast<std::size_t>(info.st_size) > kMaxProfileFileSize) {
        why.reason = "is larger than 16 MiB";
        return {};
    }
    std::string data;
    char block[65536];
    for (;;) {
        ssize_t n = ::read(file.get(), block, sizeof block);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            why.reason = "cannot be read";
            return {};
        }
        if (n == 0) {
            break;
        }
        data.append(block, static_cast<std::size_t>(n));
        if (data.size() > kMaxProfileFileSize) {
            why.reason = "is larger than 16 MiB"; // grew while being read
            return {};
        }
    }
    // Profile files are XML. The binary form is refused: its parser follows
    // object references recursively without a bound.
    if (data.empty()) {
        why.reason = "is empty";
        return {};
    }
    if (plist_is_binary(data.data(), static_cast<uint32_t>(data.size()))) {
        why.reason = "is a binary property list";
        return {};
    }
    if (!xmlNestingWithin(data, kMaxXmlNesting)) {
        why.reason = "nests more than 32 elements deep";
        return {};
    }
    plist_t root = nullptr;
    plist_from_xml(data.data(), static_cast<uint32_t>(data.size()), &root);
    if (root == nullptr) {
        why.reason = "is not a property list";
    }
    return PlistPtr(root);
}

} // namespace zrk::store

using zrk::store::PlistPtr;

namespace {

// The six column dictionaries of one group, in the order the slots are read.
enum Column {
    kColIndexOnDevice,
    kColInMenu,
    kColProfileClass,
    kColFileName,
    kColProfileName,
    kColLocation,
    kColumnCount
};

const char* const kColumnKeys[kColumnCount] = {cIndexOnDeviceKey, cInMenuKey,      cProfileClassKey,
                                               cFileNameKey,      cProfileNameKey, cLocationKey};

struct GroupColumns {
    plist_t group = nullptr;
    plist_t columns[kColumnCount] = {};
};

bool isDictionary(plist_t node) {
    return node != nullptr && plist_get_node_type(node) == PLIST_DICT;
}

// Finds a group and its six column dictionaries; a value that is not a
// dictionary counts as missing.
bool lookupGroup(plist_t root, int32_t group, GroupColumns* found) {
    if (!isDictionary(root) || group < 0 || group >= kProfileGroupCount) {
        return false;
    }
    plist_t dict = plist_dict_get_item(root, cProfileGroupKeys[group]);
    if (!isDictionary(dict)) {
        return false;
    }
    found->group = dict;
    for (int c = 0; c < kColumnCount; ++c) {
        plist_t column = plist_dict_get_item(dict, kColumnKeys[c]);
        if (!isDictionary(column)) {
            return false;
        }
        found->columns[c] = column;
    }
    return true;
}

void slotKey(char (&key)[64], const char* column, int slot) {
    std::snprintf(key, sizeof key, "%s%04d", column, slot);
}

void readSlotColumn(const GroupColumns& g, Column c, int slot, ProfileEntry* entry) {
    char key[64];
    slotKey(key, kColumnKeys[c], slot);
    switch (c) {
    case kColIndexOnDevice:
        ReadDictionaryIntEntry(g.columns[c], key, &entry->iIndexOnDevice);
        break;
    case kColInMenu:
        ReadDictionaryIntEntry(g.columns[c], key, &entry->iInMenu);
        break;
    case kColProfileClass:
        ReadDictionaryIntEntry(g.columns[c], key, &entry->iProfileClass);
        break;
    case kColFileName:
        ReadDictionaryStringEntry(g.columns[c], key, entry->FileName);
        break;
    case kColProfileName:
        ReadDictionaryStringEntry(g.columns[c], key, entry->ProfileName);
        break;
    case kColLocation:
        ReadDictionaryIntEntry(g.columns[c], key, &entry->iLocation);
        break;
    case kColumnCount:
        break;
    }
}

void readCount(const GroupColumns& g, ProfileList* list) {
    ReadDictionaryIntEntry(g.group, cNumKey, &list->iNum);
}

void readGroup(const GroupColumns& g, ProfileList* list) {
    for (int slot = 0; slot < kMaxProfileEntries; ++slot) {
        for (int c = 0; c < kColumnCount; ++c) {
            readSlotColumn(g, static_cast<Column>(c), slot, &list->litem[slot]);
        }
    }
    readCount(g, list);
    VXPlistCheckWithInMenu_Dict(list);
}

// Reading for a queue that cannot be walked: entries present on the printer
// but hidden are left out, present and shown ones read as user entries.
void readGroupPap(const GroupColumns& g, ProfileList* list) {
    int out = 0;
    for (int slot = 0; slot < kMaxProfileEntries; ++slot) {
        ProfileEntry* entry = &list->litem[out];
        int32_t state = entry->iInMenu; // stays as cleared when the key is absent
        char key[64];
        slotKey(key, cInMenuKey, slot);
        ReadDictionaryIntEntry(g.columns[kColInMenu], key, &state);
        if (state == kInMenuDevicePresentHidden) {
            continue;
        }
        entry->iInMenu = state == kInMenuDevicePresentShown ? kInMenuUserShown : state;
        for (int c = 0; c < kColumnCount; ++c) {
            if (c != kColInMenu) {
                readSlotColumn(g, static_cast<Column>(c), slot, entry);
            }
        }
        ++out;
    }
    readCount(g, list);
    VXPlistCheckWithInMenu_Dict(list);
}

PlistPtr loadCurrentFile() {
    std::string path;
    if (!zrk::store::currentProfilePath(&path)) {
        return {};
    }
    return zrk::store::loadProfileFile(path);
}

int32_t readOneGroup(ProfileList* list, int32_t group, bool pap) {
    if (list == nullptr || group < 0 || group >= kProfileGroupCount) {
        return -1;
    }
    PlistPtr root = loadCurrentFile();
    GroupColumns columns;
    if (!lookupGroup(static_cast<plist_t>(root.get()), group, &columns)) {
        return -1;
    }
    if (pap) {
        readGroupPap(columns, list);
    } else {
        readGroup(columns, list);
    }
    return 0;
}

} // namespace

int32_t VXPListReadProfile_All(ProfileList* rgb, ProfileList* sim, ProfileList* dst) {
    ProfileList* lists[kProfileGroupCount] = {rgb, sim, dst};
    for (ProfileList* list : lists) {
        if (list == nullptr) {
            return -1;
        }
    }
    PlistPtr root = loadCurrentFile();
    GroupColumns columns[kProfileGroupCount];
    // Every group and column is looked up before any list is touched.
    for (int32_t g = 0; g < kProfileGroupCount; ++g) {
        if (!lookupGroup(static_cast<plist_t>(root.get()), g, &columns[g])) {
            return -1;
        }
    }
    for (int32_t g = 0; g < kProfileGroupCount; ++g) {
        readGroup(columns[g], lists[g]);
    }
    return 0;
}

namespace zrk::store {

ProfileFileState checkProfileFile(const std::string& path, std::string* reason) {
    LoadProblem problem;
    PlistPtr root = loadProfileFile(path, &problem);
    if (!root) {
        if (reason != nullptr) {
            *reason = problem.reason;
        }
        return problem.missing ? ProfileFileState::Missing : ProfileFileState::Unreadable;
    }
    for (int32_t g = 0; g < kProfileGroupCount; ++g) {
        GroupColumns columns;
        if (!lookupGroup(static_cast<plist_t>(root.get()), g, &columns)) {
            if (reason != nullptr) {
                *reason = std::string("lacks the ") + cProfileGroupKeys[g] +
                          " group or one of its columns";
            }
            return ProfileFileState::Unreadable;
        }
    }
    return ProfileFileState::Complete;
}

} // namespace zrk::store

int32_t VXPListReadProfile_Dict(ProfileList* list, int32_t group) {
    return readOneGroup(list, group, false);
}

int32_t VXPListReadProfile_Dict_Pap(ProfileList* list, int32_t group) {
    return readOneGroup(list, group, true);
}

void VXPlistCheckWithInMenu_Dict(ProfileList* list) {
    if (list == nullptr) {
        return;
    }
    int32_t occupied = 0;
    for (const ProfileEntry& entry : list->litem) {
        if (entry.iInMenu != kInMenuEmpty) {
            ++occupied;
        }
    }
    if (occupied == list->iNum) {
        return;
    }
    for (int32_t slot = occupied; slot < kMaxProfileEntries; ++slot) {
        list->litem[slot] = ProfileEntry{};
    }
    list->iNum = occupied;
}

void ReadDictionaryIntEntry(plist_t dict, const char* key, int32_t* value) {
    if (!isDictionary(dict) || key == nullptr || value == nullptr) {
        return;
    }
    plist_t item = plist_dict_get_item(dict, key);
    if (item == nullptr) {
        return;
    }
    switch (plist_get_node_type(item)) {
    case PLIST_UINT: {
        // Integers are held as 64-bit patterns; negative ones come back as
        // their two's complement.
        uint64_t raw = 0;
        plist_get_uint_val(item, &raw);
        auto signedValue = static_cast<int64_t>(raw);
        if (signedValue >= std::numeric_limits<int32_t>::min() &&
            signedValue <= std::numeric_limits<int32_t>::max()) {
            *value = static_cast<int32_t>(signedValue);
        }
        break;
    }
    case PLIST_REAL: {
        double real = 0;
        plist_get_real_val(item, &real);
        if (std::isfinite(real) && std::trunc(real) == real &&
            real >= std::numeric_limits<int32_t>::min() &&
            real <= std::numeric_limits<int32_t>::max()) {
            *value = static_cast<int32_t>(real);
        }
        break;
    }
    default:
        break; // a value of another type reads as absent
    }
}

void ReadDictionaryStringEntry(plist_t dict, const char* key, char* name) {
    if (!isDictionary(dict) || key == nullptr || name == nullptr) {
        return;
    }
    plist_t item = plist_dict_get_item(dict, key);
    if (item == nullptr || plist_get_node_type(item) != PLIST_STRING) {
        return;
    }
    uint64_t length = 0;
    const char* text = plist_get_string_ptr(item, &length);
    if (text == nullptr) {
        name[0] = '\0';
        return;
    }
    std::string_view value(text, strnlen(text, static_cast<std::size_t>(length)));
    // Cut at a character boundary: a split character would make the name
    // invalid UTF-8, and the next write would drop it altogether.
    std::size_t keep = zrk::utf8::boundaryAtMost(value, kProfileNameFieldSize - 1);
    std::memcpy(name, value.data(), keep);
    std::memset(name + keep, 0, kProfileNameFieldSize - keep);
}
