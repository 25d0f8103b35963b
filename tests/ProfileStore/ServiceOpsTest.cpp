// Service build of the privileged operations, the store path set and the
// fixed paths.
#include "InstallRoot.h"
#include "StoreFileOps.h"
#include "StorePaths.h"
#include "StoreTestSupport.h"
#include "VXPList.h"

#include <sys/stat.h>

#include <thread>

using namespace storetest;

namespace {

using storetest::operator<<;

class ServiceOpsTest : public ::testing::Test {
protected:
    void SetUp() override {
        paths_.current = dir_.file("bob-zrk5100-profile.plist");
        paths_.backup = dir_.file("bob-zrk5100-profile.prev.plist");
        paths_.spool = dir_.file("bob-zrk5100-profile.spool.plist");
        scope_ = std::make_unique<zrk::StorePathScope>(paths_);
    }
    bool exists(const std::string& path) const { return std::filesystem::exists(path); }

    TempDir dir_;
    zrk::StorePaths paths_;
    std::unique_ptr<zrk::StorePathScope> scope_;
};

TEST_F(ServiceOpsTest, ProbeOnAMissingFileLeavesNoFileBehind) {
    EXPECT_EQ(1, VXPListIsAdminProfile());
    EXPECT_FALSE(exists(paths_.current));
    mode_t mask = ::umask(0);
    ::umask(mask);
    EXPECT_EQ(002u, mask);
}

TEST_F(ServiceOpsTest, ProbeOnAnExistingFileLeavesItUnchanged) {
    writeFile(paths_.current, "contents");
    EXPECT_EQ(1, VXPListIsAdminProfile());
    EXPECT_EQ("contents", readFile(paths_.current));
}

TEST_F(ServiceOpsTest, ProbeFailsWhereNothingCanBeCreated) {
    zrk::StorePaths elsewhere = paths_;
    elsewhere.current = dir_.file("no-such-dir/bob-zrk5100-profile.plist");
    zrk::StorePathScope scope(elsewhere);
    EXPECT_EQ(0, VXPListIsAdminProfile());
    EXPECT_FALSE(exists(dir_.file("no-such-dir")));
    EXPECT_EQ(0, VXPListExistProfile());
    EXPECT_EQ(0, VXPListRemove(kRemoveBackupFile));
}

TEST_F(ServiceOpsTest, ProbeRefusesASymbolicLinkInPlaceOfTheFile) {
    writeFile(dir_.file("target"), "t");
    std::filesystem::create_symlink(dir_.file("target"), paths_.current);
    EXPECT_EQ(0, VXPListIsAdminProfile());
    EXPECT_EQ("t", readFile(dir_.file("target")));
}

TEST_F(ServiceOpsTest, ExistenceFollowsTheCurrentFile) {
    EXPECT_EQ(0, VXPListExistProfile());
    writeFile(paths_.current, "x");
    EXPECT_EQ(1, VXPListExistProfile());
}

struct RemoveCase {
    const char* name;
    int32_t which;
    int32_t result;
    bool currentLeft;
    bool backupLeft;
};

class Remove : public ServiceOpsTest, public ::testing::WithParamInterface<RemoveCase> {};

TEST_P(Remove, RemovesTheSelectedFileOnly) {
    writeFile(paths_.current, "current");
    writeFile(paths_.backup, "backup");
    EXPECT_EQ(GetParam().result, VXPListRemove(GetParam().which));
    EXPECT_EQ(GetParam().currentLeft, exists(paths_.current));
    EXPECT_EQ(GetParam().backupLeft, exists(paths_.backup));
}

INSTANTIATE_TEST_SUITE_P(
    Selectors, Remove,
    ::testing::Values(RemoveCase{"Current", kRemoveCurrentFile, 1, false, true},
                      RemoveCase{"Backup", kRemoveBackupFile, 1, true, false},
                      RemoveCase{"One", 1, 0, true, true}, RemoveCase{"Zero", 0, 0, true, true},
                      RemoveCase{"Four", 4, 0, true, true}),
    [](const ::testing::TestParamInfo<RemoveCase>& info) { return info.param.name; });

TEST_F(ServiceOpsTest, RemovingAMissingFileReportsFailure) {
    EXPECT_EQ(0, VXPListRemove(kRemoveBackupFile));
}

TEST_F(ServiceOpsTest, BackupCopiesTheCurrentFileAcrossSeveralBlocks) {
    std::string contents;
    for (int i = 0; contents.size() < 200'000; ++i) {
        contents += std::to_string(i) + ",";
    }
    writeFile(paths_.current, contents);
    writeFile(paths_.backup, "old backup that is longer than nothing");
    VXPListSwapProfile(kSwapBackup);
    EXPECT_EQ(contents, readFile(paths_.backup));
    EXPECT_EQ(contents, readFile(paths_.current));
    struct stat info;
    ASSERT_EQ(0, ::stat(paths_.backup.c_str(), &info));
    EXPECT_EQ(0664u, info.st_mode & 0777);
}

TEST_F(ServiceOpsTest, BackupWithoutACurrentFileLeavesAnEmptyBackup) {
    writeFile(paths_.backup, "old backup");
    VXPListSwapProfile(kSwapBackup);
    ASSERT_TRUE(exists(paths_.backup));
    EXPECT_EQ("", readFile(paths_.backup));
    EXPECT_FALSE(exists(paths_.current));
}

TEST_F(ServiceOpsTest, RestoreMovesTheBackupOverTheCurrentFile) {
    writeFile(paths_.current, "current");
    writeFile(paths_.backup, "backup");
    VXPListSwapProfile(kSwapRestore);
    EXPECT_EQ("backup", readFile(paths_.current));
    EXPECT_FALSE(exists(paths_.backup));
}

TEST_F(ServiceOpsTest, RestoreWithoutABackupKeepsTheCurrentFile) {
    writeFile(paths_.current, "current");
    VXPListSwapProfile(kSwapRestore);
    EXPECT_EQ("current", readFile(paths_.current));
}

TEST_F(ServiceOpsTest, DiscardRemovesTheBackupAndOtherTypesDoNothing) {
    writeFile(paths_.current, "current");
    writeFile(paths_.backup, "backup");
    VXPListSwapProfile(3);
    VXPListSwapProfile(-1);
    EXPECT_EQ("backup", readFile(paths_.backup));
    EXPECT_EQ("current", readFile(paths_.current));
    VXPListSwapProfile(kSwapDiscard);
    EXPECT_FALSE(exists(paths_.backup));
    EXPECT_EQ("current", readFile(paths_.current));
}

TEST(StorePathScope, NestsAndRestoresAndStaysOnItsThread) {
    EXPECT_EQ(nullptr, VX_PLIST_PROFILE_PATH);
    zrk::StorePaths outer{"/a/current", "/a/backup", "/a/spool"};
    zrk::StorePaths inner{"/b/current", "/b/backup", "/b/spool"};
    {
        zrk::StorePathScope first(outer);
        EXPECT_STREQ("/a/current", VX_PLIST_PROFILE_PATH);
        {
            zrk::StorePathScope second(inner);
            EXPECT_STREQ("/b/current", VX_PLIST_PROFILE_PATH);
            EXPECT_STREQ("/b/backup", VX_PLIST_PROFILE_PREV_PATH);
            EXPECT_STREQ("/b/spool", VX_PLIST_PROFILE_SPOOL_PATH);
            const char* seenElsewhere = "unset";
            std::thread([&] { seenElsewhere = VX_PLIST_PROFILE_PATH; }).join();
            EXPECT_EQ(nullptr, seenElsewhere);
        }
        EXPECT_STREQ("/a/spool", VX_PLIST_PROFILE_SPOOL_PATH);
    }
    EXPECT_EQ(nullptr, VX_PLIST_PROFILE_PREV_PATH);
}

class FixedPaths : public ::testing::Test {
protected:
    TempDir root_;
};

TEST_F(FixedPaths, ResolveUnderTheInstallationRoot) {
    {
        ScopedEnv env(zrk::kInstallRootVariable, "/");
        EXPECT_EQ(std::string(zrk::kHelperToolPath), zrk::resolveInstallPath(zrk::kHelperToolPath));
    }
    {
        ScopedEnv env(zrk::kInstallRootVariable, "/opt/zrk//");
        EXPECT_EQ("/opt/zrk/Library/Printers/Ostra/Products/ZR-K5100/Icons/fileExistZRK5100.icns",
                  zrk::resolveInstallPath(zrk::kOnPrinterIconPath));
    }
    ::unsetenv(zrk::kInstallRootVariable);
    EXPECT_EQ("/Applications/Download Manager ZR-K5100/Ostra Download Manager.app",
              zrk::resolveInstallPath(zrk::kDownloadManagerPath));
}

TEST_F(FixedPaths, StorePathsAreFormedFromUserAndModel) {
    ScopedEnv env(zrk::kInstallRootVariable, root_.path().string());
    zrk::StorePaths paths;
    ASSERT_TRUE(zrk::formStorePaths("carol", "zrk5100", &paths));
    const std::string dir =
        root_.path().string() + "/Library/Printers/Ostra/Preferences/com.ostra.printers.ZR-K5100/";
    EXPECT_EQ(dir + "carol-zrk5100-profile.plist", paths.current);
    EXPECT_EQ(dir + "carol-zrk5100-profile.prev.plist", paths.backup);
    EXPECT_EQ(dir + "carol-zrk5100-profile.spool.plist", paths.spool);
    // Conversions in a name are text, not formats.
    ASSERT_TRUE(zrk::formStorePaths("%s%n", "m%d", &paths));
    EXPECT_EQ(dir + "%s%n-m%d-profile.plist", paths.current);
}

TEST_F(FixedPaths, PathsThatDoNotFitOrLeaveTheDirectoryAreRefused) {
    ScopedEnv env(zrk::kInstallRootVariable, root_.path().string());
    zrk::StorePaths paths;
    paths.current = "untouched";
    for (const char* user : {"", ".", "..", "../../etc/x", "a/b"}) {
        EXPECT_FALSE(zrk::formStorePaths(user, "zrk5100", &paths)) << user;
    }
    EXPECT_FALSE(zrk::formStorePaths("dave", "", &paths));
    EXPECT_FALSE(zrk::formStorePaths("dave", "x/y", &paths));
    EXPECT_EQ("untouched", paths.current);

    // The spool path is the longest of the three: exactly 254 characters fit.
    const std::size_t base = zrk::resolveInstallPath(zrk::kPreferencesDirectory).size() +
                             std::string("-zrk5100-profile.spool.plist").size();
    ASSERT_LT(base, zrk::kMaxProfilePathLength);
    std::string user(zrk::kMaxProfilePathLength - base, 'u');
    ASSERT_TRUE(zrk::formStorePaths(user, "zrk5100", &paths));
    EXPECT_EQ(254u, paths.spool.size());
    EXPECT_FALSE(zrk::formStorePaths(user + "u", "zrk5100", &paths));
    EXPECT_EQ(254u, paths.spool.size()); // left as it was
}

struct URLCase {
    const char* name;
    const char* path;
    const char* url;
};

class FileURLs : public ::testing::TestWithParam<URLCase> {};

TEST_P(FileURLs, RoundTrip) {
    EXPECT_EQ(GetParam().url, zrk::fileURLFromPath(GetParam().path));
    std::string back;
    ASSERT_TRUE(zrk::pathFromFileURL(GetParam().url, &back));
    EXPECT_EQ(GetParam().path, back);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, FileURLs,
    ::testing::Values(URLCase{"Plain", "/tmp/a-b_c.d~e/f.plist", "file:///tmp/a-b_c.d~e/f.plist"},
                      URLCase{"Space", "/Library/Application Support/x",
                              "file:///Library/Application%20Support/x"},
                      URLCase{"Delimiters", "/a%b#c?d", "file:///a%25b%23c%3Fd"},
                      URLCase{"NonAscii", "/caf\xC3\xA9", "file:///caf%C3%A9"}),
    [](const ::testing::TestParamInfo<URLCase>& info) { return info.param.name; });

TEST(FileURLsRefused, MalformedURLsGiveNoPath) {
    std::string path = "untouched";
    for (const char* url : {"http://host/x", "file://relative", "file:", "file:///a%2",
                            "file:///a%zz", "file:///a%00b", "file:///a?q", ""}) {
        EXPECT_FALSE(zrk::pathFromFileURL(url, &path)) << url;
    }
    EXPECT_EQ("untouched", path);
    ASSERT_TRUE(zrk::pathFromFileURL("file://localhost/x", &path));
    EXPECT_EQ("/x", path);
}

TEST(AtomicWrite, ReplacesContentsAndFailsCleanlyInAMissingDirectory) {
    TempDir dir;
    std::string path = dir.file("f");
    writeFile(path, std::string(100000, 'a'));
    ASSERT_TRUE(zrk::writeFileAtomically(path, "short"));
    EXPECT_EQ("short", readFile(path));
    EXPECT_FALSE(zrk::writeFileAtomically(dir.file("none/f"), "x"));
    EXPECT_EQ(1, std::distance(std::filesystem::directory_iterator(dir.path()),
                               std::filesystem::directory_iterator()));
}

} // namespace
