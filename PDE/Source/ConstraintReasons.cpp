#include "ConstraintReasons.h"

#include "Accessibility.h"
#include "ConstraintEngine.h"
#include "PDECommon.h"

#include <QCheckBox>
#include <QComboBox>
#include <QWidget>

namespace PDE {

namespace {

// The sentence templates, keys of the bundle's strings table: %1 is the
// control, %2 its value.
constexpr const char* kReasonWhileOn = "Unavailable while %1 is on";
constexpr const char* kReasonWhileOff = "Unavailable while %1 is off";
constexpr const char* kReasonWhileValue = "Unavailable while %1 is %2";
constexpr const char* kReasonOnlyWith = "Available with the %2 %1 only";
constexpr const char* kReasonNotInPPD = "The printer's PPD does not offer this option";
constexpr const char* kReasonNoProfileService = "The profile service is not available";

QString sentence(const char* key) {
    const QString text = PDECommon::localizedString(key);
    return text.isNull() ? QString::fromLatin1(key) : text;
}

QString describe(const ConstraintItem& condition, const ControlTableEntry* source) {
    const QString name = controlName(source);
    if (auto* box = qobject_cast<QCheckBox*>(source->control))
        return sentence(box->isChecked() ? kReasonWhileOn : kReasonWhileOff).arg(name);
    auto* menu = qobject_cast<QComboBox*>(source->control);
    if (!menu)
        return sentence(kReasonWhileValue).arg(name, QString::fromLatin1(condition.valueName));
    // The condition's value is an item index + 1; for "not equal" that item is
    // the one the target needs, otherwise the current one holds the target.
    const int wanted = condition.value - 1;
    if (condition.op == kCstNotEqual && wanted >= 0 && wanted < menu->count())
        return sentence(kReasonOnlyWith).arg(name, menu->itemText(wanted));
    const QString current =
        menu->currentIndex() >= 0 ? menu->currentText() : QString::fromLatin1(condition.valueName);
    return sentence(kReasonWhileValue).arg(name, current);
}

} // namespace

QString missingOptionReason() {
    return sentence(kReasonNotInPPD);
}

QString profileServiceReason() {
    return sentence(kReasonNoProfileService);
}

void setControlReason(QWidget* control, const QString& reason) {
    if (!control)
        return;
    control->setToolTip(reason);
    control->setAccessibleDescription(reason);
}

QString constraintReason(int ruleIndex, ControlTableEntry* table) {
    const ConstraintRule& rule = cstColorOption[ruleIndex];
    const int conditions = std::min<int>(rule.conditionCount, kMaxConstraintConditions);
    for (int k = 0; k < conditions; ++k) {
        const ConstraintItem& condition = rule.conditions[k];
        if (!bConditionHolds(condition, table))
            continue;
        if (const ControlTableEntry* source = findRowByIdentifier(table, condition.identifier))
            return describe(condition, source);
    }
    return QString();
}

} // namespace PDE
