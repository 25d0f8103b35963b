// The plug-in's lock over a write sequence: where it lives, what it refuses,
// and that it keeps a second sequence out until the first ends.
#include "WriteSequenceLock.h"
#include "StoreTestSupport.h"

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

using namespace storetest;
using namespace std::chrono_literals;

namespace {

namespace fs = std::filesystem;

TEST(WriteSequenceLock, LivesOnlyWhereNoOneElseCanWrite) {
    TempDir dir;
    const std::string runtime = dir.file("runtime");
    const std::string tmp = dir.file("tmp");
    const std::string fallback = tmp + "/zrk5100-" + std::to_string(::getuid());
    const struct {
        const char* name;
        mode_t runtimeMode;       // 0: no runtime directory
        const char* fallbackKind; // what stands at the fallback name first
        std::string expected;     // "" refused
    } cases[] = {
        {"a private runtime directory", 0700, "", runtime},
        {"a runtime directory others may write in", 0770, "", fallback},
        {"no runtime directory", 0, "", fallback},
        {"the fallback taken by a link", 0, "link", ""},
        {"the fallback open to others", 0, "open", ""},
        {"the fallback taken by a file", 0, "file", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove_all(runtime);
        fs::remove_all(tmp);
        fs::create_directories(tmp);
        std::unique_ptr<ScopedEnv> runtimeEnv;
        if (c.runtimeMode != 0) {
            fs::create_directories(runtime);
            ::chmod(runtime.c_str(), c.runtimeMode);
            runtimeEnv = std::make_unique<ScopedEnv>("XDG_RUNTIME_DIR", runtime);
        } else {
            runtimeEnv = std::make_unique<ScopedEnv>("XDG_RUNTIME_DIR", dir.file("none"));
        }
        const ScopedEnv tmpEnv("TMPDIR", tmp);
        const std::string kind = c.fallbackKind;
        if (kind == "link") {
            fs::create_directories(dir.file("elsewhere"));
            ::chmod(dir.file("elsewhere").c_str(), 0700);
            fs::create_directory_symlink(dir.file("elsewhere"), fallback);
        } else if (kind == "open") {
            fs::create_directories(fallback);
            ::chmod(fallback.c_str(), 0755);
        } else if (kind == "file") {
            writeFile(fallback, "");
        }
        EXPECT_EQ(zrk::writeLockDirectory(), c.expected);
        zrk::UniqueFd lock = zrk::lockWriteSequence("ann", "zrk5100", 0ms);
        EXPECT_EQ(lock.valid(), !c.expected.empty());
        if (!c.expected.empty()) {
            EXPECT_TRUE(fs::exists(c.expected + "/ann-zrk5100-profile.lock"));
        }
    }
}

TEST(WriteSequenceLock, KeepsASecondSequenceOutUntilTheFirstEnds) {
    TempDir dir;
    const std::string runtime = dir.file("runtime");
    fs::create_directories(runtime);
    ::chmod(runtime.c_str(), 0700);
    const ScopedEnv env("XDG_RUNTIME_DIR", runtime);

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
