// Who writes a piecewise sequence. The plug-in launches one helper per
// request, so the pieces of one sequence come from different helper
// processes with one parent: the print dialog that writes. That parent (its
// process id and start time, so that a reused id is another writer) tells
// two sequences for the same file apart.
#pragma once

#include <sys/types.h>

#include <string>

namespace zrk::xpc {

// The writer behind a requesting process: its parent's id and start time;
// empty when it cannot be found (the writer is then unknown).
std::string writerOfProcess(pid_t requester);

} // namespace zrk::xpc
