// Profile entries in the profile menus and the profile chosen in the ticket.
#include "PanelFixture.h"

#include <AdvancedColorOptions.h>
#include <InstallRoot.h>
#include <ProfileMenuEntries.h>

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>

using namespace PDE;
using zrktest::Dialog;
using zrktest::removeProfileFile;
using zrktest::writeProfileFile;

namespace {

// RGB entries in states 2, 6, 1, 4; SIM and DST one shown entry each.
constexpr const char* kProfiles = R"({
  "RGB": [
    {"IndexOnDevice": 1, "InMenu": 2, "ProfileClass": 1, "Location": 4, "FileName": "HIDDEN.ICC", "ProfileName": "Hidden"},
    {"IndexOnDevice": 500, "InMenu": 6, "ProfileClass": 2, "Location": 5, "FileName": "MINE.ICC", "ProfileName": "Mine"},
    {"IndexOnDevice": 3, "InMenu": 1, "ProfileClass": 1, "Location": 4, "FileName": "GONE.ICC", "ProfileName": "Gone"},
    {"IndexOnDevice": 4, "InMenu": 4, "ProfileClass": 2, "Location": 4, "FileName": "STD.ICC", "ProfileName": "Standard"}
  ],
  "SIM": [
    {"IndexOnDevice": 7, "InMenu": 3, "ProfileClass": 3, "Location": 4, "FileName": "PRESS.ICC", "ProfileName": "Press"}
  ],
  "DST": [
    {"IndexOnDevice": 7, "InMenu": 4, "ProfileClass": 3, "Location": 5, "FileName": "PAPER.ICC", "ProfileName": "Paper"}
  ]
})";

constexpr const char* kWithoutStandard = R"({
  "RGB": [
    {"IndexOnDevice": 500, "InMenu": 6, "ProfileClass": 2, "Location": 5, "FileName": "MINE.ICC", "ProfileName": "Mine"}
  ], "SIM": [], "DST": []
})";

class ProfileMenus : public testing::Test {
protected:
    void SetUp() override { writeProfileFile(kProfiles); }
    void TearDown() override { removeProfileFile(); }
};

} // namespace

TEST_F(ProfileMenus, OfferedEntriesFollowThePPDChoicesInSlotOrder) {
    Dialog dialog(zrktest::bundledPPD());
    dialog.panel().restoreValuesAndReturnError(nullptr);
    for (const char* outlet : {"menu_iRGBSource", "menu_tRGBSource", "menu_gRGBSource"}) {
        QComboBox* menu = dialog.popUp(outlet);
        ASSERT_EQ(menu->count(), 4 + 2) << outlet;
        EXPECT_EQ(menu->itemText(3), u"eciRGB v2");
        EXPECT_EQ(menu->itemText(4), u"MINE.ICC(Mine)Card");
        EXPECT_EQ(menu->itemText(5), u"STD.ICC(Standard)Disk");
    }
    EXPECT_EQ(dialog.popUp("menu_sSimulationProfile")->itemText(5), u"PRESS.ICC(Press)Disk");
    EXPECT_EQ(dialog.popUp("menu_gDestinationProfile")->itemText(4), u"PAPER.ICC(Paper)Card");
    // Menus without a profile list get nothing.
    EXPECT_EQ(dialog.popUp("menu_iRGBIntent")->count(), 4);
}

TEST_F(ProfileMenus, ChosenProfileIsKeptAsItsPrinterPath) {
    Dialog dialog(zrktest::bundledPPD());
    dialog.panel().restoreValuesAndReturnError(nullptr);
    dialog.choose("menu_QuickColor", 3);
    dialog.choose("menu_iRGBSource", 5); // the second profile entry
    dialog.panel().saveValuesAndReturnError(nullptr);

    const QByteArray path = "/ata1a/data/USfiles/Profiles/STD.ICC";
    EXPECT_EQ(dialog.modelString("VXImageRGBSourceCustom"), "True");
    EXPECT_EQ(dialog.modelString("VXImageRGBSourceCustomFilename"),
              encodeNibbleText(path).toStdString());
    // The option itself carries the first PPD choice.
    EXPECT_EQ(dialog.modelString("VXImageRGBSource"), "None");
    EXPECT_EQ(dialog.topLevelString("VXImageRGBSourceCustom"), "True");
    EXPECT_EQ(dialog.modelString("VXTextRGBSourceCustom"), "False");

    dialog.reopenPanel();
    dialog.panel().restoreValuesAndReturnError(nullptr);
    EXPECT_EQ(dialog.popUp("menu_iRGBSource")->currentIndex(), 5);

    // Gone from the file: the menu falls back to the PPD default.
    writeProfileFile(kWithoutStandard);
    dialog.reopenPanel();
    dialog.panel().restoreValuesAndReturnError(nullptr);
    EXPECT_EQ(dialog.popUp("menu_iRGBSource")->currentIndex(), 1);
}

TEST_F(ProfileMenus, SelectionFollowsThePathNotTheSlot) {
    Dialog dialog(zrktest::bundledPPD());
    dialog.panel().restoreValuesAndReturnError(nullptr);
    dialog.choose("menu_QuickColor", 3);
    dialog.choose("menu_gDestinationProfile", 4);
    dialog.panel().saveValuesAndReturnError(nullptr);
    EXPECT_EQ(dialog.modelString("VXGraphicsDestinationProfileCustomFilename"),
              encodeNibbleText("/ataCf1a/data/USfiles/Profiles/PAPER.ICC").toStdString());

    // The same profile in another slot is still found.
    writeProfileFile(R"({"RGB": [], "SIM": [], "DST": [
      {"IndexOnDevice": 9, "InMenu": 6, "ProfileClass": 2, "Location": 4, "FileName": "NEW.ICC", "ProfileName": "New"},
      {"IndexOnDevice": 7, "InMenu": 4, "ProfileClass": 3, "Location": 5, "FileName": "PAPER.ICC", "ProfileName": "Paper"}]})");
    dialog.reopenPanel();
    dialog.panel().restoreValuesAndReturnError(nullptr);
    EXPECT_EQ(dialog.popUp("menu_gDestinationProfile")->currentIndex(), 5);
}

TEST_F(ProfileMenus, RecordingAndReadingBackDirectly) {
    Dialog dialog(zrktest::bundledPPD());
    dialog.panel().restoreValuesAndReturnError(nullptr);
    const ControlTableEntry* imageSource = &dialog.panel().combinedTable()[13];
    ASSERT_STREQ(imageSource->ppdKeyword, "VXImageRGBSource");
    plist_t model =
        PDECommon::commonGetModelDictionary(dialog.printSettings(), dialog.printSession());
    EXPECT_EQ(PDECommon::commonSetTicketAddedProfile(imageSource, model, 2), 0);
    EXPECT_EQ(PDECommon::commonGetTicketAddedProfile(imageSource, model), 2);
    // Beyond the offered entries: the empty path, read back as no profile.
    EXPECT_EQ(PDECommon::commonSetTicketAddedProfile(imageSource, model, 3), 0);
    EXPECT_EQ(dialog.modelString("VXImageRGBSourceCustomFilename"), "");
    EXPECT_EQ(PDECommon::commonGetTicketAddedProfileFlag(imageSource, model), u"True");
    EXPECT_EQ(PDECommon::commonGetTicketAddedProfile(imageSource, model), 0);

    // Rows without a profile list, and a missing dictionary.
    const ControlTableEntry* intent = imageSource + 1;
    EXPECT_EQ(PDECommon::commonSetTicketAddedProfile(intent, model, 1), -1);
    EXPECT_EQ(PDECommon::commonGetTicketAddedProfile(intent, model), -1);
    EXPECT_EQ(PDECommon::commonGetTicketAddedProfile(imageSource, nullptr), -1);
    EXPECT_TRUE(PDECommon::commonGetTicketAddedProfileFlag(intent, model).isNull());

    // A stored path that does not decode to UTF-8 or is too long reads as none.
    plist_dict_set_item(model, "VXImageRGBSourceCustomFilename", plist_new_string("??"));
    EXPECT_EQ(PDECommon::commonGetTicketAddedProfile(imageSource, model), 0);
    plist_dict_set_item(model, "VXImageRGBSourceCustomFilename",
                        plist_new_string(std::string(1024, '3').c_str()));
    EXPECT_EQ(PDECommon::commonGetTicketAddedProfile(imageSource, model), 0);
}

namespace {

QString quoted(const QString& path) {
    return "'" + QString(path).replace("'", "'\\''") + "'";
}

// A stand-in helper under the private installation root: every request
// succeeds, and a walk replaces the profile file with `afterWalk`, the way
// the service's merge rewrites it.
class RefreshedProfileMenus : public testing::Test {
protected:
    void SetUp() override {
        helper_ = QString::fromStdString(zrk::resolveInstallPath(zrk::kHelperToolPath));
        afterWalk_ = qEnvironmentVariable("ZRK5100_ROOT") + "/after-walk.plist";
        QDir().mkpath(QFileInfo(helper_).path());
        QFile script(helper_);
        ASSERT_TRUE(script.open(QIODevice::WriteOnly | QIODevice::Truncate));
        script.write(
            QStringLiteral("#!/bin/sh\n"
                           "case \"$1\" in\n"
                           "  mibwalk_XPC) cp %1 %2; echo mibwalk_XPC=iRet=0 ;;\n"
                           "  *) echo \"$1=TRUE\" ;;\n"
                           "esac\n")
                .arg(quoted(afterWalk_), quoted(QString::fromStdString(zrktest::profileFilePath())))
                .toUtf8());
        script.close();
        script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    void TearDown() override {
        QFile::remove(helper_);
        QFile::remove(afterWalk_);
        removeProfileFile();
    }
    // The file as the panel first finds it, and as the walk rewrites it.
    void profileFiles(const char* before, const char* after) {
        writeProfileFile(after);
        QFile::remove(afterWalk_);
        ASSERT_TRUE(QFile::copy(QString::fromStdString(zrktest::profileFilePath()), afterWalk_));
        writeProfileFile(before);
    }
    static QStringList profileItems(QComboBox* menu, int ppdItems) {
        QStringList items;
        for (int i = ppdItems; i < menu->count(); ++i)
            items << menu->itemText(i);
        return items;
    }

    QString helper_;
    QString afterWalk_;
};

QByteArray diskPath(const char* fileName) {
    return QByteArray("/ata1a/data/USfiles/Profiles/") + fileName;
}

std::string nibbles(const QByteArray& path) {
    return encodeNibbleText(path).toStdString();
}

} // namespace

// The walk rewrites the file the menus were built from: the menus follow the
// rewritten file, and a choice records the entry its item shows.
TEST_F(RefreshedProfileMenus, MenusAndChoicesFollowTheRewrittenFile) {
    // A and B shown; the merge refuses the name "BAD NAME" and deletes it.
    constexpr const char* kBefore = R"({"RGB": [
      {"IndexOnDevice": 1, "InMenu": 4, "ProfileClass": 1, "Location": 4, "FileName": "BAD NAME", "ProfileName": "Bad"},
      {"IndexOnDevice": 2, "InMenu": 4, "ProfileClass": 1, "Location": 4, "FileName": "A.ICC", "ProfileName": "A"},
      {"IndexOnDevice": 3, "InMenu": 6, "ProfileClass": 2, "Location": 4, "FileName": "B.ICC", "ProfileName": "B"}
    ], "SIM": [], "DST": []})";
    struct Case {
        const char* name;
        const char* after;
        QStringList items;
    };
    const Case cases[] = {
        {"entry deleted",
         R"({"RGB": [
           {"IndexOnDevice": 2, "InMenu": 4, "ProfileClass": 1, "Location": 4, "FileName": "A.ICC", "ProfileName": "A"},
           {"IndexOnDevice": 3, "InMenu": 6, "ProfileClass": 2, "Location": 4, "FileName": "B.ICC", "ProfileName": "B"}
         ], "SIM": [], "DST": []})",
         {"A.ICC(A)Disk", "B.ICC(B)Disk"}},
        {"order changed",
         R"({"RGB": [
           {"IndexOnDevice": 3, "InMenu": 6, "ProfileClass": 2, "Location": 4, "FileName": "B.ICC", "ProfileName": "B"},
           {"IndexOnDevice": 2, "InMenu": 4, "ProfileClass": 1, "Location": 4, "FileName": "A.ICC", "ProfileName": "A"},
           {"IndexOnDevice": 1, "InMenu": 4, "ProfileClass": 1, "Location": 4, "FileName": "BAD NAME", "ProfileName": "Bad"}
         ], "SIM": [], "DST": []})",
         {"B.ICC(B)Disk", "A.ICC(A)Disk", "BAD NAME(Bad)Disk"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        profileFiles(kBefore, c.after);
        Dialog dialog(zrktest::bundledPPD(), "ZR-K5100", "lpd://127.0.0.1/queue");
        ASSERT_NE(dialog.panel().panelView(), nullptr); // loads, then refreshes
        dialog.panel().restoreValuesAndReturnError(nullptr);
        for (const char* outlet : {"menu_iRGBSource", "menu_tRGBSource", "menu_gRGBSource"})
            EXPECT_EQ(profileItems(dialog.popUp(outlet), 4).join(" | "), c.items.join(" | "))
                << outlet;

        dialog.choose("menu_QuickColor", 3);
        dialog.choose("menu_iRGBSource", 4); // the first profile entry
        dialog.panel().saveValuesAndReturnError(nullptr);
        const QString shown = dialog.popUp("menu_iRGBSource")->itemText(4);
        const QByteArray fileName = shown.left(shown.indexOf(u'(')).toUtf8();
        EXPECT_EQ(dialog.modelString("VXImageRGBSourceCustomFilename"),
                  nibbles(diskPath(fileName)));
    }
}

// A panel restored before the refresh: the rebuilt menus show the entry the
// ticket records, found by its path, and the rules have run again.
TEST_F(RefreshedProfileMenus, TicketSelectionIsAppliedAgainByPath) {
    constexpr const char* kBefore = R"({"RGB": [
      {"IndexOnDevice": 2, "InMenu": 4, "ProfileClass": 1, "Location": 4, "FileName": "A.ICC", "ProfileName": "A"},
      {"IndexOnDevice": 3, "InMenu": 6, "ProfileClass": 2, "Location": 4, "FileName": "B.ICC", "ProfileName": "B"}
    ], "SIM": [], "DST": []})";
    constexpr const char* kAfter = R"({"RGB": [
      {"IndexOnDevice": 3, "InMenu": 6, "ProfileClass": 2, "Location": 4, "FileName": "B.ICC", "ProfileName": "B"},
      {"IndexOnDevice": 9, "InMenu": 4, "ProfileClass": 1, "Location": 5, "FileName": "NEW.ICC", "ProfileName": "New"}
    ], "SIM": [], "DST": []})";
    profileFiles(kBefore, kAfter);
    Dialog dialog(zrktest::bundledPPD(), "ZR-K5100", "lpd://127.0.0.1/queue");
    {
        // A first opening, without refresh: B is chosen and saved.
        const QString helper = helper_ + ".away";
        ASSERT_TRUE(QFile::rename(helper_, helper));
        dialog.panel().restoreValuesAndReturnError(nullptr);
        dialog.choose("menu_QuickColor", 3);
        dialog.choose("menu_iRGBSource", 5);
        dialog.choose("menu_tRGBSource", 4);
        dialog.panel().saveValuesAndReturnError(nullptr);
        ASSERT_TRUE(QFile::rename(helper, helper_));
    }
    dialog.reopenPanel();
    dialog.panel().restoreValuesAndReturnError(nullptr); // menus from the file before the walk
    dialog.panel().panelView();                          // the walk rewrites it
    QComboBox* image = dialog.popUp("menu_iRGBSource");
    EXPECT_EQ(image->currentText(), u"B.ICC(B)Disk");
    // A is gone: the text menu falls back to the PPD default.
    EXPECT_EQ(dialog.popUp("menu_tRGBSource")->currentIndex(), 1);
    dialog.panel().saveValuesAndReturnError(nullptr);
    EXPECT_EQ(dialog.modelString("VXImageRGBSourceCustomFilename"), nibbles(diskPath("B.ICC")));
    EXPECT_EQ(dialog.modelString("VXTextRGBSourceCustom"), "False");
}

TEST(ProfileMenuText, NibbleTextRoundTrip) {
    struct Case {
        QByteArray bytes;
        QByteArray text;
    };
    const Case cases[] = {
        {"/", "2?"},
        {"A", "41"},
        {"\xe2\x82\xac", ">282:<"},
        {"", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(encodeNibbleText(c.bytes), c.text);
        EXPECT_EQ(decodeNibbleText(c.text), c.bytes);
    }
    // An odd text pairs its last character with the terminating NUL.
    EXPECT_EQ(decodeNibbleText("2?4"), QByteArray("/\x10", 2));
}

TEST(ProfileMenuText, TitlesAndPathsByLocation) {
    ProfileEntry entry{};
    std::strcpy(entry.FileName, "STD.ICC");
    std::strcpy(entry.ProfileName, "Standard");
    struct Case {
        int32_t location;
        const char* title;
        const char* path;
    };
    const Case cases[] = {
        {4, "STD.ICC(Standard)Disk", "/ata1a/data/USfiles/Profiles/STD.ICC"},
        {5, "STD.ICC(Standard)Card", "/ataCf1a/data/USfiles/Profiles/STD.ICC"},
        {3, "STD.ICC(Standard)", ""},
    };
    for (const Case& c : cases) {
        entry.iLocation = c.location;
        EXPECT_EQ(menuTitleOfEntry(entry).value_or(QString()), QString::fromUtf8(c.title));
        EXPECT_EQ(printerPathOfEntry(entry), QByteArray(c.path));
    }
}

TEST(ProfileMenuFile, UnreadableProfileFileAppendsNothing) {
    removeProfileFile();
    Dialog dialog(zrktest::bundledPPD());
    dialog.panel().restoreValuesAndReturnError(nullptr);
    EXPECT_EQ(dialog.popUp("menu_iRGBSource")->count(), 4);
    EXPECT_EQ(PDECommon::commonAddMenuFromProfilePlist(dialog.panel().combinedTable()), -1);
}
