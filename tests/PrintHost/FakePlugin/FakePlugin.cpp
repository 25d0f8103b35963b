// A small plug-in for the host's tests: one panel with two panes, bound
// controls annotated as the real panel annotates them, values moved between
// the controls, the PPD and the print settings. FAKE_PDE_MODE changes its
// behaviour: "nopanels" (no panel for any type), "noview" (the panel has no
// view), "veto" (shouldPrint answers false), "keepview" (the panel leaves
// its view to the host).
#include "PDEPlugInAPI.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>
#include <QWidget>

#include <cstdlib>
#include <cstring>

namespace {

using namespace PrintHost;

int g_terminateCount = 0;
int g_panelsAlive = 0;

QByteArray mode() {
    return qgetenv("FAKE_PDE_MODE");
}

void bind(QWidget* widget, int row, int kind, const char* keyword, const char* identifier) {
    widget->setProperty(ControlProperty::kRow, row);
    widget->setProperty(ControlProperty::kKind, kind);
    widget->setProperty(ControlProperty::kKeyword, QString::fromLatin1(keyword));
    widget->setProperty(ControlProperty::kIdentifier, QString::fromLatin1(identifier));
}

QString stringValue(plist_t node) {
    if (!node || plist_get_node_type(node) != PLIST_STRING)
        return QString();
    char* text = nullptr;
    plist_get_string_val(node, &text);
    const QString value = QString::fromUtf8(text);
    std::free(text);
    return value;
}

void storeString(PMPrintSettings* settings, const char* key, const QString& value) {
    plist_t node = plist_new_string(value.toUtf8().constData());
    PMPrintSettingsSetValue(settings, key, node, false);
    plist_free(node);
}

class FakePanel : public PDEPanel {
public:
    FakePanel(PDEPlugInCallbackProtocol* callback, Bundle* bundle)
        : callback_(callback), bundle_(bundle) {
        ++g_panelsAlive;
    }
    ~FakePanel() override {
        --g_panelsAlive;
        if (mode() != "keepview")
            delete view_.data();
    }

    QWidget* panelView() override {
        if (mode() == "noview")
            return nullptr;
        if (!view_)
            build();
        return view_;
    }
    QString panelName() override {
        const QString name = bundle_->localizedString(QStringLiteral("Color Options"));
        return name.isNull() ? QStringLiteral("Color Options") : name;
    }
    QString panelKind() override { return bundle_->bundleIdentifier(); }
    QStringList supportedPPDOptionKeys() override {
        // Its profile menu too, whose choice the ticket may carry.
        return {QStringLiteral("VXImageHalftone"), QStringLiteral("VXQuickColor"),
                QStringLiteral("VXColorAsGray"), QStringLiteral("VXImageRGBSource")};
    }
    void willShow() override { showColor(); }
    bool shouldHide() override { return true; }
    void PPDOptionKeyValueDidChange(const QString&, const QString&) override {}

    bool restoreValuesAndReturnError(QString*) override {
        if (!view_)
            return true;
        PMPrintSettings* settings = callback_->printSettings();
        for (QComboBox* combo : {quick_, halftone_}) {
            const QByteArray keyword =
                combo->property(ControlProperty::kKeyword).toString().toLatin1();
            QString choice = defaultChoice(keyword);
            plist_t node = nullptr;
            if (PMPrintSettingsGetValue(settings, keyword.constData(), &node) == noErr &&
                !stringValue(node).isEmpty())
                choice = stringValue(node);
            const int index = combo->findData(choice);
            if (index >= 0)
                combo->setCurrentIndex(index);
        }
        plist_t node = nullptr;
        QString gray = defaultChoice("VXColorAsGray");
        if (PMPrintSettingsGetValue(settings, "VXColorAsGray", &node) == noErr)
            gray = stringValue(node);
        gray_->setChecked(gray == QLatin1String("True"));
        constrain();
        return true;
    }

    bool saveValuesAndReturnError(QString*) override {
        if (!view_)
            return true;
        PMPrintSettings* settings = callback_->printSettings();
        storeString(settings, "VXQuickColor", quick_->currentData().toString());
        storeString(settings, "VXColorAsGray",
                    gray_->isChecked() ? QStringLiteral("True") : QStringLiteral("False"));
        storeString(settings, "VXImageHalftone", halftone_->currentData().toString());
        // A nested dictionary, kept per printer, as the real panel keeps one.
        PMPrinter* printer = nullptr;
        if (PMSessionGetCurrentPrinter(callback_->printSession(), &printer) == noErr) {
            plist_t product = nullptr;
            if (PMPrintSettingsGetValue(settings, "zrk5100", &product) != noErr) {
                plist_t fresh = plist_new_dict();
                PMPrintSettingsSetValue(settings, "zrk5100", fresh, false);
                plist_free(fresh);
                PMPrintSettingsGetValue(settings, "zrk5100", &product);
            }
            plist_t model = plist_new_dict();
            plist_dict_set_item(
                model, "VXQuickColor",
                plist_new_string(quick_->currentData().toString().toUtf8().constData()));
            // Stored into the node the settings hold: the change is part of them.
            plist_dict_set_item(product, PMPrinterGetID(printer), model);
        }
        return true;
    }

    QVariantMap summaryInfo() override {
        if (!view_)
            build();
        QVariantMap summary;
        const QString quickName = QStringLiteral("Quick Color");
        const QString grayName = QStringLiteral("Color as Grayscale");
        summary.insert(quickName, quick_->currentText());
        summary.insert(grayName, gray_->isChecked() ? QStringLiteral("On") : QStringLiteral("Off"));
        QStringList order{quickName, grayName};
        // What the session says about the printer, for the host's tests.
        PMPrinter* printer = nullptr;
        if (PMSessionGetCurrentPrinter(callback_->printSession(), &printer) == noErr) {
            summary.insert(QStringLiteral("Printer"), QString::fromUtf8(PMPrinterGetID(printer)));
            order << QStringLiteral("Printer");
            std::string uri;
            if (PMPrinterCopyDeviceURI(printer, &uri) == noErr) {
                summary.insert(QStringLiteral("Device URI"), QString::fromStdString(uri));
                order << QStringLiteral("Device URI");
            }
        }
        summary.insert(QString::fromLatin1(kSummaryDisplayOrderKey), order);
        return summary;
    }

    bool shouldPrint() override {
        if (view_)
            storeString(callback_->printSettings(), "VXImageHalftone",
                        halftone_->currentData().toString());
        return mode() != "veto";
    }

    void terminate() override { ++g_terminateCount; }

private:
    QString defaultChoice(const char* keyword) const {
        ppd_file_t* ppd = callback_->ppdFile();
        ppd_option_t* option = ppd ? ppdFindOption(ppd, keyword) : nullptr;
        return option ? QString::fromUtf8(option->defchoice) : QString();
    }

    void fill(QComboBox* combo, const char* keyword) {
        ppd_file_t* ppd = callback_->ppdFile();
        ppd_option_t* option = ppd ? ppdFindOption(ppd, keyword) : nullptr;
        if (!option)
            return;
        for (int i = 0; i < option->num_choices; ++i)
            combo->addItem(QString::fromUtf8(option->choices[i].text),
                           QString::fromUtf8(option->choices[i].choice));
    }

    void build() {
        auto* root = new QWidget;
        auto* layout = new QVBoxLayout(root);

        // The advanced pane comes first in the widget tree, after the main
        // pane in the table: the host must order controls by row.
        advanced_ = new QWidget(root);
        advanced_->setObjectName(QStringLiteral("onAdvancedView"));
        auto* advancedLayout = new QVBoxLayout(advanced_);
        tabs_ = new QTabWidget(advanced_);
        tabs_->addTab(new QWidget, QStringLiteral("Image"));
        tabs_->addTab(new QWidget, QStringLiteral("Text"));
        bind(tabs_, 5, 1040, "", "");
        halftone_ = new QComboBox(advanced_);
        fill(halftone_, "VXImageHalftone");
        bind(halftone_, 4, 1035, "VXImageHalftone", "");
        auto* toColor = new QPushButton(QStringLiteral("Hide Advanced Options"), advanced_);
        toColor->setObjectName(QStringLiteral("button_HideAdvancedOptions"));
        bind(toColor, 6, 1039, "", "");
        advancedLayout->addWidget(tabs_);
        advancedLayout->addWidget(halftone_);
        advancedLayout->addWidget(toColor);

        color_ = new QWidget(root);
        color_->setObjectName(QStringLiteral("onColorView"));
        auto* colorLayout = new QVBoxLayout(color_);
        auto* row = new QHBoxLayout;
        auto* label = new QLabel(QStringLiteral("Quick Color:"), color_);
        bind(label, 2, 1034, "", "");
        quick_ = new QComboBox(color_);
        fill(quick_, "VXQuickColor");
        bind(quick_, 0, 1035, "VXQuickColor", "QuickColorPopup");
        row->addWidget(label);
        row->addWidget(quick_);
        colorLayout->addLayout(row);
        gray_ = new QCheckBox(QStringLiteral("Color as Grayscale"), color_);
        bind(gray_, 1, 1036, "VXColorAsGray", "ColorAsGrayCheckBox");
        colorLayout->addWidget(gray_);
        toAdvanced_ = new QPushButton(QStringLiteral("Advanced Color Options"), color_);
        toAdvanced_->setObjectName(QStringLiteral("button_AdvanceColorOptions"));
        bind(toAdvanced_, 3, 1039, "", "GoToAdvancedOptionsButton");
        colorLayout->addWidget(toAdvanced_);

        layout->addWidget(advanced_);
        layout->addWidget(color_);
        advanced_->hide();

        QObject::connect(quick_, &QComboBox::activated, root, [this](int) { constrain(); });
        QObject::connect(gray_, &QCheckBox::clicked, root, [this](bool) { constrain(); });
        QObject::connect(toAdvanced_, &QPushButton::clicked, root, [this] { showAdvanced(); });
        QObject::connect(toColor, &QPushButton::clicked, root, [this] { showColor(); });
        view_ = root;
    }

    // The fake's rules: the advanced button works only with the fourth
    // Quick Color item; grayscale output grays out the halftone menu.
    void constrain() {
        toAdvanced_->setEnabled(quick_->currentIndex() == 3);
        halftone_->setEnabled(!gray_->isChecked());
    }
    void showAdvanced() {
        color_->hide();
        advanced_->show();
    }
    void showColor() {
        if (!view_)
            return;
        advanced_->hide();
        color_->show();
    }

    PDEPlugInCallbackProtocol* callback_;
    Bundle* bundle_;
    QPointer<QWidget> view_;
    QWidget* color_ = nullptr;
    QWidget* advanced_ = nullptr;
    QComboBox* quick_ = nullptr;
    QComboBox* halftone_ = nullptr;
    QCheckBox* gray_ = nullptr;
    QPushButton* toAdvanced_ = nullptr;
    QTabWidget* tabs_ = nullptr;
};

class FakePrincipal : public PDEPlugInPrincipal {
public:
    bool initWithBundle(Bundle* bundle) override {
        bundle_ = bundle;
        return true;
    }
    std::optional<PDEPanelList> PDEPanelsForType(const QString& type,
                                                 PDEPlugInCallbackProtocol* callback) override {
        if (type != QLatin1String(kPrintDialogTypeID) || mode() == "nopanels")
            return std::nullopt;
        PDEPanelList panels;
        panels.push_back(std::make_unique<FakePanel>(callback, bundle_));
        return panels;
    }

private:
    Bundle* bundle_ = nullptr;
};

} // namespace

extern "C" {
__attribute__((visibility("default"))) PrintHost::PDEPlugInPrincipal* PDEPlugInCreatePrincipal() {
    return new FakePrincipal;
}
// Read by the host's in-process tests.
__attribute__((visibility("default"))) int FakePDETerminateCount() {
    return g_terminateCount;
}
__attribute__((visibility("default"))) int FakePDEPanelsAlive() {
    return g_panelsAlive;
}
}
