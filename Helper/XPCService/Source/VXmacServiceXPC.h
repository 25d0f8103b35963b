// The service's exported object: the eight methods of the protocol, each
// taking one request string and answering with one reply string. An object
// serves the requests of one caller, whose UID decides which files the
// requests may name (CallerPolicy.h). Requests that lack a marker, carry an
// unusable value or name someone else's files are refused without touching
// anything: "FALSE" for the file methods, "iRet=-1" for the walk.
//
// The walk and the store use process-wide state: the caller runs requests
// one at a time.
#pragma once

#include <sys/types.h>

#include <string>

namespace zrk {

class VXmacServiceXPC {
public:
    explicit VXmacServiceXPC(uid_t caller) : caller_(caller) {}

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
    std::string mibwalk_XPC(const std::string& request) const;

private:
    uid_t caller_;
};

} // namespace zrk
