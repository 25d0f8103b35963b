// The command line of print-dialog.
#pragma once

#include <QString>
#include <QStringList>

#include <optional>
#include <utility>
#include <vector>

namespace PrintHost {

struct PrintDialogOptions {
    QString ppdPath;
    QString queue;
    QString printerId;
    std::optional<QString> deviceURI;
    QString pluginDirectory;
    QString ticketPath;
    std::vector<std::pair<QString, QString>> choices; // --set KEYWORD=VALUE, in order
    QString showPane;                                 // "", "color" or "advanced"
    QString documentPath;                             // --file: printed instead of the test page
    bool save = false;
    bool print = false;
    bool saveDefaults = false;
    bool summary = false;
    bool state = false;
    QString screenshotPath;
    std::optional<QString> profilesScript; // --profiles "ACTION; ..."
    bool profilesList = false;             // --profiles-list
    bool headless = false;
    bool help = false;

    // Whether the run produces something by itself; otherwise, with a
    // display, the window opens.
    bool scripted() const {
        return save || print || saveDefaults || summary || state || !screenshotPath.isEmpty() ||
               profilesScript || profilesList;
    }
};

// Parses the arguments (the program name first). Null with `error` set when
// they are not a valid command line.
std::optional<PrintDialogOptions> parsePrintDialogArguments(const QStringList& arguments,
                                                            QString* error);

QString printDialogUsage();

} // namespace PrintHost
