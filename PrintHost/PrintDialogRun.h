// One run of print-dialog: the dialog's session from opening the PPD to
// terminating the panel.
#pragma once

#include "PrintDialogCommandLine.h"

#include <cstdio>

namespace PrintHost {

// Exit statuses of print-dialog.
enum PrintDialogStatus : int {
    kExitOK = 0,
    kExitFailure = 1,  // a step failed: plug-in, ticket writing, printing, picture
    kExitBadInput = 2, // arguments, PPD, ticket, bundle or queue unusable
    kExitRefused = 3,  // a --set or a --profiles action was refused
};

// Runs the steps the options ask for; `interactive` lets the run open the
// window when nothing scripted is asked. Needs a QApplication.
int runPrintDialog(const PrintDialogOptions& options, bool interactive, std::FILE* out,
                   std::FILE* err);

} // namespace PrintHost
