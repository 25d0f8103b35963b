// The Profile Management window, driven through its actions the way the
// user's clicks drive it (without running it modally).
#include "PanelFixture.h"

#include <InstallRoot.h>
#include <PDEPlugInAPI.h>
#include <ProfileControl.h>
#include <VXTextField.h>

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QFile>
#include <QFontDatabase>
#include <QHeaderView>
#include <QIcon>
#include <QLabel>
#include <QLayout>
#include <QPushButton>
#include <QTableView>

#include <filesystem>

using namespace PDE;
using zrktest::Dialog;

namespace {

// RGB: a device entry found by the last walk (2), one shown (4), one absent
// hidden (1), a user entry (6), a user hidden entry (5).
constexpr const char* kProfiles = R"({
  "RGB": [
    {"IndexOnDevice": 1, "InMenu": 2, "ProfileClass": 1, "Location": 4, "FileName": "A.ICC", "ProfileName": "A"},
    {"IndexOnDevice": 2, "InMenu": 4, "ProfileClass": 1, "Location": 4, "FileName": "B.ICC", "ProfileName": "B"},
    {"IndexOnDevice": 3, "InMenu": 1, "ProfileClass": 1, "Location": 5, "FileName": "C.ICC", "ProfileName": "C"},
    {"IndexOnDevice": 503, "InMenu": 6, "ProfileClass": 2, "Location": 4, "FileName": "D.ICC", "ProfileName": "D"},
    {"IndexOnDevice": 504, "InMenu": 5, "ProfileClass": 2, "Location": 5, "FileName": "E.ICC", "ProfileName": "E"}
  ], "SIM": [], "DST": [
    {"IndexOnDevice": 9, "InMenu": 3, "ProfileClass": 3, "Location": 4, "FileName": "P.ICC", "ProfileName": "P"}
  ]})";

class ProfileWindow : public testing::Test {
protected:
    void SetUp() override { zrktest::writeProfileFile(kProfiles); }
    void TearDown() override { zrktest::removeProfileFile(); }

    ProfileControl* open(Dialog& dialog) {
        dialog.panel().restoreValuesAndReturnError(nullptr);
        auto* control = dialog.panel().panelView()->findChild<ProfileControl*>(
            QStringLiteral("profileControl"));
        EXPECT_NE(control, nullptr);
        EXPECT_TRUE(control && control->initWithProfileControl());
        return control;
    }
    template <typename T> static T* child(ProfileControl* control, const char* name) {
        return control->window()->findChild<T*>(QLatin1String(name));
    }
    static void select(ProfileControl* control, int row) {
        child<QTableView>(control, "_profileTableView")->selectRow(row);
    }
    static void fill(ProfileControl* control, const char* file, const char* profile, int location) {
        child<VXTextField>(control, "_fileNameEdit")->setText(QString::fromUtf8(file));
        child<VXTextField>(control, "_profileNameEdit")->setText(QString::fromUtf8(profile));
        child<QComboBox>(control, "_locationMenu")->setCurrentIndex(location);
    }
    static bool enabled(ProfileControl* control, const char* name) {
        return child<QWidget>(control, name)->isEnabled();
    }
};

} // namespace

TEST_F(ProfileWindow, PreparedWithTheWorkingListsInBrowsingMode) {
    Dialog dialog(zrktest::bundledPPD(), "Q", "lpd://printer/queue");
    ProfileControl* control = open(dialog);
    EXPECT_EQ(control->mode(), kModeBrowsing);
    EXPECT_EQ(control->protocol(), 0);
    EXPECT_EQ(control->numberOfRowsInTableView(), 5);
    EXPECT_TRUE(enabled(control, "_addButton"));
    EXPECT_FALSE(enabled(control, "_editButton"));
    EXPECT_FALSE(enabled(control, "_deleteButton"));
    EXPECT_FALSE(enabled(control, "_fileNameEdit"));
    EXPECT_FALSE(enabled(control, "_localOK"));
    EXPECT_EQ(control->objectValueForTableColumn("filename", 1, Qt::DisplayRole).toString(),
              u"B.ICC");
    EXPECT_EQ(control->objectValueForTableColumn("location", 2, Qt::DisplayRole).toString(),
              u"Card");
    EXPECT_EQ(control->objectValueForTableColumn("inmenu", 1, Qt::CheckStateRole), Qt::Checked);
    EXPECT_EQ(control->objectValueForTableColumn("inmenu", 0, Qt::CheckStateRole), Qt::Unchecked);
    child<QComboBox>(control, "_profileMenu")->setCurrentIndex(2);
    control->profileMenu(nullptr);
    EXPECT_EQ(control->numberOfRowsInTableView(), 1);
}

TEST_F(ProfileWindow, DeleteIsOfferedForEveryEntryButThosePresentOnThePrinter) {
    Dialog dialog(zrktest::bundledPPD());
    ProfileControl* control = open(dialog);
    const bool deletable[] = {false, false, true, true, true};
    for (int row = 0; row < 5; ++row) {
        select(control, row);
        EXPECT_TRUE(enabled(control, "_editButton")) << row;
        EXPECT_EQ(enabled(control, "_deleteButton"), deletable[row]) << row;
    }
}

TEST_F(ProfileWindow, InMenuCheckBoxTogglesTheStates) {
    Dialog dialog(zrktest::bundledPPD());
    ProfileControl* control = open(dialog);
    const int32_t toggled[] = {4, 2, 3, 5, 6};
    for (int row = 0; row < 5; ++row) {
        const int32_t before = control->workingList(0).litem[row].iInMenu;
        control->setObjectValueForTableColumn("inmenu", row);
        EXPECT_EQ(control->workingList(0).litem[row].iInMenu, toggled[row]);
        control->setObjectValueForTableColumn("inmenu", row);
        EXPECT_EQ(control->workingList(0).litem[row].iInMenu, before);
    }
    // Other columns never change a state.
    control->setObjectValueForTableColumn("filename", 0);
    EXPECT_EQ(control->workingList(0).litem[0].iInMenu, 2);
}

TEST_F(ProfileWindow, AddingChecksFileNameAndLocation) {
    Dialog dialog(zrktest::bundledPPD());
    ProfileControl* control = open(dialog);
    control->addButton(nullptr);
    EXPECT_EQ(control->mode(), kModeAdding);
    EXPECT_FALSE(enabled(control, "_profileMenu"));
    EXPECT_FALSE(enabled(control, "_localOK"));

    // Same file name on the same location: refused, the window stays in adding.
    fill(control, "D.ICC", "Again", 0);
    control->profileOK(nullptr);
    EXPECT_EQ(control->numberOfRowsInTableView(), 5);
    EXPECT_EQ(control->mode(), kModeAdding);
    // Silent to the user; the reason is kept for a scripting host.
    EXPECT_TRUE(control->window()
                    ->property(PrintHost::ControlProperty::kRefusal)
                    .toString()
                    .contains(u"D.ICC"));
    // A name starting with "." never goes in.
    fill(control, ".hidden", "Dot", 0);
    control->profileOK(nullptr);
    EXPECT_EQ(control->numberOfRowsInTableView(), 5);

    // The same file name on the card is another profile.
    fill(control, "D.ICC", "On card", 1);
    control->profileOK(nullptr);
    ASSERT_EQ(control->numberOfRowsInTableView(), 6);
    const ProfileEntry& added = control->workingList(0).litem[5];
    EXPECT_STREQ(added.FileName, "D.ICC");
    EXPECT_STREQ(added.ProfileName, "On card");
    EXPECT_EQ(added.iLocation, kLocationCard);
    EXPECT_EQ(added.iInMenu, kInMenuUserShown);
    EXPECT_EQ(added.iProfileClass, 2);
    EXPECT_EQ(added.iDriver, 3);
    EXPECT_EQ(added.iIndexOnDevice, 505);
    EXPECT_EQ(control->mode(), kModeBrowsing);
    EXPECT_TRUE(enabled(control, "_profileMenu"));
}

TEST_F(ProfileWindow, EditingAPrinterEntryChangesOnlyItsDisplayName) {
    Dialog dialog(zrktest::bundledPPD());
    ProfileControl* control = open(dialog);
    select(control, 1);
    control->editButton(nullptr);
    EXPECT_EQ(control->mode(), kModeEditing);
    EXPECT_FALSE(enabled(control, "_fileNameEdit"));
    EXPECT_TRUE(enabled(control, "_profileNameEdit"));
    fill(control, "NEW.ICC", "Renamed", 1);
    control->profileOK(nullptr);
    const ProfileEntry& entry = control->workingList(0).litem[1];
    EXPECT_STREQ(entry.FileName, "B.ICC");
    EXPECT_EQ(entry.iLocation, kLocationDisk);
    EXPECT_STREQ(entry.ProfileName, "Renamed");
}

TEST_F(ProfileWindow, EditingAUserEntryMayMoveItButNotOntoAnother) {
    Dialog dialog(zrktest::bundledPPD());
    ProfileControl* control = open(dialog);
    select(control, 3); // D.ICC on disk, a user entry
    control->editButton(nullptr);
    EXPECT_TRUE(enabled(control, "_fileNameEdit"));
    // Its own name and place are no duplicate of itself.
    fill(control, "D.ICC", "Mine", 0);
    control->profileOK(nullptr);
    EXPECT_STREQ(control->workingList(0).litem[3].ProfileName, "Mine");

    select(control, 3);
    control->editButton(nullptr);
    fill(control, "C.ICC", "Clash", 1); // C.ICC is on the card already
    control->profileOK(nullptr);
    EXPECT_STREQ(control->workingList(0).litem[3].FileName, "D.ICC");
    control->profileCancel(nullptr);

    select(control, 3);
    control->editButton(nullptr);
    fill(control, "C.ICC", "Moved", 0); // C.ICC on disk is free
    control->profileOK(nullptr);
    EXPECT_STREQ(control->workingList(0).litem[3].FileName, "C.ICC");
    EXPECT_EQ(control->workingList(0).litem[3].iLocation, kLocationDisk);
}

TEST_F(ProfileWindow, DeletingCompactsTheListAndCancellingKeepsTheFile) {
    Dialog dialog(zrktest::bundledPPD());
    ProfileControl* control = open(dialog);
    select(control, 2);
    control->deleteButton(nullptr);
    ASSERT_EQ(control->numberOfRowsInTableView(), 4);
    EXPECT_STREQ(control->workingList(0).litem[2].FileName, "D.ICC");
    EXPECT_EQ(control->workingList(0).litem[4].iInMenu, 0);
    // Nothing stays selected, and the deleted entry's names are gone.
    EXPECT_FALSE(child<QTableView>(control, "_profileTableView")->selectionModel()->hasSelection());
    EXPECT_EQ(child<VXTextField>(control, "_fileNameEdit")->text(), u"");
    EXPECT_EQ(child<VXTextField>(control, "_profileNameEdit")->text(), u"");
    // Not a usb or pap queue: nothing is recorded as deleted.
    EXPECT_EQ(control->deletedList(0).iNum, 0);

    control->profileWindowCancel(nullptr);
    ASSERT_TRUE(control->initWithProfileControl());
    EXPECT_EQ(control->numberOfRowsInTableView(), 5);
}

// A write that does not happen (here: no helper tool, as when the service
// refuses it or another dialog of the user holds the write) is never lost
// silently: the window keeps its edits and says so, and so does the panel.
TEST_F(ProfileWindow, ALostWriteKeepsTheWindowOpenAndSaysSo) {
    Dialog dialog(zrktest::bundledPPD());
    ProfileControl* control = open(dialog);
    auto fileBytes = [] {
        QFile file(QString::fromStdString(zrktest::profileFilePath()));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };
    const QByteArray before = fileBytes();
    select(control, 2);
    control->deleteButton(nullptr);
    control->window()->show();
    control->profileWindowOK(nullptr);
    EXPECT_TRUE(control->window()->isVisible());
    EXPECT_EQ(control->numberOfRowsInTableView(), 4) << "the edits are kept";
    EXPECT_FALSE(control->window()->property("pdeRefusal").toString().isEmpty());
    auto* inWindow = child<QLabel>(control, "text_ProfilesNotSaved");
    ASSERT_NE(inWindow, nullptr);
    EXPECT_TRUE(inWindow->isVisible());
    EXPECT_FALSE(inWindow->text().isEmpty());
    auto* onPanel =
        dialog.panel().panelView()->findChild<QLabel*>(QStringLiteral("text_ProfilesNotSaved"));
    ASSERT_NE(onPanel, nullptr);
    EXPECT_FALSE(onPanel->isHidden());
    EXPECT_EQ(onPanel->text(), inWindow->text());
    control->profileWindowCancel(nullptr);
    EXPECT_EQ(fileBytes(), before);
}

TEST_F(ProfileWindow, QueuesThatCannotBeWalkedRecordEditsAndDeletions) {
    Dialog dialog(zrktest::bundledPPD(), "Q", "usb://Ostra/ZR-K5100");
    ProfileControl* control = open(dialog);
    EXPECT_EQ(control->protocol(), 3);
    // Read for such a queue: state 2 is hidden, state 4 shows as a user entry.
    ASSERT_EQ(control->numberOfRowsInTableView(), 4);
    EXPECT_STREQ(control->workingList(0).litem[0].FileName, "B.ICC");
    EXPECT_EQ(control->workingList(0).litem[0].iInMenu, kInMenuUserShown);

    select(control, 0);
    control->editButton(nullptr);
    fill(control, "B2.ICC", "B two", 0);
    control->profileOK(nullptr);
    ASSERT_EQ(control->deletedList(0).iNum, 1);
    EXPECT_STREQ(control->deletedList(0).litem[0].FileName, "B.ICC");

    select(control, 1);
    control->deleteButton(nullptr);
    ASSERT_EQ(control->deletedList(0).iNum, 2);
    EXPECT_STREQ(control->deletedList(0).litem[1].FileName, "C.ICC");
}

TEST_F(ProfileWindow, BrowsedNamesMustBeFileNames) {
    Dialog dialog(zrktest::bundledPPD());
    ProfileControl* control = open(dialog);
    control->addButton(nullptr);
    struct Case {
        const char* chosen;
        const char* field; // null: refused, field empty and OK disabled
    };
    const Case cases[] = {
        {"/profiles/Office.icc", "Office.icc"},
        // What typing takes and the refresh's merge keeps: 27 characters
        // before the dot, 3 after it.
        {"/profiles/ABCDEFGHIJKLMNOPQRSTUVWXYZ0", "ABCDEFGHIJKLMNOPQRSTUVWXYZ0"},
        {"/profiles/ABCDEFGHIJKLMNOPQRSTUVWXYZ0.ICC", "ABCDEFGHIJKLMNOPQRSTUVWXYZ0.ICC"},
        {"/profiles/ABCDEFGHIJKLMNOPQRSTUVWXYZ012", nullptr},
        {"/profiles/ABCDEFGHIJKLMNOPQRSTUVWXYZ01.ICC", nullptr},
        {"/profiles/Office.iccx", nullptr},
        {"/profiles/ABCDEFGHIJKLMNOPQRSTUVWXYZ012345", nullptr},
        {"/profiles/my profile.icc", nullptr},
        {"/profiles/a.b.c", nullptr},
        {"", nullptr},
    };
    for (const Case& c : cases) {
        control->setFileChooser([&](const QString&) { return QString::fromUtf8(c.chosen); });
        child<VXTextField>(control, "_fileNameEdit")->setText(QStringLiteral("before"));
        control->browseButton(nullptr);
        const QString text = child<VXTextField>(control, "_fileNameEdit")->text();
        if (!*c.chosen) {
            EXPECT_EQ(text, u"before"); // cancelled: nothing changes
        } else if (c.field) {
            EXPECT_EQ(text, QString::fromUtf8(c.field)) << c.chosen;
            EXPECT_TRUE(enabled(control, "_localOK")) << c.chosen;
        } else {
            EXPECT_EQ(text, u"") << c.chosen;
            EXPECT_FALSE(enabled(control, "_localOK")) << c.chosen;
            EXPECT_FALSE(control->window()->property("pdeRefusal").toString().isEmpty())
                << c.chosen << ": the window gives a reason";
        }
    }
}

TEST_F(ProfileWindow, WithoutAGroupTheTableIsEmptyAndActionsDoNothing) {
    Dialog dialog(zrktest::bundledPPD());
    ProfileControl* control = open(dialog);
    child<QComboBox>(control, "_profileMenu")->setCurrentIndex(-1);
    EXPECT_EQ(control->numberOfRowsInTableView(), 0);
    EXPECT_EQ(control->objectValueForTableColumn("filename", 0, Qt::DisplayRole).toString(), u"");
    control->addButton(nullptr);
    fill(control, "X.ICC", "X", 0);
    control->profileOK(nullptr);
    control->deleteButton(nullptr);
    EXPECT_EQ(control->workingList(0).iNum, 5);
}

TEST_F(ProfileWindow, EveryWayOutOfAnEditLeavesTheTableSelectable) {
    Dialog dialog(zrktest::bundledPPD());
    ProfileControl* control = open(dialog);
    using Close = void (*)(ProfileControl*);
    const std::pair<const char*, Close> closes[] = {
        {"cancel", [](ProfileControl* c) { c->profileWindowCancel(nullptr); }},
        {"escape or title bar", [](ProfileControl* c) { c->window()->reject(); }},
        // Here no service writes the file: OK keeps the window open (see
        // ALostWriteKeepsTheWindowOpenAndSaysSo) and Cancel then closes it.
        {"ok, then cancel",
         [](ProfileControl* c) {
             c->profileWindowOK(nullptr);
             c->profileWindowCancel(nullptr);
         }},
    };
    for (const auto& [how, close] : closes) {
        for (const bool adding : {true, false}) {
            select(control, 3);
            adding ? control->addButton(nullptr) : control->editButton(nullptr);
            ASSERT_NE(control->mode(), kModeBrowsing);
            close(control);
            EXPECT_EQ(control->mode(), kModeBrowsing) << how;
            ASSERT_TRUE(control->initWithProfileControl());
            select(control, 2);
            EXPECT_TRUE(enabled(control, "_editButton"))
                << how << (adding ? " adding" : " editing");
            EXPECT_TRUE(enabled(control, "_deleteButton")) << how;
        }
    }
}

TEST_F(ProfileWindow, OnPrinterIconForPresentEntriesOfNetworkQueues) {
    const std::filesystem::path icon = zrk::resolveInstallPath(zrk::kOnPrinterIconPath);
    std::filesystem::create_directories(icon.parent_path());
    std::filesystem::copy_file(ZRK_TEST_ON_PRINTER_ICON, icon,
                               std::filesystem::copy_options::overwrite_existing);
    struct Case {
        const char* uri;
        bool shown;
    };
    for (const Case& c : {Case{"lpd://printer/queue", true}, Case{"socket://printer", false}}) {
        Dialog dialog(zrktest::bundledPPD(), "Q", c.uri);
        ProfileControl* control = open(dialog);
        for (int row = 0; row < 5; ++row) {
            const int32_t state = control->workingList(0).litem[row].iInMenu;
            const QVariant image =
                control->objectValueForTableColumn("icon", row, Qt::DecorationRole);
            const bool present =
                state == kInMenuDevicePresentHidden || state == kInMenuDevicePresentShown;
            // The icon file is a PNG under the fixed name: it must render.
            EXPECT_EQ(!image.value<QIcon>().pixmap(16, 16).isNull(), c.shown && present)
                << c.uri << " " << row;
        }
    }
    std::filesystem::remove(icon);
}

TEST_F(ProfileWindow, WholeNamesAtTheDefaultSize) {
    Dialog dialog(zrktest::bundledPPD(), "Q", "lpd://printer/queue");
    ProfileControl* control = open(dialog);
    QDialog* window = control->window();
    window->setAttribute(Qt::WA_DontShowOnScreen, true);
    window->show();
    window->layout()->activate();
    window->resize(window->sizeHint());
    QApplication::processEvents();
    auto* table = child<QTableView>(control, "_profileTableView");
    QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    font.setPointSize(12);
    const int longest =
        QFontMetrics(font).horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ01234"));
    for (const int column : {2, 3}) {
        EXPECT_GE(table->columnWidth(column), longest + 6) << column;
        EXPECT_LE(table->columnViewportPosition(column) + table->columnWidth(column),
                  table->viewport()->width())
            << column;
    }
    EXPECT_LE(table->columnViewportPosition(4) + table->columnWidth(4), table->viewport()->width());
    window->hide();
}
