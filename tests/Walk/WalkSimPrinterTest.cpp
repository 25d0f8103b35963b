// Walks against the simulated printer (a real snmpd).
#include "MibWalk.h"
#include "SpoolPlist.h"
#include "WalkTestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace zrk {
namespace {

using test::fileNames;
using test::readGroups;
using test::states;

class SimPrinterWalk : public ::testing::Test {
protected:
    void SetUp() override {
        printer = std::make_unique<test::SimPrinter>("three-rows.txt");
        if (!printer->running()) {
            GTEST_SKIP() << "the simulated printer (snmpd) could not be started";
        }
    }
    void TearDown() override { printer.reset(); }

    test::ProfileRoot root;
    std::unique_ptr<test::SimPrinter> printer;
};

// Cells recorded in the spool: one per field a column fills.
int recordedCells() {
    int cells = 0;
    for (const ProfileEntry& e : PlistForSpool.litem) {
        cells += (e.iIndexOnDevice != 0) + (e.iLocation != 0) + (e.ProfileName[0] != '\0') +
                 (e.FileName[0] != '\0') + (e.iProfileClass != 0) + (e.iDriver != 0);
    }
    return cells;
}

TEST_F(SimPrinterWalk, ThreeRowsAreMergedIntoTheirGroups) {
    const long before = numprinted;
    EXPECT_EQ(test::walk(test::walkArgs(printer->address())), kWalkOK);
    EXPECT_EQ(numprinted - before, 21) << "7 columns of 3 rows";
    EXPECT_EQ(recordedCells(), 18);
    EXPECT_EQ(PlistForSpool.iNum, 3);
    EXPECT_EQ(PlistForSpool.litem[2].iDriver, 2);

    // An independent reader of the written file.
    const std::string dump = test::runProgram(
        {"/usr/bin/python3", "-c",
         "import plistlib,sys\n"
         "p=plistlib.load(open(sys.argv[1],'rb'))\n"
         "for g in ('RGB','SIM','DST'):\n"
         "  d=p[g]\n"
         "  print(g,d['iNum'],[(d['FileName']['FileName%04d'%i],d['InMenu']['InMenu%04d'%i],"
         "d['Location']['Location%04d'%i],d['ProfileClass']['ProfileClass%04d'%i]) "
         "for i in range(d['iNum'])],len(d['FileName']))\n"
         "print(p['PlistVersion'])\n",
         root.paths().current});
    EXPECT_EQ(dump, "RGB 2 [('OFFSRGB.ICC', 2, 4, 1), ('PHOTOWD.ICC', 2, 5, 2)] 500\n"
                    "SIM 1 [('PRESSCT.ICC', 2, 4, 3)] 500\n"
                    "DST 1 [('PRESSCT.ICC', 2, 4, 3)] 500\n"
                    "1\n");
}

TEST_F(SimPrinterWalk, NextWalkFollowsThePrinter) {
    ASSERT_EQ(test::walk(test::walkArgs(printer->address())), kWalkOK);
    // The printer's third profile is replaced by another one.
    printer->setRows("1\t4\tOffice sRGB\tOFFSRGB.ICC\t1\t1\n"
                     "2\t4\tPress Coated\tPRESSCT.ICC\t3\t1\n"
                     "3\t4\tNew RGB\tNEWRGB.ICC\t2\t1\n");
    EXPECT_EQ(test::walk(test::walkArgs(printer->address())), kWalkOK);

    auto groups = readGroups();
    const ProfileList& rgb = (*groups)[kProfileGroupRGB];
    EXPECT_EQ(fileNames(rgb),
              (std::vector<std::string>{"OFFSRGB.ICC", "PHOTOWD.ICC", "NEWRGB.ICC"}));
    EXPECT_EQ(states(rgb), (std::vector<int32_t>{2, 1, 2}));
}

TEST_F(SimPrinterWalk, ProfileToolWalksForTheNamedUser) {
    int status = -1;
    const std::string out = test::runProgram(
        {ZRK_PROFILE_TOOL, "walk", "--user", "alice", "--", "snmpwalk", "-Os", "-c", "snmpro", "-v",
         "1", printer->address(), "1.3.6.1.4.1.18334.1.1.1.1.6.13.1.1"},
        &status);
    EXPECT_EQ(out, "iRet=0\n");
    EXPECT_EQ(status, 0);
    StorePaths alice;
    ASSERT_TRUE(formStorePaths("alice", kModelToken, &alice));
    StorePathScope scope(alice);
    auto groups = readGroups();
    EXPECT_EQ(fileNames((*groups)[kProfileGroupSIM]), (std::vector<std::string>{"PRESSCT.ICC"}));
}

TEST(ProfileToolWalk, RefusesCommandLinesWithoutAWalk) {
    test::ProfileRoot root;
    const std::vector<std::vector<std::string>> lines = {
        {"walk", "--", "snmpwalk", "127.0.0.1"},             // no user
        {"walk", "--user", "alice"},                         // no walk
        {"walk", "--user", "../etc", "--", "snmpwalk", "h"}, // not a file name
        {"walk", "--user", "alice", "--model", "a/b", "--", "snmpwalk", "h"},
        {"walk", "--user", "alice", "--bogus", "--", "snmpwalk", "h"},
    };
    for (std::vector<std::string> line : lines) {
        line.insert(line.begin(), ZRK_PROFILE_TOOL);
        int status = -1;
        EXPECT_EQ(test::runProgram(line, &status), "");
        EXPECT_EQ(status, 2) << line[2];
    }
}

} // namespace
} // namespace zrk
