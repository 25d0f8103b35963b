// Plug-in build of the privileged operations, against a stand-in helper put
// at the helper's path under a temporary installation root. The stand-in
// records every argument vector and prints a canned reply per method.
#include "InstallRoot.h"
#include "SplitCharEvery.h"
#include "StorePaths.h"
#include "StoreTestSupport.h"
#include "VXPList.h"

#include <sys/stat.h>

using namespace storetest;

namespace {

using storetest::operator<<;

using Argv = std::vector<std::string>;

class PluginOpsTest : public ::testing::Test {
protected:
    void SetUp() override {
        env_ = std::make_unique<ScopedEnv>(zrk::kInstallRootVariable, root_.path().string());
        // The writes' lock goes to a runtime directory of the test's own.
        std::filesystem::create_directories(root_.file("run"));
        ::chmod(root_.file("run").c_str(), 0700);
        runtime_ = std::make_unique<ScopedEnv>("XDG_RUNTIME_DIR", root_.file("run"));
        helper_ = zrk::resolveInstallPath(zrk::kHelperToolPath);
        prefs_ = zrk::resolveInstallPath(zrk::kPreferencesDirectory);
        std::filesystem::create_directories(prefs_);
        std::filesystem::create_directories(root_.file("calls"));
        std::string login = zrk::realUserLoginName();
        ASSERT_FALSE(login.empty());
        current_ = prefs_ + login + "-zrk5100-profile.plist";
        backup_ = prefs_ + login + "-zrk5100-profile.prev.plist";
        url_ = "file://" + current_;
    }

    void installHelper() {
        std::filesystem::create_directories(std::filesystem::path(helper_).parent_path());
        const std::string dir = root_.path().string();
        writeFile(helper_, "#!/bin/sh\n"
                           "dir='" +
                               dir +
                               "'\n"
                               "n=$(ls \"$dir/calls\" | wc -l)\n"
                               "f=\"$dir/calls/$(printf %05d \"$n\")\"\n"
                               ": > \"$f\"\n"
                               "for a in \"$0\" \"$@\"; do printf '%s' \"$a\" >> \"$f\"; "
                               "printf '\\000' >> \"$f\"; done\n"
                               "if [ -f \"$dir/reply-$1\" ]; then cat \"$dir/reply-$1\"; "
                               "else printf '%s=TRUE\\n' \"$1\"; fi\n");
        ::chmod(helper_.c_str(), 0755);
    }

    void reply(const std::string& method, const std::string& text) {
        writeFile(root_.file("reply-" + method), text);
    }

    // Every recorded argument vector, in launch order.
    std::vector<Argv> calls() const {
        std::vector<std::string> files;
        for (const auto& e : std::filesystem::directory_iterator(root_.file("calls"))) {
            files.push_back(e.path().string());
        }
        std::sort(files.begin(), files.end());
        std::vector<Argv> out;
        for (const std::string& f : files) {
            std::string data = readFile(f);
            Argv argv;
            std::size_t start = 0;
            for (std::size_t nul; (nul = data.find('\0', start)) != std::string::npos;
                 start = nul + 1) {
                argv.push_back(data.substr(start, nul - start));
            }
            out.push_back(argv);
        }
        return out;
    }

    Argv probe() const { return {helper_, "vxPListIsAdminProfile_XPC", current_}; }

    // The text that the write-one-piece launches carried, in order.
    std::vector<std::string> pieces() const {
        std::vector<std::string> out;
        for (const Argv& argv : calls()) {
            if (argv.size() == 4 && argv[1] == "writeDataToPlistFile_XPC") {
                EXPECT_EQ(url_, argv[2]);
                out.push_back(argv[3]);
            }
        }
        return out;
    }

    TempDir root_;
    std::unique_ptr<ScopedEnv> env_;
    std::unique_ptr<ScopedEnv> runtime_;
    std::string helper_, prefs_, current_, backup_, url_;
};

TEST_F(PluginOpsTest, WithoutAHelperEverythingFailsAndNothingIsLaunched) {
    auto list = listOf({entry(1, kInMenuUserShown, "A.ICC")});
    EXPECT_EQ(0, VXPListIsAdminProfile());
    EXPECT_EQ(0, VXPListExistProfile());
    EXPECT_EQ(0, VXPListRemove(kRemoveCurrentFile));
    VXPListSwapProfile(kSwapBackup);
    EXPECT_EQ(-1, VXPListWriteProfile_All(list.get(), list.get(), list.get()));
    EXPECT_EQ(-1, VXPListWriteProfile_Dict(list.get(), 0, nullptr, nullptr, nullptr));
    EXPECT_EQ(-1, VXPListWriteProfile_All_Pap(list.get(), list.get(), list.get(), list.get(),
                                              list.get(), list.get()));
    EXPECT_TRUE(calls().empty());
}

TEST_F(PluginOpsTest, ProbeSendsTheCurrentPath) {
    installHelper();
    EXPECT_EQ(1, VXPListIsAdminProfile());
    EXPECT_EQ(std::vector<Argv>{probe()}, calls());
}

struct ProbeReply {
    const char* name;
    const char* text;
    int32_t result;
};

class ProbeReplies : public PluginOpsTest, public ::testing::WithParamInterface<ProbeReply> {};

TEST_P(ProbeReplies, OnlyTheMarkerIsSuccess) {
    installHelper();
    reply("vxPListIsAdminProfile_XPC", GetParam().text);
    EXPECT_EQ(GetParam().result, VXPListIsAdminProfile());
}

INSTANTIATE_TEST_SUITE_P(
    Replies, ProbeReplies,
    ::testing::Values(ProbeReply{"True", "vxPListIsAdminProfile_XPC=TRUE\n", 1},
                      ProbeReply{"False", "vxPListIsAdminProfile_XPC=FALSE\n", 0},
                      ProbeReply{"Empty", "", 0}, ProbeReply{"Garbage", "TRUE\n", 0}),
    [](const ::testing::TestParamInfo<ProbeReply>& info) { return info.param.name; });

TEST_F(PluginOpsTest, ExistenceAsksAfterTheProbe) {
    installHelper();
    EXPECT_EQ(1, VXPListExistProfile());
    EXPECT_EQ((std::vector<Argv>{probe(), {helper_, "vxPListExistProfile_XPC", current_}}),
              calls());
    reply("vxPListExistProfile_XPC", "vxPListExistProfile_XPC=FALSE\n");
    EXPECT_EQ(0, VXPListExistProfile());
}

TEST_F(PluginOpsTest, RemoveSelectsTheFile) {
    installHelper();
    EXPECT_EQ(1, VXPListRemove(kRemoveCurrentFile));
    EXPECT_EQ(1, VXPListRemove(kRemoveBackupFile));
    EXPECT_EQ(0, VXPListRemove(1)); // only the probe is launched
    EXPECT_EQ((std::vector<Argv>{probe(),
                                 {helper_, "vxPListRemove_XPC", current_},
                                 probe(),
                                 {helper_, "vxPListRemove_XPC", backup_},
                                 probe()}),
              calls());
}

TEST_F(PluginOpsTest, RemoveReportedFalseIsFailure) {
    installHelper();
    reply("vxPListRemove_XPC", "vxPListRemove_XPC=FALSE\n");
    EXPECT_EQ(0, VXPListRemove(kRemoveCurrentFile));
}

TEST_F(PluginOpsTest, OperationsStopAtAFailedProbe) {
    installHelper();
    reply("vxPListIsAdminProfile_XPC", "vxPListIsAdminProfile_XPC=FALSE\n");
    auto list = newList();
    EXPECT_EQ(0, VXPListRemove(kRemoveCurrentFile));
    VXPListSwapProfile(kSwapBackup);
    EXPECT_EQ(-1, VXPListWriteProfile_All(list.get(), list.get(), list.get()));
    EXPECT_EQ((std::vector<Argv>{probe(), probe(), probe()}), calls());
}

TEST_F(PluginOpsTest, SwapSendsTypeAndBothPaths) {
    installHelper();
    reply("vxPListSwapProfile_XPC", "not examined");
    VXPListSwapProfile(kSwapBackup);
    VXPListSwapProfile(kSwapRestore);
    EXPECT_EQ((std::vector<Argv>{probe(),
                                 {helper_, "vxPListSwapProfile_XPC", "2", current_, backup_},
                                 probe(),
                                 {helper_, "vxPListSwapProfile_XPC", "0", current_, backup_}}),
              calls());
}

TEST_F(PluginOpsTest, WriteSendsTheXmlInPiecesThenCommits) {
    installHelper();
    auto rgb =
        listOf({entry(1, kInMenuDevicePresentShown, "STD.ICC", kLocationDisk, "Std \xC3\xA9")});
    auto empty = newList();
    ASSERT_EQ(0, VXPListWriteProfile_All(rgb.get(), empty.get(), empty.get()));
    std::vector<Argv> all = calls();
    ASSERT_GE(all.size(), 3u);
    EXPECT_EQ(probe(), all.front());
    EXPECT_EQ((Argv{helper_, "writeDataToPlistFileRename_XPC", url_}), all.back());

    std::vector<std::string> parts = pieces();
    ASSERT_EQ(all.size() - 2, parts.size());
    std::string xml;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (i + 1 < parts.size()) {
            EXPECT_EQ(90000u, utf8CharacterCount(parts[i])) << i;
        }
        xml += parts[i];
    }
    // The pieces put together are the whole file, readable by the store.
    writeFile(current_, xml);
    auto r = newList(), s = newList(), d = newList();
    ASSERT_EQ(0, VXPListReadProfile_All(r.get(), s.get(), d.get()));
    EXPECT_STREQ("Std \xC3\xA9", r->litem[0].ProfileName);
    EXPECT_EQ(1, r->iNum);
}

TEST_F(PluginOpsTest, AFailedPieceStopsTheWriteBeforeTheCommit) {
    installHelper();
    reply("writeDataToPlistFile_XPC", "writeDataToPlistFile_XPC=FALSE\n");
    auto empty = newList();
    EXPECT_EQ(-1, VXPListWriteProfile_All(empty.get(), empty.get(), empty.get()));
    std::vector<Argv> all = calls();
    ASSERT_EQ(2u, all.size()); // the probe and the first piece
    EXPECT_EQ("writeDataToPlistFile_XPC", all[1][1]);
}

TEST_F(PluginOpsTest, AFailedCommitFailsTheWrite) {
    installHelper();
    reply("writeDataToPlistFileRename_XPC", "writeDataToPlistFileRename_XPC=FALSE\n");
    auto empty = newList();
    EXPECT_EQ(-1, VXPListWriteProfile_All(empty.get(), empty.get(), empty.get()));
}

// Adds exactly `gap` characters of names to the three lists: two-byte
// characters in the first fields, so the count is one of characters and not
// of bytes, plain letters in the rest.
void pad(ProfileList* lists[3], std::size_t gap) {
    int field = 0;
    for (int g = 0; g < 3; ++g) {
        for (int slot = 0; slot < kMaxProfileEntries && gap > 0; ++slot) {
            for (char* name : {lists[g]->litem[slot].ProfileName, lists[g]->litem[slot].FileName}) {
                std::string text;
                while (field < 100 && gap > 0 && text.size() + 2 <= 30) {
                    text += "\xC3\xA9";
                    --gap;
                }
                while (gap > 0 && text.size() < 31) {
                    text += 'a';
                    --gap;
                }
                std::memcpy(name, text.data(), text.size());
                ++field;
            }
        }
    }
    ASSERT_EQ(0u, gap);
}

TEST_F(PluginOpsTest, PieceCountAtTheBoundary) {
    installHelper();
    auto empty = newList();
    ASSERT_EQ(0, VXPListWriteProfile_All(empty.get(), empty.get(), empty.get()));
    std::size_t base = 0;
    for (const std::string& p : pieces()) {
        base += utf8CharacterCount(p);
    }
    const std::size_t target = (base / 90000 + 1) * 90000;
    for (std::size_t extra : {0, 1}) {
        std::filesystem::remove_all(root_.file("calls"));
        std::filesystem::create_directories(root_.file("calls"));
        auto rgb = newList(), sim = newList(), dst = newList();
        ProfileList* lists[3] = {rgb.get(), sim.get(), dst.get()};
        pad(lists, target + extra - base);
        ASSERT_EQ(0, VXPListWriteProfile_All(rgb.get(), sim.get(), dst.get()));
        std::vector<std::string> parts = pieces();
        ASSERT_EQ(target / 90000 + extra, parts.size()) << "extra " << extra;
        for (std::size_t i = 0; i < target / 90000; ++i) {
            EXPECT_EQ(90000u, utf8CharacterCount(parts[i]));
        }
        if (extra == 1) {
            EXPECT_EQ(1u, utf8CharacterCount(parts.back()));
        }
    }
}

TEST_F(PluginOpsTest, PapWriteProbesOnce) {
    installHelper();
    auto empty = newList();
    ASSERT_EQ(0, VXPListWriteProfile_All_Pap(empty.get(), empty.get(), empty.get(), empty.get(),
                                             empty.get(), empty.get()));
    std::vector<Argv> all = calls();
    EXPECT_EQ(probe(), all.front());
    for (std::size_t i = 1; i < all.size(); ++i) {
        EXPECT_NE("vxPListIsAdminProfile_XPC", all[i][1]);
    }
}

TEST_F(PluginOpsTest, ReadsTheLoginNamesFile) {
    auto rgb = listOf({entry(4, kInMenuDevicePresentHidden, "A.ICC", 0, "", 0)});
    GroupXml group;
    group.count = 1;
    group.indexOnDevice = intSlot("IndexOnDevice", 0, 4);
    group.inMenu = intSlot("InMenu", 0, 2);
    group.fileName = stringSlot("FileName", 0, "A.ICC");
    writeFile(current_, plistDocument(groupDocumentPart("RGB", group) +
                                      groupDocumentPart("SIM", {}) + groupDocumentPart("DST", {})));
    auto r = newList(), s = newList(), d = newList();
    ASSERT_EQ(0, VXPListReadProfile_All(r.get(), s.get(), d.get()));
    EXPECT_TRUE(sameEntry(rgb->litem[0], r->litem[0]));
    auto pap = newList();
    ASSERT_EQ(0, VXPListReadProfile_Dict_Pap(pap.get(), kProfileGroupRGB));
    EXPECT_EQ(0, pap->iNum);
}

} // namespace
