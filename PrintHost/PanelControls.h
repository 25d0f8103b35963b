// What a script does with a panel: find the controls the panel annotated
// (PrintHost::ControlProperty), act on them as a user would, switch panes,
// describe the panel's state and take its picture.
#pragma once

#include <QImage>
#include <QJsonObject>
#include <QString>
#include <QStringList>

#include <vector>

class QWidget;

namespace PrintHost {

class PPDFile;

// Control kind codes of the panel's control table.
enum ControlKind : int {
    kControlKindStaticText = 1034,
    kControlKindPopUp = 1035,
    kControlKindCheckBox = 1036,
    kControlKindPushButton = 1039,
    kControlKindTabView = 1040,
};

struct BoundControl {
    QWidget* widget = nullptr;
    int row = 0;
    int kind = 0;
    QString keyword;
    QString identifier;
};

// Every descendant of `root` that carries a row number, sorted by row (ties
// keep the widget tree's order).
std::vector<BoundControl> boundControls(QWidget* root);

// "popup", "checkbox", "text", "button", "tab", or "other".
QString kindName(int kind);

enum class Pane { None, Color, Advanced };

// The pane shown in `root`: of the widgets named "onColorView" and
// "onAdvancedView", the one that is not hidden.
Pane shownPane(QWidget* root);
QString paneName(Pane pane);
// Shows `pane` by clicking the button that leads to it ("button_AdvanceColorOptions"
// or "button_HideAdvancedOptions"), only when another pane is shown.
bool showPane(QWidget* root, Pane pane, QString* error);

// The outcome of a scripted user action.
enum class ChoiceResult { Done, UnknownKeyword, NotAChoice, Disabled, NotEditable };

// Does what a user would: finds the control bound to `keyword`, selects the
// pop-up item whose choice keyword is `value` ("#N" selects item N) or sets
// the check box to "True"/"False", then sends the control's action.
// Refusals leave the control untouched and explain themselves in `reason`.
ChoiceResult chooseValue(QWidget* root, const QString& keyword, const QString& value,
                         QString* reason);

// {"pane": ..., "controls": [...]}: one element per bound control in row order.
// `ppd` (may be null) tells which check-box options have True/False choices.
QJsonObject describeState(QWidget* root, const PPDFile* ppd);

// The panel laid out at its size hint, rendered off screen.
QImage grabPanel(QWidget* root);

} // namespace PrintHost
