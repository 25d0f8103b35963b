// libFuzzer target: any bytes as the queue's PPD of print-dialog, through
// opening it, building both panes' control tables, the rules, the summary,
// the job's options and --state's JSON. What must hold whatever the PPD
// holds: a PPD that cannot be used stops the run with status 2; otherwise
// every step runs and the summary and state lines are JSON objects.
#include "DialogFuzzSupport.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    zrkfuzz::startDialogProcess();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string ppd = zrkfuzz::writeScratchFile("queue.ppd", data, size);
    PrintHost::PrintDialogOptions options;
    options.ppdPath = QString::fromStdString(ppd);
    options.printerId = QStringLiteral("ZR-K5100");
    options.print = true;
    options.summary = true;
    options.state = true;
    const zrkfuzz::DialogRun run = zrkfuzz::runDialog(options);
    if (run.status == 0) {
        if (!zrkfuzz::jsonLinesParse(run.out))
            zrkfuzz::finding("the summary or the state is not a JSON object");
    } else if (run.status != 2) {
        zrkfuzz::finding("unexpected exit status");
    }
    return 0;
}
