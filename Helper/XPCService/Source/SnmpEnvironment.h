// Process-wide preparation of net-snmp for the walk.
#pragma once

#include <string>
#include <string_view>

namespace zrk {

// Where net-snmp may keep its persistent files: kSnmpStateDirectory of the
// table of places (InstallRoot.h), resolved under the installation root. The
// walk turns persistent loading and saving off, but the library still
// creates folders there when it starts; pointing it here keeps it out of the
// system-wide snmp folders and the user's home.

// Once per process, before net-snmp starts: no MIB modules are loaded (an
// empty MIBS keeps the library from reporting hundreds of missing modules),
// SNMP_PERSISTENT_DIR points at kSnmpStateDirectory under the installation
// root (created 0700 when missing), and persistent state is neither loaded
// nor saved. Returns the persistent folder in use.
const std::string& prepareSnmpEnvironment();

} // namespace zrk
