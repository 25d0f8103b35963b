#include "SnmpEnvironment.h"

#include "InstallRoot.h"

#include <net-snmp/net-snmp-config.h>
#include <net-snmp/net-snmp-includes.h>

#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>
#include <mutex>

namespace zrk {

namespace {

// mkdir -p with mode 0700 for the folders it creates.
void makeDirectories(const std::string& path) {
    for (std::size_t slash = path.find('/', 1); slash != std::string::npos;
         slash = path.find('/', slash + 1)) {
        ::mkdir(path.substr(0, slash).c_str(), 0700);
    }
    ::mkdir(path.c_str(), 0700);
}

} // namespace

const std::string& prepareSnmpEnvironment() {
    static std::once_flag once;
    static std::string directory;
    std::call_once(once, [] {
        directory = resolveInstallPath(kSnmpStateDirectory);
        // The library creates this one on its first start and says so on
        // standard error; created here, it stays quiet.
        makeDirectories(directory + "/cert_indexes");
        ::setenv("MIBS", "", 1);
        ::setenv("SNMP_PERSISTENT_DIR", directory.c_str(), 1);
        netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_DISABLE_PERSISTENT_LOAD, 1);
        netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_DISABLE_PERSISTENT_SAVE, 1);
    });
    return directory;
}

} // namespace zrk
