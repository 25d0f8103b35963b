// libFuzzer target: any bytes as the queue's PPD, read by libcups the way the
// host opens it, then what the panel derives from it: both panes' control
// tables, their menus and defaults, the rules and the summary. The panel's
// widgets are built once per process from the bundle's interface file; each
// input only rebuilds the tables and menus from its PPD and leaves the
// controls as the interface file made them. What must hold whatever the PPD
// holds: every step runs and the summary is a JSON object. (PPDFuzzer drives
// the same PPDs through the whole dialog, the job's options and the state.)
#include "DialogFuzzSupport.h"

#include "AdvancedColorOptions.h"
#include "ColorOptions.h"
#include "ConstraintEngine.h"
#include "InterfaceLoader.h"
#include "PDECommon.h"
#include "PainChangeController.h"

#include <Bundle.h>
#include <JobOptions.h>
#include <PDEPlugInAPI.h>
#include <PPDFile.h>

#include <QAbstractButton>
#include <QComboBox>
#include <QJsonDocument>
#include <QPointer>

#include <memory>
#include <vector>

namespace {

using namespace PDE;

// A control as the interface file made it, to start every input from.
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

struct Process {
    std::unique_ptr<QWidget> root;
    PainChangeController* panes = nullptr;
    std::vector<ControlSnapshot> controls;
};

Process* gProcess = nullptr;

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
        menu->clear();
        for (qsizetype i = 0; i < s.itemTexts.size(); ++i)
            menu->addItem(s.itemTexts[i], s.itemData[i]);
        menu->setCurrentIndex(s.currentIndex);
    }
}

// Both panes' tables joined, as the panel joins them.
ControlTablePtr joinedTable(PainChangeController* panes) {
    ControlTableEntry* tables[2];
    const int16_t filled = panes->getControlDataEachView(tables, 2);
    return ControlTablePtr(PDECommon::commonControlTableCompound(tables, filled));
}

bool isJsonObject(const QJsonObject& object) {
    const QByteArray text = QJsonDocument(object).toJson(QJsonDocument::Compact);
    return zrkfuzz::jsonLinesParse(text.toStdString());
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    zrkfuzz::startDialogProcess();
    static Process p;
    QString error;
    const auto bundle = PrintHost::Bundle::open(QStringLiteral(ZRK_FUZZ_BUNDLE_DIR), &error);
    if (!bundle)
        zrkfuzz::finding("cannot open the plug-in bundle");
    PDECommon::setBundle(bundle.get());
    static QObject owner;
    p.root = InterfaceLoader::load(
        PDECommon::bundle()->pathForResource(QStringLiteral("PDEMain.ui")), &owner, &error);
    p.panes =
        p.root ? p.root->findChild<PainChangeController*>(QStringLiteral("painChange")) : nullptr;
    if (!p.panes || !p.panes->colorView() || !p.panes->advancedView())
        zrkfuzz::finding("the interface file lacks the panes");

    // The tables without a PPD, to remember the controls.
    p.panes->setPPDFileEachView(nullptr);
    p.panes->creatPDEControlTableEachView();
    const ControlTablePtr table = joinedTable(p.panes);
    for (const ControlTableEntry* row = table.get(); row->kind != kControlKindEnd; ++row) {
        if (row->control)
            p.controls.push_back(snapshot(row->control));
    }
    p.panes->deallocPDEControlTableEachView();
    gProcess = &p;
    std::atexit([] { gProcess->root.reset(); });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Process& p = *gProcess;
    const std::string path = zrkfuzz::writeScratchFile("queue.ppd", data, size);
    QString error;
    const std::unique_ptr<PrintHost::PPDFile> ppd =
        PrintHost::PPDFile::open(QString::fromStdString(path), &error);
    if (!ppd)
        return 0;

    PrintHost::PMPrintSession session;
    session.setCurrentPrinter(std::make_shared<PrintHost::PMPrinter>("ZR-K5100", std::nullopt));
    PrintHost::PMPrintSettings settings;

    // Opening the panel: the tables and menus from the PPD.
    PDECommon::commonLocalizePPD(ppd->get());
    p.panes->setPMPrintEachView(&settings, &session);
    p.panes->setPPDFileEachView(ppd->get());
    p.panes->creatPDEControlTableEachView();
    const ControlTablePtr table = joinedTable(p.panes);
    p.panes->createPDEItemForPPDKeyEachView();
    QStringList keys;
    p.panes->addPPDArrayEachView(&keys);

    // Restoring: the PPD's defaults, an empty ticket, the rules.
    p.panes->defaultFromPPDInfoEachView();
    p.panes->getControlValueFromTickettEachView();
    vColorPresetConstraints(table.get());

    QStringList order;
    QVariantMap summary;
    p.panes->getSummaryTextEachView(&summary, &order);
    summary.insert(QString::fromLatin1(PrintHost::kSummaryDisplayOrderKey), order);
    if (!isJsonObject(PrintHost::summaryToJson(summary)))
        zrkfuzz::finding("the summary is not a JSON object");

    // Back to the controls as the interface file made them, within the
    // input: what one input allocates, it frees.
    p.panes->deallocPDEControlTableEachView();
    p.panes->setPPDFileEachView(nullptr);
    p.panes->setPMPrintEachView(nullptr, nullptr);
    for (const ControlSnapshot& control : p.controls)
        restore(control);
    return 0;
}
