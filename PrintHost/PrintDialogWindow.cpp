#include "PrintDialogWindow.h"

#include "BlockedWindowAccess.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace PrintHost {

PrintDialogWindow::PrintDialogWindow(QWidget* panelView, const QString& title, Action ok,
                                     Action print, QWidget* parent)
    : QDialog(parent), ok_(std::move(ok)), print_(std::move(print)) {
    setWindowTitle(title);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(panelView);
    panelView->show();

    auto* buttons = new QDialogButtonBox(this);
    // The standard buttons' texts come from the dialog's own translations.
    QPushButton* cancelButton = buttons->addButton(QDialogButtonBox::Cancel);
    cancelButton->setText(QCoreApplication::translate("print-dialog", "&Cancel"));
    QPushButton* okButton = buttons->addButton(QDialogButtonBox::Ok);
    okButton->setText(QCoreApplication::translate("print-dialog", "&OK"));
    QPushButton* printButton = buttons->addButton(
        QCoreApplication::translate("print-dialog", "Print"), QDialogButtonBox::AcceptRole);
    printButton->setDefault(true);
    for (QPushButton* button : {cancelButton, okButton, printButton})
        button->setAccessibleName(spokenButtonName(button->text()));
    layout->addWidget(buttons);

    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(okButton, &QPushButton::clicked, this, [this] { run(ok_); });
    connect(printButton, &QPushButton::clicked, this, [this] { run(print_); });
}

// The button box sets a focus order of its own among its buttons, and with a
// button of the accept role that order can close on itself (forward Tab then
// never leaves OK and Print); a pane the panel shows joins the focus chain
// after the buttons. The window therefore keeps the order itself.
QList<QWidget*> PrintDialogWindow::tabCycle() const {
    QList<QWidget*> controls;
    QList<QWidget*> buttons;
    const auto* box = findChild<QDialogButtonBox*>();
    const qsizetype bound = findChildren<QWidget*>().size();
    QWidget* widget = nextInFocusChain();
    for (qsizetype step = 0; widget && widget != this && step < bound;
         ++step, widget = widget->nextInFocusChain()) {
        if (!(widget->focusPolicy() & Qt::TabFocus) || !widget->isEnabled() ||
            !widget->isVisibleTo(this) || widget->window() != this || widget->focusProxy())
            continue;
        if (controls.contains(widget) || buttons.contains(widget))
            continue;
        (box && box->isAncestorOf(widget) ? buttons : controls).append(widget);
    }
    const bool rightToLeft = layoutDirection() == Qt::RightToLeft;
    std::stable_sort(buttons.begin(), buttons.end(), [this, rightToLeft](QWidget* a, QWidget* b) {
        const int ax = a->mapTo(this, QPoint()).x();
        const int bx = b->mapTo(this, QPoint()).x();
        return rightToLeft ? ax > bx : ax < bx;
    });
    return controls + buttons;
}

bool PrintDialogWindow::focusNextPrevChild(bool next) {
    const QList<QWidget*> cycle = tabCycle();
    if (cycle.isEmpty())
        return QDialog::focusNextPrevChild(next);
    // The control that has the focus, or the one a focus proxy stands for.
    QWidget* current = focusWidget();
    qsizetype at = -1;
    for (QWidget* w = current; w && at < 0 && w != this; w = w->parentWidget())
        at = cycle.indexOf(w);
    const qsizetype count = cycle.size();
    const qsizetype target =
        at < 0 ? (next ? 0 : count - 1) : (at + (next ? 1 : count - 1)) % count;
    cycle[target]->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
    return true;
}

void PrintDialogWindow::setNote(const QString& text) {
    auto* note = findChild<QLabel*>(QStringLiteral("note"), Qt::FindDirectChildrenOnly);
    if (!note) {
        note = new QLabel(this);
        note->setObjectName(QStringLiteral("note"));
        note->setWordWrap(true);
        auto* box = static_cast<QVBoxLayout*>(layout());
        box->insertWidget(box->count() - 1, note);
    }
    note->setText(text);
}

void PrintDialogWindow::run(const Action& action) {
    QString error;
    if (!action || action(&error)) {
        accept();
        return;
    }
    QMessageBox::warning(this, windowTitle(), error);
}

} // namespace PrintHost
