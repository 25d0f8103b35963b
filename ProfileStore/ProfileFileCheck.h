// Whether a file reads as a complete profile file with the store's own
// reader: a property list whose root holds the three groups, each with its
// six column dictionaries. The service commits a piecewise write only when
// it does, and a merge never replaces a file that is there but does not.
#pragma once

#include <string>

namespace zrk::store {

enum class ProfileFileState {
    Complete,   // every reader of the store accepts it
    Missing,    // no file at the path
    Unreadable, // there, but refused or incomplete; *reason says why
};

ProfileFileState checkProfileFile(const std::string& path, std::string* reason = nullptr);

} // namespace zrk::store
