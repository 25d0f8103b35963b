// Walks against the test agent, one misbehaviour at a time.
#include "MibWalk.h"
#include "SpoolPlist.h"
#include "WalkTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace zrk {
namespace {

using test::append;
using test::entry;
using test::fileNames;
using test::readGroups;
using test::states;
using test::TestAgent;
using test::walk;
using test::walkArgs;

const std::string kRoot = "1.3.6.1.4.1.18334.1.1.1.1.6.13.1.1";
// Cells of columns 1 to 5 of the three rows: every row is complete after them.
constexpr int kCompleteRowCells = 15;

class AgentWalk : public ::testing::Test {
protected:
    // A file with one entry in every state a walk changes.
    void writeStates() {
        auto groups = test::emptyGroups();
        ProfileList& dst = (*groups)[kProfileGroupDST];
        append(dst, entry(1, "ABSENT.ICC", kLocationDisk, 11));
        append(dst, entry(2, "PRESENT.ICC", kLocationDisk, 12));
        append(dst, entry(4, "SHOWN.ICC", kLocationDisk, 13));
        append(dst, entry(6, "USER.ICC", kLocationDisk, 514, 2));
        test::writeGroups(*groups);
    }
    // What a failed walk leaves of writeStates' entries.
    void expectFailureStates(const std::vector<std::string>& newRows = {}) {
        auto groups = readGroups();
        const ProfileList& dst = (*groups)[kProfileGroupDST];
        // Rows that arrived take the slots the dropped entries freed first.
        std::vector<std::string> expected;
        std::vector<int32_t> expectedStates;
        for (std::size_t i = 0; i < newRows.size() && i < 2; ++i) {
            expected.push_back(newRows[i]);
            expectedStates.push_back(kInMenuDevicePresentHidden);
        }
        expected.insert(expected.end(), {"SHOWN.ICC", "USER.ICC"});
        expectedStates.insert(expectedStates.end(), {kInMenuUserShown, kInMenuUserShown});
        for (std::size_t i = 2; i < newRows.size(); ++i) {
            expected.push_back(newRows[i]);
            expectedStates.push_back(kInMenuDevicePresentHidden);
        }
        EXPECT_EQ(fileNames(dst), expected);
        EXPECT_EQ(states(dst), expectedStates);
    }
    // The rows of three-rows.txt as the merge files them.
    void expectThreeRowsMerged(int32_t state = kInMenuDevicePresentHidden) {
        auto groups = readGroups();
        EXPECT_EQ(fileNames((*groups)[kProfileGroupRGB]),
                  (std::vector<std::string>{"OFFSRGB.ICC", "PHOTOWD.ICC"}));
        EXPECT_EQ(fileNames((*groups)[kProfileGroupSIM]),
                  (std::vector<std::string>{"PRESSCT.ICC"}));
        EXPECT_EQ(fileNames((*groups)[kProfileGroupDST]),
                  (std::vector<std::string>{"PRESSCT.ICC"}));
        EXPECT_EQ(states((*groups)[kProfileGroupRGB]), (std::vector<int32_t>{state, state}));
    }

    test::ProfileRoot root;
};

TEST_F(AgentWalk, SilentAgentFailsAfterFourAttempts) {
    writeStates();
    TestAgent agent("silent", "three-rows.txt");
    EXPECT_EQ(walk(walkArgs(agent.address())), kWalkFailed);
    // One request and three retries of 250 ms each, all of the root.
    const std::string request = "getnext " + kRoot;
    EXPECT_EQ(agent.attempts(), (std::vector<std::string>{request, request + " again",
                                                          request + " again", request + " again"}));
    expectFailureStates();
}

TEST_F(AgentWalk, WalkThatOutlastsItsTimeLimitFails) {
    writeStates();
    TestAgent agent("slow", "three-rows.txt");
    setWalkTimeLimit(std::chrono::milliseconds(1000));
    const int result = walk(walkArgs(agent.address()));
    setWalkTimeLimit(kWalkTimeLimit);
    EXPECT_EQ(result, kWalkFailed);
    // About 1 s of 150 ms answers: the table was left unfinished.
    EXPECT_LT(agent.requests().size(), static_cast<std::size_t>(kCompleteRowCells));
    EXPECT_GE(agent.requests().size(), 2u);
}

TEST_F(AgentWalk, RepeatedIdentifierFailsAndMergesWhatCameBefore) {
    writeStates();
    TestAgent agent("duplicate", "three-rows.txt", kCompleteRowCells);
    EXPECT_EQ(walk(walkArgs(agent.address())), kWalkFailed);
    EXPECT_EQ(agent.requests().size(), static_cast<std::size_t>(kCompleteRowCells + 1));
    EXPECT_EQ(std::string(sDEBUGmsg).rfind("[SNMP] Error: OID not increasing: ", 0), 0u)
        << sDEBUGmsg;
    expectFailureStates({"PRESSCT.ICC"});
    auto groups = readGroups();
    EXPECT_EQ(fileNames((*groups)[kProfileGroupRGB]),
              (std::vector<std::string>{"OFFSRGB.ICC", "PHOTOWD.ICC"}));
}

TEST_F(AgentWalk, LetterCTurnsTheOrderingCheckOffAndTwiceOnAgain) {
    {
        TestAgent agent("duplicate", "three-rows.txt", 2);
        EXPECT_EQ(walk(walkArgs(agent.address(), {"-Cc"})), kWalkOK);
    }
    expectThreeRowsMerged();
    {
        TestAgent agent("duplicate", "three-rows.txt", 2);
        EXPECT_EQ(walk(walkArgs(agent.address(), {"-Ccc"})), kWalkFailed);
    }
    {
        // A -C of an earlier walk does not carry over.
        TestAgent agent("duplicate", "three-rows.txt", 2);
        EXPECT_EQ(walk(walkArgs(agent.address(), {"-Cc"})), kWalkOK);
        TestAgent again("duplicate", "three-rows.txt", 2);
        EXPECT_EQ(walk(walkArgs(again.address())), kWalkFailed);
    }
}

TEST_F(AgentWalk, ErrorStatusIsResultTwoAndEarlierRowsAreMerged) {
    writeStates();
    TestAgent agent("error", "three-rows.txt", kCompleteRowCells);
    EXPECT_EQ(walk(walkArgs(agent.address())), kWalkAgentError);
    expectFailureStates({"PRESSCT.ICC"});
}

TEST_F(AgentWalk, NoSuchNameAtOnceIsANormalEnd) {
    const bool nothingCountedYet = numprinted == 0;
    TestAgent agent("nosuchname", "three-rows.txt");
    EXPECT_EQ(walk(walkArgs(agent.address())), kWalkOK);
    EXPECT_EQ(PlistForSpool.iNum, 0);
    std::vector<std::string> expected = {"getnext " + kRoot};
    if (nothingCountedYet) {
        expected.push_back("get " + kRoot); // the fallback GET of the root
    }
    EXPECT_EQ(agent.requests(), expected);
    int32_t status = -1;
    auto groups = readGroups(&status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ((*groups)[kProfileGroupRGB].iNum, 0);
}

TEST_F(AgentWalk, ValuesOfTheWrongTypeAreNotRecorded) {
    TestAgent agent("wrongtype", "three-rows.txt");
    EXPECT_EQ(walk(walkArgs(agent.address())), kWalkOK);
    static const ProfileList kEmpty{};
    EXPECT_EQ(std::memcmp(&PlistForSpool, &kEmpty, sizeof kEmpty), 0);
}

TEST_F(AgentWalk, SuccessResponseWithoutVariablesEndsTheWalk) {
    writeStates();
    TestAgent agent("empty", "three-rows.txt", 3);
    EXPECT_EQ(walk(walkArgs(agent.address())), kWalkFailed);
    EXPECT_EQ(agent.requests().size(), 4u);
    expectFailureStates();
}

TEST_F(AgentWalk, IdentifiersWithoutARowIndexAreWalkedOver) {
    TestAgent agent("short", "three-rows.txt");
    EXPECT_EQ(walk(walkArgs(agent.address())), kWalkOK);
    EXPECT_EQ(PlistForSpool.iNum, 3);
    expectThreeRowsMerged();
}

TEST_F(AgentWalk, ExceptionValueEndsAVersion2cWalk) {
    TestAgent agent("endofmib", "three-rows.txt", kCompleteRowCells);
    EXPECT_EQ(walk({"snmpwalk", "-v", "2c", "-c", "snmpro", agent.address(), kRoot}), kWalkOK);
    EXPECT_EQ(agent.requests().size(), static_cast<std::size_t>(kCompleteRowCells + 1));
    expectThreeRowsMerged();
}

TEST_F(AgentWalk, BadRootSendsNothing) {
    TestAgent agent("normal", "three-rows.txt");
    // The second is one the library would take; the walk's own rule, which
    // keeps names away from the library's look-up, refuses it first.
    for (const char* root : {"1.3.six.1", "1..3"}) {
        SCOPED_TRACE(root);
        writeStates();
        EXPECT_EQ(walk({"snmpwalk", "-v", "1", "-c", "snmpro", agent.address(), root}),
                  kWalkFailed);
        EXPECT_TRUE(agent.requests().empty());
        expectFailureStates();
    }
}

TEST_F(AgentWalk, IncludeRequestedGetsTheRootFirst) {
    TestAgent agent("normal", "three-rows.txt");
    EXPECT_EQ(walk(walkArgs(agent.address(), {"-Ci"})), kWalkOK);
    const std::vector<std::string> requests = agent.requests();
    ASSERT_FALSE(requests.empty());
    EXPECT_EQ(requests.front(), "get " + kRoot);
}

TEST_F(AgentWalk, WalkEndsAtTheFirstIdentifierOutsideTheTable) {
    const long before = numprinted;
    TestAgent agent("normal", "three-rows.txt");
    EXPECT_EQ(walk(walkArgs(agent.address())), kWalkOK);
    // 21 cells (7 columns of 3 rows), then one answer from beyond the table.
    EXPECT_EQ(agent.requests().size(), 22u);
    EXPECT_EQ(numprinted - before, 21);
    expectThreeRowsMerged();
}

TEST_F(AgentWalk, HostileRowsStayInsideTheSpoolAndItsFields) {
    TestAgent agent("normal", "hostile-rows.txt");
    EXPECT_EQ(walk(walkArgs(agent.address())), kWalkOK);
    // Rows 1 to 5 have slots; rows 0, 501 and 4294967295 do not.
    EXPECT_EQ(PlistForSpool.iNum, 5);
    for (int i = 5; i < kMaxProfileEntries; ++i) {
        EXPECT_EQ(PlistForSpool.litem[i].iIndexOnDevice, 0) << "slot " << i;
    }
    EXPECT_STREQ(PlistForSpool.litem[1].ProfileName, "A profile name that is far too ");
    EXPECT_STREQ(PlistForSpool.litem[2].FileName, "A_FILE_NAME_OF_MORE_THAN_31_BYT");
    std::string euros;
    for (int i = 0; i < 10; ++i) {
        euros += "\xE2\x82\xAC";
    }
    EXPECT_EQ(std::string(PlistForSpool.litem[3].ProfileName), euros);

    auto groups = readGroups();
    EXPECT_EQ(fileNames((*groups)[kProfileGroupRGB]),
              (std::vector<std::string>{"GOOD.ICC", "EURO.ICC"}));
    EXPECT_EQ(fileNames((*groups)[kProfileGroupSIM]),
              (std::vector<std::string>{"LONGNAME.ICC", "CAFE.ICC"}));
    // A name that is not UTF-8 is left out of the file and reads back empty.
    EXPECT_STREQ((*groups)[kProfileGroupSIM].litem[1].ProfileName, "");
}

} // namespace
} // namespace zrk
