// Everything the panes share, as class methods: the control table, PPD
// access, the ticket bridge and summary, the profile menus and the device
// refresh. The definitions are split by concern over PDECommon*.cpp.
#pragma once

#include "PDETypes.h"

#include <PrintingLayer.h>

#include <QString>
#include <QStringList>
#include <QVariantMap>

#include <cups/ppd.h>
#include <plist/plist.h>

#include <optional>
#include <vector>

namespace PrintHost {
class Bundle;
}

namespace PDE {

using PrintHost::PMPrintSession;
using PrintHost::PMPrintSettings;

// String encodings of PPD texts, in the two numberings the panes use.
constexpr uint32_t kNSISOLatin1StringEncoding = 5;
constexpr uint32_t kNSWindowsCP1252StringEncoding = 12;
constexpr uint32_t kNSShiftJISStringEncoding = 8;
constexpr uint32_t kNSUTF8StringEncoding = 4;
constexpr uint32_t kNSMacOSRomanStringEncoding = 30;

constexpr uint32_t kCFStringEncodingMacRoman = 0;
constexpr uint32_t kCFStringEncodingISOLatin1 = 0x0201;
constexpr uint32_t kCFStringEncodingWindowsLatin1 = 0x0500;
constexpr uint32_t kCFStringEncodingShiftJIS = 0x0A01;
constexpr uint32_t kCFStringEncodingUTF8 = 0x08000100;

inline constexpr const char* kProductKey = "zrk5100";

class PDECommon {
public:
    // The plug-in's bundle: set once (a copy of the first bundle handed in)
    // and kept for the life of the process; later calls change nothing.
    static PrintHost::Bundle* bundle();
    static void setBundle(PrintHost::Bundle* bundle);
    // The bundle's localized string for an ASCII key; null when there is none.
    static QString localizedString(const char* key);

    // --- control table ---
    static int commonGetPPDArrayForUIOption(ppd_file_t* ppd, const char* key,
                                            PPDChoiceList** array);
    static int commonGetUIListFromPPD(ppd_file_t* ppd, const char* key, PPDChoiceList* array,
                                      int16_t* count);
    static int commonAddPPDArray(QStringList* array, const ControlTableEntry* table);
    static void commonBuildPDEItem(ControlTableEntry* table, ppd_file_t* ppd);
    static void commonSetControlTitleFromLocalizeString(const ControlTableEntry* row);
    static void commonReBuildMenuFromPPD(ppd_file_t* ppd, const ControlTableEntry* row);
    static int32_t commonGetControlValueWithSInt32(const ControlTableEntry* row);
    static void commonSetControlValueWithSInt32(const ControlTableEntry* row, int32_t value);
    static ControlTableEntry* commonControlTableCompound(ControlTableEntry* const* tables,
                                                         int count);
    // Allocates a zero-filled table of `rows` rows; null when memory runs out.
    static ControlTableEntry* commonAllocControlTable(size_t rows);
    static void commonSetTerminatorRow(ControlTableEntry* row);
    // Tells a scripting host which row of the table each control is.
    static void commonLabelControlsForHost(const ControlTableEntry* table);

    // --- PPD access ---
    static uint32_t commonGetEncodingFromPPD(ppd_file_t* ppd);
    static uint32_t commonGetCFStringEncodingFromPPD(ppd_file_t* ppd);
    static uint32_t encodingForLanguageEncoding(const char* languageEncoding, bool cfForm);
    // Decodes PPD bytes with an encoding of either numbering.
    static QString commonDecodePPDString(const char* bytes, uint32_t encoding, bool cfForm);
    static int commonFindPPDKeyPairsMatch(const PPDChoiceList* array, const QString& option,
                                          const QString& choice);
    // `choice` null stands for a ticket value that is not a string.
    static int32_t commonGetTicketValueWithSInt32(const ControlTableEntry* row,
                                                  const QString& option, const QString* choice);
    static int32_t commonGetDefualtValueFromPPDWithSInt32(const ControlTableEntry* row);
    static int32_t commonGetControlValueFromPPDWithSInt32(const ControlTableEntry* row);
    static QString commonGetControlValueFromPPDWithNSString(const ControlTableEntry* row);
    static bool commonIsPPDChoiceConflicted(ppd_file_t* ppd, const char* option,
                                            const char* choice);
    // Shows the PPD's texts in the user's language where the PPD translates them.
    static void commonLocalizePPD(ppd_file_t* ppd);
    static QString commonGetPPDProductName(PMPrintSettings* settings);
    static QString commonGetPrintQueueName(PMPrintSession* session);

    // --- ticket bridge and summary ---
    static plist_t commonGetModelDictionary(PMPrintSettings* settings, PMPrintSession* session);
    static plist_t commonCFDictionaryGetValueWithType(plist_t dict, const char* key);
    static bool commonCFTypeIsValid(plist_t object, plist_type type);
    // The UTF-8 bytes of the string under a key; nothing when the key is
    // absent or its value is not a string.
    static std::optional<QByteArray> commonDictionaryStringValue(plist_t dict, const char* key);
    static int commonCFDictionaryMapToTicket(PMPrintSettings* settings, plist_t dict);
    static int commonSyncTicketFromPane(PMPrintSettings* settings, PMPrintSession* session,
                                        const ControlTableEntry* table);
    static int commonSyncPaneFromTicket(PMPrintSettings* settings, PMPrintSession* session,
                                        const ControlTableEntry* table);
    static void commonDefaultFromPPDInfo(const ControlTableEntry* table);
    static int32_t commonConvertToCSTValue(const ControlTableEntry* row, int32_t value);
    static int32_t commonConvertFromCSTValue(const ControlTableEntry* row, int32_t value);
    static int commonGetSummaryText(const ControlTableEntry* table, QVariantMap* dict,
                                    QStringList* array);
    static int commonGetSummaryTextQuickColor(const char* itemName, const QString& value,
                                              QVariantMap* dict, QStringList* array);

    // --- profile menus and the profile chosen in the ticket ---
    static int commonAddMenuFromProfilePlist(const ControlTableEntry* table);
    // Replaces the entry items of the table's profile menus with the current
    // file's, reading it once; menus whose entries are unchanged are left as
    // they are. The rows of the menus that changed are added to *changedRows
    // (may be null). A file that cannot be read leaves the menus without
    // entries and gives the read's result.
    static int commonReBuildProfileMenus(const ControlTableEntry* table,
                                         std::vector<ControlTableEntry>* changedRows);
    // The chosen profile is kept as the path of the entry the menu item was
    // built from; reading it back finds the menu item that shows that path.
    static int commonSetTicketAddedProfile(const ControlTableEntry* row, plist_t dict,
                                           int16_t select);
    static int16_t commonGetTicketAddedProfile(const ControlTableEntry* row, plist_t dict);
    static QString commonGetTicketAddedProfileFlag(const ControlTableEntry* row, plist_t dict);
    static int commonSetTicketAddedProfileFlag(const ControlTableEntry* row, plist_t dict,
                                               const char* flag);

    // --- device address and profile refresh ---
    static int16_t commoniGetProtocolByUrl(const QString* url);
    static int16_t commoniGetProtocol(PMPrintSession* session);
    static int commonGetProfilesFromMIB(PMPrintSession* session);
};

} // namespace PDE
