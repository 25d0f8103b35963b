// libFuzzer target: any bytes as the print ticket of print-dialog over the
// bundled PPD, through restore, a few user actions, save, the job's options
// and the summary. The first byte picks the actions; the rest is the ticket.
// What must hold whatever the ticket holds:
// - a run that stops on bad input or a refused action leaves the file as it was;
// - a saved ticket is a property list whose root is a dictionary, and every
//   other queue's model dictionary in it is the one the input held;
// - the summary is a JSON object.
#include "DialogFuzzSupport.h"

#include <plist/plist.h>

#include <cstdlib>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr const char* kQueue = zrkfuzz::kTicketQueue;

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    zrkfuzz::startDialogProcess();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    const uint8_t selector = data[0];
    const uint8_t* ticketBytes = data + 1;
    const size_t ticketSize = size - 1;
    const std::string ticket = zrkfuzz::writeScratchFile("ticket.plist", ticketBytes, ticketSize);
    const std::string original(reinterpret_cast<const char*>(ticketBytes), ticketSize);

    // Serialised only once the host has accepted the ticket: libplist cannot
    // write every tree it reads.
    zrkfuzz::PlistOwner input;
    if (ticketSize > 0)
        plist_from_memory(original.data(), static_cast<uint32_t>(original.size()), &input.node);

    PrintHost::PrintDialogOptions options;
    options.ppdPath = QStringLiteral(ZRK_FUZZ_SOURCE_DIR "/PDE/Resources/ZR-K5100.ppd");
    options.printerId = QString::fromLatin1(kQueue);
    options.ticketPath = QString::fromStdString(ticket);
    options.choices = zrkfuzz::ticketActions(selector);
    options.save = true;
    options.print = true;
    options.summary = true;
    const zrkfuzz::DialogRun run = zrkfuzz::runDialog(options);

    bool exists = false;
    const std::string after = zrkfuzz::readWholeFile(ticket, &exists);
    switch (run.status) {
    case 0: {
        zrkfuzz::PlistOwner saved;
        plist_from_xml(after.data(), static_cast<uint32_t>(after.size()), &saved.node);
        if (!saved.node || plist_get_node_type(saved.node) != PLIST_DICT)
            zrkfuzz::finding("the saved ticket is not a dictionary property list");
        if (zrkfuzz::otherQueues(saved.node, kQueue) != zrkfuzz::otherQueues(input.node, kQueue))
            zrkfuzz::finding("saving changed another queue's values");
        if (!zrkfuzz::jsonLinesParse(run.out))
            zrkfuzz::finding("the summary is not a JSON object");
        break;
    }
    case 2:
    case 3:
        if (!exists || after != original)
            zrkfuzz::finding("a run that stopped changed the ticket file");
        break;
    default:
        zrkfuzz::finding("unexpected exit status");
    }
    return 0;
}
