#include "WalkSandbox.h"

#include <grp.h>
#include <pwd.h>
#include <seccomp.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/prctl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <initializer_list>
#include <memory>

namespace zrk {

namespace {

struct Account {
    uid_t uid;
    gid_t gid;
};

bool walkAccount(Account* account) {
    for (const char* name : {kWalkAccount, kWalkFallbackAccount}) {
        const passwd* entry = ::getpwnam(name);
        if (entry != nullptr) {
            // An account that is root in disguise is no drop at all.
            if (entry->pw_uid == 0 || entry->pw_gid == 0) {
                return false;
            }
            *account = Account{entry->pw_uid, entry->pw_gid};
            return true;
        }
    }
    return false;
}

bool idsAre(const Account& account) {
    uid_t ruid, euid, suid;
    gid_t rgid, egid, sgid;
    return ::getresuid(&ruid, &euid, &suid) == 0 && ::getresgid(&rgid, &egid, &sgid) == 0 &&
           ruid == account.uid && euid == account.uid && suid == account.uid &&
           rgid == account.gid && egid == account.gid && sgid == account.gid &&
           ::getgroups(0, nullptr) == 0;
}

bool becomeWalkAccount() {
    Account account{};
    if (!walkAccount(&account)) {
        return false;
    }
    if (::setgroups(0, nullptr) != 0 || ::setresgid(account.gid, account.gid, account.gid) != 0 ||
        ::setresuid(account.uid, account.uid, account.uid) != 0 || !idsAre(account)) {
        return false;
    }
    // Nothing of root is left to go back to.
    return ::setuid(0) != 0 && ::setgid(0) != 0;
}

struct FilterDeleter {
    void operator()(void* filter) const { seccomp_release(filter); }
};
using Filter = std::unique_ptr<void, FilterDeleter>;

bool allow(const Filter& filter, int call) {
    return seccomp_rule_add(filter.get(), SCMP_ACT_ALLOW, call, 0) == 0;
}

bool allowOnDescriptor(const Filter& filter, int call, int fd) {
    return seccomp_rule_add(filter.get(), SCMP_ACT_ALLOW, call, 1,
                            SCMP_A0(SCMP_CMP_EQ, static_cast<scmp_datum_t>(fd))) == 0;
}

// Memory calls whose protection (argument `protArgument`) is never
// executable.
bool allowWithoutExec(const Filter& filter, int call, unsigned protArgument) {
    const scmp_arg_cmp noExec{protArgument, SCMP_CMP_MASKED_EQ, PROT_EXEC, 0};
    return seccomp_rule_add(filter.get(), SCMP_ACT_ALLOW, call, 1, noExec) == 0;
}

} // namespace

bool dropWalkPrivileges(pid_t expectedParent) {
    if (::geteuid() == 0 && !becomeWalkAccount()) {
        return false;
    }
    if (::prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) != 0 ||
        ::prctl(PR_GET_NO_NEW_PRIVS, 0, 0, 0, 0) != 1) {
        return false;
    }
    // The change of ids cleared the parent-death signal; the parent may have
    // ended meanwhile.
    if (::prctl(PR_SET_PDEATHSIG, SIGKILL) != 0 || ::getppid() != expectedParent) {
        return false;
    }
    // No one of the walk's account may attach to it or read its memory.
    return ::prctl(PR_SET_DUMPABLE, 0) == 0;
}

bool restrictWalkSystemCalls(int socket, int resultFd) {
    // Standard output gets a buffer of its own now: left to itself, the
    // library would ask what the descriptor is (fstat) at its first print.
    static char outputBuffer[BUFSIZ];
    std::setvbuf(stdout, outputBuffer, _IOFBF, sizeof outputBuffer);

    const Filter filter(seccomp_init(SCMP_ACT_KILL_PROCESS));
    if (!filter) {
        return false;
    }
    bool added = true;
    // Opening anything fails rather than kills: the library may try a file
    // it can do without.
    for (int call : {SCMP_SYS(open), SCMP_SYS(openat), SCMP_SYS(openat2), SCMP_SYS(creat)}) {
        added = added && seccomp_rule_add(filter.get(), SCMP_ACT_ERRNO(EACCES), call, 0) == 0;
    }
    // The SNMP exchange on the session's socket, and waiting for it.
    // (net-snmp asks for the local address of every answer it receives.)
    for (int call : {SCMP_SYS(sendto), SCMP_SYS(sendmsg), SCMP_SYS(recvfrom), SCMP_SYS(recvmsg),
                     SCMP_SYS(getsockname)}) {
        added = added && allowOnDescriptor(filter, call, socket);
    }
    for (int call : {SCMP_SYS(select), SCMP_SYS(pselect6), SCMP_SYS(poll), SCMP_SYS(ppoll)}) {
        added = added && allow(filter, call);
    }
    // The clock.
    for (int call : {SCMP_SYS(clock_gettime), SCMP_SYS(gettimeofday), SCMP_SYS(time)}) {
        added = added && allow(filter, call);
    }
    // Memory.
    for (int call : {SCMP_SYS(brk), SCMP_SYS(munmap), SCMP_SYS(mremap), SCMP_SYS(madvise)}) {
        added = added && allow(filter, call);
    }
    added = added && allowWithoutExec(filter, SCMP_SYS(mmap), 2) &&
            allowWithoutExec(filter, SCMP_SYS(mprotect), 2);
    // The result pipe, and what the library prints.
    for (int fd : {STDOUT_FILENO, STDERR_FILENO, resultFd}) {
        added = added && allowOnDescriptor(filter, SCMP_SYS(write), fd) &&
                allowOnDescriptor(filter, SCMP_SYS(writev), fd);
    }
    // Ending, and what the C library (and a sanitizer's run-time) does on
    // the way, closing the session's socket included.
    for (int call : {SCMP_SYS(close), SCMP_SYS(exit), SCMP_SYS(exit_group), SCMP_SYS(rt_sigreturn),
                     SCMP_SYS(rt_sigprocmask), SCMP_SYS(sigaltstack), SCMP_SYS(futex),
                     SCMP_SYS(getpid), SCMP_SYS(gettid)}) {
        added = added && allow(filter, call);
    }
    return added && seccomp_load(filter.get()) == 0;
}

} // namespace zrk
