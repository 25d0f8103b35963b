// The service under load: concurrent write sequences of full profile files
// through the plug-in build of the store (lock, probe, pieces, commit),
// mixed with probes, backups and walks, from several users at once. Every
// request is answered, every file ends as one whole text of its writers, and
// the service's memory comes back near its idle size. And one user flooding
// the service with large writes: another user's probe is answered meanwhile,
// every request of the flood is answered, and the service's memory stays
// bounded.
#include "HelperLauncher.h"
#include "HelperMethods.h"
#include "InstallRoot.h"
#include "ServiceTestSupport.h"
#include "StoreInternal.h"
#include "VXPList.h"

#include <systemd/sd-bus.h>

#include <grp.h>
#include <poll.h>
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
#include <thread>

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
constexpr long kFloodMemoryBoundKiB = 0; // the flood is not run
#else
constexpr long kMemoryGrowthBoundKiB = 16 * 1024;
// What the service may hold above its idle size at any moment of a flood of
// large writes: the requests its callers may have waiting, the one in hand
// and the message being read.
constexpr long kFloodMemoryBoundKiB = 64 * 1024;
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

// The flood: one user's writes of whole texts of 4 MiB, kFloodInFlight of
// them in flight at any time over kFloodConnections connections, each
// answered one sent again until the stop pipe closes. Then it writes its
// counts to the result pipe. The ready pipe gets a byte once the first
// answer is in.
//
// With 512 MiB in flight the bus itself refuses some of the flood: it holds
// at most 127 MiB for one destination, and it takes them in from the
// flooder's connections faster than it hands them to the service. Those are
// the flooder's own losses; what counts is that nothing is lost otherwise.
constexpr int kFloodConnections = 16;
constexpr int kFloodInFlight = 128;

struct FloodCounts {
    long sent = 0;
    long truths = 0;
    long falsehoods = 0;
    long refusedByTheBus = 0; // the destination's queue was full
    long lost = 0;            // any other error: no reply, a time-out
};

struct Flood {
    FloodCounts counts;
    const std::string* request = nullptr;
    bool stopping = false;
    int ready = -1;
};

int sendFloodRequest(sd_bus* bus, Flood* flood);

int onFloodReply(sd_bus_message* reply, void* data, sd_bus_error*) {
    auto* flood = static_cast<Flood*>(data);
    const char* text = nullptr;
    if (sd_bus_message_is_method_error(reply, "org.freedesktop.DBus.Error.LimitsExceeded")) {
        ++flood->counts.refusedByTheBus;
    } else if (sd_bus_message_is_method_error(reply, nullptr) ||
               sd_bus_message_read(reply, "s", &text) < 0) {
        ++flood->counts.lost;
    } else if (std::string(text) == "TRUE") {
        ++flood->counts.truths;
    } else {
        ++flood->counts.falsehoods;
    }
    if (flood->ready >= 0) {
        [[maybe_unused]] const ssize_t n = ::write(flood->ready, "r", 1);
        ::close(flood->ready);
        flood->ready = -1;
    }
    if (!flood->stopping) {
        sendFloodRequest(sd_bus_message_get_bus(reply), flood);
    }
    return 0;
}

int sendFloodRequest(sd_bus* bus, Flood* flood) {
    ++flood->counts.sent;
    return sd_bus_call_method_async(bus, nullptr, helper::kServiceName, helper::kObjectPath,
                                    helper::kInterfaceName, "writeDictionaryToPlistFile_XPC",
                                    onFloodReply, flood, "s", flood->request->c_str());
}

[[noreturn]] void floodProcess(const Caller& caller, const std::string& request, int ready,
                               int stop, int result) {
    if (caller.switchTo) {
        const passwd* user = ::getpwuid(*caller.switchTo);
        if (user == nullptr || ::setgroups(0, nullptr) != 0 || ::setgid(user->pw_gid) != 0 ||
            ::setuid(*caller.switchTo) != 0) {
            ::_exit(10);
        }
    }
    Flood flood;
    flood.request = &request;
    flood.ready = ready;
    std::vector<sd_bus*> buses;
    for (int c = 0; c < kFloodConnections; ++c) {
        sd_bus* bus = nullptr;
        if (sd_bus_open_system(&bus) < 0) {
            ::_exit(11);
        }
        buses.push_back(bus);
        for (int i = 0; i < kFloodInFlight / kFloodConnections; ++i) {
            if (sendFloodRequest(bus, &flood) < 0) {
                ::_exit(12);
            }
        }
    }
    for (;;) {
        const long answered = flood.counts.truths + flood.counts.falsehoods +
                              flood.counts.refusedByTheBus + flood.counts.lost;
        if (flood.stopping && answered == flood.counts.sent) {
            break;
        }
        std::vector<pollfd> fds;
        for (sd_bus* bus : buses) {
            while (sd_bus_process(bus, nullptr) > 0) {
            }
            fds.push_back(
                pollfd{sd_bus_get_fd(bus), static_cast<short>(sd_bus_get_events(bus)), 0});
        }
        if (!flood.stopping) {
            fds.push_back(pollfd{stop, POLLIN, 0});
        }
        ::poll(fds.data(), fds.size(), 100);
        if (!flood.stopping && (fds.back().revents & (POLLIN | POLLHUP)) != 0) {
            flood.stopping = true;
        }
    }
    for (sd_bus* bus : buses) {
        sd_bus_flush_close_unref(bus);
    }
    const bool written = ::write(result, &flood.counts, sizeof flood.counts) == sizeof flood.counts;
    ::_exit(written ? 0 : 13);
}

TEST(ServiceUnderLoad, AFloodOfLargeWritesHoldsNoOtherUserUp) {
#if defined(__SANITIZE_ADDRESS__)
    // An instrumented service reads 4 MiB requests so slowly that the flood's
    // own requests pass their time limit, and its memory is the sanitizer's.
    GTEST_SKIP() << "a flood measures the service's own speed and memory";
#endif
    const std::vector<Caller> users = distinctCallers(2);
    if (users.size() < 2) {
        GTEST_SKIP() << "needs two users";
    }
    const Caller& flooder = users[0];
    const Caller& other = users[1];
    PrivateBus bus;
    const std::string probe = bus.preferences() + other.login + "-zrk5100-profile.plist";
    ASSERT_EQ(runHelper({"vxPListIsAdminProfile_XPC", probe}, other).output,
              "vxPListIsAdminProfile_XPC=TRUE\n");
    const std::optional<pid_t> service = bus.servicePid();
    ASSERT_TRUE(service);
    const long idleKiB = residentKilobytes(*service);

    // A whole text of 4 MiB that is no profile file: each one served is
    // written, checked and refused.
    std::string request =
        "file://" + bus.preferences() + flooder.login + "-zrk5100-profile.plist:AddURL:END<?xml ";
    request.resize(4u << 20, 'x');
    int ready[2], stop[2], result[2];
    ASSERT_EQ(::pipe(ready), 0);
    ASSERT_EQ(::pipe(stop), 0);
    ASSERT_EQ(::pipe(result), 0);
    const pid_t flood = ::fork();
    if (flood == 0) {
        ::close(ready[0]);
        ::close(stop[1]);
        ::close(result[0]);
        floodProcess(flooder, request, ready[1], stop[0], result[1]);
    }
    ASSERT_GT(flood, 0);
    ::close(ready[1]);
    ::close(stop[0]);
    ::close(result[1]);
    char byte;
    ASSERT_EQ(::read(ready[0], &byte, 1), 1) << "the flood got no answer";

    long peakKiB = residentKilobytes(*service);
    HelperResult probed;
    std::chrono::milliseconds took{};
    std::thread probing([&] {
        const Clock::time_point asked = Clock::now();
        probed = runHelper({"vxPListIsAdminProfile_XPC", probe}, other);
        took = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - asked);
    });
    // The flood goes on a while after the probe too, the memory watched.
    for (const Clock::time_point until = Clock::now() + std::chrono::seconds(2);
         Clock::now() < until;) {
        peakKiB = std::max(peakKiB, residentKilobytes(*service));
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    probing.join();
    ::close(stop[1]);
    FloodCounts counts;
    const bool reported = ::read(result[0], &counts, sizeof counts) == sizeof counts;
    int status = 0;
    ::waitpid(flood, &status, 0);
    ::close(ready[0]);
    ::close(result[0]);

    EXPECT_EQ(probed.output, "vxPListIsAdminProfile_XPC=TRUE\n");
    ASSERT_TRUE(reported && WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_EQ(counts.lost, 0) << "every request the bus hands the service is answered";
    EXPECT_EQ(counts.truths, 0) << "no text of the flood is a profile file";
    EXPECT_GT(counts.falsehoods, 0);
    EXPECT_LE(peakKiB - idleKiB, kFloodMemoryBoundKiB);
    std::cout << "flood: " << counts.sent << " writes of 4 MiB (" << kFloodInFlight
              << " in flight; " << counts.falsehoods << " answered FALSE, "
              << counts.refusedByTheBus << " refused by the bus)"
              << " by one user; another user's probe answered in " << took.count()
              << " ms; service resident " << idleKiB << " KiB idle, " << peakKiB
              << " KiB at most\n";
}

TEST(ServiceUnderLoad, ConcurrentWritersLeaveOneWholeTextPerFile) {
    runLoad(8, 16, 4);
}

TEST(ServiceUnderLoad, EightWritersOfOneFileLeaveOneOfTheirTexts) {
    runLoad(1, 8, 0);
}

} // namespace
} // namespace zrk::servicetest
