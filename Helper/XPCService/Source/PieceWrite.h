// The piecewise write of a profile file: the pieces of its XML text are
// collected in the temporary file (the file's path followed by ".dummy") and
// the temporary file is then renamed over the file.
#pragma once

#include "WriterIdentity.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace zrk::xpc {

// No temporary or whole file grows beyond this; the store's readers take
// nothing larger either.
inline constexpr std::size_t kMaxWrittenFileSize = 4u << 20;

// A piece that begins with this starts a new text: it replaces whatever an
// interrupted earlier sequence left in the temporary file.
inline constexpr std::string_view kFirstPieceStart = "<?xml";

// The temporary file of a profile file.
std::string pieceFilePath(const std::string& path);

// Adds a piece to the temporary file of path. A first piece starts it afresh,
// unless another sequence for the file is in progress (not committed, its
// writer still running and its last piece less than 5 s ago): then it is
// refused, whoever sends it. Any
// other piece is appended to the temporary file, which must then exist
// (a regular file, not a link) and hold UTF-8 text. The temporary file is
// replaced atomically. False, touching nothing, when the piece cannot be
// added or the text would exceed kMaxWrittenFileSize.
//
// writer names who sends the piece (WriterIdentity.h). A first piece makes
// its writer the owner of the sequence; a later piece or the commit from
// another writer (another caller, or another known process) is refused,
// touching nothing, so two writers' pieces never mix. (What the service no
// longer remembers, after a restart, is left to the commit's check.)
bool appendPiece(const std::string& path, std::string_view piece, const Writer& writer = {});

// Renames the temporary file over path (one rename, so the path always names
// a whole file), once it reads as a complete profile file with the store's
// own reader. False, keeping path as it is, when there is no temporary file,
// when it does not read so (it is then removed) or when the rename fails.
bool commitPieces(const std::string& path, const Writer& writer = {});

// Replaces the whole file (atomically, at most kMaxWrittenFileSize bytes),
// only with a text that reads as a complete profile file, as a commit does.
// False, keeping the file as it is, otherwise.
bool writeWholeFile(const std::string& path, std::string_view text);

} // namespace zrk::xpc
