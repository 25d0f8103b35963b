// The rule table of the Color Options panel, as compiled from its rule
// sources: which control values gray out (and reset) which controls.
#include "ConstraintEngine.h"

namespace PDE {

namespace {

#define CST_END_OF_CONDITIONS                                                                      \
    { "", "", -1, kCstEndOfList }

// Conditions. Values are CST values: check box 0/1, pop-up item index + 1.
const ConstraintItem conditionsColorOptions_0000[] = {
    {"ColorAsGrayCheckBox", "Checked", 1, kCstEqual},
    CST_END_OF_CONDITIONS,
};
const ConstraintItem conditionsColorOptions_0001[] = {
    {"ColorSeparationCheckBox", "Checked", 1, kCstEqual},
    CST_END_OF_CONDITIONS,
};
const ConstraintItem conditionsColorOptions_0002[] = {
    {"ColorAsGrayCheckBox", "Checked", 1, kCstEqual},
    {"ImageRGBSourcePopup", "None", 1, kCstEqual},
    CST_END_OF_CONDITIONS,
};
const ConstraintItem conditionsColorOptions_0003[] = {
    {"ColorAsGrayCheckBox", "Checked", 1, kCstEqual},
    {"TextRGBSourcePopup", "None", 1, kCstEqual},
    CST_END_OF_CONDITIONS,
};
const ConstraintItem conditionsColorOptions_0004[] = {
    {"ColorAsGrayCheckBox", "Checked", 1, kCstEqual},
    {"GraphicsRGBSourcePopup", "None", 1, kCstEqual},
    CST_END_OF_CONDITIONS,
};
const ConstraintItem conditionsColorOptions_0005[] = {
    {"ColorAsGrayCheckBox", "Checked", 1, kCstEqual},
    {"SimulationSourcePopup", "None", 1, kCstEqual},
    CST_END_OF_CONDITIONS,
};
const ConstraintItem conditionsColorOptions_0006[] = {
    {"QuickColorPopup", "Custom", 4, kCstNotEqual},
    CST_END_OF_CONDITIONS,
};
const ConstraintItem conditionsColorOptions_0007[] = {
    {"ColorAsGrayCheckBox", "Checked", 1, kCstEqual},
    {"ImageDestinationProfilePopup", "Auto", 1, kCstNotEqual},
    CST_END_OF_CONDITIONS,
};
const ConstraintItem conditionsColorOptions_0008[] = {
    {"ColorAsGrayCheckBox", "Checked", 1, kCstEqual},
    {"TextDestinationProfilePopup", "Auto", 1, kCstNotEqual},
    CST_END_OF_CONDITIONS,
};
const ConstraintItem conditionsColorOptions_0009[] = {
    {"ColorAsGrayCheckBox", "Checked", 1, kCstEqual},
    {"GraphicsDestinationProfilePopup", "Auto", 1, kCstNotEqual},
    CST_END_OF_CONDITIONS,
};
const ConstraintItem conditionsColorOptions_0013[] = {
    {"EconoModeCheckBox", "Checked", 1, kCstEqual},
    {"EdgeTypePopup", "Off", 1, kCstEqual},
    CST_END_OF_CONDITIONS,
};
const ConstraintItem conditionsColorOptions_0014[] = {
    {"EdgeTypePopup", "Off", 1, kCstEqual},
    CST_END_OF_CONDITIONS,
};

#undef CST_END_OF_CONDITIONS

// Logic lists: the single condition decides, or condition 0 OR condition 1.
const int32_t conditions2ndColorOptions_0000[] = {kCstEndOfList};
const int32_t conditions2ndColorOptions_0001[] = {0, 1, kCstOr, kCstEndOfList};

const ConstraintOption options_0001[] = {{kCstOptionGrayOut, 0}};

constexpr ConstraintItem grayOut(const char* identifier) {
    ConstraintItem item{{}, {}, -1, kCstEndOfList};
    for (int i = 0; identifier[i] && i < 31; ++i)
        item.identifier[i] = identifier[i];
    return item;
}

constexpr ConstraintItem uncheck(const char* identifier) {
    ConstraintItem item = grayOut(identifier);
    const char name[] = "UnChecked";
    for (int i = 0; name[i]; ++i)
        item.valueName[i] = name[i];
    item.value = 0;
    item.op = kCstAssign;
    return item;
}

constexpr ConstraintRule single(const ConstraintItem* conditions, ConstraintItem target) {
    return {kCstValueChange, 1,      conditions, 0,           conditions2ndColorOptions_0000,
            target,          target, 1,          options_0001};
}

constexpr ConstraintRule either(const ConstraintItem* conditions, ConstraintItem target,
                                int32_t logicCount = 3, int8_t conditionCount = 2) {
    return {
        kCstValueChange, conditionCount, conditions, logicCount,  conditions2ndColorOptions_0001,
        target,          target,         1,          options_0001};
}

constexpr ConstraintItem textEdgeEnhanceTarget() {
    ConstraintItem item = grayOut("TextEdgeEnhancePopup");
    item.value = 0;
    return item;
}

} // namespace

const ConstraintRule cstColorOption[] = {
    single(conditionsColorOptions_0006, grayOut("GoToAdvancedOptionsButton")),
    single(conditionsColorOptions_0000, uncheck("ColorSeparationCheckBox")),
    single(conditionsColorOptions_0001, uncheck("ColorAsGrayCheckBox")),
    single(conditionsColorOptions_0000, grayOut("ImageRGBSourcePopup")),
    either(conditionsColorOptions_0002, grayOut("ImageRenderIntentPopup")),
    either(conditionsColorOptions_0007, grayOut("ImageGrayTreatmentPopup")),
    single(conditionsColorOptions_0000, grayOut("ImageDestinationProfilePopup")),
    single(conditionsColorOptions_0000, grayOut("TextRGBSourcePopup")),
    either(conditionsColorOptions_0003, grayOut("TextRenderIntentPopup")),
    either(conditionsColorOptions_0008, grayOut("TextGrayTreatmentPopup")),
    single(conditionsColorOptions_0000, grayOut("TextDestinationProfilePopup")),
    single(conditionsColorOptions_0000, grayOut("GraphicsRGBSourcePopup")),
    either(conditionsColorOptions_0004, grayOut("GraphicsRenderIntentPopup")),
    either(conditionsColorOptions_0009, grayOut("GraphicsGrayTreatmentPopup")),
    single(conditionsColorOptions_0000, grayOut("GraphicsDestinationProfilePopup")),
    single(conditionsColorOptions_0000, grayOut("SimulationSourcePopup")),
    either(conditionsColorOptions_0005, grayOut("SimulationRenderIntentPopup")),
    either(conditionsColorOptions_0005, grayOut("SimulationGrayTreatmentPopup")),
    either(conditionsColorOptions_0013, grayOut("ImageEdgeEnhancePopup")),
    either(conditionsColorOptions_0014, textEdgeEnhanceTarget(), 0, 1),
    either(conditionsColorOptions_0013, grayOut("GraphicsEdgeEnhancePopup")),
    {kCstEndOfRules, 0, nullptr, 0, nullptr, {}, {}, 0, nullptr},
};

const ConstraintKeyword strOpe2enum_sample[] = {
    {"(", 1, kCstGroupOpen},     {")", 1, kCstGroupClose},
    {"&", 1, kCstAnd},           {"|", 1, kCstOr},
    {"!=", 2, kCstNotEqual},     {"->", 2, kCstAssign},
    {"=<", 2, kCstLessEqual},    {"<=", 2, kCstLessEqual2},
    {">=", 2, kCstGreaterEqual}, {"=>", 2, kCstGreaterEqual2},
    {"=", 1, kCstEqual},         {"<", 1, kCstLess},
    {">", 1, kCstGreater},       {"", 0, kCstEndOfOperatorTable},
};

const ConstraintKeyword strOption2enum_Mod[] = {
    {"/GROUT", 6, kCstOptionGrayOut},   {"/CHMSG_", 7, kCstOptionChangeMsg},
    {"/ERMSG_", 7, kCstOptionErrorMsg}, {"/TOOLC_", 7, kCstOptionToolC},
    {"/HINT_", 6, kCstOptionHint},      {"", 0, kCstEndOfOptionTable},
};

const ConstraintKeyword strMainOpe2enum_sample[] = {
    {"ABSTRACTION_CONDITION", 21, kCstAbstractionCondition},
    {"ABSTRACTION_TARGET", 18, kCstAbstractionTarget},
    {"VRCHG", 5, kCstValueChange},
    {"DPICO", 5, kCstDPICO},
    {"HINT", 4, kCstHint},
    {"", 0, kCstEndOfMainOperatorTable},
};

} // namespace PDE
