// An open PPD record, as the host hands it to panels.
#pragma once

#include <QString>
#include <QStringList>

#include <cups/ppd.h>

#include <memory>

namespace PrintHost {

// The folder name of the Color Options panel's bundle, as a PPD names it.
inline constexpr const char* kPanelBundleName = "ColorOptionsPlugin.plugin";

class PPDFile {
public:
    // Opens the file and marks its defaults. Null (and `error` set) when the
    // file cannot be read or is not a PPD.
    static std::unique_ptr<PPDFile> open(const QString& path, QString* error);
    ~PPDFile();
    PPDFile(const PPDFile&) = delete;
    PPDFile& operator=(const PPDFile&) = delete;

    ppd_file_t* get() const { return ppd_; }

    // The option whose main keyword is exactly `keyword`. libcups looks
    // options up without regard to case; the ticket's keys are exact.
    ppd_option_t* option(const QString& keyword) const;
    bool isMainKeyword(const QString& keyword) const { return option(keyword) != nullptr; }
    // Whether the option has a choice spelled exactly `choice`.
    bool hasChoice(const QString& keyword, const QString& choice) const;
    // The option's choice keywords in PPD order (empty for an unknown option).
    QStringList choiceKeywords(const QString& keyword) const;

    // Whether the PPD names the plug-in bundle `bundleName` (a folder name
    // such as "ColorOptionsPlugin.plugin") in one of its *APDialogExtension
    // lines. Only the path's last component counts, so the bundle may live in
    // another folder than the one the PPD was written for.
    bool namesDialogExtension(const QString& bundleName) const;

private:
    explicit PPDFile(ppd_file_t* ppd) : ppd_(ppd) {}
    ppd_file_t* ppd_;
};

} // namespace PrintHost
