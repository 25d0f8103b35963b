// A text field that, on every user edit, enforces a maximum length
// (optionally a name part and an extension after a "."), drops characters its
// input key does not allow, reverts to the last accepted text when an edit
// breaks a limit, and enables its operated control only for an acceptable
// text.
#pragma once

#include <QLineEdit>
#include <QPointer>

namespace PDE {

class VXTextField : public QLineEdit {
    Q_OBJECT
public:
    explicit VXTextField(QWidget* parent = nullptr);

    using QLineEdit::setMaxLength;
    void setMaxLength(int32_t maxLength, int32_t extension);
    void setInputKey(int32_t key) { inputkey = key; }
    void setOperateControl(QWidget* control) { operateOutlet = control; }
    void setOldString(const QString& text) { oldValue = text; }
    const QString& oldString() const { return oldValue; }

    // Runs the checks on the field's current text after an edit.
    void textDidChange();

private:
    void revert(bool moveInsertionPoint, int selectionStart, qsizetype length);

    QPointer<QWidget> operateOutlet;
    int32_t inputkey = 0;
    int32_t maxLen = 0;
    int32_t maxExtension = 0;
    QString oldValue;
    bool userEditPending_ = false;
};

} // namespace PDE
