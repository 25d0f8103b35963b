// The panel as the dialog drives it: entry points, pane switching, summary,
// Quick Color presets before printing.
#include "PanelFixture.h"

#include <AdvancedColorOptions.h>
#include <Bundle.h>
#include <ColorOptions.h>
#include <PDEPlugIn.h>
#include <PainChangeController.h>

#include <QComboBox>
#include <QLayout>

using namespace PDE;
using zrktest::Dialog;

TEST(PlugIn, AnswersOnlyThePrintDialogType) {
    PDEPlugIn principal;
    Dialog dialog(zrktest::bundledPPD());
    EXPECT_FALSE(principal.PDEPanelsForType(QStringLiteral("some other type"), &dialog));
    EXPECT_FALSE(principal.PDEPanelsForType(QString(), &dialog));
    auto panels = principal.PDEPanelsForType(QLatin1String(PrintHost::kPrintDialogTypeID), &dialog);
    ASSERT_TRUE(panels);
    ASSERT_EQ(panels->size(), 1u);
    EXPECT_EQ(panels->front()->panelName(), u"Color Options");
    EXPECT_TRUE(panels->front()->panelKind().startsWith(u"com.ostra."));
}

TEST(PlugIn, KeepsACopyOfItsBundleForTheLifeOfTheProcess) {
    PrintHost::Bundle* handedIn = zrktest::sharedBundle();
    ASSERT_NE(PDECommon::bundle(), nullptr);
    EXPECT_NE(PDECommon::bundle(), handedIn);
    EXPECT_EQ(PDECommon::bundle()->bundlePath(), handedIn->bundlePath());
    // A later bundle changes nothing.
    PDEPlugIn another;
    std::unique_ptr<PrintHost::Bundle> other =
        PrintHost::Bundle::open(handedIn->bundlePath(), nullptr);
    PrintHost::Bundle* kept = PDECommon::bundle();
    another.initWithBundle(other.get());
    other.reset();
    EXPECT_EQ(PDECommon::bundle(), kept);
    EXPECT_EQ(PDECommon::localizedString("Disk"), u"Disk");
}

TEST(Panel, LoadsOnceAndAnswersEveryEntryPoint) {
    Dialog dialog(zrktest::bundledPPD());
    PDEPlugInInterface& panel = dialog.panel();
    EXPECT_FALSE(panel.isLoaded());
    // Entry points that never load.
    panel.willShow();
    EXPECT_TRUE(panel.saveValuesAndReturnError(nullptr));
    EXPECT_TRUE(panel.shouldPrint());
    EXPECT_TRUE(panel.shouldHide());
    EXPECT_FALSE(panel.isLoaded());
    EXPECT_EQ(dialog.topLevelString("VXQuickColor"), "");

    QWidget* view = panel.panelView();
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(panel.panelView(), view);
    EXPECT_TRUE(panel.restoreValuesAndReturnError(nullptr));
    panel.terminate();
}

TEST(Panel, SwitchingPanesKeepsValuesAndWillShowReturnsToTheMainPane) {
    Dialog dialog(zrktest::bundledPPD());
    dialog.panel().restoreValuesAndReturnError(nullptr);
    PainChangeController* controller = dialog.panel().paneController();
    ColorOptions* color = controller->colorView();
    AdvancedColorOptions* advanced = controller->advancedView();
    dialog.choose("menu_QuickColor", 3);
    dialog.choose("menu_Brightness", 1);

    controller->ColorToAdvancedView(nullptr);
    controller->ColorToAdvancedView(nullptr);
    QWidget* area = dialog.control("onMainCustomView");
    ASSERT_NE(area, nullptr);
    EXPECT_EQ(area->layout()->indexOf(advanced), 0);
    EXPECT_EQ(area->layout()->count(), 1);
    EXPECT_TRUE(color->isHidden());
    EXPECT_FALSE(advanced->isHidden());

    dialog.panel().willShow();
    EXPECT_FALSE(color->isHidden());
    EXPECT_TRUE(advanced->isHidden());
    EXPECT_EQ(dialog.popUp("menu_Brightness")->currentIndex(), 1);
    EXPECT_EQ(dialog.popUp("menu_QuickColor")->currentIndex(), 3);
}

TEST(Panel, PaneBoundsStartAtTheOrigin) {
    Dialog dialog(zrktest::bundledPPD());
    dialog.panel().panelView();
    ColorOptions* color = dialog.panel().paneController()->colorView();
    color->setViewBounds(QRect(40, 30, 320, 200));
    EXPECT_EQ(color->rect(), QRect(0, 0, 320, 200));
}

TEST(Panel, QuickColorAndEconoModeAsTheAdvancedPaneReadsThem) {
    Dialog dialog(zrktest::bundledPPD());
    dialog.panel().restoreValuesAndReturnError(nullptr);
    ColorOptions* color = dialog.panel().paneController()->colorView();
    EXPECT_EQ(color->getEconoModeValue(), 0);
    dialog.tick("check_EconomyPrint", true);
    EXPECT_EQ(color->getEconoModeValue(), 1);
    dialog.choose("menu_QuickColor", 2);
    EXPECT_EQ(color->getQuickColorValue(), 2);
    // No selection: no preset and no advanced button.
    dialog.choose("menu_QuickColor", -1);
    EXPECT_EQ(color->getQuickColorValue(), -1);
    EXPECT_FALSE(dialog.control("button_AdvanceColorOptions")->isEnabled());
    const QStringList order =
        dialog.panel().summaryInfo().value("Summary Display Order").toStringList();
    EXPECT_EQ(order.size(), 7); // Quick Color has no text; no advanced items
}

TEST(Panel, CollectingTablesClearsTheSpareSlots) {
    Dialog dialog(zrktest::bundledPPD());
    dialog.panel().panelView();
    ControlTableEntry* tableSlots[5];
    for (auto& slot : tableSlots)
        slot = reinterpret_cast<ControlTableEntry*>(0x1);
    EXPECT_EQ(dialog.panel().paneController()->getControlDataEachView(tableSlots, 5), 2);
    EXPECT_NE(tableSlots[0], nullptr);
    EXPECT_NE(tableSlots[1], nullptr);
    for (int i = 2; i < 5; ++i)
        EXPECT_EQ(tableSlots[i], nullptr);
}

namespace {
QStringList advancedTexts(const QVariantMap& summary) {
    QStringList texts;
    const QStringList order = summary.value("Summary Display Order").toStringList();
    for (qsizetype i = 8; i < order.size(); ++i)
        texts << summary.value(order[i]).toString();
    return texts;
}
} // namespace

TEST(Summary, CustomListsTheAdvancedPanesOwnValuesAPresetItsItems) {
    Dialog dialog(zrktest::bundledPPD());
    dialog.panel().restoreValuesAndReturnError(nullptr);
    dialog.choose("menu_QuickColor", 3);
    dialog.choose("menu_iHalftone", 0);
    const QVariantMap custom = dialog.panel().summaryInfo();
    EXPECT_EQ(custom.value("Image Halftone").toString(), u"Standard");

    dialog.choose("menu_QuickColor", 2);
    const QVariantMap preset = dialog.panel().summaryInfo();
    // Same 29 names in the same order; values from the preset.
    EXPECT_EQ(preset.value("Summary Display Order"), custom.value("Summary Display Order"));
    EXPECT_EQ(preset.value("Image Halftone").toString(), u"Detail");
    EXPECT_EQ(preset.value("Image RGB Source").toString(), u"sRGB");
    // The controls are not touched by summarising.
    EXPECT_EQ(dialog.popUp("menu_iHalftone")->currentIndex(), 0);
    EXPECT_EQ(advancedTexts(preset).size(), 21);
}

TEST(QuickColor, PresetsAndEconoModeSetTheEdgeEnhancements) {
    struct Case {
        int q;
        bool econo;
        int image, text, graphics; // edge enhancement items after printing
    };
    const Case cases[] = {
        {0, false, 0, 1, 1}, {0, true, 0, 1, 0},  {1, false, 0, 0, 0},
        {1, true, 0, 0, 0},  {2, false, 1, 1, 1}, {2, true, 0, 1, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "q=" << c.q << " econo=" << c.econo);
        Dialog dialog(zrktest::bundledPPD());
        dialog.panel().restoreValuesAndReturnError(nullptr);
        dialog.choose("menu_QuickColor", c.q);
        dialog.tick("check_EconomyPrint", c.econo);
        const QVariantMap summary = dialog.panel().summaryInfo();
        EXPECT_TRUE(dialog.panel().shouldPrint());
        EXPECT_EQ(dialog.popUp("menu_iEdgeEnhancement")->currentIndex(), c.image);
        EXPECT_EQ(dialog.popUp("menu_tEdgeEnhancement")->currentIndex(), c.text);
        EXPECT_EQ(dialog.popUp("menu_gEdgeEnhancement")->currentIndex(), c.graphics);
        // The summary reported what printing then applied.
        EXPECT_EQ(summary.value("Graphics Edge Enhancement").toString(),
                  dialog.popUp("menu_gEdgeEnhancement")->currentText());
        // Printing wrote the preset's items into the ticket.
        EXPECT_EQ(dialog.topLevelString("VXGraphicsEdgeEnhance"), c.graphics ? "On" : "Off");
        EXPECT_EQ(dialog.topLevelString("VXImageRGBSource"), "sRGB");
    }
}

namespace {
// The preset table: the item each advanced pop-up takes for Quick Color 0, 1
// and 2, and with EconoMode on for 0 and 2 (-1: EconoMode changes nothing).
struct PresetRow {
    const char* outlet;
    int preset[3];
    int econo0, econo2;
};

const PresetRow kPresetRows[] = {
    {"menu_iRGBSource", {1, 1, 1}, -1, -1},         {"menu_iRGBIntent", {0, 0, 1}, -1, -1},
    {"menu_iRGBGrayTreatment", {0, 0, 1}, -1, -1},  {"menu_iDestinationProfile", {0, 0, 0}, -1, -1},
    {"menu_iHalftone", {1, 1, 2}, -1, -1},          {"menu_iEdgeEnhancement", {0, 0, 1}, -1, 0},
    {"menu_tRGBSource", {1, 1, 1}, -1, -1},         {"menu_tRGBIntent", {1, 0, 1}, -1, -1},
    {"menu_tRGBGrayTreatment", {1, 0, 1}, -1, -1},  {"menu_tDestinationProfile", {0, 0, 0}, -1, -1},
    {"menu_tHalftone", {2, 1, 2}, -1, -1},          {"menu_tEdgeEnhancement", {1, 0, 1}, -1, -1},
    {"menu_gRGBSource", {1, 1, 1}, -1, -1},         {"menu_gRGBIntent", {1, 0, 1}, -1, -1},
    {"menu_gRGBGrayTreatment", {1, 0, 1}, -1, -1},  {"menu_gDestinationProfile", {0, 0, 0}, -1, -1},
    {"menu_gHalftone", {1, 1, 2}, -1, -1},          {"menu_gEdgeEnhancement", {1, 0, 1}, 0, 0},
    {"menu_sSimulationProfile", {0, 0, 0}, -1, -1}, {"menu_sMatchPaperColor", {0, 0, 0}, -1, -1},
    {"menu_sCMYKGrayTreatment", {0, 0, 0}, -1, -1},
};

int presetItem(const PresetRow& row, int q, bool econo) {
    const int econoItem = q == 0 ? row.econo0 : q == 2 ? row.econo2 : -1;
    return econo && econoItem >= 0 ? econoItem : row.preset[q];
}
} // namespace

// Every menu starts off its preset item, so a preset that set nothing (or
// set the wrong menu) shows in both the summary and the printed values.
TEST(QuickColor, EveryPresetSetsAndSummarisesAllTwentyOneMenus) {
    for (int q = 0; q < 3; ++q) {
        for (bool econo : {false, true}) {
            SCOPED_TRACE(testing::Message() << "q=" << q << " econo=" << econo);
            Dialog dialog(zrktest::bundledPPD());
            dialog.panel().restoreValuesAndReturnError(nullptr);
            dialog.choose("menu_QuickColor", q);
            dialog.tick("check_EconomyPrint", econo);
            for (const PresetRow& row : kPresetRows) {
                QComboBox* menu = dialog.popUp(row.outlet);
                ASSERT_NE(menu, nullptr) << row.outlet;
                ASSERT_GT(menu->count(), presetItem(row, q, econo)) << row.outlet;
                menu->setCurrentIndex((presetItem(row, q, econo) + 1) % menu->count());
            }

            const QVariantMap summary = dialog.panel().summaryInfo();
            const QStringList order = summary.value("Summary Display Order").toStringList();
            ASSERT_EQ(order.size(), 8 + 21);
            ASSERT_TRUE(dialog.panel().shouldPrint());
            for (size_t i = 0; i < std::size(kPresetRows); ++i) {
                const PresetRow& row = kPresetRows[i];
                QComboBox* menu = dialog.popUp(row.outlet);
                const int item = presetItem(row, q, econo);
                EXPECT_EQ(menu->currentIndex(), item) << row.outlet;
                EXPECT_EQ(summary.value(order[8 + int(i)]).toString(), menu->itemText(item))
                    << row.outlet;
            }
        }
    }
}

TEST(QuickColor, EveryPresetSummarisesAllTwentyOneItems) {
    for (int q = 0; q < 3; ++q) {
        for (bool econo : {false, true}) {
            Dialog dialog(zrktest::bundledPPD());
            dialog.panel().restoreValuesAndReturnError(nullptr);
            dialog.choose("menu_QuickColor", q);
            dialog.tick("check_EconomyPrint", econo);
            const QVariantMap summary = dialog.panel().summaryInfo();
            EXPECT_EQ(summary.value("Summary Display Order").toStringList().size(), 29)
                << q << econo;
        }
    }
}

TEST(QuickColor, GrayedOutControlsAreStillSavedAndSummarised) {
    Dialog dialog(zrktest::bundledPPD());
    dialog.panel().restoreValuesAndReturnError(nullptr);
    dialog.choose("menu_QuickColor", 3);
    dialog.choose("menu_iRGBIntent", 2);
    dialog.tick("check_ColorAsGrayscale", true);
    ASSERT_FALSE(dialog.control("menu_iRGBIntent")->isEnabled());
    dialog.panel().saveValuesAndReturnError(nullptr);
    EXPECT_EQ(dialog.topLevelString("VXImageRenderIntent"), "RelativeColorimetric");
    EXPECT_EQ(dialog.panel().summaryInfo().value("Image RGB Intent").toString(),
              u"Relative Colorimetric");
}

TEST(QuickColor, CustomKeepsTheUsersChoices) {
    Dialog dialog(zrktest::bundledPPD());
    dialog.panel().restoreValuesAndReturnError(nullptr);
    dialog.choose("menu_QuickColor", 3);
    dialog.choose("menu_iRGBSource", 3);
    dialog.choose("menu_gHalftone", 0);
    dialog.panel().shouldPrint();
    EXPECT_EQ(dialog.topLevelString("VXImageRGBSource"), "eciRGB");
    EXPECT_EQ(dialog.topLevelString("VXGraphicsHalftone"), "Standard");
}

TEST(QuickColor, AMenuShorterThanThePresetKeepsItsSelection) {
    Dialog dialog(zrktest::bundledPPD());
    dialog.panel().restoreValuesAndReturnError(nullptr);
    QComboBox* halftone = dialog.popUp("menu_tHalftone");
    // Leave the menu with two items: preset 0 asks for item 2.
    halftone->removeItem(2);
    halftone->setCurrentIndex(1);
    dialog.choose("menu_QuickColor", 0);
    const QVariantMap summary = dialog.panel().summaryInfo();
    dialog.panel().paneController()->changeAdvancedItemAccodingQuickColor();
    EXPECT_EQ(halftone->currentIndex(), 1);
    EXPECT_FALSE(summary.contains("Text Halftone"));
    EXPECT_EQ(summary.value("Summary Display Order").toStringList().size(), 8 + 20);
}
