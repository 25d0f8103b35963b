// The helper and the service together, through a private bus: reply lines,
// file effects, refusals, walks against the test agent, activation.
#include "ServiceTestSupport.h"
#include "WalkTestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <thread>

namespace zrk::servicetest {
namespace {

using namespace std::chrono_literals;

constexpr const char* kWalkRoot = "1.3.6.1.4.1.18334.1.1.1.1.6.13.1.1";

class ServiceBus : public ::testing::Test {
protected:
    void SetUp() override {
        std::optional<Caller> c = unprivilegedCaller();
        if (!c) {
            GTEST_SKIP() << "no unprivileged user to call the service as";
        }
        caller = *c;
        bus = std::make_unique<PrivateBus>(idleExit());
        const std::string prefs = bus->preferences();
        files = {{"current", prefs + caller.login + "-zrk5100-profile.plist"},
                 {"backup", prefs + caller.login + "-zrk5100-profile.prev.plist"},
                 {"other", prefs + "root-zrk5100-profile.plist"},
                 {"otherBackup", prefs + "root-zrk5100-profile.prev.plist"},
                 {"long", prefs + std::string(300, 'x') + "-zrk5100-profile.plist"},
                 {"login", caller.login}};
        files["dummy"] = files["current"] + ".dummy";
        files["otherDummy"] = files["other"] + ".dummy";
        files["url"] = "file://" + files["current"];
        files["otherUrl"] = "file://" + files["other"];
    }
    virtual std::chrono::seconds idleExit() const { return 60s; }

    // "{key}" stands for files[key].
    std::string expand(const std::string& text) {
        if (text.size() > 2 && text.front() == '{' && text.back() == '}') {
            return files.at(text.substr(1, text.size() - 2));
        }
        return text;
    }

    std::string call(const std::vector<std::string>& arguments) {
        std::vector<std::string> expanded;
        for (const std::string& a : arguments) {
            expanded.push_back(expand(a));
        }
        const HelperResult result = runHelper(expanded, caller);
        EXPECT_EQ(result.exitStatus, 0);
        return result.output;
    }

    std::vector<std::string> walkCommand(const std::string& user, const std::string& agent) {
        return {"mibwalk_XPC", "zrk5100", user, "snmpwalk", "-Os",    "-c",
                "snmpro",      "-v",      "1",  agent,      kWalkRoot};
    }

    Caller caller;
    std::unique_ptr<PrivateBus> bus;
    std::map<std::string, std::string> files;
};

struct FileCase {
    const char* name;
    std::map<std::string, std::string> before;
    std::vector<std::string> arguments;
    std::string output;
    std::map<std::string, std::optional<std::string>> after;
    bool touchesNothing;
};

const std::optional<std::string> kAbsent;

const FileCase kFileCases[] = {
    {"probe of a missing file leaves none",
     {},
     {"vxPListIsAdminProfile_XPC", "{current}"},
     "vxPListIsAdminProfile_XPC=TRUE\n",
     {{"current", kAbsent}},
     true},
    {"probe keeps an existing file",
     {{"current", "abc"}},
     {"vxPListIsAdminProfile_XPC", "{current}"},
     "vxPListIsAdminProfile_XPC=TRUE\n",
     {{"current", "abc"}},
     true},
    {"existence of a missing file",
     {},
     {"vxPListExistProfile_XPC", "{current}"},
     "vxPListExistProfile_XPC=FALSE\n",
     {},
     true},
    {"existence of the backup",
     {{"backup", "b"}},
     {"vxPListExistProfile_XPC", "{backup}"},
     "vxPListExistProfile_XPC=TRUE\n",
     {},
     true},
    {"removal",
     {{"current", "abc"}},
     {"vxPListRemove_XPC", "{current}"},
     "vxPListRemove_XPC=TRUE\n",
     {{"current", kAbsent}},
     false},
    {"removal of a missing file",
     {},
     {"vxPListRemove_XPC", "{backup}"},
     "vxPListRemove_XPC=FALSE\n",
     {},
     true},
    {"backup without a current file leaves an empty backup",
     {{"backup", "old"}},
     {"vxPListSwapProfile_XPC", "2", "{current}", "{backup}"},
     "vxPListSwapProfile_XPC=TRUE\n",
     {{"backup", ""}, {"current", kAbsent}},
     false},
    {"backup copies the current file",
     {{"current", "cur"}, {"backup", "old"}},
     {"vxPListSwapProfile_XPC", "2", "{current}", "{backup}"},
     "vxPListSwapProfile_XPC=TRUE\n",
     {{"backup", "cur"}, {"current", "cur"}},
     false},
    {"restore without a backup keeps the current file",
     {{"current", "cur"}},
     {"vxPListSwapProfile_XPC", "0", "{current}", "{backup}"},
     "vxPListSwapProfile_XPC=TRUE\n",
     {{"current", "cur"}},
     true},
    {"restore moves the backup over the current file",
     {{"current", "cur"}, {"backup", "old"}},
     {"vxPListSwapProfile_XPC", "0", "{current}", "{backup}"},
     "vxPListSwapProfile_XPC=TRUE\n",
     {{"current", "old"}, {"backup", kAbsent}},
     false},
    {"discard removes the backup",
     {{"backup", "old"}},
     {"vxPListSwapProfile_XPC", "1", "{current}", "{backup}"},
     "vxPListSwapProfile_XPC=TRUE\n",
     {{"backup", kAbsent}},
     false},
    {"whole write",
     {{"current", "cur"}},
     {"writeDictionaryToPlistFile_XPC", "{url}", "<?xml whole"},
     "writeDictionaryToPlistFile_XPC=TRUE\n",
     {{"current", "<?xml whole"}},
     false},
    {"commit without a temporary file keeps the current file",
     {{"current", "cur"}},
     {"writeDataToPlistFileRename_XPC", "{url}"},
     "writeDataToPlistFileRename_XPC=FALSE\n",
     {},
     true},
    {"a piece without its beginning finds no temporary file",
     {},
     {"writeDataToPlistFile_XPC", "{url}", " world"},
     "writeDataToPlistFile_XPC=FALSE\n",
     {},
     true},
    {"a first piece replaces a left-over temporary file",
     {{"dummy", "<?xml stale"}},
     {"writeDataToPlistFile_XPC", "{url}", "<?xml fresh"},
     "writeDataToPlistFile_XPC=TRUE\n",
     {{"dummy", "<?xml fresh"}},
     false},
    {"lower-case method name",
     {{"current", "c"}},
     {"vxplistexistprofile_xpc", "{current}"},
     "",
     {},
     true},
    {"too few values",
     {{"current", "c"}},
     {"vxPListSwapProfile_XPC", "2", "{current}"},
     "",
     {},
     true},
    {"another user's file is not probed",
     {{"other", "theirs"}},
     {"vxPListIsAdminProfile_XPC", "{other}"},
     "vxPListIsAdminProfile_XPC=FALSE\n",
     {},
     true},
    {"another user's file is not removed",
     {{"other", "theirs"}},
     {"vxPListRemove_XPC", "{other}"},
     "vxPListRemove_XPC=FALSE\n",
     {},
     true},
    {"another user's backup is not restored",
     {{"other", "theirs"}, {"otherBackup", "old"}},
     {"vxPListSwapProfile_XPC", "0", "{other}", "{otherBackup}"},
     "vxPListSwapProfile_XPC=FALSE\n",
     {},
     true},
    {"another user's file is not written",
     {{"other", "theirs"}},
     {"writeDictionaryToPlistFile_XPC", "{otherUrl}", "<?xml mine"},
     "writeDictionaryToPlistFile_XPC=FALSE\n",
     {},
     true},
    {"another user's pieces are not committed",
     {{"other", "theirs"}, {"otherDummy", "<?xml mine"}},
     {"writeDataToPlistFileRename_XPC", "{otherUrl}"},
     "writeDataToPlistFileRename_XPC=FALSE\n",
     {},
     true},
    {"an over-long path is refused",
     {},
     {"vxPListIsAdminProfile_XPC", "{long}"},
     "vxPListIsAdminProfile_XPC=FALSE\n",
     {},
     true},
    {"a walk request without arguments lacks its marker",
     {},
     {"mibwalk_XPC", "zrk5100", "{login}"},
     "mibwalk_XPC=iRet=-1\n",
     {},
     true},
};

TEST_F(ServiceBus, FileRequestsThroughTheHelper) {
    for (const FileCase& c : kFileCases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove_all(bus->preferences());
        std::filesystem::create_directories(bus->preferences());
        for (const auto& [key, text] : c.before) {
            writeFile(files.at(key), text);
        }
        const auto before = snapshot(bus->root());
        EXPECT_EQ(call(c.arguments), c.output);
        for (const auto& [key, text] : c.after) {
            EXPECT_EQ(exists(files.at(key)) ? std::optional(readFile(files.at(key))) : kAbsent,
                      text)
                << key;
        }
        if (c.touchesNothing) {
            EXPECT_EQ(snapshot(bus->root()), before);
        }
    }
}

TEST_F(ServiceBus, TextWrittenInThreePiecesIsCommittedWhole) {
    // 200000 characters, some of them two bytes long.
    std::string text = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    std::size_t characters = text.size();
    for (int i = 0; characters < 200000; ++i) {
        const std::string line =
            "<string>Profil\xC3\xA9 " + std::to_string(i % 1000) + "</string>\n";
        text += line;
        characters += line.size() - 1;
    }
    while (characters > 200000) {
        text.pop_back();
        --characters;
    }
    std::vector<std::string> pieces(1);
    std::size_t inPiece = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool continuation = (static_cast<unsigned char>(text[i]) & 0xC0) == 0x80;
        if (!continuation && inPiece++ == 90000) {
            pieces.emplace_back();
            inPiece = 1;
        }
        pieces.back() += text[i];
    }
    ASSERT_EQ(pieces.size(), 3u);
    writeFile(files["current"], "old");
    for (const std::string& piece : pieces) {
        EXPECT_EQ(call({"writeDataToPlistFile_XPC", "{url}", piece}),
                  "writeDataToPlistFile_XPC=TRUE\n");
        EXPECT_EQ(readFile(files["current"]), "old") << "the file changes only at the commit";
    }
    EXPECT_EQ(call({"writeDataToPlistFileRename_XPC", "{url}"}),
              "writeDataToPlistFileRename_XPC=TRUE\n");
    EXPECT_EQ(readFile(files["current"]), text);
    EXPECT_FALSE(exists(files["dummy"]));
}

TEST_F(ServiceBus, WalkRewritesTheProfileFile) {
    test::TestAgent agent("normal", "three-rows.txt");
    EXPECT_EQ(call(walkCommand(caller.login, agent.address())), "mibwalk_XPC=iRet=0\n");
    const std::string file = readFile(files["current"]);
    for (const char* name : {"OFFSRGB.ICC", "PRESSCT.ICC", "PHOTOWD.ICC"}) {
        EXPECT_NE(file.find(name), std::string::npos) << name;
    }
}

TEST_F(ServiceBus, WalkOfASilentPrinterFails) {
    test::TestAgent agent("silent", "three-rows.txt");
    EXPECT_EQ(call(walkCommand(caller.login, agent.address())), "mibwalk_XPC=iRet=1\n");
    EXPECT_TRUE(exists(files["current"])) << "a failed walk still merges";
}

TEST_F(ServiceBus, WalkForAnotherUserIsRefused) {
    test::TestAgent agent("normal", "three-rows.txt");
    const auto before = snapshot(bus->root());
    EXPECT_EQ(call(walkCommand("root", agent.address())), "mibwalk_XPC=iRet=-1\n");
    EXPECT_EQ(snapshot(bus->root()), before);
    EXPECT_TRUE(agent.requests().empty());
}

TEST_F(ServiceBus, ActivationStartsTheServiceOnTheFirstCall) {
    EXPECT_FALSE(bus->serviceRunning());
    EXPECT_EQ(call({"vxPListExistProfile_XPC", "{current}"}), "vxPListExistProfile_XPC=FALSE\n");
    EXPECT_TRUE(bus->serviceRunning());
}

class IdleService : public ServiceBus {
protected:
    std::chrono::seconds idleExit() const override { return 1s; }
};

TEST_F(IdleService, ExitsWhenIdleAndTheNextCallStartsItAgain) {
    writeFile(files["current"], "cur");
    EXPECT_EQ(call({"vxPListExistProfile_XPC", "{current}"}), "vxPListExistProfile_XPC=TRUE\n");
    for (auto waited = 0ms; bus->serviceRunning() && waited < 10s; waited += 100ms) {
        std::this_thread::sleep_for(100ms);
    }
    ASSERT_FALSE(bus->serviceRunning());
    EXPECT_EQ(call({"vxPListExistProfile_XPC", "{current}"}), "vxPListExistProfile_XPC=TRUE\n");
}

TEST(ServiceUnreachable, HelperPrintsNothing) {
    const std::optional<Caller> caller = unprivilegedCaller();
    ASSERT_TRUE(caller);
    ::setenv("DBUS_SYSTEM_BUS_ADDRESS", "unix:path=/nonexistent/zrk-no-bus", 1);
    const HelperResult result = runHelper({"vxPListExistProfile_XPC", "/x"}, *caller);
    EXPECT_EQ(result.output, "");
    EXPECT_EQ(result.exitStatus, 0);
}

} // namespace
} // namespace zrk::servicetest
