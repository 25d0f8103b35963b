// Accessible names and translated texts of the panel's and the window's
// controls.
#pragma once

#include "PDETypes.h"

#include <QString>

class QWidget;

namespace PDE {

// The dynamic property of an interface file's control that holds the key of
// its accessible name, for a control whose text does not tell it apart.
inline constexpr const char* kAccessibleNameKeyProperty = "pdeAccessibleName";

// A title as a name: without mnemonic marks, a trailing colon or ellipsis.
QString accessibleTextOf(const QString& title);

// Names every control under `root`: a label's buddy by the label's text, a
// button or check box by its own text, a label by its text, and a control
// with a name key (kAccessibleNameKeyProperty) by that key's translation.
// Run again after the titles change.
void commonSetAccessibleNames(QWidget* root);

// The name a rule's explanation uses for a row's control.
QString controlName(const ControlTableEntry* row);

// Replaces the texts an interface file wrote (window titles, labels, buttons,
// menu items, tab titles, accessible names) by their translations in the
// bundle's strings table; texts without a translation stay as written.
void commonTranslateInterface(QWidget* root);

} // namespace PDE
