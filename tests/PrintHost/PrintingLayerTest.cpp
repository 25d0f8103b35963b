// The printing layer: settings semantics (stored nodes, copies) and the
// ticket file (round trip, atomic replacement, refusal of non-plists).
#include "PrintingLayer.h"

#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace PrintHost;
using PrintHostTest::readFile;
using PrintHostTest::writeFile;

namespace {

std::string stringOf(plist_t node) {
    if (!node || plist_get_node_type(node) != PLIST_STRING)
        return "<not a string>";
    char* text = nullptr;
    plist_get_string_val(node, &text);
    std::string value = text ? text : "";
    free(text);
    return value;
}

std::string xmlOf(plist_t node) {
    char* xml = nullptr;
    uint32_t length = 0;
    plist_to_xml(node, &xml, &length);
    std::string text(xml ? xml : "", length);
    plist_to_xml_free(xml);
    return text;
}

std::string path(const QTemporaryDir& dir, const char* name) {
    return QFile::encodeName(dir.filePath(QString::fromLatin1(name))).toStdString();
}

} // namespace

TEST(PrintingLayer, SessionPrinterAndDeviceURI) {
    PMPrintSession session;
    PMPrinter* printer = reinterpret_cast<PMPrinter*>(1);
    EXPECT_EQ(PMSessionGetCurrentPrinter(&session, &printer), kPMNoDefaultPrinter);
    EXPECT_EQ(printer, nullptr);
    EXPECT_EQ(PMSessionGetCurrentPrinter(nullptr, &printer), kPMInvalidParameter);
    EXPECT_EQ(PMPrinterGetID(nullptr), nullptr);

    session.setCurrentPrinter(std::make_shared<PMPrinter>("Q1", std::nullopt));
    ASSERT_EQ(PMSessionGetCurrentPrinter(&session, &printer), noErr);
    EXPECT_STREQ(PMPrinterGetID(printer), "Q1");
    std::string uri = "unchanged";
    EXPECT_EQ(PMPrinterCopyDeviceURI(printer, &uri), kPMKeyNotFound);
    EXPECT_EQ(uri, "unchanged");

    session.setCurrentPrinter(std::make_shared<PMPrinter>("Q2", "lpd://10.0.0.5/queue"));
    ASSERT_EQ(PMSessionGetCurrentPrinter(&session, &printer), noErr);
    EXPECT_EQ(PMPrinterCopyDeviceURI(printer, &uri), noErr);
    EXPECT_EQ(uri, "lpd://10.0.0.5/queue");
    EXPECT_EQ(PMPrinterCopyDeviceURI(nullptr, &uri), kPMInvalidParameter);
}

TEST(PrintingLayer, GetValueGivesTheStoredNodeSetValueStoresACopy) {
    PMPrintSettings settings;
    plist_t value = reinterpret_cast<plist_t>(1);
    EXPECT_EQ(PMPrintSettingsGetValue(&settings, "zrk5100", &value), kPMKeyNotFound);
    EXPECT_EQ(value, nullptr);

    plist_t dict = plist_new_dict();
    ASSERT_EQ(PMPrintSettingsSetValue(&settings, "zrk5100", dict, false), noErr);
    // The caller's node is still the caller's: changing it changes nothing stored.
    plist_dict_set_item(dict, "late", plist_new_string("caller"));
    plist_free(dict);

    plist_t stored = nullptr;
    ASSERT_EQ(PMPrintSettingsGetValue(&settings, "zrk5100", &stored), noErr);
    EXPECT_EQ(plist_dict_get_item(stored, "late"), nullptr);
    // Entries added to the stored dictionary are part of the settings.
    plist_dict_set_item(stored, "Q", plist_new_string("model"));
    plist_t again = nullptr;
    ASSERT_EQ(PMPrintSettingsGetValue(&settings, "zrk5100", &again), noErr);
    EXPECT_EQ(again, stored);
    EXPECT_EQ(stringOf(plist_dict_get_item(again, "Q")), "model");

    // Storing a node under its own key, and storing the root into itself, are safe.
    ASSERT_EQ(PMPrintSettingsSetValue(&settings, "zrk5100", stored, false), noErr);
    ASSERT_EQ(PMPrintSettingsSetValue(&settings, "self", settings.dictionary(), false), noErr);
    ASSERT_EQ(PMPrintSettingsGetValue(&settings, "zrk5100", &again), noErr);
    EXPECT_EQ(stringOf(plist_dict_get_item(again, "Q")), "model");

    // A null value removes the entry.
    EXPECT_EQ(PMPrintSettingsSetValue(&settings, "self", nullptr, false), noErr);
    EXPECT_EQ(PMPrintSettingsGetValue(&settings, "self", &again), kPMKeyNotFound);

    EXPECT_EQ(PMPrintSettingsGetValue(nullptr, "k", &again), kPMInvalidParameter);
    EXPECT_EQ(PMPrintSettingsGetValue(&settings, nullptr, &again), kPMInvalidParameter);
    EXPECT_EQ(PMPrintSettingsGetValue(&settings, "k", nullptr), kPMInvalidParameter);
    EXPECT_EQ(PMPrintSettingsSetValue(nullptr, "k", nullptr, false), kPMInvalidParameter);
}

TEST(PrintingLayer, AssignKeepsTheRootNode) {
    PMPrintSettings settings;
    plist_t root = settings.dictionary();
    plist_dict_set_item(root, "old", plist_new_string("x"));
    PMPrintSettings other;
    plist_dict_set_item(other.dictionary(), "VXQuickColor", plist_new_string("Photo"));
    plist_dict_set_item(other.dictionary(), "nested", plist_new_dict());

    settings.assign(other);
    EXPECT_EQ(settings.dictionary(), root);
    EXPECT_EQ(settings.keys(), (std::vector<std::string>{"VXQuickColor", "nested"}));
    EXPECT_NE(plist_dict_get_item(root, "nested"),
              plist_dict_get_item(other.dictionary(), "nested"));
    settings.assign(settings);
    EXPECT_EQ(settings.keys().size(), 2u);
}

TEST(PrintingLayer, AdoptingSomethingElseThanADictionaryGivesEmptySettings) {
    PMPrintSettings fromString(plist_new_string("not a dictionary"));
    EXPECT_EQ(plist_get_node_type(fromString.dictionary()), PLIST_DICT);
    EXPECT_TRUE(fromString.keys().empty());
    PMPrintSettings fromNull(nullptr);
    EXPECT_EQ(plist_get_node_type(fromNull.dictionary()), PLIST_DICT);
}

TEST(PrintingLayer, TicketRoundTripKeepsEveryType) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    PMPrintSettings settings;
    plist_t root = settings.dictionary();
    plist_dict_set_item(root, "VXBrightness",
                        plist_new_string("\xC2\xB1"
                                         "0 Normal"));
    plist_dict_set_item(root, "count", plist_new_uint(42));
    plist_dict_set_item(root, "flag", plist_new_bool(1));
    plist_t model = plist_new_dict();
    plist_dict_set_item(model, "VXQuickColor", plist_new_string("CustomColor"));
    plist_t product = plist_new_dict();
    plist_dict_set_item(product, "Q", model);
    plist_dict_set_item(root, "zrk5100", product);
    plist_t list = plist_new_array();
    plist_array_append_item(list, plist_new_string("a"));
    plist_dict_set_item(root, "list", list);

    std::string error;
    ASSERT_TRUE(settings.writeToFile(path(dir, "ticket.plist"), &error)) << error;
    EXPECT_TRUE(readFile(dir.filePath("ticket.plist")).startsWith("<?xml"));
    auto back = PMPrintSettings::readFromFile(path(dir, "ticket.plist"), &error);
    ASSERT_TRUE(back) << error;
    EXPECT_EQ(xmlOf(back->dictionary()), xmlOf(settings.dictionary()));
    EXPECT_EQ(back->keys(), settings.keys());

    // A binary property list is read as well.
    char* bin = nullptr;
    uint32_t length = 0;
    plist_to_bin(settings.dictionary(), &bin, &length);
    ASSERT_TRUE(writeFile(dir.filePath("binary.plist"), QByteArray(bin, int(length))));
    plist_to_bin_free(bin);
    auto binary = PMPrintSettings::readFromFile(path(dir, "binary.plist"), &error);
    ASSERT_TRUE(binary) << error;
    EXPECT_EQ(xmlOf(binary->dictionary()), xmlOf(settings.dictionary()));
}

TEST(PrintingLayer, WriteReplacesAtomicallyAndKeepsTheMode) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string ticket = path(dir, "ticket.plist");
    ASSERT_TRUE(writeFile(dir.filePath("ticket.plist"), "old contents"));
    ASSERT_EQ(chmod(ticket.c_str(), 0600), 0);
    struct stat before {};
    ASSERT_EQ(stat(ticket.c_str(), &before), 0);

    PMPrintSettings settings;
    plist_dict_set_item(settings.dictionary(), "VXQuickColor", plist_new_string("Photo"));
    std::string error;
    ASSERT_TRUE(settings.writeToFile(ticket, &error)) << error;

    struct stat after {};
    ASSERT_EQ(stat(ticket.c_str(), &after), 0);
    EXPECT_NE(before.st_ino, after.st_ino) << "a new file is renamed into place";
    EXPECT_EQ(after.st_mode & 07777, 0600u);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("ticket.plist")})
        << "no temporary file is left behind";

    // A new ticket is readable by all, writable by its owner.
    ASSERT_TRUE(settings.writeToFile(path(dir, "new.plist"), &error)) << error;
    ASSERT_EQ(stat(path(dir, "new.plist").c_str(), &after), 0);
    EXPECT_EQ(after.st_mode & 07777, 0644u);
}

TEST(PrintingLayer, WriteFailuresLeaveNothingBehind) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    PMPrintSettings settings;
    std::string error;
    EXPECT_FALSE(settings.writeToFile(path(dir, "missing/ticket.plist"), &error));
    EXPECT_NE(error.find("missing"), std::string::npos) << error;
    EXPECT_FALSE(settings.writeToFile("", &error));
    ASSERT_TRUE(QDir(dir.path()).mkdir("folder"));
    EXPECT_FALSE(settings.writeToFile(path(dir, "folder"), &error));
    EXPECT_TRUE(QFileInfo(dir.filePath("folder")).isDir());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 0);
}

TEST(PrintingLayer, ReadRefusesWhatIsNotADictionaryPlist) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    struct Case {
        const char* name;
        QByteArray contents; // empty name below means "do not create"
        bool create;
    };
    const Case cases[] = {
        {"absent.plist", {}, false},
        {"empty.plist", {}, true},
        {"text.plist", "just some text\n", true},
        {"truncated.plist", "<?xml version=\"1.0\"?><plist version=\"1.0\"><dict><key>a</key>",
         true},
        {"array.plist",
         "<?xml version=\"1.0\"?><plist version=\"1.0\"><array><string>a</string></array></plist>",
         true},
        {"json.plist", "{\"VXQuickColor\": \"Photo\"}", true},
        // XML has no NUL character; libplist would keep such a string's
        // length past the copy it stores, and writing it reads past its end.
        {"nul.plist",
         QByteArray("<?xml version=\"1.0\"?><plist version=\"1.0\"><dict><key>a</key>"
                    "<string>Tr\0\0\0\0ue</string></dict></plist>",
                    100),
         true},
        // A binary list's UTF-16 key "a" U+0000: libplist aborts on reading it.
        {"nulkey.plist",
         QByteArray::fromHex("62706c6973743030d10102620061000009080b10000000000000"
                             "0101000000000000000300000000000000000000000000000011"),
         true},
        // Saved as XML, the fraction of a second would be lost.
        {"date.plist",
         QByteArray::fromHex("62706c6973743030d1010251613341c1de0c40400000080b0d00000000000001"
                             "01000000000000000300000000000000000000000000000016"),
         true},
        {"deep.plist",
         "<?xml version=\"1.0\"?><plist version=\"1.0\"><dict><key>a</key>" +
             QByteArray("<array>").repeated(100) + QByteArray("</array>").repeated(100) +
             "</dict></plist>",
         true},
    };
    for (const auto& c : cases) {
        if (c.create) {
            ASSERT_TRUE(writeFile(dir.filePath(QString::fromLatin1(c.name)), c.contents));
        }
        std::string error;
        EXPECT_FALSE(PMPrintSettings::readFromFile(path(dir, c.name), &error)) << c.name;
        EXPECT_FALSE(error.empty()) << c.name;
    }
    ASSERT_TRUE(QDir(dir.path()).mkdir("folder"));
    std::string error;
    EXPECT_FALSE(PMPrintSettings::readFromFile(path(dir, "folder"), &error));
}
