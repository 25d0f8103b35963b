#include "VXmacServiceXPC.h"

#include "CallerPolicy.h"
#include "HelperMethods.h"
#include "MibWalk.h"
#include "PieceWrite.h"
#include "RequestParsing.h"
#include "StoreFileOps.h"
#include "StorePaths.h"
#include "XPCProtocol.h"

#include <sys/stat.h>
#include <syslog.h>

#include <cerrno>

#include <array>
#include <string_view>
#include <vector>

namespace zrk {

namespace {

using xpc::ProfileFileKind;

std::string truth(bool value) {
    return std::string(value ? helper::kReplyTrue : helper::kReplyFalse);
}

const std::string kRefused(helper::kReplyFalse);

bool fitsPathLength(std::string_view value) {
    return value.size() <= xpc::kMaxRequestPathLength;
}

// The path of a request's file URL, when it is the caller's current file.
bool ownCurrentFileOfURL(uid_t caller, std::string_view url, std::string* path) {
    return fitsPathLength(url) && pathFromFileURL(url, path) &&
           xpc::callerOwnsProfileFile(caller, *path, ProfileFileKind::Current);
}

// A swap path: "NULL" is no path (""), anything else must be the caller's
// file of the given kind.
bool swapPath(uid_t caller, std::string_view value, ProfileFileKind kind, std::string* path) {
    if (value == helper::kNullValue) {
        path->clear();
        return true;
    }
    if (!fitsPathLength(value) || !xpc::callerOwnsProfileFile(caller, value, kind)) {
        return false;
    }
    *path = value;
    return true;
}

// A profile file that is there must be a plain file: the backup and the
// walk's merge read the current file, and reading through a link planted in
// its place would copy someone else's file into the caller's.
bool plainOrMissing(const std::string& path) {
    struct stat info;
    if (path.empty() || ::lstat(path.c_str(), &info) != 0) {
        return path.empty() || errno == ENOENT;
    }
    return S_ISREG(info.st_mode);
}

} // namespace

std::string VXmacServiceXPC::vxPListIsAdminProfile_XPC(const std::string& request) const {
    if (!fitsPathLength(request) || !xpc::callerOwnsAnyProfileFile(caller_, request)) {
        return kRefused;
    }
    return truth(probeWritable(request));
}

std::string VXmacServiceXPC::vxPListSwapProfile_XPC(const std::string& request) const {
    std::vector<std::string_view> values;
    std::string_view rest;
    int type = 0;
    std::string current;
    std::string backup;
    if (!xpc::splitMarkedValues(request, helper::kSwapMarkers, &values, &rest) || !rest.empty() ||
        !xpc::parseSwapType(values[0], &type) ||
        !swapPath(caller_, values[1], ProfileFileKind::Current, &current) ||
        !swapPath(caller_, values[2], ProfileFileKind::Backup, &backup) ||
        !plainOrMissing(current) || !plainOrMissing(backup)) {
        return kRefused;
    }
    // Failures of the file steps are not reported.
    swapProfileFiles(type, current, backup);
    return truth(true);
}

std::string VXmacServiceXPC::vxPListExistProfile_XPC(const std::string& request) const {
    if (!fitsPathLength(request) || !xpc::callerOwnsAnyProfileFile(caller_, request)) {
        return kRefused;
    }
    return truth(fileOpensForReading(request));
}

std::string VXmacServiceXPC::vxPListRemove_XPC(const std::string& request) const {
    if (!fitsPathLength(request) || !xpc::callerOwnsAnyProfileFile(caller_, request)) {
        return kRefused;
    }
    return truth(removeFile(request));
}

std::string VXmacServiceXPC::writeDictionaryToPlistFile_XPC(const std::string& request) const {
    std::vector<std::string_view> values;
    std::string_view text;
    std::string path;
    if (!xpc::splitMarkedValues(request, helper::kURLMarkers, &values, &text) ||
        !ownCurrentFileOfURL(caller_, values[0], &path)) {
        return kRefused;
    }
    return truth(xpc::writeWholeFile(path, text));
}

std::string VXmacServiceXPC::writeDataToPlistFile_XPC(const std::string& request) const {
    std::vector<std::string_view> values;
    std::string_view piece;
    std::string path;
    if (!xpc::splitMarkedValues(request, helper::kURLMarkers, &values, &piece) ||
        !ownCurrentFileOfURL(caller_, values[0], &path)) {
        return kRefused;
    }
    return truth(xpc::appendPiece(path, piece, writer_));
}

std::string VXmacServiceXPC::writeDataToPlistFileRename_XPC(const std::string& request) const {
    std::string path;
    if (!ownCurrentFileOfURL(caller_, request, &path)) {
        return kRefused;
    }
    return truth(xpc::commitPieces(path, writer_));
}

bool VXmacServiceXPC::acceptWalk(const std::string& request, WalkJob* job) const {
    std::vector<std::string_view> values;
    std::string_view tail;
    WalkJob accepted;
    if (!xpc::splitMarkedValues(request, helper::kWalkMarkers, &values, &tail) ||
        !xpc::splitWalkArguments(tail, &accepted.arguments) ||
        !xpc::isAcceptableModelToken(values[0]) || !xpc::callerMayActFor(caller_, values[1]) ||
        !formStorePaths(values[1], values[0], &accepted.paths) ||
        !plainOrMissing(accepted.paths.current) || !plainOrMissing(accepted.paths.backup)) {
        return false;
    }
    accepted.user = values[1];
    *job = std::move(accepted);
    return true;
}

int VXmacServiceXPC::runWalk(WalkJob& job) {
    // The walk's parser may reorder the vector; it works on the job's copies.
    std::vector<char*> argv;
    argv.reserve(job.arguments.size() + 1);
    for (std::string& argument : job.arguments) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);
    int result;
    {
        const StorePathScope scope(job.paths);
        result = mib_walk(static_cast<int>(job.arguments.size()), argv.data());
    }
    syslog(LOG_ERR, "xpc - mibwalk_XPC - iRet=%d", result);
    return result;
}

std::string VXmacServiceXPC::walkReply(int result) {
    return std::string(helper::kWalkReplyPrefix) + std::to_string(result);
}

std::string VXmacServiceXPC::mibwalk_XPC(const std::string& request) const {
    WalkJob job;
    if (!acceptWalk(request, &job)) {
        return walkReply(xpc::kWalkRefused);
    }
    return walkReply(runWalk(job));
}

} // namespace zrk
