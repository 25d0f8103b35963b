// Who writes a piecewise sequence. The plug-in launches one helper per
// request, so the pieces of one sequence come from different helper
// processes with one parent: the print dialog that writes. That parent, by
// its process id and start time (so that a reused id is another process),
// tells two sequences for the same file apart, and tells when a sequence's
// writer has gone. A writer is always taken together with the caller's UID
// as the bus authenticated it: the process is only a name among one user's
// own writers, never a way in for another user.
#pragma once

#include <sys/types.h>

#include <cstdint>

namespace zrk::xpc {

// A process, by id and start time (clock ticks after boot, as proc(5) gives
// it). An id of 0 stands for a process that could not be told.
struct WriterProcess {
    pid_t pid = 0;
    std::uint64_t startTime = 0;
    bool known() const { return pid > 0; }
    bool operator==(const WriterProcess&) const = default;
};

// Who sends a piecewise write's requests.
struct Writer {
    uid_t uid = 0; // the caller as the bus authenticated it
    WriterProcess process;
};

// The writer behind a requesting process: its parent. Unknown when the
// requester or its parent cannot be found, or the requester has lost its
// parent (orphaned).
WriterProcess writerOfProcess(pid_t requester);

// Whether the process is still the one that was seen: running (not a zombie)
// under the same id with the same start time.
bool processStillRuns(const WriterProcess& process);

// Whether two requests come from one writer: the same caller, and the same
// process where both processes are known.
bool sameWriter(const Writer& a, const Writer& b);

} // namespace zrk::xpc
