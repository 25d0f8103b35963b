// --profiles: the Profile Management window driven as a user drives it. The
// window is opened by clicking the panel's "Management Profile" button, and
// each action goes through the window's own controls: clicks on its buttons,
// rows and check boxes, items chosen in its menus, keys typed into its
// fields, a file chosen in its open panel.
#pragma once

#include <QString>

#include <optional>
#include <vector>

class QWidget;

namespace PrintHost {

struct ProfileAction {
    enum class Kind {
        Group,       // group RGB|SIM|DST
        Select,      // select N
        Toggle,      // toggle N
        Add,         // add
        Edit,        // edit
        Delete,      // delete
        Browse,      // browse PATH
        File,        // file TEXT
        Name,        // name TEXT
        Location,    // location Disk|Card
        EntryOK,     // entry-ok
        EntryCancel, // entry-cancel
        Screenshot,  // screenshot FILE.png
        OK,          // ok (last only)
        Cancel,      // cancel (last only)
    };
    Kind kind = Kind::OK;
    QString text;   // the action as written, for messages
    QString value;  // PATH, TEXT or FILE
    int number = 0; // row, group index or location index
};

// Parses "ACTION; ACTION; ...". Actions are separated by ";" ("\;" is a ";"
// inside a text, "\\" a backslash); blanks around an action are dropped, and
// so are empty actions. Null, with `error` set, for an unknown action, a
// missing or malformed argument, or "ok"/"cancel" before the end.
std::optional<std::vector<ProfileAction>> parseProfileActions(const QString& script,
                                                              QString* error);

enum class ProfileScriptResult {
    Confirmed, // the window was closed with its OK
    Cancelled, // the window was closed with its Cancel
    Refused,   // a disabled control or a refusal of the window: the window was cancelled
    Failed,    // the window or one of its controls is missing, a picture was not written
};

// Opens the window from `panelView` and performs the actions in order; when
// neither "ok" nor "cancel" ends them, the window is confirmed. `reason`
// explains a refusal or a failure.
ProfileScriptResult runProfileActions(QWidget* panelView, const std::vector<ProfileAction>& actions,
                                      QString* reason);

} // namespace PrintHost
