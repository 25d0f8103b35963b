#include "ProfileListing.h"

#include <ProfileTypes.h>
#include <StorePaths.h>
#include <VXPList.h>

#include <QFileInfo>
#include <QJsonArray>

#include <algorithm>
#include <cstring>
#include <memory>

namespace PrintHost {

namespace {

// Member names of one entry: the file's column keys, and Driver for the
// availability code, which lives in memory only (0 for anything read from a
// file).
QJsonObject entryToJson(const ProfileEntry& entry) {
    auto name = [](const char(&field)[kProfileNameFieldSize]) {
        return QString::fromUtf8(field, qsizetype(strnlen(field, sizeof field)));
    };
    return QJsonObject{
        {QStringLiteral("IndexOnDevice"), entry.iIndexOnDevice},
        {QStringLiteral("InMenu"), entry.iInMenu},
        {QStringLiteral("ProfileClass"), entry.iProfileClass},
        {QStringLiteral("Location"), entry.iLocation},
        {QStringLiteral("FileName"), name(entry.FileName)},
        {QStringLiteral("ProfileName"), name(entry.ProfileName)},
        {QStringLiteral("Driver"), entry.iDriver},
    };
}

QJsonArray groupToJson(const ProfileList& list) {
    QJsonArray entries;
    const int32_t count = std::clamp<int32_t>(list.iNum, 0, kMaxProfileEntries);
    for (int32_t slot = 0; slot < count; ++slot)
        entries.append(entryToJson(list.litem[slot]));
    return entries;
}

} // namespace

std::optional<QJsonObject> describeProfileFile(QString* error) {
    // Large values: kept off the stack.
    auto rgb = std::make_unique<ProfileList>();
    auto sim = std::make_unique<ProfileList>();
    auto dst = std::make_unique<ProfileList>();
    if (VXPListReadProfile_All(rgb.get(), sim.get(), dst.get()) != 0) {
        zrk::StorePaths paths;
        const bool named = zrk::formStorePaths(zrk::realUserLoginName(), zrk::kModelToken, &paths);
        const QString path = named ? QString::fromStdString(paths.current) : QString();
        // No file yet: the failed read left the three groups empty.
        if (!named || QFileInfo::exists(path)) {
            if (error)
                *error = named ? QStringLiteral("cannot read the profile file %1").arg(path)
                               : QStringLiteral("the current user has no profile file name");
            return std::nullopt;
        }
    }
    return QJsonObject{{QStringLiteral("RGB"), groupToJson(*rgb)},
                       {QStringLiteral("SIM"), groupToJson(*sim)},
                       {QStringLiteral("DST"), groupToJson(*dst)}};
}

} // namespace PrintHost
