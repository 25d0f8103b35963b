#include "AdvancedColorOptions.h"

#include "Accessibility.h"
#include "ConstraintEngine.h"
#include "ConstraintReasons.h"
#include "PaneTables.h"

#include <InstallRoot.h>
#include <VXPList.h>

#include <QComboBox>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QTabWidget>

#include <cstring>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace PDE {

namespace {

// The item index preset q gives a pop-up, EconoMode included; -1 for none.
int presetIndex(const QuickColorPreset& preset, int32_t q, int32_t e) {
    if (q < 0 || q > 2)
        return -1;
    if (e != 0 && q == 0 && preset.econoPreset0 >= 0)
        return preset.econoPreset0;
    if (e != 0 && q == 2 && preset.econoPreset2 >= 0)
        return preset.econoPreset2;
    return preset.preset[q];
}

// Room the Download Manager path is formed in.
constexpr size_t kDownloadManagerPathSize = 128;

} // namespace

AdvancedColorOptions::AdvancedColorOptions(QWidget* parent) : PDEPane(parent) {}

std::span<const ControlRowTemplate> AdvancedColorOptions::rowTemplates() const {
    return kAdvancedColorOptionsRows;
}

void AdvancedColorOptions::didBuildControlTable() {
    if (auto* tabs = outletAs<QTabWidget>(kAdvancedRowTabView))
        tabs->setCurrentIndex(0);
    if (auto* manage = outletAs<QPushButton>(kAdvancedRowManageProfile)) {
        // No answer from the helper and the service grants no writing either.
        const bool available = VXPListIsAdminProfile() != 0;
        manage->setEnabled(available);
        setControlReason(manage, available ? QString() : profileServiceReason());
    }
}

void AdvancedColorOptions::createPDEItemForPPDKey() {
    if (!ctrlTable)
        return;
    PDEPane::createPDEItemForPPDKey();
    // The Image, Text and Graphics tabs label their pop-ups alike ("RGB
    // Source:"); each pop-up's name says its tab too ("Image RGB Source"),
    // as its summary does. The labels keep their text and stay the pop-ups'
    // buddies, and speak the same name: screen readers on Linux name a pop-up
    // by its label and read its current item as its own name.
    const QList<QLabel*> labels = findChildren<QLabel*>();
    for (ControlTableEntry* row = ctrlTable.get(); row->control; ++row) {
        if (row->kind != kControlKindPopUp || !row->summaryKey)
            continue;
        const QString localized = PDECommon::localizedString(row->summaryKey);
        const QString name =
            accessibleTextOf(localized.isNull() ? QString::fromLatin1(row->summaryKey) : localized);
        row->control->setAccessibleName(name);
        for (QLabel* label : labels) {
            if (label->buddy() == row->control)
                label->setAccessibleName(name);
        }
    }
    PDECommon::commonAddMenuFromProfilePlist(ctrlTable.get());
}

void AdvancedColorOptions::reloadProfileMenus(ControlTableEntry* rulesTable) {
    if (!ctrlTable)
        return;
    std::vector<ControlTableEntry> rebuilt;
    PDECommon::commonReBuildProfileMenus(ctrlTable.get(), &rebuilt);
    if (rebuilt.empty())
        return;
    // Only the rebuilt menus take their values from the ticket again; every
    // other control keeps what the user set.
    rebuilt.emplace_back();
    PDECommon::commonSetTerminatorRow(&rebuilt.back());
    PDECommon::commonSyncPaneFromTicket(setting, session, rebuilt.data());
    if (rulesTable)
        vColorPresetConstraints(rulesTable);
}

void AdvancedColorOptions::changeItemAccodingQuickColor(int32_t q, int32_t e) {
    if (q < 0 || q > 2)
        return;
    for (const QuickColorPreset& preset : kQuickColorPresets) {
        auto* menu = outletAs<QComboBox>(preset.row);
        const int index = presetIndex(preset, q, e);
        // A menu too short for the preset keeps its selection.
        if (menu && index < menu->count())
            menu->setCurrentIndex(index);
    }
}

void AdvancedColorOptions::getSummaryItemAccodingQuickColor(int32_t q, int32_t e, QVariantMap* dict,
                                                            QStringList* array) const {
    if (q < 0 || q > 2)
        return;
    for (const QuickColorPreset& preset : kQuickColorPresets) {
        const auto* menu = outletAs<QComboBox>(preset.row);
        const int index = presetIndex(preset, q, e);
        // An item the menu does not have is left out of the summary.
        if (!menu || index >= menu->count())
            continue;
        PDECommon::commonGetSummaryTextQuickColor(preset.summaryName, menu->itemText(index), dict,
                                                  array);
    }
}

void AdvancedColorOptions::downloadManagerButton(QObject*) {
    char path[kDownloadManagerPathSize] = {};
    // A written path that does not fit is refused, never cut short into another.
    if (zrk::kDownloadManagerPath.size() >= sizeof path)
        return;
    std::memcpy(path, zrk::kDownloadManagerPath.data(), zrk::kDownloadManagerPath.size());
    const std::string resolved = zrk::resolveInstallPath(path);
    struct stat info {};
    if (::stat(resolved.c_str(), &info) != 0 || !S_ISREG(info.st_mode) ||
        ::access(resolved.c_str(), X_OK) != 0)
        return;
    QProcess::startDetached(QString::fromStdString(resolved), {});
}

} // namespace PDE
