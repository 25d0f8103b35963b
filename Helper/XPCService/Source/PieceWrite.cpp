#include "PieceWrite.h"

#include "ProfileFileCheck.h"
#include "StoreFileOps.h"
#include "StorePaths.h"
#include "UniqueFd.h"
#include "Utf8.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <map>
#include <optional>

namespace zrk::xpc {

namespace {

// The temporary file's text; nothing when it is missing, not a regular file
// of one name, too large or unreadable.
std::optional<std::string> readPieceFile(const std::string& path) {
    UniqueFd file(::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    struct stat info;
    if (file.get() < 0 || ::fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode) ||
        static_cast<std::size_t>(info.st_size) > kMaxWrittenFileSize) {
        return std::nullopt;
    }
    std::string text;
    text.reserve(static_cast<std::size_t>(info.st_size));
    char block[65536];
    for (;;) {
        const ssize_t n = ::read(file.get(), block, sizeof block);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            return std::nullopt;
        }
        if (n == 0) {
            return text;
        }
        if (text.size() + static_cast<std::size_t>(n) > kMaxWrittenFileSize) {
            return std::nullopt;
        }
        text.append(block, static_cast<std::size_t>(n));
    }
}

// A sequence whose writer has exited counts as abandoned at once. One whose
// last piece came longer ago than this counts as abandoned too (its writer
// gave up after a failed piece, or could not be told), so that the next
// write of the file need not wait long. The pieces of a live sequence follow
// each other within moments; one that was slower after all loses its file to
// the next sequence, and its later pieces are refused by the owner check.
// The mode of every profile file the store writes.
constexpr mode_t kWrittenFileMode = 0664;

constexpr auto kAbandonedAfter = std::chrono::seconds(5);

struct OpenSequence {
    Writer writer;
    std::chrono::steady_clock::time_point lastPiece;
};

// The sequences in progress, by temporary file. Requests are served on one
// thread.
std::map<std::string, OpenSequence>& openSequences() {
    static std::map<std::string, OpenSequence> sequences;
    return sequences;
}

// A sequence that is still being written; its file is not another's to restart.
bool sequenceInProgress(const std::string& target) {
    const auto open = openSequences().find(target);
    if (open == openSequences().end()) {
        return false;
    }
    const WriterProcess& writer = open->second.writer.process;
    return (!writer.known() || processStillRuns(writer)) &&
           std::chrono::steady_clock::now() - open->second.lastPiece < kAbandonedAfter;
}

// False when another writer than the sequence's owner sends to it.
bool ownsSequence(const std::string& target, const Writer& writer) {
    const auto open = openSequences().find(target);
    return open == openSequences().end() || sameWriter(open->second.writer, writer);
}

void syncDirectoryOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    const std::string directory = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    UniqueFd dir(::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.get() >= 0) {
        ::fsync(dir.get());
    }
}

} // namespace

std::string pieceFilePath(const std::string& path) {
    return path + std::string(kPieceFileSuffix);
}

bool appendPiece(const std::string& path, std::string_view piece, const Writer& writer) {
    const std::string target = pieceFilePath(path);
    if (piece.size() > kMaxWrittenFileSize) {
        return false;
    }
    if (piece.starts_with(kFirstPieceStart)) {
        // Two sequences for one file never take turns: the later one is
        // refused until the first is committed or abandoned, whoever sends it
        // (pieces sent from one process cannot be told apart by their writer).
        if (sequenceInProgress(target) || !writeFileAtomically(target, piece)) {
            return false;
        }
        openSequences()[target] = {writer, std::chrono::steady_clock::now()};
        return true;
    }
    if (!ownsSequence(target, writer)) {
        return false;
    }
    // A piece without its beginning would make a truncated file.
    std::optional<std::string> text = readPieceFile(target);
    if (!text || !utf8::isValid(*text) || text->size() + piece.size() > kMaxWrittenFileSize) {
        return false;
    }
    text->append(piece);
    if (!writeFileAtomically(target, *text)) {
        return false;
    }
    if (const auto open = openSequences().find(target); open != openSequences().end()) {
        open->second.lastPiece = std::chrono::steady_clock::now();
    }
    return true;
}

bool commitPieces(const std::string& path, const Writer& writer) {
    const std::string source = pieceFilePath(path);
    struct stat info;
    if (!ownsSequence(source, writer) || ::lstat(source.c_str(), &info) != 0 ||
        !S_ISREG(info.st_mode)) {
        return false;
    }
    openSequences().erase(source);
    // Pieces of two writers spliced together, or a sequence cut short, do not
    // read as a profile file: such a text never replaces the file, and is
    // dropped so that the next sequence starts clean.
    if (store::checkProfileFile(source) != store::ProfileFileState::Complete) {
        ::unlink(source.c_str());
        return false;
    }
    if (::rename(source.c_str(), path.c_str()) != 0) {
        return false;
    }
    syncDirectoryOf(path);
    return true;
}

bool writeWholeFile(const std::string& path, std::string_view text) {
    if (text.size() > kMaxWrittenFileSize) {
        return false;
    }
    // The text is checked where it will be renamed from, with the same reader
    // as a commit: anything but a whole profile file never becomes the file.
    std::string temporary = path + ".XXXXXX";
    UniqueFd file(::mkostemp(temporary.data(), O_CLOEXEC));
    if (file.get() < 0) {
        return false;
    }
    const bool written = ::fchmod(file.get(), kWrittenFileMode) == 0 &&
                         writeAll(file.get(), text.data(), text.size()) && ::fsync(file.get()) == 0;
    file.reset();
    if (!written || store::checkProfileFile(temporary) != store::ProfileFileState::Complete ||
        ::rename(temporary.c_str(), path.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return false;
    }
    syncDirectoryOf(path);
    return true;
}

} // namespace zrk::xpc
