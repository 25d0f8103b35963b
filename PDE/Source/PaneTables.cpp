#include "PaneTables.h"

namespace PDE {

namespace {

constexpr ControlRowTemplate kEndRow{nullptr, kControlKindEnd, nullptr,         nullptr,
                                     nullptr, nullptr,         kProfileListNone};

constexpr ControlRowTemplate colorOptionsRows[] = {
    {"menu_QuickColor", kControlKindPopUp, "VXQuickColor", nullptr, "Quick Color",
     "QuickColorPopup", kProfileListNone},
    {"menu_Brightness", kControlKindPopUp, "VXBrightness", nullptr, "Brightness", nullptr,
     kProfileListNone},
    {"check_ColorAsGrayscale", kControlKindCheckBox, "VXColorAsGray", "Color as Grayscale",
     "Color as Grayscale", "ColorAsGrayCheckBox", kProfileListNone},
    {"check_ColorSeparation", kControlKindCheckBox, "VXColorSeparation", "Color Separation",
     "Color Separation", "ColorSeparationCheckBox", kProfileListNone},
    {"check_EconomyPrint", kControlKindCheckBox, "VXEconoMode", "EconoMode", "EconoMode",
     "EconoModeCheckBox", kProfileListNone},
    {"menu_EdgeStrength", kControlKindPopUp, "VXEdgeType", nullptr, "EdgeType", "EdgeTypePopup",
     kProfileListNone},
    {"check_AutoTrapping", kControlKindCheckBox, "VXAutoTrapping", "AutoTrapping", "AutoTrapping",
     "AutoTrappingCheckBox", kProfileListNone},
    {"menu_BlackOverprint", kControlKindPopUp, "VXBlackOverprint", nullptr, "BlackOverprint",
     "BlackOverprintPopup", kProfileListNone},
    {"text_QuickColor", kControlKindStaticText, nullptr, "Quick Color:", nullptr, nullptr,
     kProfileListNone},
    {"text_Brightness", kControlKindStaticText, nullptr, "Brightness:", nullptr, nullptr,
     kProfileListNone},
    {"text_Strength", kControlKindStaticText, nullptr, "EdgeType:", nullptr, nullptr,
     kProfileListNone},
    {"text_BlackOverprint", kControlKindStaticText, nullptr, "BlackOverprint:", nullptr, nullptr,
     kProfileListNone},
    {"button_AdvanceColorOptions", kControlKindPushButton, nullptr, "Advanced Color Options",
     nullptr, "GoToAdvancedOptionsButton", kProfileListNone},
    kEndRow,
};

#define POPUP(outlet, keyword, title, summary, identifier, list)                                   \
    { outlet, kControlKindPopUp, keyword, title, summary, identifier, list }
#define LABEL(outlet, title)                                                                       \
    { outlet, kControlKindStaticText, nullptr, title, nullptr, nullptr, kProfileListNone }

constexpr ControlRowTemplate advancedColorOptionsRows[] = {
    POPUP("menu_iRGBSource", "VXImageRGBSource", "RGB Source:", "Image RGB Source",
          "ImageRGBSourcePopup", kProfileListRGBSource),
    POPUP("menu_iRGBIntent", "VXImageRenderIntent", "RGB Intent:", "Image RGB Intent",
          "ImageRenderIntentPopup", kProfileListNone),
    POPUP("menu_iRGBGrayTreatment", "VXImageGrayTreatment", "RGB Gray Treatment:",
          "Image RGB Gray Treatment", "ImageGrayTreatmentPopup", kProfileListNone),
    POPUP("menu_iDestinationProfile", "VXImageDestinationProfile", "Destination Profile:",
          "Image Destination Profile", "ImageDestinationProfilePopup", kProfileListDestination),
    POPUP("menu_iHalftone", "VXImageHalftone", "Halftone:", "Image Halftone", nullptr,
          kProfileListNone),
    POPUP("menu_iEdgeEnhancement", "VXImageEdgeEnhance", "EdgeEnhance:", "Image EdgeEnhance",
          "ImageEdgeEnhancePopup", kProfileListNone),
    POPUP("menu_tRGBSource", "VXTextRGBSource", "RGB Source:", "Text RGB Source",
          "TextRGBSourcePopup", kProfileListRGBSource),
    POPUP("menu_tRGBIntent", "VXTextRenderIntent", "RGB Intent:", "Text RGB Intent",
          "TextRenderIntentPopup", kProfileListNone),
    POPUP("menu_tRGBGrayTreatment", "VXTextGrayTreatment", "RGB Gray Treatment:",
          "Text RGB Gray Treatment", "TextGrayTreatmentPopup", kProfileListNone),
    POPUP("menu_tDestinationProfile", "VXTextDestinationProfile", "Destination Profile:",
          "Text Destination Profile", "TextDestinationProfilePopup", kProfileListDestination),
    POPUP("menu_tHalftone", "VXTextHalftone", "Halftone:", "Text Halftone", nullptr,
          kProfileListNone),
    POPUP("menu_tEdgeEnhancement", "VXTextEdgeEnhance", "EdgeEnhance:", "Text EdgeEnhance",
          "TextEdgeEnhancePopup", kProfileListNone),
    POPUP("menu_gRGBSource", "VXGraphicsRGBSource", "RGB Source:", "Graphics RGB Source",
          "GraphicsRGBSourcePopup", kProfileListRGBSource),
    POPUP("menu_gRGBIntent", "VXGraphicsRenderIntent", "RGB Intent:", "Graphics RGB Intent",
          "GraphicsRenderIntentPopup", kProfileListNone),
    POPUP("menu_gRGBGrayTreatment", "VXGraphicsGrayTreatment", "RGB Gray Treatment:",
          "Graphics RGB Gray Treatment", "GraphicsGrayTreatmentPopup", kProfileListNone),
    POPUP("menu_gDestinationProfile", "VXGraphicsDestinationProfile",
          "Destination Profile:", "Graphics Destination Profile", "GraphicsDestinationProfilePopup",
          kProfileListDestination),
    POPUP("menu_gHalftone", "VXGraphicsHalftone", "Halftone:", "Graphics Halftone", nullptr,
          kProfileListNone),
    POPUP("menu_gEdgeEnhancement", "VXGraphicsEdgeEnhance", "EdgeEnhance:", "Graphics EdgeEnhance",
          "GraphicsEdgeEnhancePopup", kProfileListNone),
    POPUP("menu_sSimulationProfile", "VXSimSource", "Simulation Profile:", "Simulation Profile",
          "SimulationSourcePopup", kProfileListSimulation),
    POPUP("menu_sMatchPaperColor", "VXSimRenderIntent", "Match Paper Color:", "Match Paper Color",
          "SimulationRenderIntentPopup", kProfileListNone),
    POPUP("menu_sCMYKGrayTreatment", "VXSimGrayTreatment", "CMYK Gray Treatment:",
          "CMYK Gray Treatment", "SimulationGrayTreatmentPopup", kProfileListNone),
    {"tab_SwitchVew", kControlKindTabView, nullptr, "Image", nullptr, nullptr, kProfileListNone},
    LABEL("text_iRGBSource", "RGB Source:"),
    LABEL("text_iRGBIntent", "RGB Intent:"),
    LABEL("text_iRGBGrayTreatment", "RGB Gray Treatment:"),
    LABEL("text_iDestinationProfile", "Destination Profile:"),
    LABEL("text_iHalftone", "Halftone:"),
    LABEL("text_iEdgeEnhancement", "EdgeEnhance:"),
    LABEL("text_tRGBSource", "RGB Source:"),
    LABEL("text_tRGBIntent", "RGB Intent:"),
    LABEL("text_tRGBGrayTreatment", "RGB Gray Treatment:"),
    LABEL("text_tDestinationProfile", "Destination Profile:"),
    LABEL("text_tHalftone", "Halftone:"),
    LABEL("text_tEdgeEnhancement", "EdgeEnhance:"),
    LABEL("text_gRGBSource", "RGB Source:"),
    LABEL("text_gRGBIntent", "RGB Intent:"),
    LABEL("text_gRGBGrayTreatment", "RGB Gray Treatment:"),
    LABEL("text_gDestinationProfile", "Destination Profile:"),
    LABEL("text_gHalftone", "Halftone:"),
    LABEL("text_gEdgeEnhancement", "EdgeEnhance:"),
    LABEL("text_sSimulationProfile", "Simulation Profile:"),
    LABEL("text_sMatchPaperColor", "Match Paper Color:"),
    LABEL("text_sCMYKGrayTreatment", "CMYK Gray Treatment:"),
    {"button_ManageProfile", kControlKindPushButton, nullptr, "Management Profile", nullptr,
     nullptr, kProfileListNone},
    {"button_DownloadManager", kControlKindPushButton, nullptr, "Download Manager", nullptr,
     nullptr, kProfileListNone},
    {"button_HideAdvancedOptions", kControlKindPushButton, nullptr, "Hide Advanced Options",
     nullptr, nullptr, kProfileListNone},
    kEndRow,
};

#undef POPUP
#undef LABEL

constexpr QuickColorPreset quickColorPresets[] = {
    {0, "Image RGB Source", {1, 1, 1}, -1, -1},
    {1, "Image RGB Intent", {0, 0, 1}, -1, -1},
    {2, "Image RGB Gray Treatment", {0, 0, 1}, -1, -1},
    {3, "Image Destination Profile", {0, 0, 0}, -1, -1},
    {4, "Image Halftone", {1, 1, 2}, -1, -1},
    {5, "Image EdgeEnhance", {0, 0, 1}, -1, 0},
    {6, "Text RGB Source", {1, 1, 1}, -1, -1},
    {7, "Text RGB Intent", {1, 0, 1}, -1, -1},
    {8, "Text RGB Gray Treatment", {1, 0, 1}, -1, -1},
    {9, "Text Destination Profile", {0, 0, 0}, -1, -1},
    {10, "Text Halftone", {2, 1, 2}, -1, -1},
    {11, "Text EdgeEnhance", {1, 0, 1}, -1, -1},
    {12, "Graphics RGB Source", {1, 1, 1}, -1, -1},
    {13, "Graphics RGB Intent", {1, 0, 1}, -1, -1},
    {14, "Graphics RGB Gray Treatment", {1, 0, 1}, -1, -1},
    {15, "Graphics Destination Profile", {0, 0, 0}, -1, -1},
    {16, "Graphics Halftone", {1, 1, 2}, -1, -1},
    {17, "Graphics EdgeEnhance", {1, 0, 1}, 0, 0},
    {18, "Simulation Profile", {0, 0, 0}, -1, -1},
    {19, "Match Paper Color", {0, 0, 0}, -1, -1},
    {20, "CMYK Gray Treatment", {0, 0, 0}, -1, -1},
};

} // namespace

const std::span<const ControlRowTemplate> kColorOptionsRows{colorOptionsRows};
const std::span<const ControlRowTemplate> kAdvancedColorOptionsRows{advancedColorOptionsRows};
const std::span<const QuickColorPreset> kQuickColorPresets{quickColorPresets};

static_assert(std::size(colorOptionsRows) == 14);
static_assert(std::size(advancedColorOptionsRows) == 47);
static_assert(std::size(quickColorPresets) == kAdvancedPopUpCount);

} // namespace PDE
