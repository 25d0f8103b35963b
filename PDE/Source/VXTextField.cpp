#include "VXTextField.h"

#include "TextFilters.h"

namespace PDE {

VXTextField::VXTextField(QWidget* parent) : QLineEdit(parent) {
    // A user's edit is announced by textEdited and then textChanged; any other
    // change (the window showing an entry, clearing the field) by textChanged
    // alone. Editing begins from the text the field holds at that moment, so
    // a text put in by the program becomes the one to go back to.
    connect(this, &QLineEdit::textEdited, this, [this] {
        userEditPending_ = true;
        textDidChange();
    });
    connect(this, &QLineEdit::textChanged, this, [this] {
        if (userEditPending_)
            userEditPending_ = false;
        else
            oldValue = text();
    });
}

void VXTextField::setMaxLength(int32_t maxLength, int32_t extension) {
    maxLen = maxLength;
    maxExtension = extension;
}

void VXTextField::revert(bool moveInsertionPoint, int selectionStart, qsizetype length) {
    const QSignalBlocker quiet(this);
    setText(oldValue);
    if (moveInsertionPoint)
        setCursorPosition(int(selectionStart - length + oldValue.size()));
}

void VXTextField::textDidChange() {
    QString t = text();
    const qsizetype n = t.size();
    const qsizetype d = t.indexOf(u'.');
    const bool hasDot = d >= 0;
    const int insertion = hasSelectedText() ? selectionStart() : cursorPosition();

    int32_t limit = maxLen;
    if (maxExtension > 0 && !hasDot)
        limit = maxLen - 1 - maxExtension;
    bool accepted = false;
    if (uint32_t(n) > uint32_t(limit)) {
        revert(true, insertion, n);
    } else {
        bool namePartFits = true;
        bool extensionFits = true;
        if (maxExtension > 0 && hasDot) {
            namePartFits = d <= maxLen - 1 - maxExtension;
            const bool secondDot = t.indexOf(u'.', d + 1) >= 0;
            extensionFits = n - d <= maxExtension + 1 && !(n > 1 && namePartFits && secondDot);
            if (!namePartFits || !extensionFits)
                revert(false, insertion, n);
        }
        if (namePartFits && extensionFits) {
            if (n > 0) {
                const QString typed = t;
                CheckUniCharString(reinterpret_cast<const char16_t*>(typed.utf16()), typed.size(),
                                   inputkey, &t);
                if (t != typed) {
                    // Keep the insertion point after what was typed, less what was dropped.
                    const int cursor = cursorPosition() - int(typed.size() - t.size());
                    const QSignalBlocker quiet(this);
                    setText(t);
                    setCursorPosition(std::max(0, cursor));
                }
            }
            accepted = true;
        }
    }

    if (operateOutlet) {
        const QString now = text();
        const bool acceptable = !now.isEmpty() && !now.startsWith(u'.');
        if (operateOutlet->isEnabled() != acceptable)
            operateOutlet->setEnabled(acceptable);
    }
    if (accepted)
        oldValue = n > 0 ? t : QString();
}

} // namespace PDE
