// A full profile file written through the plug-in build of the store (lock,
// probe, pieces, commit: one helper launch each, the real helper and service
// on a private bus) against the same requests sent as bare `busctl call`s,
// side by side. Prints both medians and their ratio, and what the commit's
// check (reading the temporary file as a profile file) costs of a write.
//
//   WriteThroughServiceBenchmark [ROUNDS]      (default 15)
#include "HelperMethods.h"
#include "InstallRoot.h"
#include "ProfileFileCheck.h"
#include "ServiceTestSupport.h"
#include "SplitCharEvery.h"
#include "StoreFileOps.h"
#include "StoreInternal.h"
#include "StorePaths.h"
#include "VXPList.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using zrk::servicetest::PrivateBus;

double millisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// Runs a program (no shell) with its output discarded; true on exit 0.
bool run(const std::vector<std::string>& argv) {
    std::vector<char*> args;
    for (const std::string& a : argv) {
        args.push_back(const_cast<char*>(a.c_str()));
    }
    args.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    pid_t pid = -1;
    const int rc = posix_spawn(&pid, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    return rc == 0 && ::waitpid(pid, &status, 0) == pid && WIFEXITED(status) &&
           WEXITSTATUS(status) == 0;
}

// 500 entries in each group, as a full file after many walks.
std::unique_ptr<ProfileList[]> fullLists() {
    auto lists = std::make_unique<ProfileList[]>(kProfileGroupCount);
    for (int g = 0; g < kProfileGroupCount; ++g) {
        for (int i = 0; i < kMaxProfileEntries; ++i) {
            ProfileEntry& e = lists[g].litem[i];
            e.iIndexOnDevice = i + 1;
            e.iInMenu = kInMenuDevicePresentShown;
            e.iProfileClass = 3;
            e.iLocation = kLocationDisk;
            std::snprintf(e.FileName, sizeof e.FileName, "PROFILE%03d.ICC", i);
            std::snprintf(e.ProfileName, sizeof e.ProfileName, "Printer profile %d", i);
        }
        lists[g].iNum = kMaxProfileEntries;
    }
    return lists;
}

} // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::max(3, std::atoi(argv[1])) : 15;
    PrivateBus bus;
    ::setenv(zrk::kInstallRootVariable, bus.root().c_str(), 1);
    const fs::path helper = zrk::resolveInstallPath(zrk::kHelperToolPath);
    fs::create_directories(helper.parent_path());
    fs::copy_file(ZRK_HELPER, helper);
    zrk::servicetest::ScratchDir runtime;
    ::setenv("XDG_RUNTIME_DIR", runtime.path().c_str(), 1);
    const char* address = std::getenv("DBUS_SYSTEM_BUS_ADDRESS");

    std::string current;
    if (!zrk::store::currentProfilePath(&current) || address == nullptr) {
        std::fprintf(stderr, "no profile path or bus\n");
        return 1;
    }
    const auto lists = fullLists();
    std::string xml;
    zrk::store::buildProfileXml(&lists[0], &lists[1], &lists[2], &xml);
    const std::string url = zrk::fileURLFromPath(current);

    // The same requests the plug-in's write sends, as busctl command lines.
    const std::vector<std::string> busctl = {"/usr/bin/busctl",
                                             std::string("--address=") + address,
                                             "call",
                                             zrk::helper::kServiceName,
                                             zrk::helper::kObjectPath,
                                             zrk::helper::kInterfaceName};
    std::vector<std::vector<std::string>> bare;
    auto call = [&](std::string_view method, const std::string& request) {
        std::vector<std::string> command = busctl;
        command.insert(command.end(), {std::string(method), "s", request});
        bare.push_back(std::move(command));
    };
    call(zrk::helper::kIsAdminProfile, current);
    for (const std::string& piece : splitCharEvery(xml, zrk::helper::kWritePieceCharacters)) {
        call(zrk::helper::kWriteData, url + std::string(zrk::helper::kMarkerURL) + piece);
    }
    call(zrk::helper::kWriteDataRename, url);

    // Once each to start the service and warm the caches.
    if (VXPListWriteProfile_All(&lists[0], &lists[1], &lists[2]) != 0) {
        std::fprintf(stderr, "the plug-in's write failed\n");
        return 1;
    }
    for (const auto& command : bare) {
        if (!run(command)) {
            std::fprintf(stderr, "busctl failed\n");
            return 1;
        }
    }

    std::vector<double> plugin;
    std::vector<double> bareCalls;
    std::vector<double> check;
    for (int r = 0; r < rounds; ++r) {
        Clock::time_point start = Clock::now();
        if (VXPListWriteProfile_All(&lists[0], &lists[1], &lists[2]) != 0) {
            std::fprintf(stderr, "the plug-in's write failed\n");
            return 1;
        }
        plugin.push_back(millisecondsSince(start));

        start = Clock::now();
        for (const auto& command : bare) {
            run(command);
        }
        bareCalls.push_back(millisecondsSince(start));

        start = Clock::now();
        if (zrk::store::checkProfileFile(current) != zrk::store::ProfileFileState::Complete) {
            std::fprintf(stderr, "the written file does not read\n");
            return 1;
        }
        check.push_back(millisecondsSince(start));
    }
    const double pluginMedian = median(plugin);
    const double bareMedian = median(bareCalls);
    const double checkMedian = median(check);
    std::printf("full profile file (%zu bytes, %zu requests), median of %d rounds:\n", xml.size(),
                bare.size(), rounds);
    std::printf("  plug-in build through the helper: %8.1f ms\n", pluginMedian);
    std::printf("  bare busctl calls:                %8.1f ms\n", bareMedian);
    std::printf("  ratio:                            %8.2f (goal <= 1.5)\n",
                pluginMedian / bareMedian);
    std::printf("  commit's check of the text:       %8.1f ms (%.0f%% of the write)\n", checkMedian,
                100.0 * checkMedian / pluginMedian);
    return 0;
}
