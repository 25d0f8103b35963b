// The constraint engine: a constant rule table walked over a control table.
// Rules name controls by the identifier of their rows, so the same rules run
// over one pane's table or over the combined table.
#pragma once

#include "PDETypes.h"

#include <cstdint>

namespace PDE {

// Codes of the rule language.
enum ConstraintCode : int32_t {
    kCstGroupOpen = 1001,     // "("
    kCstGroupClose = 1002,    // ")"
    kCstAnd = 1003,           // "&"
    kCstOr = 1004,            // "|"
    kCstEqual = 1005,         // "="
    kCstNotEqual = 1006,      // "!="
    kCstAssign = 1007,        // "->"
    kCstLess = 1009,          // "<"
    kCstGreater = 1010,       // ">"
    kCstLessEqual = 1011,     // "=<"
    kCstLessEqual2 = 1012,    // "<="
    kCstGreaterEqual = 1013,  // ">="
    kCstGreaterEqual2 = 1014, // "=>"
    kCstEndOfList = 1017,
    kCstEndOfOperatorTable = 1018,
    kCstEndOfRules = 1019,
    kCstAbstractionCondition = 1020,
    kCstAbstractionTarget = 1021,
    kCstValueChange = 1022, // "VRCHG"
    kCstDPICO = 1023,
    kCstHint = 1024,
    kCstEndOfMainOperatorTable = 1025,
    kCstOptionGrayOut = 1027,   // "/GROUT"
    kCstOptionChangeMsg = 1028, // "/CHMSG_"
    kCstOptionErrorMsg = 1029,  // "/ERMSG_"
    kCstOptionToolC = 1030,     // "/TOOLC_"
    kCstOptionHint = 1031,      // "/HINT_"
    kCstEndOfOptionTable = 1032,
};

constexpr int kMaxConstraintConditions = 20;
constexpr int kMaxConstraintLogicTokens = 40;

struct ConstraintItem {
    char identifier[32];
    char valueName[32]; // documentation only
    int32_t value;      // CST value
    int32_t op;
};

struct ConstraintOption {
    int32_t optionKind;
    int32_t reserved;
};

struct ConstraintRule {
    int32_t ruleKind;
    int8_t conditionCount;
    const ConstraintItem* conditions;
    int32_t logicCount; // informational
    const int32_t* logic;
    ConstraintItem target;
    ConstraintItem action;
    int8_t optionCount;
    const ConstraintOption* options;
};

// A token of the rule language as the rule sources spell it.
struct ConstraintKeyword {
    const char* token;
    int32_t length;
    int32_t code;
};

extern const ConstraintRule cstColorOption[];
extern const ConstraintKeyword strOpe2enum_sample[];
extern const ConstraintKeyword strOption2enum_Mod[];
extern const ConstraintKeyword strMainOpe2enum_sample[];

void vColorPresetConstraints(ControlTableEntry* table);
// Brings every target's enabled state and reason in line with the values the
// controls show, changing no value (after the panel set values itself
// without running the rules).
void vColorPresetConstraintStates(ControlTableEntry* table);
// The first row bearing the identifier; null when none does.
ControlTableEntry* findRowByIdentifier(ControlTableEntry* table, const char* identifier);
// Whether one condition holds for the controls of the table (false when no
// row bears its identifier).
bool bConditionHolds(const ConstraintItem& condition, ControlTableEntry* table);
uint8_t bMatchCondition(int ruleIndex, ControlTableEntry* table);
void vValueChange(int ruleIndex, ControlTableEntry* table);
void vActOption(int ruleIndex, ControlTableEntry* table);
void vActReverseOption(int ruleIndex, ControlTableEntry* table);

} // namespace PDE
