#include "ColorOptions.h"

#include "PaneTables.h"

#include <QCheckBox>
#include <QComboBox>

namespace PDE {

ColorOptions::ColorOptions(QWidget* parent) : PDEPane(parent) {}

std::span<const ControlRowTemplate> ColorOptions::rowTemplates() const {
    return kColorOptionsRows;
}

int16_t ColorOptions::getQuickColorValue() const {
    const auto* menu = outletAs<QComboBox>(kColorRowQuickColor);
    return menu ? int16_t(menu->currentIndex()) : int16_t(-1);
}

int16_t ColorOptions::getEconoModeValue() const {
    const auto* box = outletAs<QCheckBox>(kColorRowEconoMode);
    return box && box->isChecked() ? 1 : 0;
}

} // namespace PDE
