// The PPD record wrapper, the bundled PPD's contract with the panel, and the
// encoding fixtures.
#include "PPDFile.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <cstring>
#include <map>

using namespace PrintHost;
using PrintHostTest::bundledPPD;
using PrintHostTest::fixturePPD;

namespace {

std::unique_ptr<PPDFile> openOrFail(const QString& path) {
    QString error;
    auto ppd = PPDFile::open(path, &error);
    EXPECT_TRUE(ppd) << error.toStdString();
    return ppd;
}

QString choiceText(const PPDFile& ppd, const char* keyword, const char* choice) {
    ppd_option_t* option = ppd.option(QString::fromLatin1(keyword));
    if (!option)
        return QStringLiteral("<no option>");
    for (int i = 0; i < option->num_choices; ++i) {
        if (std::strcmp(option->choices[i].choice, choice) == 0)
            return QString::fromUtf8(option->choices[i].text);
    }
    return QStringLiteral("<no choice>");
}

const char* const kMainPaneOptions[] = {"VXQuickColor",      "VXBrightness",    "VXColorAsGray",
                                        "VXColorSeparation", "VXEconoMode",     "VXEdgeType",
                                        "VXAutoTrapping",    "VXBlackOverprint"};
const char* const kCheckBoxOptions[] = {"VXColorAsGray", "VXColorSeparation", "VXEconoMode",
                                        "VXAutoTrapping"};

std::vector<std::string> advancedPaneOptions() {
    std::vector<std::string> names;
    for (const char* kind : {"Image", "Text", "Graphics"}) {
        for (const char* item : {"RGBSource", "RenderIntent", "GrayTreatment", "DestinationProfile",
                                 "Halftone", "EdgeEnhance"})
            names.push_back(std::string("VX") + kind + item);
    }
    names.insert(names.end(), {"VXSimSource", "VXSimRenderIntent", "VXSimGrayTreatment"});
    return names;
}

} // namespace

TEST(PPDFile, OpenReportsMissingAndBrokenFiles) {
    QString error;
    EXPECT_FALSE(PPDFile::open(QStringLiteral("/nonexistent/x.ppd"), &error));
    EXPECT_TRUE(error.contains(QStringLiteral("does not exist")));
    EXPECT_FALSE(PPDFile::open(QStringLiteral(FIXTURE_PPD_DIR), &error));
    EXPECT_FALSE(PPDFile::open(QStringLiteral(__FILE__), &error));
    EXPECT_TRUE(error.contains(QStringLiteral("not a usable PPD")));
}

TEST(PPDFile, KeywordsAndChoicesAreExact) {
    auto ppd = openOrFail(bundledPPD());
    ASSERT_TRUE(ppd);
    EXPECT_TRUE(ppd->isMainKeyword(QStringLiteral("VXQuickColor")));
    EXPECT_FALSE(ppd->isMainKeyword(QStringLiteral("vxquickcolor")));
    EXPECT_FALSE(ppd->isMainKeyword(QStringLiteral("VXQuickColorCustom")));
    EXPECT_FALSE(ppd->isMainKeyword(QString()));
    EXPECT_TRUE(ppd->isMainKeyword(QStringLiteral("PageSize")));
    EXPECT_TRUE(ppd->hasChoice(QStringLiteral("VXColorAsGray"), QStringLiteral("True")));
    EXPECT_FALSE(ppd->hasChoice(QStringLiteral("VXColorAsGray"), QStringLiteral("true")));
    EXPECT_TRUE(ppd->choiceKeywords(QStringLiteral("Nope")).isEmpty());
}

TEST(BundledPPD, HasEveryOptionOfBothPanes) {
    auto ppd = openOrFail(bundledPPD());
    ASSERT_TRUE(ppd);
    EXPECT_STREQ(ppd->get()->lang_encoding, "UTF-8");
    int count = 0;
    for (const char* name : kMainPaneOptions) {
        EXPECT_TRUE(ppd->isMainKeyword(QString::fromLatin1(name))) << name;
        ++count;
    }
    for (const auto& name : advancedPaneOptions()) {
        EXPECT_TRUE(ppd->isMainKeyword(QString::fromStdString(name))) << name;
        ++count;
    }
    EXPECT_EQ(count, 29);
    // Every option's default is one of its choices.
    for (int g = 0; g < ppd->get()->num_groups; ++g) {
        const ppd_group_t& group = ppd->get()->groups[g];
        for (int o = 0; o < group.num_options; ++o) {
            const ppd_option_t& option = group.options[o];
            EXPECT_TRUE(ppd->hasChoice(QString::fromLatin1(option.keyword),
                                       QString::fromUtf8(option.defchoice)))
                << option.keyword;
        }
    }
}

TEST(BundledPPD, MenusHaveTheItemsThePresetsAndRulesNeed) {
    auto ppd = openOrFail(bundledPPD());
    ASSERT_TRUE(ppd);
    // The fourth Quick Color choice is the Custom preset. Its keyword is not
    // "Custom": libcups keeps that name for custom options and would present
    // the choice as "_Custom".
    EXPECT_EQ(ppd->choiceKeywords(QStringLiteral("VXQuickColor")),
              (QStringList{"Automatic", "Photo", "Vivid", "CustomColor"}));
    EXPECT_EQ(choiceText(*ppd, "VXQuickColor", "CustomColor"), QStringLiteral("Custom"));
    EXPECT_EQ(ppd->choiceKeywords(QStringLiteral("VXEdgeType")).value(0), QStringLiteral("Off"));

    struct Rule {
        const char* suffix;
        const char* first; // the first choice, or null
        int minimum;       // at least this many choices
    };
    const Rule rules[] = {
        {"RGBSource", "None", 2},  {"DestinationProfile", "Auto", 2}, {"Halftone", nullptr, 3},
        {"EdgeEnhance", "Off", 2}, {"RenderIntent", nullptr, 2},      {"GrayTreatment", nullptr, 2},
    };
    for (const char* kind : {"Image", "Text", "Graphics"}) {
        for (const auto& rule : rules) {
            const QString keyword =
                QStringLiteral("VX%1%2").arg(QLatin1String(kind), QLatin1String(rule.suffix));
            const QStringList choices = ppd->choiceKeywords(keyword);
            EXPECT_GE(choices.size(), rule.minimum) << keyword.toStdString();
            if (rule.first) {
                EXPECT_EQ(choices.value(0), QLatin1String(rule.first)) << keyword.toStdString();
            }
        }
    }
    EXPECT_EQ(ppd->choiceKeywords(QStringLiteral("VXSimSource")).value(0), QStringLiteral("None"));
    for (const char* name :
         {"VXSimRenderIntent", "VXSimGrayTreatment", "VXBrightness", "VXBlackOverprint"})
        EXPECT_GE(ppd->choiceKeywords(QString::fromLatin1(name)).size(), 2) << name;
    for (const char* name : kCheckBoxOptions) {
        EXPECT_EQ(ppd->option(QString::fromLatin1(name))->ui, PPD_UI_BOOLEAN) << name;
        EXPECT_EQ(ppd->choiceKeywords(QString::fromLatin1(name)), (QStringList{"True", "False"}))
            << name;
    }
}

TEST(BundledPPD, LatinOneTextArrivesAsUtf8) {
    auto ppd = openOrFail(bundledPPD());
    ASSERT_TRUE(ppd);
    EXPECT_EQ(choiceText(*ppd, "VXBrightness", "Normal"), QString::fromUtf8("\u00b10 (Normal)"));
    ppd_attr_t* encoding = ppdFindAttr(ppd->get(), "LanguageEncoding", nullptr);
    ASSERT_TRUE(encoding);
    EXPECT_STREQ(encoding->value, "ISOLatin1");
}

TEST(BundledPPD, GrayscaleAndSeparationExcludeEachOther) {
    for (const auto& [first, second] : std::map<std::string, std::string>{
             {"VXColorAsGray", "VXColorSeparation"}, {"VXColorSeparation", "VXColorAsGray"}}) {
        auto ppd = openOrFail(bundledPPD());
        ASSERT_TRUE(ppd);
        EXPECT_EQ(ppdConflicts(ppd->get()), 0) << "the defaults agree";
        ppdMarkOption(ppd->get(), first.c_str(), "True");
        EXPECT_EQ(ppdConflicts(ppd->get()), 0);
        ppdMarkOption(ppd->get(), second.c_str(), "True");
        EXPECT_GT(ppdConflicts(ppd->get()), 0) << first << " then " << second;
    }
}

TEST(PPDFile, NamesThePanelByTheBundleFolderNameOnly) {
    struct Row {
        const char* lines;
        bool names;
    };
    const Row rows[] = {
        {"", false},
        {"*APDialogExtension: \"/usr/lib/zrk5100/ColorOptionsPlugin.plugin\"\n", true},
        {"*APDialogExtension: \"/opt/other/place/ColorOptionsPlugin.plugin/\"\n", true},
        {"*APDialogExtension: \"/usr/lib/zrk5100/OtherPanel.plugin\"\n", false},
        {"*APDialogExtension: \"/usr/lib/ColorOptionsPlugin.plugin.old\"\n", false},
        {"*APDialogExtension: \"/usr/lib/ColorOptionsPlugin.plugin/Resources\"\n", false},
        {"*APDialogExtension: \"/a/OtherPanel.plugin\"\n"
         "*APDialogExtension: \"/b/ColorOptionsPlugin.plugin\"\n",
         true},
    };
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    for (const Row& row : rows) {
        const QString path = dir.filePath(QStringLiteral("p.ppd"));
        ASSERT_TRUE(PrintHostTest::writeFile(
            path, QByteArray("*PPD-Adobe: \"4.3\"\n*ModelName: \"X\"\n") + row.lines));
        auto ppd = openOrFail(path);
        ASSERT_TRUE(ppd) << row.lines;
        EXPECT_EQ(ppd->namesDialogExtension(QString::fromLatin1(kPanelBundleName)), row.names)
            << row.lines;
    }
    auto bundled = openOrFail(bundledPPD());
    ASSERT_TRUE(bundled);
    EXPECT_TRUE(bundled->namesDialogExtension(QString::fromLatin1(kPanelBundleName)));
}

TEST(PPDFixtures, WithoutBrightnessIsTheBundledPPDLessOneOption) {
    auto bundled = openOrFail(bundledPPD());
    auto fixture = openOrFail(fixturePPD(QStringLiteral("ZR-K5100-NoBrightness.ppd")));
    ASSERT_TRUE(bundled && fixture);
    EXPECT_FALSE(fixture->isMainKeyword(QStringLiteral("VXBrightness")));
    int options = 0;
    for (ppd_option_t* option = ppdFirstOption(bundled->get()); option;
         option = ppdNextOption(bundled->get())) {
        const QString keyword = QString::fromLatin1(option->keyword);
        if (keyword == QLatin1String("VXBrightness"))
            continue;
        ++options;
        EXPECT_EQ(fixture->choiceKeywords(keyword), bundled->choiceKeywords(keyword))
            << option->keyword;
    }
    int fixtureOptions = 0;
    for (ppd_option_t* option = ppdFirstOption(fixture->get()); option;
         option = ppdNextOption(fixture->get()))
        ++fixtureOptions;
    EXPECT_EQ(fixtureOptions, options);
}

TEST(PPDFixtures, JapaneseTextsArriveAsUtf8FromEitherEncoding) {
    struct Expected {
        const char* keyword;
        const char* choice;
        const char* text; // UTF-8
    };
    const Expected expected[] = {
        {"VXQuickColor", "Automatic", "自動"},
        {"VXQuickColor", "Photo", "写真"},
        {"VXQuickColor", "Vivid", "鮮やかなグラフィックス"},
        {"VXQuickColor", "CustomColor", "カスタム"},
        {"VXColorAsGray", "True", "オン"},
        {"VXColorAsGray", "False", "オフ"},
        {"VXEdgeType", "Off", "オフ"},
        {"VXEdgeType", "Light", "弱い"},
        {"VXEdgeType", "Normal", "標準"},
        {"VXEdgeType", "Strong", "強い"},
    };
    const std::pair<const char*, const char*> files[] = {{"ZR-K5100-UTF8.ppd", "UTF-8"},
                                                         {"ZR-K5100-ShiftJIS.ppd", "JIS83-RKSJ"}};
    for (const auto& [file, encoding] : files) {
        auto ppd = openOrFail(fixturePPD(QString::fromLatin1(file)));
        ASSERT_TRUE(ppd) << file;
        EXPECT_STREQ(ppd->get()->lang_encoding, "UTF-8") << file;
        ppd_attr_t* attr = ppdFindAttr(ppd->get(), "LanguageEncoding", nullptr);
        ASSERT_TRUE(attr) << file;
        EXPECT_STREQ(attr->value, encoding) << file;
        EXPECT_EQ(QString::fromUtf8(ppd->option(QStringLiteral("VXColorAsGray"))->text),
                  QString::fromUtf8("グレースケールで印刷"))
            << file;
        for (const auto& e : expected)
            EXPECT_EQ(choiceText(*ppd, e.keyword, e.choice), QString::fromUtf8(e.text))
                << file << " " << e.keyword << " " << e.choice;
    }
    // The Shift-JIS file really is Shift-JIS on disk, not UTF-8.
    const QByteArray raw =
        PrintHostTest::readFile(fixturePPD(QStringLiteral("ZR-K5100-ShiftJIS.ppd")));
    EXPECT_FALSE(raw.contains(QByteArray("自動")));
    EXPECT_TRUE(raw.contains(QByteArray("\x8e\xa9\x93\xae")));
}
