// The filtered text fields of the profile window and the icon cell.
#include <IconedCell.h>
#include <TextFilters.h>
#include <VXTextField.h>

#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QPainter>
#include <QPushButton>
#include <QStandardItemModel>
#include <QStyleOptionViewItem>
#include <QTest>

#include <gtest/gtest.h>

using namespace PDE;

TEST(TextFilters, EachInputKeyAcceptsItsSet) {
    struct Case {
        int32_t key;
        const char* accepted;
        const char* rejected;
    };
    const Case cases[] = {
        {kInputKeyAscii, " azAZ09~!\"+/", "\t\x7f"},
        {kInputKeyFileName, "azAZ09!#$%&'()-.^_`{}~", " \"*+,/:;<=>?@[\\]|"},
        {kInputKeyAlphaNumeric, "azAZ09", " .-_!"},
        {kInputKeyNumeric, "0123456789", "aZ .-"},
        {7, " az~\t!", "\"+"},
    };
    for (const Case& c : cases) {
        for (const char* p = c.accepted; *p; ++p)
            EXPECT_EQ(FilterEditTextInputKey(c.key, uint8_t(*p)), 1) << c.key << " '" << *p << "'";
        for (const char* p = c.rejected; *p; ++p)
            EXPECT_EQ(FilterEditTextInputKey(c.key, uint8_t(*p)), 0) << c.key << " '" << *p << "'";
    }
    EXPECT_EQ(FilterEditTextInputKey(kInputKeyAscii, 0xE9), 0);
    EXPECT_EQ(FilterEditTextInputKey(7, 0xE9), 1);
}

TEST(TextFilters, ReaderCombinesSurrogatesAndCleanerDropsThem) {
    const QString emoji = QString::fromUtf8("a\xf0\x9f\x98\x80"
                                            "b");
    const auto* units = reinterpret_cast<const char16_t*>(emoji.utf16());
    qsizetype next = 0;
    EXPECT_EQ(UCFindComposedCharAtIndex(units, emoji.size(), 1, &next), 0x1F600u);
    EXPECT_EQ(next, 2);
    // A surrogate at the end of the buffer is taken alone.
    EXPECT_EQ(UCFindComposedCharAtIndex(units, 2, 1, &next), 0xD83Du);

    QString ascii = emoji;
    CheckUniCharString(units, emoji.size(), kInputKeyAscii, &ascii);
    EXPECT_EQ(ascii, u"ab");
    QString wide = emoji;
    CheckUniCharString(units, emoji.size(), 9, &wide);
    EXPECT_EQ(wide, emoji);
    const QString typed = QStringLiteral("a b/c.icc");
    QString name = typed;
    CheckUniCharString(reinterpret_cast<const char16_t*>(typed.utf16()), typed.size(),
                       kInputKeyFileName, &name);
    EXPECT_EQ(name, u"abc.icc");
}

namespace {

struct FileNameField {
    FileNameField() {
        field.setMaxLength(31, 3);
        field.setInputKey(kInputKeyFileName);
        field.setOperateControl(&ok);
        ok.setEnabled(false);
        field.setOldString(QString());
    }
    void type(const QString& text) { QTest::keyClicks(&field, text); }
    VXTextField field;
    QPushButton ok;
};

} // namespace

TEST(VXTextField, FileNameLengthsAndExtension) {
    FileNameField f;
    const QString base(27, u'a');
    f.type(base);
    EXPECT_EQ(f.field.text(), base);
    f.type(QStringLiteral("b"));
    EXPECT_EQ(f.field.text(), base); // the 28th character without a dot is undone
    f.type(QStringLiteral(".icc"));
    EXPECT_EQ(f.field.text(), base + ".icc");
    f.type(QStringLiteral("x"));
    EXPECT_EQ(f.field.text(), base + ".icc"); // a fourth extension character

    FileNameField g;
    g.type(QStringLiteral("ab.c"));
    g.type(QStringLiteral("."));
    EXPECT_EQ(g.field.text(), u"ab.c"); // a second dot
    g.field.setCursorPosition(1);
    g.type(QStringLiteral("."));
    EXPECT_EQ(g.field.text(), u"ab.c");
}

TEST(VXTextField, RejectedCharactersAreDroppedAndLongPastesUndone) {
    FileNameField f;
    f.type(QStringLiteral("ab/c d"));
    EXPECT_EQ(f.field.text(), u"abcd");

    f.field.setCursorPosition(2);
    QApplication::clipboard()->setText(QString(40, u'x'));
    f.field.paste();
    EXPECT_EQ(f.field.text(), u"abcd");
    EXPECT_EQ(f.field.cursorPosition(), 2);

    // The window shows one entry while the field has focus, then another; a
    // refused drop goes back to the text shown when it came, not to the first.
    FileNameField g;
    g.field.setText(QStringLiteral("A.ICC"));
    QFocusEvent focusIn(QEvent::FocusIn, Qt::MouseFocusReason);
    QApplication::sendEvent(&g.field, &focusIn);
    g.field.setText(QStringLiteral("B.ICC"));
    g.field.insert(QString(40, u'x'));
    EXPECT_EQ(g.field.text(), u"B.ICC");
}

TEST(VXTextField, OperatedButtonFollowsTheText) {
    FileNameField f;
    EXPECT_FALSE(f.ok.isEnabled());
    f.type(QStringLiteral("."));
    EXPECT_FALSE(f.ok.isEnabled());
    QTest::keyClick(&f.field, Qt::Key_Backspace);
    f.type(QStringLiteral("a"));
    EXPECT_TRUE(f.ok.isEnabled());
    QTest::keyClick(&f.field, Qt::Key_Backspace);
    EXPECT_FALSE(f.ok.isEnabled());
}

TEST(VXTextField, ProfileNameIsPrintableAsciiOfThirtyCharacters) {
    VXTextField field;
    field.setMaxLength(30, 0);
    field.setInputKey(kInputKeyAscii);
    QTest::keyClicks(&field, QStringLiteral("Office "));
    QTest::sendKeyEvent(QTest::KeyAction::Click, &field, Qt::Key_unknown,
                        QString::fromUtf8("\xc3\xa9"), Qt::NoModifier);
    EXPECT_EQ(field.text(), u"Office ");
    QTest::keyClicks(&field, QString(23, u'x'));
    EXPECT_EQ(field.text().size(), 30);
    QTest::keyClicks(&field, QStringLiteral("y"));
    EXPECT_EQ(field.text().size(), 30);

    QApplication::clipboard()->setText(QString::fromUtf8("\xf0\x9f\x98\x80"));
    VXTextField wide;
    wide.setMaxLength(30, 0);
    wide.setInputKey(9);
    wide.paste();
    EXPECT_EQ(wide.text(), QString::fromUtf8("\xf0\x9f\x98\x80"));
    VXTextField ascii;
    ascii.setMaxLength(30, 0);
    ascii.paste();
    EXPECT_EQ(ascii.text(), u"");
}

TEST(IconedCell, DrawsOnlyTheImageAtSixteenPoints) {
    QStandardItemModel model(1, 1);
    IconedCell cell;
    QStyleOptionViewItem option;
    option.rect = QRect(10, 20, 60, 30);
    auto render = [&] {
        QImage image(100, 60, QImage::Format_ARGB32);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        cell.paint(&painter, option, model.index(0, 0));
        return image;
    };
    const QImage empty = render();
    for (int y = 0; y < empty.height(); ++y)
        for (int x = 0; x < empty.width(); ++x)
            ASSERT_EQ(qAlpha(empty.pixel(x, y)), 0);

    // Larger, smaller and non-square images all fill the 16 x 16 square.
    for (const QSize size : {QSize(64, 64), QSize(8, 8), QSize(32, 8)}) {
        QPixmap picture(size);
        picture.fill(Qt::red);
        model.setData(model.index(0, 0), QIcon(picture), Qt::DecorationRole);
        const QImage drawn = render();
        QRect painted;
        int opaque = 0;
        for (int y = 0; y < drawn.height(); ++y)
            for (int x = 0; x < drawn.width(); ++x)
                if (qAlpha(drawn.pixel(x, y)) != 0) {
                    painted |= QRect(x, y, 1, 1);
                    opaque += qAlpha(drawn.pixel(x, y)) == 255;
                }
        EXPECT_EQ(painted, QRect(13, 20, 16, 16)) << size.width() << "x" << size.height();
        EXPECT_EQ(opaque, 16 * 16) << size.width() << "x" << size.height();
    }
}
