// libFuzzer target: any bytes as the queue's PPD, read by libcups the way the
// host opens it, then what the panel derives from it: both panes' control
// tables, their menus and defaults, the rules and the summary. The panel's
// widgets are built once per process from the bundle's interface file; each
// input only rebuilds the tables and menus from its PPD and leaves the
// controls as the interface file made them. What must hold whatever the PPD
// holds: every step runs and the summary is a JSON object. (PPDFuzzer drives
// the same PPDs through the whole dialog, the job's options and the state.)
#include "PaneFuzzSupport.h"

#include "ConstraintEngine.h"
#include "PDECommon.h"
#include "PainChangeController.h"

#include <JobOptions.h>
#include <PDEPlugInAPI.h>
#include <PPDFile.h>
#include <PrintingLayer.h>

#include <memory>

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    zrkfuzz::startDialogProcess();
    PDE::PainChangeController* panes = zrkfuzz::loadPanes();
    // The tables without a PPD, to remember the controls.
    panes->setPPDFileEachView(nullptr);
    panes->creatPDEControlTableEachView();
    zrkfuzz::rememberControls();
    panes->deallocPDEControlTableEachView();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    PDE::PainChangeController* panes = zrkfuzz::loadPanes();
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
    PDE::PDECommon::commonLocalizePPD(ppd->get());
    panes->setPMPrintEachView(&settings, &session);
    panes->setPPDFileEachView(ppd->get());
    panes->creatPDEControlTableEachView();
    const PDE::ControlTablePtr table = zrkfuzz::joinedTable(panes);
    panes->createPDEItemForPPDKeyEachView();
    QStringList keys;
    panes->addPPDArrayEachView(&keys);

    // Restoring: the PPD's defaults, an empty ticket, the rules.
    panes->defaultFromPPDInfoEachView();
    panes->getControlValueFromTickettEachView();
    PDE::vColorPresetConstraints(table.get());

    zrkfuzz::checkSummary(panes);

    // Back to the controls as the interface file made them, within the
    // input: what one input allocates, it frees.
    panes->deallocPDEControlTableEachView();
    panes->setPPDFileEachView(nullptr);
    panes->setPMPrintEachView(nullptr, nullptr);
    zrkfuzz::restoreControls();
    return 0;
}
