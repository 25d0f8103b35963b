// What the panel's parser-level fuzz targets share: the two panes loaded once
// per process from the bundle's interface file and put back as they were
// after every input.
#pragma once

#include "DialogFuzzSupport.h"

#include "PDETypes.h"

#include <QJsonObject>

class QWidget;

namespace PDE {
class PainChangeController;
}

namespace zrkfuzz {

// Loads the panes (once; the dialog process must be started) and hands the
// plug-in the bundle. Aborts when the interface file lacks them.
PDE::PainChangeController* loadPanes();
// The root of the loaded interface file.
QWidget* panesRoot();
// Remembers every control of the panes' current tables as it is now:
// enabled, tool tip, description, value and (for a pop-up) items.
void rememberControls();
// Puts every remembered control back; a pop-up's items are rebuilt only when
// they differ.
void restoreControls();
// Both panes' tables joined, as the panel joins them.
PDE::ControlTablePtr joinedTable(PDE::PainChangeController* panes);

bool isJsonObject(const QJsonObject& object);
// The panes' summary with its display order, as the dialog is handed it: a
// finding when it is not a JSON object.
void checkSummary(PDE::PainChangeController* panes);

} // namespace zrkfuzz
