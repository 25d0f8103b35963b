#include "WriterIdentity.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <vector>

namespace zrk::xpc {

namespace {

// The fields of /proc/PID/stat after the command name (which may hold
// spaces and parentheses, so it is skipped up to its last ')').
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
constexpr std::size_t kParentField = 4 - 3;
constexpr std::size_t kStartTimeField = 22 - 3;

} // namespace

std::string writerOfProcess(pid_t requester) {
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
    return std::to_string(parent) + ":" + parentFields[kStartTimeField];
}

} // namespace zrk::xpc
