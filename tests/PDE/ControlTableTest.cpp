// The control table operations: choice lists, menus, values, titles, joining.
#include "PanelFixture.h"

#include <AdvancedColorOptions.h>
#include <ColorOptions.h>
#include <PDELog.h>
#include <PainChangeController.h>

#include <QCheckBox>
#include <QComboBox>
#include <QTabWidget>

using namespace PDE;
using zrktest::Dialog;

namespace {

ControlTableEntry popUpRow(QComboBox* menu, const char* keyword) {
    return ControlTableEntry{menu,    kControlKindPopUp, keyword,          nullptr,
                             nullptr, kEmptyString,      kProfileListNone, nullptr};
}

} // namespace

TEST(ControlTable, MenuFollowsThePPDChoicesInOrder) {
    zrktest::PPDPtr ppd = zrktest::openPPD(zrktest::bundledPPD());
    ASSERT_TRUE(ppd);
    QComboBox menu;
    menu.addItem(QStringLiteral("from the interface file"));
    ControlTableEntry row = popUpRow(&menu, "VXImageHalftone");
    PDECommon::commonReBuildMenuFromPPD(ppd.get(), &row);
    ASSERT_EQ(menu.count(), 3);
    EXPECT_EQ(menu.itemText(0), u"Standard");
    EXPECT_EQ(menu.itemText(2), u"Detail");
    EXPECT_EQ(menu.itemData(1).toString(), u"Smooth");

    // An option the PPD lacks leaves the menu as it was.
    ControlTableEntry missing = popUpRow(&menu, "VXNoSuchOption");
    PDECommon::commonReBuildMenuFromPPD(ppd.get(), &missing);
    EXPECT_EQ(menu.count(), 3);
}

TEST(ControlTable, ChoiceListCarriesFiveStringsAndConflicts) {
    zrktest::PPDPtr ppd = zrktest::openPPD(zrktest::bundledPPD());
    ASSERT_TRUE(ppd);
    PPDChoiceList* list = nullptr;
    ASSERT_EQ(PDECommon::commonGetPPDArrayForUIOption(ppd.get(), "VXColorSeparation", &list),
              kNoErr);
    std::unique_ptr<PPDChoiceList> owned(list);
    ASSERT_EQ(list->size(), 2);
    const PPDChoiceEntry& on = list->at(0);
    EXPECT_EQ(on[kChoiceOptionKeyword], u"VXColorSeparation");
    EXPECT_EQ(on[kChoiceDefaultKeyword], u"False");
    EXPECT_EQ(on[kChoiceKeyword], u"True");
    EXPECT_EQ(on[kChoiceConflict], u"ConflictFalse");

    // With Color as Grayscale marked on, Color Separation "True" conflicts.
    ppdMarkOption(ppd.get(), "VXColorAsGray", "True");
    PPDChoiceList* marked = nullptr;
    ASSERT_EQ(PDECommon::commonGetPPDArrayForUIOption(ppd.get(), "VXColorSeparation", &marked),
              kNoErr);
    std::unique_ptr<PPDChoiceList> ownedMarked(marked);
    EXPECT_EQ(marked->at(0)[kChoiceConflict], u"ConflictTrue");
    EXPECT_EQ(marked->at(1)[kChoiceConflict], u"ConflictFalse");

    PPDChoiceList* absent = nullptr;
    EXPECT_EQ(PDECommon::commonGetPPDArrayForUIOption(ppd.get(), "VXNoSuchOption", &absent),
              kPMKeyNotFound);
    EXPECT_EQ(absent, nullptr);
}

TEST(ControlTable, SettingAPopUpOutsideItsItems) {
    QComboBox menu;
    menu.addItems({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")});
    menu.setCurrentIndex(1);
    ControlTableEntry row = popUpRow(&menu, "VXImageHalftone");
    struct Case {
        int32_t value;
        int expected;
    };
    for (const Case c : {Case{3, 1}, Case{99, 1}, Case{2, 2}, Case{-1, -1}, Case{0, 0}}) {
        PDECommon::commonSetControlValueWithSInt32(&row, c.value);
        EXPECT_EQ(menu.currentIndex(), c.expected) << "value " << c.value;
    }
    EXPECT_EQ(PDECommon::commonGetControlValueWithSInt32(nullptr), 0);
}

TEST(ControlTable, JoiningKeepsRowsAndEndsWithOneEndRow) {
    QComboBox menus[13];
    ControlTableEntry first[14];
    for (int i = 0; i < 13; ++i)
        first[i] = popUpRow(&menus[i], "VXImageHalftone");
    PDECommon::commonSetTerminatorRow(&first[13]);
    ControlTableEntry empty[1];
    PDECommon::commonSetTerminatorRow(&empty[0]);

    ControlTableEntry* tables[] = {first, empty, nullptr};
    ControlTablePtr joined(PDECommon::commonControlTableCompound(tables, 3));
    ASSERT_TRUE(joined);
    for (int i = 0; i < 13; ++i)
        EXPECT_EQ(joined.get()[i].control, &menus[i]);
    const ControlTableEntry& end = joined.get()[13];
    EXPECT_EQ(end.control, nullptr);
    EXPECT_EQ(end.kind, kControlKindEnd);
    EXPECT_EQ(end.ppdKeyword, kEmptyString);
    EXPECT_EQ(end.identifier, kEmptyString);
    EXPECT_EQ(end.choices, nullptr);
    EXPECT_EQ(_DEBUGControlTable(joined.get()), 14);
}

TEST(ControlTable, TabViewIsLabelledFromTheFourKeys) {
    QTabWidget tabs;
    for (int i = 0; i < 5; ++i)
        tabs.addTab(new QWidget, QStringLiteral("tab %1").arg(i));
    ControlTableEntry row{&tabs,   kControlKindTabView, kEmptyString,     "Image",
                          nullptr, kEmptyString,        kProfileListNone, nullptr};
    PDECommon::commonSetControlTitleFromLocalizeString(&row);
    const QStringList expected = {QStringLiteral("Image"), QStringLiteral("Text"),
                                  QStringLiteral("Graphics"), QStringLiteral("Simulation"),
                                  QStringLiteral("Simulation")};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(tabs.tabText(i), expected[i]);

    // Without a title key the tab view keeps its labels.
    QTabWidget untitled;
    untitled.addTab(new QWidget, QStringLiteral("kept"));
    row.control = &untitled;
    row.titleKey = nullptr;
    PDECommon::commonSetControlTitleFromLocalizeString(&row);
    EXPECT_EQ(untitled.tabText(0), u"kept");
}

TEST(ControlTable, PanesBuildTheirTablesFromTheInterfaceFile) {
    Dialog dialog(zrktest::bundledPPD());
    dialog.panel().panelView();
    PainChangeController* controller = dialog.panel().paneController();
    ASSERT_NE(controller, nullptr);
    ColorOptions* color = controller->colorView();
    AdvancedColorOptions* advanced = controller->advancedView();
    ASSERT_TRUE(color && advanced);
    EXPECT_EQ(color->getControlCount(), 14);
    EXPECT_EQ(advanced->getControlCount(), 47);
    EXPECT_EQ(_DEBUGControlTable(color->getControlData()), 14);
    EXPECT_EQ(_DEBUGControlTable(advanced->getControlData()), 47);

    // Rows without a keyword never get a choice list; every PPD row has one.
    for (const ControlTableEntry* table : {color->getControlData(), advanced->getControlData()}) {
        for (const ControlTableEntry* row = table; row->control; ++row) {
            if (rowHasPPDKeyword(row))
                EXPECT_NE(row->choices, nullptr) << row->ppdKeyword;
            else
                EXPECT_EQ(row->choices, nullptr);
        }
    }
    const ControlTableEntry* end = advanced->getControlData() + 46;
    EXPECT_EQ(end->control, nullptr);
    EXPECT_EQ(end->kind, kControlKindEnd);

    // The combined table: main pane first, then the advanced pane, one end row.
    ControlTableEntry* combined = dialog.panel().combinedTable();
    EXPECT_EQ(_DEBUGControlTable(combined), 13 + 46 + 1);
    EXPECT_EQ(combined[0].control, color->getControlData()[0].control);
    EXPECT_EQ(combined[13].control, advanced->getControlData()[0].control);
    EXPECT_EQ(combined[13].choices, advanced->getControlData()[0].choices);

    auto* tabs = qobject_cast<QTabWidget*>(dialog.control("tab_SwitchVew"));
    ASSERT_NE(tabs, nullptr);
    EXPECT_EQ(tabs->currentIndex(), 0);
    EXPECT_EQ(tabs->tabText(2), u"Graphics");
}

TEST(ControlTable, KeywordListHoldsTheAdvancedPaneFirst) {
    Dialog dialog(zrktest::bundledPPD());
    const QStringList keys = dialog.panel().supportedPPDOptionKeys();
    ASSERT_EQ(keys.size(), 29);
    EXPECT_EQ(keys.first(), u"VXImageRGBSource");
    EXPECT_EQ(keys.at(20), u"VXSimGrayTreatment");
    const QStringList mainKeys = keys.mid(21);
    EXPECT_EQ(mainKeys,
              (QStringList{"VXQuickColor", "VXBrightness", "VXColorAsGray", "VXColorSeparation",
                           "VXEconoMode", "VXEdgeType", "VXAutoTrapping", "VXBlackOverprint"}));

    QStringList none;
    EXPECT_EQ(PDECommon::commonAddPPDArray(nullptr, dialog.panel().combinedTable()), kParamErr);
    EXPECT_EQ(PDECommon::commonAddPPDArray(&none, nullptr), kParamErr);
}

TEST(ControlTable, TableThatCannotBeAllocatedLeavesThePaneWithoutOne) {
    PDEPane::setTableAllocator([](size_t) -> ControlTableEntry* { return nullptr; });
    Dialog dialog(zrktest::bundledPPD());
    dialog.panel().restoreValuesAndReturnError(nullptr);
    PDEPane::setTableAllocator(nullptr);

    PainChangeController* controller = dialog.panel().paneController();
    ASSERT_NE(controller, nullptr);
    EXPECT_EQ(controller->colorView()->getControlData(), nullptr);
    EXPECT_EQ(controller->advancedView()->getControlData(), nullptr);
    // Every table operation is a no-op and nothing reaches the ticket.
    EXPECT_TRUE(dialog.panel().saveValuesAndReturnError(nullptr));
    EXPECT_TRUE(dialog.panel().shouldPrint());
    EXPECT_TRUE(dialog.panel().supportedPPDOptionKeys().isEmpty());
    EXPECT_EQ(dialog.topLevelString("VXQuickColor"), "");
    const QVariantMap summary = dialog.panel().summaryInfo();
    EXPECT_EQ(summary.size(), 1);
    // Nor can the user switch to a pane without a table.
    controller->ColorToAdvancedView(nullptr);
    EXPECT_TRUE(controller->advancedView()->isHidden());
}
