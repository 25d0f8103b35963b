#include "PlugInHost.h"

#include <QDir>
#include <QFileInfo>
#include <QLibrary>

namespace PrintHost {

namespace {

constexpr const char* kBundleName = "ColorOptionsPlugin.plugin";

using EntryFunction = PDEPlugInPrincipal* (*)();

bool setError(QString* error, const QString& message) {
    if (error)
        *error = message;
    return false;
}

} // namespace

PlugInHost::PlugInHost(PMPrintSession* session, PMPrintSettings* settings, ppd_file_t* ppd)
    : session_(session), settings_(settings), ppd_(ppd) {}

PlugInHost::~PlugInHost() {
    unload();
}

bool PlugInHost::load(const QString& bundleDirectory, QString* error) {
    if (library_)
        return setError(error, QStringLiteral("a plug-in bundle is already loaded"));

    QString bundleError;
    bundle_ = Bundle::open(bundleDirectory, &bundleError);
    if (!bundle_)
        return setError(error, bundleError);

    const QString libraryPath = bundle_->executablePath();
    if (!QFileInfo(libraryPath).isFile())
        return setError(error, QStringLiteral("%1: the bundle's library %2 does not exist")
                                   .arg(bundleDirectory, libraryPath));

    // The library is never unloaded: Qt keeps meta-objects and the panel's
    // widgets may be referenced until the application ends.
    library_ = std::make_unique<QLibrary>(libraryPath);
    library_->setLoadHints(QLibrary::ResolveAllSymbolsHint);
    if (!library_->load())
        return setError(
            error, QStringLiteral("cannot load %1: %2").arg(libraryPath, library_->errorString()));

    auto entry = reinterpret_cast<EntryFunction>(library_->resolve(kPlugInEntrySymbol));
    if (!entry)
        return setError(error, QStringLiteral("%1 does not export %2")
                                   .arg(libraryPath, QString::fromLatin1(kPlugInEntrySymbol)));

    principal_.reset(entry());
    if (!principal_)
        return setError(error, QStringLiteral("%1: %2 returned no principal object")
                                   .arg(libraryPath, QString::fromLatin1(kPlugInEntrySymbol)));
    if (!principal_->initWithBundle(bundle_.get()))
        return setError(error,
                        QStringLiteral("%1: the plug-in refused its bundle").arg(bundleDirectory));

    auto panels = principal_->PDEPanelsForType(QString::fromLatin1(kPrintDialogTypeID), this);
    if (!panels || panels->empty())
        return setError(error,
                        QStringLiteral("%1: the plug-in offers no panel for the print dialog")
                            .arg(bundleDirectory));
    for (auto& panel : *panels) {
        if (panel)
            panels_.push_back(std::move(panel));
    }
    if (panels_.empty())
        return setError(error,
                        QStringLiteral("%1: the plug-in offers no panel for the print dialog")
                            .arg(bundleDirectory));
    return true;
}

QWidget* PlugInHost::panelView() {
    if (!viewAsked_ && panel()) {
        viewAsked_ = true;
        view_ = panel()->panelView();
        if (view_)
            viewParent_ = view_->parentWidget();
    }
    return view_.data();
}

void PlugInHost::detachViews() {
    if (view_ && view_->parentWidget() != viewParent_.data())
        view_->setParent(viewParent_.data());
}

void PlugInHost::unload() {
    detachViews();
    for (auto& panel : panels_)
        panel->terminate();
    panels_.clear();
    // A top-level view its panel did not delete is ours to delete, while its
    // code is still loaded.
    if (view_ && !view_->parentWidget())
        delete view_.data();
    view_.clear();
    principal_.reset();
}

QStringList defaultBundleSearchPath(const QString& applicationDirectory) {
    const QDir dir(applicationDirectory);
    return {
        QDir::cleanPath(dir.filePath(QStringLiteral("../lib/") + kBundleName)),
        QDir::cleanPath(dir.filePath(QStringLiteral(ZRK_BUNDLE_FROM_BIN))),
    };
}

} // namespace PrintHost
