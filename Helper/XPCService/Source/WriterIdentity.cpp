#include "WriterIdentity.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace zrk::xpc {

namespace {

// The fields of /proc/PID/stat from the state on (the command name before
// it may hold spaces and parentheses, so it is skipped up to its last ')').
std::vector<std::string> statFields(pid_t pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string text;
    std::getline(stat, text);
    const std::size_t paren = text.rfind(')');
    std::vector<std::string> fields;
    if (paren == std::string::npos) {
        return fields;
    }
    std::istringstream rest(text.substr(paren + 1));
    for (std::string field; rest >> field;) {
        fields.push_back(field);
    }
    return fields;
}

// Field numbers of proc(5), counted from the state (field 3) on.
constexpr std::size_t kStateField = 3 - 3;
constexpr std::size_t kParentField = 4 - 3;
constexpr std::size_t kStartTimeField = 22 - 3;

} // namespace

WriterProcess writerOfProcess(pid_t requester) {
    if (requester <= 0) {
        return {};
    }
    const std::vector<std::string> own = statFields(requester);
    if (own.size() <= kParentField) {
        return {};
    }
    const pid_t parent = static_cast<pid_t>(std::atol(own[kParentField].c_str()));
    if (parent <= 1) {
        return {}; // orphaned: its writer is gone
    }
    const std::vector<std::string> parentFields = statFields(parent);
    if (parentFields.size() <= kStartTimeField) {
        return {};
    }
    return {parent, std::strtoull(parentFields[kStartTimeField].c_str(), nullptr, 10)};
}

bool processStillRuns(const WriterProcess& process) {
    if (!process.known()) {
        return false;
    }
    const std::vector<std::string> fields = statFields(process.pid);
    if (fields.size() <= kStartTimeField) {
        return false;
    }
    const std::string& state = fields[kStateField];
    return state != "Z" && state != "X" && state != "x" &&
           std::strtoull(fields[kStartTimeField].c_str(), nullptr, 10) == process.startTime;
}

bool sameWriter(const Writer& a, const Writer& b) {
    return a.uid == b.uid && (!a.process.known() || !b.process.known() || a.process == b.process);
}

} // namespace zrk::xpc
