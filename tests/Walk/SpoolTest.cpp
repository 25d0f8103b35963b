// Filing received cells into the spool list.
#include "SpoolPlist.h"
#include "WalkColumns.h"

#include <net-snmp/net-snmp-config.h>
#include <net-snmp/net-snmp-includes.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace zrk {
namespace {

constexpr u_char kInteger = ASN_INTEGER;
constexpr u_char kText = ASN_OCTET_STR;

// One received variable, owned.
class Cell {
public:
    Cell(std::vector<oid> name, u_char type, long number) : name_(std::move(name)) {
        snmp_varlist_add_variable(&var_, name_.data(), name_.size(), type, &number, sizeof number);
    }
    Cell(std::vector<oid> name, u_char type, const std::string& text) : name_(std::move(name)) {
        snmp_varlist_add_variable(&var_, name_.data(), name_.size(), type, text.data(),
                                  text.size());
    }
    ~Cell() { snmp_free_varbind(var_); }
    Cell(const Cell&) = delete;
    Cell& operator=(const Cell&) = delete;
    void spool() const { vSpoolPlist(var_->name, var_->name_length, var_, 0); }

private:
    std::vector<oid> name_;
    netsnmp_variable_list* var_ = nullptr;
};

std::vector<oid> cellName(int column, oid row) {
    std::vector<oid> name = {1, 3, 6, 1, 4, 1, 18334, 1, 1, 1, 1, 6, 13, 1, 1};
    name.push_back(static_cast<oid>(column));
    name.push_back(1);
    name.push_back(row);
    return name;
}

class Spool : public ::testing::Test {
protected:
    void SetUp() override { vSpoolPlist(nullptr, 0, nullptr, 1); }
    const ProfileEntry& slot(int i) const { return PlistForSpool.litem[i]; }
};

struct NumberCase {
    int column;
    int32_t ProfileEntry::*field;
};

TEST_F(Spool, FilesEachNumberColumnIntoItsField) {
    const NumberCase cases[] = {{1, &ProfileEntry::iIndexOnDevice},
                                {2, &ProfileEntry::iLocation},
                                {5, &ProfileEntry::iProfileClass},
                                {7, &ProfileEntry::iDriver}};
    long value = 40;
    for (const NumberCase& c : cases) {
        Cell(cellName(c.column, 3), kInteger, ++value).spool();
        EXPECT_EQ(slot(2).*c.field, value) << "column " << c.column;
    }
    EXPECT_EQ(PlistForSpool.iNum, 1) << "only index cells count rows";
    EXPECT_EQ(slot(2).iInMenu, 0);
}

TEST_F(Spool, FilesTextColumns) {
    Cell(cellName(3, 1), kText, std::string("Press Coated")).spool();
    Cell(cellName(4, 1), kText, std::string("PRESSCT.ICC")).spool();
    EXPECT_STREQ(slot(0).ProfileName, "Press Coated");
    EXPECT_STREQ(slot(0).FileName, "PRESSCT.ICC");
}

TEST_F(Spool, IgnoresWhatNamesNoColumnOrSlot) {
    struct Ignored {
        std::vector<oid> name;
        u_char type;
    };
    std::vector<oid> tooShort16 = cellName(1, 1);
    tooShort16.resize(16);
    std::vector<oid> tooShort17 = cellName(1, 1);
    tooShort17.resize(17);
    std::vector<oid> otherTable = cellName(1, 1);
    otherTable[12] = 14;
    const Ignored cases[] = {
        {cellName(6, 1), kInteger},   // column 6 is not recorded
        {cellName(8, 1), kInteger},   // nor any other column
        {cellName(1, 1), kText},      // a number column with a text
        {cellName(3, 1), kInteger},   // a text column with a number
        {cellName(1, 0), kInteger},   // rows count from 1
        {cellName(1, 501), kInteger}, // the spool has 500 slots
        {cellName(1, 0xFFFFFFFFul), kInteger},
        {tooShort16, kInteger},
        {tooShort17, kInteger},
        {otherTable, kInteger},
    };
    for (const Ignored& c : cases) {
        if (c.type == kInteger) {
            Cell(c.name, c.type, 7L).spool();
        } else {
            Cell(c.name, c.type, std::string("X.ICC")).spool();
        }
    }
    static const ProfileList kEmpty{};
    EXPECT_EQ(std::memcmp(&PlistForSpool, &kEmpty, sizeof kEmpty), 0);
}

TEST_F(Spool, TakesIntegersAsThirtyTwoBits) {
    Cell(cellName(2, 500), kInteger, 0x100000005L).spool();
    EXPECT_EQ(slot(499).iLocation, 5);
}

struct TextCase {
    const char* label;
    std::string received;
    std::string filed;
};

class SpoolText : public ::testing::TestWithParam<TextCase> {};

TEST_P(SpoolText, CutsToThirtyOneBytesAtACharacterBoundary) {
    vSpoolPlist(nullptr, 0, nullptr, 1);
    // A longer text first: a shorter one must not keep its tail.
    Cell(cellName(3, 2), kText, std::string(31, 'Z')).spool();
    Cell(cellName(3, 2), kText, GetParam().received).spool();
    const char* field = PlistForSpool.litem[1].ProfileName;
    EXPECT_EQ(std::string(field), GetParam().filed);
    EXPECT_EQ(field[kProfileNameFieldSize - 1], '\0');
}

const std::string kE = "\xC3\xA9";             // 2 bytes
const std::string kEuro = "\xE2\x82\xAC";      // 3 bytes
const std::string kEmoji = "\xF0\x9F\x8E\xA8"; // 4 bytes

INSTANTIATE_TEST_SUITE_P(
    Texts, SpoolText,
    ::testing::Values(
        TextCase{"short", "Photo", "Photo"}, TextCase{"empty", "", ""},
        TextCase{"exactly31", std::string(31, 'a'), std::string(31, 'a')},
        TextCase{"ascii40", std::string(40, 'b'), std::string(31, 'b')},
        TextCase{"twoByteAcrossCut", std::string(30, 'c') + kE + "tail", std::string(30, 'c')},
        TextCase{"twoByteFits", std::string(29, 'c') + kE + "tail", std::string(29, 'c') + kE},
        TextCase{"threeByteAcrossCut", std::string(29, 'd') + kEuro, std::string(29, 'd')},
        TextCase{"fourByteAcrossCut", std::string(28, 'e') + kEmoji + "x", std::string(28, 'e')},
        TextCase{"fourByteFits", std::string(27, 'e') + kEmoji + "x",
                 std::string(27, 'e') + kEmoji},
        TextCase{"notUtf8", std::string(40, '\xFF'), std::string(31, '\xFF')},
        TextCase{"strayContinuations", std::string(20, 'f') + std::string(20, '\x80'),
                 std::string(20, 'f') + std::string(11, '\x80')},
        TextCase{"embeddedNul", std::string("AB\0CD", 5), "AB"}),
    [](const ::testing::TestParamInfo<TextCase>& info) { return info.param.label; });

TEST_F(Spool, CountsIndexCellsButNeverBeyondTheSlots) {
    for (int i = 0; i < 600; ++i) {
        Cell(cellName(1, 1 + i % 4), kInteger, 1L).spool();
    }
    EXPECT_EQ(PlistForSpool.iNum, kMaxProfileEntries);
}

TEST_F(Spool, ResetClearsEverything) {
    Cell(cellName(1, 9), kInteger, 9L).spool();
    Cell(cellName(4, 9), kText, std::string("A.ICC")).spool();
    vSpoolPlist(nullptr, 0, nullptr, 1);
    static const ProfileList kEmpty{};
    EXPECT_EQ(std::memcmp(&PlistForSpool, &kEmpty, sizeof kEmpty), 0);
}

} // namespace
} // namespace zrk
