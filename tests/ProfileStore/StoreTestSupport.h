// Fixtures shared by the store's tests.
#pragma once

#include "ProfileTypes.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace storetest {

// Parameterised cases print as their name (bring into a test file's
// namespace with `using storetest::operator<<;`).
template <typename Case> auto operator<<(std::ostream& os, const Case& c) -> decltype(c.name, os) {
    return os << c.name;
}

// A private folder under the system's temporary folder, removed at the end.
class TempDir {
public:
    TempDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "zrkstore-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) {
            throw std::runtime_error("mkdtemp failed");
        }
        path_ = pattern;
    }
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ignored);
        std::filesystem::remove_all(path_, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& path() const { return path_; }
    std::string file(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

// Sets an environment variable for the fixture's lifetime.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const std::string& value) : name_(name) {
        if (const char* old = std::getenv(name)) {
            old_ = old;
            hadOld_ = true;
        }
        ::setenv(name, value.c_str(), 1);
    }
    ~ScopedEnv() {
        if (hadOld_) {
            ::setenv(name_, old_.c_str(), 1);
        } else {
            ::unsetenv(name_);
        }
    }

private:
    const char* name_;
    std::string old_;
    bool hadOld_ = false;
};

inline std::unique_ptr<ProfileList> newList() {
    return std::make_unique<ProfileList>();
}

inline ProfileEntry entry(int32_t index, int32_t state, const char* fileName,
                          int32_t location = kLocationDisk, const char* profileName = "",
                          int32_t profileClass = 2) {
    ProfileEntry e{};
    e.iIndexOnDevice = index;
    e.iInMenu = state;
    e.iProfileClass = profileClass;
    std::memcpy(e.FileName, fileName, strnlen(fileName, sizeof e.FileName - 1));
    std::memcpy(e.ProfileName, profileName, strnlen(profileName, sizeof e.ProfileName - 1));
    e.iLocation = location;
    return e;
}

// A list holding the given entries packed at the front, count set.
inline std::unique_ptr<ProfileList> listOf(const std::vector<ProfileEntry>& entries) {
    auto list = newList();
    for (std::size_t i = 0; i < entries.size(); ++i) {
        list->litem[i] = entries[i];
    }
    list->iNum = static_cast<int32_t>(entries.size());
    return list;
}

inline bool sameEntry(const ProfileEntry& a, const ProfileEntry& b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

inline bool slotIsZero(const ProfileEntry& e) {
    return sameEntry(e, ProfileEntry{});
}

inline std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

inline void writeFile(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
}

// XML text of a property list whose root dictionary holds the given body.
inline std::string plistDocument(const std::string& body) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
           "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
           "<plist version=\"1.0\">\n<dict>\n" +
           body + "</dict>\n</plist>\n";
}

// A group dictionary: "iNum" (left out when count < 0), then the six columns
// with the given extra XML inside each column (keyed by column name).
struct GroupXml {
    int count = -1;
    std::string indexOnDevice, inMenu, profileClass, location, fileName, profileName;
    std::vector<std::string> omitColumns;
    std::string extraGroupXml; // raw members added to the group dictionary
};

inline std::string groupDocumentPart(const std::string& key, const GroupXml& g) {
    std::string xml = "<key>" + key + "</key>\n<dict>\n";
    if (g.count >= 0) {
        xml += "<key>iNum</key><integer>" + std::to_string(g.count) + "</integer>\n";
    }
    xml += g.extraGroupXml;
    const std::pair<const char*, const std::string*> columns[] = {
        {"IndexOnDevice", &g.indexOnDevice}, {"InMenu", &g.inMenu},
        {"ProfileClass", &g.profileClass},   {"Location", &g.location},
        {"FileName", &g.fileName},           {"ProfileName", &g.profileName}};
    for (const auto& [name, body] : columns) {
        bool omitted = false;
        for (const std::string& o : g.omitColumns) {
            omitted = omitted || o == name;
        }
        if (!omitted) {
            xml += std::string("<key>") + name + "</key>\n<dict>\n" + *body + "</dict>\n";
        }
    }
    return xml + "</dict>\n";
}

inline std::string intSlot(const char* column, int slot, long long value) {
    char key[64];
    std::snprintf(key, sizeof key, "%s%04d", column, slot);
    return std::string("<key>") + key + "</key><integer>" + std::to_string(value) + "</integer>\n";
}

inline std::string stringSlot(const char* column, int slot, const std::string& value) {
    char key[64];
    std::snprintf(key, sizeof key, "%s%04d", column, slot);
    return std::string("<key>") + key + "</key><string>" + value + "</string>\n";
}

} // namespace storetest
