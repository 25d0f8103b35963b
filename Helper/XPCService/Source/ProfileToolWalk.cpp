#include "ProfileToolWalk.h"

#include "MibWalk.h"
#include "StorePaths.h"

#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

namespace zrk {

namespace {

constexpr const char* kUsage =
    "usage: profile-tool walk --user NAME [--model TOKEN] -- snmpwalk OPTIONS HOST [ROOT]\n";

int usage(const char* problem) {
    if (problem != nullptr) {
        std::fprintf(stderr, "profile-tool walk: %s\n", problem);
    }
    std::fputs(kUsage, stderr);
    return 2;
}

} // namespace

int profileToolWalk(int argc, char** argv) {
    std::optional<std::string> user;
    std::string model(kModelToken);
    int i = 1;
    for (; i < argc; ++i) {
        const char* arg = argv[i];
        if (std::strcmp(arg, "--") == 0) {
            ++i;
            break;
        }
        if ((std::strcmp(arg, "--user") == 0 || std::strcmp(arg, "--model") == 0) && i + 1 < argc) {
            if (arg[2] == 'u') {
                user = argv[++i];
            } else {
                model = argv[++i];
            }
            continue;
        }
        return usage((std::string("unexpected argument ") + arg).c_str());
    }
    if (!user) {
        return usage("--user is required");
    }
    if (i >= argc) {
        return usage("no walk arguments after --");
    }
    StorePaths paths;
    if (!formStorePaths(*user, model, &paths)) {
        return usage("the user name and model token form no valid profile file path");
    }

    // The walk's parser may reorder the vector, so it gets its own copy.
    std::vector<char*> walkArgs(argv + i, argv + argc);
    walkArgs.push_back(nullptr);
    int result;
    {
        StorePathScope scope(paths);
        result = mib_walk(static_cast<int>(walkArgs.size() - 1), walkArgs.data());
    }
    std::printf("iRet=%d\n", result);
    std::fflush(stdout);
    return 0;
}

} // namespace zrk
