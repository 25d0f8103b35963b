// Shared pieces of the walk tests: a temporary installation root with the
// store pointed at one user's files, lists read from and written to the
// profile file, and the agents the walk talks to (the simulated printer and
// the misbehaving test agent), each stopped however the test ends.
#pragma once

#include "ProfileTypes.h"
#include "StorePaths.h"

#include <sys/types.h>

#include <array>
#include <memory>
#include <string>
#include <vector>

namespace zrk::test {

// Source tree folders, set by the build.
std::string sourcePath(const std::string& relative);
std::string fixturePath(const std::string& name);

// A temporary folder, removed with everything in it.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

// A temporary installation root (ZRK5100_ROOT) holding the preferences
// folder, with the store path set pointed at the files of user "tester".
class ProfileRoot {
public:
    explicit ProfileRoot(bool withPreferencesFolder = true);
    ~ProfileRoot();
    const StorePaths& paths() const { return paths_; }
    const std::string& root() const { return dir_.path(); }

private:
    TempDir dir_;
    StorePaths paths_;
    std::unique_ptr<StorePathScope> scope_;
};

using Groups = std::array<ProfileList, kProfileGroupCount>;

// Zeroed lists on the heap (three lists are 126 KB).
std::unique_ptr<Groups> emptyGroups();
std::unique_ptr<Groups> readGroups(int32_t* status = nullptr);
void writeGroups(const Groups& groups);

ProfileEntry entry(int32_t state, const char* fileName, int32_t location = kLocationDisk,
                   int32_t index = 1, int32_t profileClass = 3, const char* profileName = "");
void append(ProfileList& list, const ProfileEntry& e);

// States of the occupied slots, in order.
std::vector<int32_t> states(const ProfileList& list);
std::vector<std::string> fileNames(const ProfileList& list);

// Runs a program (no shell) and returns its standard output; exitStatus gets
// the exit status (-1 if it did not exit normally).
std::string runProgram(const std::vector<std::string>& argv, int* exitStatus = nullptr);

// A UDP port on 127.0.0.1 that was free a moment ago.
int freeUdpPort();

// The test agent (tools/testagent) on 127.0.0.1, on a port of its choosing.
class TestAgent {
public:
    TestAgent(const std::string& mode, const std::string& rowsFixture, int after = 0);
    ~TestAgent();
    TestAgent(const TestAgent&) = delete;
    TestAgent& operator=(const TestAgent&) = delete;
    std::string address() const { return "127.0.0.1:" + std::to_string(port_); }
    // The requests received so far, one "get OID" or "getnext OID" each,
    // without retransmissions; attempts() has them too, marked " again".
    std::vector<std::string> requests() const;
    std::vector<std::string> attempts() const;

private:
    TempDir dir_;
    pid_t pid_ = -1;
    int port_ = 0;
};

// The simulated printer (tools/simprinter) on 127.0.0.1 and a free port,
// serving a copy of a row file that setRows can replace.
class SimPrinter {
public:
    explicit SimPrinter(const std::string& rowsFixture);
    ~SimPrinter();
    SimPrinter(const SimPrinter&) = delete;
    SimPrinter& operator=(const SimPrinter&) = delete;
    bool running() const { return running_; }
    std::string address() const { return "127.0.0.1:" + std::to_string(port_); }
    void setRows(const std::string& contents);

private:
    std::vector<std::string> command(const std::string& verb) const;
    TempDir dir_;
    int port_ = 0;
    bool running_ = false;
};

// mib_walk on a vector of strings.
int walk(std::vector<std::string> args);

// The walk vector the panel sends, for an agent address and extra options.
std::vector<std::string> walkArgs(const std::string& agent,
                                  const std::vector<std::string>& options = {});

} // namespace zrk::test
