// The main pane: Quick Color, Brightness, Color as Grayscale, Color
// Separation, EconoMode, Edge type, Auto Trapping and Black Overprint.
#pragma once

#include "PDEPane.h"

namespace PDE {

class ColorOptions : public PDEPane {
    Q_OBJECT
public:
    explicit ColorOptions(QWidget* parent = nullptr);

    // Selected index of the Quick Color pop-up (-1 when none); items 0-2 are
    // presets, item 3 is Custom.
    int16_t getQuickColorValue() const;
    // State of the EconoMode check box.
    int16_t getEconoModeValue() const;

protected:
    std::span<const ControlRowTemplate> rowTemplates() const override;
};

} // namespace PDE
