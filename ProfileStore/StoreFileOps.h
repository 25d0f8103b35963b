// The file steps of the privileged operations, on explicit paths. The service
// build of the store runs them on its store path set; the service's request
// handlers run them on the paths a request carries.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace zrk {

// Write-permission probe: sets the file-creation mask to 002 (for good),
// opens the file for appending, creating it with 0664 when missing, and
// removes it again if it was created. True when the open succeeded.
// Writes the whole block, going on after interrupted calls; false on an
// error or a write that writes nothing.
bool writeAll(int fd, const char* data, std::size_t size);

bool probeWritable(const std::string& path);

// True when the file opens read-only.
bool fileOpensForReading(const std::string& path);

// True when the file was removed.
bool removeFile(const std::string& path);

// Backup (kSwapBackup), discard (kSwapDiscard) or restore (kSwapRestore) on
// the two paths; other types do nothing. A backup copies in blocks of at most
// 65535 bytes.
void swapProfileFiles(int32_t type, const std::string& currentPath, const std::string& backupPath);

// Replaces the file's whole contents: the data goes to a temporary file in the
// same directory, is flushed to disk and renamed over the file, so the file is
// either the old or the new one. New files get mode 0664.
bool writeFileAtomically(const std::string& path, std::string_view data);

// The absolute string of a file URL for an absolute path ("file:///...",
// characters outside the URL path set percent-encoded), and back. The
// reverse fails (returns false) for anything but a "file://" URL with an
// absolute path and well-formed escapes decoding to no NUL byte.
std::string fileURLFromPath(std::string_view path);
bool pathFromFileURL(std::string_view url, std::string* path);

} // namespace zrk
