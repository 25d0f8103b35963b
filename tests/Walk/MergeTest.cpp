// The merge of the spool into the profile file, and its state tables.
#include "SpoolPlist.h"
#include "WalkTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace zrk {
namespace {

using test::append;
using test::emptyGroups;
using test::entry;
using test::fileNames;
using test::readGroups;
using test::states;
using test::writeGroups;

struct AgeingCase {
    int32_t before;
    int32_t afterSuccess;
    int32_t afterFailure;
};

class Ageing : public ::testing::TestWithParam<AgeingCase> {};

TEST_P(Ageing, ChangesOnlyTheState) {
    auto list = std::make_unique<ProfileList>();
    list->litem[0] = entry(GetParam().before, "A.ICC", kLocationCard, 7, 2, "Shown name");
    list->iNum = 1;
    for (int failed : {0, 1}) {
        ProfileList copy = *list;
        vDeleteMIBprofilesTemporary(failed, &copy);
        ProfileEntry expected = list->litem[0];
        expected.iInMenu = failed ? GetParam().afterFailure : GetParam().afterSuccess;
        EXPECT_EQ(std::memcmp(&copy.litem[0], &expected, sizeof expected), 0)
            << "state " << GetParam().before << " failed " << failed;
        EXPECT_EQ(copy.iNum, 1) << "the count is left to the tidying";
    }
}

INSTANTIATE_TEST_SUITE_P(States, Ageing,
                         ::testing::Values(AgeingCase{0, 0, 0}, AgeingCase{1, 1, 0},
                                           AgeingCase{2, 1, 0}, AgeingCase{3, 3, 3},
                                           AgeingCase{4, 3, 6}, AgeingCase{5, 5, 5},
                                           AgeingCase{6, 6, 6}));

struct FoundCase {
    int32_t before;
    int32_t after;
};

class Found : public ::testing::TestWithParam<FoundCase> {
protected:
    void SetUp() override {
        vSpoolPlist(nullptr, 0, nullptr, 1);
        PlistForSpool.litem[0] = entry(0, "B.ICC", kLocationDisk, 12, 3, "Printer name");
        PlistForSpool.iNum = 1;
    }
};

TEST_P(Found, MatchingEntryIsMarkedFoundAndKeepsItsFields) {
    auto list = std::make_unique<ProfileList>();
    append(*list, entry(6, "A.ICC"));
    append(*list, entry(GetParam().before, "B.ICC", kLocationDisk, 3, 2, "User name"));
    vRestructDetail(0, list.get());
    EXPECT_EQ(list->iNum, 2);
    EXPECT_EQ(list->litem[1].iInMenu, GetParam().after);
    EXPECT_STREQ(list->litem[1].ProfileName, "User name");
    EXPECT_EQ(list->litem[1].iIndexOnDevice, 3);
    EXPECT_EQ(list->litem[1].iProfileClass, 2);
    EXPECT_EQ(list->litem[0].iInMenu, 6);
}

INSTANTIATE_TEST_SUITE_P(States, Found,
                         ::testing::Values(FoundCase{0, 0}, FoundCase{1, 2}, FoundCase{2, 2},
                                           FoundCase{3, 4}, FoundCase{4, 4}, FoundCase{5, 2},
                                           FoundCase{6, 4}));

class Detail : public ::testing::Test {
protected:
    void SetUp() override {
        vSpoolPlist(nullptr, 0, nullptr, 1);
        PlistForSpool.litem[4] = entry(0, "B.ICC", kLocationDisk, 5, 3, "Printer name");
        PlistForSpool.litem[4].iDriver = 1;
        PlistForSpool.iNum = 5;
        list = std::make_unique<ProfileList>();
    }
    std::unique_ptr<ProfileList> list;
};

TEST_F(Detail, SameNameOnAnotherMediumIsANewEntry) {
    append(*list, entry(6, "B.ICC", kLocationCard));
    vRestructDetail(4, list.get());
    ASSERT_EQ(list->iNum, 2);
    EXPECT_EQ(list->litem[0].iInMenu, 6);
    EXPECT_EQ(list->litem[1].iInMenu, kInMenuDevicePresentHidden);
    EXPECT_STREQ(list->litem[1].ProfileName, "Printer name");
    EXPECT_EQ(list->litem[1].iIndexOnDevice, 5);
    EXPECT_EQ(list->litem[1].iDriver, 1);
}

TEST_F(Detail, NewEntryTakesTheFirstFreeSlot) {
    append(*list, entry(6, "A.ICC"));
    append(*list, entry(0, "GONE.ICC")); // dropped by a failed walk, still counted
    append(*list, entry(6, "C.ICC"));
    vRestructDetail(4, list.get());
    EXPECT_STREQ(list->litem[1].FileName, "B.ICC");
    EXPECT_EQ(list->litem[1].iInMenu, kInMenuDevicePresentHidden);
    EXPECT_EQ(list->iNum, 4);
}

TEST_F(Detail, FullGroupDropsTheRow) {
    for (int i = 0; i < kMaxProfileEntries; ++i) {
        append(*list, entry(6, ("U" + std::to_string(i) + ".ICC").c_str()));
    }
    vRestructDetail(4, list.get());
    EXPECT_EQ(list->iNum, kMaxProfileEntries);
    for (const ProfileEntry& e : list->litem) {
        EXPECT_STRNE(e.FileName, "B.ICC");
    }
}

TEST_F(Detail, CountBeyondTheListIsNeverFollowed) {
    append(*list, entry(6, "A.ICC"));
    list->iNum = 100000;
    vRestructDetail(4, list.get());
    EXPECT_LE(list->iNum, kMaxProfileEntries);
    EXPECT_STREQ(list->litem[1].FileName, "B.ICC");
    vRestructDetail(-1, list.get());
    vRestructDetail(kMaxProfileEntries, list.get());
}

// The whole merge, on a profile file in a temporary installation root.
class Merge : public ::testing::Test {
protected:
    void SetUp() override { vSpoolPlist(nullptr, 0, nullptr, 1); }

    // Files one printer row the way the walk does.
    void row(int index, int32_t location, const char* fileName, int32_t profileClass,
             const char* profileName = "") {
        PlistForSpool.litem[index - 1] =
            entry(0, fileName, location, index, profileClass, profileName);
        ++PlistForSpool.iNum;
    }

    test::ProfileRoot root;
};

TEST_F(Merge, FirstWalkCreatesTheFileAndFilesRowsByClass) {
    row(1, kLocationDisk, "RGB1.ICC", 1, "RGB one");
    row(2, kLocationDisk, "OUT.ICC", 3, "Output");
    row(3, kLocationCard, "RGB2.ICC", 2, "RGB two");
    row(4, 3, "NOWHERE.ICC", 3); // neither disk nor card
    row(5, kLocationDisk, "BAD NAME.ICC", 3);
    row(6, kLocationDisk, "ODD.ICC", 9); // unknown class
    ASSERT_FALSE(std::filesystem::exists(root.paths().current));

    EXPECT_EQ(vRestructPlistSpool2Current(0), 0);

    int32_t status = -1;
    auto groups = readGroups(&status);
    ASSERT_EQ(status, 0);
    const ProfileList& rgb = (*groups)[kProfileGroupRGB];
    const ProfileList& sim = (*groups)[kProfileGroupSIM];
    const ProfileList& dst = (*groups)[kProfileGroupDST];
    EXPECT_EQ(fileNames(rgb), (std::vector<std::string>{"RGB1.ICC", "RGB2.ICC"}));
    EXPECT_EQ(fileNames(sim), (std::vector<std::string>{"OUT.ICC"}));
    EXPECT_EQ(fileNames(dst), (std::vector<std::string>{"OUT.ICC"}));
    for (const ProfileList* list : {&rgb, &sim, &dst}) {
        for (int32_t state : states(*list)) {
            EXPECT_EQ(state, kInMenuDevicePresentHidden);
        }
    }
    EXPECT_STREQ(rgb.litem[1].ProfileName, "RGB two");
    EXPECT_EQ(rgb.litem[1].iLocation, kLocationCard);
    EXPECT_EQ(sim.litem[0].iIndexOnDevice, 2);
}

TEST_F(Merge, SuccessfulWalkAgesAndRefreshes) {
    auto groups = emptyGroups();
    ProfileList& dst = (*groups)[kProfileGroupDST];
    append(dst, entry(2, "HIDDEN.ICC", kLocationDisk, 1));
    append(dst, entry(4, "SHOWN.ICC", kLocationDisk, 2));
    append(dst, entry(6, "USER.ICC", kLocationDisk, 503, 2, "My name"));
    append(dst, entry(5, "USERH.ICC", kLocationCard, 504, 2));
    writeGroups(*groups);
    row(1, kLocationDisk, "USER.ICC", 3, "Printer name");
    row(2, kLocationCard, "USERH.ICC", 3);

    EXPECT_EQ(vRestructPlistSpool2Current(0), 0);

    auto after = readGroups();
    const ProfileList& merged = (*after)[kProfileGroupDST];
    EXPECT_EQ(fileNames(merged),
              (std::vector<std::string>{"HIDDEN.ICC", "SHOWN.ICC", "USER.ICC", "USERH.ICC"}));
    // A shown profile that the printer stopped reporting is kept for the
    // user (salvage); a hidden one waits in state 1.
    EXPECT_EQ(states(merged), (std::vector<int32_t>{1, 6, 4, 2}));
    EXPECT_STREQ(merged.litem[2].ProfileName, "My name");
    EXPECT_EQ(fileNames((*after)[kProfileGroupSIM]),
              (std::vector<std::string>{"USER.ICC", "USERH.ICC"}));
}

TEST_F(Merge, FailedWalkDropsHiddenDeviceEntriesAndKeepsShownOnes) {
    auto groups = emptyGroups();
    ProfileList& rgb = (*groups)[kProfileGroupRGB];
    append(rgb, entry(1, "ABSENT.ICC", kLocationDisk, 1, 1));
    append(rgb, entry(2, "PRESENT.ICC", kLocationDisk, 2, 1));
    append(rgb, entry(4, "SHOWN.ICC", kLocationDisk, 3, 1));
    append(rgb, entry(3, "WASSHOWN.ICC", kLocationDisk, 4, 1));
    append(rgb, entry(6, "USER.ICC", kLocationDisk, 505, 2));
    writeGroups(*groups);
    row(1, kLocationDisk, "EARLY.ICC", 2); // arrived before the failure

    EXPECT_EQ(vRestructPlistSpool2Current(1), 0);

    auto after = readGroups();
    const ProfileList& merged = (*after)[kProfileGroupRGB];
    // The new row takes the first slot a dropped entry freed; shown entries
    // stay as user entries.
    EXPECT_EQ(fileNames(merged),
              (std::vector<std::string>{"EARLY.ICC", "SHOWN.ICC", "WASSHOWN.ICC", "USER.ICC"}));
    EXPECT_EQ(states(merged), (std::vector<int32_t>{2, 6, 6, 6}));
}

TEST_F(Merge, WrittenFileIsConsistentAfterDrops) {
    auto groups = emptyGroups();
    ProfileList& sim = (*groups)[kProfileGroupSIM];
    append(sim, entry(4, "SHOWN.ICC", kLocationDisk, 1));
    append(sim, entry(2, "GONE1.ICC", kLocationDisk, 2));
    append(sim, entry(1, "GONE2.ICC", kLocationDisk, 3));
    writeGroups(*groups);

    EXPECT_EQ(vRestructPlistSpool2Current(1), 0);

    // Read the raw file: the count matches the entries and nothing of the
    // dropped entries is left behind.
    std::vector<std::string> probe = {
        "/usr/bin/python3", "-c",
        "import plistlib,sys\n"
        "g=plistlib.load(open(sys.argv[1],'rb'))['SIM']\n"
        "print(g['iNum'], [g['FileName']['FileName%04d'%i] for i in range(4)])",
        root.paths().current};
    EXPECT_EQ(test::runProgram(probe), "1 ['SHOWN.ICC', '', '', '']\n");
}

TEST_F(Merge, EntriesWithRefusedNamesAreDeleted) {
    auto groups = emptyGroups();
    ProfileList& dst = (*groups)[kProfileGroupDST];
    append(dst, entry(6, "GOOD.ICC"));
    append(dst, entry(6, "TOO.LONGEXT"));
    append(dst, entry(4, "MATCH.ICC"));
    writeGroups(*groups);
    row(1, kLocationDisk, "MATCH.ICC", 3);

    EXPECT_EQ(vRestructPlistSpool2Current(0), 0);

    auto after = readGroups();
    EXPECT_EQ(fileNames((*after)[kProfileGroupDST]),
              (std::vector<std::string>{"GOOD.ICC", "MATCH.ICC"}));
    EXPECT_EQ(states((*after)[kProfileGroupDST]), (std::vector<int32_t>{6, 4}));
}

TEST_F(Merge, OnlyTheCountedSlotsAreMerged) {
    // Rows 1, 2 and 4: three index cells, so slots 0 to 2 are merged.
    row(1, kLocationDisk, "ONE.ICC", 1);
    row(2, kLocationDisk, "TWO.ICC", 1);
    row(4, kLocationDisk, "FOUR.ICC", 1);

    EXPECT_EQ(vRestructPlistSpool2Current(0), 0);

    auto after = readGroups();
    EXPECT_EQ(fileNames((*after)[kProfileGroupRGB]),
              (std::vector<std::string>{"ONE.ICC", "TWO.ICC"}));
}

std::string fileText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// A profile file that is there but does not read is never replaced by the
// printer's rows: every entry of the user would go with it.
TEST_F(Merge, FileThatDoesNotReadIsKeptByteForByte) {
    std::string nested = "<?xml version=\"1.0\"?><plist>";
    for (int i = 0; i < 40; ++i) {
        nested += "<array>";
    }
    const struct {
        const char* name;
        std::string text;
    } cases[] = {
        {"damaged", "<?xml version=\"1.0\"?><plist><dict><key>RGB</key><dict>"},
        {"binary", std::string("bplist00\xD0\x08\0\0\0\0\0\0\x01\x01", 16) + std::string(24, '\0')},
        {"nested too deeply", nested},
        {"a property list without the DST group",
         "<?xml version=\"1.0\"?><plist><dict><key>RGB</key><dict/></dict></plist>"},
        {"empty", ""},
    };
    row(1, kLocationDisk, "RGB1.ICC", 1);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::ofstream(root.paths().current, std::ios::binary | std::ios::trunc) << c.text;
        EXPECT_EQ(vRestructPlistSpool2Current(0), kMergeKeptUnreadableFile);
        EXPECT_EQ(fileText(root.paths().current), c.text);
    }
}

// A second name for the file (a backup tool's hard link) costs nothing.
TEST_F(Merge, HardLinkedFileIsMerged) {
    auto groups = emptyGroups();
    append((*groups)[kProfileGroupRGB], entry(kInMenuUserShown, "MINE.ICC"));
    writeGroups(*groups);
    const std::string link = root.root() + "/second-name.plist";
    std::filesystem::create_hard_link(root.paths().current, link);
    row(1, kLocationDisk, "RGB1.ICC", 1);
    EXPECT_EQ(vRestructPlistSpool2Current(0), 0);
    EXPECT_EQ(fileNames((*readGroups())[kProfileGroupRGB]),
              (std::vector<std::string>{"MINE.ICC", "RGB1.ICC"}));
}

TEST(MergeWithoutFolder, ReportsTheFailedWrite) {
    test::ProfileRoot root(false);
    vSpoolPlist(nullptr, 0, nullptr, 1);
    EXPECT_EQ(vRestructPlistSpool2Current(0), -1);
    EXPECT_FALSE(std::filesystem::exists(root.paths().current));
}

} // namespace
} // namespace zrk
