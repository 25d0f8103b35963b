// The service's exported object: the eight methods of the protocol, each
// taking one request string and answering with one reply string. An object
// serves the requests of one caller, whose UID decides which files the
// requests may name (CallerPolicy.h). Requests that lack a marker, carry an
// unusable value or name someone else's files are refused without touching
// anything: "FALSE" for the file methods, "iRet=-1" for the walk.
//
// The walk and the store use process-wide state: the caller runs file
// requests one at a time, and walks either here (mibwalk_XPC) or, split into
// acceptWalk and a worker process, through WalkWorkers.
#pragma once

#include "StorePaths.h"
#include "WriterIdentity.h"

#include <sys/types.h>

#include <string>
#include <vector>

namespace zrk {

// An accepted walk request: whose file it merges into and the walk's
// argument vector.
struct WalkJob {
    std::string user;
    StorePaths paths;
    std::vector<std::string> arguments;
};

class VXmacServiceXPC {
public:
    // caller: the UID the bus authenticated for the request's sender;
    // writer: the process behind it that writes (WriterIdentity.h), unknown
    // by default.
    explicit VXmacServiceXPC(uid_t caller, xpc::WriterProcess writer = {})
        : caller_(caller), writer_{caller, writer} {}

    // Write-permission probe of a profile file: "TRUE" when it may be
    // written (a probe leaves no file behind).
    std::string vxPListIsAdminProfile_XPC(const std::string& request) const;
    // type ":ARG_iSwapType" current ":ARG_cFooCurrentString" backup
    // ":ARG_cFooPrevString": back up (2), discard (1) or restore (0).
    std::string vxPListSwapProfile_XPC(const std::string& request) const;
    // "TRUE" when the profile file opens for reading.
    std::string vxPListExistProfile_XPC(const std::string& request) const;
    // "TRUE" when the profile file was removed.
    std::string vxPListRemove_XPC(const std::string& request) const;
    // URL ":AddURL:END" text: the text becomes the file's whole contents.
    std::string writeDictionaryToPlistFile_XPC(const std::string& request) const;
    // URL ":AddURL:END" piece: the piece goes to the file's temporary file.
    std::string writeDataToPlistFile_XPC(const std::string& request) const;
    // URL: the temporary file replaces the file.
    std::string writeDataToPlistFileRename_XPC(const std::string& request) const;
    // model ":ModelName:END" user ":USErName:END" then each walk argument
    // followed by ":arg:": walks the printer's profile table into the user's
    // profile file; "iRet=" and the walk's result.
    // Walks and merges here, on the calling thread.
    std::string mibwalk_XPC(const std::string& request) const;
    // The checks of a walk request without the walk: false when it is
    // refused (the reply is then walkReply(kWalkRefused)).
    bool acceptWalk(const std::string& request, WalkJob* job) const;
    // Walks the job's agent and merges into its file, on the calling thread;
    // returns the result and writes the walk's system-log line.
    static int runWalk(WalkJob& job);
    static std::string walkReply(int result);

private:
    uid_t caller_;
    xpc::Writer writer_;
};

} // namespace zrk
