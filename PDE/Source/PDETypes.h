// Records shared by the panes, the table operations and the constraint engine.
#pragma once

#include <QList>
#include <QString>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <memory>

class QWidget;

namespace PDE {

// Every class of the plug-in registers at run time under its name followed by
// this suffix (the interface loader's class names).
#define PDE_CLASS_SUFFIX "_6CC8C4F3_87E0_47EC_95BE_BB92F31A504E"

// Control kind codes.
constexpr int32_t kControlKindEnd = 1032;
constexpr int32_t kControlKindStaticText = 1034;
constexpr int32_t kControlKindPopUp = 1035;
constexpr int32_t kControlKindCheckBox = 1036;
constexpr int32_t kControlKindPushButton = 1039;
constexpr int32_t kControlKindTabView = 1040;

// Which profile list a row's menu carries beyond its PPD choices.
constexpr uint16_t kProfileListNone = 0;
constexpr uint16_t kProfileListRGBSource = 1;
constexpr uint16_t kProfileListDestination = 2;
constexpr uint16_t kProfileListSimulation = 3;

// Status codes of the printing and file-system conventions.
constexpr int kNoErr = 0;
constexpr int kParamErr = -50;
constexpr int kMemFullErr = -108;
constexpr int kPMGeneralError = -30870;
constexpr int kPMKeyNotFound = -30888;

// One PPD choice of a row's option: five strings.
enum PPDChoiceField {
    kChoiceOptionKeyword = 0,
    kChoiceDefaultKeyword = 1,
    kChoiceKeyword = 2,
    kChoiceText = 3,
    kChoiceConflict = 4,
};
using PPDChoiceEntry = std::array<QString, 5>;
using PPDChoiceList = QList<PPDChoiceEntry>;

inline constexpr const char* kConflictTrue = "ConflictTrue";
inline constexpr const char* kConflictFalse = "ConflictFalse";

// Rows that edit no PPD option, or that no rule names, point to this one
// string; a row has no PPD option exactly when its keyword is this pointer.
extern const char kEmptyString[];

struct ControlTableEntry {
    QWidget* control;
    int32_t kind;
    const char* ppdKeyword;
    const char* titleKey;
    const char* summaryKey;
    const char* identifier;
    uint16_t profileList;
    PPDChoiceList* choices;
};

inline bool rowHasPPDKeyword(const ControlTableEntry* row) {
    return row->ppdKeyword != kEmptyString;
}

// Tables are zero-filled C arrays so that a joined table can hold plain
// copies of the panes' rows; this deleter frees the array only (never the
// rows' choice lists, which their pane owns).
struct ControlTableFree {
    void operator()(ControlTableEntry* table) const { std::free(table); }
};
using ControlTablePtr = std::unique_ptr<ControlTableEntry, ControlTableFree>;

// The constant part of a pane's row, written as data. `outlet` is the
// objectName of the control in the interface file; null marks the end row.
struct ControlRowTemplate {
    const char* outlet;
    int32_t kind;
    const char* ppdKeyword; // null: none
    const char* titleKey;
    const char* summaryKey;
    const char* identifier; // null: none
    uint16_t profileList;
};

} // namespace PDE
