// The file-name test of the merge and its character filter.
#include "SpoolPlist.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace zrk {
namespace {

struct NameCase {
    const char* name;
    bool accepted;
};

class FileNameFormat : public ::testing::TestWithParam<NameCase> {};

TEST_P(FileNameFormat, AcceptsOnlyShortBaseAndExtension) {
    EXPECT_EQ(bJudgement8point3Format(GetParam().name), GetParam().accepted)
        << (GetParam().name ? GetParam().name : "(null)");
}

const std::string k27(27, 'A');
const std::string k28(28, 'A');
const std::string k27Icc = k27 + ".ICC";
const std::string k28Icc = k28 + ".ICC";

INSTANTIATE_TEST_SUITE_P(
    Names, FileNameFormat,
    ::testing::Values(NameCase{"STD.ICC", true}, NameCase{"A.B", true}, NameCase{"ABC.", true},
                      NameCase{k27.c_str(), true}, NameCase{k27Icc.c_str(), true},
                      NameCase{"A.B.C", true}, // the extension "B.C" has three characters
                      NameCase{"a-b_c(1)~{x}.i`c", true}, NameCase{"a-b_c(1)~{x}.i`", true},
                      NameCase{"!#$%&'()-^_{}~`", true}, NameCase{".ICC", false},
                      NameCase{"PROFILE.ICCX", false}, NameCase{"A.B.C.D", false},
                      NameCase{"A B.ICC", false}, NameCase{"A@B.ICC", false},
                      NameCase{k28.c_str(), false}, NameCase{k28Icc.c_str(), false},
                      NameCase{"", false}, NameCase{nullptr, false}, NameCase{"A/B", false},
                      NameCase{"A\\B", false}, NameCase{"\xC3\xA9.ICC", false},
                      NameCase{"A\tB", false}, NameCase{"A\x7F", false}, NameCase{"A+B", false},
                      NameCase{"A,B", false}, NameCase{"A:B", false}, NameCase{"A=B", false}));

TEST(FileNameFilter, AcceptsExactlyLettersDigitsAndSixteenSigns) {
    const std::string punctuation = "!#$%&'()-.^_{}~`";
    ASSERT_EQ(punctuation.size(), 16u);
    for (int c = -128; c < 256; ++c) {
        const bool expected =
            (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
            (c > 0 && punctuation.find(static_cast<char>(c)) != std::string::npos);
        EXPECT_EQ(FileNameFilter(c), expected) << "character " << c;
    }
}

} // namespace
} // namespace zrk
