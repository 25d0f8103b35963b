#include "PaneFuzzSupport.h"

#include "InterfaceLoader.h"
#include "PDECommon.h"
#include "PainChangeController.h"

#include <Bundle.h>
#include <JobOptions.h>
#include <PDEPlugInAPI.h>

#include <QAbstractButton>
#include <QComboBox>
#include <QJsonDocument>
#include <QPointer>

#include <cstdlib>
#include <memory>
#include <vector>

namespace zrkfuzz {

namespace {

struct ControlSnapshot {
    QPointer<QWidget> widget;
    bool enabled = true;
    QString toolTip;
    QString description;
    bool checked = false;
    QStringList itemTexts;
    QVariantList itemData;
    int currentIndex = -1;
};

struct Panes {
    std::unique_ptr<QWidget> root;
    PDE::PainChangeController* controller = nullptr;
    std::vector<ControlSnapshot> controls;
};

Panes* gPanes = nullptr;

ControlSnapshot snapshot(QWidget* widget) {
    ControlSnapshot s;
    s.widget = widget;
    s.enabled = widget->isEnabled();
    s.toolTip = widget->toolTip();
    s.description = widget->accessibleDescription();
    if (auto* button = qobject_cast<QAbstractButton*>(widget))
        s.checked = button->isChecked();
    if (auto* menu = qobject_cast<QComboBox*>(widget)) {
        for (int i = 0; i < menu->count(); ++i) {
            s.itemTexts.append(menu->itemText(i));
            s.itemData.append(menu->itemData(i));
        }
        s.currentIndex = menu->currentIndex();
    }
    return s;
}

bool sameItems(const QComboBox* menu, const ControlSnapshot& s) {
    if (menu->count() != s.itemTexts.size())
        return false;
    for (int i = 0; i < menu->count(); ++i) {
        if (menu->itemText(i) != s.itemTexts[i] || menu->itemData(i) != s.itemData[i])
            return false;
    }
    return true;
}

void restore(const ControlSnapshot& s) {
    QWidget* widget = s.widget.data();
    if (!widget)
        return;
    const QSignalBlocker quiet(widget);
    widget->setEnabled(s.enabled);
    widget->setToolTip(s.toolTip);
    widget->setAccessibleDescription(s.description);
    if (auto* button = qobject_cast<QAbstractButton*>(widget))
        button->setChecked(s.checked);
    if (auto* menu = qobject_cast<QComboBox*>(widget)) {
        if (!sameItems(menu, s)) {
            menu->clear();
            for (qsizetype i = 0; i < s.itemTexts.size(); ++i)
                menu->addItem(s.itemTexts[i], s.itemData[i]);
        }
        menu->setCurrentIndex(s.currentIndex);
    }
}

} // namespace

PDE::PainChangeController* loadPanes() {
    if (gPanes)
        return gPanes->controller;
    static Panes panes;
    QString error;
    const auto bundle = PrintHost::Bundle::open(QStringLiteral(ZRK_FUZZ_BUNDLE_DIR), &error);
    if (!bundle)
        finding("cannot open the plug-in bundle");
    PDE::PDECommon::setBundle(bundle.get());
    // The controls' actions go to an owner that does nothing: the targets
    // run the panel's steps themselves.
    static QObject owner;
    panes.root = PDE::InterfaceLoader::load(
        PDE::PDECommon::bundle()->pathForResource(QStringLiteral("PDEMain.ui")), &owner, &error);
    panes.controller =
        panes.root ? panes.root->findChild<PDE::PainChangeController*>(QStringLiteral("painChange"))
                   : nullptr;
    if (!panes.controller || !panes.controller->colorView() || !panes.controller->advancedView())
        finding("the interface file lacks the panes");
    gPanes = &panes;
    std::atexit([] { gPanes->root.reset(); });
    return panes.controller;
}

QWidget* panesRoot() {
    return gPanes ? gPanes->root.get() : nullptr;
}

void rememberControls() {
    gPanes->controls.clear();
    const PDE::ControlTablePtr table = joinedTable(gPanes->controller);
    for (const PDE::ControlTableEntry* row = table.get(); row->kind != PDE::kControlKindEnd;
         ++row) {
        if (row->control)
            gPanes->controls.push_back(snapshot(row->control));
    }
}

void restoreControls() {
    for (const ControlSnapshot& control : gPanes->controls)
        restore(control);
}

PDE::ControlTablePtr joinedTable(PDE::PainChangeController* panes) {
    PDE::ControlTableEntry* tables[2];
    const int16_t filled = panes->getControlDataEachView(tables, 2);
    return PDE::ControlTablePtr(PDE::PDECommon::commonControlTableCompound(tables, filled));
}

bool isJsonObject(const QJsonObject& object) {
    const QByteArray text = QJsonDocument(object).toJson(QJsonDocument::Compact);
    return jsonLinesParse(text.toStdString());
}

void checkSummary(PDE::PainChangeController* panes) {
    QStringList order;
    QVariantMap summary;
    panes->getSummaryTextEachView(&summary, &order);
    summary.insert(QString::fromLatin1(PrintHost::kSummaryDisplayOrderKey), order);
    if (!isJsonObject(PrintHost::summaryToJson(summary)))
        finding("the summary is not a JSON object");
}

} // namespace zrkfuzz
