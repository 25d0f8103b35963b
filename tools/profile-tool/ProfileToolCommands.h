// Subcommands of profile-tool that look into and prepare profile files.
// Each takes the arguments from the subcommand's name on (argv[0] is the
// name) and returns the process's exit status.
#pragma once

#include "ProfileTypes.h"

#include <string>

// profile-tool show FILE: the three groups as one JSON object on stdout.
int profileToolShow(int argc, char** argv);

// profile-tool write FILE: that JSON on stdin becomes the file.
int profileToolWrite(int argc, char** argv);

// The JSON form of three lists: {"RGB": [...], "SIM": [...], "DST": [...]},
// one object per occupied entry in slot order.
std::string profileListsToJson(const ProfileList* rgb, const ProfileList* sim,
                               const ProfileList* dst);

// Parses that form into three cleared lists; on failure returns false and
// says why in *error.
bool profileListsFromJson(const std::string& text, ProfileList* rgb, ProfileList* sim,
                          ProfileList* dst, std::string* error);
