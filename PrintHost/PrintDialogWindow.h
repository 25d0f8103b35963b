// The interactive print dialog: the panel with Cancel, OK and Print.
#pragma once

#include <QDialog>
#include <QList>

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

    // The controls Tab visits, in order: the window's own controls and the
    // panel's, in their focus-chain order, then the buttons of the button
    // box in the order they are shown. Hidden and disabled controls are left
    // out; Tab from the last comes round to the first, Shift+Tab the other way.
    QList<QWidget*> tabCycle() const;

protected:
    bool focusNextPrevChild(bool next) override;

private:
    void run(const Action& action);

    Action ok_;
    Action print_;
};

} // namespace PrintHost
