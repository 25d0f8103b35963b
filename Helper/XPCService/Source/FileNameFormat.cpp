#include "MergeTables.h"
#include "SpoolPlist.h"

#include <cstring>

namespace zrk {

bool FileNameFilter(int c) {
    // Classified by hand: the POSIX-locale classes, whatever the process locale.
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')) {
        return true;
    }
    return c > 0 && c < 0x80 && std::strchr(kFileNamePunctuation, c) != nullptr;
}

bool bJudgement8point3Format(const char* name) {
    if (name == nullptr) {
        return false;
    }
    const std::size_t length = std::strlen(name);
    if (length == 0) {
        return false;
    }
    const char* dot = std::strchr(name, '.');
    if (dot == nullptr) {
        if (length > kMaxFileBaseLength) {
            return false;
        }
    } else {
        // The extension is everything after the first dot, further dots included.
        const std::size_t base = static_cast<std::size_t>(dot - name);
        const std::size_t extension = length - base - 1;
        if (base < 1 || base > kMaxFileBaseLength || extension > kMaxFileExtensionLength) {
            return false;
        }
    }
    for (const char* p = name; *p != '\0'; ++p) {
        if (!FileNameFilter(static_cast<unsigned char>(*p))) {
            return false;
        }
    }
    return true;
}

} // namespace zrk
