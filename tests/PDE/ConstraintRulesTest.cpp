// The 21 rules, run the way the panel runs them: every option control's
// action runs the rules over the combined table.
#include "PanelFixture.h"

#include <ColorOptions.h>
#include <ConstraintEngine.h>
#include <PainChangeController.h>

#include <QCheckBox>
#include <QComboBox>
#include <QSignalBlocker>
#include <cstring>
#include <set>

using namespace PDE;
using zrktest::Dialog;

namespace {

struct Step {
    const char* outlet;
    int value; // item index of a pop-up, 0/1 for a check box
};

struct Expect {
    const char* outlet;
    bool enabled;
    int value = -2; // -2: not checked
};

struct RuleCase {
    const char* name;
    std::vector<Step> steps;
    std::vector<Expect> expected;
};

void apply(Dialog& dialog, const Step& step) {
    if (dialog.checkBox(step.outlet))
        dialog.tick(step.outlet, step.value != 0);
    else
        dialog.choose(step.outlet, step.value);
}

int valueOf(QWidget* control) {
    if (auto* box = qobject_cast<QCheckBox*>(control))
        return box->isChecked() ? 1 : 0;
    if (auto* menu = qobject_cast<QComboBox*>(control))
        return menu->currentIndex();
    return -3;
}

const char* const kColorAsGrayTargets[] = {
    "menu_iRGBSource",          "menu_iDestinationProfile", "menu_tRGBSource",
    "menu_tDestinationProfile", "menu_gRGBSource",          "menu_gDestinationProfile",
    "menu_sSimulationProfile",  "menu_iRGBIntent",          "menu_tRGBIntent",
    "menu_gRGBIntent",          "menu_iRGBGrayTreatment",   "menu_tRGBGrayTreatment",
    "menu_gRGBGrayTreatment",   "menu_sMatchPaperColor",    "menu_sCMYKGrayTreatment"};

std::vector<Expect> grayscaleExpectations() {
    std::vector<Expect> expected;
    for (const char* outlet : kColorAsGrayTargets)
        expected.push_back({outlet, false});
    for (const char* outlet : {"menu_iHalftone", "menu_tHalftone", "menu_gHalftone"})
        expected.push_back({outlet, true});
    expected.push_back({"check_ColorSeparation", false, 0});
    return expected;
}

const RuleCase kRuleCases[] = {
    {"PPD defaults",
     {},
     {{"button_AdvanceColorOptions", false},
      {"check_ColorAsGrayscale", true, 0},
      {"check_ColorSeparation", true, 0},
      {"menu_iRGBIntent", true},
      {"menu_iRGBGrayTreatment", true},
      {"menu_sMatchPaperColor", false},
      {"menu_sCMYKGrayTreatment", false},
      {"menu_iEdgeEnhancement", true},
      {"menu_tEdgeEnhancement", true},
      {"menu_gEdgeEnhancement", true}}},
    {"Custom Quick Color enables the advanced button",
     {{"menu_QuickColor", 3}},
     {{"button_AdvanceColorOptions", true}}},
    {"another preset disables it again",
     {{"menu_QuickColor", 3}, {"menu_QuickColor", 2}},
     {{"button_AdvanceColorOptions", false}}},
    {"Color as Grayscale grays out the color menus, never a halftone",
     {{"check_ColorAsGrayscale", 1}},
     grayscaleExpectations()},
    {"Color Separation unchecks and grays out Color as Grayscale",
     {{"check_ColorSeparation", 1}},
     {{"check_ColorAsGrayscale", false, 0}, {"check_ColorSeparation", true, 1}}},
    {"unchecking Color as Grayscale enables Color Separation, still unchecked",
     {{"check_ColorAsGrayscale", 1}, {"check_ColorAsGrayscale", 0}},
     {{"check_ColorSeparation", true, 0}, {"menu_iRGBSource", true}}},
    {"RGB source None grays out its intent only",
     {{"menu_iRGBSource", 0}},
     {{"menu_iRGBIntent", false}, {"menu_tRGBIntent", true}, {"menu_iRGBSource", true, 0}}},
    {"Text RGB source None grays out the text intent",
     {{"menu_tRGBSource", 0}},
     {{"menu_tRGBIntent", false}, {"menu_iRGBIntent", true}, {"menu_gRGBIntent", true}}},
    {"Graphics RGB source None grays out the graphics intent",
     {{"menu_gRGBSource", 0}},
     {{"menu_gRGBIntent", false}, {"menu_iRGBIntent", true}, {"menu_tRGBIntent", true}}},
    {"another source enables the intent again",
     {{"menu_tRGBSource", 0}, {"menu_tRGBSource", 2}},
     {{"menu_tRGBIntent", true}}},
    {"a destination profile other than Auto grays out its gray treatment",
     {{"menu_gDestinationProfile", 2}},
     {{"menu_gRGBGrayTreatment", false}, {"menu_iRGBGrayTreatment", true}}},
    {"an Image destination profile other than Auto grays out the image gray treatment",
     {{"menu_iDestinationProfile", 1}},
     {{"menu_iRGBGrayTreatment", false},
      {"menu_tRGBGrayTreatment", true},
      {"menu_gRGBGrayTreatment", true}}},
    {"a Text destination profile other than Auto grays out the text gray treatment",
     {{"menu_tDestinationProfile", 3}},
     {{"menu_tRGBGrayTreatment", false},
      {"menu_iRGBGrayTreatment", true},
      {"menu_gRGBGrayTreatment", true}}},
    {"a simulation profile enables Match Paper Color and CMYK gray treatment",
     {{"menu_sSimulationProfile", 1}},
     {{"menu_sMatchPaperColor", true}, {"menu_sCMYKGrayTreatment", true}}},
    {"EconoMode grays out image and graphics edge enhancement",
     {{"check_EconomyPrint", 1}},
     {{"menu_iEdgeEnhancement", false},
      {"menu_tEdgeEnhancement", true},
      {"menu_gEdgeEnhancement", false},
      {"menu_EdgeStrength", true}}},
    {"edge type Off grays out all three edge enhancements",
     {{"menu_EdgeStrength", 0}},
     {{"menu_iEdgeEnhancement", false},
      {"menu_tEdgeEnhancement", false},
      {"menu_gEdgeEnhancement", false}}},
    {"a grayed-out control keeps its value",
     {{"menu_iRGBIntent", 3}, {"check_ColorAsGrayscale", 1}},
     {{"menu_iRGBIntent", false, 3}}},
};

class RuleTable : public testing::TestWithParam<RuleCase> {};

} // namespace

TEST_P(RuleTable, ControlsFollowTheRules) {
    const RuleCase& c = GetParam();
    Dialog dialog(zrktest::bundledPPD());
    dialog.panel().restoreValuesAndReturnError(nullptr);
    for (const Step& step : c.steps)
        apply(dialog, step);
    for (const Expect& e : c.expected) {
        QWidget* control = dialog.control(e.outlet);
        ASSERT_NE(control, nullptr) << e.outlet;
        EXPECT_EQ(control->isEnabled(), e.enabled) << e.outlet;
        if (e.value != -2) {
            EXPECT_EQ(valueOf(control), e.value) << e.outlet;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Constraints, RuleTable, testing::ValuesIn(kRuleCases),
                         [](const testing::TestParamInfo<RuleCase>& info) {
                             return "case" + std::to_string(info.index);
                         });

TEST(Constraints, BothCheckedAtTheStartOfARunColorAsGrayscaleWins) {
    Dialog dialog(zrktest::bundledPPD());
    dialog.panel().restoreValuesAndReturnError(nullptr);
    dialog.checkBox("check_ColorAsGrayscale")->setChecked(true);
    dialog.checkBox("check_ColorSeparation")->setChecked(true);
    dialog.panel().constraints(nullptr);
    EXPECT_TRUE(dialog.checkBox("check_ColorAsGrayscale")->isChecked());
    EXPECT_TRUE(dialog.checkBox("check_ColorAsGrayscale")->isEnabled());
    EXPECT_FALSE(dialog.checkBox("check_ColorSeparation")->isChecked());
    EXPECT_FALSE(dialog.checkBox("check_ColorSeparation")->isEnabled());
}

TEST(Constraints, RunningTwiceEqualsRunningOnce) {
    Dialog dialog(zrktest::bundledPPD());
    dialog.panel().restoreValuesAndReturnError(nullptr);
    dialog.tick("check_ColorAsGrayscale", true);
    dialog.choose("menu_EdgeStrength", 0);
    auto snapshot = [&] {
        std::vector<std::pair<bool, int>> state;
        for (ControlTableEntry* row = dialog.panel().combinedTable(); row->kind != kControlKindEnd;
             ++row)
            state.emplace_back(row->control->isEnabled(),
                               PDECommon::commonGetControlValueWithSInt32(row));
        return state;
    };
    const auto once = snapshot();
    dialog.panel().constraints(nullptr);
    EXPECT_EQ(snapshot(), once);
}

TEST(Constraints, SelectItemRunsOverTheMainPaneOnly) {
    Dialog dialog(zrktest::bundledPPD());
    dialog.panel().restoreValuesAndReturnError(nullptr);
    for (const char* box : {"check_ColorAsGrayscale", "check_EconomyPrint"}) {
        // The state alone, without the check box's own action.
        const QSignalBlocker quiet(dialog.checkBox(box));
        dialog.checkBox(box)->setChecked(true);
    }
    dialog.panel().selectItem(nullptr);
    EXPECT_FALSE(dialog.checkBox("check_ColorSeparation")->isEnabled());
    // Advanced targets are absent from the main pane's table.
    EXPECT_TRUE(dialog.control("menu_iRGBSource")->isEnabled());
    EXPECT_TRUE(dialog.control("menu_iEdgeEnhancement")->isEnabled());
}

TEST(Constraints, EmptyTableChangesNothing) {
    ControlTableEntry end;
    PDECommon::commonSetTerminatorRow(&end);
    for (int i = 0; cstColorOption[i].ruleKind != kCstEndOfRules; ++i)
        EXPECT_EQ(bMatchCondition(i, &end), 0);
    vColorPresetConstraints(&end);
}

TEST(Constraints, RuleTableShape) {
    int rules = 0;
    for (; cstColorOption[rules].ruleKind != kCstEndOfRules; ++rules) {
        const ConstraintRule& rule = cstColorOption[rules];
        EXPECT_EQ(rule.ruleKind, kCstValueChange);
        EXPECT_EQ(rule.optionCount, 1);
        EXPECT_EQ(rule.options[0].optionKind, kCstOptionGrayOut);
        EXPECT_LE(std::strlen(rule.target.identifier), 31u);
    }
    EXPECT_EQ(rules, 21);
    // Each target is the target of exactly one rule.
    std::set<std::string> targets;
    for (int i = 0; i < rules; ++i)
        targets.insert(cstColorOption[i].target.identifier);
    EXPECT_EQ(targets.size(), 21u);
}
