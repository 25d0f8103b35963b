#include "PPDFile.h"

#include <QFile>
#include <QFileInfo>

#include <cstring>

namespace PrintHost {

std::unique_ptr<PPDFile> PPDFile::open(const QString& path, QString* error) {
    auto fail = [&](const QString& message) -> std::unique_ptr<PPDFile> {
        if (error)
            *error = message;
        return nullptr;
    };
    const QFileInfo info(path);
    if (path.isEmpty() || !info.exists())
        return fail(QStringLiteral("PPD file %1 does not exist").arg(path));
    if (!info.isFile())
        return fail(QStringLiteral("PPD file %1 is not a regular file").arg(path));
    if (!info.isReadable())
        return fail(QStringLiteral("PPD file %1 cannot be read").arg(path));

    ppd_file_t* ppd = ppdOpenFile(QFile::encodeName(path).constData());
    if (!ppd) {
        int line = 0;
        const ppd_status_t status = ppdLastError(&line);
        return fail(QStringLiteral("%1 is not a usable PPD file: %2 (line %3)")
                        .arg(path, QString::fromUtf8(ppdErrorString(status)))
                        .arg(line));
    }
    ppdMarkDefaults(ppd);
    return std::unique_ptr<PPDFile>(new PPDFile(ppd));
}

PPDFile::~PPDFile() {
    ppdClose(ppd_);
}

ppd_option_t* PPDFile::option(const QString& keyword) const {
    if (keyword.isEmpty())
        return nullptr;
    const QByteArray key = keyword.toUtf8();
    for (int g = 0; g < ppd_->num_groups; ++g) {
        const ppd_group_t& group = ppd_->groups[g];
        for (int o = 0; o < group.num_options; ++o) {
            if (std::strcmp(group.options[o].keyword, key.constData()) == 0)
                return &group.options[o];
        }
        for (int s = 0; s < group.num_subgroups; ++s) {
            const ppd_group_t& sub = group.subgroups[s];
            for (int o = 0; o < sub.num_options; ++o) {
                if (std::strcmp(sub.options[o].keyword, key.constData()) == 0)
                    return &sub.options[o];
            }
        }
    }
    return nullptr;
}

bool PPDFile::hasChoice(const QString& keyword, const QString& choice) const {
    return choiceKeywords(keyword).contains(choice);
}

QStringList PPDFile::choiceKeywords(const QString& keyword) const {
    QStringList choices;
    if (const ppd_option_t* opt = option(keyword)) {
        for (int c = 0; c < opt->num_choices; ++c)
            choices << QString::fromUtf8(opt->choices[c].choice);
    }
    return choices;
}

bool PPDFile::namesDialogExtension(const QString& bundleName) const {
    if (bundleName.isEmpty())
        return false;
    for (ppd_attr_t* attr = ppdFindAttr(ppd_, "APDialogExtension", nullptr); attr;
         attr = ppdFindNextAttr(ppd_, "APDialogExtension", nullptr)) {
        if (!attr->value)
            continue;
        QString path = QString::fromUtf8(attr->value).trimmed();
        while (path.endsWith(QLatin1Char('/')))
            path.chop(1);
        if (path.section(QLatin1Char('/'), -1) == bundleName)
            return true;
    }
    return false;
}

} // namespace PrintHost
