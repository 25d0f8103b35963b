// Loads a plug-in bundle and keeps what its panels rely on alive: the host
// side of the print-dialog extension protocol.
#pragma once

#include "PDEPlugInAPI.h"

#include <QPointer>
#include <QString>
#include <QWidget>

#include <memory>
#include <vector>

class QLibrary;

namespace PrintHost {

class PlugInHost : public PDEPlugInCallbackProtocol {
public:
    // The session, settings and PPD are the caller's and must outlive the host.
    PlugInHost(PMPrintSession* session, PMPrintSettings* settings, ppd_file_t* ppd);
    ~PlugInHost() override;
    PlugInHost(const PlugInHost&) = delete;
    PlugInHost& operator=(const PlugInHost&) = delete;

    // Opens the bundle, loads its library, creates the principal, hands it the
    // bundle and asks it for the print dialog's panels. False (and `error` set)
    // when any step fails or the bundle offers no panel.
    bool load(const QString& bundleDirectory, QString* error);

    const Bundle* bundle() const { return bundle_.get(); }
    const PDEPanelList& panels() const { return panels_; }
    // The first panel: the one the dialog shows.
    PDEPanel* panel() const { return panels_.empty() ? nullptr : panels_.front().get(); }
    // The first panel's view, asked for once and remembered.
    QWidget* panelView();

    // Gives the panel view back to the parent it came with, out of whatever
    // widget the host put it in, so destroying that widget leaves the view to
    // its panel.
    void detachViews();
    // Terminates and destroys the panels (and any view their panel left
    // behind) while the library is still loaded. Called by the destructor.
    void unload();

    PMPrintSettings* printSettings() override { return settings_; }
    PMPrintSession* printSession() override { return session_; }
    ppd_file_t* ppdFile() override { return ppd_; }

private:
    PMPrintSession* session_;
    PMPrintSettings* settings_;
    ppd_file_t* ppd_;
    std::unique_ptr<Bundle> bundle_;
    std::unique_ptr<QLibrary> library_;
    std::unique_ptr<PDEPlugInPrincipal> principal_;
    PDEPanelList panels_;
    bool viewAsked_ = false;
    QPointer<QWidget> view_;
    QPointer<QWidget> viewParent_;
};

// Where print-dialog looks for the plug-in bundle when none is given: beside
// the program in the build tree, then at the installed place.
QStringList defaultBundleSearchPath(const QString& applicationDirectory);

} // namespace PrintHost
