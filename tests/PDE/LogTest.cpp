// The diagnostic functions exported from the bundle.
#include <PDELog.h>

#include <QObject>

#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <string>

namespace {

std::string traceLine(const char* lineTemplate, const QObject* object, const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    std::string line = PDE::formatTraceLine(lineTemplate, object, format, arguments);
    va_end(arguments);
    return line;
}

} // namespace

TEST(Log, MyLogWritesUnconvertibleCharactersAsQuestionMarks) {
    // In the C locale the system encoding is ASCII.
    const std::string previous = std::setlocale(LC_CTYPE, nullptr);
    std::setlocale(LC_CTYPE, "C");
    char buffer[256] = {};
    FILE* stream = fmemopen(buffer, sizeof buffer, "w");
    ASSERT_NE(stream, nullptr);
    EXPECT_EQ(MyLog(stream,
                    "Gr\xc3\xb6\xc3\x9f"
                    "e %d %@\n",
                    42, "ok"),
              0);
    std::fclose(stream);
    std::setlocale(LC_CTYPE, previous.c_str());
    EXPECT_STREQ(buffer, "Gr??e 42 ok\n");

    // An object placeholder keeps its width and flags and takes no length modifier.
    char padded[64] = {};
    FILE* second = fmemopen(padded, sizeof padded, "w");
    ASSERT_NE(second, nullptr);
    MyLog(second, "[%-5@][%5@][%l@][%%@]", "ab", "cd", "ef");
    std::fclose(second);
    EXPECT_STREQ(padded, "[ab   ][   cd][ef][%@]");
}

TEST(Log, TraceLinesCarryTheObjectAndTheFormattedMessage) {
    QObject object;
    const std::string line = traceLine("LOG self(%@): %@", &object, "rows=%d", 47);
    EXPECT_EQ(line.rfind("LOG self(<QObject: 0x", 0), 0u) << line;
    EXPECT_EQ(line.substr(line.size() - 10), "): rows=47");
    // A percent sign in the object's description is text, not a placeholder.
    QObject named;
    named.setObjectName(QStringLiteral("unused"));
    EXPECT_EQ(traceLine("BEGIN self(%@) %@", nullptr, "%s and %%", "this"),
              "BEGIN self((null)) this and %");
}
