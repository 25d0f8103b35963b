// PPD access: the LanguageEncoding table, decoding, value mapping, defaults,
// the conflict test.
#include "PanelFixture.h"

#include <QCheckBox>
#include <QComboBox>

using namespace PDE;

TEST(PPDEncoding, LanguageEncodingNamesAreComparedExactly) {
    struct Case {
        const char* name;
        uint32_t ns;
        uint32_t cf;
    };
    const Case cases[] = {
        {"ISOLatin1", 5, 513},   {"WindowsANSI", 12, 1280},
        {"JIS83-RKSJ", 8, 2561}, {"UTF-8", 4, 0x08000100},
        {"UTF8", 4, 0x08000100}, {"utf-8", 30, 0},
        {"isolatin1", 30, 0},    {"ISOLatin1 ", 30, 0},
        {"MacStandard", 30, 0},  {"", 30, 0},
        {nullptr, 30, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name ? c.name : "(null)");
        EXPECT_EQ(PDECommon::encodingForLanguageEncoding(c.name, false), c.ns);
        EXPECT_EQ(PDECommon::encodingForLanguageEncoding(c.name, true), c.cf);
    }
    EXPECT_EQ(PDECommon::commonGetEncodingFromPPD(nullptr), kNSMacOSRomanStringEncoding);
    EXPECT_EQ(PDECommon::commonGetCFStringEncodingFromPPD(nullptr), kCFStringEncodingMacRoman);
}

TEST(PPDEncoding, BytesDecodeWithTheNamedEncoding) {
    struct Case {
        const char* bytes;
        uint32_t cfEncoding;
        const char* utf8; // null: not text in that encoding
    };
    const Case cases[] = {
        {"\xb1"
         "0 (Normal)",
         kCFStringEncodingISOLatin1,
         "\xc2\xb1"
         "0 (Normal)"},
        {"\x80 5", kCFStringEncodingWindowsLatin1, "\xe2\x82\xac 5"},
        {"\x8e\xa9\x93\xae", kCFStringEncodingShiftJIS, "\xe8\x87\xaa\xe5\x8b\x95"},
        {"\xa5", kCFStringEncodingMacRoman, "\xe2\x80\xa2"},
        {"\xe8\x87\xaa", kCFStringEncodingUTF8, "\xe8\x87\xaa"},
        {"\xff\xfe", kCFStringEncodingUTF8, nullptr},
    };
    for (const Case& c : cases) {
        const QString decoded = PDECommon::commonDecodePPDString(c.bytes, c.cfEncoding, true);
        if (c.utf8)
            EXPECT_EQ(decoded, QString::fromUtf8(c.utf8)) << c.bytes;
        else
            EXPECT_TRUE(decoded.isNull()) << c.bytes;
    }
}

// libcups converts every PPD text to UTF-8 while reading; the menus must show
// the texts once decoded, whatever the file's own encoding.
TEST(PPDEncoding, MenusShowTheTextsOfPPDsInEveryEncoding) {
    struct Case {
        const char* path;
        const char* outlet;
        int item;
        const char* title;
        const char* recordEncoding; // what libcups leaves in the record's field
    };
    const Case cases[] = {
        {"PDE/Resources/ZR-K5100.ppd", "menu_Brightness", 2,
         "\xc2\xb1"
         "0 (Normal)",
         "UTF-8"},
        {"tests/fixtures/ppd/ZR-K5100-UTF8.ppd", "menu_QuickColor", 0, "\xe8\x87\xaa\xe5\x8b\x95",
         "UTF-8"},
        {"tests/fixtures/ppd/ZR-K5100-ShiftJIS.ppd", "menu_QuickColor", 1,
         "\xe5\x86\x99\xe7\x9c\x9f", "UTF-8"},
        // Without a LanguageEncoding line libcups reads ISO Latin 1 into
        // UTF-8 and leaves the field empty.
        {"tests/fixtures/ppd/ZR-K5100-NoLanguageEncoding.ppd", "menu_Brightness", 2,
         "\xc2\xb1"
         "0 (Normal)",
         nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        zrktest::Dialog dialog(zrktest::sourcePath(c.path));
        ASSERT_NE(dialog.ppdFile(), nullptr);
        if (c.recordEncoding)
            EXPECT_STREQ(dialog.ppdFile()->lang_encoding, c.recordEncoding);
        else
            EXPECT_EQ(dialog.ppdFile()->lang_encoding, nullptr);
        QComboBox* menu = dialog.popUp(c.outlet);
        ASSERT_NE(menu, nullptr);
        ASSERT_GT(menu->count(), c.item);
        EXPECT_EQ(menu->itemText(c.item), QString::fromUtf8(c.title));
    }
}

TEST(PPDAccess, ValuesMapToAndFromChoiceKeywords) {
    zrktest::Dialog dialog(zrktest::bundledPPD());
    dialog.panel().panelView();
    const ControlTableEntry* table = dialog.panel().combinedTable();
    const ControlTableEntry* quickColor = &table[0];
    const ControlTableEntry* colorAsGray = &table[2];
    ASSERT_STREQ(colorAsGray->ppdKeyword, "VXColorAsGray");

    struct Case {
        const ControlTableEntry* row;
        const char* choice; // null: the ticket value is not a string
        int32_t expected;
    };
    const Case cases[] = {
        {colorAsGray, "True", 1},    {colorAsGray, "TRUE", 1},  {colorAsGray, "true", 1},
        {colorAsGray, "tRUE", 0},    {colorAsGray, "False", 0}, {colorAsGray, "1", 0},
        {colorAsGray, nullptr, 0},   {quickColor, "Photo", 1},  {quickColor, "Vivid", 2},
        {quickColor, "Unknown", -1}, {quickColor, "photo", -1},
    };
    for (const Case& c : cases) {
        const QString choice = c.choice ? QString::fromLatin1(c.choice) : QString();
        EXPECT_EQ(PDECommon::commonGetTicketValueWithSInt32(
                      c.row, QString::fromLatin1(c.row->ppdKeyword), c.choice ? &choice : nullptr),
                  c.expected)
            << c.row->ppdKeyword << " " << (c.choice ? c.choice : "(not a string)");
    }
    EXPECT_EQ(PDECommon::commonGetTicketValueWithSInt32(nullptr, QString(), nullptr), 0);
}

TEST(PPDAccess, DefaultsAndDisplayTexts) {
    zrktest::Dialog dialog(zrktest::bundledPPD());
    dialog.panel().restoreValuesAndReturnError(nullptr);
    const ControlTableEntry* table = dialog.panel().combinedTable();
    // Image halftone: Standard, Smooth (default), Detail.
    const ControlTableEntry* halftone = &table[13 + 4];
    ASSERT_STREQ(halftone->ppdKeyword, "VXImageHalftone");
    EXPECT_EQ(PDECommon::commonGetDefualtValueFromPPDWithSInt32(halftone), 1);
    EXPECT_EQ(PDECommon::commonGetControlValueFromPPDWithNSString(halftone), u"Smooth");

    // A check box reads through its "True"/"False" entries.
    const ControlTableEntry* trapping = &table[6];
    ASSERT_STREQ(trapping->ppdKeyword, "VXAutoTrapping");
    EXPECT_EQ(dialog.checkBox("check_AutoTrapping")->isChecked(), true);
    EXPECT_EQ(PDECommon::commonGetControlValueFromPPDWithSInt32(trapping), 0); // "True" is first
    EXPECT_EQ(PDECommon::commonGetControlValueFromPPDWithNSString(trapping), u"On");
    EXPECT_TRUE(PDECommon::commonGetControlValueFromPPDWithNSString(&table[8]).isNull()); // label
}

TEST(PPDAccess, ConflictTestLeavesTheMarksAsTheyWere) {
    zrktest::PPDPtr ppd = zrktest::openPPD(zrktest::bundledPPD());
    ASSERT_TRUE(ppd);
    ppdMarkOption(ppd.get(), "VXColorAsGray", "True");
    // Already marked: the answer is the option's flag, no mark moves.
    EXPECT_FALSE(PDECommon::commonIsPPDChoiceConflicted(ppd.get(), "VXColorAsGray", "True"));
    EXPECT_TRUE(ppdIsMarked(ppd.get(), "VXColorAsGray", "True"));
    // A trial mark is undone: the previous choice is marked again.
    EXPECT_TRUE(PDECommon::commonIsPPDChoiceConflicted(ppd.get(), "VXColorSeparation", "True"));
    EXPECT_TRUE(ppdIsMarked(ppd.get(), "VXColorSeparation", "False"));
    EXPECT_FALSE(ppdIsMarked(ppd.get(), "VXColorSeparation", "True"));
    EXPECT_FALSE(PDECommon::commonIsPPDChoiceConflicted(ppd.get(), "VXNoSuchOption", "True"));
    EXPECT_FALSE(PDECommon::commonIsPPDChoiceConflicted(nullptr, "VXColorAsGray", "True"));
}

TEST(PPDAccess, QueueNameComesFromTheCurrentPrinter) {
    PrintHost::PMPrintSession session;
    EXPECT_TRUE(PDECommon::commonGetPrintQueueName(&session).isNull());
    EXPECT_TRUE(PDECommon::commonGetPrintQueueName(nullptr).isNull());
    session.setCurrentPrinter(std::make_shared<PrintHost::PMPrinter>("Office_K5100", std::nullopt));
    EXPECT_EQ(PDECommon::commonGetPrintQueueName(&session), u"Office_K5100");
    EXPECT_EQ(PDECommon::commonGetPPDProductName(nullptr), u"zrk5100");
}
