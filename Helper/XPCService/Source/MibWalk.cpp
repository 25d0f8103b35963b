#include "MibWalk.h"

#include "LogText.h"
#include "SnmpEnvironment.h"
#include "SpoolPlist.h"
#include "VXPList.h"
#include "WalkArguments.h"

#include <net-snmp/net-snmp-config.h>
#include <net-snmp/net-snmp-includes.h>

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <mutex>
#include <string>

namespace zrk {

long numprinted = 0;
char sDEBUGmsg[kDebugMessageSize];

namespace {

std::chrono::milliseconds gWalkTimeLimit = kWalkTimeLimit;

constexpr const char* kWalkApplication = "snmpwalk";

// mib-2, the root when none is given.
const oid objid_mib[] = {1, 3, 6, 1, 2, 1};

struct WalkOption {
    const char* token;
    int storeId;
    char letter;
};

const WalkOption kWalkOptions[] = {
    {"includeRequested", kWalkIncludeRequested, 'i'},
    {"printStatistics", kWalkPrintStatistics, 'p'},
    {"dontCheckOrdering", kWalkDontCheckOrdering, 'c'},
};

// The option values that every walk starts from: false, unless net-snmp's
// configuration files set them.
bool gOptionDefaults[std::size(kWalkOptions)];

// Registers the options and starts net-snmp once per process. Registering
// again for every walk would only grow net-snmp's lists.
void initialiseOnce() {
    static std::once_flag once;
    std::call_once(once, [] {
        prepareSnmpEnvironment();
        for (const WalkOption& option : kWalkOptions) {
            netsnmp_ds_register_config(ASN_BOOLEAN, kWalkApplication, option.token,
                                       NETSNMP_DS_APPLICATION_ID, option.storeId);
        }
        init_snmp(NETSNMP_APPLICATION_CONFIG_TYPE);
        for (std::size_t i = 0; i < std::size(kWalkOptions); ++i) {
            gOptionDefaults[i] =
                netsnmp_ds_get_boolean(NETSNMP_DS_APPLICATION_ID, kWalkOptions[i].storeId) != 0;
        }
    });
    // A -C given to one walk must not carry over to the next request.
    for (std::size_t i = 0; i < std::size(kWalkOptions); ++i) {
        netsnmp_ds_set_boolean(NETSNMP_DS_APPLICATION_ID, kWalkOptions[i].storeId,
                               gOptionDefaults[i] ? 1 : 0);
    }
}

bool option(int storeId) {
    return netsnmp_ds_get_boolean(NETSNMP_DS_APPLICATION_ID, storeId) != 0;
}

// One GET of one identifier; the variables that come back are counted and
// printed on standard output, never spooled.
void getAndPrint(netsnmp_session* session, const oid* name, std::size_t nameLength) {
    netsnmp_pdu* pdu = snmp_pdu_create(SNMP_MSG_GET);
    if (pdu == nullptr) {
        return;
    }
    snmp_add_null_var(pdu, name, nameLength);
    netsnmp_pdu* response = nullptr;
    const int status = snmp_synch_response(session, pdu, &response);
    if (status == STAT_SUCCESS && response != nullptr && response->errstat == SNMP_ERR_NOERROR) {
        for (netsnmp_variable_list* vars = response->variables; vars != nullptr;
             vars = vars->next_variable) {
            ++numprinted;
            print_variable(vars->name, vars->name_length, vars);
        }
    }
    if (response != nullptr) {
        snmp_free_pdu(response);
    }
}

bool isException(u_char type) {
    return type == SNMP_NOSUCHOBJECT || type == SNMP_NOSUCHINSTANCE || type == SNMP_ENDOFMIBVIEW;
}

void noteOrderingError(const oid* current, std::size_t currentLength, const oid* received,
                       std::size_t receivedLength) {
    // An identifier too long for its buffer leaves the buffer as it was: start
    // terminated, and end terminated whatever the library wrote.
    char before[kDebugMessageSize] = {};
    char after[kDebugMessageSize] = {};
    snprint_objid(before, sizeof before, current, currentLength);
    snprint_objid(after, sizeof after, received, receivedLength);
    before[sizeof before - 1] = '\0';
    after[sizeof after - 1] = '\0';
    // Cut to the buffer, as every diagnostic text is.
    const std::string text =
        std::string("[SNMP] Error: OID not increasing: ") + before + " >= " + after;
    std::snprintf(sDEBUGmsg, sizeof sDEBUGmsg, "%s", text.c_str());
}

// The parser hands back the community of a -c option in a copy of its own
// that nothing else frees (snmp_open takes a copy again); a community from
// net-snmp's configuration, or one left in argv, is only borrowed.
class ParsedCommunity {
public:
    ParsedCommunity(netsnmp_session& session, int argc, char* const* argv)
        : community_(reinterpret_cast<char*>(session.community)) {
        const char* configured =
            netsnmp_ds_get_string(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_COMMUNITY);
        owned_ = community_ != nullptr && community_ != configured;
        // std::less orders pointers into different strings as well.
        const std::less<const char*> before;
        for (int i = 0; owned_ && i < argc; ++i) {
            const char* arg = argv[i];
            owned_ = before(community_, arg) || before(arg + std::strlen(arg), community_);
        }
    }
    ~ParsedCommunity() {
        if (owned_) {
            std::free(community_);
        }
    }
    ParsedCommunity(const ParsedCommunity&) = delete;
    ParsedCommunity& operator=(const ParsedCommunity&) = delete;

private:
    char* community_;
    bool owned_ = false;
};

// Owns an open session.
class Session {
public:
    explicit Session(netsnmp_session* session) : session_(session) {}
    ~Session() {
        if (session_ != nullptr) {
            snmp_close(session_);
        }
    }
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;
    netsnmp_session* get() const { return session_; }

private:
    netsnmp_session* session_;
};

int walk(int argc, char* argv[], const WalkSessionSteps* steps) {
    if (!walkArgumentsAcceptable(argc, argv)) {
        return NETSNMP_PARSE_ARGS_ERROR_USAGE;
    }
    netsnmp_session session;
    // snmp_parse_args without wiping the caller's community string.
    const int arg =
        netsnmp_parse_args(argc, argv, &session, "C:", optProc, NETSNMP_PARSE_ARGS_NOZERO);
    const ParsedCommunity community(session, argc, argv);
    if (arg < 0) {
        return arg;
    }
    // The library's own defaults are 1 s and 5 retries.
    session.timeout = kWalkTimeoutMicroseconds;
    session.retries = kWalkRetries;

    oid root[MAX_OID_LEN];
    std::size_t rootLength = MAX_OID_LEN;
    if (arg < argc) {
        if (!walkRootAcceptable(argv[arg])) {
            snmp_log(LOG_ERR, "%s: not a numeric object identifier\n",
                     escapedForLog(argv[arg]).c_str());
            return kWalkFailed;
        }
        if (snmp_parse_oid(argv[arg], root, &rootLength) == nullptr) {
            // The library's own message would repeat the argument unescaped.
            snmp_log(LOG_ERR, "%s: %s\n", escapedForLog(argv[arg]).c_str(),
                     snmp_errstring(snmp_errno));
            return kWalkFailed;
        }
    } else {
        std::memcpy(root, objid_mib, sizeof objid_mib);
        rootLength = std::size(objid_mib);
    }

    if (steps != nullptr && steps->beforeOpen && !steps->beforeOpen()) {
        return kWalkFailed;
    }
    Session ss(snmp_open(&session));
    if (ss.get() == nullptr) {
        MyDebugMessage("[UTIL-MIB] SNMP Open Err\n", 0);
        snmp_sess_perror(kWalkApplication, &session);
        return kWalkFailed;
    }
    if (steps != nullptr && steps->afterOpen) {
        const netsnmp_transport* transport = snmp_sess_transport(snmp_sess_pointer(ss.get()));
        if (transport == nullptr || !steps->afterOpen(transport->sock)) {
            return kWalkFailed;
        }
    }

    oid name[MAX_OID_LEN];
    std::memcpy(name, root, rootLength * sizeof(oid));
    std::size_t nameLength = rootLength;
    const bool checkOrdering = !option(kWalkDontCheckOrdering);
    if (option(kWalkIncludeRequested)) {
        getAndPrint(ss.get(), root, rootLength);
    }

    int result = kWalkOK;
    int status = STAT_SUCCESS;
    bool running = true;
    const auto started =
        steps != nullptr && steps->started ? *steps->started : std::chrono::steady_clock::now();
    for (long requests = 0; running; ++requests) {
        if (requests == kWalkMaxRequests ||
            std::chrono::steady_clock::now() - started >= gWalkTimeLimit) {
            result = kWalkFailed;
            break;
        }
        netsnmp_pdu* pdu = snmp_pdu_create(SNMP_MSG_GETNEXT);
        if (pdu == nullptr) {
            result = kWalkFailed;
            break;
        }
        snmp_add_null_var(pdu, name, nameLength);
        netsnmp_pdu* response = nullptr;
        status = snmp_synch_response(ss.get(), pdu, &response);

        if (status == STAT_TIMEOUT) {
            running = false;
            result = kWalkFailed;
        } else if (status != STAT_SUCCESS || response == nullptr) {
            snmp_sess_perror(kWalkApplication, ss.get());
            running = false;
            result = kWalkFailed;
        } else if (response->errstat == SNMP_ERR_NOSUCHNAME) {
            running = false; // the end of an SNMPv1 agent's view
        } else if (response->errstat != SNMP_ERR_NOERROR) {
            running = false;
            result = kWalkAgentError;
        } else if (response->variables == nullptr) {
            // Asking again would get the same answer for ever.
            running = false;
            result = kWalkFailed;
        } else {
            for (netsnmp_variable_list* vars = response->variables; vars != nullptr;
                 vars = vars->next_variable) {
                if (vars->name == nullptr || vars->name_length < rootLength ||
                    std::memcmp(root, vars->name, rootLength * sizeof(oid)) != 0) {
                    running = false; // left the subtree
                    continue;
                }
                ++numprinted;
                vSpoolPlist(vars->name, vars->name_length, vars, 0);
                if (isException(vars->type)) {
                    running = false;
                    continue;
                }
                if (checkOrdering &&
                    snmp_oid_compare(name, nameLength, vars->name, vars->name_length) >= 0) {
                    noteOrderingError(name, nameLength, vars->name, vars->name_length);
                    result = kWalkFailed;
                    running = false;
                }
                nameLength = std::min<std::size_t>(vars->name_length, MAX_OID_LEN);
                std::memmove(name, vars->name, nameLength * sizeof(oid));
            }
        }
        if (response != nullptr) {
            snmp_free_pdu(response);
        }
    }

    if (numprinted == 0 && status == STAT_SUCCESS) {
        getAndPrint(ss.get(), root, rootLength);
    }
    if (option(kWalkPrintStatistics)) {
        MyDebugMessage("[UTIL-MIB] Variables found: ", static_cast<int32_t>(numprinted));
    }
    return result;
}

} // namespace

void optProc(int /*argc*/, char* const* /*argv*/, int opt) {
    if (opt != 'C' || optarg == nullptr) {
        return;
    }
    for (const char* p = optarg; *p != '\0'; ++p) {
        const auto known = std::find_if(std::begin(kWalkOptions), std::end(kWalkOptions),
                                        [p](const WalkOption& o) { return o.letter == *p; });
        if (known != std::end(kWalkOptions)) {
            netsnmp_ds_toggle_boolean(NETSNMP_DS_APPLICATION_ID, known->storeId);
        } else {
            std::snprintf(sDEBUGmsg, sizeof sDEBUGmsg, "Unknown flag passed to -C: %c\n", *p);
        }
    }
}

namespace {

// The spool, the variable count and net-snmp's state are process-wide: a
// second caller waits for the walk in progress.
std::mutex& walkInProgress() {
    static std::mutex mutex;
    return mutex;
}

int walkUnlocked(int argc, char* argv[], const WalkSessionSteps* steps = nullptr) {
    initialiseOnce();
    vSpoolPlist(nullptr, 0, nullptr, 1);
    return walk(argc, argv, steps);
}

int mergeUnlocked(int result) {
    // Every walk ends in the merge, refused arguments included (as a failed
    // walk): a failed walk marks the printer's entries as not found. The
    // merge's outcome changes the result only when it had to keep the file.
    const int merged = vRestructPlistSpool2Current(result < 0 ? kWalkFailed : result);
    return merged == kMergeKeptUnreadableFile && result == kWalkOK ? kWalkFailed : result;
}

} // namespace

int walkIntoSpool(int argc, char* argv[], const WalkSessionSteps* steps) {
    const std::lock_guard<std::mutex> lock(walkInProgress());
    return walkUnlocked(argc, argv, steps);
}

int mergeWalkedSpool(int result) {
    const std::lock_guard<std::mutex> lock(walkInProgress());
    return mergeUnlocked(result);
}

int mib_walk(int argc, char* argv[]) {
    const std::lock_guard<std::mutex> lock(walkInProgress());
    return mergeUnlocked(walkUnlocked(argc, argv));
}

void setWalkTimeLimit(std::chrono::milliseconds limit) {
    gWalkTimeLimit = limit;
}

} // namespace zrk
