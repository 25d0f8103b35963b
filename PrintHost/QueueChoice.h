// Choosing a queue when print-dialog starts without --queue and --ppd: the
// CUPS queues whose PPD names the Color Options panel, in a small window.
#pragma once

#include <QDialog>
#include <QString>

#include <vector>

class QListWidget;

namespace PrintHost {

struct PanelQueue {
    QString name;
    QString description; // the queue's printer-info, else its make and model
};

// The queues of the CUPS server (CUPS_SERVER, or the client configuration)
// whose PPD names the panel's bundle, in the server's order. Empty with
// `error` set when the server cannot be asked.
std::vector<PanelQueue> queuesNamingThePanel(QString* error);

// What a user does to get a queue for the printer.
QString howToAddThePrinter();

// Lists the queues and lets the user pick one; with none, says how to add
// the printer (and, given, why the server could not be asked).
class QueueChoiceDialog : public QDialog {
    Q_OBJECT
public:
    explicit QueueChoiceDialog(const std::vector<PanelQueue>& queues,
                               const QString& serverError = QString(), QWidget* parent = nullptr);

    // The queue picked when the dialog was accepted.
    QString chosenQueue() const;

private:
    QListWidget* list_ = nullptr;
};

} // namespace PrintHost
