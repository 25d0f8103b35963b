// Loading the fake bundle in process: the callback, the panel's life, and
// what makes loading fail.
#include "PlugInHost.h"

#include "PPDFile.h"
#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QLibrary>
#include <QTemporaryDir>
#include <QVBoxLayout>

#include <gtest/gtest.h>

using namespace PrintHost;

namespace {

int fakeCounter(const char* symbol) {
    QLibrary library(QDir(PrintHostTest::fakeBundle()).filePath(FAKE_LIBRARY_NAME));
    auto function = reinterpret_cast<int (*)()>(library.resolve(symbol));
    return function ? function() : -1000;
}

class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : name_(name) { qputenv(name, value); }
    ~ScopedEnv() { qunsetenv(name_); }

private:
    const char* name_;
};

struct HostFixture {
    std::unique_ptr<PPDFile> ppd = PPDFile::open(PrintHostTest::bundledPPD(), nullptr);
    PMPrintSession session;
    PMPrintSettings settings;
    HostFixture() { session.setCurrentPrinter(std::make_shared<PMPrinter>("Q", std::nullopt)); }
};

} // namespace

TEST(PlugInHost, LoadsThePanelAndAnswersItsCallback) {
    HostFixture f;
    ASSERT_TRUE(f.ppd);
    const int terminatedBefore = fakeCounter("FakePDETerminateCount");
    {
        PlugInHost host(&f.session, &f.settings, f.ppd->get());
        EXPECT_EQ(host.printSettings(), &f.settings);
        EXPECT_EQ(host.printSession(), &f.session);
        EXPECT_EQ(host.ppdFile(), f.ppd->get());
        QString error;
        ASSERT_TRUE(host.load(PrintHostTest::fakeBundle(), &error)) << error.toStdString();
        ASSERT_EQ(host.panels().size(), 1u);
        EXPECT_EQ(host.bundle()->bundleIdentifier(), QStringLiteral("com.ostra.test.FakePlugin"));
        EXPECT_EQ(host.panel()->panelKind(), QStringLiteral("com.ostra.test.FakePlugin"));
        EXPECT_EQ(host.panel()->panelName(), QStringLiteral("Color Options"));
        QWidget* view = host.panelView();
        ASSERT_TRUE(view);
        EXPECT_EQ(host.panelView(), view) << "the view is asked for once";
        EXPECT_FALSE(host.load(PrintHostTest::fakeBundle(), &error)) << "one bundle per host";
        EXPECT_EQ(fakeCounter("FakePDEPanelsAlive"), 1);
    }
    EXPECT_EQ(fakeCounter("FakePDETerminateCount"), terminatedBefore + 1);
    EXPECT_EQ(fakeCounter("FakePDEPanelsAlive"), 0);
}

TEST(PlugInHost, AViewPutInAHostWindowGoesBackBeforeThePanelDies) {
    HostFixture f;
    QPointer<QWidget> view;
    {
        QWidget window;
        auto* layout = new QVBoxLayout(&window);
        PlugInHost host(&f.session, &f.settings, f.ppd->get());
        ASSERT_TRUE(host.load(PrintHostTest::fakeBundle(), nullptr));
        view = host.panelView();
        layout->addWidget(view);
        ASSERT_EQ(view->parentWidget(), &window);
        host.unload(); // the panel deletes its view; the window must not.
        EXPECT_TRUE(view.isNull());
    }
}

TEST(PlugInHost, AViewThePanelLeavesBehindIsDeleted) {
    ScopedEnv keep("FAKE_PDE_MODE", "keepview");
    HostFixture f;
    QPointer<QWidget> view;
    {
        PlugInHost host(&f.session, &f.settings, f.ppd->get());
        ASSERT_TRUE(host.load(PrintHostTest::fakeBundle(), nullptr));
        view = host.panelView();
        ASSERT_TRUE(view);
    }
    EXPECT_TRUE(view.isNull());
}

TEST(PlugInHost, LoadFailures) {
    HostFixture f;
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());

    // The library is not where Info.json says.
    const QString missing = dir.filePath(QStringLiteral("Missing.plugin"));
    ASSERT_TRUE(
        PrintHostTest::makeBundle(missing, R"({"identifier": "x", "library": "libNone.so"})"));
    // Not a shared library at all.
    const QString text = dir.filePath(QStringLiteral("Text.plugin"));
    ASSERT_TRUE(PrintHostTest::makeBundle(text, R"({"identifier": "x", "library": "libText.so"})"));
    ASSERT_TRUE(PrintHostTest::writeFile(text + QStringLiteral("/libText.so"), "not ELF"));
    // A real library without the entry symbol.
    const QString noEntry = dir.filePath(QStringLiteral("NoEntry.plugin"));
    ASSERT_TRUE(
        PrintHostTest::makeBundle(noEntry, R"({"identifier": "x", "library": "libHost.so"})"));
    ASSERT_TRUE(QFile::link(QStringLiteral(PRINTHOST_LIBRARY_PATH),
                            noEntry + QStringLiteral("/libHost.so")));

    const std::pair<QString, const char*> cases[] = {
        {missing, "does not exist"},
        {text, "cannot load"},
        {noEntry, "does not export"},
        {dir.filePath(QStringLiteral("Absent.plugin")), "not a directory"},
    };
    for (const auto& [bundle, message] : cases) {
        PlugInHost host(&f.session, &f.settings, f.ppd->get());
        QString error;
        EXPECT_FALSE(host.load(bundle, &error)) << bundle.toStdString();
        EXPECT_TRUE(error.contains(QLatin1String(message))) << error.toStdString();
        EXPECT_EQ(host.panel(), nullptr);
        EXPECT_EQ(host.panelView(), nullptr);
    }
}

TEST(PlugInHost, ABundleWithoutPanelsIsRefused) {
    ScopedEnv none("FAKE_PDE_MODE", "nopanels");
    HostFixture f;
    PlugInHost host(&f.session, &f.settings, f.ppd->get());
    QString error;
    EXPECT_FALSE(host.load(PrintHostTest::fakeBundle(), &error));
    EXPECT_TRUE(error.contains(QStringLiteral("no panel")));
}
