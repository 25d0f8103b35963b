// The helper and the service together, through a private bus: reply lines,
// file effects, refusals, walks against the test agent, activation.
#include "ServiceTestSupport.h"
#include "WalkTestSupport.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <thread>

namespace zrk::servicetest {
namespace {

using namespace std::chrono_literals;

constexpr const char* kWalkRoot = "1.3.6.1.4.1.18334.1.1.1.1.6.13.1.1";

// The three groups with their six columns, every column empty.
std::string emptyProfileGroups() {
    std::string groups;
    for (const char* group : {"RGB", "SIM", "DST"}) {
        groups += std::string("<key>") + group + "</key><dict>";
        for (const char* column :
             {"IndexOnDevice", "InMenu", "ProfileClass", "Location", "FileName", "ProfileName"}) {
            groups += std::string("<key>") + column + "</key><dict/>";
        }
        groups += "</dict>\n";
    }
    return groups;
}

// The smallest complete profile file: the three groups with their columns.
std::string smallProfileText() {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">\n<dict>\n" +
           emptyProfileGroups() + "</dict>\n</plist>\n";
}

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
        files["profile"] = smallProfileText();
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

// One request through the helper: the files before, the command line, the
// reply ("" for no line at all), the files after (kAbsent: no file) and
// whether nothing under the root may change.
struct FileCase {
    const char* name;
    std::map<std::string, std::string> before;
    std::vector<std::string> arguments;
    const char* reply;
    std::map<std::string, std::optional<std::string>> after;
    bool touchesNothing;
};

const std::optional<std::string> kAbsent;
constexpr const char* kProbe = "vxPListIsAdminProfile_XPC";
constexpr const char* kExist = "vxPListExistProfile_XPC";
constexpr const char* kRemove = "vxPListRemove_XPC";
constexpr const char* kSwap = "vxPListSwapProfile_XPC";
constexpr const char* kWhole = "writeDictionaryToPlistFile_XPC";
constexpr const char* kPiece = "writeDataToPlistFile_XPC";
constexpr const char* kCommit = "writeDataToPlistFileRename_XPC";

// clang-format off
const FileCase kFileCases[] = {
    {"probe of a missing file leaves none", {}, {kProbe, "{current}"}, "TRUE", {{"current", kAbsent}}, true},
    {"probe keeps an existing file", {{"current", "abc"}}, {kProbe, "{current}"}, "TRUE", {}, true},
    {"existence of a missing file", {}, {kExist, "{current}"}, "FALSE", {}, true},
    {"existence of the backup", {{"backup", "b"}}, {kExist, "{backup}"}, "TRUE", {}, true},
    {"removal", {{"current", "abc"}}, {kRemove, "{current}"}, "TRUE", {{"current", kAbsent}}, false},
    {"removal of a missing file", {}, {kRemove, "{backup}"}, "FALSE", {}, true},
    {"backup without a current file leaves an empty backup", {{"backup", "old"}},
     {kSwap, "2", "{current}", "{backup}"}, "TRUE", {{"backup", ""}, {"current", kAbsent}}, false},
    {"backup copies the current file", {{"current", "cur"}, {"backup", "old"}},
     {kSwap, "2", "{current}", "{backup}"}, "TRUE", {{"backup", "cur"}, {"current", "cur"}}, false},
    {"restore without a backup keeps the current file", {{"current", "cur"}},
     {kSwap, "0", "{current}", "{backup}"}, "TRUE", {}, true},
    {"restore moves the backup over the current file", {{"current", "cur"}, {"backup", "old"}},
     {kSwap, "0", "{current}", "{backup}"}, "TRUE", {{"current", "old"}, {"backup", kAbsent}}, false},
    {"discard removes the backup", {{"backup", "old"}},
     {kSwap, "1", "{current}", "{backup}"}, "TRUE", {{"backup", kAbsent}}, false},
    {"whole write", {{"current", "cur"}}, {kWhole, "{url}", "{profile}"}, "TRUE",
     {{"current", "{profile}"}}, false},
    {"a whole write of a text that is no profile file", {{"current", "cur"}},
     {kWhole, "{url}", "<?xml whole"}, "FALSE", {}, true},
    {"commit without a temporary file keeps the current file", {{"current", "cur"}},
     {kCommit, "{url}"}, "FALSE", {}, true},
    {"a piece without its beginning finds no temporary file", {}, {kPiece, "{url}", " world"},
     "FALSE", {}, true},
    {"a first piece replaces a left-over temporary file", {{"dummy", "<?xml stale"}},
     {kPiece, "{url}", "<?xml fresh"}, "TRUE", {{"dummy", "<?xml fresh"}}, false},
    {"lower-case method name", {{"current", "c"}}, {"vxplistexistprofile_xpc", "{current}"}, "", {}, true},
    {"too few values", {{"current", "c"}}, {kSwap, "2", "{current}"}, "", {}, true},
    {"another user's file", {{"other", "theirs"}}, {kRemove, "{other}"}, "FALSE", {}, true},
    {"another user's file to write", {{"other", "theirs"}}, {kWhole, "{otherUrl}", "<?xml mine"},
     "FALSE", {}, true},
    {"an over-long path", {}, {kProbe, "{long}"}, "FALSE", {}, true},
    {"a value that is not UTF-8", {}, {kProbe, "/\xFF"}, "", {}, true},
    {"a walk request without arguments lacks its marker", {}, {"mibwalk_XPC", "zrk5100", "{login}"},
     "iRet=-1", {}, true},
};
// clang-format on

TEST_F(ServiceBus, FileRequestsThroughTheHelper) {
    for (const FileCase& c : kFileCases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove_all(bus->preferences());
        std::filesystem::create_directories(bus->preferences());
        for (const auto& [key, text] : c.before) {
            writeFile(files.at(key), text);
        }
        const auto before = snapshot(bus->root());
        const std::string reply = c.reply;
        EXPECT_EQ(call(c.arguments), reply.empty() ? "" : c.arguments[0] + "=" + reply + "\n");
        for (const auto& [key, text] : c.after) {
            EXPECT_EQ(exists(files.at(key)) ? std::optional(readFile(files.at(key))) : kAbsent,
                      text ? std::optional(expand(*text)) : kAbsent)
                << key;
        }
        if (c.touchesNothing) {
            EXPECT_EQ(snapshot(bus->root()), before);
        }
    }
}

// Characters of a UTF-8 text.
std::size_t characterCount(const std::string& text) {
    std::size_t count = 0;
    for (char c : text) {
        count += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }
    return count;
}

TEST_F(ServiceBus, TextWrittenInThreePiecesIsCommittedWhole) {
    // A profile file of 200000 characters, some of them two bytes long: the
    // three groups with their columns, after a long comment.
    const std::string groups = emptyProfileGroups();
    const std::string head = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">"
                             "\n<dict>\n<!--\n";
    const std::string tail = "-->\n" + groups + "</dict>\n</plist>\n";
    std::string comment;
    std::size_t characters = characterCount(head) + characterCount(tail);
    for (int i = 0; characters < 200000; ++i) {
        const std::string line = "Profil\xC3\xA9 " + std::to_string(i % 1000) + "\n";
        comment += line;
        characters += characterCount(line);
    }
    for (; characters > 200000; --characters) {
        comment.pop_back();
        if ((static_cast<unsigned char>(comment.back()) & 0xC0) == 0xC0) {
            comment.pop_back(); // never half a character
        }
    }
    const std::string text = head + comment + tail;
    ASSERT_EQ(characterCount(text), 200000u);
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
    EXPECT_TRUE(readFile(files["current"]) == text);
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

TEST_F(ServiceBus, WalkLeavesAFileThatDoesNotReadAsItWas) {
    test::TestAgent agent("normal", "three-rows.txt");
    const std::string damaged = "<?xml version=\"1.0\"?><plist><dict><key>RGB</key><dict>";
    writeFile(files["current"], damaged);
    EXPECT_EQ(call(walkCommand(caller.login, agent.address())), "mibwalk_XPC=iRet=1\n");
    EXPECT_EQ(readFile(files["current"]), damaged);
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

// A walk argument echoed into the service's log stays on its own line.
TEST_F(ServiceBus, WalkArgumentsCannotForgeALogLine) {
    test::TestAgent agent("normal", "three-rows.txt");
    const std::string forged = "xpc - mibwalk_XPC - iRet=0 forged";
    const std::vector<std::vector<std::string>> walks = {
        {"mibwalk_XPC", "zrk5100", caller.login, "snmpwalk", "-x\n" + forged, agent.address()},
        {"mibwalk_XPC", "zrk5100", caller.login, "snmpwalk", "-Os", "-c", "snmpro", "-v", "1",
         agent.address(), "1.3.6\n" + forged},
    };
    for (const auto& walk : walks) {
        EXPECT_EQ(call(walk).rfind("mibwalk_XPC=iRet=", 0), 0u);
    }
    const std::string log = bus->log();
    EXPECT_NE(log.find("\\x0a" + forged), std::string::npos) << log;
    EXPECT_EQ(log.find("\n" + forged), std::string::npos) << log;
}

enum class Planted { File, Link, UsersFile };

// What a killed service left in the preferences directory is gone once the
// next service has answered: its own temporary files only, never a link or
// another user's file.
TEST_F(ServiceBus, LeftoverTemporaryFilesAreRemovedAtStart) {
    const std::string prefs = bus->preferences();
    const struct {
        std::string name;
        Planted kind;
        bool removed;
    } cases[] = {
        {caller.login + "-zrk5100-profile.plist.Ab3dE9", Planted::File, true},
        {caller.login + "-zrk5100-profile.plist.dummy.x1Y2z3", Planted::File, true},
        {"root-zrk5100-profile.prev.plist.QwErTy", Planted::File, true},
        {caller.login + "-zrk5100-profile.plist.dummy", Planted::File, false},
        {caller.login + "-zrk5100-profile.plist.ABCDEFG", Planted::File, false},
        {"notes.AbCdEf", Planted::File, false},
        {caller.login + "-zrk5100-profile.prev.plist.dummy.a1b2c3", Planted::File, false},
        {caller.login + "-zrk5100-profile.plist.Zz9Zz9", Planted::Link, false},
        {caller.login + "-zrk5100-profile.plist.Nb0dy1", Planted::UsersFile, false},
    };
    ScratchDir elsewhere;
    writeFile(elsewhere.path() + "/target", "kept");
    for (const auto& c : cases) {
        const std::string path = prefs + c.name;
        if (c.kind == Planted::Link) {
            ASSERT_EQ(::symlink((elsewhere.path() + "/target").c_str(), path.c_str()), 0);
        } else {
            writeFile(path, "left");
        }
        if (c.kind == Planted::UsersFile && caller.switchTo) {
            ASSERT_EQ(::chown(path.c_str(), *caller.switchTo, static_cast<gid_t>(-1)), 0);
        }
    }
    EXPECT_EQ(call({"vxPListExistProfile_XPC", "{current}"}), "vxPListExistProfile_XPC=FALSE\n");
    for (const auto& c : cases) {
        // (Without root, the service runs as the tests' user, whose file it is.)
        const bool servicesOwn = c.kind == Planted::UsersFile && ::geteuid() != 0;
        EXPECT_EQ(exists(prefs + c.name), !c.removed && !servicesOwn) << c.name;
    }
    EXPECT_EQ(readFile(elsewhere.path() + "/target"), "kept");
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
