// The "walk" subcommand of profile-tool: one walk and merge for one user's
// profile files, the way a walk request of the service runs it.
#pragma once

namespace zrk {

// argv[0] is the subcommand's name:
//   walk --user NAME [--model TOKEN] -- snmpwalk OPTIONS HOST [ROOT]
// Points the store at NAME's current, backup and spool files for TOKEN
// (default "zrk5100") in the preferences directory under the installation
// root, runs mib_walk on the arguments after "--" and prints "iRet=N".
// Returns 0 once the walk ran (its result is in the line), 2 for a command
// line that is not of this form or names that form no valid path.
int profileToolWalk(int argc, char** argv);

} // namespace zrk
