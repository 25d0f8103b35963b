// print-dialog as a program: exit statuses, the ticket, --set, --print,
// --summary, --state, --screenshot and where it finds the bundle.
#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTcpServer>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace PrintHostTest;

namespace {

const QString kPPD = QStringLiteral(BUNDLED_PPD);

QStringList withPPD(QStringList args) {
    args.prepend(kPPD);
    args.prepend(QStringLiteral("--ppd"));
    return args;
}

QJsonObject jsonLine(const QString& line) {
    QJsonParseError error{};
    const auto doc = QJsonDocument::fromJson(line.toUtf8(), &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << line.toStdString();
    return doc.object();
}

std::string show(const ProcessResult& r) {
    return "exit " + std::to_string(r.exitCode) + "\nstdout:\n" + r.out.toStdString() +
           "stderr:\n" + r.err.toStdString();
}

} // namespace

TEST(PrintDialog, HelpDocumentsEveryOption) {
    const auto r = runPrintDialog({QStringLiteral("--help")});
    ASSERT_EQ(r.exitCode, 0) << show(r);
    for (const char* option :
         {"--ppd", "--printer-id", "--device-uri", "--queue", "--plugin", "--ticket", "--set",
          "--show", "--save", "--print", "--file", "--save-defaults", "--summary", "--state",
          "--screenshot", "--profiles", "--profiles-list", "--headless"})
        EXPECT_TRUE(r.out.contains(option)) << option;
}

TEST(PrintDialog, BadArgumentsExitTwoWithOneLine) {
    const QStringList cases[] = {
        {},
        {"--bogus"},
        {"--ppd", kPPD, "--queue", "Q"},
        {"--queue", "Q", "--printer-id", "X"},
        {"--ppd", kPPD, "--set", "VXQuickColor"},
        {"--ppd", kPPD, "--set", "=Photo"},
        {"--ppd", kPPD, "--show", "middle"},
        {"--ppd", kPPD, "--ppd", kPPD},
        {"--ppd", kPPD, "stray"},
        {"--ppd", kPPD, "--ticket", ""},
        {"--ppd", kPPD, "--profiles", "ok", "--profiles", "cancel"},
        {"--ppd", "/nonexistent/ZR.ppd", "--state"},
        {"--ppd", QStringLiteral(__FILE__), "--state"},
        {"--ppd", kPPD, "--plugin", "/nonexistent/X.plugin", "--state"},
        {"--queue", "bad/name", "--state"},
        {"--ppd", kPPD, "--file", kPPD, "--print"},
        {"--ppd", kPPD, "--save-defaults"},
        {"--queue", "Q", "--file", kPPD},
    };
    for (const auto& args : cases) {
        const auto r = runPrintDialog(args);
        EXPECT_EQ(r.exitCode, 2) << args.join(' ').toStdString() << "\n" << show(r);
        EXPECT_EQ(lines(r.err).size(), 1) << show(r);
        EXPECT_TRUE(r.out.isEmpty()) << show(r);
    }
}

TEST(PrintDialog, SaveWritesTheTicketAndRestoreReadsItBack) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString ticket = dir.filePath(QStringLiteral("ticket.plist"));

    // Without a ticket file the PPD defaults show.
    auto r = runPrintDialog(withPPD({"--ticket", ticket, "--state"}));
    ASSERT_EQ(r.exitCode, 0) << show(r);
    EXPECT_FALSE(QFileInfo::exists(ticket)) << "only --save writes the ticket";
    auto controls = jsonLine(lines(r.out).value(0)).value("controls").toArray();
    EXPECT_EQ(controls[0].toObject().value("choice").toString(), QStringLiteral("Automatic"));

    r = runPrintDialog(withPPD({"--ticket", ticket, "--set", "VXQuickColor=Vivid", "--set",
                                "VXColorAsGray=True", "--save"}));
    ASSERT_EQ(r.exitCode, 0) << show(r);
    const QByteArray xml = readFile(ticket);
    EXPECT_TRUE(xml.startsWith("<?xml")) << xml.toStdString();
    EXPECT_TRUE(xml.contains("<key>VXQuickColor</key>"));
    EXPECT_TRUE(xml.contains("<string>Vivid</string>"));
    EXPECT_TRUE(xml.contains("<key>zrk5100</key>")) << "nested dictionaries are kept";

    r = runPrintDialog(withPPD({"--ticket", ticket, "--state"}));
    ASSERT_EQ(r.exitCode, 0) << show(r);
    controls = jsonLine(lines(r.out).value(0)).value("controls").toArray();
    EXPECT_EQ(controls[0].toObject().value("choice").toString(), QStringLiteral("Vivid"));
    EXPECT_EQ(controls[1].toObject().value("choice").toString(), QStringLiteral("True"));
    // The fake's rule ran on restore: grayscale grays out the halftone menu.
    EXPECT_FALSE(controls[4].toObject().value("enabled").toBool());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("ticket.plist")});
}

TEST(PrintDialog, ATicketThatIsNotAPlistIsNeverOverwritten) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString ticket = dir.filePath(QStringLiteral("ticket.plist"));
    const QByteArray junk = "these are somebody's notes, not a ticket\n";
    ASSERT_TRUE(writeFile(ticket, junk));
    const auto r = runPrintDialog(withPPD({"--ticket", ticket, "--save"}));
    EXPECT_EQ(r.exitCode, 2) << show(r);
    EXPECT_TRUE(r.err.contains("ticket")) << show(r);
    EXPECT_EQ(lines(r.err).size(), 1) << show(r);
    EXPECT_EQ(readFile(ticket), junk);
    // An unreadable path (a folder) is refused the same way.
    const auto folder = runPrintDialog(withPPD({"--ticket", dir.path(), "--save"}));
    EXPECT_EQ(folder.exitCode, 2) << show(folder);
    // So is a ticket whose product entry (or the queue's entry in it) cannot
    // hold the panel's choices: the job would carry the stale top-level ones.
    for (const QByteArray& product : {QByteArray("<string>x</string>"),
                                      QByteArray("<dict><key>ZR-K5100</key><array/></dict>")}) {
        const QByteArray stale = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist "
                                 "version=\"1.0\"><dict><key>VXQuickColor</key><string>Vivid</"
                                 "string><key>zrk5100</key>" +
                                 product + "</dict></plist>\n";
        ASSERT_TRUE(writeFile(ticket, stale));
        const auto r = runPrintDialog(withPPD({"--ticket", ticket, "--print", "--save"}));
        EXPECT_EQ(r.exitCode, 2) << show(r);
        EXPECT_EQ(lines(r.err).size(), 1) << show(r);
        EXPECT_TRUE(r.err.contains("zrk5100")) << show(r);
        EXPECT_TRUE(r.out.isEmpty()) << show(r);
        EXPECT_EQ(readFile(ticket), stale);
    }
}

TEST(PrintDialog, RefusedSetExitsThreeAndWritesNothing) {
    struct Case {
        QStringList sets;
        const char* mention;
    };
    const Case cases[] = {
        {{"VXNoSuchOption=On"}, "VXNoSuchOption"},
        {{"VXQuickColor=Sepia"}, "Sepia"},
        {{"VXQuickColor=#9"}, "#9"},
        {{"VXColorAsGray=yes"}, "VXColorAsGray"},
        // The first --set runs the panel's rule that grays out the halftone menu.
        {{"VXColorAsGray=True", "VXImageHalftone=Detail"}, "disabled"},
        // A valid --set before a refused one is not saved either.
        {{"VXQuickColor=Photo", "VXBogus=1"}, "VXBogus"},
    };
    for (const auto& c : cases) {
        QTemporaryDir dir;
        ASSERT_TRUE(dir.isValid());
        const QString ticket = dir.filePath(QStringLiteral("ticket.plist"));
        QStringList args = {"--ticket", ticket};
        for (const auto& set : c.sets)
            args << QStringLiteral("--set") << set;
        args << QStringLiteral("--save") << QStringLiteral("--print");
        const auto r = runPrintDialog(withPPD(args));
        EXPECT_EQ(r.exitCode, 3) << show(r);
        EXPECT_EQ(lines(r.err).size(), 1) << show(r);
        EXPECT_TRUE(r.err.contains(c.mention)) << show(r);
        EXPECT_TRUE(r.out.isEmpty()) << show(r);
        EXPECT_FALSE(QFileInfo::exists(ticket)) << show(r);
    }
}

TEST(PrintDialog, PrintListsTheJobOptionsSortedByKeyword) {
    const auto r = runPrintDialog(withPPD({"--set", "VXQuickColor=#3", "--print"}));
    ASSERT_EQ(r.exitCode, 0) << show(r);
    // Saved in memory first (the dialog saves before printing); shouldPrint
    // writes the halftone again; "zrk5100" is not a PPD keyword.
    EXPECT_EQ(lines(r.out), (QStringList{"VXColorAsGray=False", "VXImageHalftone=Smooth",
                                         "VXQuickColor=CustomColor"}))
        << show(r);
}

TEST(PrintDialog, APanelThatVetoesPrintingFails) {
    QProcessEnvironment env;
    env.insert(QStringLiteral("FAKE_PDE_MODE"), QStringLiteral("veto"));
    const auto r = runPrintDialog(withPPD({"--print"}), env);
    EXPECT_EQ(r.exitCode, 1) << show(r);
    EXPECT_TRUE(r.out.isEmpty()) << show(r);
}

TEST(PrintDialog, SummaryAndStateAreOneJsonObjectEach) {
    const auto r = runPrintDialog(
        withPPD({"--printer-id", "Office", "--show", "advanced", "--summary", "--state"}));
    ASSERT_EQ(r.exitCode, 0) << show(r);
    const QStringList out = lines(r.out);
    ASSERT_EQ(out.size(), 2) << show(r);

    const QJsonObject summary = jsonLine(out[0]);
    EXPECT_EQ(summary.value("Summary Display Order").toArray(),
              (QJsonArray{"Quick Color", "Color as Grayscale", "Printer"}));
    EXPECT_EQ(summary.value("Printer").toString(), QStringLiteral("Office"));
    EXPECT_FALSE(summary.contains("Device URI")) << "no device URI unless given";
    EXPECT_EQ(summary.value("Quick Color").toString(), QStringLiteral("Automatic"));
    EXPECT_EQ(summary.value("Color as Grayscale").toString(), QStringLiteral("Off"));

    const QJsonObject state = jsonLine(out[1]);
    EXPECT_EQ(state.value("pane").toString(), QStringLiteral("advanced"));
    const QJsonArray controls = state.value("controls").toArray();
    ASSERT_EQ(controls.size(), 7);
    const QJsonObject halftone = controls[4].toObject();
    EXPECT_EQ(halftone.value("kind").toString(), QStringLiteral("popup"));
    EXPECT_EQ(halftone.value("items").toArray(), (QJsonArray{"Standard", "Smooth", "Detail"}));
    EXPECT_EQ(halftone.value("title").toString(), QStringLiteral("Smooth"));
    EXPECT_EQ(controls[5].toObject().value("kind").toString(), QStringLiteral("tab"));
    EXPECT_EQ(controls[5].toObject().value("title").toString(), QStringLiteral("Image"));
    // The printer identifier defaults to the PPD file's base name.
    const auto back = runPrintDialog(withPPD(
        {"--show", "color", "--device-uri", "socket://192.0.2.7:9100", "--state", "--summary"}));
    ASSERT_EQ(back.exitCode, 0) << show(back);
    const QStringList backOut = lines(back.out);
    ASSERT_EQ(backOut.size(), 2) << show(back);
    const QJsonObject backSummary = jsonLine(backOut[0]);
    EXPECT_EQ(backSummary.value("Printer").toString(), QStringLiteral("ZR-K5100"));
    EXPECT_EQ(backSummary.value("Device URI").toString(),
              QStringLiteral("socket://192.0.2.7:9100"));
    EXPECT_EQ(jsonLine(backOut[1]).value("pane").toString(), QStringLiteral("color"));
}

TEST(PrintDialog, ScreenshotIsAPng) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString png = dir.filePath(QStringLiteral("panel.png"));
    auto r = runPrintDialog(withPPD({"--screenshot", png}));
    ASSERT_EQ(r.exitCode, 0) << show(r);
    EXPECT_TRUE(r.err.isEmpty()) << "headless runs are quiet: " << show(r);
    EXPECT_TRUE(readFile(png).startsWith("\x89PNG"));
    const QImage image(png);
    EXPECT_GT(image.width(), 20);
    EXPECT_GT(image.height(), 20);

    r = runPrintDialog(withPPD({"--screenshot", dir.filePath(QStringLiteral("no/such/x.png"))}));
    EXPECT_EQ(r.exitCode, 1) << show(r);
}

TEST(PrintDialog, APanelWithoutAViewFailsTheStepsThatNeedOne) {
    QProcessEnvironment env;
    env.insert(QStringLiteral("FAKE_PDE_MODE"), QStringLiteral("noview"));
    auto r = runPrintDialog(withPPD({"--state"}), env);
    EXPECT_EQ(r.exitCode, 1) << show(r);
    r = runPrintDialog(withPPD({"--summary"}), env);
    EXPECT_EQ(r.exitCode, 0) << show(r);
}

TEST(PrintDialog, FindsTheBundleBesideItselfThenAtTheInstalledPlace) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    ASSERT_TRUE(QDir().mkpath(dir.filePath(QStringLiteral("bin"))));
    const QString program = dir.filePath(QStringLiteral("bin/print-dialog"));
    ASSERT_TRUE(QFile::copy(QStringLiteral(PRINT_DIALOG_PATH), program));

    const QString info =
        R"({"identifier": "com.ostra.test.FakePlugin", "library": "libFakeColorPlugin.so"})";
    const QStringList places = {QStringLiteral("lib/zrk5100/ColorOptionsPlugin.plugin"),
                                QStringLiteral("lib/ColorOptionsPlugin.plugin")};
    for (const QString& place : places) {
        ASSERT_TRUE(makeBundle(dir.filePath(place), info.toUtf8()));
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        process.setProcessEnvironment(env);
        process.start(program, {QStringLiteral("--ppd"), kPPD, QStringLiteral("--state")});
        ASSERT_TRUE(process.waitForFinished(60000));
        EXPECT_EQ(process.exitCode(), 0)
            << place.toStdString() << process.readAllStandardError().toStdString();
    }
    // Beside the program wins: make the installed one unusable.
    ASSERT_TRUE(writeFile(
        dir.filePath(QStringLiteral("lib/zrk5100/ColorOptionsPlugin.plugin/Info.json")), "broken"));
    QProcess process;
    process.start(program, {QStringLiteral("--headless"), QStringLiteral("--ppd"), kPPD,
                            QStringLiteral("--state")});
    ASSERT_TRUE(process.waitForFinished(60000));
    EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
}

TEST(PrintDialog, WithoutAnyBundleTheRefusalNamesWhereItLooked) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    ASSERT_TRUE(QDir().mkpath(dir.filePath(QStringLiteral("bin"))));
    const QString program = dir.filePath(QStringLiteral("bin/print-dialog"));
    ASSERT_TRUE(QFile::copy(QStringLiteral(PRINT_DIALOG_PATH), program));
    QProcess process;
    process.start(program, {QStringLiteral("--headless"), QStringLiteral("--ppd"), kPPD,
                            QStringLiteral("--state")});
    ASSERT_TRUE(process.waitForFinished(60000));
    EXPECT_EQ(process.exitCode(), 2);
    const QByteArray err = process.readAllStandardError();
    EXPECT_TRUE(err.contains("lib/ColorOptionsPlugin.plugin")) << err.toStdString();
    EXPECT_TRUE(err.contains("lib/zrk5100/ColorOptionsPlugin.plugin")) << err.toStdString();
}

TEST(PrintDialog, AQueueOnAnUnreachableServerIsBadInput) {
    QTcpServer closed; // a loopback port nobody listens on once this closes
    ASSERT_TRUE(closed.listen(QHostAddress::LocalHost, 0));
    const quint16 port = closed.serverPort();
    closed.close();
    QProcessEnvironment env;
    env.insert(QStringLiteral("CUPS_SERVER"), QStringLiteral("127.0.0.1:%1").arg(port));
    const auto r = runPrintDialog({"--queue", "ZRQ", "--state"}, env);
    EXPECT_EQ(r.exitCode, 2) << show(r);
    EXPECT_EQ(lines(r.err).size(), 1) << show(r);
}
