// What a walk child gives up before it talks to a printer. The walk's
// network part parses whatever a printer (or any host a user names) sends,
// so it runs as an unprivileged account, can gain nothing by executing, and
// can make no system call but those of the SNMP exchange.
//
// The steps, in the child, in this order (see MibWalk.h, WalkSessionSteps):
// net-snmp starts and the arguments are parsed while still root; then
// dropWalkPrivileges; then the session opens (a host name is resolved here,
// unprivileged); then restrictWalkSystemCalls; then the first message.
#pragma once

#include <sys/types.h>

namespace zrk {

// The package's own account for the walk, and the one used where it does
// not exist.
inline constexpr const char* kWalkAccount = "_zrk5100";
inline constexpr const char* kWalkFallbackAccount = "nobody";

// Clears the supplementary groups, sets the real, effective and saved group
// and user ids to kWalkAccount (else kWalkFallbackAccount), checks that root
// cannot be regained, sets PR_SET_NO_NEW_PRIVS, and has the child killed
// again when its parent (expectedParent) ends, since a change of ids clears
// that. A process that does not run as root keeps its ids. False when any
// step fails; the process must then not walk.
bool dropWalkPrivileges(pid_t expectedParent);

// Loads the system-call allow-list: sending to and receiving from `socket`,
// waiting, the clock, memory (never executable), writing to standard output,
// standard error and `resultFd`, and ending. Opening a file fails with
// EACCES; any other call kills the process. False when the list could not
// be loaded.
bool restrictWalkSystemCalls(int socket, int resultFd);

} // namespace zrk
