// Building the profile file and the writers common to both builds.
#include "StoreInternal.h"
#include "Utf8.h"
#include "VXPList.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>

using zrk::store::PlistPtr;

namespace {

plist_t newInteger(int32_t value) {
    // Integers are stored as 64-bit patterns; a negative value keeps its sign
    // in the XML text.
    return plist_new_uint(static_cast<uint64_t>(static_cast<int64_t>(value)));
}

// The bytes of a name field up to its NUL (a field without one ends at 32).
std::string_view fieldText(const char (&field)[kProfileNameFieldSize]) {
    return {field, strnlen(field, kProfileNameFieldSize)};
}

enum GroupColumn {
    kColIndexOnDevice,
    kColInMenu,
    kColProfileClass,
    kColLocation,
    kColFileName,
    kColProfileName,
    kColumnCount
};

// Column order inside a group dictionary.
const char* const kColumnKeys[kColumnCount] = {cIndexOnDeviceKey, cInMenuKey,   cProfileClassKey,
                                               cLocationKey,      cFileNameKey, cProfileNameKey};

// A group dictionary with every slot key in slot order and zero values.
// Inserting 3,000 keys one by one costs a search per insert; copying this
// once-built dictionary and overwriting its values in order does not.
plist_t newTemplateGroup() {
    plist_t group = plist_new_dict();
    plist_dict_set_item(group, cNumKey, newInteger(0));
    char key[64];
    for (int c = 0; c < kColumnCount; ++c) {
        plist_t column = plist_new_dict();
        for (int slot = 0; slot < kMaxProfileEntries; ++slot) {
            std::snprintf(key, sizeof key, "%s%04d", kColumnKeys[c], slot);
            bool isName = c == kColFileName || c == kColProfileName;
            plist_dict_set_item(column, key, isName ? plist_new_string("") : newInteger(0));
        }
        plist_dict_set_item(group, kColumnKeys[c], column);
    }
    return group;
}

plist_t copyTemplateGroup() {
    static const PlistPtr kTemplate(newTemplateGroup());
    return plist_copy(static_cast<plist_t>(kTemplate.get()));
}

int32_t slotValue(const ProfileEntry& entry, int column) {
    switch (column) {
    case kColIndexOnDevice:
        return entry.iIndexOnDevice;
    case kColInMenu:
        return entry.iInMenu;
    case kColProfileClass:
        return entry.iProfileClass;
    default:
        return entry.iLocation;
    }
}

// Overwrites the values of one column, which holds its slots in order. A
// name that cannot be a property-list string (not UTF-8, or characters that
// XML cannot carry) is left out: its slot key is removed.
void fillColumn(plist_t column, int c, const ProfileList* list) {
    const bool isName = c == kColFileName || c == kColProfileName;
    bool dropped[kMaxProfileEntries] = {};
    bool anyDropped = false;
    plist_dict_iter iterator = nullptr;
    plist_dict_new_iter(column, &iterator);
    for (int slot = 0; slot < kMaxProfileEntries; ++slot) {
        char* key = nullptr;
        plist_t value = nullptr;
        plist_dict_next_item(column, iterator, &key, &value);
        std::free(key);
        if (value == nullptr) {
            break;
        }
        const ProfileEntry& entry = list->litem[slot];
        if (!isName) {
            plist_set_uint_val(value,
                               static_cast<uint64_t>(static_cast<int64_t>(slotValue(entry, c))));
            continue;
        }
        std::string_view text = fieldText(c == kColFileName ? entry.FileName : entry.ProfileName);
        if (!zrk::utf8::isValidXmlText(text)) {
            dropped[slot] = anyDropped = true;
        } else if (!text.empty()) {
            plist_set_string_val(value, std::string(text).c_str());
        }
    }
    std::free(iterator);
    if (anyDropped) {
        char key[64];
        for (int slot = 0; slot < kMaxProfileEntries; ++slot) {
            if (dropped[slot]) {
                std::snprintf(key, sizeof key, "%s%04d", kColumnKeys[c], slot);
                plist_dict_remove_item(column, key);
            }
        }
    }
}

// One group dictionary: "iNum" and the six column dictionaries, every slot
// written whatever the count.
plist_t newGroupDictionary(const ProfileList* list, plist_t* columnsOut) {
    plist_t group = copyTemplateGroup();
    plist_set_uint_val(plist_dict_get_item(group, cNumKey),
                       static_cast<uint64_t>(static_cast<int64_t>(list->iNum)));
    for (int c = 0; c < kColumnCount; ++c) {
        plist_t column = plist_dict_get_item(group, kColumnKeys[c]);
        fillColumn(column, c, list);
        if (columnsOut != nullptr) {
            columnsOut[c] = column;
        }
    }
    return group;
}

bool validGroup(int32_t group) {
    return group >= 0 && group < kProfileGroupCount;
}

} // namespace

namespace zrk::store {

bool buildProfileXml(const ProfileList* rgb, const ProfileList* sim, const ProfileList* dst,
                     std::string* xml) {
    const ProfileList* lists[kProfileGroupCount] = {rgb, sim, dst};
    PlistPtr root(plist_new_dict());
    for (int32_t g = 0; g < kProfileGroupCount; ++g) {
        if (lists[g] == nullptr) {
            return false;
        }
        plist_dict_set_item(static_cast<plist_t>(root.get()), cProfileGroupKeys[g],
                            newGroupDictionary(lists[g], nullptr));
    }
    plist_dict_set_item(static_cast<plist_t>(root.get()), cPlistVersionKey,
                        newInteger(kPlistVersion));
    char* text = nullptr;
    uint32_t length = 0;
    plist_to_xml(static_cast<plist_t>(root.get()), &text, &length);
    if (text == nullptr) {
        return false;
    }
    xml->assign(text, length);
    plist_to_xml_free(text);
    return true;
}

} // namespace zrk::store

plist_t CreatePropsDictionary(int32_t group, const ProfileList* list, plist_t* groupDict,
                              plist_t* indexOnDeviceDict, plist_t* inMenuDict,
                              plist_t* profileClassDict, plist_t* locationDict,
                              plist_t* fileNameDict, plist_t* profileNameDict) {
    if (list == nullptr) {
        return nullptr;
    }
    plist_t columns[kColumnCount];
    plist_t groupNode = newGroupDictionary(list, columns);
    plist_t* outs[kColumnCount] = {indexOnDeviceDict, inMenuDict,   profileClassDict,
                                   locationDict,      fileNameDict, profileNameDict};
    for (int c = 0; c < kColumnCount; ++c) {
        if (outs[c] != nullptr) {
            *outs[c] = columns[c];
        }
    }
    if (groupDict != nullptr) {
        *groupDict = groupNode;
    }
    plist_t wrapper = plist_new_dict();
    if (validGroup(group)) {
        plist_dict_set_item(wrapper, cProfileGroupKeys[group], groupNode);
    } else {
        // The wrapper stays empty and nothing would own the group, so the
        // out-references come back NULL.
        plist_free(groupNode);
        for (plist_t* out : outs) {
            if (out != nullptr) {
                *out = nullptr;
            }
        }
        if (groupDict != nullptr) {
            *groupDict = nullptr;
        }
    }
    return wrapper;
}

int32_t VXPListWriteProfile_All(const ProfileList* rgb, const ProfileList* sim,
                                const ProfileList* dst) {
    if (rgb == nullptr || sim == nullptr || dst == nullptr) {
        return -1;
    }
    zrk::UniqueFd sequence;
    if (!zrk::store::holdWriteSequence(&sequence) || VXPListIsAdminProfile() == 0) {
        return -1;
    }
    return zrk::store::writeProfileListsUnprobed(rgb, sim, dst);
}

int32_t VXPListWriteProfile_Dict(const ProfileList* list, int32_t group, ProfileList* rgbOut,
                                 ProfileList* simOut, ProfileList* dstOut) {
    if (list == nullptr || !validGroup(group)) {
        return -1;
    }
    std::unique_ptr<ProfileList> lists[kProfileGroupCount] = {
        zrk::store::newClearedList(), zrk::store::newClearedList(), zrk::store::newClearedList()};
    for (const auto& l : lists) {
        if (!l) {
            return -1;
        }
    }
    // A missing or unreadable file leaves the other groups empty.
    (void)VXPListReadProfile_All(lists[0].get(), lists[1].get(), lists[2].get());
    ProfileList* outs[kProfileGroupCount] = {rgbOut, simOut, dstOut};
    for (int32_t g = 0; g < kProfileGroupCount; ++g) {
        if (outs[g] != nullptr) {
            *outs[g] = *lists[g];
        }
    }
    const ProfileList* toWrite[kProfileGroupCount] = {lists[0].get(), lists[1].get(),
                                                      lists[2].get()};
    toWrite[group] = list;
    int32_t result = VXPListWriteProfile_All(toWrite[0], toWrite[1], toWrite[2]);
    if (outs[group] != nullptr) {
        *outs[group] = *list;
    }
    return result;
}

int32_t VXPListWriteProfile_All_Pap(const ProfileList* rgbEdited, const ProfileList* simEdited,
                                    const ProfileList* dstEdited, const ProfileList* rgbDeleted,
                                    const ProfileList* simDeleted, const ProfileList* dstDeleted) {
    // Held from before the file is read for the merge until the commit.
    zrk::UniqueFd sequence;
    if (!zrk::store::holdWriteSequence(&sequence) || VXPListIsAdminProfile() == 0) {
        return -1;
    }
    std::unique_ptr<ProfileList> merged[kProfileGroupCount] = {
        zrk::store::newClearedList(), zrk::store::newClearedList(), zrk::store::newClearedList()};
    for (const auto& l : merged) {
        if (!l) {
            return -1;
        }
    }
    VXPListMappingProfile_All_Pap(rgbEdited, simEdited, dstEdited, merged[0].get(), merged[1].get(),
                                  merged[2].get(), rgbDeleted, simDeleted, dstDeleted);
    return zrk::store::writeProfileListsUnprobed(merged[0].get(), merged[1].get(), merged[2].get());
}

int32_t VXPListMappingGetMainDict_FromPlist(plist_t* rgb, plist_t* sim, plist_t* dst) {
    plist_t* outs[kProfileGroupCount] = {rgb, sim, dst};
    std::string path;
    if (!zrk::store::currentProfilePath(&path)) {
        return -1;
    }
    PlistPtr root = zrk::store::loadProfileFile(path);
    plist_t node = static_cast<plist_t>(root.get());
    if (node == nullptr || plist_get_node_type(node) != PLIST_DICT) {
        return -1;
    }
    for (int32_t g = 0; g < kProfileGroupCount; ++g) {
        plist_t group = plist_dict_get_item(node, cProfileGroupKeys[g]);
        if (group == nullptr || plist_get_node_type(group) != PLIST_DICT) {
            return -1;
        }
        if (outs[g] != nullptr) {
            *outs[g] = plist_copy(group);
        }
    }
    return 0;
}

int32_t VXPListMappingGetSubDict(plist_t groupDict, plist_t* indexOnDeviceDict, plist_t* inMenuDict,
                                 plist_t* profileClassDict, plist_t* locationDict,
                                 plist_t* fileNameDict, plist_t* profileNameDict, int32_t* count) {
    if (groupDict == nullptr || plist_get_node_type(groupDict) != PLIST_DICT) {
        return -1;
    }
    struct Lookup {
        const char* key;
        plist_t* out;
    };
    const Lookup lookups[] = {{cIndexOnDeviceKey, indexOnDeviceDict}, {cInMenuKey, inMenuDict},
                              {cProfileClassKey, profileClassDict},   {cFileNameKey, fileNameDict},
                              {cProfileNameKey, profileNameDict},     {cLocationKey, locationDict}};
    for (const Lookup& lookup : lookups) {
        plist_t column = plist_dict_get_item(groupDict, lookup.key);
        if (column == nullptr || plist_get_node_type(column) != PLIST_DICT) {
            return -1;
        }
        if (lookup.out != nullptr) {
            *lookup.out = column;
        }
    }
    ReadDictionaryIntEntry(groupDict, cNumKey, count);
    return 0;
}
