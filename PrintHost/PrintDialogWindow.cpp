#include "PrintDialogWindow.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

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
    layout->addWidget(buttons);

    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(okButton, &QPushButton::clicked, this, [this] { run(ok_); });
    connect(printButton, &QPushButton::clicked, this, [this] { run(print_); });
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
