#include "InstallRoot.h"

#include <cstdlib>

namespace zrk {

std::string installRoot() {
    // secure_getenv: a process running with raised privileges ignores the
    // variable instead of letting its caller move the fixed paths.
    const char* value = secure_getenv(kInstallRootVariable);
    std::string root = value != nullptr ? value : "";
    while (!root.empty() && root.back() == '/') {
        root.pop_back();
    }
    return root;
}

std::string resolveInstallPath(std::string_view fixedPath) {
    std::string path = installRoot();
    if (fixedPath.empty() || fixedPath.front() != '/') {
        path += '/';
    }
    path += fixedPath;
    return path;
}

} // namespace zrk
