#include "WalkTestSupport.h"

#include "InstallRoot.h"
#include "MibWalk.h"
#include "VXPList.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string_view>

extern char** environ;

namespace zrk::test {

namespace fs = std::filesystem;

std::string sourcePath(const std::string& relative) {
    return std::string(ZRK_SOURCE_DIR) + "/" + relative;
}

std::string fixturePath(const std::string& name) {
    return sourcePath("tests/Walk/fixtures/" + name);
}

TempDir::TempDir() {
    std::string pattern = (fs::temp_directory_path() / "zrk-walk-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("mkdtemp failed");
    }
    path_ = pattern;
}

TempDir::~TempDir() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
}

ProfileRoot::ProfileRoot(bool withPreferencesFolder) {
    ::setenv(kInstallRootVariable, dir_.path().c_str(), 1);
    if (withPreferencesFolder) {
        fs::create_directories(resolveInstallPath(kPreferencesDirectory));
    }
    if (!formStorePaths("tester", kModelToken, &paths_)) {
        throw std::runtime_error("no store paths");
    }
    scope_ = std::make_unique<StorePathScope>(paths_);
}

ProfileRoot::~ProfileRoot() {
    scope_.reset();
    ::unsetenv(kInstallRootVariable);
}

std::unique_ptr<Groups> emptyGroups() {
    return std::make_unique<Groups>();
}

std::unique_ptr<Groups> readGroups(int32_t* status) {
    auto groups = emptyGroups();
    const int32_t result = VXPListReadProfile_All(
        &(*groups)[kProfileGroupRGB], &(*groups)[kProfileGroupSIM], &(*groups)[kProfileGroupDST]);
    if (status != nullptr) {
        *status = result;
    }
    return groups;
}

void writeGroups(const Groups& groups) {
    if (VXPListWriteProfile_All(&groups[kProfileGroupRGB], &groups[kProfileGroupSIM],
                                &groups[kProfileGroupDST]) != 0) {
        throw std::runtime_error("cannot write the profile file");
    }
}

ProfileEntry entry(int32_t state, const char* fileName, int32_t location, int32_t index,
                   int32_t profileClass, const char* profileName) {
    ProfileEntry e{};
    e.iInMenu = state;
    e.iIndexOnDevice = index;
    e.iProfileClass = profileClass;
    e.iLocation = location;
    std::strncpy(e.FileName, fileName, sizeof e.FileName - 1);
    std::strncpy(e.ProfileName, profileName, sizeof e.ProfileName - 1);
    return e;
}

void append(ProfileList& list, const ProfileEntry& e) {
    list.litem[list.iNum++] = e;
}

std::vector<int32_t> states(const ProfileList& list) {
    std::vector<int32_t> out;
    for (int i = 0; i < list.iNum; ++i) {
        out.push_back(list.litem[i].iInMenu);
    }
    return out;
}

std::vector<std::string> fileNames(const ProfileList& list) {
    std::vector<std::string> out;
    for (int i = 0; i < list.iNum; ++i) {
        out.emplace_back(list.litem[i].FileName);
    }
    return out;
}

namespace {

// Starts argv with standard output on a pipe; returns the pid and the read end.
pid_t spawnWithPipe(const std::vector<std::string>& argv, int* readEnd) {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) {
        throw std::runtime_error("pipe failed");
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
    std::vector<char*> args;
    for (const std::string& a : argv) {
        args.push_back(const_cast<char*>(a.c_str()));
    }
    args.push_back(nullptr);
    pid_t pid = -1;
    const int rc = ::posix_spawn(&pid, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(fds[1]);
    if (rc != 0) {
        ::close(fds[0]);
        throw std::runtime_error("cannot start " + argv[0]);
    }
    *readEnd = fds[0];
    return pid;
}

std::string readLine(int fd) {
    std::string line;
    char c;
    while (::read(fd, &c, 1) == 1 && c != '\n') {
        line += c;
    }
    return line;
}

} // namespace

std::string runProgram(const std::vector<std::string>& argv, int* exitStatus) {
    int fd = -1;
    const pid_t pid = spawnWithPipe(argv, &fd);
    std::string out;
    char buffer[4096];
    ssize_t n;
    while ((n = ::read(fd, buffer, sizeof buffer)) > 0) {
        out.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fd);
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (exitStatus != nullptr) {
        *exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    return out;
}

int freeUdpPort() {
    const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = 0;
    socklen_t length = sizeof addr;
    int port = 0;
    if (fd >= 0 && ::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &length) == 0) {
        port = ntohs(addr.sin_port);
    }
    if (fd >= 0) {
        ::close(fd);
    }
    if (port == 0) {
        throw std::runtime_error("no free UDP port");
    }
    return port;
}

TestAgent::TestAgent(const std::string& mode, const std::string& rowsFixture, int after) {
    int fd = -1;
    pid_ =
        spawnWithPipe({"/usr/bin/python3", sourcePath("tools/testagent/testagent.py"), "--rows",
                       fixturePath(rowsFixture), "--mode", mode, "--after", std::to_string(after),
                       "--lifetime", "120", "--record", dir_.path() + "/requests.txt"},
                      &fd);
    const std::string line = readLine(fd);
    ::close(fd);
    port_ = std::atoi(line.c_str());
    if (port_ <= 0) {
        ::kill(pid_, SIGTERM);
        ::waitpid(pid_, nullptr, 0);
        throw std::runtime_error("the test agent did not start");
    }
}

TestAgent::~TestAgent() {
    ::kill(pid_, SIGTERM);
    ::waitpid(pid_, nullptr, 0);
}

std::vector<std::string> TestAgent::attempts() const {
    std::vector<std::string> out;
    std::ifstream in(dir_.path() + "/requests.txt");
    for (std::string line; std::getline(in, line);) {
        out.push_back(line);
    }
    return out;
}

std::vector<std::string> TestAgent::requests() const {
    std::vector<std::string> out = attempts();
    constexpr std::string_view kAgain = " again";
    std::erase_if(out, [&](const std::string& line) { return line.ends_with(kAgain); });
    return out;
}

SimPrinter::SimPrinter(const std::string& rowsFixture) {
    fs::copy_file(fixturePath(rowsFixture), dir_.path() + "/rows.txt");
    for (int attempt = 0; attempt < 3 && !running_; ++attempt) {
        port_ = freeUdpPort();
        int status = -1;
        runProgram(command("start"), &status);
        running_ = status == 0;
    }
}

SimPrinter::~SimPrinter() {
    if (running_) {
        runProgram(command("stop"));
    }
}

std::vector<std::string> SimPrinter::command(const std::string& verb) const {
    std::vector<std::string> argv = {"/bin/bash",
                                     sourcePath("tools/simprinter/simprinter"),
                                     verb,
                                     "--addr",
                                     "127.0.0.1",
                                     "--port",
                                     std::to_string(port_),
                                     "--state",
                                     dir_.path() + "/state"};
    if (verb == "start") {
        // The printer also ends with this process, however the test ends.
        argv.insert(argv.end(), {"--rows", dir_.path() + "/rows.txt", "--watch",
                                 std::to_string(::getpid()), "--lifetime", "300"});
    }
    return argv;
}

void SimPrinter::setRows(const std::string& contents) {
    // Renamed into place so the table script never reads half a file.
    const std::string temporary = dir_.path() + "/rows.txt.new";
    std::ofstream(temporary) << contents;
    fs::rename(temporary, dir_.path() + "/rows.txt");
}

int walk(std::vector<std::string> args) {
    std::vector<char*> argv;
    for (std::string& a : args) {
        argv.push_back(a.data());
    }
    argv.push_back(nullptr);
    return mib_walk(static_cast<int>(args.size()), argv.data());
}

std::vector<std::string> walkArgs(const std::string& agent,
                                  const std::vector<std::string>& options) {
    std::vector<std::string> args = {"snmpwalk", "-Os", "-c", "snmpro", "-v", "1"};
    args.insert(args.end(), options.begin(), options.end());
    args.push_back(agent);
    args.push_back("1.3.6.1.4.1.18334.1.1.1.1.6.13.1.1");
    return args;
}

} // namespace zrk::test
