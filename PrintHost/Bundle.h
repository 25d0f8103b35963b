// A plug-in bundle: a directory holding the shared library, Info.json and
// Resources/ (interface files, translations, icon).
//
//   Name.plugin/
//     Info.json        {"identifier": "...", "library": "libName.so", "strings": "Localizable"}
//     libName.so
//     Resources/       *.ui, <strings>_<lang>.qm, icons
#pragma once

#include <QString>

#include <memory>

class QTranslator;

namespace PrintHost {

class Bundle {
public:
    // Reads Info.json; null when the directory is not a bundle.
    static std::unique_ptr<Bundle> open(const QString& directory, QString* error);
    ~Bundle();

    const QString& bundlePath() const { return path_; }
    const QString& bundleIdentifier() const { return identifier_; }
    QString executablePath() const;
    QString resourcePath() const;
    // Path of a resource file, or an empty string when it does not exist.
    QString pathForResource(const QString& name) const;
    // The translation of `key` in the bundle's default strings table for the
    // current locale (English as the fallback). A null QString when the table
    // has no (or an empty) translation.
    QString localizedString(const QString& key) const;

private:
    Bundle() = default;
    QString path_;
    QString identifier_;
    QString library_;
    QString stringsTable_;
    mutable std::unique_ptr<QTranslator> translator_;
    mutable bool translatorLoaded_ = false;
};

} // namespace PrintHost
