// libFuzzer target: any sequence of cells a printer might answer a walk with
// (identifier, value type, value), filed into the spool and merged into the
// profile groups. What must hold whatever the printer sends: the groups hold
// counts within 0..500 and terminated names; where the input asks for the
// file, the merged file is written, reads back and holds the same.
//
// Input: a first byte choosing the walk's result (bit 0: failed) and the
// profile file the merge starts from (bits 1-3: none, two entries, PAP
// states, wrong types, every slot of every group taken); then cells of six
// bytes
//   shape, column, row (two bytes, big-endian), type, value length
// followed by the value. shape bits 0-1 give the identifier's length (the
// full cell, no row index, one sub-identifier more, the entry only); bit 2
// moves it outside the table; bit 3 makes the row index the largest one.
// Bytes after the last whole cell are ignored.
//
// Most inputs merge into the groups the start file reads as, in memory. The
// writer always writes all 500 slots of the three groups, which costs about
// a hundred times the rest, so an input takes the whole path through the file
// (the start file written, the service's merge reading and rewriting it, the
// result read back) only when it asks for it: bits 4-7 of the first byte all
// set and the sum of all its bytes a multiple of 32. The sum makes a mutant of
// such an input take the costly path one time in 32, so that the inputs
// that reach the file's code cannot take over the run; a trailing byte
// settles it (make_walk_seeds.py writes such seeds).
#include "MergeTables.h"
#include "ProfileFileCheck.h"
#include "SpoolPlist.h"
#include "StorePaths.h"
#include "VXPList.h"
#include "WalkColumns.h"

#include <net-snmp/net-snmp-config.h>
#include <net-snmp/net-snmp-includes.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

// A start file: its text ("" for no file) and what the store reads from it.
struct StartFile {
    std::string text;
    bool unreadable = false;
    std::unique_ptr<ProfileList[]> groups;
};

struct Process {
    std::string dir;
    zrk::StorePaths paths;
    std::vector<StartFile> startFiles;
};

constexpr uint8_t kWholeFileBits = 0xF0;
constexpr unsigned kWholeFileSumModulus = 32;

bool asksForTheFile(const uint8_t* data, size_t size) {
    if ((data[0] & kWholeFileBits) != kWholeFileBits)
        return false;
    unsigned sum = 0;
    for (size_t i = 0; i < size; ++i)
        sum += data[i];
    return sum % kWholeFileSumModulus == 0;
}

// The service fsyncs what it writes: where a folder in memory exists, the
// scratch files go there so that the inputs through the file never wait on a
// disk.
std::string scratchParent() {
    if (::access("/dev/shm", W_OK | X_OK) == 0)
        return "/dev/shm";
    const char* tmp = std::getenv("TMPDIR");
    return tmp && tmp[0] ? tmp : "/tmp";
}

Process* gProcess = nullptr;

[[noreturn]] void finding(const char* what) {
    std::fprintf(stderr, "fuzz finding: %s\n", what);
    std::fflush(stderr);
    std::abort();
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

constexpr u_char kTypes[] = {ASN_INTEGER,         ASN_OCTET_STR,    ASN_COUNTER,
                             ASN_GAUGE,           ASN_TIMETICKS,    ASN_IPADDRESS,
                             ASN_OBJECT_ID,       ASN_NULL,         ASN_OPAQUE,
                             ASN_COUNTER64,       ASN_UINTEGER,     SNMP_NOSUCHOBJECT,
                             SNMP_NOSUCHINSTANCE, SNMP_ENDOFMIBVIEW};

bool isNumberType(u_char type) {
    return type == ASN_INTEGER || type == ASN_COUNTER || type == ASN_GAUGE ||
           type == ASN_TIMETICKS || type == ASN_UINTEGER;
}

// Files one cell the way the walk files what it receives.
void spoolCell(uint8_t shape, uint8_t column, uint16_t row, uint8_t typeByte, const uint8_t* value,
               size_t length) {
    std::vector<oid> name = {1, 3, 6, 1, 4, 1, 18334, 1, 1, 1, 1, 6, 13, 1, 1};
    name.push_back(column);
    name.push_back(1);
    name.push_back((shape & 0x08) ? static_cast<oid>(-1) : row);
    switch (shape & 0x03) {
    case 1:
        name.pop_back();
        break;
    case 2:
        name.push_back(row);
        break;
    case 3:
        name.resize(zrk::kWalkEntryLength);
        break;
    default:
        break;
    }
    if (shape & 0x04)
        name[6] = 18335;

    const u_char type = kTypes[typeByte % (sizeof kTypes / sizeof kTypes[0])];
    netsnmp_variable_list* var = nullptr;
    if (isNumberType(type)) {
        long number = 0;
        std::memcpy(&number, value, std::min(length, sizeof number));
        var =
            snmp_varlist_add_variable(&var, name.data(), name.size(), type, &number, sizeof number);
    } else if (type == ASN_COUNTER64) {
        counter64 number{};
        std::memcpy(&number, value, std::min(length, sizeof number));
        var =
            snmp_varlist_add_variable(&var, name.data(), name.size(), type, &number, sizeof number);
    } else if (type == ASN_OBJECT_ID) {
        std::vector<oid> ids(length / sizeof(oid));
        if (!ids.empty())
            std::memcpy(ids.data(), value, ids.size() * sizeof(oid));
        var = snmp_varlist_add_variable(&var, name.data(), name.size(), type, ids.data(),
                                        ids.size() * sizeof(oid));
    } else {
        var = snmp_varlist_add_variable(&var, name.data(), name.size(), type, value, length);
    }
    if (!var)
        return;
    zrk::vSpoolPlist(var->name, var->name_length, var, 0);
    snmp_free_varbind(var);
}

void checkList(const ProfileList& list) {
    if (list.iNum < 0 || list.iNum > kMaxProfileEntries)
        finding("a count outside 0..500");
    for (const ProfileEntry& entry : list.litem) {
        if (!std::memchr(entry.FileName, '\0', sizeof entry.FileName) ||
            !std::memchr(entry.ProfileName, '\0', sizeof entry.ProfileName))
            finding("a name without its terminator");
    }
}

// Every slot of every group taken by an entry, in every state, of both
// locations and of the group's classes: a row new to the printer finds no
// free slot.
std::unique_ptr<ProfileList[]> fullGroups() {
    auto groups = std::make_unique<ProfileList[]>(kProfileGroupCount);
    for (int g = 0; g < kProfileGroupCount; ++g) {
        ProfileList& list = groups[g];
        list.iNum = kMaxProfileEntries;
        for (int i = 0; i < kMaxProfileEntries; ++i) {
            ProfileEntry& entry = list.litem[i];
            entry.iIndexOnDevice = i + 1;
            entry.iInMenu = kInMenuDeviceAbsentHidden + i % kInMenuUserShown;
            entry.iProfileClass =
                g == kProfileGroupRGB ? zrk::kProfileClassRGBSourceA : zrk::kProfileClassOutput;
            entry.iLocation = i % 2 ? kLocationCard : kLocationDisk;
            std::snprintf(entry.FileName, sizeof entry.FileName, "P%03d.ICC", i);
            std::snprintf(entry.ProfileName, sizeof entry.ProfileName, "Profile %d", i);
        }
    }
    return groups;
}

// Reads one start file the way the merge does, once: the groups it reads as
// and whether the merge would keep it unread.
StartFile loadStartFile(Process& p, std::string text) {
    StartFile start;
    start.text = std::move(text);
    start.groups = std::make_unique<ProfileList[]>(kProfileGroupCount);
    ::unlink(p.paths.current.c_str());
    if (start.text.empty())
        return start;
    std::ofstream(p.paths.current, std::ios::binary) << start.text;
    start.unreadable =
        zrk::store::checkProfileFile(p.paths.current) == zrk::store::ProfileFileState::Unreadable;
    const zrk::StorePathScope scope(p.paths);
    VXPListReadProfile_All(&start.groups[0], &start.groups[1], &start.groups[2]);
    return start;
}

// The service's merge from the start file on disk, and the file read back.
void mergeThroughTheFile(const Process& p, const StartFile& start, int failed) {
    ::unlink(p.paths.current.c_str());
    if (!start.text.empty())
        std::ofstream(p.paths.current, std::ios::binary) << start.text;
    const zrk::StorePathScope scope(p.paths);
    const int merged = zrk::vRestructPlistSpool2Current(failed);
    if (merged == zrk::kMergeKeptUnreadableFile) {
        // Only a file that does not read as a profile is kept, and byte for byte.
        if (!start.unreadable)
            finding("the merge kept a file that reads as a profile");
        if (readFile(p.paths.current) != start.text)
            finding("the merge changed a file it kept");
        return;
    }
    if (merged != 0)
        finding("the merge did not write the profile file");
    auto groups = std::make_unique<ProfileList[]>(kProfileGroupCount);
    if (VXPListReadProfile_All(&groups[0], &groups[1], &groups[2]) != 0)
        finding("the merged profile file does not read back");
    for (int g = 0; g < kProfileGroupCount; ++g)
        checkList(groups[g]);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    static Process p;
    std::string pattern = scratchParent() + "/zrk-fuzz-walk-XXXXXX";
    if (!::mkdtemp(pattern.data()))
        finding("cannot make a scratch folder");
    p.dir = pattern;
    p.paths.current = p.dir + "/tester-zrk5100-profile.plist";
    p.paths.backup = p.dir + "/tester-zrk5100-profile.prev.plist";
    p.paths.spool = p.dir + "/tester-zrk5100-profile.spool.plist";
    gProcess = &p;
    std::atexit([] {
        std::error_code ignored;
        fs::remove_all(gProcess->dir, ignored);
    });

    // The full start file as the store writes it.
    std::string full;
    {
        const auto groups = fullGroups();
        const zrk::StorePathScope scope(p.paths);
        ::unlink(p.paths.current.c_str());
        if (VXPListWriteProfile_All(&groups[0], &groups[1], &groups[2]) != 0)
            finding("cannot write the full start file");
        full = readFile(p.paths.current);
    }
    const std::string seeds = ZRK_FUZZ_SOURCE_DIR "/tests/fuzz/corpus/profile_reader/";
    for (std::string text :
         {std::string(), readFile(seeds + "two_entries.plist"),
          readFile(seeds + "pap_states.plist"), readFile(seeds + "wrong_types.plist"), full})
        p.startFiles.push_back(loadStartFile(p, std::move(text)));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    const Process& p = *gProcess;
    const int failed = data[0] & 0x01;
    const StartFile& start = p.startFiles[((data[0] >> 1) & 0x07) % p.startFiles.size()];

    zrk::vSpoolPlist(nullptr, 0, nullptr, 1);
    size_t at = 1;
    while (at + 6 <= size) {
        const uint8_t shape = data[at];
        const uint8_t column = data[at + 1];
        const uint16_t row = static_cast<uint16_t>(data[at + 2] << 8 | data[at + 3]);
        const uint8_t type = data[at + 4];
        const size_t length = std::min<size_t>(data[at + 5], size - at - 6);
        spoolCell(shape, column, row, type, data + at + 6, length);
        at += 6 + length;
    }
    checkList(zrk::PlistForSpool);

    if (asksForTheFile(data, size)) {
        mergeThroughTheFile(p, start, failed);
        return 0;
    }
    // The merge leaves a file that does not read alone.
    if (start.unreadable)
        return 0;
    auto groups = std::make_unique<ProfileList[]>(kProfileGroupCount);
    for (int g = 0; g < kProfileGroupCount; ++g)
        groups[g] = start.groups[g];
    zrk::vMergeSpoolIntoGroups(failed, groups.get());
    for (int g = 0; g < kProfileGroupCount; ++g)
        checkList(groups[g]);
    return 0;
}
