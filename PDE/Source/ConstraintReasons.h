// Why a rule grays out its target, in the user's language. The words come
// from the rule itself: the control its holding condition reads (by that
// control's accessible name) and the value the condition compares with.
#pragma once

#include "PDETypes.h"

#include <QString>

class QWidget;

namespace PDE {

// "Unavailable while Color as Grayscale is on", "Unavailable while RGB Source
// is None", "Available with the Custom Quick Color only": the first of the
// rule's conditions that holds, in words; empty when none holds.
QString constraintReason(int ruleIndex, ControlTableEntry* table);

// Why a control of an option the queue's PPD lacks is grayed out.
QString missingOptionReason();
// Why the button that opens the Profile Management window is grayed out.
QString profileServiceReason();

// Shows why a control is grayed out, as its tool tip and its accessible
// description; an empty reason clears both.
void setControlReason(QWidget* control, const QString& reason);

} // namespace PDE
