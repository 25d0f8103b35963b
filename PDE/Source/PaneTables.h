// The panes' row tables and the Quick Color preset table, as constant data.
#pragma once

#include "PDETypes.h"

#include <span>

namespace PDE {

// Rows of the Color Options pane, end row included (14).
extern const std::span<const ControlRowTemplate> kColorOptionsRows;
// Rows of the Advanced Color Options pane, end row included (47).
extern const std::span<const ControlRowTemplate> kAdvancedColorOptionsRows;

// Indexes into kColorOptionsRows that the pane reads itself.
constexpr size_t kColorRowQuickColor = 0;
constexpr size_t kColorRowEconoMode = 4;

// Indexes into kAdvancedColorOptionsRows of the controls the pane drives itself.
constexpr size_t kAdvancedRowFirstPopUp = 0;
constexpr size_t kAdvancedPopUpCount = 21;
constexpr size_t kAdvancedRowTabView = 21;
constexpr size_t kAdvancedRowManageProfile = 43;
constexpr size_t kAdvancedRowDownloadManager = 44;
constexpr size_t kAdvancedRowHideAdvanced = 45;

// One pop-up of the Advanced pane under a Quick Color preset: the item index
// for presets 0, 1 and 2, and the index that EconoMode puts in place of the
// preset's for presets 0 and 2 (-1: EconoMode makes no difference).
struct QuickColorPreset {
    size_t row; // index into kAdvancedColorOptionsRows
    const char* summaryName;
    int preset[3];
    int econoPreset0;
    int econoPreset2;
};

extern const std::span<const QuickColorPreset> kQuickColorPresets;

} // namespace PDE
