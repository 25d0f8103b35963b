// The walk of the printer's device profile table: a GETNEXT walk in the
// manner of the command-line walk program, filing every cell it receives into
// the spool list and merging the spool into the user's profile file.
//
// One walk at a time per process: the spool, the variable count and
// net-snmp's state are process-wide, so concurrent callers are serialised.
#pragma once

#include <chrono>
#include <functional>
#include <optional>

namespace zrk {

// Store ids of the walk's options in net-snmp's application store, registered
// under the application "snmpwalk"; each letter after -C toggles one.
inline constexpr int kWalkIncludeRequested = 1;  // 'i' "includeRequested"
inline constexpr int kWalkPrintStatistics = 2;   // 'p' "printStatistics"
inline constexpr int kWalkDontCheckOrdering = 3; // 'c' "dontCheckOrdering"

// Session timing: four attempts of 250 ms before a request is given up.
inline constexpr long kWalkTimeoutMicroseconds = 250000;
inline constexpr int kWalkRetries = 3;

// Upper bounds on one walk, so that an agent that keeps answering with ever
// new identifiers, or answers each request just in time, cannot keep a walk
// going. A full profile table of 500 rows x 7 columns takes 3,501 GETNEXT
// exchanges (the last one leaves the table): well under a second on a local
// network, 175 s on a slow one where every exchange takes 50 ms. The time
// limit is that, rounded up, and stays below the helper tool's wait.
inline constexpr long kWalkMaxRequests = 20000;
inline constexpr std::chrono::milliseconds kWalkTimeLimit{180'000};

// Replaces the walk's time limit (tests use a short one).
void setWalkTimeLimit(std::chrono::milliseconds limit);

// Result codes of mib_walk (negative values come from the argument parser).
inline constexpr int kWalkOK = 0;
inline constexpr int kWalkFailed = 1;
inline constexpr int kWalkAgentError = 2;

// Variables received by all walks and fallback GETs of this process.
extern long numprinted;

// Diagnostic texts of the walk, kept here and shown nowhere.
inline constexpr int kDebugMessageSize = 128;
extern char sDEBUGmsg[kDebugMessageSize];

// argv: "snmpwalk", options, the agent, optionally the root identifier
// (default 1.3.6.1.2.1). Walks, then merges the spool into the profile file
// of the current store path set, once, whatever happened. Returns 0 when the
// walk ended normally, 1 when it failed (bad root, no session, time-out,
// send or receive error, identifiers not increasing, an empty response, too
// many requests), 2 when the agent answered with an error status other than
// noSuchName, and the parser's negative result when the arguments were
// refused.
int mib_walk(int argc, char* argv[]);

// mib_walk in two halves, for a service that walks in a process of its own
// and merges in the one that serves the files: the walk alone fills the
// spool and returns its result; the merge takes that result and returns the
// walk's final one (the merge can turn success into failure, see
// vRestructPlistSpool2Current).
//
// steps, when given, run inside the walk: beforeOpen once the arguments are
// parsed and before the session opens (a host name is resolved when it
// opens), afterOpen with the session's socket once it is open and before the
// first message. A step that returns false ends the walk as failed before
// any message is sent. started, when set, is when the walk's time limit
// began (a walk in a process of its own counts from the process's start, so
// that name resolution counts too); else it begins with the exchanges.
struct WalkSessionSteps {
    std::function<bool()> beforeOpen;
    std::function<bool(int socket)> afterOpen;
    std::optional<std::chrono::steady_clock::time_point> started;
};
int walkIntoSpool(int argc, char* argv[], const WalkSessionSteps* steps = nullptr);
int mergeWalkedSpool(int result);

// The -C option callback of the argument parser.
void optProc(int argc, char* const* argv, int opt);

} // namespace zrk
