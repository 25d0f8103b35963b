// The "Color Options" panel: answers the print dialog and drives the two
// panes through the pane-switching controller.
#pragma once

#include "PDECommon.h"

#include <PDEPlugInAPI.h>

#include <QObject>
#include <QPointer>

namespace PDE {

class ColorOptions;
class AdvancedColorOptions;
class ProfileControl;
class MainView;
class PainChangeController;

// The panel's kind: the bundle identifier of the plug-in.
inline constexpr const char* kPanelKind = "com.ostra.print.pde.ColorOptions.ZR-K5100";
inline constexpr const char* kInterfaceFileName = "PDEMain.ui";

class PDEPlugInInterface : public QObject, public PrintHost::PDEPanel {
    Q_OBJECT
public:
    explicit PDEPlugInInterface(PrintHost::PDEPlugInCallbackProtocol* callback);
    ~PDEPlugInInterface() override;

    QWidget* panelView() override;
    QString panelName() override;
    QString panelKind() override;
    QStringList supportedPPDOptionKeys() override;
    void willShow() override;
    bool shouldHide() override;
    void PPDOptionKeyValueDidChange(const QString& option, const QString& choice) override;
    bool restoreValuesAndReturnError(QString* error) override;
    bool saveValuesAndReturnError(QString* error) override;
    QVariantMap summaryInfo() override;
    bool shouldPrint() override;
    void terminate() override;

    // Control actions: the rules over the Color Options pane alone, or over
    // the combined table.
    Q_INVOKABLE void selectItem(QObject* sender);
    Q_INVOKABLE void constraints(QObject* sender);

    bool isLoaded() const { return !pdeMainView.isNull(); }
    ControlTableEntry* combinedTable() const { return compTable.get(); }
    PainChangeController* paneController() const;

private:
    void myLoad();
    bool bothPanesPresent() const;
    void labelControlsForHost();

    PrintHost::PDEPlugInCallbackProtocol* pdePluginCallbackObject;
    ControlTablePtr compTable;
    PMPrintSettings* setting;
    PMPrintSession* session;
    QPointer<ColorOptions> onColorView;
    QPointer<AdvancedColorOptions> onAdvancedView;
    QPointer<ProfileControl> profileControl;
    QPointer<MainView> pdeMainView;
    QPointer<PainChangeController> painChange;
    ppd_file_t* ppd = nullptr;
};

} // namespace PDE
