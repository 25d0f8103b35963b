#include "ConstraintEngine.h"

#include "ConstraintReasons.h"
#include "PDECommon.h"

#include <QWidget>

#include <cstring>

namespace PDE {

namespace {

bool compare(int32_t op, int32_t value, int32_t wanted) {
    switch (op) {
    case kCstEqual:
        return value == wanted;
    case kCstNotEqual:
        return value != wanted;
    case kCstLess:
        return value < wanted;
    case kCstGreater:
        return value > wanted;
    case kCstLessEqual:
    case kCstLessEqual2:
        return value <= wanted;
    case kCstGreaterEqual:
    case kCstGreaterEqual2:
        return value >= wanted;
    default:
        return false;
    }
}

void setTargetEnabled(int ruleIndex, ControlTableEntry* table, bool enabled) {
    const ConstraintRule& rule = cstColorOption[ruleIndex];
    for (int i = 0; i < rule.optionCount; ++i) {
        ControlTableEntry* row = findRowByIdentifier(table, rule.target.identifier);
        // A control of an option the PPD lacks is never enabled.
        const bool inert = row && rowHasPPDKeyword(row) && !row->choices;
        if (row && rule.options[i].optionKind == kCstOptionGrayOut && row->control) {
            const bool on = enabled && !inert;
            row->control->setEnabled(on);
            // A grayed-out control says why, to the eye and to assistive tools.
            setControlReason(row->control, inert ? missingOptionReason()
                                           : on  ? QString()
                                                 : constraintReason(ruleIndex, table));
        }
    }
}

} // namespace

ControlTableEntry* findRowByIdentifier(ControlTableEntry* table, const char* identifier) {
    if (!table)
        return nullptr;
    for (ControlTableEntry* row = table; row->kind != kControlKindEnd; ++row) {
        if (std::strcmp(row->identifier, identifier) == 0)
            return row;
    }
    return nullptr;
}

bool bConditionHolds(const ConstraintItem& condition, ControlTableEntry* table) {
    const ControlTableEntry* row = findRowByIdentifier(table, condition.identifier);
    if (!row)
        return false;
    const int32_t value =
        PDECommon::commonConvertToCSTValue(row, PDECommon::commonGetControlValueWithSInt32(row));
    return compare(condition.op, value, condition.value);
}

void vColorPresetConstraints(ControlTableEntry* table) {
    for (int i = 0; cstColorOption[i].ruleKind != kCstEndOfRules; ++i) {
        if (bMatchCondition(i, table) == 0) {
            vActReverseOption(i, table);
        } else {
            vValueChange(i, table);
            vActOption(i, table);
        }
    }
}

void vColorPresetConstraintStates(ControlTableEntry* table) {
    for (int i = 0; cstColorOption[i].ruleKind != kCstEndOfRules; ++i) {
        if (bMatchCondition(i, table) == 0)
            vActReverseOption(i, table);
        else
            vActOption(i, table);
    }
}

uint8_t bMatchCondition(int ruleIndex, ControlTableEntry* table) {
    const ConstraintRule& rule = cstColorOption[ruleIndex];
    bool flags[kMaxConstraintConditions] = {};
    const int conditions = std::min<int>(rule.conditionCount, kMaxConstraintConditions);
    for (int k = 0; k < conditions; ++k)
        flags[k] = bConditionHolds(rule.conditions[k], table);

    bool accumulator = conditions > 0 && flags[0];
    bool operand = false;
    for (int t = 0; t < kMaxConstraintLogicTokens && rule.logic[t] != kCstEndOfList; ++t) {
        const int32_t token = rule.logic[t];
        if (token >= 0 && token < kMaxConstraintConditions)
            operand = flags[token];
        else if (token == kCstAnd)
            accumulator = accumulator && operand;
        else if (token == kCstOr)
            accumulator = accumulator || operand;
    }
    return accumulator ? 1 : 0;
}

void vValueChange(int ruleIndex, ControlTableEntry* table) {
    const ConstraintRule& rule = cstColorOption[ruleIndex];
    ControlTableEntry* row = findRowByIdentifier(table, rule.target.identifier);
    if (!row || rule.action.op != kCstAssign)
        return;
    PDECommon::commonSetControlValueWithSInt32(
        row, PDECommon::commonConvertFromCSTValue(row, rule.action.value));
}

void vActOption(int ruleIndex, ControlTableEntry* table) {
    setTargetEnabled(ruleIndex, table, false);
}

void vActReverseOption(int ruleIndex, ControlTableEntry* table) {
    setTargetEnabled(ruleIndex, table, true);
}

} // namespace PDE
