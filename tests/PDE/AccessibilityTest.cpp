// Accessible names, the Tab order, the rules' explanations of grayed-out
// controls and the translations of the tables' keys.
#include "PanelFixture.h"

#include <Accessibility.h>
#include <PaneTables.h>
#include <ProfileControl.h>

#include <PrintDialogWindow.h>

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QSet>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <QTranslator>

#include <vector>

using namespace PDE;
using zrktest::Dialog;

namespace {

TEST(AccessibleText, TitlesBecomeNames) {
    const struct {
        const char* title;
        const char* name;
    } cases[] = {
        {"Quick Color:", "Quick Color"},
        {"Couleur rapide\u00a0:", "Couleur rapide"},
        {"明るさ：", "明るさ"},
        {"Manage Profiles…", "Manage Profiles"},
        {"Browse...", "Browse"},
        {"&Cancel", "Cancel"},
        {"Black && White", "Black & White"},
        {"キャンセル(&C)", "キャンセル"},
        {"詳細オプション(&A)...", "詳細オプション"},
        {"Color as Grayscale", "Color as Grayscale"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(accessibleTextOf(QString::fromUtf8(c.title)), QString::fromUtf8(c.name))
            << c.title;
}

// The controls of both panes the Tab key reaches, in reading order.
constexpr const char* kReadingOrder[] = {"menu_QuickColor",
                                         "menu_Brightness",
                                         "check_ColorAsGrayscale",
                                         "check_ColorSeparation",
                                         "check_EconomyPrint",
                                         "menu_EdgeStrength",
                                         "check_AutoTrapping",
                                         "menu_BlackOverprint",
                                         "button_AdvanceColorOptions",
                                         "tab_SwitchVew",
                                         "menu_iRGBSource",
                                         "menu_iRGBIntent",
                                         "menu_iRGBGrayTreatment",
                                         "menu_iDestinationProfile",
                                         "menu_iHalftone",
                                         "menu_iEdgeEnhancement",
                                         "menu_tRGBSource",
                                         "menu_tRGBIntent",
                                         "menu_tRGBGrayTreatment",
                                         "menu_tDestinationProfile",
                                         "menu_tHalftone",
                                         "menu_tEdgeEnhancement",
                                         "menu_gRGBSource",
                                         "menu_gRGBIntent",
                                         "menu_gRGBGrayTreatment",
                                         "menu_gDestinationProfile",
                                         "menu_gHalftone",
                                         "menu_gEdgeEnhancement",
                                         "menu_sSimulationProfile",
                                         "menu_sMatchPaperColor",
                                         "menu_sCMYKGrayTreatment",
                                         "button_ManageProfile",
                                         "button_DownloadManager",
                                         "button_HideAdvancedOptions"};

TEST(PanelAccessibility, EveryControlIsNamedAndReachedInReadingOrder) {
    Dialog dialog(zrktest::bundledPPD());
    QWidget* view = dialog.panel().panelView();
    ASSERT_NE(view, nullptr);
    dialog.panel().restoreValuesAndReturnError(nullptr);

    QList<QWidget*> expected;
    for (const char* name : kReadingOrder) {
        QWidget* control = dialog.control(name);
        ASSERT_NE(control, nullptr) << name;
        EXPECT_FALSE(control->accessibleName().isEmpty()) << name;
        EXPECT_TRUE(control->focusPolicy() & Qt::TabFocus) << name;
        expected.append(control);
    }
    // Every label stays its control's buddy, and no two controls share a
    // name although the Image, Text and Graphics tabs share their labels.
    QStringList names;
    for (QWidget* control : expected)
        names << control->accessibleName();
    EXPECT_EQ(names.size(), QSet<QString>(names.begin(), names.end()).size())
        << names.join(u'|').toStdString();
    // A label speaks its pop-up's name: screen readers name a pop-up by it.
    for (auto* label : view->findChildren<QLabel*>()) {
        if (label->objectName().startsWith(QLatin1String("text_"))) {
            ASSERT_NE(label->buddy(), nullptr) << label->objectName().toStdString();
            EXPECT_EQ(label->accessibleName(), label->buddy()->accessibleName());
        }
    }
    EXPECT_EQ(qobject_cast<QLabel*>(dialog.control("text_tRGBSource"))->text(),
              QStringLiteral("RGB Source:"));
    EXPECT_EQ(dialog.control("menu_Brightness")->accessibleName(), QStringLiteral("Brightness"));
    EXPECT_EQ(dialog.control("menu_iRGBSource")->accessibleName(),
              QStringLiteral("Image RGB Source"));
    EXPECT_EQ(dialog.control("menu_gRGBSource")->accessibleName(),
              QStringLiteral("Graphics RGB Source"));
    EXPECT_EQ(dialog.control("button_ManageProfile")->accessibleName(),
              QStringLiteral("Manage Profiles"));

    QList<QWidget*> visited;
    QWidget* next = expected.first();
    do {
        if (expected.contains(next))
            visited.append(next);
        next = next->nextInFocusChain();
    } while (next != expected.first() && visited.size() < expected.size());
    EXPECT_EQ(visited, expected);
}

namespace {

// Presses a key on the control with the focus, as a keyboard user does.
void press(Qt::Key key) {
    QWidget* focused = QApplication::focusWidget();
    ASSERT_NE(focused, nullptr);
    QTest::keyClick(focused, key);
}

// Tab (or Shift+Tab) from `start` until the focus is back: the controls
// visited on the way, `start` last. Stops after `limit` presses.
QList<QWidget*> tabRound(QWidget* start, bool forward, int limit) {
    start->setFocus(Qt::OtherFocusReason);
    QList<QWidget*> visited;
    for (int i = 0; i < limit; ++i) {
        QTest::keyClick(QApplication::focusWidget(), forward ? Qt::Key_Tab : Qt::Key_Backtab);
        visited.append(QApplication::focusWidget());
        if (visited.last() == start)
            break;
    }
    return visited;
}

} // namespace

// The keyboard alone, in the print dialog's window: on either pane, Tab and
// Shift+Tab each visit every control of the pane and the window's buttons
// once and come round, one the other's reverse.
TEST(PanelAccessibility, TabGoesRoundEveryControlOfEachPaneInTheDialogWindow) {
    Dialog dialog(zrktest::bundledPPD());
    QWidget* view = dialog.panel().panelView();
    ASSERT_NE(view, nullptr);
    dialog.panel().restoreValuesAndReturnError(nullptr);
    dialog.choose("menu_QuickColor", 3); // Custom: the advanced pane's button works
    dialog.panel().willShow();
    PrintHost::PrintDialogWindow window(view, QStringLiteral("t"), nullptr, nullptr);
    window.show();
    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    auto* buttons = window.findChild<QDialogButtonBox*>();
    ASSERT_NE(buttons, nullptr);

    const struct {
        const char* pane;
        std::vector<const char*> first, last; // of the pane, in reading order
        const char* switcher;                 // the button that shows the other pane
    } panes[] = {
        {"color",
         {"menu_QuickColor", "menu_Brightness"},
         {"button_AdvanceColorOptions"},
         "button_AdvanceColorOptions"},
        {"advanced",
         {"tab_SwitchVew", "menu_iRGBSource"},
         {"button_HideAdvancedOptions"},
         "button_HideAdvancedOptions"},
        {"color again",
         {"menu_QuickColor", "menu_Brightness"},
         {"button_AdvanceColorOptions"},
         nullptr},
    };
    for (const auto& pane : panes) {
        SCOPED_TRACE(pane.pane);
        QWidget* start = QApplication::focusWidget();
        if (!view->isAncestorOf(start))
            start = dialog.control(pane.first.front());
        ASSERT_NE(start, nullptr);
        const QList<QWidget*> forward = tabRound(start, true, 100);
        ASSERT_EQ(forward.last(), start) << "forward Tab never came round";
        const QList<QWidget*> backward = tabRound(start, false, 100);
        ASSERT_EQ(backward.last(), start) << "Shift+Tab never came round";
        EXPECT_EQ(QSet<QWidget*>(forward.begin(), forward.end()).size(), forward.size());
        QList<QWidget*> reversed(backward.rbegin() + 1, backward.rend());
        reversed.append(start);
        EXPECT_EQ(forward, reversed);
        for (QAbstractButton* button : buttons->buttons())
            EXPECT_TRUE(forward.contains(button)) << button->text().toStdString();
        // The pane's controls in reading order, then the window's buttons.
        QList<QWidget*> cycle{start};
        cycle.append(forward.mid(0, forward.size() - 1));
        QList<QWidget*> order;
        for (QWidget* w : cycle) {
            if (view->isAncestorOf(w))
                order.append(w);
        }
        ASSERT_GE(order.size(), 3);
        auto* tabs = qobject_cast<QTabWidget*>(dialog.control(pane.first[0]));
        QWidget* first = tabs ? tabs->tabBar() : dialog.control(pane.first[0]);
        EXPECT_EQ(order[0], first);
        EXPECT_EQ(order[1], dialog.control(pane.first[1]));
        EXPECT_EQ(order.last(), dialog.control(pane.last.back()));
        for (QWidget* w : order)
            EXPECT_TRUE(w->isVisible() && w->isEnabled()) << w->objectName().toStdString();
        if (!pane.switcher)
            break;
        // Space on the switching button: the focus goes to the other pane.
        dialog.control(pane.switcher)->setFocus(Qt::TabFocusReason);
        press(Qt::Key_Space);
        QWidget* focused = QApplication::focusWidget();
        ASSERT_NE(focused, nullptr);
        EXPECT_TRUE(view->isAncestorOf(focused) && focused->isVisible())
            << focused->objectName().toStdString();
    }
    window.layout()->removeWidget(view);
    view->setParent(nullptr);
}

TEST(PanelAccessibility, GrayedOutControlsSayWhyAndEnabledOnesDoNot) {
    Dialog dialog(zrktest::bundledPPD());
    ASSERT_NE(dialog.panel().panelView(), nullptr);
    dialog.panel().restoreValuesAndReturnError(nullptr);
    QWidget* source = dialog.control("menu_tRGBSource");
    QWidget* button = dialog.control("button_AdvanceColorOptions");
    EXPECT_EQ(button->toolTip(), QStringLiteral("Available with the Custom Quick Color only"));

    dialog.tick("check_ColorAsGrayscale", true);
    EXPECT_FALSE(source->isEnabled());
    EXPECT_EQ(source->toolTip(), QStringLiteral("Unavailable while Color as Grayscale is on"));
    EXPECT_EQ(source->accessibleDescription(), source->toolTip());

    dialog.tick("check_ColorAsGrayscale", false);
    dialog.choose("menu_QuickColor", 3);
    EXPECT_TRUE(source->isEnabled());
    EXPECT_TRUE(source->toolTip().isEmpty());
    EXPECT_TRUE(source->accessibleDescription().isEmpty());
    EXPECT_TRUE(button->isEnabled());
    EXPECT_TRUE(button->toolTip().isEmpty());
}

// However the user changes a check box, the rules follow: the mouse and the
// keyboard click it, a screen reader's toggle action only toggles it.
TEST(PanelAccessibility, EveryWayOfTickingABoxRunsTheRules) {
    const struct {
        const char* way;
        void (*tick)(QCheckBox* box);
    } ways[] = {
        {"mouse", [](QCheckBox* box) { box->click(); }},
        {"keyboard", [](QCheckBox* box) { QTest::keyClick(box, Qt::Key_Space); }},
        {"toggle action",
         [](QCheckBox* box) {
             QAccessibleInterface* access = QAccessible::queryAccessibleInterface(box);
             ASSERT_NE(access, nullptr);
             ASSERT_NE(access->actionInterface(), nullptr);
             ASSERT_TRUE(access->actionInterface()->actionNames().contains(
                 QAccessibleActionInterface::toggleAction()));
             access->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
         }},
    };
    for (const auto& way : ways) {
        SCOPED_TRACE(way.way);
        Dialog dialog(zrktest::bundledPPD());
        ASSERT_NE(dialog.panel().panelView(), nullptr);
        dialog.panel().restoreValuesAndReturnError(nullptr);
        QCheckBox* separation = dialog.checkBox("check_ColorSeparation");
        ASSERT_TRUE(separation->isEnabled());
        way.tick(dialog.checkBox("check_ColorAsGrayscale"));
        ASSERT_TRUE(dialog.checkBox("check_ColorAsGrayscale")->isChecked());
        EXPECT_FALSE(separation->isEnabled());
        EXPECT_EQ(separation->accessibleDescription(),
                  QStringLiteral("Unavailable while Color as Grayscale is on"));
        EXPECT_FALSE(dialog.control("menu_sSimulationProfile")->isEnabled());
    }
}

// Printing applies the Quick Color preset without the rules; what is grayed
// out then follows the values shown, which are the values printed.
TEST(PanelAccessibility, AfterPrintingWithAPresetReasonsFollowTheValuesShown) {
    Dialog dialog(zrktest::bundledPPD());
    ASSERT_NE(dialog.panel().panelView(), nullptr);
    dialog.panel().restoreValuesAndReturnError(nullptr);
    dialog.choose("menu_QuickColor", 3);
    dialog.choose("menu_iRGBSource", 0); // None
    QWidget* intent = dialog.control("menu_iRGBIntent");
    ASSERT_FALSE(intent->isEnabled());
    dialog.choose("menu_QuickColor", 1); // Photo
    dialog.panel().saveValuesAndReturnError(nullptr);
    ASSERT_TRUE(dialog.panel().shouldPrint());
    EXPECT_EQ(dialog.popUp("menu_iRGBSource")->currentIndex(), 1);
    EXPECT_EQ(dialog.topLevelString("VXImageRGBSource"), "sRGB");
    EXPECT_TRUE(intent->isEnabled());
    EXPECT_TRUE(intent->accessibleDescription().isEmpty());
    EXPECT_FALSE(dialog.control("button_AdvanceColorOptions")->isEnabled());
}

// A control no rule grays out says why it is gray too.
TEST(PanelAccessibility, ControlsGrayedOutForOtherReasonsSayWhy) {
    Dialog dialog(zrktest::sourcePath("tests/fixtures/ppd/ZR-K5100-NoBrightness.ppd"));
    ASSERT_NE(dialog.panel().panelView(), nullptr);
    dialog.panel().restoreValuesAndReturnError(nullptr);
    const struct {
        const char* outlet;
        const char* reason;
    } cases[] = {
        {"menu_Brightness", "The printer's PPD does not offer this option"},
        // No helper is installed under the tests' installation root.
        {"button_ManageProfile", "The profile service is not available"},
    };
    for (const auto& c : cases) {
        QWidget* control = dialog.control(c.outlet);
        ASSERT_NE(control, nullptr) << c.outlet;
        EXPECT_FALSE(control->isEnabled()) << c.outlet;
        EXPECT_EQ(control->accessibleDescription(), QString::fromUtf8(c.reason)) << c.outlet;
    }
    // The items the interface file gave the pop-up are in the user's language.
    EXPECT_EQ(dialog.popUp("menu_Brightness")->itemText(0), QStringLiteral("Darker"));
}

TEST(ProfileWindowAccessibility, EveryControlIsNamedAndLabelled) {
    zrktest::writeProfileFile(R"({"RGB": [], "SIM": [], "DST": []})");
    Dialog dialog(zrktest::bundledPPD());
    dialog.panel().restoreValuesAndReturnError(nullptr);
    auto* control =
        dialog.panel().panelView()->findChild<ProfileControl*>(QStringLiteral("profileControl"));
    ASSERT_NE(control, nullptr);
    ASSERT_TRUE(control->initWithProfileControl());
    QDialog* window = control->window();
    // The window's own controls (named in its interface file, unlike the
    // parts Qt builds inside a table or a menu).
    for (QWidget* widget : window->findChildren<QWidget*>()) {
        const bool interactive =
            qobject_cast<QAbstractButton*>(widget) || qobject_cast<QComboBox*>(widget) ||
            qobject_cast<QLineEdit*>(widget) || qobject_cast<QTableView*>(widget);
        const QString name = widget->objectName();
        if (interactive && !name.isEmpty() && !name.startsWith(QLatin1String("qt_"))) {
            EXPECT_FALSE(widget->accessibleName().isEmpty()) << name.toStdString();
        }
    }
    for (auto* label : window->findChildren<QLabel*>())
        EXPECT_NE(label->buddy(), nullptr) << label->objectName().toStdString();
    QWidget* fileName = window->findChild<QWidget*>(QStringLiteral("_fileNameEdit"));
    EXPECT_EQ(fileName->accessibleName(), QStringLiteral("File Name"));
    // Two buttons read "Cancel"; a listener tells them apart by name.
    EXPECT_EQ(window->findChild<QWidget*>(QStringLiteral("_localCancel"))->accessibleName(),
              QStringLiteral("Cancel Entry"));
    EXPECT_EQ(
        window->findChild<QWidget*>(QStringLiteral("profileWindowCancelButton"))->accessibleName(),
        QStringLiteral("Cancel"));
    // Add grays itself out and hands the keys to the file name.
    control->addButton(nullptr);
    EXPECT_EQ(window->focusWidget(), fileName);
    zrktest::removeProfileFile();
}

} // namespace

namespace {

// Every key the row tables and the presets look up has a translation in every
// language the bundle carries.
TEST(Translations, EveryKeyOfTheTablesInEveryLanguage) {
    for (const char* lang : {"en", "de", "fr", "es", "it", "ja"}) {
        QTranslator table;
        ASSERT_TRUE(table.load(QStringLiteral(ZRK_TEST_BUNDLE_DIR "/Resources/Localizable_%1.qm")
                                   .arg(QLatin1String(lang))))
            << lang;
        std::vector<const char*> keys;
        for (const auto& rows : {kColorOptionsRows, kAdvancedColorOptionsRows}) {
            for (const ControlRowTemplate& row : rows) {
                for (const char* key : {row.titleKey, row.summaryKey})
                    if (key)
                        keys.push_back(key);
            }
        }
        for (const QuickColorPreset& preset : kQuickColorPresets)
            keys.push_back(preset.summaryName);
        for (const char* key : keys)
            EXPECT_FALSE(table.translate("Localizable", key).isEmpty()) << lang << ": " << key;
    }
}

} // namespace
