// The service under a slow printer and under SIGKILL, through the helper and
// a private bus: other callers are not held up by a walk, a user has one walk
// at a time, and a killed service leaves every profile file whole.
#include "HelperMethods.h"
#include "ProfileFileCheck.h"
#include "ServiceTestSupport.h"
#include "SplitCharEvery.h"
#include "StoreInternal.h"

#include <poll.h>
#include <signal.h>
#include <sys/inotify.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>
#include <sdbus-c++/sdbus-c++.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <memory>
#include <stdexcept>
#include <thread>

namespace zrk::servicetest {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr const char* kWalkRoot = "1.3.6.1.4.1.18334.1.1.1.1.6.13.1.1";
constexpr std::size_t kPieceCharacters = 90000;

std::vector<std::string> walkCommand(const std::string& user, const std::string& agent) {
    return {"mibwalk_XPC", "zrk5100", user, "snmpwalk", "-Os",    "-c",
            "snmpro",      "-v",      "1",  agent,      kWalkRoot};
}

std::string profilePath(const PrivateBus& bus, const std::string& user) {
    return bus.preferences() + user + "-zrk5100-profile.plist";
}

// A profile file of `entries` entries per group that carry a mark.
std::string profileText(const std::string& mark, int entries = kMaxProfileEntries) {
    auto lists = std::make_unique<ProfileList[]>(kProfileGroupCount);
    for (int g = 0; g < kProfileGroupCount; ++g) {
        for (int i = 0; i < entries; ++i) {
            ProfileEntry& e = lists[g].litem[i];
            e.iIndexOnDevice = 501 + i;
            e.iInMenu = kInMenuUserShown;
            e.iProfileClass = 2;
            e.iLocation = kLocationDisk;
            std::snprintf(e.FileName, sizeof e.FileName, "%s%03d.ICC", mark.c_str(), i);
            std::snprintf(e.ProfileName, sizeof e.ProfileName, "%s %d", mark.c_str(), i);
        }
        lists[g].iNum = entries;
    }
    std::string xml;
    EXPECT_TRUE(store::buildProfileXml(&lists[0], &lists[1], &lists[2], &xml));
    return xml;
}

// The requests of a piecewise write of the text.
std::vector<std::vector<std::string>> writeRequests(const std::string& url,
                                                    const std::string& text) {
    std::vector<std::vector<std::string>> requests;
    for (const std::string& piece : splitCharEvery(text, kPieceCharacters)) {
        requests.push_back({"writeDataToPlistFile_XPC", url, piece});
    }
    requests.push_back({"writeDataToPlistFileRename_XPC", url});
    return requests;
}

// A writer of its own (another print dialog, or another shell): a process
// that sends the requests it is told to through the helper, one at a time.
class WriterProcess {
public:
    WriterProcess(const Caller& caller, const std::vector<std::vector<std::string>>& requests) {
        int command[2];
        int result[2];
        if (::pipe(command) != 0 || ::pipe(result) != 0) {
            throw std::runtime_error("pipe failed");
        }
        pid_ = ::fork();
        if (pid_ == 0) {
            ::close(command[1]);
            ::close(result[0]);
            for (uint32_t index; ::read(command[0], &index, sizeof index) == sizeof index;) {
                const bool ok =
                    index < requests.size() &&
                    runHelper(requests[index], caller).output.find("=TRUE") != std::string::npos;
                const char byte = ok ? '1' : '0';
                if (::write(result[1], &byte, 1) != 1) {
                    break;
                }
            }
            ::_exit(0);
        }
        ::close(command[0]);
        ::close(result[1]);
        command_ = command[1];
        result_ = result[0];
    }
    ~WriterProcess() {
        ::close(command_);
        ::close(result_);
        ::waitpid(pid_, nullptr, 0);
    }
    // Sends request `index`; true when it was answered "TRUE".
    bool send(uint32_t index) {
        char byte = 0;
        return ::write(command_, &index, sizeof index) == sizeof index &&
               ::read(result_, &byte, 1) == 1 && byte == '1';
    }

private:
    pid_t pid_ = -1;
    int command_ = -1;
    int result_ = -1;
};

// An unprivileged caller's profile file on a private bus, holding an old
// text, for writers run by hand.
class ServiceWriters : public ::testing::Test {
protected:
    void SetUp() override {
        if (!caller) {
            GTEST_SKIP() << "no unprivileged caller";
        }
        bus.emplace();
        current = profilePath(*bus, caller->login);
        url = "file://" + current;
        writeFile(current, "<?xml old");
    }
    const std::optional<Caller> caller = unprivilegedCaller();
    std::optional<PrivateBus> bus;
    std::string current;
    std::string url;
};

// Two writers of one file by hand, their pieces interleaved. The texts have
// one layout, so one's first piece followed by the other's later pieces would
// read as a whole profile file made of both; the service refuses a first
// piece while another sequence is written, and pieces of another writer.
TEST_F(ServiceWriters, PiecesOfAnotherWriterNeverJoinASequence) {
    const std::string textA = profileText("A");
    const std::string textB = profileText("B");
    ASSERT_EQ(textA.size(), textB.size());
    const auto requestsA = writeRequests(url, textA);
    const auto requestsB = writeRequests(url, textB);
    WriterProcess a(*caller, requestsA);
    WriterProcess b(*caller, requestsB);

    // B's first piece is refused while A's sequence is written, and B's
    // later pieces never join A's.
    EXPECT_TRUE(a.send(0));
    EXPECT_FALSE(b.send(0));
    EXPECT_FALSE(b.send(1));
    for (uint32_t i = 1; i < requestsA.size(); ++i) {
        EXPECT_TRUE(a.send(i)) << "A's request " << i;
    }
    EXPECT_TRUE(readFile(current) == textA);
    // Pieces of two sequences sent from one process: the second sequence's
    // first piece is refused, so the first sequence is committed whole.
    writeFile(current, "<?xml old");
    std::vector<std::vector<std::string>> interleaved = {requestsB[0], requestsA[0]};
    interleaved.insert(interleaved.end(), requestsB.begin() + 1, requestsB.end());
    WriterProcess one(*caller, interleaved);
    for (uint32_t i = 0; i < interleaved.size(); ++i) {
        EXPECT_EQ(one.send(i), i != 1) << "request " << i;
    }
    EXPECT_TRUE(readFile(current) == textB);
}

// A writer that sent a first piece and exited (a print dialog that
// crashed): its sequence is abandoned at once, and the next dialog's whole
// write is committed right after.
TEST_F(ServiceWriters, ASequenceWhoseWriterExitedGivesWayAtOnce) {
    const std::string textB = profileText("B");
    const auto requestsB = writeRequests(url, textB);
    {
        WriterProcess crashed(*caller, writeRequests(url, profileText("A")));
        EXPECT_TRUE(crashed.send(0));
    }
    WriterProcess next(*caller, requestsB);
    for (uint32_t i = 0; i < requestsB.size(); ++i) {
        EXPECT_TRUE(next.send(i)) << "request " << i;
    }
    EXPECT_TRUE(readFile(current) == textB);
}

TEST(ServiceUnderASlowPrinter, OtherCallersAreAnsweredWhileAWalkRuns) {
    const std::vector<Caller> callers = distinctCallers(2);
    if (callers.empty()) {
        GTEST_SKIP() << "no caller";
    }
    const Caller& walker = callers[0];
    const Caller& other = callers.size() > 1 ? callers[1] : callers[0];
    PrivateBus bus;
    ::chmod(bus.root().c_str(), 0755);
    // Every answer 150 ms late: 22 requests for three rows, over 3 s.
    AgentProcess agent("slow", "three-rows.txt");

    std::atomic<bool> walkDone{false};
    std::string walkReply;
    std::thread walk([&] {
        walkReply = runHelper(walkCommand(walker.login, agent.address()), walker).output;
        walkDone = true;
    });
    for (auto waited = 0ms; agent.requestCount() == 0 && waited < 10s; waited += 10ms) {
        std::this_thread::sleep_for(10ms);
    }
    ASSERT_GT(agent.requestCount(), 0u) << "the walk has started";

    // A second walk of the same user is refused at once; another user's
    // file request is answered while the first walk goes on.
    EXPECT_EQ(runHelper(walkCommand(walker.login, agent.address()), walker).output,
              "mibwalk_XPC=iRet=-1\n");
    const Clock::time_point asked = Clock::now();
    const std::string probe =
        runHelper({"vxPListIsAdminProfile_XPC", profilePath(bus, other.login)}, other).output;
    const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - asked);
    const bool walkStillRunning = !walkDone;
    walk.join();

    EXPECT_EQ(probe, "vxPListIsAdminProfile_XPC=TRUE\n");
    EXPECT_TRUE(walkStillRunning) << "the probe waited for the walk (" << took.count() << " ms)";
    EXPECT_EQ(walkReply, "mibwalk_XPC=iRet=0\n");
    std::cout << "probe during a slow walk answered in " << took.count() << " ms\n";
}

// The service killed after each request of a write sequence: the file is
// always the old text or the new one, and the next request starts the
// service again.
TEST(ServiceKilled, AfterEachRequestOfAWriteTheFileIsWhole) {
    const std::optional<Caller> caller = unprivilegedCaller();
    if (!caller) {
        GTEST_SKIP() << "no unprivileged caller";
    }
    PrivateBus bus;
    const std::string current = profilePath(bus, caller->login);
    const std::string url = "file://" + current;
    const std::string oldText = profileText("OLD");
    const std::string newText = profileText("NEW");
    std::vector<std::vector<std::string>> requests;
    for (const std::string& piece : splitCharEvery(newText, kPieceCharacters)) {
        requests.push_back({"writeDataToPlistFile_XPC", url, piece});
    }
    requests.push_back({"writeDataToPlistFileRename_XPC", url});
    ASSERT_GT(requests.size(), 3u);

    for (std::size_t sent = 1; sent <= requests.size(); ++sent) {
        SCOPED_TRACE("killed after request " + std::to_string(sent));
        writeFile(current, oldText);
        std::filesystem::remove(current + ".dummy");
        for (std::size_t i = 0; i < sent; ++i) {
            ASSERT_NE(runHelper(requests[i], *caller).output.find("=TRUE"), std::string::npos);
        }
        bus.killService();
        const bool committed = sent == requests.size();
        EXPECT_TRUE(readFile(current) == (committed ? newText : oldText));
        // The next whole write activates the service again and succeeds.
        for (const auto& request : requests) {
            ASSERT_NE(runHelper(request, *caller).output.find("=TRUE"), std::string::npos);
        }
        EXPECT_TRUE(readFile(current) == newText);
    }
}

// Watches a folder for created files; closes its descriptor however the
// test ends.
class CreationWatch {
public:
    explicit CreationWatch(const std::string& folder)
        : fd_(::inotify_init1(IN_CLOEXEC | IN_NONBLOCK)) {
        if (fd_ >= 0 && ::inotify_add_watch(fd_, folder.c_str(), IN_CREATE) < 0) {
            ::close(fd_);
            fd_ = -1;
        }
    }
    ~CreationWatch() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    CreationWatch(const CreationWatch&) = delete;
    CreationWatch& operator=(const CreationWatch&) = delete;

    bool watching() const { return fd_ >= 0; }

    // Waits until a file whose name starts with prefix is created; false
    // after the time limit.
    bool waitFor(const std::string& prefix, std::chrono::seconds limit) const {
        for (const Clock::time_point end = Clock::now() + limit; Clock::now() < end;) {
            pollfd fd{fd_, POLLIN, 0};
            if (::poll(&fd, 1, 100) <= 0) {
                continue;
            }
            alignas(inotify_event) char buffer[4096];
            const ssize_t n = ::read(fd_, buffer, sizeof buffer);
            for (ssize_t at = 0; at < n;) {
                const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
                if (event->len > 0 && std::string(event->name).rfind(prefix, 0) == 0) {
                    return true;
                }
                at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
            }
        }
        return false;
    }

private:
    int fd_;
};

// The service killed while a walk's merge writes the file: the file is the
// old text or the merged one, never part of either.
TEST(ServiceKilled, InTheMiddleOfAMergeTheFileIsWhole) {
    const std::optional<Caller> caller = unprivilegedCaller();
    if (!caller) {
        GTEST_SKIP() << "no unprivileged caller";
    }
    PrivateBus bus;
    AgentProcess agent("normal", "three-rows.txt");
    const std::string current = profilePath(bus, caller->login);
    // Room left in every group for the printer's rows.
    const std::string oldText = profileText("OLD", 400);
    writeFile(current, oldText);

    // The merge writes a temporary file beside the profile file and renames
    // it: the service is killed as soon as that file appears.
    const CreationWatch watch(bus.preferences());
    ASSERT_TRUE(watch.watching());
    std::thread walk([&] { runHelper(walkCommand(caller->login, agent.address()), *caller); });
    const bool killed = watch.waitFor(caller->login + "-zrk5100-profile.plist.", 20s);
    if (killed) {
        bus.killService();
    }
    walk.join();
    ASSERT_TRUE(killed) << "the merge never wrote";

    const std::string after = readFile(current);
    if (after != oldText) {
        EXPECT_EQ(store::checkProfileFile(current), store::ProfileFileState::Complete);
        EXPECT_NE(after.find("OFFSRGB.ICC"), std::string::npos) << "the merged text";
    }
    // The next walk starts the service again and merges.
    EXPECT_EQ(runHelper(walkCommand(caller->login, agent.address()), *caller).output,
              "mibwalk_XPC=iRet=0\n");
    EXPECT_NE(readFile(current).find("OFFSRGB.ICC"), std::string::npos);
}

// SIGTERM (how systemd stops the service) while a whole write is in hand:
// the write is finished and answered, then the service ends, and the next
// request starts it again.
TEST(ServiceStopped, SigtermFinishesTheRequestInHand) {
    const std::optional<Caller> caller = unprivilegedCaller();
    if (!caller) {
        GTEST_SKIP() << "no unprivileged caller";
    }
    PrivateBus bus;
    const std::string current = profilePath(bus, caller->login);
    writeFile(current, "<?xml old");
    // A whole profile file of 4 MiB (a long comment in it), sent as the
    // tests' own user, which may write it: a while in hand.
    std::string text = profileText("NEW");
    text.insert(text.find("<dict>"),
                "<!--" + std::string((4u << 20) - text.size() - 8, 'c') + "-->");
    ASSERT_LE(text.size(), 4u << 20);
    auto connection = sdbus::createSystemBusConnection();
    auto proxy = sdbus::createProxy(*connection, helper::kServiceName, helper::kObjectPath);
    std::string started;
    proxy->callMethod("vxPListExistProfile_XPC")
        .onInterface(helper::kInterfaceName)
        .withArguments(current)
        .storeResultsTo(started);
    const std::optional<pid_t> service = bus.servicePid();
    ASSERT_TRUE(service);

    const CreationWatch watch(bus.preferences());
    ASSERT_TRUE(watch.watching());
    std::string reply;
    std::thread write([&] {
        try {
            proxy->callMethod("writeDictionaryToPlistFile_XPC")
                .onInterface(helper::kInterfaceName)
                .withArguments("file://" + current + ":AddURL:END" + text)
                .storeResultsTo(reply);
        } catch (const sdbus::Error& error) {
            reply = error.getName();
        }
    });
    const bool inHand = watch.waitFor(caller->login + "-zrk5100-profile.plist.", 20s);
    ::kill(*service, SIGTERM);
    write.join();
    ASSERT_TRUE(inHand) << "the write never began";

    EXPECT_EQ(reply, "TRUE");
    EXPECT_TRUE(readFile(current) == text);
    for (auto waited = 0ms; bus.serviceRunning() && waited < 10s; waited += 10ms) {
        std::this_thread::sleep_for(10ms);
    }
    EXPECT_FALSE(bus.serviceRunning());
    EXPECT_EQ(runHelper({"vxPListExistProfile_XPC", current}, *caller).output,
              "vxPListExistProfile_XPC=TRUE\n");
}

} // namespace
} // namespace zrk::servicetest
