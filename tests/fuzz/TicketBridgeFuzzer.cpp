// libFuzzer target: any bytes as the print ticket, read by the host's ticket
// reader, then the panel's side of it over the bundled PPD: the panes
// restored from the ticket, a few user actions with the rules, the panes
// saved into the ticket, the preset and the job's options, the ticket written
// and the summary. The panes are built and filled from the PPD once per
// process and put back after every input. The first byte picks the actions;
// the rest is the ticket (the same input as PrintTicketFuzzer, which drives
// it through the whole dialog). What must hold whatever the ticket holds:
// - a saved ticket is a property list whose root is a dictionary, and every
//   other queue's model dictionary in it is the one the input held;
// - the summary is a JSON object.
#include "PaneFuzzSupport.h"

#include "AdvancedColorOptions.h"
#include "ConstraintEngine.h"
#include "PDECommon.h"
#include "PainChangeController.h"

#include <JobOptions.h>
#include <PDEPlugInAPI.h>
#include <PPDFile.h>
#include <PanelControls.h>
#include <PrintingLayer.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr const char* kQueue = zrkfuzz::kTicketQueue;

struct Process {
    std::unique_ptr<PrintHost::PPDFile> ppd;
    PrintHost::PMPrintSession session;
    PDE::ControlTablePtr table;
};

Process* gProcess = nullptr;

// The input's steps after the ticket was read; false when an action was
// refused (the dialog stops and writes nothing).
bool runPanel(Process& p, PDE::PainChangeController* panes, PrintHost::PMPrintSettings& settings,
              const zrkfuzz::TicketActions& chosen) {
    panes->defaultFromPPDInfoEachView();
    panes->getControlValueFromTickettEachView();
    PDE::vColorPresetConstraints(p.table.get());
    for (const auto& [keyword, value] : chosen) {
        QString reason;
        if (PrintHost::chooseValue(zrkfuzz::panesRoot(), keyword, value, &reason) !=
            PrintHost::ChoiceResult::Done)
            return false;
        // The controls' action: the rules over both panes.
        PDE::vColorPresetConstraints(p.table.get());
    }
    panes->setControlValueToTicketEachView();
    panes->changeAdvancedItemAccodingQuickColor();
    panes->advancedView()->setControlValueToTicket();
    (void)PrintHost::jobOptions(settings, *p.ppd);
    return true;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    zrkfuzz::startDialogProcess();
    static Process p;
    QString error;
    p.ppd = PrintHost::PPDFile::open(
        QStringLiteral(ZRK_FUZZ_SOURCE_DIR "/PDE/Resources/ZR-K5100.ppd"), &error);
    if (!p.ppd)
        zrkfuzz::finding("cannot open the bundled PPD");
    p.session.setCurrentPrinter(std::make_shared<PrintHost::PMPrinter>(kQueue, std::nullopt));

    // Opening the panel on the PPD, once.
    PDE::PainChangeController* panes = zrkfuzz::loadPanes();
    PDE::PDECommon::commonLocalizePPD(p.ppd->get());
    panes->setPPDFileEachView(p.ppd->get());
    panes->creatPDEControlTableEachView();
    p.table = zrkfuzz::joinedTable(panes);
    PDE::PDECommon::commonLabelControlsForHost(p.table.get());
    panes->createPDEItemForPPDKeyEachView();
    zrkfuzz::rememberControls();
    gProcess = &p;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    Process& p = *gProcess;
    PDE::PainChangeController* panes = zrkfuzz::loadPanes();
    const std::string ticketPath = zrkfuzz::writeScratchFile("ticket.plist", data + 1, size - 1);
    std::string readError;
    const auto ticket = PrintHost::PMPrintSettings::readFromFile(ticketPath, &readError);
    if (!ticket)
        return 0;
    zrkfuzz::PlistOwner input;
    plist_from_memory(reinterpret_cast<const char*>(data + 1), static_cast<uint32_t>(size - 1),
                      &input.node);

    PrintHost::PMPrintSettings settings;
    settings.assign(*ticket);
    panes->setPMPrintEachView(&settings, &p.session);
    const bool saved = runPanel(p, panes, settings, zrkfuzz::ticketActions(data[0]));
    if (saved) {
        const std::string savedPath = zrkfuzz::writeScratchFile("saved.plist", nullptr, 0);
        std::string writeError;
        if (!settings.writeToFile(savedPath, &writeError))
            zrkfuzz::finding("the ticket cannot be written");
        bool exists = false;
        const std::string after = zrkfuzz::readWholeFile(savedPath, &exists);
        zrkfuzz::PlistOwner written;
        plist_from_xml(after.data(), static_cast<uint32_t>(after.size()), &written.node);
        if (!written.node || plist_get_node_type(written.node) != PLIST_DICT)
            zrkfuzz::finding("the saved ticket is not a dictionary property list");
        if (zrkfuzz::otherQueues(written.node, kQueue) != zrkfuzz::otherQueues(input.node, kQueue))
            zrkfuzz::finding("saving changed another queue's values");

        zrkfuzz::checkSummary(panes);
    }
    panes->setPMPrintEachView(nullptr, nullptr);
    zrkfuzz::restoreControls();
    return 0;
}
