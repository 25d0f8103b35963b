// The plug-in build of the store against the real helper and service: the
// helper is installed at its fixed path under the temporary installation
// root that the activated service uses too.
#include "InstallRoot.h"
#include "ServiceTestSupport.h"
#include "StoreTestSupport.h"
#include "VXPList.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace zrk::servicetest {
namespace {

namespace fs = std::filesystem;

class PluginRoundTrip : public ::testing::Test {
protected:
    void SetUp() override {
        root_ = std::make_unique<storetest::ScopedEnv>(kInstallRootVariable, bus_.root());
        const fs::path helper = resolveInstallPath(kHelperToolPath);
        fs::create_directories(helper.parent_path());
        fs::copy_file(ZRK_HELPER, helper);
        runtime_ = std::make_unique<storetest::ScopedEnv>("XDG_RUNTIME_DIR", runtimeDir_.path());
    }
    PrivateBus bus_;
    ScratchDir runtimeDir_;
    std::unique_ptr<storetest::ScopedEnv> root_;
    std::unique_ptr<storetest::ScopedEnv> runtime_;
};

TEST_F(PluginRoundTrip, ProbeWriteReadBackupAndRemove) {
    ASSERT_EQ(VXPListIsAdminProfile(), 1);
    EXPECT_EQ(VXPListExistProfile(), 0);

    // A full file is several write pieces long.
    auto rgb = storetest::listOf(
        {storetest::entry(1, kInMenuDevicePresentShown, "OFFSRGB.ICC", kLocationDisk, "Office sRGB",
                          1),
         storetest::entry(501, kInMenuUserShown, "MINE.ICC", kLocationCard, "Mine \xC3\xA9", 2)});
    auto sim = storetest::listOf(
        {storetest::entry(2, kInMenuDevicePresentHidden, "PRESSCT.ICC", kLocationDisk, "", 3)});
    auto dst = storetest::listOf({sim->litem[0]});
    ASSERT_EQ(VXPListWriteProfile_All(rgb.get(), sim.get(), dst.get()), 0);
    EXPECT_EQ(VXPListExistProfile(), 1);

    auto readRgb = storetest::newList();
    auto readSim = storetest::newList();
    auto readDst = storetest::newList();
    ASSERT_EQ(VXPListReadProfile_All(readRgb.get(), readSim.get(), readDst.get()), 0);
    const std::pair<const ProfileList*, const ProfileList*> groups[] = {
        {rgb.get(), readRgb.get()}, {sim.get(), readSim.get()}, {dst.get(), readDst.get()}};
    for (const auto& [written, read] : groups) {
        ASSERT_EQ(read->iNum, written->iNum);
        for (int i = 0; i < written->iNum; ++i) {
            EXPECT_TRUE(storetest::sameEntry(read->litem[i], written->litem[i])) << i;
        }
    }

    VXPListSwapProfile(kSwapBackup);
    const std::string prefs = bus_.preferences();
    std::string current;
    for (const auto& e : fs::directory_iterator(prefs)) {
        if (e.path().string().ends_with("-zrk5100-profile.plist")) {
            current = e.path().string();
        }
    }
    const std::string backup = current.substr(0, current.size() - 6) + ".prev.plist";
    EXPECT_EQ(readFile(backup), readFile(current));
    EXPECT_EQ(VXPListRemove(kRemoveBackupFile), 1);
    EXPECT_FALSE(exists(backup));
}

} // namespace
} // namespace zrk::servicetest
