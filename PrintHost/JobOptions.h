// What a print job carries from the print settings, and the panel summary as JSON.
#pragma once

#include "PrintingLayer.h"

#include <QJsonObject>
#include <QVariantMap>

#include <string>
#include <utility>
#include <vector>

namespace PrintHost {

class PPDFile;

using JobOptionList = std::vector<std::pair<std::string, std::string>>;

// The entries a profile menu keeps in the ticket beside its option when a
// profile is chosen: "<keyword>Custom" = "True" and "<keyword>CustomFilename"
// = the profile's printer path as nibble text.
inline constexpr const char* kProfileFlagSuffix = "Custom";
inline constexpr const char* kProfilePathSuffix = "CustomFilename";
inline constexpr const char* kProfileChosen = "True";

// The options a job is printed with, sorted by key: the top-level string
// entries of `settings` whose key is a main keyword of `ppd` (the profile path
// options excepted), and for every such option whose profile flag is "True"
// and whose path is not empty, its profile path option (ProfilePathOption.h)
// with the choice "Custom.<nibble text>", when `ppd` has that custom option.
// The ticket's own profile entries are never job options: the print system
// would drop them.
JobOptionList jobOptions(const PMPrintSettings& settings, const PPDFile& ppd);

// The keyword whose ticket profile entry `key` names ("<keyword>Custom" or
// "<keyword>CustomFilename"), or an empty string.
std::string menuOfProfileEntry(const std::string& key);

// Whether `key` is one of the two ticket profile entries of a main keyword of
// `ppd`.
bool isProfileEntryOf(const std::string& key, const PPDFile& ppd);

// The main keyword of `ppd` whose profile path option `key` is (a custom
// option of `ppd`), or an empty string.
std::string profileMenuOfPathOption(const std::string& key, const PPDFile& ppd);

// A summary dictionary (item name -> text, plus the display order list) as a
// JSON object.
QJsonObject summaryToJson(const QVariantMap& summary);

} // namespace PrintHost
