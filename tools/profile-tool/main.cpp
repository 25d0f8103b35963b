// profile-tool: looks into and prepares profile files (service build of the
// store). Subcommands are rows of one table.
#include "ProfileToolCommands.h"
#include "ProfileToolWalk.h"

#include <exception>
#include <iostream>
#include <string_view>

namespace {

struct Subcommand {
    std::string_view name;
    int (*run)(int argc, char** argv);
    std::string_view synopsis;
};

constexpr Subcommand kSubcommands[] = {
    {"show", profileToolShow, "show FILE"},
    {"write", profileToolWrite, "write FILE < JSON"},
    {"walk", zrk::profileToolWalk,
     "walk --user NAME [--model TOKEN] -- snmpwalk OPTIONS HOST [ROOT]"},
};

int usage() {
    std::cerr << "usage: profile-tool";
    const char* separator = " ";
    for (const Subcommand& subcommand : kSubcommands) {
        std::cerr << separator << subcommand.synopsis;
        separator = " | ";
    }
    std::cerr << '\n';
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        return usage();
    }
    for (const Subcommand& subcommand : kSubcommands) {
        if (subcommand.name == argv[1]) {
            try {
                return subcommand.run(argc - 1, argv + 1);
            } catch (const std::exception& e) {
                std::cerr << "profile-tool: " << e.what() << '\n';
                return 1;
            }
        }
    }
    return usage();
}
