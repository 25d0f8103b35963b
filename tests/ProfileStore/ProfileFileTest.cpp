// Reading and writing the profile file (service build of the store).
#include "StorePaths.h"
#include "StoreTestSupport.h"
#include "VXPList.h"

#include <sys/stat.h>

#include <functional>

using namespace storetest;

namespace {

using storetest::operator<<;

class ProfileFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        path_ = dir_.file("alice-zrk5100-profile.plist");
        paths_.current = path_;
        paths_.backup = dir_.file("alice-zrk5100-profile.prev.plist");
        scope_ = std::make_unique<zrk::StorePathScope>(paths_);
    }

    // Writes a property list whose root holds the given groups.
    void writeDocument(const std::string& body) { writeFile(path_, plistDocument(body)); }

    void writeThreeGroups(const GroupXml& rgb, const GroupXml& sim = {}, const GroupXml& dst = {}) {
        writeDocument(groupDocumentPart("RGB", rgb) + groupDocumentPart("SIM", sim) +
                      groupDocumentPart("DST", dst));
    }

    TempDir dir_;
    std::string path_;
    zrk::StorePaths paths_;
    std::unique_ptr<zrk::StorePathScope> scope_;
};

struct ParsedFile {
    plist_t root = nullptr;
    explicit ParsedFile(const std::string& path) {
        std::string text = readFile(path);
        plist_from_xml(text.data(), static_cast<uint32_t>(text.size()), &root);
    }
    ~ParsedFile() {
        if (root != nullptr) {
            plist_free(root);
        }
    }
    plist_t column(const char* group, const char* column) const {
        plist_t g = plist_dict_get_item(root, group);
        return g != nullptr ? plist_dict_get_item(g, column) : nullptr;
    }
};

int64_t intValue(plist_t node) {
    uint64_t v = 0;
    plist_get_uint_val(node, &v);
    return static_cast<int64_t>(v);
}

TEST_F(ProfileFileTest, EmptyListsWriteEverySlotOfEveryColumn) {
    auto rgb = newList(), sim = newList(), dst = newList();
    ASSERT_EQ(0, VXPListWriteProfile_All(rgb.get(), sim.get(), dst.get()));

    ParsedFile file(path_);
    ASSERT_NE(nullptr, file.root);
    plist_t version = plist_dict_get_item(file.root, cPlistVersionKey);
    ASSERT_NE(nullptr, version);
    EXPECT_EQ(1, intValue(version));
    const char* intColumns[] = {cIndexOnDeviceKey, cInMenuKey, cProfileClassKey, cLocationKey};
    const char* nameColumns[] = {cFileNameKey, cProfileNameKey};
    for (const char* group : cProfileGroupKeys) {
        EXPECT_EQ(0, intValue(plist_dict_get_item(plist_dict_get_item(file.root, group), "iNum")));
        for (const char* column : intColumns) {
            plist_t dict = file.column(group, column);
            ASSERT_NE(nullptr, dict) << group << " " << column;
            EXPECT_EQ(500u, plist_dict_get_size(dict));
            EXPECT_EQ(0,
                      intValue(plist_dict_get_item(dict, (std::string(column) + "0499").c_str())));
        }
        for (const char* column : nameColumns) {
            plist_t dict = file.column(group, column);
            ASSERT_NE(nullptr, dict);
            EXPECT_EQ(500u, plist_dict_get_size(dict));
            plist_t last = plist_dict_get_item(dict, (std::string(column) + "0499").c_str());
            ASSERT_NE(nullptr, last);
            EXPECT_STREQ("", plist_get_string_ptr(last, nullptr));
        }
    }
}

TEST_F(ProfileFileTest, WrittenListsReadBackFieldForFieldExceptTheDriverCode) {
    auto rgb = listOf(
        {entry(3, kInMenuDevicePresentShown, "STD.ICC", kLocationDisk, "Standard"),
         entry(-2147483647 - 1, kInMenuUserHidden, "MIN.ICC", -1, "min"),
         entry(2147483647, kInMenuUserShown, "MAX.ICC", kLocationCard, "Prüfung €", 2147483647)});
    auto sim = listOf({entry(7, kInMenuDeviceAbsentHidden, "1234567890123456789012345678901",
                             kLocationCard, "1234567890123456789012345678901", 3)});
    auto dst = listOf({});
    rgb->litem[0].iDriver = 9; // held in memory only
    ASSERT_EQ(0, VXPListWriteProfile_All(rgb.get(), sim.get(), dst.get()));
    EXPECT_EQ(std::string::npos, readFile(path_).find("Driver"));

    auto r = newList(), s = newList(), d = newList();
    ASSERT_EQ(0, VXPListReadProfile_All(r.get(), s.get(), d.get()));
    rgb->litem[0].iDriver = 0;
    for (int i = 0; i < kMaxProfileEntries; ++i) {
        EXPECT_TRUE(sameEntry(rgb->litem[i], r->litem[i])) << "RGB slot " << i;
        EXPECT_TRUE(sameEntry(sim->litem[i], s->litem[i])) << "SIM slot " << i;
        EXPECT_TRUE(slotIsZero(d->litem[i]));
    }
    EXPECT_EQ(3, r->iNum);
    EXPECT_EQ(1, s->iNum);
    EXPECT_EQ(0, d->iNum);
}

TEST_F(ProfileFileTest, NamesThatCannotBePropertyListStringsAreLeftOut) {
    auto rgb = listOf({entry(1, kInMenuUserShown, "OK.ICC", kLocationDisk, "bad \xff\xfe name"),
                       entry(2, kInMenuUserShown, "CTRL\x01.ICC", kLocationDisk, "fine"),
                       entry(3, kInMenuUserShown, "A<&>.ICC", kLocationDisk, "\"quoted\"")});
    auto empty = newList();
    ASSERT_EQ(0, VXPListWriteProfile_All(rgb.get(), empty.get(), empty.get()));
    ParsedFile file(path_);
    EXPECT_EQ(nullptr, plist_dict_get_item(file.column("RGB", "ProfileName"), "ProfileName0000"));
    EXPECT_EQ(nullptr, plist_dict_get_item(file.column("RGB", "FileName"), "FileName0001"));

    auto r = newList(), s = newList(), d = newList();
    ASSERT_EQ(0, VXPListReadProfile_All(r.get(), s.get(), d.get()));
    EXPECT_STREQ("OK.ICC", r->litem[0].FileName);
    EXPECT_STREQ("", r->litem[0].ProfileName);
    EXPECT_STREQ("", r->litem[1].FileName);
    EXPECT_STREQ("fine", r->litem[1].ProfileName);
    EXPECT_STREQ("A<&>.ICC", r->litem[2].FileName);
    EXPECT_STREQ("\"quoted\"", r->litem[2].ProfileName);
}

TEST_F(ProfileFileTest, NameFieldWithoutTerminatorIsWrittenAsItsThirtyTwoBytes) {
    auto rgb = listOf({entry(1, kInMenuUserShown, "x")});
    std::memset(rgb->litem[0].ProfileName, 'n', sizeof rgb->litem[0].ProfileName);
    auto empty = newList();
    ASSERT_EQ(0, VXPListWriteProfile_All(rgb.get(), empty.get(), empty.get()));
    auto r = newList(), s = newList(), d = newList();
    ASSERT_EQ(0, VXPListReadProfile_All(r.get(), s.get(), d.get()));
    EXPECT_EQ(std::string(31, 'n'), r->litem[0].ProfileName);
}

// One reader case: the RGB group's XML and what slot 0..n must read as.
struct ReadCase {
    const char* name;
    GroupXml rgb;
    int32_t expectedCount;
    std::function<void(const ProfileList&)> check;
};

class ProfileReadCases : public ProfileFileTest, public ::testing::WithParamInterface<ReadCase> {};

TEST_P(ProfileReadCases, ReadsAsExpected) {
    writeThreeGroups(GetParam().rgb);
    auto r = newList(), s = newList(), d = newList();
    ASSERT_EQ(0, VXPListReadProfile_All(r.get(), s.get(), d.get()));
    EXPECT_EQ(GetParam().expectedCount, r->iNum);
    if (GetParam().check) {
        GetParam().check(*r);
    }
    // The single-group reader agrees.
    auto one = newList();
    ASSERT_EQ(0, VXPListReadProfile_Dict(one.get(), kProfileGroupRGB));
    EXPECT_EQ(0, std::memcmp(one.get(), r.get(), sizeof(ProfileList)));
}

GroupXml statesGroup(int count, std::initializer_list<int> states) {
    GroupXml g;
    g.count = count;
    int slot = 0;
    for (int state : states) {
        g.inMenu += intSlot("InMenu", slot, state);
        g.fileName += stringSlot("FileName", slot, "F" + std::to_string(slot) + ".ICC");
        g.indexOnDevice += intSlot("IndexOnDevice", slot, slot + 1);
        ++slot;
    }
    return g;
}

GroupXml with(GroupXml g, std::string GroupXml::*column, const std::string& extra) {
    g.*column += extra;
    return g;
}

const std::string k40 = "0123456789012345678901234567890123456789";

INSTANTIATE_TEST_SUITE_P(
    Slots, ProfileReadCases,
    ::testing::Values(
        ReadCase{"CountAbsentIsCountedFromStates", statesGroup(-1, {4, 6, 1}), 3, nullptr},
        ReadCase{"CountTooHighIsCorrectedAndTailCleared", statesGroup(5, {3, 4, 6, 0, 0}), 3,
                 [](const ProfileList& l) {
                     EXPECT_STREQ("F2.ICC", l.litem[2].FileName);
                     EXPECT_TRUE(slotIsZero(l.litem[3]));
                     EXPECT_TRUE(slotIsZero(l.litem[4]));
                 }},
        ReadCase{"CountAbove500", statesGroup(600, {3, 4}), 2, nullptr},
        ReadCase{"NegativeCount",
                 with(statesGroup(-1, {3, 4}), &GroupXml::extraGroupXml,
                      "<key>iNum</key><integer>-4</integer>\n"),
                 2, nullptr},
        ReadCase{"HoleWithMatchingCountIsLeftAsItIs", statesGroup(2, {3, 0, 4}), 2,
                 [](const ProfileList& l) {
                     EXPECT_EQ(kInMenuEmpty, l.litem[1].iInMenu);
                     EXPECT_EQ(kInMenuDevicePresentShown, l.litem[2].iInMenu);
                 }},
        ReadCase{"SlotNumbersFrom500AreIgnored",
                 with(statesGroup(1, {4}), &GroupXml::inMenu, intSlot("InMenu", 500, 6)), 1,
                 nullptr},
        ReadCase{"IntegerOfWrongTypeReadsAsAbsent",
                 with(statesGroup(1, {4}), &GroupXml::location,
                      "<key>Location0000</key><string>4</string>\n"),
                 1, [](const ProfileList& l) { EXPECT_EQ(0, l.litem[0].iLocation); }},
        ReadCase{"IntegerOutOfRangeReadsAsAbsent",
                 with(statesGroup(1, {4}), &GroupXml::location, intSlot("Location", 0, 1LL << 40)),
                 1, [](const ProfileList& l) { EXPECT_EQ(0, l.litem[0].iLocation); }},
        ReadCase{"NegativeIntegersKeepTheirSign",
                 with(statesGroup(1, {4}), &GroupXml::location, intSlot("Location", 0, -5)), 1,
                 [](const ProfileList& l) { EXPECT_EQ(-5, l.litem[0].iLocation); }},
        ReadCase{"WholeRealReadsAsInteger",
                 with(statesGroup(1, {4}), &GroupXml::location,
                      "<key>Location0000</key><real>5.0</real>\n"),
                 1, [](const ProfileList& l) { EXPECT_EQ(5, l.litem[0].iLocation); }},
        ReadCase{"BooleanReadsAsAbsent",
                 with(statesGroup(1, {4}), &GroupXml::location, "<key>Location0000</key><true/>\n"),
                 1, [](const ProfileList& l) { EXPECT_EQ(0, l.litem[0].iLocation); }},
        ReadCase{
            "LongNameKeepsItsFirst31Bytes",
            with(statesGroup(1, {4}), &GroupXml::profileName, stringSlot("ProfileName", 0, k40)), 1,
            [](const ProfileList& l) { EXPECT_EQ(k40.substr(0, 31), l.litem[0].ProfileName); }},
        ReadCase{
            "CutNeverSplitsACharacter",
            with(statesGroup(1, {4}), &GroupXml::profileName,
                 stringSlot("ProfileName", 0, std::string(30, 'a') + "\xC3\xA9z")),
            1,
            [](const ProfileList& l) { EXPECT_EQ(std::string(30, 'a'), l.litem[0].ProfileName); }},
        ReadCase{"NameOfWrongTypeReadsAsAbsent",
                 with(statesGroup(1, {4}), &GroupXml::profileName,
                      "<key>ProfileName0000</key><integer>12</integer>\n"),
                 1, [](const ProfileList& l) { EXPECT_STREQ("", l.litem[0].ProfileName); }},
        ReadCase{"NameOfDictionaryTypeReadsAsAbsent",
                 with(statesGroup(1, {4}), &GroupXml::profileName,
                      "<key>ProfileName0000</key><dict><key>a</key><string>b</string></dict>\n"),
                 1, [](const ProfileList& l) { EXPECT_STREQ("", l.litem[0].ProfileName); }},
        ReadCase{"EscapedCharactersAreDecoded",
                 with(statesGroup(1, {4}), &GroupXml::profileName,
                      stringSlot("ProfileName", 0, "a&lt;b&amp;c")),
                 1, [](const ProfileList& l) { EXPECT_STREQ("a<b&c", l.litem[0].ProfileName); }},
        ReadCase{"UnrelatedNestedDataIsIgnored",
                 with(statesGroup(1, {4}), &GroupXml::extraGroupXml,
                      "<key>extra</key><array><array><dict><key>b</key><array/></dict>"
                      "</array></array>\n"),
                 1, nullptr},
        ReadCase{"EmptyColumnsReadAsEmptyGroup", GroupXml{}, 0,
                 [](const ProfileList& l) { EXPECT_TRUE(slotIsZero(l.litem[0])); }}),
    [](const ::testing::TestParamInfo<ReadCase>& info) { return info.param.name; });

// Files that cannot be read as a whole: the readers fail and touch nothing.
struct BrokenCase {
    const char* name;
    std::string content; // written as the file; "<none>" for no file
    bool rgbReadable;
    bool simReadable;
    bool dstReadable;
};

class BrokenFiles : public ProfileFileTest, public ::testing::WithParamInterface<BrokenCase> {};

TEST_P(BrokenFiles, ReadersFailWithoutTouchingTheLists) {
    const BrokenCase& c = GetParam();
    if (c.content != "<none>") {
        writeFile(path_, c.content);
    }
    ProfileList marker;
    std::memset(&marker, 0x5A, sizeof marker);
    auto r = std::make_unique<ProfileList>(marker), s = std::make_unique<ProfileList>(marker),
         d = std::make_unique<ProfileList>(marker);
    EXPECT_EQ(-1, VXPListReadProfile_All(r.get(), s.get(), d.get()));
    EXPECT_EQ(0, std::memcmp(r.get(), &marker, sizeof marker));
    EXPECT_EQ(0, std::memcmp(s.get(), &marker, sizeof marker));
    EXPECT_EQ(0, std::memcmp(d.get(), &marker, sizeof marker));

    const bool readable[] = {c.rgbReadable, c.simReadable, c.dstReadable};
    for (int32_t g = 0; g < kProfileGroupCount; ++g) {
        auto one = newList();
        auto pap = newList();
        EXPECT_EQ(readable[g] ? 0 : -1, VXPListReadProfile_Dict(one.get(), g)) << g;
        EXPECT_EQ(readable[g] ? 0 : -1, VXPListReadProfile_Dict_Pap(pap.get(), g)) << g;
        if (!readable[g]) {
            EXPECT_TRUE(slotIsZero(one->litem[0]));
        }
    }
}

std::string groups(const std::vector<std::pair<std::string, GroupXml>>& parts) {
    std::string body;
    for (const auto& [key, g] : parts) {
        body += groupDocumentPart(key, g);
    }
    return plistDocument(body);
}

GroupXml missing(const char* column) {
    GroupXml g;
    g.omitColumns = {column};
    return g;
}

INSTANTIATE_TEST_SUITE_P(
    Files, BrokenFiles,
    ::testing::Values(
        BrokenCase{"NoFile", "<none>", false, false, false},
        BrokenCase{"EmptyFile", "", false, false, false},
        BrokenCase{"NotAPropertyList", "this is not a property list\n", false, false, false},
        BrokenCase{"TruncatedXml", plistDocument("<key>RGB</key><dict>").substr(0, 120), false,
                   false, false},
        BrokenCase{"RootIsAnArray",
                   "<?xml version=\"1.0\"?><plist version=\"1.0\"><array/></plist>", false, false,
                   false},
        BrokenCase{"DeeplyNestedXml", plistDocument([] {
                       std::string deep;
                       for (int i = 0; i < 200000; ++i) {
                           deep += "<dict><key>a</key>";
                       }
                       deep += "<true/>";
                       for (int i = 0; i < 200000; ++i) {
                           deep += "</dict>";
                       }
                       return "<key>RGB</key>" + deep;
                   }()),
                   false, false, false},
        // Closing tags inside comments and CDATA sections must not hide the nesting.
        BrokenCase{"NestingHiddenInComments", plistDocument([] {
                       std::string deep;
                       for (int i = 0; i < 200000; ++i) {
                           deep += "<dict><key>a</key><!-- </x> -->";
                       }
                       deep += "<string>x</string>";
                       for (int i = 0; i < 200000; ++i) {
                           deep += "</dict>";
                       }
                       return "<key>RGB</key>" + deep;
                   }()),
                   false, false, false},
        BrokenCase{"NestingHiddenInCData", plistDocument([] {
                       std::string deep;
                       for (int i = 0; i < 200000; ++i) {
                           deep += "<dict><key>a<![CDATA[ </x> ]]></key>";
                       }
                       deep += "<string>x</string>";
                       for (int i = 0; i < 200000; ++i) {
                           deep += "</dict>";
                       }
                       return "<key>RGB</key>" + deep;
                   }()),
                   false, false, false},
        // A complete file converted to the binary form.
        BrokenCase{"BinaryPropertyList",
                   [] {
                       std::string xml = plistDocument(groupDocumentPart("RGB", {}) +
                                                       groupDocumentPart("SIM", {}) +
                                                       groupDocumentPart("DST", {}));
                       plist_t root = nullptr;
                       plist_from_xml(xml.data(), static_cast<uint32_t>(xml.size()), &root);
                       char* bin = nullptr;
                       uint32_t length = 0;
                       plist_to_bin(root, &bin, &length);
                       std::string out(bin, length);
                       plist_to_bin_free(bin);
                       plist_free(root);
                       return out;
                   }(),
                   false, false, false},
        BrokenCase{"NoDstGroup", groups({{"RGB", {}}, {"SIM", {}}}), true, true, false},
        BrokenCase{"GroupIsNotADictionary",
                   plistDocument(groupDocumentPart("RGB", {}) + groupDocumentPart("SIM", {}) +
                                 "<key>DST</key><string>x</string>\n"),
                   true, true, false},
        BrokenCase{"ColumnMissing",
                   groups({{"RGB", missing("Location")}, {"SIM", {}}, {"DST", {}}}), false, true,
                   true},
        BrokenCase{
            "ColumnIsNotADictionary",
            plistDocument(groupDocumentPart("RGB", {}) + groupDocumentPart("SIM", {}) +
                          "<key>DST</key><dict><key>iNum</key><integer>0</integer>"
                          "<key>IndexOnDevice</key><array/><key>InMenu</key><dict/>"
                          "<key>ProfileClass</key><dict/><key>Location</key><dict/>"
                          "<key>FileName</key><dict/><key>ProfileName</key><dict/></dict>\n"),
            true, true, false}),
    [](const ::testing::TestParamInfo<BrokenCase>& info) { return info.param.name; });

TEST_F(ProfileFileTest, GroupIndexOutsideTheThreeGroupsFails) {
    auto list = listOf({entry(1, kInMenuUserShown, "A.ICC")});
    for (int32_t group : {-1, 3, 1000}) {
        auto out = newList();
        EXPECT_EQ(-1, VXPListReadProfile_Dict(out.get(), group));
        EXPECT_EQ(-1, VXPListReadProfile_Dict_Pap(out.get(), group));
        EXPECT_EQ(-1, VXPListWriteProfile_Dict(list.get(), group, out.get(), nullptr, nullptr));
        EXPECT_TRUE(slotIsZero(out->litem[0]));
    }
    EXPECT_FALSE(std::filesystem::exists(path_));
}

TEST_F(ProfileFileTest, PapReaderSkipsPresentHiddenAndShowsPresentShownAsUserEntries) {
    GroupXml g = statesGroup(5, {2, 4, 6, 2, 1});
    writeThreeGroups(g);
    auto list = newList();
    ASSERT_EQ(0, VXPListReadProfile_Dict_Pap(list.get(), kProfileGroupRGB));
    EXPECT_EQ(3, list->iNum);
    EXPECT_EQ(kInMenuUserShown, list->litem[0].iInMenu);
    EXPECT_STREQ("F1.ICC", list->litem[0].FileName);
    EXPECT_EQ(2, list->litem[0].iIndexOnDevice);
    EXPECT_EQ(kInMenuUserShown, list->litem[1].iInMenu);
    EXPECT_STREQ("F2.ICC", list->litem[1].FileName);
    EXPECT_EQ(kInMenuDeviceAbsentHidden, list->litem[2].iInMenu);
    EXPECT_STREQ("F4.ICC", list->litem[2].FileName);
    for (int i = 3; i < kMaxProfileEntries; ++i) {
        EXPECT_TRUE(slotIsZero(list->litem[i])) << i;
    }
}

TEST_F(ProfileFileTest, WriteOneGroupWithoutAFileLeavesTheOthersEmpty) {
    auto sim = listOf({entry(1, kInMenuDevicePresentShown, "SIM.ICC", kLocationCard, "Sim", 3)});
    auto rgbOut = newList(), simOut = newList(), dstOut = newList();
    std::memset(rgbOut.get(), 0x11, sizeof(ProfileList));
    ASSERT_EQ(0, VXPListWriteProfile_Dict(sim.get(), kProfileGroupSIM, rgbOut.get(), simOut.get(),
                                          dstOut.get()));
    EXPECT_EQ(0, rgbOut->iNum);
    EXPECT_TRUE(slotIsZero(rgbOut->litem[0]));
    EXPECT_EQ(0, std::memcmp(simOut.get(), sim.get(), sizeof(ProfileList)));
    EXPECT_EQ(0, dstOut->iNum);

    auto r = newList(), s = newList(), d = newList();
    ASSERT_EQ(0, VXPListReadProfile_All(r.get(), s.get(), d.get()));
    EXPECT_EQ(0, r->iNum);
    EXPECT_EQ(1, s->iNum);
    EXPECT_STREQ("SIM.ICC", s->litem[0].FileName);
    EXPECT_EQ(0, d->iNum);
}

TEST_F(ProfileFileTest, WriteOneGroupKeepsTheOtherTwo) {
    auto rgb = listOf({entry(1, kInMenuUserShown, "R.ICC")});
    auto sim = listOf({entry(2, kInMenuUserShown, "S.ICC")});
    auto dst = listOf({entry(3, kInMenuUserShown, "D.ICC")});
    ASSERT_EQ(0, VXPListWriteProfile_All(rgb.get(), sim.get(), dst.get()));
    auto newDst = listOf({entry(4, kInMenuUserHidden, "N1.ICC"), entry(5, 6, "N2.ICC")});
    ASSERT_EQ(0,
              VXPListWriteProfile_Dict(newDst.get(), kProfileGroupDST, nullptr, nullptr, nullptr));
    auto r = newList(), s = newList(), d = newList();
    ASSERT_EQ(0, VXPListReadProfile_All(r.get(), s.get(), d.get()));
    EXPECT_STREQ("R.ICC", r->litem[0].FileName);
    EXPECT_STREQ("S.ICC", s->litem[0].FileName);
    EXPECT_EQ(2, d->iNum);
    EXPECT_STREQ("N2.ICC", d->litem[1].FileName);
}

TEST_F(ProfileFileTest, PapWriteMergesDevicePresentEntriesFromTheFile) {
    ProfileEntry p1 = entry(1, kInMenuDevicePresentHidden, "P1.ICC");
    ProfileEntry p2 = entry(2, kInMenuDevicePresentShown, "P2.ICC", kLocationDisk, "old");
    ProfileEntry p3 = entry(503, kInMenuUserShown, "P3.ICC");
    auto fileRgb = listOf({p1, p2, p3});
    auto empty = newList();
    ASSERT_EQ(0, VXPListWriteProfile_All(fileRgb.get(), empty.get(), empty.get()));

    ProfileEntry p2Edited = entry(2, kInMenuUserShown, "P2.ICC", kLocationDisk, "new");
    ProfileEntry p4 = entry(504, kInMenuUserShown, "P4.ICC");
    auto edited = listOf({p2Edited, p4});
    auto deleted = listOf({p3});
    ASSERT_EQ(0, VXPListWriteProfile_All_Pap(edited.get(), empty.get(), empty.get(), deleted.get(),
                                             empty.get(), empty.get()));
    auto r = newList(), s = newList(), d = newList();
    ASSERT_EQ(0, VXPListReadProfile_All(r.get(), s.get(), d.get()));
    ASSERT_EQ(3, r->iNum);
    EXPECT_TRUE(sameEntry(p1, r->litem[0]));
    EXPECT_TRUE(sameEntry(p2Edited, r->litem[1]));
    EXPECT_TRUE(sameEntry(p4, r->litem[2]));
}

TEST_F(ProfileFileTest, WriteReplacesTheFileWholeAndLeavesNoTemporaryFile) {
    writeFile(path_, std::string(1'000'000, 'x')); // longer than any profile file
    auto rgb = listOf({entry(1, kInMenuUserShown, "A.ICC")});
    auto empty = newList();
    ASSERT_EQ(0, VXPListWriteProfile_All(rgb.get(), empty.get(), empty.get()));
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dir_.path())) {
        names.push_back(e.path().filename().string());
    }
    EXPECT_EQ(std::vector<std::string>{"alice-zrk5100-profile.plist"}, names);
    std::string text = readFile(path_);
    EXPECT_EQ(0u, text.rfind("<?xml", 0));
    EXPECT_NE(std::string::npos, text.find("</plist>"));
    struct stat info;
    ASSERT_EQ(0, ::stat(path_.c_str(), &info));
    EXPECT_EQ(0664u, info.st_mode & 0777);
}

TEST_F(ProfileFileTest, WriteIntoAMissingDirectoryFailsWithoutCreatingIt) {
    zrk::StorePaths elsewhere;
    elsewhere.current = dir_.file("missing/alice-zrk5100-profile.plist");
    zrk::StorePathScope scope(elsewhere);
    auto empty = newList();
    EXPECT_EQ(-1, VXPListWriteProfile_All(empty.get(), empty.get(), empty.get()));
    EXPECT_EQ(-1, VXPListWriteProfile_Dict(empty.get(), 0, nullptr, nullptr, nullptr));
    EXPECT_FALSE(std::filesystem::exists(dir_.file("missing")));
}

TEST_F(ProfileFileTest, CreatePropsDictionaryWrapsOneGroupWithEveryColumn) {
    auto list = listOf({entry(9, kInMenuUserShown, "A.ICC", kLocationCard, "A")});
    plist_t group = nullptr, columns[6] = {};
    plist_t wrapper =
        CreatePropsDictionary(kProfileGroupDST, list.get(), &group, &columns[0], &columns[1],
                              &columns[2], &columns[3], &columns[4], &columns[5]);
    ASSERT_NE(nullptr, wrapper);
    EXPECT_EQ(1u, plist_dict_get_size(wrapper));
    EXPECT_EQ(group, plist_dict_get_item(wrapper, "DST"));
    const char* order[] = {cIndexOnDeviceKey, cInMenuKey,   cProfileClassKey,
                           cLocationKey,      cFileNameKey, cProfileNameKey};
    for (int c = 0; c < 6; ++c) {
        EXPECT_EQ(columns[c], plist_dict_get_item(group, order[c]));
        EXPECT_EQ(500u, plist_dict_get_size(columns[c]));
    }
    EXPECT_EQ(1, intValue(plist_dict_get_item(group, "iNum")));
    EXPECT_EQ(5, intValue(plist_dict_get_item(columns[3], "Location0000")));
    plist_free(wrapper);

    plist_t none = CreatePropsDictionary(7, list.get(), &group, nullptr, nullptr, nullptr, nullptr,
                                         nullptr, nullptr);
    ASSERT_NE(nullptr, none);
    EXPECT_EQ(0u, plist_dict_get_size(none));
    EXPECT_EQ(nullptr, group);
    plist_free(none);
}

TEST_F(ProfileFileTest, MappingDictionariesComeFromTheFile) {
    auto rgb = listOf({entry(1, kInMenuUserShown, "A.ICC")});
    auto empty = newList();
    ASSERT_EQ(0, VXPListWriteProfile_All(rgb.get(), empty.get(), empty.get()));
    plist_t groups[3] = {};
    ASSERT_EQ(0, VXPListMappingGetMainDict_FromPlist(&groups[0], &groups[1], &groups[2]));
    plist_t columns[6] = {};
    int32_t count = -1;
    ASSERT_EQ(0, VXPListMappingGetSubDict(groups[0], &columns[0], &columns[1], &columns[2],
                                          &columns[3], &columns[4], &columns[5], &count));
    EXPECT_EQ(1, count);
    char name[32] = {};
    ReadDictionaryStringEntry(columns[4], "FileName0000", name);
    EXPECT_STREQ("A.ICC", name);
    int32_t state = 0;
    ReadDictionaryIntEntry(columns[1], "InMenu0000", &state);
    EXPECT_EQ(kInMenuUserShown, state);
    plist_t noColumns = plist_new_dict();
    EXPECT_EQ(-1, VXPListMappingGetSubDict(noColumns, &columns[0], &columns[1], &columns[2],
                                           &columns[3], &columns[4], &columns[5], &count));
    plist_free(noColumns);
    for (plist_t g : groups) {
        plist_free(g);
    }

    writeThreeGroups({}, {}, missing("InMenu"));
    plist_t again[3] = {};
    EXPECT_EQ(0, VXPListMappingGetMainDict_FromPlist(&again[0], &again[1], &again[2]));
    for (plist_t g : again) {
        plist_free(g);
    }
    writeDocument(groupDocumentPart("RGB", {}));
    plist_t partial[3] = {};
    EXPECT_EQ(-1, VXPListMappingGetMainDict_FromPlist(&partial[0], &partial[1], &partial[2]));
    EXPECT_NE(nullptr, partial[0]); // handed out before the failure; the caller frees it
    EXPECT_EQ(nullptr, partial[1]);
    plist_free(partial[0]);
}

TEST(ProfileStoreWithoutPathSet, EveryFileOperationFails) {
    auto a = newList(), b = newList(), c = newList();
    EXPECT_EQ(-1, VXPListReadProfile_All(a.get(), b.get(), c.get()));
    EXPECT_EQ(-1, VXPListReadProfile_Dict(a.get(), 0));
    EXPECT_EQ(-1, VXPListWriteProfile_All(a.get(), b.get(), c.get()));
    EXPECT_EQ(0, VXPListIsAdminProfile());
    EXPECT_EQ(0, VXPListExistProfile());
    EXPECT_EQ(0, VXPListRemove(kRemoveCurrentFile));
    VXPListSwapProfile(kSwapBackup);
}

TEST(ReadDictionaryEntries, MissingDictionaryOrKeyLeavesTheOutputAlone) {
    int32_t value = 42;
    char name[32] = "keep";
    ReadDictionaryIntEntry(nullptr, "x", &value);
    ReadDictionaryStringEntry(nullptr, "x", name);
    plist_t dict = plist_new_dict();
    plist_dict_set_item(dict, "s", plist_new_string(""));
    ReadDictionaryIntEntry(dict, "x", &value);
    ReadDictionaryStringEntry(dict, "x", name);
    EXPECT_EQ(42, value);
    EXPECT_STREQ("keep", name);
    ReadDictionaryStringEntry(dict, "s", name);
    EXPECT_STREQ("", name);
    ReadDictionaryIntEntry(dict, "s", &value); // a string where an integer belongs
    EXPECT_EQ(42, value);
    plist_t notDict = plist_new_string("x");
    ReadDictionaryIntEntry(notDict, "x", &value);
    EXPECT_EQ(42, value);
    plist_free(notDict);
    plist_free(dict);
}

} // namespace
