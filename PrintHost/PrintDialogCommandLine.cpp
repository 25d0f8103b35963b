#include "PrintDialogCommandLine.h"

#include <QCommandLineParser>
#include <QFileInfo>

namespace PrintHost {

namespace {

std::optional<PrintDialogOptions> failWith(QString* error, const QString& message) {
    if (error)
        *error = message;
    return std::nullopt;
}

} // namespace

QString printDialogUsage() {
    return QStringLiteral(
        "Usage: print-dialog [--ppd FILE [--printer-id ID] [--device-uri URI] | --queue NAME]\n"
        "                    [--plugin DIR] [--ticket FILE] [--set KEYWORD=VALUE]...\n"
        "                    [--show color|advanced] [--save] [--print] [--file PATH]\n"
        "                    [--save-defaults] [--summary] [--state] [--screenshot FILE.png]\n"
        "                    [--profiles \"ACTION; ...\"] [--profiles-list] [--headless]\n"
        "\n"
        "Stands in for the print dialog: loads the Color Options plug-in bundle for a\n"
        "printer whose PPD names it (*APDialogExtension), shows its panel and drives it as\n"
        "the dialog does.\n"
        "\n"
        "Printer:\n"
        "  --ppd FILE             the printer's PPD file\n"
        "  --printer-id ID        the printer's identifier (default: the PPD file's name\n"
        "                         without its extension)\n"
        "  --device-uri URI       the printer's device URI (default: none)\n"
        "  --queue NAME           a queue of the CUPS server (CUPS_SERVER): its PPD, its\n"
        "                         device URI; the identifier is NAME\n"
        "  (neither)              with a display: choose among the CUPS queues whose PPD\n"
        "                         names the panel\n"
        "\n"
        "Plug-in and ticket:\n"
        "  --plugin DIR           the plug-in bundle, loaded whatever the PPD names (default:\n"
        "                         ../lib/ColorOptionsPlugin.plugin beside the program, then\n"
        "                         " ZRK_BUNDLE_FROM_BIN ")\n"
        "  --ticket FILE          the print settings as an XML property list: read when the\n"
        "                         file exists, written by --save and by OK; with --queue and\n"
        "                         no --ticket the settings start from the queue's saved\n"
        "                         defaults (lpoptions)\n"
        "\n"
        "Actions, run in this order after the panel has restored its values:\n"
        "  --show color|advanced  switch to that pane first\n"
        "  --set KEYWORD=VALUE    choose VALUE in the control bound to the PPD keyword, as a\n"
        "                         user would: a pop-up item by its choice keyword (#N: item N,\n"
        "                         counted from 0), a check box by True or False; repeatable\n"
        "  --save                 save the panel's values and write the ticket\n"
        "  --print                save (in memory), ask the panel before printing, print the\n"
        "                         job's options as KEYWORD=VALUE lines; with --queue, submit a\n"
        "                         test page with them and print \"job-id: N\"\n"
        "  --file PATH            with --queue and --print: print this document instead of\n"
        "                         the test page (any type the server accepts)\n"
        "  --save-defaults        with --queue: keep the panel's options as the queue's saved\n"
        "                         defaults (lpoptions), which every program's jobs carry\n"
        "  --summary              print the panel's summary as one JSON object\n"
        "  --state                print the shown pane and every control as one JSON object\n"
        "  --screenshot FILE.png  write a picture of the panel\n"
        "  --profiles \"ACTION; ...\"\n"
        "                         open the Profile Management window with the Management\n"
        "                         Profile button and perform the actions in order (before\n"
        "                         --save): group RGB|SIM|DST, select N, toggle N, add, edit,\n"
        "                         delete, browse PATH, file TEXT, name TEXT, location\n"
        "                         Disk|Card, entry-ok, entry-cancel, screenshot FILE.png, and\n"
        "                         a last ok or cancel (default: ok)\n"
        "  --profiles-list        print the three groups of the profile file as one JSON object\n"
        "\n"
        "Without --save, --print, --summary, --state, --screenshot, --profiles and\n"
        "--profiles-list, and with a display, a window shows the panel with Cancel, OK and\n"
        "Print. On a queue without --ticket, OK keeps the choices as the queue's saved\n"
        "defaults (as --save-defaults does).\n"
        "  --headless             never use a display (also when DISPLAY and WAYLAND_DISPLAY\n"
        "                         are unset)\n"
        "  -h, --help             show this text\n"
        "\n"
        "Exit status: 0 done, 1 a step failed (plug-in, ticket writing, printing, a job the\n"
        "server refused, saving defaults, picture), 2 bad arguments, missing PPD, unreadable\n"
        "ticket or document, unusable bundle, unknown queue,\n"
        "3 a --set or a --profiles action was refused (nothing written).\n");
}

std::optional<PrintDialogOptions> parsePrintDialogArguments(const QStringList& arguments,
                                                            QString* error) {
    QCommandLineParser parser;
    const QCommandLineOption ppd(QStringLiteral("ppd"), QString(), QStringLiteral("FILE"));
    const QCommandLineOption printerId(QStringLiteral("printer-id"), QString(),
                                       QStringLiteral("ID"));
    const QCommandLineOption deviceURI(QStringLiteral("device-uri"), QString(),
                                       QStringLiteral("URI"));
    const QCommandLineOption queue(QStringLiteral("queue"), QString(), QStringLiteral("NAME"));
    const QCommandLineOption plugin(QStringLiteral("plugin"), QString(), QStringLiteral("DIR"));
    const QCommandLineOption ticket(QStringLiteral("ticket"), QString(), QStringLiteral("FILE"));
    const QCommandLineOption set(QStringLiteral("set"), QString(), QStringLiteral("KEYWORD=VALUE"));
    const QCommandLineOption show(QStringLiteral("show"), QString(), QStringLiteral("PANE"));
    const QCommandLineOption save(QStringLiteral("save"));
    const QCommandLineOption print(QStringLiteral("print"));
    const QCommandLineOption file(QStringLiteral("file"), QString(), QStringLiteral("PATH"));
    const QCommandLineOption saveDefaults(QStringLiteral("save-defaults"));
    const QCommandLineOption summary(QStringLiteral("summary"));
    const QCommandLineOption state(QStringLiteral("state"));
    const QCommandLineOption screenshot(QStringLiteral("screenshot"), QString(),
                                        QStringLiteral("FILE"));
    const QCommandLineOption profiles(QStringLiteral("profiles"), QString(),
                                      QStringLiteral("ACTIONS"));
    const QCommandLineOption profilesList(QStringLiteral("profiles-list"));
    const QCommandLineOption headless(QStringLiteral("headless"));
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    parser.addOptions({ppd, printerId, deviceURI, queue, plugin, ticket, set, show, save, print,
                       file, saveDefaults, summary, state, screenshot, profiles, profilesList,
                       headless, help});

    if (!parser.parse(arguments))
        return failWith(error, parser.errorText());
    if (!parser.positionalArguments().isEmpty())
        return failWith(error, QStringLiteral("unexpected argument \"%1\"")
                                   .arg(parser.positionalArguments().constFirst()));

    PrintDialogOptions options;
    options.help = parser.isSet(help);
    if (options.help)
        return options;

    for (const auto* single :
         {&ppd, &printerId, &deviceURI, &queue, &plugin, &ticket, &show, &screenshot, &file}) {
        if (parser.values(*single).size() > 1)
            return failWith(
                error,
                QStringLiteral("--%1 is given more than once").arg(single->names().constFirst()));
        if (parser.isSet(*single) && parser.value(*single).isEmpty())
            return failWith(
                error,
                QStringLiteral("--%1 needs a non-empty value").arg(single->names().constFirst()));
    }

    options.ppdPath = parser.value(ppd);
    options.queue = parser.value(queue);
    if (!options.ppdPath.isEmpty() && !options.queue.isEmpty())
        return failWith(error, QStringLiteral("give exactly one of --ppd FILE and --queue NAME"));
    if (!options.queue.isEmpty() && (parser.isSet(printerId) || parser.isSet(deviceURI)))
        return failWith(error, QStringLiteral("--printer-id and --device-uri go with --ppd; a "
                                              "queue has its own"));
    if (!options.ppdPath.isEmpty()) {
        options.printerId = parser.isSet(printerId) ? parser.value(printerId)
                                                    : QFileInfo(options.ppdPath).completeBaseName();
        if (options.printerId.isEmpty())
            return failWith(error, QStringLiteral("the PPD file's name gives no printer "
                                                  "identifier; give --printer-id"));
        if (parser.isSet(deviceURI))
            options.deviceURI = parser.value(deviceURI);
    } else {
        options.printerId = options.queue;
    }

    options.pluginDirectory = parser.value(plugin);
    options.ticketPath = parser.value(ticket);
    for (const QString& pair : parser.values(set)) {
        const auto equals = pair.indexOf(QLatin1Char('='));
        if (equals <= 0)
            return failWith(error,
                            QStringLiteral("--set needs KEYWORD=VALUE, not \"%1\"").arg(pair));
        options.choices.emplace_back(pair.left(equals), pair.mid(equals + 1));
    }
    options.showPane = parser.value(show);
    if (!options.showPane.isEmpty() && options.showPane != QLatin1String("color") &&
        options.showPane != QLatin1String("advanced"))
        return failWith(
            error,
            QStringLiteral("--show takes color or advanced, not \"%1\"").arg(options.showPane));
    options.save = parser.isSet(save);
    options.print = parser.isSet(print);
    options.documentPath = parser.value(file);
    options.saveDefaults = parser.isSet(saveDefaults);
    if (options.queue.isEmpty() && (options.saveDefaults || !options.documentPath.isEmpty()))
        return failWith(error, QStringLiteral("--file and --save-defaults go with --queue"));
    if (!options.documentPath.isEmpty() && !options.print)
        return failWith(error, QStringLiteral("--file names the document --print prints; give "
                                              "--print too"));
    options.summary = parser.isSet(summary);
    options.state = parser.isSet(state);
    options.screenshotPath = parser.value(screenshot);
    if (parser.values(profiles).size() > 1)
        return failWith(error, QStringLiteral("--profiles is given more than once"));
    if (parser.isSet(profiles))
        options.profilesScript = parser.value(profiles);
    options.profilesList = parser.isSet(profilesList);
    options.headless = parser.isSet(headless);
    // Without a printer only the window can go on: it lets the user choose
    // a queue.
    if (options.ppdPath.isEmpty() && options.queue.isEmpty() &&
        (options.scripted() || options.headless || parser.isSet(printerId) ||
         parser.isSet(deviceURI) || !options.choices.empty() || !options.showPane.isEmpty()))
        return failWith(error, QStringLiteral("give exactly one of --ppd FILE and --queue NAME"));
    return options;
}

} // namespace PrintHost
