// What the walk accepts from its argument vector, without any network.
#include "WalkArguments.h"
#include "MibWalk.h"
#include "WalkTestSupport.h"

#include <net-snmp/net-snmp-config.h>
#include <net-snmp/net-snmp-includes.h>

#include <unistd.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace zrk {
namespace {

struct ArgsCase {
    const char* label;
    std::vector<std::string> args;
    bool accepted;
};

class WalkArguments : public ::testing::TestWithParam<ArgsCase> {};

TEST_P(WalkArguments, AcceptsOnlyWhatAWalkNeeds) {
    std::vector<char*> argv;
    std::vector<std::string> args = GetParam().args;
    for (std::string& a : args) {
        argv.push_back(a.data());
    }
    argv.push_back(nullptr);
    EXPECT_EQ(walkArgumentsAcceptable(static_cast<int>(args.size()), argv.data()),
              GetParam().accepted);
}

const char* kRoot = "1.3.6.1.4.1.18334.1.1.1.1.6.13.1.1";
using Args = std::vector<std::string>;

INSTANTIATE_TEST_SUITE_P(
    Vectors, WalkArguments,
    ::testing::Values(
        ArgsCase{"panel", {"snmpwalk", "-Os", "-c", "snmpro", "-v", "1", "10.0.0.7", kRoot}, true},
        ArgsCase{
            "attached", {"snmpwalk", "-csnmpro", "-v2c", "-Cc", "-O", "n", "printer-1.lan"}, true},
        ArgsCase{"separateC", {"snmpwalk", "-C", "ic", "udp:127.0.0.1:16161", kRoot}, true},
        ArgsCase{"optionAfterHost", {"snmpwalk", "127.0.0.1", kRoot, "-Cp"}, true},
        ArgsCase{"noHost", {"snmpwalk"}, true}, // the parser's own error
        ArgsCase{"logFile", {"snmpwalk", "-Lf", "/tmp/x", "127.0.0.1"}, false},
        ArgsCase{"logAfterHost", {"snmpwalk", "127.0.0.1", "-Lf", "/tmp/x"}, false},
        ArgsCase{"mibs", {"snmpwalk", "-m", "ALL", "127.0.0.1"}, false},
        ArgsCase{"mibDirs", {"snmpwalk", "-M", "/tmp", "127.0.0.1"}, false},
        ArgsCase{"configLine", {"snmpwalk", "--persistentDir=/tmp", "127.0.0.1"}, false},
        ArgsCase{"endOfOptions", {"snmpwalk", "--", "127.0.0.1"}, false},
        ArgsCase{"version3", {"snmpwalk", "-v", "3", "127.0.0.1"}, false},
        ArgsCase{"timeout", {"snmpwalk", "-t", "60", "127.0.0.1"}, false},
        ArgsCase{"retries", {"snmpwalk", "-r", "60", "127.0.0.1"}, false},
        ArgsCase{"debug", {"snmpwalk", "-Dall", "127.0.0.1"}, false},
        ArgsCase{"twoCommunities", {"snmpwalk", "-c", "a", "-cb", "127.0.0.1"}, false},
        ArgsCase{"missingValue", {"snmpwalk", "127.0.0.1", "-c"}, false},
        ArgsCase{"unixSocket", {"snmpwalk", "unix:/run/x.sock"}, false},
        ArgsCase{"tcp", {"snmpwalk", "tcp:127.0.0.1"}, false},
        ArgsCase{"bigPort", {"snmpwalk", "127.0.0.1:70000"}, false},
        ArgsCase{"emptyPort", {"snmpwalk", "127.0.0.1:"}, false},
        ArgsCase{"ipv6", {"snmpwalk", "udp6:[::1]"}, false},
        ArgsCase{"spaceInHost", {"snmpwalk", "a b"}, false}),
    [](const ::testing::TestParamInfo<ArgsCase>& info) { return info.param.label; });

TEST(WalkRoot, OnlyDottedDecimalReachesTheLibrary) {
    std::string longest = "1";
    for (int i = 1; i < 128; ++i) {
        longest += ".1";
    }
    const struct {
        std::string root;
        bool accepted;
    } cases[] = {
        {kRoot, true},
        {std::string(".") + kRoot, true},
        {"1.3.4294967295", true},
        {longest, true},
        {longest + ".1", false},
        {"1.3.4294967296", false},
        {"1.3.six.1", false},
        // The library's look-up of a name compiles it as a regular
        // expression; this one took it gigabytes.
        {"1.3.6.1.4.1.1833f4.1.1.1.1.6" + std::string(123, '+') + ".13.1.1", false},
        {"", false},
        {"1..3", false},
        {"1.3.", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(walkRootAcceptable(c.root), c.accepted) << c.root;
    }
}

class WalkOptions : public ::testing::Test {
protected:
    void SetUp() override {
        for (int id : {kWalkIncludeRequested, kWalkPrintStatistics, kWalkDontCheckOrdering}) {
            netsnmp_ds_set_boolean(NETSNMP_DS_APPLICATION_ID, id, 0);
        }
    }
    static bool value(int id) { return netsnmp_ds_get_boolean(NETSNMP_DS_APPLICATION_ID, id); }
    static void letters(const char* text) {
        std::string copy = text;
        optarg = copy.data();
        optProc(0, nullptr, 'C');
    }
};

TEST_F(WalkOptions, EachLetterTogglesItsOption) {
    letters("c");
    EXPECT_TRUE(value(kWalkDontCheckOrdering));
    letters("cc");
    EXPECT_TRUE(value(kWalkDontCheckOrdering)) << "a letter given twice toggles back";
    letters("ip");
    EXPECT_TRUE(value(kWalkIncludeRequested));
    EXPECT_TRUE(value(kWalkPrintStatistics));
}

TEST_F(WalkOptions, UnknownLetterIsNotedAndTheRestStillCount) {
    sDEBUGmsg[0] = '\0';
    letters("xc");
    EXPECT_STREQ(sDEBUGmsg, "Unknown flag passed to -C: x\n");
    EXPECT_TRUE(value(kWalkDontCheckOrdering));
}

// Refused or unparsable vectors still end in the merge, as a failed walk.
class RefusedWalk : public ::testing::Test {
protected:
    void SetUp() override {
        auto groups = test::emptyGroups();
        test::append((*groups)[kProfileGroupRGB], test::entry(2, "PRESENT.ICC", 4, 1, 1));
        test::append((*groups)[kProfileGroupRGB], test::entry(4, "SHOWN.ICC", 4, 2, 1));
        test::writeGroups(*groups);
    }
    void expectMergedAsFailure() {
        auto groups = test::readGroups();
        EXPECT_EQ(test::fileNames((*groups)[kProfileGroupRGB]),
                  (std::vector<std::string>{"SHOWN.ICC"}));
        EXPECT_EQ(test::states((*groups)[kProfileGroupRGB]), (std::vector<int32_t>{6}));
    }
    test::ProfileRoot root;
};

TEST_F(RefusedWalk, RefusedOptionIsAnArgumentError) {
    EXPECT_EQ(test::walk({"snmpwalk", "-Lf", root.root() + "/log", "127.0.0.1", kRoot}),
              NETSNMP_PARSE_ARGS_ERROR_USAGE);
    expectMergedAsFailure();
    EXPECT_NE(::access((root.root() + "/log").c_str(), F_OK), 0);
}

TEST_F(RefusedWalk, MissingHostIsTheParsersResult) {
    EXPECT_LT(test::walk({"snmpwalk"}), 0);
    expectMergedAsFailure();
}

TEST_F(RefusedWalk, UnknownOutputFlagIsTheParsersResult) {
    EXPECT_LT(test::walk({"snmpwalk", "-v", "2c", "-c", "snmpro", "-Ox", "-O", "?", "127.0.0.1"}),
              0);
    expectMergedAsFailure();
}

} // namespace
} // namespace zrk
