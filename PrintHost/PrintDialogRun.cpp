#include "PrintDialogRun.h"

#include "CupsQueue.h"
#include "JobOptions.h"
#include "PPDFile.h"
#include "PanelControls.h"
#include "PlugInHost.h"
#include "PrintDialogWindow.h"
#include "PrintingLayer.h"
#include "ProfileListing.h"
#include "ProfileWindowScript.h"
#include "QueueChoice.h"
#include "QueueDefaults.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QLabel>
#include <QTemporaryFile>

#include <memory>

namespace PrintHost {

namespace {

// The ticket's product dictionary, which holds the panel's model dictionary
// of each queue.
constexpr const char* kTicketProductKey = "zrk5100";

// One line on a stream, in UTF-8.
void writeLine(std::FILE* stream, const QString& line) {
    const QByteArray bytes = line.toUtf8() + '\n';
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stream);
    std::fflush(stream);
}

// Removes a file when the run ends (the queue's temporary PPD).
class RemoveOnExit {
public:
    explicit RemoveOnExit(QString path) : path_(std::move(path)) {}
    ~RemoveOnExit() {
        if (!path_.isEmpty())
            QFile::remove(path_);
    }
    RemoveOnExit(const RemoveOnExit&) = delete;
    RemoveOnExit& operator=(const RemoveOnExit&) = delete;

private:
    QString path_;
};

QString findBundle(const PrintDialogOptions& options, QString* error) {
    if (!options.pluginDirectory.isEmpty())
        return options.pluginDirectory;
    const QStringList candidates = defaultBundleSearchPath(QCoreApplication::applicationDirPath());
    for (const QString& candidate : candidates) {
        if (QFileInfo(candidate).isDir())
            return candidate;
    }
    if (error)
        *error = QStringLiteral("no plug-in bundle found (looked at %1); give --plugin DIR")
                     .arg(candidates.join(QStringLiteral(", ")));
    return QString();
}

// Everything one run holds, destroyed in the reverse order of creation: the
// panels go before the PPD, settings and session they were given.
class DialogSession {
public:
    DialogSession(const PrintDialogOptions& options, std::FILE* out, std::FILE* err)
        : options_(options), out_(out), err_(err) {}

    int run(bool interactive);

private:
    int fail(int status, const QString& message) {
        writeLine(err_, QStringLiteral("print-dialog: ") + message);
        return status;
    }
    bool save(QString* error);
    bool prepareJob(JobOptionList* options, QString* error);
    bool print(QString* error);
    bool saveDefaults(QString* error);
    QWidget* requireView(const char* step);
    int refuseWithoutPanel(const QString& step);
    bool checkPanelTicket(QString* error) const;

    const PrintDialogOptions& options_;
    std::FILE* out_;
    std::FILE* err_;
    std::unique_ptr<PPDFile> ppd_;
    PMPrintSession session_;
    PMPrintSettings settings_;
    std::unique_ptr<PlugInHost> host_;
    PDEPanel* panel_ = nullptr;                   // null: the PPD names no panel, none is loaded
    std::optional<JobOptionList> printedOptions_; // what the last job carried
};

bool DialogSession::save(QString* error) {
    QString panelError;
    if (panel_ && !panel_->saveValuesAndReturnError(&panelError)) {
        *error =
            QCoreApplication::translate("print-dialog", "the panel could not save its values: %1")
                .arg(panelError);
        return false;
    }
    if (options_.ticketPath.isEmpty())
        return true;
    std::string writeError;
    if (!settings_.writeToFile(QFile::encodeName(options_.ticketPath).toStdString(), &writeError)) {
        *error = QCoreApplication::translate("print-dialog", "cannot write the ticket: %1")
                     .arg(QString::fromStdString(writeError));
        return false;
    }
    return true;
}

// The panel's last word before a job: it may veto it, and it applies the
// Quick Color preset to the advanced pane.
bool DialogSession::prepareJob(JobOptionList* options, QString* error) {
    if (panel_ && !panel_->shouldPrint()) {
        *error = QCoreApplication::translate("print-dialog", "the panel cancelled printing");
        return false;
    }
    *options = jobOptions(settings_, *ppd_);
    return true;
}

bool DialogSession::print(QString* error) {
    JobOptionList options;
    if (!prepareJob(&options, error))
        return false;
    int job = 0;
    if (!options_.queue.isEmpty()) {
        QTemporaryFile testPage(QDir::tempPath() + QStringLiteral("/print-dialog-XXXXXX.ps"));
        QString document = options_.documentPath;
        QString title = QFileInfo(document).fileName();
        if (document.isEmpty()) {
            if (!testPage.open() || testPage.write(testPageDocument()) < 0 || !testPage.flush()) {
                *error =
                    QCoreApplication::translate("print-dialog", "cannot write the test page: %1")
                        .arg(testPage.errorString());
                return false;
            }
            document = testPage.fileName();
            title = QStringLiteral("print-dialog test page");
        }
        job = submitJob(options_.queue, document, title, options, error);
        if (job <= 0)
            return false;
    }
    // Only what was queued is reported.
    for (const auto& [key, value] : options)
        writeLine(out_,
                  QString::fromStdString(key) + QLatin1Char('=') + QString::fromStdString(value));
    if (job > 0)
        writeLine(out_, QStringLiteral("job-id: %1").arg(job));
    printedOptions_ = std::move(options);
    return true;
}

bool DialogSession::saveDefaults(QString* error) {
    JobOptionList options;
    if (printedOptions_)
        options = *printedOptions_;
    else if (!prepareJob(&options, error))
        return false;
    const QStringList panelKeywords = panel_ ? panel_->supportedPPDOptionKeys() : QStringList();
    return saveQueueDefaults(options_.queue, options, panelKeywords, *ppd_, error);
}

// Steps that act on the panel's controls, asked of a printer without one.
int DialogSession::refuseWithoutPanel(const QString& step) {
    return fail(kExitBadInput,
                QStringLiteral("%1 refused: the PPD of %2 names no Color Options panel (no "
                               "*APDialogExtension line ending in %3)")
                    .arg(step, options_.printerId, QLatin1String(kPanelBundleName)));
}

// The panel keeps its choices in the ticket's product dictionary, one model
// dictionary per queue. A ticket holding something else there would leave the
// choices nowhere to go, and the job would carry the ticket's old top-level
// values instead of what the panel shows.
bool DialogSession::checkPanelTicket(QString* error) const {
    plist_t product = plist_dict_get_item(settings_.dictionary(), kTicketProductKey);
    if (!product)
        return true;
    if (plist_get_node_type(product) != PLIST_DICT) {
        *error = QStringLiteral("cannot use the ticket: its \"%1\" entry is not a dictionary")
                     .arg(QLatin1String(kTicketProductKey));
        return false;
    }
    plist_t model = plist_dict_get_item(product, options_.printerId.toUtf8().constData());
    if (model && plist_get_node_type(model) != PLIST_DICT) {
        *error = QStringLiteral("cannot use the ticket: its \"%1\" entry for %2 is not a "
                                "dictionary")
                     .arg(QLatin1String(kTicketProductKey), options_.printerId);
        return false;
    }
    return true;
}

QWidget* DialogSession::requireView(const char* step) {
    QWidget* view = host_->panelView();
    if (!view)
        fail(kExitFailure,
             QStringLiteral("the panel has no view, so %1 is impossible").arg(QLatin1String(step)));
    return view;
}

int DialogSession::run(bool interactive) {
    QString error;

    // The printer: a PPD file, or a queue of the CUPS server.
    QString ppdPath = options_.ppdPath;
    std::optional<std::string> deviceURI;
    if (options_.deviceURI)
        deviceURI = options_.deviceURI->toStdString();
    std::unique_ptr<RemoveOnExit> queuePPD;
    if (!options_.queue.isEmpty()) {
        auto queue = describeQueue(options_.queue, &error);
        if (!queue)
            return fail(kExitBadInput, error);
        ppdPath = queue->ppdPath;
        queuePPD = std::make_unique<RemoveOnExit>(queue->ppdPath);
        deviceURI = queue->deviceURI;
    }
    if (!options_.documentPath.isEmpty()) {
        // Refused before anything runs, so that no job goes out without it.
        QFile document(options_.documentPath);
        if (QFileInfo(options_.documentPath).isDir() || !document.open(QIODevice::ReadOnly))
            return fail(kExitBadInput,
                        QStringLiteral("cannot read the document %1: %2")
                            .arg(options_.documentPath, QFileInfo(options_.documentPath).isDir()
                                                            ? QStringLiteral("it is a folder")
                                                            : document.errorString()));
        // An empty document would make a job that prints nothing (or that the
        // server fails later); refused before any job is made.
        char first = 0;
        if (document.read(&first, 1) != 1)
            return fail(kExitBadInput, QStringLiteral("cannot print the document %1: it is empty")
                                           .arg(options_.documentPath));
    }

    ppd_ = PPDFile::open(ppdPath, &error);
    if (!ppd_)
        return fail(kExitBadInput, error);
    queuePPD.reset();

    session_.setCurrentPrinter(
        std::make_shared<PMPrinter>(options_.printerId.toStdString(), deviceURI));

    // The panel belongs to the printers whose PPD names its bundle; --plugin
    // loads the bundle it names whatever the PPD says.
    host_ = std::make_unique<PlugInHost>(&session_, &settings_, ppd_->get());
    if (!options_.pluginDirectory.isEmpty() ||
        ppd_->namesDialogExtension(QLatin1String(kPanelBundleName))) {
        const QString bundle = findBundle(options_, &error);
        if (bundle.isEmpty())
            return fail(kExitBadInput, error);
        if (!host_->load(bundle, &error))
            return fail(kExitBadInput, error);
        panel_ = host_->panel();
    }
    PDEPanel* panel = panel_;

    if (!options_.ticketPath.isEmpty() && QFileInfo::exists(options_.ticketPath)) {
        std::string readError;
        auto ticket = PMPrintSettings::readFromFile(
            QFile::encodeName(options_.ticketPath).toStdString(), &readError);
        if (!ticket)
            return fail(
                kExitBadInput,
                QStringLiteral("cannot use the ticket: %1").arg(QString::fromStdString(readError)));
        settings_.assign(*ticket);
        if (panel && !checkPanelTicket(&error))
            return fail(kExitBadInput, error);
    } else if (!options_.queue.isEmpty() && options_.ticketPath.isEmpty()) {
        // Without a ticket of its own the dialog starts from what the user
        // saved for the queue, as every other program's jobs do.
        applyDefaultsToSettings(savedQueueDefaults(options_.queue, *ppd_), options_.printerId,
                                settings_);
    }

    // A printer without the panel shows this in its place.
    QLabel noPanel(
        QCoreApplication::translate("print-dialog", "This printer has no Color Options."));
    noPanel.setObjectName(QStringLiteral("noPanelView"));
    noPanel.setMargin(24);
    QWidget* view = panel ? host_->panelView() : nullptr;
    QString panelError;
    if (panel && !panel->restoreValuesAndReturnError(&panelError))
        writeLine(err_, QStringLiteral("print-dialog: warning: the panel could not restore its "
                                       "values: %1")
                            .arg(panelError));

    if (!panel) {
        if (!options_.showPane.isEmpty())
            return refuseWithoutPanel(QStringLiteral("--show ") + options_.showPane);
        if (!options_.choices.empty())
            return refuseWithoutPanel(
                QStringLiteral("--set %1=%2")
                    .arg(options_.choices.front().first, options_.choices.front().second));
        if (options_.profilesScript)
            return refuseWithoutPanel(QStringLiteral("--profiles"));
    }

    if (!options_.showPane.isEmpty()) {
        if (!requireView("--show"))
            return kExitFailure;
        const Pane pane =
            options_.showPane == QLatin1String("advanced") ? Pane::Advanced : Pane::Color;
        if (!showPane(view, pane, &error))
            return fail(kExitFailure, error);
    }

    for (const auto& [keyword, value] : options_.choices) {
        if (!requireView("--set"))
            return kExitFailure;
        QString reason;
        if (chooseValue(view, keyword, value, &reason) != ChoiceResult::Done)
            return fail(kExitRefused,
                        QStringLiteral("--set %1=%2 refused: %3").arg(keyword, value, reason));
        QCoreApplication::processEvents();
    }

    if (options_.profilesScript) {
        if (!requireView("--profiles"))
            return kExitFailure;
        const auto actions = parseProfileActions(*options_.profilesScript, &error);
        if (!actions)
            return fail(kExitRefused, QStringLiteral("--profiles refused: %1").arg(error));
        switch (runProfileActions(view, *actions, &error)) {
        case ProfileScriptResult::Confirmed:
        case ProfileScriptResult::Cancelled:
            break;
        case ProfileScriptResult::Refused:
            return fail(kExitRefused, QStringLiteral("--profiles refused: %1").arg(error));
        case ProfileScriptResult::Failed:
            return fail(kExitFailure, QStringLiteral("--profiles failed: %1").arg(error));
        }
        QCoreApplication::processEvents();
    }

    if (options_.save && !save(&error))
        return fail(kExitFailure, error);

    if (options_.print) {
        // The dialog saves every panel before it asks them about printing.
        if (!options_.save && panel) {
            if (!panel->saveValuesAndReturnError(&panelError))
                return fail(
                    kExitFailure,
                    QStringLiteral("the panel could not save its values: %1").arg(panelError));
        }
        if (!print(&error))
            return fail(kExitFailure, error);
    }

    if (options_.saveDefaults) {
        if (!options_.save && !options_.print && panel &&
            !panel->saveValuesAndReturnError(&panelError))
            return fail(kExitFailure,
                        QStringLiteral("the panel could not save its values: %1").arg(panelError));
        if (!saveDefaults(&error))
            return fail(kExitFailure, error);
    }

    if (options_.summary)
        writeLine(out_, QString::fromUtf8(QJsonDocument(summaryToJson(panel ? panel->summaryInfo()
                                                                            : QVariantMap()))
                                              .toJson(QJsonDocument::Compact)));

    if (options_.state) {
        if (panel && !requireView("--state"))
            return kExitFailure;
        writeLine(
            out_,
            QString::fromUtf8(
                QJsonDocument(describeState(view, ppd_.get())).toJson(QJsonDocument::Compact)));
    }

    if (options_.profilesList) {
        const auto groups = describeProfileFile(&error);
        if (!groups)
            return fail(kExitFailure, error);
        writeLine(out_, QString::fromUtf8(QJsonDocument(*groups).toJson(QJsonDocument::Compact)));
    }

    if (!options_.screenshotPath.isEmpty()) {
        if (panel && !requireView("--screenshot"))
            return kExitFailure;
        const QImage picture = grabPanel(panel ? view : &noPanel);
        if (picture.isNull() || !picture.save(options_.screenshotPath, "PNG"))
            return fail(kExitFailure,
                        QStringLiteral("cannot write the picture %1").arg(options_.screenshotPath));
    }

    if (interactive && !options_.scripted()) {
        if (panel && !requireView("showing the window"))
            return kExitFailure;
        if (panel)
            panel->willShow();
        // On a queue without a ticket of its own, OK keeps the panel's choices
        // as the queue's defaults, which every program's jobs carry.
        const bool okSavesDefaults =
            panel && !options_.queue.isEmpty() && options_.ticketPath.isEmpty();
        {
            PrintDialogWindow window(
                panel ? view : &noPanel,
                panel ? QStringLiteral("%1 \u2013 %2").arg(panel->panelName(), options_.printerId)
                      : options_.printerId,
                [this, okSavesDefaults](QString* e) {
                    return save(e) && (!okSavesDefaults || saveDefaults(e));
                },
                [this, panel](QString* e) {
                    QString saveError;
                    if (panel && !panel->saveValuesAndReturnError(&saveError)) {
                        *e = QCoreApplication::translate("print-dialog",
                                                         "the panel could not save its values: %1")
                                 .arg(saveError);
                        return false;
                    }
                    return print(e);
                });
            if (okSavesDefaults)
                window.setNote(QCoreApplication::translate(
                                   "print-dialog",
                                   "OK keeps these choices as the defaults of the printer %1 for "
                                   "every program that prints to it.")
                                   .arg(options_.queue));
            window.exec();
            host_->detachViews();
            noPanel.setParent(nullptr); // the run's own, not the window's
        }
        return kExitOK;
    }
    return kExitOK;
}

} // namespace

int runPrintDialog(const PrintDialogOptions& options, bool interactive, std::FILE* out,
                   std::FILE* err) {
    if (options.ppdPath.isEmpty() && options.queue.isEmpty()) {
        // Neither a PPD nor a queue: with a window, the user picks one of
        // the queues whose PPD names the panel.
        if (!interactive || options.scripted()) {
            writeLine(err, QStringLiteral("print-dialog: give exactly one of --ppd FILE and "
                                          "--queue NAME (without them a display is needed to "
                                          "choose a queue)"));
            return kExitBadInput;
        }
        QString error;
        const std::vector<PanelQueue> queues = queuesNamingThePanel(&error);
        QueueChoiceDialog choice(queues, error);
        if (choice.exec() != QDialog::Accepted || choice.chosenQueue().isEmpty())
            return kExitOK;
        PrintDialogOptions chosen = options;
        chosen.queue = choice.chosenQueue();
        chosen.printerId = chosen.queue;
        DialogSession session(chosen, out, err);
        return session.run(interactive);
    }
    DialogSession session(options, out, err);
    return session.run(interactive);
}

} // namespace PrintHost
