// The ticket bridge: model dictionaries per queue, the top-level mirror,
// reading values back, CST values and the summary.
#include "PanelFixture.h"

#include <QCheckBox>
#include <QComboBox>

using namespace PDE;
using zrktest::Dialog;

TEST(TicketBridge, SaveWritesTheModelDictionaryAndTheTopLevelMirror) {
    Dialog dialog(zrktest::bundledPPD(), "Office_K5100");
    dialog.panel().restoreValuesAndReturnError(nullptr);
    dialog.choose("menu_QuickColor", 1);
    dialog.tick("check_EconomyPrint", true);
    dialog.panel().saveValuesAndReturnError(nullptr);

    EXPECT_EQ(dialog.modelString("VXQuickColor"), "Photo");
    EXPECT_EQ(dialog.topLevelString("VXQuickColor"), "Photo");
    EXPECT_EQ(dialog.modelString("VXEconoMode"), "True");
    EXPECT_EQ(dialog.topLevelString("VXEconoMode"), "True");
    EXPECT_EQ(dialog.topLevelString("VXImageHalftone"), "Smooth");

    // Another queue on the same settings gets a model dictionary of its own.
    dialog.setPrinter("Lab_K5100");
    dialog.reopenPanel();
    dialog.panel().restoreValuesAndReturnError(nullptr);
    EXPECT_EQ(dialog.popUp("menu_QuickColor")->currentIndex(), 0);
    dialog.choose("menu_QuickColor", 2);
    dialog.panel().saveValuesAndReturnError(nullptr);
    EXPECT_EQ(dialog.modelString("VXQuickColor", "Lab_K5100"), "Vivid");
    EXPECT_EQ(dialog.modelString("VXQuickColor", "Office_K5100"), "Photo");
    EXPECT_EQ(dialog.topLevelString("VXQuickColor"), "Vivid");
}

TEST(TicketBridge, RestoreReadsEveryValueBack) {
    Dialog dialog(zrktest::bundledPPD());
    dialog.panel().restoreValuesAndReturnError(nullptr);
    dialog.choose("menu_QuickColor", 3);
    dialog.choose("menu_Brightness", 4);
    dialog.tick("check_ColorSeparation", true);
    dialog.choose("menu_EdgeStrength", 0);
    dialog.choose("menu_tHalftone", 0);
    dialog.choose("menu_sSimulationProfile", 2);
    dialog.panel().saveValuesAndReturnError(nullptr);

    dialog.reopenPanel();
    dialog.panel().restoreValuesAndReturnError(nullptr);
    EXPECT_EQ(dialog.popUp("menu_QuickColor")->currentIndex(), 3);
    EXPECT_EQ(dialog.popUp("menu_Brightness")->currentIndex(), 4);
    EXPECT_TRUE(dialog.checkBox("check_ColorSeparation")->isChecked());
    EXPECT_EQ(dialog.popUp("menu_EdgeStrength")->currentIndex(), 0);
    EXPECT_EQ(dialog.popUp("menu_tHalftone")->currentIndex(), 0);
    EXPECT_EQ(dialog.popUp("menu_sSimulationProfile")->currentIndex(), 2);
    // Restoring also writes the queue's values through to the top level.
    EXPECT_EQ(dialog.topLevelString("VXBrightness"), "Plus2");
}

TEST(TicketBridge, MissingOrForeignTicketValues) {
    Dialog dialog(zrktest::bundledPPD());
    dialog.panel().restoreValuesAndReturnError(nullptr);
    plist_t model =
        PDECommon::commonGetModelDictionary(dialog.printSettings(), dialog.printSession());
    ASSERT_NE(model, nullptr);
    plist_dict_set_item(model, "VXQuickColor", plist_new_string("NoSuchPreset"));
    plist_dict_set_item(model, "VXBrightness", plist_new_uint(3));
    plist_dict_set_item(model, "VXColorAsGray", plist_new_string("TRUE"));

    dialog.choose("menu_Brightness", 0);
    dialog.choose("menu_QuickColor", 2);
    dialog.panel().restoreValuesAndReturnError(nullptr);
    // An unknown choice leaves the pop-up where the PPD default put it; a
    // value that is not a string leaves the control as it was (the default).
    EXPECT_EQ(dialog.popUp("menu_QuickColor")->currentIndex(), 0);
    EXPECT_EQ(dialog.popUp("menu_Brightness")->currentIndex(), 2);
    EXPECT_TRUE(dialog.checkBox("check_ColorAsGrayscale")->isChecked());
    // Keywords the dictionary lacks keep their PPD defaults.
    EXPECT_EQ(dialog.popUp("menu_BlackOverprint")->currentIndex(), 1);
}

TEST(TicketBridge, ProductKeyOfAnotherTypeIsLeftAlone) {
    Dialog dialog(zrktest::bundledPPD());
    plist_t foreign = plist_new_string("not a dictionary");
    PrintHost::PMPrintSettingsSetValue(dialog.printSettings(), kProductKey, foreign, false);
    plist_free(foreign);
    dialog.panel().restoreValuesAndReturnError(nullptr);
    dialog.panel().saveValuesAndReturnError(nullptr);
    EXPECT_EQ(dialog.topLevelString(kProductKey), "not a dictionary");
    EXPECT_EQ(dialog.topLevelString("VXQuickColor"), "");
}

// A model dictionary may hold any key, the product key included: copying it to
// the top level must neither pull the product dictionary from under the copy
// nor cost another queue its values.
TEST(TicketBridge, ModelEntryUnderTheProductKeyCostsNoQueueItsValues) {
    Dialog dialog(zrktest::bundledPPD(), "Office_K5100");
    plist_t product = plist_new_dict();
    plist_t own = plist_new_dict();
    plist_dict_set_item(own, kProductKey, plist_new_string("hostile"));
    plist_dict_set_item(own, "VXBrightness", plist_new_string("Plus1"));
    plist_dict_set_item(own, "VXQuickColor", plist_new_string("CustomColor"));
    plist_dict_set_item(own, "VXImageHalftone", plist_new_string("Detail"));
    plist_dict_set_item(product, "Office_K5100", own);
    plist_t lab = plist_new_dict();
    plist_dict_set_item(lab, "VXQuickColor", plist_new_string("Vivid"));
    plist_dict_set_item(product, "Lab_K5100", lab);
    PrintHost::PMPrintSettingsSetValue(dialog.printSettings(), kProductKey, product, false);
    plist_free(product);

    dialog.panel().restoreValuesAndReturnError(nullptr);
    EXPECT_EQ(dialog.popUp("menu_Brightness")->currentIndex(), 3);
    EXPECT_EQ(dialog.popUp("menu_QuickColor")->currentIndex(), 3);
    EXPECT_EQ(dialog.popUp("menu_iHalftone")->currentIndex(), 2);
    dialog.choose("menu_Brightness", 4);
    dialog.panel().saveValuesAndReturnError(nullptr);

    EXPECT_EQ(dialog.modelString("VXQuickColor", "Lab_K5100"), "Vivid");
    EXPECT_EQ(dialog.modelString("VXBrightness"), "Plus2");
    EXPECT_EQ(dialog.modelString("VXImageHalftone"), "Detail");
    EXPECT_EQ(dialog.topLevelString("VXBrightness"), "Plus2");
    EXPECT_EQ(dialog.topLevelString(kProductKey), "");
}

TEST(TicketBridge, OptionMissingFromThePPDIsNeverWritten) {
    Dialog dialog(zrktest::sourcePath("tests/fixtures/ppd/ZR-K5100-NoBrightness.ppd"));
    dialog.panel().restoreValuesAndReturnError(nullptr);
    QComboBox* brightness = dialog.popUp("menu_Brightness");
    ASSERT_NE(brightness, nullptr);
    // The items of the interface file stay.
    EXPECT_EQ(brightness->count(), 3);
    EXPECT_EQ(brightness->itemText(1), u"Normal");
    dialog.panel().saveValuesAndReturnError(nullptr);
    EXPECT_EQ(dialog.modelString("VXBrightness"), "");
    EXPECT_EQ(dialog.topLevelString("VXBrightness"), "");
    const QVariantMap summary = dialog.panel().summaryInfo();
    // The summary shows what the pop-up shows: the interface file's first item.
    EXPECT_EQ(summary.value(QStringLiteral("Brightness")).toString(), u"Darker");
    EXPECT_EQ(dialog.modelString("VXQuickColor"), "Automatic");
}

TEST(TicketBridge, DictionaryHelpers) {
    plist_t dict = plist_new_dict();
    plist_dict_set_item(dict, "inner", plist_new_dict());
    plist_dict_set_item(dict, "text", plist_new_string("x"));
    EXPECT_NE(PDECommon::commonCFDictionaryGetValueWithType(dict, "inner"), nullptr);
    EXPECT_EQ(PDECommon::commonCFDictionaryGetValueWithType(dict, "text"), nullptr);
    EXPECT_EQ(PDECommon::commonCFDictionaryGetValueWithType(dict, "absent"), nullptr);
    EXPECT_EQ(PDECommon::commonCFDictionaryGetValueWithType(dict, nullptr), nullptr);
    plist_t empty = plist_new_dict();
    EXPECT_EQ(PDECommon::commonCFDictionaryGetValueWithType(empty, "inner"), nullptr);
    EXPECT_EQ(
        PDECommon::commonCFDictionaryGetValueWithType(plist_dict_get_item(dict, "text"), "inner"),
        nullptr);
    plist_free(empty);
    plist_free(dict);
}

TEST(TicketBridge, CSTValues) {
    ControlTableEntry popUp{nullptr, kControlKindPopUp, kEmptyString,     nullptr,
                            nullptr, kEmptyString,      kProfileListNone, nullptr};
    ControlTableEntry box = popUp;
    box.kind = kControlKindCheckBox;
    struct Case {
        const ControlTableEntry* row;
        int32_t value;
        int32_t toCST;
        int32_t fromCST;
    };
    const Case cases[] = {
        {&popUp, -1, 0, 0}, {&popUp, 0, 1, 0}, {&popUp, 1, 2, 0},  {&popUp, 3, 4, 2},
        {&box, 0, 0, 0},    {&box, 1, 1, 1},   {nullptr, 5, 5, 5},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PDECommon::commonConvertToCSTValue(c.row, c.value), c.toCST) << c.value;
        EXPECT_EQ(PDECommon::commonConvertFromCSTValue(c.row, c.value), c.fromCST) << c.value;
    }
}

TEST(Summary, MainItemsInTableOrderWithTheDefaults) {
    Dialog dialog(zrktest::bundledPPD());
    // The summary loads the panel on its own.
    EXPECT_EQ(dialog.panel().summaryInfo().size(), 1 + 8 + 21);
    dialog.panel().restoreValuesAndReturnError(nullptr);
    const QVariantMap summary = dialog.panel().summaryInfo();
    const QStringList order = summary.value(QStringLiteral("Summary Display Order")).toStringList();
    ASSERT_EQ(order.size(), 8 + 21);
    EXPECT_EQ(order.mid(0, 8),
              (QStringList{"Quick Color", "Brightness", "Color as Grayscale", "Color Separation",
                           "EconoMode", "Edge Type", "Auto Trapping", "Black Overprint"}));
    EXPECT_EQ(summary.value("Quick Color").toString(), u"Automatic");
    EXPECT_EQ(summary.value("Brightness").toString(), QString::fromUtf8("\xc2\xb1"
                                                                        "0 (Normal)"));
    EXPECT_EQ(summary.value("Color as Grayscale").toString(), u"Off");
    EXPECT_EQ(summary.value("Auto Trapping").toString(), u"On");
    EXPECT_EQ(summary.size(), 1 + 8 + 21);
}
