#include "QueueChoice.h"

#include "PPDFile.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include <cups/cups.h>

namespace PrintHost {

namespace {

QString dialogText(const char* text) {
    return QCoreApplication::translate("print-dialog", text);
}

// Whether the queue's PPD, fetched from the server, names the panel.
bool queueNamesThePanel(const char* queue) {
    const char* fetched = cupsGetPPD2(CUPS_HTTP_DEFAULT, queue);
    if (!fetched)
        return false;
    const QString path = QFile::decodeName(fetched);
    QString ignored;
    const auto ppd = PPDFile::open(path, &ignored);
    const bool names = ppd && ppd->namesDialogExtension(QString::fromLatin1(kPanelBundleName));
    QFile::remove(path);
    return names;
}

} // namespace

std::vector<PanelQueue> queuesNamingThePanel(QString* error) {
    cups_dest_t* dests = nullptr;
    const int count = cupsGetDests2(CUPS_HTTP_DEFAULT, &dests);
    if (count == 0 && cupsLastError() > IPP_STATUS_OK_CONFLICTING) {
        if (error)
            *error = dialogText("The printing system (CUPS) cannot be asked for its printers: %1")
                         .arg(QString::fromUtf8(cupsLastErrorString()));
        return {};
    }
    std::vector<PanelQueue> queues;
    for (int i = 0; i < count; ++i) {
        const cups_dest_t& dest = dests[i];
        // An instance is a set of saved options on a queue, not a queue.
        if (dest.instance || !queueNamesThePanel(dest.name))
            continue;
        const char* info = cupsGetOption("printer-info", dest.num_options, dest.options);
        if (!info || !*info)
            info = cupsGetOption("printer-make-and-model", dest.num_options, dest.options);
        queues.push_back({QString::fromUtf8(dest.name), QString::fromUtf8(info ? info : "")});
    }
    cupsFreeDests(count, dests);
    return queues;
}

QString howToAddThePrinter() {
    return dialogText("No printer uses the ZR-K5100 driver yet. Add the printer in the desktop's "
                      "printer settings and choose the driver \u201cOstra ZR-K5100 PS\u201d, or as "
                      "root:\n\n"
                      "    lpadmin -p NAME -E -v DEVICE-URI -m DRIVER\n\n"
                      "with the DRIVER that \u201clpinfo -m | grep ZR-K5100\u201d names. Then open "
                      "ZR-K5100 Color Options again.");
}

QueueChoiceDialog::QueueChoiceDialog(const std::vector<PanelQueue>& queues,
                                     const QString& serverError, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(dialogText("ZR-K5100 Color Options"));
    auto* layout = new QVBoxLayout(this);
    auto* buttons = new QDialogButtonBox(this);

    if (queues.empty()) {
        QString text = howToAddThePrinter();
        if (!serverError.isEmpty())
            text = serverError + QStringLiteral("\n\n") + text;
        auto* help = new QLabel(text, this);
        help->setObjectName(QStringLiteral("howToAddThePrinter"));
        help->setWordWrap(true);
        help->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
        layout->addWidget(help);
        buttons->addButton(QDialogButtonBox::Close)->setText(dialogText("&Close"));
        connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
        layout->addWidget(buttons);
        return;
    }

    auto* intro =
        new QLabel(dialogText("Choose the printer whose color options you want to set:"), this);
    intro->setWordWrap(true);
    layout->addWidget(intro);
    list_ = new QListWidget(this);
    list_->setObjectName(QStringLiteral("queueList"));
    list_->setAccessibleName(dialogText("Printers"));
    intro->setBuddy(list_);
    for (const PanelQueue& queue : queues) {
        const QString text =
            queue.description.isEmpty()
                ? queue.name
                : QStringLiteral("%1 \u2013 %2").arg(queue.name, queue.description);
        auto* item = new QListWidgetItem(text, list_);
        item->setData(Qt::UserRole, queue.name);
    }
    list_->setCurrentRow(0);
    layout->addWidget(list_);

    buttons->addButton(QDialogButtonBox::Cancel)->setText(dialogText("&Cancel"));
    QPushButton* open = buttons->addButton(QDialogButtonBox::Ok);
    open->setText(dialogText("&Open"));
    open->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(list_, &QListWidget::itemActivated, this, &QDialog::accept);
    layout->addWidget(buttons);
}

QString QueueChoiceDialog::chosenQueue() const {
    if (!list_ || !list_->currentItem())
        return QString();
    return list_->currentItem()->data(Qt::UserRole).toString();
}

} // namespace PrintHost
