#include "ProfileToolCommands.h"

#include "StorePaths.h"
#include "VXPList.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cstring>
#include <iostream>
#include <iterator>
#include <limits>
#include <memory>

namespace {

using Json = nlohmann::ordered_json;

// Members of one entry, in the order they are printed.
constexpr const char* kIndexOnDevice = "IndexOnDevice";
constexpr const char* kInMenu = "InMenu";
constexpr const char* kProfileClass = "ProfileClass";
constexpr const char* kLocation = "Location";
constexpr const char* kFileName = "FileName";
constexpr const char* kProfileName = "ProfileName";
constexpr const char* kEntryMembers[] = {kIndexOnDevice, kInMenu,   kProfileClass,
                                         kLocation,      kFileName, kProfileName};

// A profile file written by hand or by the store is well under this.
constexpr std::size_t kMaxJsonInput = 16u << 20;

std::unique_ptr<ProfileList> newList() {
    return std::make_unique<ProfileList>(); // value-initialised: all zeros
}

Json entryToJson(const ProfileEntry& entry) {
    Json object = Json::object();
    object[kIndexOnDevice] = entry.iIndexOnDevice;
    object[kInMenu] = entry.iInMenu;
    object[kProfileClass] = entry.iProfileClass;
    object[kLocation] = entry.iLocation;
    object[kFileName] = std::string(entry.FileName, strnlen(entry.FileName, sizeof entry.FileName));
    object[kProfileName] =
        std::string(entry.ProfileName, strnlen(entry.ProfileName, sizeof entry.ProfileName));
    return object;
}

bool readInteger(const Json& object, const char* member, int32_t* out, std::string* error) {
    const Json& value = object.at(member);
    if (!value.is_number_integer() ||
        (value.is_number_unsigned() &&
         value.get<uint64_t>() > static_cast<uint64_t>(std::numeric_limits<int32_t>::max())) ||
        (!value.is_number_unsigned() &&
         (value.get<int64_t>() < std::numeric_limits<int32_t>::min() ||
          value.get<int64_t>() > std::numeric_limits<int32_t>::max()))) {
        *error = std::string("\"") + member + "\" must be a 32-bit integer";
        return false;
    }
    *out = static_cast<int32_t>(value.get<int64_t>());
    return true;
}

bool readName(const Json& object, const char* member, char (&field)[kProfileNameFieldSize],
              std::string* error) {
    const Json& value = object.at(member);
    if (!value.is_string()) {
        *error = std::string("\"") + member + "\" must be a string";
        return false;
    }
    const std::string& text = value.get_ref<const std::string&>();
    if (text.size() >= kProfileNameFieldSize || text.find('\0') != std::string::npos) {
        *error = std::string("\"") + member + "\" must be at most 31 bytes of UTF-8 without NUL";
        return false;
    }
    std::memcpy(field, text.data(), text.size());
    return true;
}

bool entryFromJson(const Json& object, ProfileEntry* entry, std::string* error) {
    if (!object.is_object()) {
        *error = "an entry must be an object";
        return false;
    }
    for (const auto& member : object.items()) {
        if (std::find_if(std::begin(kEntryMembers), std::end(kEntryMembers), [&](const char* m) {
                return member.key() == m;
            }) == std::end(kEntryMembers)) {
            *error = "unknown member \"" + member.key() + "\"";
            return false;
        }
    }
    for (const char* member : kEntryMembers) {
        if (!object.contains(member)) {
            *error = std::string("missing member \"") + member + "\"";
            return false;
        }
    }
    if (!readInteger(object, kIndexOnDevice, &entry->iIndexOnDevice, error) ||
        !readInteger(object, kInMenu, &entry->iInMenu, error) ||
        !readInteger(object, kProfileClass, &entry->iProfileClass, error) ||
        !readInteger(object, kLocation, &entry->iLocation, error) ||
        !readName(object, kFileName, entry->FileName, error) ||
        !readName(object, kProfileName, entry->ProfileName, error)) {
        return false;
    }
    // Occupied entries are packed at the front; an empty state would end the
    // group early when it is read back.
    if (entry->iInMenu < kInMenuDeviceAbsentHidden || entry->iInMenu > kInMenuUserShown) {
        *error = "\"InMenu\" must be a state from 1 to 6";
        return false;
    }
    return true;
}

// The file as the store path set's current file for the duration of one call.
bool scopeFor(const char* file, zrk::StorePaths* paths) {
    if (std::strlen(file) == 0 || std::strlen(file) > zrk::kMaxProfilePathLength) {
        return false;
    }
    paths->current = file;
    return true;
}

int usageError(const char* synopsis) {
    std::cerr << "usage: profile-tool " << synopsis << '\n';
    return 2;
}

} // namespace

std::string profileListsToJson(const ProfileList* rgb, const ProfileList* sim,
                               const ProfileList* dst) {
    const ProfileList* lists[kProfileGroupCount] = {rgb, sim, dst};
    Json root = Json::object();
    for (int32_t g = 0; g < kProfileGroupCount; ++g) {
        Json entries = Json::array();
        for (const ProfileEntry& entry : lists[g]->litem) {
            if (entry.iInMenu != kInMenuEmpty) {
                entries.push_back(entryToJson(entry));
            }
        }
        root[cProfileGroupKeys[g]] = std::move(entries);
    }
    // A name cut inside a character is shown with a replacement character
    // rather than failing the whole listing.
    return root.dump(2, ' ', false, Json::error_handler_t::replace);
}

bool profileListsFromJson(const std::string& text, ProfileList* rgb, ProfileList* sim,
                          ProfileList* dst, std::string* error) {
    Json root = Json::parse(text, nullptr, false);
    if (root.is_discarded()) {
        *error = "input is not JSON";
        return false;
    }
    if (!root.is_object()) {
        *error = "input must be an object with \"RGB\", \"SIM\" and \"DST\"";
        return false;
    }
    for (const auto& member : root.items()) {
        if (member.key() != "RGB" && member.key() != "SIM" && member.key() != "DST") {
            *error = "unknown group \"" + member.key() + "\"";
            return false;
        }
    }
    ProfileList* lists[kProfileGroupCount] = {rgb, sim, dst};
    for (int32_t g = 0; g < kProfileGroupCount; ++g) {
        const char* key = cProfileGroupKeys[g];
        if (!root.contains(key) || !root[key].is_array()) {
            *error = std::string("\"") + key + "\" must be an array";
            return false;
        }
        const Json& entries = root[key];
        if (entries.size() > static_cast<std::size_t>(kMaxProfileEntries)) {
            *error = std::string("group \"") + key + "\" has " + std::to_string(entries.size()) +
                     " entries; at most " + std::to_string(kMaxProfileEntries) + " fit";
            return false;
        }
        for (std::size_t i = 0; i < entries.size(); ++i) {
            std::string why;
            if (!entryFromJson(entries[i], &lists[g]->litem[i], &why)) {
                *error = std::string(key) + " entry " + std::to_string(i) + ": " + why;
                return false;
            }
        }
        lists[g]->iNum = static_cast<int32_t>(entries.size());
    }
    return true;
}

int profileToolShow(int argc, char** argv) {
    if (argc != 2) {
        return usageError("show FILE");
    }
    zrk::StorePaths paths;
    if (!scopeFor(argv[1], &paths)) {
        std::cerr << "profile-tool: " << argv[1] << ": path is empty or longer than "
                  << zrk::kMaxProfilePathLength << " characters\n";
        return 1;
    }
    auto rgb = newList(), sim = newList(), dst = newList();
    int32_t status;
    {
        zrk::StorePathScope scope(paths);
        status = VXPListReadProfile_All(rgb.get(), sim.get(), dst.get());
    }
    if (status != 0) {
        std::cerr << "profile-tool: " << argv[1]
                  << ": not a readable profile file (missing, not a property list, or a group "
                     "or column dictionary missing)\n";
        return 1;
    }
    std::cout << profileListsToJson(rgb.get(), sim.get(), dst.get()) << '\n';
    return std::cout.good() ? 0 : 1;
}

int profileToolWrite(int argc, char** argv) {
    if (argc != 2) {
        return usageError("write FILE");
    }
    zrk::StorePaths paths;
    if (!scopeFor(argv[1], &paths)) {
        std::cerr << "profile-tool: " << argv[1] << ": path is empty or longer than "
                  << zrk::kMaxProfilePathLength << " characters\n";
        return 1;
    }
    std::string input;
    char block[65536];
    while (std::cin.read(block, sizeof block) || std::cin.gcount() > 0) {
        input.append(block, static_cast<std::size_t>(std::cin.gcount()));
        if (input.size() > kMaxJsonInput) {
            std::cerr << "profile-tool: input is larger than " << kMaxJsonInput << " bytes\n";
            return 1;
        }
    }
    auto rgb = newList(), sim = newList(), dst = newList();
    std::string error;
    if (!profileListsFromJson(input, rgb.get(), sim.get(), dst.get(), &error)) {
        std::cerr << "profile-tool: " << error << '\n';
        return 1;
    }
    int32_t status;
    {
        zrk::StorePathScope scope(paths);
        status = VXPListWriteProfile_All(rgb.get(), sim.get(), dst.get());
    }
    if (status != 0) {
        std::cerr << "profile-tool: " << argv[1] << ": cannot write the profile file\n";
        return 1;
    }
    return 0;
}
