// The helper launcher and the UTF-8 splitter (plug-in build).
#include "HelperLauncher.h"
#include "SplitCharEvery.h"
#include "StoreTestSupport.h"

#include <sys/stat.h>

#include <thread>

using namespace storetest;

namespace {

using storetest::operator<<;

// A process that exists and is not a zombie waiting for its parent.
bool processRuns(pid_t pid) {
    std::string stat = readFile("/proc/" + std::to_string(pid) + "/stat");
    std::size_t close = stat.rfind(')');
    return close != std::string::npos && close + 2 < stat.size() && stat[close + 2] != 'Z';
}

class HelperLauncherTest : public ::testing::Test {
protected:
    // An executable shell script standing in for the helper.
    std::string script(const std::string& name, const std::string& body) {
        std::string path = dir_.file(name);
        writeFile(path, "#!/bin/sh\n" + body);
        ::chmod(path.c_str(), 0755);
        return path;
    }
    TempDir dir_;
};

TEST_F(HelperLauncherTest, PassesArgumentsVerbatimWithoutAShell) {
    std::string helper = script("args", "for a in \"$0\" \"$@\"; do printf '[%s]' \"$a\"; done\n");
    std::vector<std::string> args = {"one", "", "two words", "$(echo no)", "'quoted'", "*", "a\nb"};
    zrk::HelperRun run = zrk::runHelper(helper, args, std::chrono::seconds(10));
    ASSERT_TRUE(run.launched);
    EXPECT_TRUE(run.exitedInTime);
    EXPECT_EQ("[" + helper + "][one][][two words][$(echo no)]['quoted'][*][a\nb]", run.output);
}

TEST_F(HelperLauncherTest, MissingProgramIsNotLaunched) {
    zrk::HelperRun run = zrk::runHelper(dir_.file("none"), {}, std::chrono::seconds(1));
    EXPECT_FALSE(run.launched);
    EXPECT_FALSE(zrk::helperSucceeded(run, "x=TRUE"));
}

TEST_F(HelperLauncherTest, AReplyAfterTheTimeLimitIsNeverSuccess) {
    std::string helper = script("late", "sleep 30\necho 'x=TRUE'\n");
    zrk::HelperRun run = zrk::runHelper(helper, {}, std::chrono::milliseconds(300));
    EXPECT_TRUE(run.launched);
    EXPECT_FALSE(run.exitedInTime);
    EXPECT_FALSE(zrk::helperSucceeded(run, "x=TRUE"));
}

TEST_F(HelperLauncherTest, AHelperThatAnswersAndHangsIsKilledAndFails) {
    std::string helper = script("hang", "echo 'x=TRUE'\nsleep 30\n");
    zrk::HelperRun run = zrk::runHelper(helper, {}, std::chrono::milliseconds(300));
    EXPECT_EQ("x=TRUE\n", run.output);
    EXPECT_FALSE(run.exitedInTime);
    EXPECT_FALSE(zrk::helperSucceeded(run, "x=TRUE"));
}

TEST_F(HelperLauncherTest, LeftoverChildrenDoNotHoldTheCallerOrOutliveTheHelper) {
    std::string pidFile = dir_.file("child.pid");
    std::string helper =
        script("fork", "sleep 30 &\necho $! > '" + pidFile + "'\necho 'x=TRUE'\nexit 0\n");
    zrk::HelperRun run = zrk::runHelper(helper, {}, std::chrono::seconds(20));
    EXPECT_TRUE(zrk::helperSucceeded(run, "x=TRUE"));
    pid_t child = std::stoi(readFile(pidFile));
    // The leftover was killed with its group.
    for (int i = 0; i < 200 && processRuns(child); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_FALSE(processRuns(child));
}

TEST_F(HelperLauncherTest, OutputIsBoundedAndNeverBlocksTheHelper) {
    std::string helper = script("flood", "head -c 3000000 /dev/zero | tr '\\0' 'a'\necho done\n");
    zrk::HelperRun run = zrk::runHelper(helper, {}, std::chrono::seconds(20));
    EXPECT_TRUE(run.exitedInTime);
    EXPECT_EQ(zrk::kMaxHelperOutput, run.output.size());
}

struct MarkerCase {
    const char* name;
    const char* reply;
    bool success;
};

class ReplyMarkers : public HelperLauncherTest, public ::testing::WithParamInterface<MarkerCase> {};

TEST_P(ReplyMarkers, SuccessOnlyWithTheMarker) {
    writeFile(dir_.file("reply"), GetParam().reply);
    std::string helper = script("helper", "cat '" + dir_.file("reply") + "'\n");
    zrk::HelperRun run = zrk::runHelper(helper, {}, std::chrono::seconds(10));
    EXPECT_EQ(GetParam().success, zrk::helperSucceeded(run, "vxPListRemove_XPC=TRUE"));
}

INSTANTIATE_TEST_SUITE_P(
    Replies, ReplyMarkers,
    ::testing::Values(MarkerCase{"True", "vxPListRemove_XPC=TRUE\n", true},
                      MarkerCase{"TrueWithoutNewline", "vxPListRemove_XPC=TRUE", true},
                      MarkerCase{"TrueAfterOtherLines", "noise\nvxPListRemove_XPC=TRUE\n", true},
                      MarkerCase{"False", "vxPListRemove_XPC=FALSE\n", false},
                      MarkerCase{"Empty", "", false},
                      MarkerCase{"OtherMethod", "vxPListExistProfile_XPC=TRUE\n", false},
                      MarkerCase{"LowerCase", "vxplistremove_xpc=true\n", false}),
    [](const ::testing::TestParamInfo<MarkerCase>& info) { return info.param.name; });

// Splitting text into pieces of n characters.
struct SplitCase {
    const char* name;
    std::string text;
    std::size_t n;
    std::vector<std::string> pieces;
};

class Split : public ::testing::TestWithParam<SplitCase> {};

TEST_P(Split, Pieces) {
    EXPECT_EQ(GetParam().pieces, splitCharEvery(GetParam().text, GetParam().n));
}

INSTANTIATE_TEST_SUITE_P(
    Texts, Split,
    ::testing::Values(
        SplitCase{"Empty", "", 4, {""}}, SplitCase{"Shorter", "abc", 4, {"abc"}},
        SplitCase{"Exact", "abcd", 4, {"abcd"}}, SplitCase{"OneMore", "abcde", 4, {"abcd", "e"}},
        SplitCase{"Ones", "abc", 1, {"a", "b", "c"}},
        SplitCase{"ZeroMeansWhole", "abc", 0, {"abc"}},
        SplitCase{"MultiByteCountsAsOne",
                  "a\xC3\xA9"
                  "b\xE2\x82\xAC"
                  "c\xF0\x9F\x98\x80",
                  2,
                  {"a\xC3\xA9", "b\xE2\x82\xAC", "c\xF0\x9F\x98\x80"}},
        SplitCase{"AllMultiByte", "\xC3\xA9\xC3\xA9\xC3\xA9", 2, {"\xC3\xA9\xC3\xA9", "\xC3\xA9"}},
        SplitCase{"StrayBytesCountOneEach",
                  "\xFF\xFE"
                  "a",
                  1,
                  {"\xFF", "\xFE", "a"}},
        SplitCase{"CutShortSequenceAtTheEnd", "ab\xE2\x82", 2, {"ab", "\xE2\x82"}}),
    [](const ::testing::TestParamInfo<SplitCase>& info) { return info.param.name; });

TEST(SplitLarge, TwoHundredThousandCharactersIn90000Pieces) {
    std::string text;
    for (int i = 0; i < 100000; ++i) {
        text += (i % 3 == 0) ? "\xE2\x82\xAC" : "x"; // mixed widths
    }
    text += std::string(100000, 'y');
    ASSERT_EQ(200000u, utf8CharacterCount(text));
    std::vector<std::string> pieces = splitCharEvery(text, 90000);
    ASSERT_EQ(3u, pieces.size());
    EXPECT_EQ(90000u, utf8CharacterCount(pieces[0]));
    EXPECT_EQ(90000u, utf8CharacterCount(pieces[1]));
    EXPECT_EQ(20000u, utf8CharacterCount(pieces[2]));
    EXPECT_EQ(text, pieces[0] + pieces[1] + pieces[2]);
}

} // namespace
