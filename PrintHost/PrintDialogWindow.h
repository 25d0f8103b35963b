// The interactive print dialog: the panel with Cancel, OK and Print.
#pragma once

#include <QDialog>

#include <functional>

class QWidget;

namespace PrintHost {

class PrintDialogWindow : public QDialog {
    Q_OBJECT
public:
    // An action answers whether it succeeded and, if not, why.
    using Action = std::function<bool(QString* error)>;

    PrintDialogWindow(QWidget* panelView, const QString& title, Action ok, Action print,
                      QWidget* parent = nullptr);

    // A line above the buttons that says what they do beyond the usual.
    void setNote(const QString& text);

private:
    void run(const Action& action);

    Action ok_;
    Action print_;
};

} // namespace PrintHost
