// Assistive tools act on controls through their accessible interfaces, which
// know nothing of modal windows: a screen reader could press a button of the
// print dialog behind the open Profile Management window. The interfaces
// installed here refuse every action of a button whose window a modal window
// blocks, as the mouse and the keyboard are refused; a blocked pop-up's list
// does not stay open.
#pragma once

#include <QString>

class QWidget;

namespace PrintHost {

// Whether a modal window blocks the window of `widget` (the application's
// modal window, or a window-modal one opened from it).
bool isBlockedByModalWindow(const QWidget* widget);

// A button's text as a screen reader should say it: without the mnemonic,
// whether marked in the text ("&Cancel") or after it ("キャンセル(&C)").
QString spokenButtonName(const QString& text);

// Gives push buttons, check boxes and radio buttons accessible interfaces
// that do nothing while their window is blocked, and keeps the lists of
// blocked pop-ups closed. Call once, after the application object exists.
void installBlockedWindowAccess();

} // namespace PrintHost
