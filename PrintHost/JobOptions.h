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

// The top-level string entries of `settings` whose key is a main keyword of
// `ppd`, sorted by key: the options a job is printed with.
JobOptionList jobOptions(const PMPrintSettings& settings, const PPDFile& ppd);

// A summary dictionary (item name -> text, plus the display order list) as a
// JSON object.
QJsonObject summaryToJson(const QVariantMap& summary);

} // namespace PrintHost
