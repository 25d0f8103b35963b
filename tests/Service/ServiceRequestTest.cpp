// The service's request handlers without the bus, and the helper's request
// strings: hostile requests are refused without touching anything.
#include "CallerPolicy.h"
#include "FairQueue.h"
#include "HelperMethods.h"
#include "HelperRequest.h"
#include "InstallRoot.h"
#include "PieceWrite.h"
#include "ServiceTestSupport.h"
#include "SplitCharEvery.h"
#include "StoreInternal.h"
#include "VXmacServiceXPC.h"

#include <gtest/gtest.h>

#include <pwd.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>

namespace zrk::servicetest {
namespace {

namespace fs = std::filesystem;

std::optional<std::string> request(std::vector<std::string> argv) {
    argv.insert(argv.begin(), "ZR-K5100Helper");
    std::vector<const char*> args;
    for (const std::string& a : argv) {
        args.push_back(a.c_str());
    }
    args.push_back(nullptr);
    auto built = helper::buildHelperRequest(static_cast<int>(argv.size()), args.data());
    return built ? std::optional(built->text) : std::nullopt;
}

TEST(HelperRequest, CommandLinesBecomeRequestStrings) {
    const struct {
        std::vector<std::string> argv;
        std::optional<std::string> text;
    } cases[] = {
        {{"mibwalk_XPC", "zrk5100", "ann", "a", "b"},
         "zrk5100:ModelName:ENDann:USErName:ENDa:arg:b:arg:"},
        {{"mibwalk_XPC", "zrk5100", "ann"}, "zrk5100:ModelName:ENDann:USErName:END"},
        {{"vxPListSwapProfile_XPC", "2", "/c", "/b", "ignored"},
         "2:ARG_iSwapType/c:ARG_cFooCurrentString/b:ARG_cFooPrevString"},
        {{"writeDataToPlistFile_XPC", "file:///c", "<?xml"}, "file:///c:AddURL:END<?xml"},
        {{"writeDictionaryToPlistFile_XPC", "file:///c", "t"}, "file:///c:AddURL:ENDt"},
        {{"vxPListIsAdminProfile_XPC", "/c"}, "/c"},
        {{"vxPListExistProfile_XPC", "/c"}, "/c"},
        {{"vxPListRemove_XPC", "/c"}, "/c"},
        {{"writeDataToPlistFileRename_XPC", "file:///c"}, "file:///c"},
        {{"mibwalk_XPC", "zrk5100"}, std::nullopt},
        {{"vxPListSwapProfile_XPC", "2", "/c"}, std::nullopt},
        {{"writeDataToPlistFile_XPC", "file:///c"}, std::nullopt},
        {{"vxplistexistprofile_xpc", "/c"}, std::nullopt},
        {{"vxPListExistProfile_XPC"}, std::nullopt},
        {{}, std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(request(c.argv), c.text) << (c.argv.empty() ? "" : c.argv[0]);
    }
}

// Requests of an ordinary caller, served in-process under a temporary root.
class Handlers : public ::testing::Test {
protected:
    void SetUp() override {
        const passwd* nobody = ::getpwnam("nobody");
        if (nobody == nullptr || nobody->pw_uid == 0) {
            GTEST_SKIP() << "no unprivileged user";
        }
        caller = nobody->pw_uid;
        ::setenv(kInstallRootVariable, root.path().c_str(), 1);
        prefs = root.path() + std::string(kPreferencesDirectory);
        fs::create_directories(prefs);
        current = prefs + "nobody-zrk5100-profile.plist";
        backup = prefs + "nobody-zrk5100-profile.prev.plist";
        other = prefs + "root-zrk5100-profile.plist";
        otherBackup = prefs + "root-zrk5100-profile.prev.plist";
        for (const std::string& f : {current, backup, current + ".dummy", other, otherBackup,
                                     other + ".dummy", prefs + "nobody-x-zrk5100-profile.plist"}) {
            writeFile(f, "<?xml kept");
        }
    }
    void TearDown() override { ::unsetenv(kInstallRootVariable); }

    ScratchDir root;
    uid_t caller = 0;
    std::string prefs, current, backup, other, otherBackup;
};

using Method = std::string (VXmacServiceXPC::*)(const std::string&) const;

TEST_F(Handlers, HostileRequestsAreRefusedUntouched) {
    const std::string url = "file://" + current;
    const std::string walkTail = "snmpwalk:arg:-v:arg:1:arg:127.0.0.1:1:arg:";
    std::string manyArguments;
    for (int i = 0; i < 512; ++i) {
        manyArguments += "x:arg:";
    }
    const struct {
        const char* name;
        Method method;
        std::string request;
    } cases[] = {
        {"another user's file", &VXmacServiceXPC::vxPListRemove_XPC, other},
        {"another user's temporary file", &VXmacServiceXPC::writeDataToPlistFileRename_XPC,
         "file://" + other},
        {"a temporary file as the probed file", &VXmacServiceXPC::vxPListRemove_XPC,
         current + ".dummy"},
        {"a second slash", &VXmacServiceXPC::vxPListRemove_XPC,
         prefs + "/nobody-zrk5100-profile.plist"},
        {"a way round through ..", &VXmacServiceXPC::vxPListRemove_XPC,
         prefs + "../com.ostra.printers.ZR-K5100/nobody-zrk5100-profile.plist"},
        {"a relative path", &VXmacServiceXPC::vxPListRemove_XPC, "nobody-zrk5100-profile.plist"},
        {"the file of user nobody-x is not nobody's", &VXmacServiceXPC::vxPListRemove_XPC,
         prefs + "nobody-x-zrk5100-profile.plist"},
        {"a path too long", &VXmacServiceXPC::vxPListExistProfile_XPC,
         prefs + std::string(260, 'n') + "-zrk5100-profile.plist"},
        {"swap without its last marker", &VXmacServiceXPC::vxPListSwapProfile_XPC,
         "0:ARG_iSwapType" + current + ":ARG_cFooCurrentString" + backup},
        {"swap with text after its markers", &VXmacServiceXPC::vxPListSwapProfile_XPC,
         "1:ARG_iSwapType" + current + ":ARG_cFooCurrentString" + backup + ":ARG_cFooPrevStringx"},
        {"swap type that is no number", &VXmacServiceXPC::vxPListSwapProfile_XPC,
         "0x1:ARG_iSwapType" + current + ":ARG_cFooCurrentString" + backup + ":ARG_cFooPrevString"},
        {"swap with the files the other way round", &VXmacServiceXPC::vxPListSwapProfile_XPC,
         "1:ARG_iSwapType" + backup + ":ARG_cFooCurrentString" + current + ":ARG_cFooPrevString"},
        {"swap with another user's backup", &VXmacServiceXPC::vxPListSwapProfile_XPC,
         "2:ARG_iSwapType" + current + ":ARG_cFooCurrentString" + otherBackup +
             ":ARG_cFooPrevString"},
        {"write without its marker", &VXmacServiceXPC::writeDictionaryToPlistFile_XPC,
         url + "<?xml new"},
        {"write to a URL that is no file URL", &VXmacServiceXPC::writeDictionaryToPlistFile_XPC,
         "http://" + current + ":AddURL:END<?xml new"},
        {"a whole write of a text that is no profile file",
         &VXmacServiceXPC::writeDictionaryToPlistFile_XPC,
         url + ":AddURL:END<?xml version=\"1.0\"?><plist><dict></dict></plist>"},
        {"write to a URL with a query", &VXmacServiceXPC::writeDataToPlistFile_XPC,
         url + "?x:AddURL:END<?xml new"},
        {"piece beyond the size limit", &VXmacServiceXPC::writeDataToPlistFile_XPC,
         url + ":AddURL:END<?xml" + std::string(xpc::kMaxWrittenFileSize, ' ')},
        {"walk without the user marker", &VXmacServiceXPC::mibwalk_XPC,
         "zrk5100:ModelName:ENDnobody" + walkTail},
        {"walk without arguments", &VXmacServiceXPC::mibwalk_XPC,
         "zrk5100:ModelName:ENDnobody:USErName:END"},
        {"walk for another user", &VXmacServiceXPC::mibwalk_XPC,
         "zrk5100:ModelName:ENDroot:USErName:END" + walkTail},
        {"walk with a model token that names nobody-x's file", &VXmacServiceXPC::mibwalk_XPC,
         "x-zrk5100:ModelName:ENDnobody:USErName:END" + walkTail},
        {"walk of more than 511 arguments", &VXmacServiceXPC::mibwalk_XPC,
         "zrk5100:ModelName:ENDnobody:USErName:END" + manyArguments},
    };
    const VXmacServiceXPC service(caller);
    const auto before = snapshot(root.path());
    for (const auto& c : cases) {
        const std::string reply = (service.*c.method)(c.request);
        const bool walk = c.method == &VXmacServiceXPC::mibwalk_XPC;
        EXPECT_EQ(reply, walk ? "iRet=-1" : "FALSE") << c.name;
    }
    EXPECT_EQ(snapshot(root.path()), before);
}

TEST_F(Handlers, LinksInPlaceOfProfileFilesAreNotFollowed) {
    const VXmacServiceXPC service(caller);
    const std::string url = "file://" + current;
    const std::string dummy = current + ".dummy";
    writeFile(other, "<?xml theirs");
    fs::remove(dummy);
    fs::create_symlink(other, dummy);
    EXPECT_EQ(service.writeDataToPlistFile_XPC(url + ":AddURL:END more"), "FALSE");
    EXPECT_EQ(service.writeDataToPlistFileRename_XPC(url), "FALSE");
    fs::remove(current);
    fs::create_symlink(other, current);
    EXPECT_EQ(service.vxPListSwapProfile_XPC("2:ARG_iSwapType" + current +
                                             ":ARG_cFooCurrentString" + backup +
                                             ":ARG_cFooPrevString"),
              "FALSE");
    EXPECT_EQ(service.mibwalk_XPC("zrk5100:ModelName:ENDnobody:USErName:ENDsnmpwalk:arg:"
                                  "127.0.0.1:1:arg:"),
              "iRet=-1");
    EXPECT_EQ(readFile(backup), "<?xml kept");
    EXPECT_EQ(readFile(other), "<?xml theirs");
    EXPECT_TRUE(fs::is_symlink(current));
    // Root acts for any user.
    EXPECT_EQ(VXmacServiceXPC(0).vxPListExistProfile_XPC(other), "TRUE");
}

// The XML text of a full profile file whose entries carry a writer's mark
// (in their names and their indexes, so that two texts differ from the
// start).
std::string profileText(const std::string& mark, int32_t firstIndex) {
    auto lists = std::make_unique<ProfileList[]>(kProfileGroupCount);
    for (int g = 0; g < kProfileGroupCount; ++g) {
        ProfileList& list = lists[g];
        for (int i = 0; i < kMaxProfileEntries; ++i) {
            ProfileEntry& e = list.litem[i];
            e.iIndexOnDevice = firstIndex + i;
            e.iInMenu = kInMenuUserShown;
            e.iProfileClass = 2;
            e.iLocation = kLocationDisk;
            std::snprintf(e.FileName, sizeof e.FileName, "%s%03d.ICC", mark.c_str(), i);
            std::snprintf(e.ProfileName, sizeof e.ProfileName, "%s profile %d", mark.c_str(), i);
        }
        list.iNum = kMaxProfileEntries;
    }
    std::string xml;
    EXPECT_TRUE(store::buildProfileXml(&lists[0], &lists[1], &lists[2], &xml));
    return xml;
}

TEST_F(Handlers, CommitTakesOnlyACompleteProfileText) {
    const VXmacServiceXPC service(caller);
    const std::string url = "file://" + current;
    const std::string a = profileText("A", 1);
    const std::string b = profileText("B", 100000);
    const std::vector<std::string> piecesA = splitCharEvery(a, helper::kWritePieceCharacters);
    const std::vector<std::string> piecesB = splitCharEvery(b, helper::kWritePieceCharacters);
    ASSERT_GT(piecesA.size(), 2u);
    std::vector<std::string> shortOfItsEnd(piecesA.begin(), piecesA.end() - 1);
    std::vector<std::string> splicedAB = {piecesA[0], piecesB[0]};
    splicedAB.insert(splicedAB.end(), piecesA.begin() + 1, piecesA.end());
    const std::string noDst = "<?xml version=\"1.0\"?><plist><dict><key>RGB</key><dict/>"
                              "<key>SIM</key><dict/></dict></plist>";
    const struct {
        const char* name;
        std::vector<std::string> pieces;
        std::size_t refusedPiece; // pieces.size() for none
        const char* reply;
        std::string after;
    } cases[] = {
        {"a whole text", piecesA, piecesA.size(), "TRUE", a},
        {"A1, B1 (refused while A is written), then the rest of A", splicedAB, 1, "TRUE", a},
        {"a text short of its last piece", shortOfItsEnd, shortOfItsEnd.size(), "FALSE",
         "<?xml kept"},
        {"a property list without every group", {noDst}, 1, "FALSE", "<?xml kept"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        writeFile(current, "<?xml kept");
        for (std::size_t i = 0; i < c.pieces.size(); ++i) {
            EXPECT_EQ(service.writeDataToPlistFile_XPC(url + ":AddURL:END" + c.pieces[i]),
                      i == c.refusedPiece ? "FALSE" : "TRUE")
                << "piece " << i;
        }
        EXPECT_EQ(service.writeDataToPlistFileRename_XPC(url), c.reply);
        EXPECT_TRUE(readFile(current) == c.after);
        EXPECT_FALSE(exists(current + ".dummy")) << "a refused text is dropped";
    }
}

// Requests waiting for the service: callers in turn, each caller's own in
// order, and a caller past its bounds refused while others still queue.
TEST(FairQueue, CallersAreServedInTurnWithinTheirBounds) {
    const struct {
        const char* name;
        std::vector<std::pair<uid_t, std::size_t>> pushed; // caller, bytes
        std::string accepted;                              // one letter per push: y or n
        std::string served; // callers' requests in the order served ("1a": caller 1's first)
    } cases[] = {
        {"a flood and a late probe", {{1, 10}, {1, 10}, {1, 10}, {2, 1}}, "yyyy", "1a2a1b1c"},
        {"three callers", {{1, 1}, {1, 1}, {2, 1}, {3, 1}, {2, 1}}, "yyyyy", "1a2a3a1b2b"},
        {"past a caller's count", {{1, 1}, {1, 1}, {1, 1}, {1, 1}, {2, 1}}, "yyyny", "1a2a1b1c"},
        {"past a caller's bytes", {{1, 60}, {1, 50}, {1, 40}, {2, 60}}, "ynyy", "1a2a1b"},
        {"past all bytes, a caller with none waiting still queues",
         {{1, 90}, {2, 90}, {3, 90}, {1, 5}, {4, 1}},
         "yyyny",
         "1a2a3a4a"},
        {"one request larger than a caller's bytes", {{1, 101}, {2, 1}}, "ny", "2a"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FairQueue<std::string> queue(FairQueueLimits{3, 100, 200});
        std::map<uid_t, char> next;
        std::string accepted;
        for (const auto& [caller, bytes] : c.pushed) {
            const std::string item = std::to_string(caller) +
                                     static_cast<char>(next.try_emplace(caller, 'a').first->second);
            const bool queued = queue.push(caller, bytes, std::string(item));
            next[caller] += queued ? 1 : 0;
            accepted += queued ? 'y' : 'n';
        }
        std::string served;
        while (std::optional<std::string> item = queue.pop()) {
            served += *item;
        }
        EXPECT_EQ(accepted, c.accepted);
        EXPECT_EQ(served, c.served);
        EXPECT_TRUE(queue.empty());
        EXPECT_EQ(queue.bytes(), 0u);
    }
}

TEST(CallerPolicy, UserNamesWithDashesKeepTheirFiles) {
    ScratchDir root;
    ::setenv(kInstallRootVariable, root.path().c_str(), 1);
    const std::string prefs = root.path() + std::string(kPreferencesDirectory);
    xpc::ProfileFileName name;
    EXPECT_TRUE(xpc::parseProfileFilePath(prefs + "ann-b-zrk5100-profile.prev.plist", &name));
    EXPECT_EQ(name.user, "ann-b");
    EXPECT_EQ(name.model, "zrk5100");
    EXPECT_TRUE(name.kind == xpc::ProfileFileKind::Backup);
    EXPECT_FALSE(xpc::parseProfileFilePath(prefs + "ann-zrk5100-profile.spool.plist", &name));
    ::unsetenv(kInstallRootVariable);
}

} // namespace
} // namespace zrk::servicetest
