// What the panel's fuzz targets share: one offscreen application with a
// private installation root and runtime folder, scratch files, and one run of
// print-dialog whose output is kept for checking.
#pragma once

#include "PrintDialogCommandLine.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include <plist/plist.h>

namespace zrkfuzz {

// Creates the application and the private folders once per process.
void startDialogProcess();

// A file in the process's scratch folder, replaced with `size` bytes.
std::string writeScratchFile(const char* name, const uint8_t* data, size_t size);
// The whole file, or nullopt-like "" with *exists false when it is missing.
std::string readWholeFile(const std::string& path, bool* exists);

struct DialogRun {
    int status = -1;
    std::string out; // standard output of the run
};

// One print-dialog run, headless, on the built bundle.
DialogRun runDialog(PrintHost::PrintDialogOptions options);

// Aborts (a finding) with a message on standard error.
[[noreturn]] void finding(const char* what);

// Owns one property-list node.
struct PlistOwner {
    plist_t node = nullptr;
    ~PlistOwner() {
        if (node)
            plist_free(node);
    }
};

// Whether each line of `out` that starts with '{' is a JSON object.
bool jsonLinesParse(const std::string& out);

// Every queue's model dictionary under the product key "zrk5100" but `queue`, in a
// canonical text form (a dictionary holding one key twice counts as holding
// its last value, as it does once written as XML and read back).
std::map<std::string, std::string> otherQueues(plist_t settings, const char* queue);

// The queue the ticket targets drive, and what a user might do after the
// panel restored the ticket: the input's first byte picks one list.
inline constexpr const char* kTicketQueue = "ZR-K5100";
using TicketActions = std::vector<std::pair<QString, QString>>;
const TicketActions& ticketActions(uint8_t selector);

} // namespace zrkfuzz
