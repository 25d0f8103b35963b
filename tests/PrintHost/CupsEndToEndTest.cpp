// print-dialog --queue against a real cupsd of its own: private folders,
// loopback only, stopped however the test ends.
#include "PrintDialogRun.h"
#include "PrintDialogWindow.h"
#include "QueueChoice.h"
#include "TestSupport.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <gtest/gtest.h>

#include <cups/cups.h>

#include <csignal>
#include <cstdio>
#include <functional>
#include <sys/prctl.h>
#include <unistd.h>

using namespace PrintHostTest;

namespace {

// A cupsd in the foreground with its own configuration under a temporary folder.
class PrivateCupsd {
public:
    bool start(QString* why) {
        if (::geteuid() != 0)
            return fail(why, QStringLiteral("cupsd must start as root"));
        cupsd_ = QStringLiteral("/usr/sbin/cupsd");
        if (!QFileInfo(cupsd_).isExecutable())
            return fail(why, QStringLiteral("cupsd is not installed"));
        if (!dir_.isValid())
            return fail(why, QStringLiteral("no temporary folder"));
        port_ = freePort();
        if (port_ == 0)
            return fail(why, QStringLiteral("no free loopback port"));

        const QString root = dir_.path();
        for (const char* sub : {"spool", "spool/tmp", "cache", "state", "log", "ppd", "ssl"})
            QDir(root).mkpath(QString::fromLatin1(sub));
        const QString cupsdConf =
            QStringLiteral("Listen 127.0.0.1:%1\n"
                           "LogLevel info\n"
                           "Browsing No\n"
                           "BrowseLocalProtocols none\n"
                           "DefaultAuthType None\n"
                           "WebInterface No\n"
                           "PreserveJobHistory Yes\n"
                           "PreserveJobFiles No\n"
                           "<Location />\n  Order allow,deny\n  Allow 127.0.0.1\n</Location>\n"
                           "<Location /admin>\n  Order allow,deny\n  Allow 127.0.0.1\n</Location>\n"
                           "<Policy default>\n  <Limit All>\n    Order deny,allow\n  </Limit>\n"
                           "</Policy>\n")
                .arg(port_);
        const QString filesConf = QStringLiteral("FileDevice Yes\n"
                                                 "ServerRoot %1\n"
                                                 "RequestRoot %1/spool\n"
                                                 "TempDir %1/spool/tmp\n"
                                                 "CacheDir %1/cache\n"
                                                 "StateDir %1/state\n"
                                                 "AccessLog %1/log/access_log\n"
                                                 "ErrorLog %1/log/error_log\n"
                                                 "PageLog %1/log/page_log\n"
                                                 "Printcap %1/printcap\n"
                                                 "User lp\n"
                                                 "Group lp\n"
                                                 "SystemGroup root\n")
                                      .arg(root);
        if (!writeFile(root + QStringLiteral("/cupsd.conf"), cupsdConf.toUtf8()) ||
            !writeFile(root + QStringLiteral("/cups-files.conf"), filesConf.toUtf8()))
            return fail(why, QStringLiteral("cannot write the configuration"));
        // cupsd checks that its folders belong to root and are not world-writable.
        QFile::setPermissions(root, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                        QFileDevice::ExeOwner | QFileDevice::ReadGroup |
                                        QFileDevice::ExeGroup | QFileDevice::ReadOther |
                                        QFileDevice::ExeOther);

        process_.setWorkingDirectory(root);
        // Even a crashing test must not leave its cupsd behind.
        process_.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
        process_.setProcessChannelMode(QProcess::MergedChannels);
        process_.start(cupsd_, {QStringLiteral("-f"), QStringLiteral("-c"),
                                root + QStringLiteral("/cupsd.conf"), QStringLiteral("-s"),
                                root + QStringLiteral("/cups-files.conf")});
        if (!process_.waitForStarted(5000))
            return fail(why, QStringLiteral("cupsd did not start"));
        for (int i = 0; i < 100; ++i) {
            if (process_.state() != QProcess::Running)
                break;
            QTcpSocket probe;
            probe.connectToHost(QStringLiteral("127.0.0.1"), port_);
            if (probe.waitForConnected(100))
                return true;
            QThread::msleep(100);
        }
        return fail(why, QStringLiteral("cupsd did not listen: ") +
                             QString::fromLocal8Bit(process_.readAll()) +
                             QString::fromLocal8Bit(readFile(root + "/log/error_log")));
    }

    ~PrivateCupsd() {
        if (process_.state() != QProcess::NotRunning) {
            process_.terminate();
            if (!process_.waitForFinished(10000)) {
                process_.kill();
                process_.waitForFinished(5000);
            }
        }
    }

    QString server() const { return QStringLiteral("127.0.0.1:%1").arg(port_); }
    QString root() const { return dir_.path(); }
    QProcessEnvironment environment() const {
        QProcessEnvironment env;
        env.insert(QStringLiteral("CUPS_SERVER"), server());
        env.insert(QStringLiteral("CUPS_USER"), QStringLiteral("root"));
        return env;
    }

private:
    static bool fail(QString* why, const QString& reason) {
        *why = reason;
        return false;
    }
    static quint16 freePort() {
        QTcpServer server;
        return server.listen(QHostAddress::LocalHost, 0) ? server.serverPort() : 0;
    }

    QTemporaryDir dir_;
    QString cupsd_;
    quint16 port_ = 0;
    QProcess process_;
};

struct Tool {
    int exitCode = -1;
    QByteArray out;
};

Tool runTool(const QString& program, const QStringList& args, const QProcessEnvironment& add) {
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const QString& key : add.keys())
        env.insert(key, add.value(key));
    process.setProcessEnvironment(env);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, args);
    Tool tool;
    if (process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit)
        tool.exitCode = process.exitCode();
    tool.out = process.readAll();
    return tool;
}

// Every job of the queue with all its attributes, as ipptool lists them.
QString jobListing(const PrivateCupsd& cupsd, const QString& queue) {
    const QString test = QDir(cupsd.root()).filePath(QStringLiteral("get-jobs.test"));
    writeFile(test, "{\n"
                    "  OPERATION Get-Jobs\n"
                    "  GROUP operation-attributes-tag\n"
                    "  ATTR charset attributes-charset utf-8\n"
                    "  ATTR naturalLanguage attributes-natural-language en\n"
                    "  ATTR uri printer-uri $uri\n"
                    "  ATTR keyword which-jobs all\n"
                    "  ATTR keyword requested-attributes all\n"
                    "  STATUS successful-ok\n"
                    "}\n");
    const Tool jobs = runTool(
        QStandardPaths::findExecutable(QStringLiteral("ipptool")),
        {"-t", "-v", QStringLiteral("ipp://%1/printers/%2").arg(cupsd.server(), queue), test},
        cupsd.environment());
    return jobs.exitCode == 0 ? QString::fromUtf8(jobs.out) : QString();
}

// The attribute as a job listing shows it (CUPS sends "True"/"False" as IPP
// booleans, the rest as names).
bool listsAttribute(const QString& listing, const QString& name, const QString& value) {
    const QRegularExpression line(
        QStringLiteral("\\b%1 \\([a-zA-Z]+\\) = %2(\n|$)")
            .arg(QRegularExpression::escape(name), QRegularExpression::escape(value)),
        QRegularExpression::CaseInsensitiveOption);
    return listing.contains(line);
}

// A private cupsd with the queue ZRQ, stopped, on the bundled PPD; skips the test
// where that cannot run.
class CupsEndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        QString why;
        if (!cupsd.start(&why))
            GTEST_SKIP() << "cannot run a private cupsd here: " << why.toStdString();
        if (!QFileInfo(QStringLiteral("/usr/sbin/lpadmin")).isExecutable() ||
            QStandardPaths::findExecutable(QStringLiteral("ipptool")).isEmpty())
            GTEST_SKIP() << "lpadmin or ipptool is not installed";
        const Tool made = runTool(QStringLiteral("/usr/sbin/lpadmin"),
                                  {"-h", cupsd.server(), "-p", "ZRQ", "-v", "file:/dev/null", "-P",
                                   QStringLiteral(BUNDLED_PPD), "-E"},
                                  cupsd.environment());
        ASSERT_EQ(made.exitCode, 0) << made.out.toStdString();
        // A stopped queue keeps its jobs pending with every attribute; a job
        // that completes may already have lost its options when the listing
        // is read.
        const Tool stopped = runTool(QStringLiteral("/usr/sbin/cupsdisable"),
                                     {"-h", cupsd.server(), "ZRQ"}, cupsd.environment());
        ASSERT_EQ(stopped.exitCode, 0) << stopped.out.toStdString();
    }

    PrivateCupsd cupsd;
};

} // namespace

TEST_F(CupsEndToEnd, QueuePrintSubmitsAJobCarryingThePanelsOptions) {
    const QProcessEnvironment env = cupsd.environment();

    // The queue's identifier, device URI and PPD reach the panel.
    auto r = runPrintDialog({"--queue", "ZRQ", "--summary", "--state"}, env);
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QStringList shown = lines(r.out);
    ASSERT_EQ(shown.size(), 2) << r.out.toStdString();
    EXPECT_TRUE(shown[0].contains(QStringLiteral("\"Printer\":\"ZRQ\""))) << r.out.toStdString();
    EXPECT_TRUE(shown[0].contains(QStringLiteral("\"Device URI\":\"file:/dev/null\"")))
        << r.out.toStdString();
    EXPECT_TRUE(shown[1].contains(QStringLiteral("\"Automatic\""))) << "the queue's PPD";

    r = runPrintDialog(
        {"--queue", "ZRQ", "--set", "VXQuickColor=Photo", "--set", "VXColorAsGray=True", "--print"},
        env);
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString() << r.out.toStdString();
    const QStringList out = lines(r.out);
    ASSERT_EQ(out.size(), 4) << r.out.toStdString();
    EXPECT_EQ(out.mid(0, 3),
              (QStringList{"VXColorAsGray=True", "VXImageHalftone=Smooth", "VXQuickColor=Photo"}));
    ASSERT_TRUE(out[3].startsWith(QStringLiteral("job-id: "))) << r.out.toStdString();
    const QString jobId = out[3].mid(8);

    // Read the job's attributes back from the server.
    const QString listing = jobListing(cupsd, QStringLiteral("ZRQ"));
    ASSERT_FALSE(listing.isEmpty());
    EXPECT_TRUE(listing.contains(QStringLiteral("job-id (integer) = ") + jobId))
        << listing.toStdString();
    for (const char* attribute : {"VXQuickColor (nameWithoutLanguage) = Photo",
                                  "VXColorAsGray (nameWithoutLanguage) = True",
                                  "VXImageHalftone (nameWithoutLanguage) = Smooth"}) {
        const QString name = QString::fromLatin1(attribute).section(QLatin1Char(' '), 0, 0);
        const QString value = QString::fromLatin1(attribute).section(QLatin1Char(' '), -1);
        // CUPS sends "True"/"False" as IPP booleans; the rest as names.
        const QRegularExpression line(
            QStringLiteral("%1 \\([a-zA-Z]+\\) = %2\\b")
                .arg(QRegularExpression::escape(name), QRegularExpression::escape(value)),
            QRegularExpression::CaseInsensitiveOption);
        EXPECT_TRUE(listing.contains(line)) << attribute << "\n" << listing.toStdString();
    }
}

TEST_F(CupsEndToEnd, ChosenProfileDocumentsRefusalsAndSavedDefaults) {
    QProcessEnvironment env = cupsd.environment();
    // libcups' client files (lpoptions) go to folders of the test's own.
    QTemporaryDir clientFiles;
    ASSERT_TRUE(clientFiles.isValid());
    QDir(clientFiles.path()).mkpath(QStringLiteral("home"));
    QDir(clientFiles.path()).mkpath(QStringLiteral("etc"));
    env.insert(QStringLiteral("HOME"), clientFiles.path() + QStringLiteral("/home"));
    env.insert(QStringLiteral("CUPS_SERVERROOT"), clientFiles.path() + QStringLiteral("/etc"));

    // A ticket in which the RGB source menu shows a profile, the text menu a
    // PPD choice.
    const QString ticket = clientFiles.path() + QStringLiteral("/ticket.plist");
    const QByteArray path = "2?6174613161...";
    ASSERT_TRUE(writeFile(ticket, "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist "
                                  "version=\"1.0\"><dict>"
                                  "<key>VXImageRGBSource</key><string>None</string>"
                                  "<key>VXImageRGBSourceCustom</key><string>True</string>"
                                  "<key>VXImageRGBSourceCustomFilename</key><string>" +
                                      path +
                                      "</string>"
                                      "<key>VXTextRGBSource</key><string>sRGB</string>"
                                      "<key>VXTextRGBSourceCustom</key><string>False</string>"
                                      "<key>VXTextRGBSourceCustomFilename</key><string>x</string>"
                                      "</dict></plist>\n"));
    const QString text = clientFiles.path() + QStringLiteral("/letter.txt");
    ASSERT_TRUE(writeFile(text, "Dear printer,\nplease print this.\n"));

    auto r = runPrintDialog({"--queue", "ZRQ", "--ticket", ticket, "--file", text, "--print"}, env);
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    QStringList out = lines(r.out);
    ASSERT_FALSE(out.isEmpty());
    const QString jobId = out.takeLast().mid(8);
    // The chosen profile travels in the menu's path option, a custom choice.
    EXPECT_TRUE(out.contains(QStringLiteral("VXPathImageRGBSource=Custom.") + path));
    EXPECT_FALSE(out.filter(QStringLiteral("VXImageRGBSourceCustom")).size());
    EXPECT_FALSE(out.filter(QStringLiteral("VXPathTextRGBSource")).size()) << "not chosen";
    QString listing = jobListing(cupsd, QStringLiteral("ZRQ"));
    EXPECT_TRUE(listing.contains(QStringLiteral("job-id (integer) = ") + jobId));
    EXPECT_TRUE(listing.contains(QStringLiteral("document-name-supplied (nameWithoutLanguage) = "
                                                "letter.txt")));
    EXPECT_TRUE(listing.contains(QStringLiteral("document-format-detected (mimeMediaType) = "
                                                "text/plain")))
        << listing.toStdString();
    // The printed options are the job's.
    for (const QString& option : out) {
        EXPECT_TRUE(listsAttribute(listing, option.section(QLatin1Char('='), 0, 0),
                                   option.section(QLatin1Char('='), 1)))
            << option.toStdString() << "\n"
            << listing.toStdString();
    }

    // A document that is not there: no job.
    const qsizetype jobsBefore = listing.count(QStringLiteral("job-id (integer)"));
    r = runPrintDialog({"--queue", "ZRQ", "--file", "/nonexistent/doc.pdf", "--print"}, env);
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_EQ(lines(r.err).size(), 1);
    EXPECT_TRUE(r.err.contains("/nonexistent/doc.pdf")) << r.err.toStdString();
    EXPECT_TRUE(r.out.isEmpty());

    // A queue that rejects jobs: the server's own words, nothing reported printed.
    ASSERT_EQ(runTool(QStringLiteral("/usr/sbin/cupsreject"), {"-h", cupsd.server(), "ZRQ"}, env)
                  .exitCode,
              0);
    r = runPrintDialog({"--queue", "ZRQ", "--print"}, env);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains("not accepting jobs")) << r.err.toStdString();
    EXPECT_TRUE(r.out.isEmpty()) << r.out.toStdString();
    EXPECT_EQ(jobListing(cupsd, QStringLiteral("ZRQ")).count(QStringLiteral("job-id (integer)")),
              jobsBefore);
    runTool(QStringLiteral("/usr/sbin/cupsaccept"), {"-h", cupsd.server(), "ZRQ"}, env);

    // Saved defaults: lp's jobs carry them, and the dialog opens on them,
    // the profile choice included.
    r = runPrintDialog({"--queue", "ZRQ", "--ticket", ticket, "--save-defaults"}, env);
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    r = runPrintDialog({"--queue", "ZRQ", "--print"}, env);
    EXPECT_TRUE(r.out.contains("VXPathImageRGBSource=Custom." + path)) << r.out.toStdString();
    // Saved again from a new ticket: the profile no longer chosen leaves
    // nothing behind; options the user did not change are saved too.
    const QString fresh = clientFiles.path() + QStringLiteral("/fresh.plist");
    r = runPrintDialog(
        {"--queue", "ZRQ", "--ticket", fresh, "--set", "VXQuickColor=Photo", "--save-defaults"},
        env);
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    // libcups keeps the user's lpoptions in the home folder (for root too).
    const QByteArray saved =
        readFile(clientFiles.path() + QStringLiteral("/home/.cups/lpoptions")) +
        readFile(clientFiles.path() + QStringLiteral("/etc/lpoptions"));
    EXPECT_TRUE(saved.contains("VXQuickColor=Photo")) << saved.toStdString();
    EXPECT_TRUE(saved.contains("VXImageHalftone=Smooth")) << saved.toStdString();
    EXPECT_FALSE(saved.contains("VXImageRGBSourceCustom")) << saved.toStdString();
    EXPECT_FALSE(saved.contains("VXPathImageRGBSource")) << saved.toStdString();
    EXPECT_FALSE(saved.contains("VXTextRGBSource=")) << saved.toStdString();

    const Tool lp = runTool(QStringLiteral("/usr/bin/lp"), {"-d", "ZRQ", text}, env);
    ASSERT_EQ(lp.exitCode, 0) << lp.out.toStdString();
    listing = jobListing(cupsd, QStringLiteral("ZRQ"));
    // The only job printed with Photo is lp's.
    EXPECT_EQ(listing.count(QStringLiteral("VXQuickColor (nameWithoutLanguage) = Photo")), 1)
        << listing.toStdString();

    r = runPrintDialog({"--queue", "ZRQ", "--state"}, env);
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains("\"choice\":\"Photo\"")) << r.out.toStdString();
}

namespace {

// Runs `act` on each modal window as it shows, in turn, until none is left.
void whenModalWindowsShow(std::vector<std::function<void(QWidget*)>> acts) {
    auto* timer = new QTimer;
    timer->setInterval(20);
    auto remaining = std::make_shared<std::vector<std::function<void(QWidget*)>>>(std::move(acts));
    auto seen = std::make_shared<QWidget*>(nullptr);
    QObject::connect(timer, &QTimer::timeout, [=] {
        QWidget* window = QApplication::activeModalWidget();
        if (!window || window == *seen)
            return;
        *seen = window;
        auto act = remaining->front();
        remaining->erase(remaining->begin());
        if (remaining->empty()) {
            timer->stop();
            timer->deleteLater();
        }
        act(window);
    });
    timer->start();
}

} // namespace

// print-dialog with neither --queue nor --ppd, as the desktop entry starts
// it: without a queue for the panel the window says how to add the printer;
// then it lists only the queues whose PPD names the panel, and OK on the
// chosen queue keeps the panel's choices as that queue's saved defaults.
// In a process of its own (libcups reads HOME and the server once).
TEST(QueueChoice, ListsThePanelsQueuesAndOkSavesTheirDefaults) {
    PrivateCupsd cupsd;
    QString why;
    if (!cupsd.start(&why))
        GTEST_SKIP() << "cannot run a private cupsd here: " << why.toStdString();
    QTemporaryDir client;
    ASSERT_TRUE(client.isValid());
    ASSERT_TRUE(QDir(client.path()).mkpath(QStringLiteral("home")));
    ASSERT_TRUE(QDir(client.path()).mkpath(QStringLiteral("etc")));
    qputenv("HOME", QFile::encodeName(client.path() + QStringLiteral("/home")));
    qputenv("CUPS_SERVERROOT", QFile::encodeName(client.path() + QStringLiteral("/etc")));
    qputenv("CUPS_SERVER", cupsd.server().toUtf8());
    qputenv("CUPS_USER", "root");
    cupsSetServer(cupsd.server().toUtf8().constData());
    const auto lpadmin = [&](const QString& queue, const QString& ppd) {
        return runTool(QStringLiteral("/usr/sbin/lpadmin"),
                       {"-h", cupsd.server(), "-p", queue, "-v", "file:/dev/null", "-P", ppd, "-E"},
                       cupsd.environment());
    };
    // A queue of another driver: its PPD does not name the panel.
    ASSERT_EQ(
        lpadmin(QStringLiteral("Other"), fixturePPD(QStringLiteral("ZR-K5100-NoBrightness.ppd")))
            .exitCode,
        0);

    PrintHost::PrintDialogOptions options;
    options.pluginDirectory = fakeBundle();
    options.choices = {{QStringLiteral("VXQuickColor"), QStringLiteral("Photo")}};
    const auto runDialog = [&] {
        std::FILE* out = std::tmpfile();
        std::FILE* err = std::tmpfile();
        const int status = PrintHost::runPrintDialog(options, true, out, err);
        std::fclose(out);
        std::fclose(err);
        return status;
    };

    QString help;
    bool listShown = true;
    whenModalWindowsShow({[&](QWidget* window) {
        auto* label = window->findChild<QLabel*>(QStringLiteral("howToAddThePrinter"));
        help = label ? label->text() : QString();
        listShown = window->findChild<QListWidget*>() != nullptr;
        window->close();
    }});
    EXPECT_EQ(runDialog(), 0);
    EXPECT_FALSE(listShown);
    EXPECT_TRUE(help.contains(QStringLiteral("lpadmin"))) << help.toStdString();

    ASSERT_EQ(lpadmin(QStringLiteral("ZRQ"), QStringLiteral(BUNDLED_PPD)).exitCode, 0);
    QStringList listed;
    QString note;
    QString title;
    whenModalWindowsShow(
        {[&](QWidget* window) {
             auto* list = window->findChild<QListWidget*>();
             ASSERT_TRUE(list);
             for (int i = 0; i < list->count(); ++i)
                 listed << list->item(i)->data(Qt::UserRole).toString();
             window->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
         },
         [&](QWidget* window) {
             title = window->windowTitle();
             auto* label = window->findChild<QLabel*>(QStringLiteral("note"));
             note = label ? label->text() : QString();
             window->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
         }});
    EXPECT_EQ(runDialog(), 0);
    EXPECT_EQ(listed, QStringList{QStringLiteral("ZRQ")});
    EXPECT_TRUE(title.contains(QStringLiteral("ZRQ"))) << title.toStdString();
    EXPECT_TRUE(note.contains(QStringLiteral("ZRQ"))) << note.toStdString();
    const QByteArray saved = readFile(client.path() + QStringLiteral("/home/.cups/lpoptions")) +
                             readFile(client.path() + QStringLiteral("/etc/lpoptions"));
    EXPECT_TRUE(saved.contains("ZRQ")) << saved.toStdString();
    EXPECT_TRUE(saved.contains("VXQuickColor=Photo")) << saved.toStdString();
}
