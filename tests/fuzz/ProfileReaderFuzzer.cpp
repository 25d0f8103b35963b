// libFuzzer target: any file content handed to the profile file readers.
// Checks what must hold whatever the file holds: counts within 0..500, name
// fields terminated, and lists read from it serialise to XML that parses.
#include "StorePaths.h"
#include "VXPList.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

namespace {

std::string& scratchPath() {
    static std::string path = [] {
        const char* dir = std::getenv("TMPDIR");
        std::string pattern = std::string(dir != nullptr && dir[0] != '\0' ? dir : "/tmp") +
                              "/zrk-fuzz-profile-XXXXXX";
        int fd = ::mkstemp(pattern.data());
        if (fd < 0) {
            std::perror("mkstemp");
            std::abort();
        }
        ::close(fd);
        std::atexit([] { ::unlink(scratchPath().c_str()); });
        return pattern;
    }();
    return path;
}

void putFile(const uint8_t* data, size_t size) {
    int fd = ::open(scratchPath().c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    if (fd < 0) {
        std::abort();
    }
    while (size > 0) {
        ssize_t n = ::write(fd, data, size);
        if (n <= 0) {
            std::abort();
        }
        data += n;
        size -= static_cast<size_t>(n);
    }
    ::close(fd);
}

void checkList(const ProfileList& list) {
    if (list.iNum < 0 || list.iNum > kMaxProfileEntries) {
        std::abort();
    }
    for (const ProfileEntry& entry : list.litem) {
        if (std::memchr(entry.FileName, '\0', sizeof entry.FileName) == nullptr ||
            std::memchr(entry.ProfileName, '\0', sizeof entry.ProfileName) == nullptr ||
            entry.iDriver != 0) {
            std::abort();
        }
    }
}

// What the writer makes of the lists must be a property list again.
void checkSerialises(const ProfileList& list, int32_t group) {
    plist_t wrapper = CreatePropsDictionary(group, &list, nullptr, nullptr, nullptr, nullptr,
                                            nullptr, nullptr, nullptr);
    char* xml = nullptr;
    uint32_t length = 0;
    plist_to_xml(wrapper, &xml, &length);
    plist_t back = nullptr;
    plist_from_xml(xml, length, &back);
    if (back == nullptr) {
        std::abort();
    }
    plist_free(back);
    plist_to_xml_free(xml);
    plist_free(wrapper);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    putFile(data, size);
    zrk::StorePaths paths;
    paths.current = scratchPath();
    zrk::StorePathScope scope(paths);

    // One reader per input, chosen by the input's length, keeps each run
    // cheap; mutations that add or drop bytes reach every reader.
    const int32_t group = static_cast<int32_t>((size / 4) % kProfileGroupCount);
    switch (size % 4) {
    case 0: {
        auto rgb = std::make_unique<ProfileList>();
        auto sim = std::make_unique<ProfileList>();
        auto dst = std::make_unique<ProfileList>();
        if (VXPListReadProfile_All(rgb.get(), sim.get(), dst.get()) == 0) {
            const ProfileList* lists[] = {rgb.get(), sim.get(), dst.get()};
            for (const ProfileList* list : lists) {
                checkList(*list);
            }
            checkSerialises(*lists[group], group);
        }
        break;
    }
    case 1: {
        auto one = std::make_unique<ProfileList>();
        if (VXPListReadProfile_Dict(one.get(), group) == 0) {
            checkList(*one);
        }
        break;
    }
    case 2: {
        auto pap = std::make_unique<ProfileList>();
        if (VXPListReadProfile_Dict_Pap(pap.get(), group) == 0) {
            checkList(*pap);
        }
        break;
    }
    default: {
        plist_t groups[3] = {};
        VXPListMappingGetMainDict_FromPlist(&groups[0], &groups[1], &groups[2]);
        for (plist_t dict : groups) {
            plist_t columns[6] = {};
            int32_t count = 0;
            VXPListMappingGetSubDict(dict, &columns[0], &columns[1], &columns[2], &columns[3],
                                     &columns[4], &columns[5], &count);
            if (dict != nullptr) {
                plist_free(dict);
            }
        }
        break;
    }
    }
    return 0;
}
