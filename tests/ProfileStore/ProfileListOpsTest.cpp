// List surgery on in-memory lists: the consistency check, clean-up,
// compaction, salvage and the merge for queues that cannot be walked.
#include "StoreTestSupport.h"
#include "VXPList.h"

using namespace storetest;

namespace {

using storetest::operator<<;

std::vector<int32_t> states(const ProfileList& list, int n) {
    std::vector<int32_t> out;
    for (int i = 0; i < n; ++i) {
        out.push_back(list.litem[i].iInMenu);
    }
    return out;
}

// The check compares counts only.
struct CheckCase {
    const char* name;
    std::vector<int32_t> slotStates; // state per slot from slot 0
    int32_t count;
    std::vector<int32_t> expectedStates;
    int32_t expectedCount;
};

class ConsistencyCheck : public ::testing::TestWithParam<CheckCase> {};

TEST_P(ConsistencyCheck, CorrectsTheCountAndClearsTheTail) {
    const CheckCase& c = GetParam();
    auto list = newList();
    for (std::size_t i = 0; i < c.slotStates.size(); ++i) {
        list->litem[i] = entry(static_cast<int32_t>(i + 1), c.slotStates[i], "X.ICC");
    }
    list->iNum = c.count;
    VXPlistCheckWithInMenu_Dict(list.get());
    EXPECT_EQ(c.expectedCount, list->iNum);
    EXPECT_EQ(c.expectedStates, states(*list, static_cast<int>(c.expectedStates.size())));
    for (int i = c.expectedCount; i < kMaxProfileEntries; ++i) {
        if (c.expectedCount != c.count) {
            EXPECT_TRUE(slotIsZero(list->litem[i])) << i;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Lists, ConsistencyCheck,
    ::testing::Values(CheckCase{"Agreeing", {3, 4, 6}, 3, {3, 4, 6}, 3},
                      CheckCase{"HoleWithAgreeingCountIsLeftAlone", {3, 0, 4}, 2, {3, 0, 4}, 2},
                      CheckCase{"CountTooHigh", {3, 4, 6}, 5, {3, 4, 6, 0, 0}, 3},
                      CheckCase{"CountTooLow", {3, 4, 6}, 1, {3, 4, 6}, 3},
                      CheckCase{"NegativeCount", {1}, -7, {1}, 1},
                      CheckCase{"EmptyListWithCount", {0, 0}, 2, {0, 0}, 0}),
    [](const ::testing::TestParamInfo<CheckCase>& info) { return info.param.name; });

TEST(ConsistencyCheckFull, FiveHundredOccupiedSlotsCountFiveHundred) {
    auto list = newList();
    for (int i = 0; i < kMaxProfileEntries; ++i) {
        list->litem[i] = entry(i + 1, kInMenuUserShown, "F.ICC");
    }
    list->iNum = 12345;
    VXPlistCheckWithInMenu_Dict(list.get());
    EXPECT_EQ(kMaxProfileEntries, list->iNum);
    EXPECT_EQ(kInMenuUserShown, list->litem[499].iInMenu);
}

// Clean-up of entries without an index on the printer, then salvage.
struct CleanCase {
    const char* name;
    ProfileEntry before;
    bool kept;
    int32_t stateAfterClean;
    int32_t indexAfterClean;
    int32_t stateAfterSalvage;
};

class CleanAndSalvage : public ::testing::TestWithParam<CleanCase> {};

TEST_P(CleanAndSalvage, OneSlot) {
    const CleanCase& c = GetParam();
    auto list = listOf({entry(7, kInMenuUserShown, "OTHER.ICC"), c.before});
    VXPListCleanProfile_Dict(list.get());
    EXPECT_EQ(c.kept ? 2 : 1, list->iNum);
    EXPECT_EQ(kInMenuUserShown, list->litem[0].iInMenu); // untouched neighbour
    if (!c.kept) {
        EXPECT_TRUE(slotIsZero(list->litem[1]));
        return;
    }
    EXPECT_EQ(c.stateAfterClean, list->litem[1].iInMenu);
    EXPECT_EQ(c.indexAfterClean, list->litem[1].iIndexOnDevice);
    VXPListPaddingProfile_Dict(list.get());
    VXPListSalvage_Dict(list.get());
    EXPECT_EQ(c.stateAfterSalvage, list->litem[1].iInMenu);
}

INSTANTIATE_TEST_SUITE_P(
    Slots, CleanAndSalvage,
    ::testing::Values(
        CleanCase{"NoIndexPresentShownIsSalvaged", entry(0, 4, "A.ICC"), true, 3, 501, 6},
        CleanCase{"NoIndexAbsentShownIsSalvaged", entry(0, 3, "A.ICC"), true, 3, 501, 6},
        CleanCase{"NoIndexPresentHiddenIsDropped", entry(0, 2, "A.ICC"), false, 0, 0, 0},
        CleanCase{"NoIndexUserShownIsDropped", entry(0, 6, "A.ICC"), false, 0, 0, 0},
        CleanCase{"NoIndexAbsentHiddenIsDropped", entry(0, 1, "A.ICC"), false, 0, 0, 0},
        CleanCase{"NoIndexNoNameIsLeftAlone", entry(0, 4, ""), true, 4, 0, 4},
        CleanCase{"IndexedAbsentShownBecomesUserShown", entry(12, 3, "A.ICC"), true, 3, 12, 6},
        CleanCase{"IndexedWithoutNameIsNotSalvaged", entry(12, 3, ""), true, 3, 12, 3},
        CleanCase{"IndexedPresentShownStays", entry(12, 4, "A.ICC"), true, 4, 12, 4},
        CleanCase{"IndexedUserHiddenStays", entry(12, 5, "A.ICC"), true, 5, 12, 5}),
    [](const ::testing::TestParamInfo<CleanCase>& info) { return info.param.name; });

TEST(Padding, MovesOccupiedSlotsUpInOrderAndKeepsTheCount) {
    ProfileEntry p1 = entry(1, 3, "P1.ICC", kLocationDisk, "one");
    ProfileEntry p2 = entry(2, 4, "P2.ICC", kLocationCard, "two");
    ProfileEntry p3 = entry(3, 6, "P3.ICC", kLocationDisk, "three");
    p2.iDriver = 5;
    auto list = newList();
    list->litem[0] = p1;
    list->litem[2] = p2;
    list->litem[4] = p3;
    list->iNum = 3;
    VXPListPaddingProfile_Dict(list.get());
    EXPECT_TRUE(sameEntry(p1, list->litem[0]));
    EXPECT_TRUE(sameEntry(p2, list->litem[1]));
    EXPECT_TRUE(sameEntry(p3, list->litem[2]));
    for (int i = 3; i < kMaxProfileEntries; ++i) {
        EXPECT_TRUE(slotIsZero(list->litem[i])) << i;
    }
    EXPECT_EQ(3, list->iNum);
}

TEST(Padding, LastSlotMovesToTheFront) {
    auto list = newList();
    list->litem[499] = entry(9, 6, "LAST.ICC");
    list->iNum = 1;
    VXPListPaddingProfile_Dict(list.get());
    EXPECT_STREQ("LAST.ICC", list->litem[0].FileName);
    EXPECT_TRUE(slotIsZero(list->litem[499]));
}

TEST(MappingPap, KeepsUneditedDevicePresentEntriesThenTheEditedOnes) {
    ProfileEntry p1 = entry(1, kInMenuDevicePresentHidden, "P1.ICC");
    ProfileEntry p2 = entry(2, kInMenuDevicePresentShown, "P2.ICC");
    ProfileEntry p3 = entry(503, kInMenuUserShown, "P3.ICC");
    ProfileEntry p2Edited = entry(2, kInMenuUserShown, "P2.ICC", kLocationDisk, "edited");
    ProfileEntry p4 = entry(504, kInMenuUserShown, "P4.ICC");
    auto file = listOf({p1, p2, p3});
    auto edited = listOf({p2Edited, p4});
    auto deleted = listOf({p3});
    auto out = newList();
    EXPECT_EQ(2, VXPListMapping_Pap(edited.get(), file.get(), out.get(), deleted.get()));
    ASSERT_EQ(3, out->iNum);
    EXPECT_TRUE(sameEntry(p1, out->litem[0]));
    EXPECT_TRUE(sameEntry(p2Edited, out->litem[1]));
    EXPECT_TRUE(sameEntry(p4, out->litem[2]));
    EXPECT_TRUE(slotIsZero(out->litem[3]));
}

TEST(MappingPap, MatchesOnFileNameAndLocationTogether) {
    ProfileEntry disk = entry(1, kInMenuDevicePresentShown, "SAME.ICC", kLocationDisk);
    ProfileEntry card = entry(2, kInMenuDevicePresentShown, "SAME.ICC", kLocationCard);
    ProfileEntry otherCase = entry(3, kInMenuDevicePresentShown, "same.icc", kLocationDisk);
    auto file = listOf({disk, card, otherCase});
    auto deleted = listOf({entry(0, 0, "SAME.ICC", kLocationCard)});
    auto edited = newList();
    auto out = newList();
    VXPListMapping_Pap(edited.get(), file.get(), out.get(), deleted.get());
    ASSERT_EQ(2, out->iNum);
    EXPECT_TRUE(sameEntry(disk, out->litem[0]));
    EXPECT_TRUE(sameEntry(otherCase, out->litem[1]));
}

TEST(MappingPap, NeverProducesMoreThan500Entries) {
    auto file = newList();
    for (int i = 0; i < 400; ++i) {
        file->litem[i] = entry(i + 1, kInMenuDevicePresentShown, ("D" + std::to_string(i)).c_str());
    }
    file->iNum = 400;
    auto edited = newList();
    for (int i = 0; i < 200; ++i) {
        edited->litem[i] = entry(500 + i, kInMenuUserShown, ("U" + std::to_string(i)).c_str());
    }
    edited->iNum = 200;
    auto out = newList();
    VXPListMapping_Pap(edited.get(), file.get(), out.get(), nullptr);
    EXPECT_EQ(500, out->iNum);
    EXPECT_STREQ("D399", out->litem[399].FileName);
    EXPECT_STREQ("U0", out->litem[400].FileName);
    EXPECT_STREQ("U99", out->litem[499].FileName);
}

TEST(MappingPap, CountsOutsideTheListAreBounded) {
    auto file = listOf({entry(1, kInMenuDevicePresentShown, "A.ICC")});
    file->iNum = 100000;
    auto edited = listOf({entry(2, kInMenuUserShown, "B.ICC")});
    edited->iNum = -3;
    auto out = newList();
    VXPListMapping_Pap(edited.get(), file.get(), out.get(), nullptr);
    EXPECT_EQ(1, out->iNum);
    EXPECT_STREQ("A.ICC", out->litem[0].FileName);
}

} // namespace
