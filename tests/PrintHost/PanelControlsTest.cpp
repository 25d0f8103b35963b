// Scripted user actions and the state description, on a hand-made panel.
#include "PanelControls.h"

#include "PDEPlugInAPI.h"
#include "PPDFile.h"
#include "TestSupport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QJsonArray>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include <gtest/gtest.h>

using namespace PrintHost;

namespace {

void bind(QWidget* w, int row, int kind, const char* keyword, const char* identifier = "") {
    w->setProperty(ControlProperty::kRow, row);
    w->setProperty(ControlProperty::kKind, kind);
    w->setProperty(ControlProperty::kKeyword, QString::fromLatin1(keyword));
    w->setProperty(ControlProperty::kIdentifier, QString::fromLatin1(identifier));
}

// Two panes, controls created out of row order, actions counted.
struct Panel {
    QWidget root;
    QWidget* color = new QWidget(&root);
    QWidget* advanced = new QWidget(&root);
    QComboBox* quick = new QComboBox(color);
    QCheckBox* gray = new QCheckBox(QStringLiteral("Color as Grayscale"), color);
    QLabel* label = new QLabel(QStringLiteral("Quick Color:"), color);
    QPushButton* toAdvanced = new QPushButton(QStringLiteral("Advanced"), color);
    QComboBox* halftone = new QComboBox(advanced);
    QTabWidget* tabs = new QTabWidget(advanced);
    QPushButton* toColor = new QPushButton(QStringLiteral("Hide"), advanced);
    QComboBox* unbound = new QComboBox(color);
    int quickActions = 0;
    int grayActions = 0;
    bool lastGrayAction = false;

    Panel() {
        auto* layout = new QVBoxLayout(&root);
        layout->addWidget(color);
        layout->addWidget(advanced);
        color->setObjectName(QStringLiteral("onColorView"));
        advanced->setObjectName(QStringLiteral("onAdvancedView"));
        toAdvanced->setObjectName(QStringLiteral("button_AdvanceColorOptions"));
        toColor->setObjectName(QStringLiteral("button_HideAdvancedOptions"));
        quick->addItem(QStringLiteral("Automatic"), QStringLiteral("Automatic"));
        quick->addItem(QStringLiteral("Photo"), QStringLiteral("Photo"));
        quick->addItem(QStringLiteral("Custom"), QStringLiteral("CustomColor"));
        quick->addItem(QStringLiteral("My profile"), 7); // a profile entry, not a choice
        halftone->addItem(QStringLiteral("Smooth"), QStringLiteral("Smooth"));
        tabs->addTab(new QWidget, QStringLiteral("Image"));
        tabs->addTab(new QWidget, QStringLiteral("Text"));
        tabs->setCurrentIndex(1);
        bind(halftone, 4, kControlKindPopUp, "VXImageHalftone");
        bind(tabs, 5, kControlKindTabView, "");
        bind(toColor, 6, kControlKindPushButton, "");
        bind(quick, 0, kControlKindPopUp, "VXQuickColor", "QuickColorPopup");
        bind(gray, 1, kControlKindCheckBox, "VXColorAsGray", "ColorAsGrayCheckBox");
        bind(label, 2, kControlKindStaticText, "");
        bind(toAdvanced, 3, kControlKindPushButton, "", "GoToAdvancedOptionsButton");
        advanced->hide();
        QObject::connect(quick, &QComboBox::activated, [this](int) { ++quickActions; });
        QObject::connect(gray, &QCheckBox::clicked, [this](bool on) {
            ++grayActions;
            lastGrayAction = on;
        });
        QObject::connect(toAdvanced, &QPushButton::clicked, [this] {
            color->hide();
            advanced->show();
        });
        QObject::connect(toColor, &QPushButton::clicked, [this] {
            advanced->hide();
            color->show();
        });
    }
};

} // namespace

TEST(PanelControls, BoundControlsComeInRowOrder) {
    Panel panel;
    const auto controls = boundControls(&panel.root);
    ASSERT_EQ(controls.size(), 7u);
    for (size_t i = 0; i < controls.size(); ++i)
        EXPECT_EQ(controls[i].row, int(i));
    EXPECT_EQ(controls[0].widget, panel.quick);
    EXPECT_EQ(controls[0].identifier, QStringLiteral("QuickColorPopup"));
    EXPECT_EQ(controls[4].keyword, QStringLiteral("VXImageHalftone"));
    EXPECT_TRUE(boundControls(nullptr).empty());
}

TEST(PanelControls, ChoosingAsAUserWould) {
    struct Case {
        const char* keyword;
        const char* value;
        ChoiceResult result;
    };
    const Case cases[] = {
        {"VXQuickColor", "Photo", ChoiceResult::Done},
        {"VXQuickColor", "#2", ChoiceResult::Done},
        {"VXQuickColor", "#3", ChoiceResult::Done}, // a profile entry, by index
        {"VXQuickColor", "Custom", ChoiceResult::NotAChoice},
        {"VXQuickColor", "photo", ChoiceResult::NotAChoice},
        {"VXQuickColor", "7", ChoiceResult::NotAChoice},
        {"VXQuickColor", "#4", ChoiceResult::NotAChoice},
        {"VXQuickColor", "#-1", ChoiceResult::NotAChoice},
        {"VXQuickColor", "#01", ChoiceResult::NotAChoice},
        {"VXQuickColor", "#", ChoiceResult::NotAChoice},
        {"VXQuickColor", "", ChoiceResult::NotAChoice},
        {"VXColorAsGray", "True", ChoiceResult::Done},
        {"VXColorAsGray", "False", ChoiceResult::Done},
        {"VXColorAsGray", "true", ChoiceResult::NotAChoice},
        {"VXColorAsGray", "1", ChoiceResult::NotAChoice},
        {"VXNoSuchOption", "x", ChoiceResult::UnknownKeyword},
        {"", "x", ChoiceResult::UnknownKeyword},
        {"vxquickcolor", "Photo", ChoiceResult::UnknownKeyword},
    };
    for (const auto& c : cases) {
        Panel panel;
        QString reason;
        const auto result = chooseValue(&panel.root, QString::fromLatin1(c.keyword),
                                        QString::fromLatin1(c.value), &reason);
        EXPECT_EQ(int(result), int(c.result)) << c.keyword << "=" << c.value;
        if (result == ChoiceResult::Done) {
            EXPECT_EQ(panel.quickActions + panel.grayActions, 1) << c.keyword << "=" << c.value;
        } else {
            EXPECT_FALSE(reason.isEmpty());
            EXPECT_EQ(panel.quickActions + panel.grayActions, 0) << "refusals send no action";
            EXPECT_EQ(panel.quick->currentIndex(), 0);
            EXPECT_FALSE(panel.gray->isChecked());
        }
    }
}

TEST(PanelControls, ChoosingSetsTheValueBeforeTheAction) {
    Panel panel;
    int seenIndex = -2;
    QObject::connect(panel.quick, &QComboBox::activated,
                     [&](int) { seenIndex = panel.quick->currentIndex(); });
    EXPECT_EQ(chooseValue(&panel.root, "VXQuickColor", "CustomColor", nullptr), ChoiceResult::Done);
    EXPECT_EQ(seenIndex, 2);
    EXPECT_EQ(chooseValue(&panel.root, "VXColorAsGray", "True", nullptr), ChoiceResult::Done);
    EXPECT_TRUE(panel.gray->isChecked());
    EXPECT_TRUE(panel.lastGrayAction);
}

TEST(PanelControls, DisabledAndUneditableControlsAreRefused) {
    Panel panel;
    panel.halftone->setEnabled(false);
    QString reason;
    EXPECT_EQ(chooseValue(&panel.root, "VXImageHalftone", "Smooth", &reason),
              ChoiceResult::Disabled);
    EXPECT_TRUE(reason.contains(QStringLiteral("disabled")));
    panel.gray->setEnabled(false);
    EXPECT_EQ(chooseValue(&panel.root, "VXColorAsGray", "True", &reason), ChoiceResult::Disabled);
    EXPECT_FALSE(panel.gray->isChecked());
    // A disabled parent disables its children as well.
    Panel other;
    other.color->setEnabled(false);
    EXPECT_EQ(chooseValue(&other.root, "VXQuickColor", "Photo", nullptr), ChoiceResult::Disabled);
    // A keyword on a control that is not a pop-up or check box.
    bind(other.label, 2, kControlKindStaticText, "VXBrightness");
    EXPECT_EQ(chooseValue(&other.root, "VXBrightness", "Normal", nullptr),
              ChoiceResult::NotEditable);
    // A kind code that does not match the widget.
    bind(other.tabs, 5, kControlKindPopUp, "VXTabs");
    EXPECT_EQ(chooseValue(&other.root, "VXTabs", "Image", nullptr), ChoiceResult::NotEditable);
}

TEST(PanelControls, SwitchingPanes) {
    Panel panel;
    EXPECT_EQ(shownPane(&panel.root), Pane::Color);
    QString error;
    ASSERT_TRUE(showPane(&panel.root, Pane::Advanced, &error)) << error.toStdString();
    EXPECT_EQ(shownPane(&panel.root), Pane::Advanced);
    // Already shown: no click.
    int clicks = 0;
    QObject::connect(panel.toAdvanced, &QPushButton::clicked, [&] { ++clicks; });
    ASSERT_TRUE(showPane(&panel.root, Pane::Advanced, &error));
    EXPECT_EQ(clicks, 0);
    // A grayed-out button still switches the view.
    panel.toColor->setEnabled(false);
    ASSERT_TRUE(showPane(&panel.root, Pane::Color, &error));
    EXPECT_EQ(shownPane(&panel.root), Pane::Color);

    QWidget bare;
    EXPECT_EQ(shownPane(&bare), Pane::None);
    EXPECT_FALSE(showPane(&bare, Pane::Advanced, &error));
    EXPECT_FALSE(showPane(nullptr, Pane::Advanced, &error));
}

TEST(PanelControls, StateDescribesEveryRow) {
    Panel panel;
    QString error;
    auto ppd = PPDFile::open(PrintHostTest::bundledPPD(), &error);
    ASSERT_TRUE(ppd) << error.toStdString();
    panel.quick->setCurrentIndex(1);
    panel.gray->setChecked(true);
    panel.halftone->setEnabled(false);

    const QJsonObject state = describeState(&panel.root, ppd.get());
    EXPECT_EQ(state.value("pane").toString(), QStringLiteral("color"));
    const QJsonArray controls = state.value("controls").toArray();
    ASSERT_EQ(controls.size(), 7);
    const QStringList kinds = {"popup", "checkbox", "text", "button", "popup", "tab", "button"};
    for (int i = 0; i < controls.size(); ++i) {
        const QJsonObject c = controls[i].toObject();
        EXPECT_EQ(c.value("kind").toString(), kinds[i]) << i;
        for (const char* key :
             {"identifier", "keyword", "kind", "enabled", "value", "choice", "title"})
            EXPECT_TRUE(c.contains(QLatin1String(key))) << i << " " << key;
        EXPECT_EQ(c.contains("items"), kinds[i] == QLatin1String("popup")) << i;
    }
    const QJsonObject quick = controls[0].toObject();
    EXPECT_EQ(quick.value("identifier").toString(), QStringLiteral("QuickColorPopup"));
    EXPECT_EQ(quick.value("keyword").toString(), QStringLiteral("VXQuickColor"));
    EXPECT_EQ(quick.value("value").toInt(), 1);
    EXPECT_EQ(quick.value("choice").toString(), QStringLiteral("Photo"));
    EXPECT_EQ(quick.value("title").toString(), QStringLiteral("Photo"));
    EXPECT_EQ(quick.value("items").toArray().size(), 4);
    const QJsonObject gray = controls[1].toObject();
    EXPECT_EQ(gray.value("value").toInt(), 1);
    EXPECT_EQ(gray.value("choice").toString(), QStringLiteral("True"));
    EXPECT_EQ(gray.value("title").toString(), QStringLiteral("Color as Grayscale"));
    const QJsonObject label = controls[2].toObject();
    EXPECT_TRUE(label.value("choice").isNull());
    EXPECT_EQ(label.value("keyword").toString(), QString());
    EXPECT_EQ(label.value("title").toString(), QStringLiteral("Quick Color:"));
    EXPECT_FALSE(controls[4].toObject().value("enabled").toBool());
    EXPECT_EQ(controls[5].toObject().value("title").toString(), QStringLiteral("Text"));
    EXPECT_EQ(controls[5].toObject().value("value").toInt(), 0);

    // The accessible name of every control; a reason (the accessible
    // description) only for a disabled control.
    panel.quick->setAccessibleName(QStringLiteral("Quick Color"));
    panel.gray->setAccessibleDescription(QStringLiteral("said of an enabled box"));
    panel.halftone->setAccessibleDescription(QStringLiteral("Unavailable while X is on"));
    const QJsonArray named = describeState(&panel.root, ppd.get()).value("controls").toArray();
    for (int i = 0; i < named.size(); ++i)
        EXPECT_TRUE(named[i].toObject().contains("accessibleName")) << i;
    EXPECT_EQ(named[0].toObject().value("accessibleName").toString(),
              QStringLiteral("Quick Color"));
    EXPECT_FALSE(named[0].toObject().contains("reason"));
    EXPECT_FALSE(named[1].toObject().contains("reason"));
    EXPECT_EQ(named[4].toObject().value("reason").toString(),
              QStringLiteral("Unavailable while X is on"));

    // A profile entry has no choice keyword; a box whose option lacks the
    // choice has none either.
    panel.quick->setCurrentIndex(3);
    bind(panel.gray, 1, kControlKindCheckBox, "VXNotInThePPD");
    const QJsonArray again = describeState(&panel.root, ppd.get()).value("controls").toArray();
    EXPECT_TRUE(again[0].toObject().value("choice").isNull());
    EXPECT_TRUE(again[1].toObject().value("choice").isNull());
    EXPECT_TRUE(describeState(&panel.root, nullptr)
                    .value("controls")
                    .toArray()[1]
                    .toObject()
                    .value("choice")
                    .isNull());
}

TEST(PanelControls, GrabRendersThePanelAtItsSizeHint) {
    Panel panel;
    const QImage image = grabPanel(&panel.root);
    ASSERT_FALSE(image.isNull());
    EXPECT_GE(image.width(), panel.root.sizeHint().width());
    EXPECT_GE(image.height(), panel.root.sizeHint().height());
    EXPECT_TRUE(grabPanel(nullptr).isNull());
}
