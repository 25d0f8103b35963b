// The service under load: concurrent write sequences of full profile files
// through the plug-in build of the store (lock, probe, pieces, commit),
// mixed with probes, backups and walks, from several users at once. Every
// request is answered, every file ends as one whole text of its writers, and
// the service's memory comes back near its idle size.
#include "HelperLauncher.h"
#include "HelperMethods.h"
#include "InstallRoot.h"
#include "ServiceTestSupport.h"
#include "StoreInternal.h"
#include "VXPList.h"

#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <map>

namespace zrk::servicetest {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr const char* kWalkRoot = "1.3.6.1.4.1.18334.1.1.1.1.6.13.1.1";

// Resident memory the service may keep beyond its idle size after the run:
// the walks' and writes' transient lists and texts are freed, what stays is
// the allocator's slack.
#if defined(__SANITIZE_ADDRESS__)
// Freed memory stays in the sanitizer's quarantine (256 MiB) first.
constexpr long kMemoryGrowthBoundKiB = (256 + 64) * 1024;
#else
constexpr long kMemoryGrowthBoundKiB = 16 * 1024;
#endif

// The full profile file one writer writes: 500 entries per group, named
// after the user and the writer.
struct WriterText {
    std::unique_ptr<ProfileList[]> lists;
    std::string xml;
};

WriterText writerText(std::size_t user, std::size_t writer) {
    WriterText text{std::make_unique<ProfileList[]>(kProfileGroupCount), {}};
    for (int g = 0; g < kProfileGroupCount; ++g) {
        ProfileList& list = text.lists[g];
        for (int i = 0; i < kMaxProfileEntries; ++i) {
            ProfileEntry& e = list.litem[i];
            e.iIndexOnDevice = 501 + i;
            e.iInMenu = kInMenuUserShown;
            e.iProfileClass = 2;
            e.iLocation = kLocationDisk;
            std::snprintf(e.FileName, sizeof e.FileName, "U%zuW%zu%03d.ICC", user, writer, i);
            std::snprintf(e.ProfileName, sizeof e.ProfileName, "U%zu W%zu #%d", user, writer, i);
        }
        list.iNum = kMaxProfileEntries;
    }
    EXPECT_TRUE(store::buildProfileXml(&text.lists[0], &text.lists[1], &text.lists[2], &text.xml));
    return text;
}

// What one writer process does, as its user: a probe, a backup, a walk when
// asked to, then the whole write. Exit status: the number of the first step
// that failed, 0 when all succeeded.
[[noreturn]] void writerProcess(const Caller& caller, const std::string& runtime, int startSignal,
                                const ProfileList* lists, bool walk, const std::string& agent) {
    if (caller.switchTo) {
        const passwd* user = ::getpwuid(*caller.switchTo);
        if (user == nullptr || ::setgroups(0, nullptr) != 0 || ::setgid(user->pw_gid) != 0 ||
            ::setuid(*caller.switchTo) != 0) {
            ::_exit(10);
        }
    }
    ::setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
    char go;
    if (::read(startSignal, &go, 1) < 0) {
        ::_exit(11);
    }
    if (VXPListIsAdminProfile() != 1) {
        ::_exit(1);
    }
    VXPListSwapProfile(kSwapBackup);
    if (walk) {
        const HelperRun run = zrk::runHelper(resolveInstallPath(kHelperToolPath),
                                             {"mibwalk_XPC", "zrk5100", caller.login, "snmpwalk",
                                              "-Os", "-c", "snmpro", "-v", "1", agent, kWalkRoot},
                                             kWalkRequestTimeLimit);
        if (!helperSucceeded(run, helper::walkReplyLinePrefix() + "0")) {
            ::_exit(2);
        }
    }
    ::_exit(VXPListWriteProfile_All(&lists[0], &lists[1], &lists[2]) == 0 ? 0 : 3);
}

// Writers of full files for up to userCount users (writers spread over them
// in turn, the first walkingUsers of them walking first), all at once.
void runLoad(std::size_t userCount, std::size_t writerCount, std::size_t walkingUsers) {
    std::vector<Caller> users = distinctCallers(userCount);
    if (users.empty()) {
        GTEST_SKIP() << "no caller";
    }
    PrivateBus bus;
    ::chmod(bus.root().c_str(), 0755); // the users' writers find the helper there
    ::setenv(kInstallRootVariable, bus.root().c_str(), 1);
    const fs::path helper = resolveInstallPath(kHelperToolPath);
    fs::create_directories(helper.parent_path());
    fs::copy_file(ZRK_HELPER, helper);
    AgentProcess agent("normal", "three-rows.txt");

    // Each user's runtime folder under the installation root, private to
    // that user, where the writers' lock lives.
    std::vector<std::string> runtimeOf;
    for (const Caller& u : users) {
        const std::string dir = resolveInstallPath(
            "/run/user/" + std::to_string(u.switchTo ? *u.switchTo : ::getuid()));
        fs::create_directories(dir);
        ::chmod(fs::path(dir).parent_path().c_str(), 0755);
        ::chmod(fs::path(dir).parent_path().parent_path().c_str(), 0755);
        if (u.switchTo) {
            const passwd* entry = ::getpwuid(*u.switchTo);
            ASSERT_EQ(::chown(dir.c_str(), *u.switchTo, entry->pw_gid), 0);
        }
        ::chmod(dir.c_str(), 0700);
        runtimeOf.push_back(dir);
    }

    // The service is started, and its idle size taken, by a first probe.
    ASSERT_EQ(runHelper({"vxPListIsAdminProfile_XPC",
                         bus.preferences() + users[0].login + "-zrk5100-profile.plist"},
                        users[0])
                  .output,
              "vxPListIsAdminProfile_XPC=TRUE\n");
    const std::optional<pid_t> service = bus.servicePid();
    ASSERT_TRUE(service);
    const long idleKiB = residentKilobytes(*service);

    struct Writer {
        std::size_t user;
        WriterText text;
        bool walks;
        pid_t pid;
    };
    std::vector<Writer> writers;
    int start[2];
    ASSERT_EQ(::pipe(start), 0);
    std::size_t requests = 0;
    for (std::size_t w = 0; w < writerCount; ++w) {
        const std::size_t user = w % users.size();
        const bool walks = w < std::min(walkingUsers, users.size());
        Writer writer{user, writerText(user, w), walks, -1};
        // probe; backup (probe, swap); walk; write (probe, pieces, commit)
        const std::size_t pieces = (writer.text.xml.size() + 89999) / 90000;
        requests += 1 + 2 + (walks ? 1 : 0) + 1 + pieces + 1;
        writer.pid = ::fork();
        if (writer.pid == 0) {
            ::close(start[1]);
            writerProcess(users[user], runtimeOf[user], start[0], writer.text.lists.get(), walks,
                          agent.address());
        }
        ASSERT_GT(writer.pid, 0);
        writers.push_back(std::move(writer));
    }
    // All at once.
    ::close(start[0]);
    const Clock::time_point began = Clock::now();
    ::close(start[1]);
    for (const Writer& w : writers) {
        int status = 0;
        ::waitpid(w.pid, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
            << "writer of user " << users[w.user].login << " ended with " << status;
    }
    const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - began);
    const long afterKiB = residentKilobytes(*service);

    for (std::size_t u = 0; u < users.size(); ++u) {
        const std::string file =
            readFile(bus.preferences() + users[u].login + "-zrk5100-profile.plist");
        bool oneOfItsWriters = false;
        for (const Writer& w : writers) {
            oneOfItsWriters = oneOfItsWriters || (w.user == u && file == w.text.xml);
        }
        EXPECT_TRUE(oneOfItsWriters) << "the file of " << users[u].login;
        EXPECT_FALSE(exists(bus.preferences() + users[u].login + "-zrk5100-profile.plist.dummy"));
    }
    EXPECT_EQ(bus.servicePid(), service) << "one service served the whole run";
    EXPECT_LE(afterKiB - idleKiB, kMemoryGrowthBoundKiB);
    std::cout << "load: " << writers.size() << " writers over " << users.size() << " users, "
              << requests << " requests in " << took.count() << " ms; service resident " << idleKiB
              << " KiB idle, " << afterKiB << " KiB after\n";
}

TEST(ServiceUnderLoad, ConcurrentWritersLeaveOneWholeTextPerFile) {
    runLoad(8, 16, 4);
}

TEST(ServiceUnderLoad, EightWritersOfOneFileLeaveOneOfTheirTexts) {
    runLoad(1, 8, 0);
}

} // namespace
} // namespace zrk::servicetest
