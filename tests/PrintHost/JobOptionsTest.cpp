// Which settings become job options, and the summary's JSON form.
#include "JobOptions.h"

#include "PDEPlugInAPI.h"
#include "PPDFile.h"
#include "TestSupport.h"

#include <QJsonArray>

#include <gtest/gtest.h>

using namespace PrintHost;

TEST(JobOptions, OnlyStringEntriesUnderPPDKeywordsSortedByKey) {
    QString error;
    auto ppd = PPDFile::open(PrintHostTest::bundledPPD(), &error);
    ASSERT_TRUE(ppd) << error.toStdString();
    PMPrintSettings settings;
    plist_t root = settings.dictionary();
    plist_dict_set_item(root, "VXQuickColor", plist_new_string("Photo"));
    plist_dict_set_item(root, "VXBrightness", plist_new_string("Plus1"));
    plist_dict_set_item(root, "zrk5100", plist_new_dict()); // not an option
    plist_dict_set_item(root, "VXImageDestinationProfileCustom", plist_new_string("a")); // ditto
    plist_dict_set_item(root, "vxedgetype", plist_new_string("Off")); // wrong case
    plist_dict_set_item(root, "VXColorAsGray", plist_new_bool(1));    // not a string
    plist_dict_set_item(root, "PageSize", plist_new_string("A4"));
    plist_dict_set_item(root, "VXAutoTrapping", plist_new_string("False"));
    // A chosen profile travels in its menu's path option; a menu showing a PPD
    // choice sends none.
    plist_dict_set_item(root, "VXImageRGBSource", plist_new_string("None"));
    plist_dict_set_item(root, "VXImageRGBSourceCustom", plist_new_string("True"));
    plist_dict_set_item(root, "VXImageRGBSourceCustomFilename", plist_new_string("2?61"));
    plist_dict_set_item(root, "VXTextRGBSource", plist_new_string("sRGB"));
    plist_dict_set_item(root, "VXTextRGBSourceCustom", plist_new_string("False"));
    plist_dict_set_item(root, "VXTextRGBSourceCustomFilename", plist_new_string("2?62"));
    // Never a stale path option of the ticket's own, nor an empty path.
    plist_dict_set_item(root, "VXPathTextRGBSource", plist_new_string("Custom.2?63"));
    plist_dict_set_item(root, "VXSimSource", plist_new_string("None"));
    plist_dict_set_item(root, "VXSimSourceCustom", plist_new_string("True"));
    plist_dict_set_item(root, "VXSimSourceCustomFilename", plist_new_string(""));

    const JobOptionList expected = {{"PageSize", "A4"},
                                    {"VXAutoTrapping", "False"},
                                    {"VXBrightness", "Plus1"},
                                    {"VXImageRGBSource", "None"},
                                    {"VXPathImageRGBSource", "Custom.2?61"},
                                    {"VXQuickColor", "Photo"},
                                    {"VXSimSource", "None"},
                                    {"VXTextRGBSource", "sRGB"}};
    EXPECT_EQ(jobOptions(settings, *ppd), expected);
    EXPECT_TRUE(jobOptions(PMPrintSettings(), *ppd).empty());
}

TEST(JobOptions, AnEmptySummaryStillHasItsDisplayOrder) {
    const QJsonObject empty = summaryToJson({});
    EXPECT_EQ(empty.size(), 1);
    EXPECT_TRUE(empty.value(kSummaryDisplayOrderKey).toArray().isEmpty());
}
