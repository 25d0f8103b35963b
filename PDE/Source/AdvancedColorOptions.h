// The Advanced Color Options pane: 21 pop-ups on four tabs (Image, Text,
// Graphics, Simulation), the profile entries of the profile store in the
// RGB source, destination and simulation menus, and three buttons.
#pragma once

#include "PDEPane.h"

namespace PDE {

class AdvancedColorOptions : public PDEPane {
    Q_OBJECT
public:
    explicit AdvancedColorOptions(QWidget* parent = nullptr);

    // Titles and PPD menus, then the profile entries of the profile file.
    void createPDEItemForPPDKey() override;

    // Brings the profile menus in step with the profile file once it may have
    // been rewritten (by a refresh from the printer, or by the Profile
    // Management window): rebuilds their entries from the file, selects again
    // the profiles the ticket records, by path, and runs the rules over
    // `rulesTable` (the panel's combined table; may be null). Menus whose
    // entries did not change keep their selection, and nothing is done when
    // none changed.
    void reloadProfileMenus(ControlTableEntry* rulesTable);

    // Sets the 21 pop-ups to the items of Quick Color preset q (0-2); EconoMode
    // (e nonzero) switches edge enhancement off for presets 0 and 2.
    void changeItemAccodingQuickColor(int32_t q, int32_t e);
    // Adds the 21 advanced items with the values preset q implies, without
    // touching the controls.
    void getSummaryItemAccodingQuickColor(int32_t q, int32_t e, QVariantMap* dict,
                                          QStringList* array) const;

    // Action of the Download Manager button.
    Q_INVOKABLE void downloadManagerButton(QObject* sender);

protected:
    std::span<const ControlRowTemplate> rowTemplates() const override;
    void didBuildControlTable() override;
};

} // namespace PDE
