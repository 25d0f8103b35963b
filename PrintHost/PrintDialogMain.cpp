// print-dialog: the print dialog's stand-in, interactive or scripted.
#include "BlockedWindowAccess.h"
#include "PrintDialogCommandLine.h"
#include "PrintDialogRun.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLibraryInfo>
#include <QLocale>
#include <QStringList>
#include <QTemporaryDir>
#include <QTranslator>

#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

QtMessageHandler g_defaultHandler = nullptr;

// The offscreen platform warns about every window it cannot size from its
// contents; off screen that is expected, so the warning is dropped.
void quietOffscreen(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type == QtWarningMsg &&
        message.startsWith(QLatin1String("This plugin does not support propagateSizeHints")))
        return;
    if (g_defaultHandler)
        g_defaultHandler(type, context, message);
    else
        std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
}

bool hasDisplay() {
    const char* x11 = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    return (x11 && *x11) || (wayland && *wayland);
}

} // namespace

int main(int argc, char** argv) {
    // An empty locale variable counts as unset, for the C library and for
    // Qt; libcups, which reads the PPD's translations for the language it
    // finds once and for the whole run, would take it for a language.
    for (const char* name : {"LC_ALL", "LC_MESSAGES"}) {
        const char* value = std::getenv(name);
        if (value && !*value)
            ::unsetenv(name);
    }

    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);

    QString error;
    const auto options = PrintHost::parsePrintDialogArguments(arguments, &error);
    if (!options) {
        std::fprintf(stderr, "print-dialog: %s (see print-dialog --help)\n",
                     error.toLocal8Bit().constData());
        return PrintHost::kExitBadInput;
    }
    if (options->help) {
        std::fputs(PrintHost::printDialogUsage().toLocal8Bit().constData(), stdout);
        return PrintHost::kExitOK;
    }

    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    const bool headless =
        options->headless || !hasDisplay() || platform == "offscreen" || platform == "minimal";
    if (headless) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        g_defaultHandler = qInstallMessageHandler(quietOffscreen);
    }

    // Qt wants a private runtime folder; give it one of ours when the
    // session has none, and remove it afterwards.
    std::unique_ptr<QTemporaryDir> runtimeDir;
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        runtimeDir = std::make_unique<QTemporaryDir>(
            QDir::tempPath() + QStringLiteral("/print-dialog-runtime-XXXXXX"));
        if (runtimeDir->isValid()) {
            QFile::setPermissions(runtimeDir->path(), QFileDevice::ReadOwner |
                                                          QFileDevice::WriteOwner |
                                                          QFileDevice::ExeOwner);
            qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtimeDir->path()));
        }
    }

    // Qt reads options of its own from the command line (-plugin among them);
    // ours are parsed already, so it gets only the program's name.
    int qtArgc = 1;
    char* qtArgv[] = {argv[0], nullptr};
    int status = PrintHost::kExitOK;
    {
        QApplication app(qtArgc, qtArgv);
        QApplication::setApplicationName(QStringLiteral("print-dialog"));
        PrintHost::installBlockedWindowAccess();
        // The dialog's own texts in the user's language (Qt's choice from
        // LANGUAGE, LC_ALL, LC_MESSAGES and LANG), English otherwise.
        QTranslator translator;
        if (translator.load(QLocale(), QStringLiteral("print-dialog"), QStringLiteral("_"),
                            QStringLiteral(":/i18n")))
            QCoreApplication::installTranslator(&translator);
        // Qt's own texts (standard buttons, the file dialog, system error
        // reasons) from Qt's translations, where the system has them.
        QTranslator qtTranslator;
        if (qtTranslator.load(QLocale(), QStringLiteral("qtbase"), QStringLiteral("_"),
                              QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
            QCoreApplication::installTranslator(&qtTranslator);
        status = PrintHost::runPrintDialog(*options, !headless, stdout, stderr);
    }
    return status;
}
