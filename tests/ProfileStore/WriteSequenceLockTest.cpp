// The plug-in's lock over a write sequence: where it lives, what it refuses,
// and that it keeps a second sequence out until the first ends.
#include "WriteSequenceLock.h"
#include "StoreTestSupport.h"

#include "InstallRoot.h"

#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <memory>

using namespace storetest;
using namespace std::chrono_literals;

namespace {

namespace fs = std::filesystem;

// The home folder's lock, or nothing where the home folder is not private.
std::string homeLock() {
    const passwd* entry = ::getpwuid(::getuid());
    struct stat info {};
    if (entry == nullptr || ::stat(entry->pw_dir, &info) != 0 || !S_ISDIR(info.st_mode) ||
        info.st_uid != ::getuid() || (info.st_mode & 022) != 0) {
        return "";
    }
    const std::string home = entry->pw_dir;
    return (home == "/" ? "" : home) + "/.ann-zrk5100-profile.lock";
}

TEST(WriteSequenceLock, OnePlaceForEveryProcessOfAUserThatNoOneElseCanTake) {
    TempDir dir;
    const ScopedEnv root(zrk::kInstallRootVariable, dir.path());
    const std::string runtime = dir.file("run/user/" + std::to_string(::getuid()));
    const std::string runtimeLock = runtime + "/ann-zrk5100-profile.lock";
    // What a process's environment may say; none of it moves the lock.
    const std::string elsewhere = dir.file("elsewhere");
    const std::string tmp = dir.file("tmp");
    const std::string oldFallback = tmp + "/zrk5100-" + std::to_string(::getuid());
    const struct {
        const char* name;
        const char* runtimeKind; // what stands at the runtime folder's name
        bool environment;        // XDG_RUNTIME_DIR and TMPDIR point elsewhere
        std::string expected;
    } cases[] = {
        {"the session's runtime folder", "private", false, runtimeLock},
        {"the same, whatever the environment says", "private", true, runtimeLock},
        {"no runtime folder: the home folder", "", false, homeLock()},
        {"the same, whatever the environment says", "", true, homeLock()},
        {"a runtime folder others may write in", "open", false, homeLock()},
        {"a link at the runtime folder's name", "link", false, homeLock()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove_all(dir.file("run"));
        fs::remove_all(elsewhere);
        fs::remove_all(tmp);
        fs::create_directories(elsewhere);
        ::chmod(elsewhere.c_str(), 0700);
        fs::create_directories(oldFallback);
        ::chmod(oldFallback.c_str(), 0700);
        fs::create_directories(fs::path(runtime).parent_path());
        const std::string kind = c.runtimeKind;
        if (kind == "private" || kind == "open") {
            fs::create_directories(runtime);
            ::chmod(runtime.c_str(), kind == "private" ? 0700 : 0770);
        } else if (kind == "link") {
            fs::create_directory_symlink(elsewhere, runtime);
        }
        std::unique_ptr<ScopedEnv> xdg, tmpdir;
        if (c.environment) {
            xdg = std::make_unique<ScopedEnv>("XDG_RUNTIME_DIR", elsewhere);
            tmpdir = std::make_unique<ScopedEnv>("TMPDIR", tmp);
        }
        EXPECT_EQ(zrk::writeLockPath("ann", "zrk5100"), c.expected);
        zrk::UniqueFd lock = zrk::lockWriteSequence("ann", "zrk5100", 0ms);
        EXPECT_EQ(lock.valid(), !c.expected.empty());
        EXPECT_TRUE(fs::is_empty(elsewhere) && fs::is_empty(oldFallback));
    }
    fs::remove(homeLock());
}

// Another user cannot make the lock file or hold it: the place is a folder
// that only the user writes in, and the file is the user's own.
TEST(WriteSequenceLock, AnotherUserCannotTakeIt) {
    const passwd* other = ::getpwnam("nobody");
    if (::geteuid() != 0 || other == nullptr) {
        GTEST_SKIP() << "needs root to act as another user";
    }
    TempDir dir;
    const ScopedEnv root(zrk::kInstallRootVariable, dir.path());
    const std::string runtime = dir.file("run/user/" + std::to_string(::getuid()));
    fs::create_directories(runtime);
    ::chmod(runtime.c_str(), 0700);
    ::chmod(dir.path().c_str(), 0755);
    ::chmod(dir.file("run").c_str(), 0755);
    ::chmod(dir.file("run/user").c_str(), 0755);
    const std::string path = zrk::writeLockPath("ann", "zrk5100");
    ASSERT_FALSE(path.empty());
    // As "nobody": neither making the file nor opening one to lock it.
    for (bool exists : {false, true}) {
        SCOPED_TRACE(exists ? "the file exists" : "no file yet");
        if (exists) {
            zrk::UniqueFd made = zrk::lockWriteSequence("ann", "zrk5100", 0ms);
            ASSERT_TRUE(made.valid());
        }
        const pid_t pid = ::fork();
        if (pid == 0) {
            if (::setgroups(0, nullptr) != 0 || ::setgid(other->pw_gid) != 0 ||
                ::setuid(other->pw_uid) != 0) {
                ::_exit(2);
            }
            const int fd = ::open(path.c_str(), O_RDONLY | O_CREAT | O_NOFOLLOW, 0644);
            ::_exit(fd >= 0 && ::flock(fd, LOCK_EX | LOCK_NB) == 0 ? 0 : 1);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(pid, &status, 0), pid);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << "status " << status;
        EXPECT_TRUE(zrk::lockWriteSequence("ann", "zrk5100", 0ms).valid());
    }
}

TEST(WriteSequenceLock, KeepsASecondSequenceOutUntilTheFirstEnds) {
    TempDir dir;
    const ScopedEnv root(zrk::kInstallRootVariable, dir.path());
    const std::string runtime = dir.file("run/user/" + std::to_string(::getuid()));
    fs::create_directories(runtime);
    ::chmod(runtime.c_str(), 0700);

    // Another process (another print dialog) holds the lock.
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t holder = ::fork();
    if (holder == 0) {
        zrk::UniqueFd held = zrk::lockWriteSequence("ann", "zrk5100", 0ms);
        const char byte = held.valid() ? '1' : '0';
        (void)::write(ready[1], &byte, 1);
        ::pause();
        ::_exit(0);
    }
    ::close(ready[1]);
    char byte = 0;
    ASSERT_EQ(::read(ready[0], &byte, 1), 1);
    ::close(ready[0]);
    ASSERT_EQ(byte, '1');

    EXPECT_FALSE(zrk::lockWriteSequence("ann", "zrk5100", 100ms).valid());
    EXPECT_TRUE(zrk::lockWriteSequence("bob", "zrk5100", 0ms).valid()) << "another user's file";

    // A holder that dies gives the lock up.
    ::kill(holder, SIGKILL);
    ::waitpid(holder, nullptr, 0);
    zrk::UniqueFd mine = zrk::lockWriteSequence("ann", "zrk5100", 1000ms);
    EXPECT_TRUE(mine.valid());
    EXPECT_FALSE(zrk::lockWriteSequence("ann", "zrk5100", 0ms).valid())
        << "one process's second sequence waits too";
}

} // namespace
