// The argument vectors a walk accepts.
#pragma once

#include <string_view>

namespace zrk {

// The walk runs with the service's privileges on a vector that any user can
// send, and net-snmp's argument parser also takes options that load files,
// write logs or set library configuration. Only what a walk of the profile
// table needs is accepted, wherever getopt would find it:
//   -O FLAGS, -c COMMUNITY (once), -v 1|2c, -C LETTERS (each attached or
//   separate), and one agent: a host name or IPv4 address with an optional
//   "udp:" and port.
// Other non-option arguments (the root and anything after it) are left to
// the walk. Returns false, naming the first refused argument on standard
// error, for anything else.
bool walkArgumentsAcceptable(int argc, char* const* argv);

// Whether the walk's root is dotted decimal sub-identifiers (an optional
// leading dot, at most the 128 a root holds, each within 32 bits). net-snmp
// would look anything else up as a name, and its look-up compiles the text
// as a regular expression: a few hundred bytes of one took gigabytes.
bool walkRootAcceptable(std::string_view root);

} // namespace zrk
