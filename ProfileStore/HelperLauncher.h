// Launching the helper tool: a child process started by absolute path (no
// shell, no search path) with a pipe on its standard output and a time limit.
#pragma once

#include <chrono>
#include <string>
#include <string_view>
#include <vector>

namespace zrk {

// A file request (probe, existence, removal, swap, one write piece, commit)
// touches one small file; a helper that takes longer is hung.
inline constexpr std::chrono::milliseconds kFileRequestTimeLimit{20'000};
// A profile-table walk of 500 rows on a slow network, or a printer that stops
// answering after every row (four 250 ms attempts per request), takes minutes.
inline constexpr std::chrono::milliseconds kWalkRequestTimeLimit{600'000};

// Bound on the captured reply; the helper prints one short line.
inline constexpr std::size_t kMaxHelperOutput = 1 << 20;

struct HelperRun {
    bool launched = false;     // the process was started
    bool exitedInTime = false; // it exited before the limit (else it was killed)
    std::string output;        // what it wrote to standard output
};

// Runs launchPath with argv[0] = launchPath and argv[1..] = arguments;
// standard input and error are inherited. The child gets its own process
// group, which is killed when the limit passes.
HelperRun runHelper(const std::string& launchPath, const std::vector<std::string>& arguments,
                    std::chrono::milliseconds timeLimit);

// True when the run exited in time and its output contains the marker. A
// late or killed helper never counts as success.
bool helperSucceeded(const HelperRun& run, std::string_view marker);

} // namespace zrk
