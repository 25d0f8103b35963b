// Bundles: Info.json validation, resource paths, localized strings.
#include "Bundle.h"

#include "TestSupport.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace PrintHost;
using PrintHostTest::makeBundle;
using PrintHostTest::writeFile;

TEST(Bundle, OpensTheFakeBundle) {
    QString error;
    auto bundle = Bundle::open(PrintHostTest::fakeBundle(), &error);
    ASSERT_TRUE(bundle) << error.toStdString();
    EXPECT_EQ(bundle->bundleIdentifier(), QStringLiteral("com.ostra.test.FakePlugin"));
    EXPECT_EQ(bundle->executablePath(),
              QDir(PrintHostTest::fakeBundle()).absoluteFilePath(FAKE_LIBRARY_NAME));
    EXPECT_TRUE(bundle->resourcePath().endsWith(QStringLiteral("/Resources")));
    EXPECT_FALSE(bundle->pathForResource(QStringLiteral("Localizable_en.qm")).isEmpty());
    EXPECT_TRUE(bundle->pathForResource(QStringLiteral("Missing.ui")).isEmpty());
}

TEST(Bundle, ResourcePathsStayInsideTheBundle) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString root = dir.filePath(QStringLiteral("B.plugin"));
    ASSERT_TRUE(makeBundle(root, R"({"identifier": "x.y", "library": "libFakeColorPlugin.so"})"));
    ASSERT_TRUE(QDir().mkpath(root + QStringLiteral("/Resources/icons")));
    ASSERT_TRUE(writeFile(root + QStringLiteral("/Resources/icons/a.png"), "png"));
    ASSERT_TRUE(writeFile(dir.filePath(QStringLiteral("secret.txt")), "outside"));
    auto bundle = Bundle::open(root, nullptr);
    ASSERT_TRUE(bundle);
    EXPECT_FALSE(bundle->pathForResource(QStringLiteral("icons/a.png")).isEmpty());
    for (const char* name :
         {"../../secret.txt", "/etc/passwd", "", "icons/../../../secret.txt", "icons"}) {
        EXPECT_TRUE(bundle->pathForResource(QString::fromLatin1(name)).isEmpty()) << name;
    }
}

TEST(Bundle, RefusesBadInfoJson) {
    struct Case {
        const char* what;
        const char* info; // null: no Info.json at all
    };
    const Case cases[] = {
        {"no Info.json", nullptr},
        {"not JSON", "identifier = x"},
        {"an array", R"(["x"])"},
        {"no identifier", R"({"library": "libFakeColorPlugin.so"})"},
        {"empty identifier", R"({"identifier": "", "library": "libFakeColorPlugin.so"})"},
        {"identifier not a string", R"({"identifier": 5, "library": "libFakeColorPlugin.so"})"},
        {"no library", R"({"identifier": "x.y"})"},
        {"library outside", R"({"identifier": "x.y", "library": "../libFakeColorPlugin.so"})"},
        {"library absolute", R"({"identifier": "x.y", "library": "/usr/lib/libc.so.6"})"},
        {"library dot-dot", R"({"identifier": "x.y", "library": ".."})"},
        {"strings not a string",
         R"({"identifier": "x.y", "library": "libFakeColorPlugin.so", "strings": 1})"},
        {"strings with a path",
         R"({"identifier": "x.y", "library": "libFakeColorPlugin.so", "strings": "../L"})"},
    };
    for (const auto& c : cases) {
        QTemporaryDir dir;
        ASSERT_TRUE(dir.isValid());
        const QString root = dir.filePath(QStringLiteral("B.plugin"));
        ASSERT_TRUE(makeBundle(root, c.info ? QByteArray(c.info) : QByteArray()));
        if (!c.info)
            QFile::remove(root + QStringLiteral("/Info.json"));
        QString error;
        EXPECT_FALSE(Bundle::open(root, &error)) << c.what;
        EXPECT_FALSE(error.isEmpty()) << c.what;
    }
    QString error;
    EXPECT_FALSE(Bundle::open(QStringLiteral("/nonexistent/B.plugin"), &error));
    EXPECT_FALSE(Bundle::open(QString(), &error));
}

// Runs in the C locale (see CMakeLists.txt): English is the fallback.
TEST(Bundle, LocalizedStringsFallBackToEnglish) {
    auto bundle = Bundle::open(PrintHostTest::fakeBundle(), nullptr);
    ASSERT_TRUE(bundle);
    EXPECT_EQ(bundle->localizedString(QStringLiteral("Color Options")),
              QStringLiteral("Color Options"));
    EXPECT_EQ(bundle->localizedString(QStringLiteral("Quick Color:")),
              QStringLiteral("Quick Color:"));
    // An unfinished (empty) translation and a missing key both mean "none".
    EXPECT_TRUE(bundle->localizedString(QStringLiteral("Unfinished")).isNull());
    EXPECT_TRUE(bundle->localizedString(QStringLiteral("No such key")).isNull());
    EXPECT_TRUE(bundle->localizedString(QString()).isNull());
}

// Run by its own CTest entry with LC_ALL=de_DE.UTF-8.
TEST(Bundle, GermanLocaleUsesTheGermanTable) {
    auto bundle = Bundle::open(PrintHostTest::fakeBundle(), nullptr);
    ASSERT_TRUE(bundle);
    EXPECT_EQ(bundle->localizedString(QStringLiteral("Color Options")),
              QStringLiteral("Farboptionen"));
    // The German table lacks this key; a table is chosen per locale, not per key.
    EXPECT_TRUE(bundle->localizedString(QStringLiteral("Quick Color:")).isNull());
}
