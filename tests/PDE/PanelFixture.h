// A print dialog in miniature for the panel's tests: a PPD, a session with a
// current printer, print settings, and the panel created through the
// bundle's principal object.
#pragma once

#include <PDECommon.h>
#include <PDEPlugInAPI.h>
#include <PDEPlugInInterface.h>

#include <gtest/gtest.h>

#include <QString>

#include <memory>
#include <string>

class QComboBox;
class QCheckBox;

namespace zrktest {

std::string sourcePath(const std::string& relative);
std::string bundledPPD();
// Opens the bundle in the build tree and hands it to the plug-in (once).
void openSharedBundle();
// The bundle object the tests handed to the plug-in.
PrintHost::Bundle* sharedBundle();

struct PPDCloser {
    void operator()(ppd_file_t* ppd) const { ppdClose(ppd); }
};
using PPDPtr = std::unique_ptr<ppd_file_t, PPDCloser>;

// The current profile file of the user running the tests, under the private
// installation root; written through profile-tool from its JSON form.
std::string profileFilePath();
void writeProfileFile(const char* json);
void removeProfileFile();

// Opens a PPD the way the host does (defaults marked).
PPDPtr openPPD(const std::string& path);

class Dialog : public PrintHost::PDEPlugInCallbackProtocol {
public:
    explicit Dialog(const std::string& ppdPath, const std::string& printerId = "ZR-K5100",
                    std::optional<std::string> deviceURI = std::nullopt);
    ~Dialog() override;

    PrintHost::PMPrintSettings* printSettings() override { return settings_.get(); }
    PrintHost::PMPrintSession* printSession() override { return &session_; }
    ppd_file_t* ppdFile() override { return ppd_.get(); }

    PDE::PDEPlugInInterface& panel() { return *panel_; }
    // A new panel on the same settings, as when the dialog is opened again.
    void reopenPanel();
    void setPrinter(const std::string& printerId);

    // Controls by their objectName in the interface file.
    QComboBox* popUp(const char* outlet);
    QCheckBox* checkBox(const char* outlet);
    QWidget* control(const char* outlet);

    // What a user does: change a control and send its action.
    void choose(const char* outlet, int index);
    void tick(const char* outlet, bool checked);

    // A top-level string entry of the print settings, or "" when absent.
    std::string topLevelString(const char* key);
    // A string entry of the queue's model dictionary, or "" when absent.
    std::string modelString(const char* key, const char* queue = nullptr);

private:
    PPDPtr ppd_;
    std::unique_ptr<PrintHost::PMPrintSettings> settings_;
    PrintHost::PMPrintSession session_;
    std::string printerId_;
    std::unique_ptr<PrintHost::PDEPanel> panelOwner_;
    PDE::PDEPlugInInterface* panel_ = nullptr;
};

} // namespace zrktest
