// Profile entries in the profile menus and the profile chosen in the ticket.
#include "PanelFixture.h"

#include <ProfileMenuEntries.h>

#include <QComboBox>

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
