#include "Bundle.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QLocale>
#include <QTranslator>

namespace PrintHost {

namespace {

constexpr qint64 kMaxInfoSize = 64 * 1024;
constexpr const char* kDefaultStringsTable = "Localizable";
// Translations are looked up in this context, whatever the table's file name.
constexpr const char* kTranslationContext = "Localizable";

bool setError(QString* error, const QString& message) {
    if (error)
        *error = message;
    return false;
}

// A name taken from Info.json must stay inside the bundle: one plain file name.
bool isPlainFileName(const QString& name) {
    return !name.isEmpty() && !name.contains(QLatin1Char('/')) &&
           !name.contains(QLatin1Char('\\')) && !name.contains(QChar(0)) &&
           name != QLatin1String(".") && name != QLatin1String("..");
}

// A resource name may name a file in a sub-folder of Resources/, never one
// outside it.
bool isRelativeInside(const QString& name) {
    if (name.isEmpty() || name.startsWith(QLatin1Char('/')) || name.contains(QChar(0)))
        return false;
    const auto parts = name.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    if (parts.isEmpty())
        return false;
    for (const auto& part : parts) {
        if (part == QLatin1String(".."))
            return false;
    }
    return true;
}

} // namespace

std::unique_ptr<Bundle> Bundle::open(const QString& directory, QString* error) {
    const QFileInfo dirInfo(directory);
    if (directory.isEmpty() || !dirInfo.isDir()) {
        setError(error, QStringLiteral("%1 is not a directory").arg(directory));
        return nullptr;
    }
    const QString root = dirInfo.absoluteFilePath();
    QFile info(root + QStringLiteral("/Info.json"));
    if (!info.open(QIODevice::ReadOnly)) {
        setError(
            error,
            QStringLiteral("%1: cannot read Info.json: %2").arg(directory, info.errorString()));
        return nullptr;
    }
    if (info.size() > kMaxInfoSize) {
        setError(error, QStringLiteral("%1: Info.json is too large").arg(directory));
        return nullptr;
    }
    QJsonParseError parseError{};
    const auto document = QJsonDocument::fromJson(info.read(kMaxInfoSize + 1), &parseError);
    if (parseError.error != QJsonParseError::NoError || !document.isObject()) {
        setError(error, QStringLiteral("%1: Info.json is not a JSON object%2")
                            .arg(directory, parseError.error != QJsonParseError::NoError
                                                ? QStringLiteral(": ") + parseError.errorString()
                                                : QString()));
        return nullptr;
    }
    const QJsonObject object = document.object();
    const auto identifier = object.value(QStringLiteral("identifier"));
    const auto library = object.value(QStringLiteral("library"));
    const auto strings = object.value(QStringLiteral("strings"));
    if (!identifier.isString() || identifier.toString().isEmpty()) {
        setError(error,
                 QStringLiteral("%1: Info.json has no \"identifier\" string").arg(directory));
        return nullptr;
    }
    if (!library.isString() || !isPlainFileName(library.toString())) {
        setError(error,
                 QStringLiteral("%1: Info.json's \"library\" is not a file name inside the bundle")
                     .arg(directory));
        return nullptr;
    }
    if (!strings.isUndefined() && (!strings.isString() || !isPlainFileName(strings.toString()))) {
        setError(error,
                 QStringLiteral("%1: Info.json's \"strings\" is not a table name").arg(directory));
        return nullptr;
    }

    std::unique_ptr<Bundle> bundle(new Bundle());
    bundle->path_ = root;
    bundle->identifier_ = identifier.toString();
    bundle->library_ = library.toString();
    bundle->stringsTable_ =
        strings.isString() ? strings.toString() : QString::fromLatin1(kDefaultStringsTable);
    return bundle;
}

Bundle::~Bundle() = default;

QString Bundle::executablePath() const {
    return path_ + QLatin1Char('/') + library_;
}

QString Bundle::resourcePath() const {
    return path_ + QStringLiteral("/Resources");
}

QString Bundle::pathForResource(const QString& name) const {
    if (!isRelativeInside(name))
        return QString();
    const QString candidate = resourcePath() + QLatin1Char('/') + name;
    return QFileInfo(candidate).isFile() ? candidate : QString();
}

QString Bundle::localizedString(const QString& key) const {
    if (!translatorLoaded_) {
        translatorLoaded_ = true;
        auto translator = std::make_unique<QTranslator>();
        const QString dir = resourcePath();
        // Tries <table>_<lang>_<TERRITORY>.qm, <table>_<lang>.qm ... for each of
        // the system's languages, then English.
        if (translator->load(QLocale::system(), stringsTable_, QStringLiteral("_"), dir,
                             QStringLiteral(".qm")) ||
            translator->load(stringsTable_ + QStringLiteral("_en"), dir, QString(),
                             QStringLiteral(".qm"))) {
            translator_ = std::move(translator);
        }
    }
    if (!translator_ || key.isEmpty())
        return QString();
    const QString text = translator_->translate(kTranslationContext, key.toUtf8().constData());
    return text.isEmpty() ? QString() : text;
}

} // namespace PrintHost
