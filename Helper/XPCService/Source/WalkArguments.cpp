#include "WalkArguments.h"

#include "LogText.h"

#include <cstdio>
#include <cstring>
#include <string_view>

namespace zrk {

namespace {

constexpr std::string_view kOptionsWithValue = "OcvC";

bool isHostCharacter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' ||
           c == '-' || c == '_';
}

// [udp:]NAME[:PORT] with NAME of host-name characters, not starting with '-'.
bool isAcceptableAgent(std::string_view agent) {
    constexpr std::string_view kUdp = "udp:";
    if (agent.substr(0, kUdp.size()) == kUdp) {
        agent.remove_prefix(kUdp.size());
    }
    const std::size_t colon = agent.find(':');
    std::string_view name = agent.substr(0, colon);
    if (name.empty() || name.size() > 253 || name.front() == '-') {
        return false;
    }
    for (char c : name) {
        if (!isHostCharacter(c)) {
            return false;
        }
    }
    if (colon == std::string_view::npos) {
        return true;
    }
    std::string_view port = agent.substr(colon + 1);
    if (port.empty() || port.size() > 5) {
        return false;
    }
    unsigned value = 0;
    for (char c : port) {
        if (c < '0' || c > '9') {
            return false;
        }
        value = value * 10 + static_cast<unsigned>(c - '0');
    }
    return value >= 1 && value <= 65535;
}

bool refuse(const char* argument) {
    std::fprintf(stderr, "snmpwalk: argument not accepted: %s\n", escapedForLog(argument).c_str());
    return false;
}

} // namespace

bool walkArgumentsAcceptable(int argc, char* const* argv) {
    if (argc < 1 || argv == nullptr || argv[0] == nullptr) {
        return false;
    }
    bool haveAgent = false;
    bool haveCommunity = false;
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        if (arg == nullptr) {
            return false;
        }
        if (arg[0] != '-' || arg[1] == '\0') {
            // The first non-option is the agent; what follows it is the
            // walk's business (getopt moves options found there to the front).
            if (!haveAgent) {
                if (!isAcceptableAgent(arg)) {
                    return refuse(arg);
                }
                haveAgent = true;
            }
            continue;
        }
        const char letter = arg[1];
        if (kOptionsWithValue.find(letter) == std::string_view::npos) {
            return refuse(arg); // "--" and every other option included
        }
        const char* value = arg + 2;
        if (*value == '\0') {
            if (i + 1 >= argc || argv[i + 1] == nullptr) {
                return refuse(arg);
            }
            value = argv[++i];
        }
        if (letter == 'v' && std::strcmp(value, "1") != 0 && std::strcmp(value, "2c") != 0) {
            return refuse(value);
        }
        if (letter == 'c') {
            // The parser would lose the copy it makes of the first one.
            if (haveCommunity) {
                return refuse(arg);
            }
            haveCommunity = true;
        }
    }
    return true;
}

bool walkRootAcceptable(std::string_view root) {
    constexpr std::size_t kMaxSubIdentifiers = 128;
    constexpr unsigned long long kMaxSubIdentifier = 0xFFFFFFFFull;
    if (!root.empty() && root.front() == '.') {
        root.remove_prefix(1);
    }
    std::size_t count = 0;
    while (true) {
        const std::size_t dot = root.find('.');
        const std::string_view part = root.substr(0, dot);
        if (part.empty() || part.size() > 10 || ++count > kMaxSubIdentifiers) {
            return false;
        }
        unsigned long long value = 0;
        for (char c : part) {
            if (c < '0' || c > '9') {
                return false;
            }
            value = value * 10 + static_cast<unsigned>(c - '0');
        }
        if (value > kMaxSubIdentifier) {
            return false;
        }
        if (dot == std::string_view::npos) {
            return true;
        }
        root.remove_prefix(dot + 1);
    }
}

} // namespace zrk
