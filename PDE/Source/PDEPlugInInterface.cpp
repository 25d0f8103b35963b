#include "PDEPlugInInterface.h"

#include "AdvancedColorOptions.h"
#include "ColorOptions.h"
#include "ConstraintEngine.h"
#include "InterfaceLoader.h"
#include "MainView.h"
#include "PainChangeController.h"
#include "ProfileControl.h"

#include <Bundle.h>
#include <VXPList.h>

namespace PDE {

namespace {
// Slots handed to the controller when collecting the panes' tables.
constexpr int16_t kTableSlots = 5;
} // namespace

PDEPlugInInterface::PDEPlugInInterface(PrintHost::PDEPlugInCallbackProtocol* callback)
    : pdePluginCallbackObject(callback), setting(callback ? callback->printSettings() : nullptr),
      session(callback ? callback->printSession() : nullptr) {}

PDEPlugInInterface::~PDEPlugInInterface() {
    if (painChange)
        painChange->deallocPDEControlTableEachView();
    compTable.reset();
    // The view may sit in the host's window by now; deleting it detaches it.
    delete pdeMainView.data();
}

void PDEPlugInInterface::myLoad() {
    if (pdeMainView)
        return;
    PrintHost::Bundle* bundle = PDECommon::bundle();
    if (!bundle)
        return;
    std::unique_ptr<QWidget> root = InterfaceLoader::load(
        bundle->pathForResource(QLatin1String(kInterfaceFileName)), this, nullptr);
    auto* mainView = qobject_cast<MainView*>(root.get());
    if (!mainView)
        return;
    root.release();
    pdeMainView = mainView;
    onColorView = mainView->findChild<ColorOptions*>(QStringLiteral("onColorView"));
    onAdvancedView = mainView->findChild<AdvancedColorOptions*>(QStringLiteral("onAdvancedView"));
    profileControl = mainView->findChild<ProfileControl*>(QStringLiteral("profileControl"));
    painChange = mainView->findChild<PainChangeController*>(QStringLiteral("painChange"));

    ppd = pdePluginCallbackObject ? pdePluginCallbackObject->ppdFile() : nullptr;
    PDECommon::commonLocalizePPD(ppd);
    if (!painChange)
        return;
    painChange->setPMPrintEachView(setting, session);
    painChange->setPPDFileEachView(ppd);
    painChange->creatPDEControlTableEachView();

    ControlTableEntry* tables[kTableSlots];
    const int16_t filled = painChange->getControlDataEachView(tables, kTableSlots);
    compTable.reset(PDECommon::commonControlTableCompound(tables, filled));
    labelControlsForHost();

    if (profileControl) {
        profileControl->setPMPrint(setting, session);
        profileControl->setConstTable(compTable.get());
    }
    painChange->createPDEItemForPPDKeyEachView();
}

// Tells a scripting host which row of the combined table each control is.
void PDEPlugInInterface::labelControlsForHost() {
    if (compTable)
        PDECommon::commonLabelControlsForHost(compTable.get());
}

PainChangeController* PDEPlugInInterface::paneController() const {
    return painChange;
}

bool PDEPlugInInterface::bothPanesPresent() const {
    return onColorView && onAdvancedView;
}

QWidget* PDEPlugInInterface::panelView() {
    myLoad();
    if (VXPListIsAdminProfile() != 0) {
        PDECommon::commonGetProfilesFromMIB(session);
        // The refresh may have rewritten the file the menus were built from.
        if (onAdvancedView)
            onAdvancedView->reloadProfileMenus(compTable.get());
    }
    return pdeMainView;
}

QString PDEPlugInInterface::panelName() {
    const QString name = PDECommon::localizedString("Color Options");
    return name.isNull() ? QStringLiteral("Color Options") : name;
}

QString PDEPlugInInterface::panelKind() {
    return QString::fromLatin1(kPanelKind);
}

QStringList PDEPlugInInterface::supportedPPDOptionKeys() {
    myLoad();
    QStringList keys;
    if (painChange)
        painChange->addPPDArrayEachView(&keys);
    return keys;
}

void PDEPlugInInterface::willShow() {
    if (painChange)
        painChange->ShowAdvancedToColorView();
}

bool PDEPlugInInterface::shouldHide() {
    return true;
}

void PDEPlugInInterface::PPDOptionKeyValueDidChange(const QString&, const QString&) {}

bool PDEPlugInInterface::restoreValuesAndReturnError(QString*) {
    myLoad();
    if (painChange && bothPanesPresent())
        painChange->defaultFromPPDInfoEachView();
    if (painChange && setting && session)
        painChange->getControlValueFromTickettEachView();
    if (isLoaded())
        vColorPresetConstraints(compTable.get());
    return true;
}

bool PDEPlugInInterface::saveValuesAndReturnError(QString*) {
    if (painChange && bothPanesPresent() && setting && session)
        painChange->setControlValueToTicketEachView();
    return true;
}

QVariantMap PDEPlugInInterface::summaryInfo() {
    myLoad();
    QStringList order;
    QVariantMap summary;
    if (painChange && bothPanesPresent())
        painChange->getSummaryTextEachView(&summary, &order);
    summary.insert(QString::fromLatin1(PrintHost::kSummaryDisplayOrderKey), order);
    return summary;
}

bool PDEPlugInInterface::shouldPrint() {
    if (painChange)
        painChange->changeAdvancedItemAccodingQuickColor();
    if (onAdvancedView)
        onAdvancedView->setControlValueToTicket();
    // The preset changed values without the rules: what is grayed out, and
    // why, follows the values now shown; the values themselves stay.
    if (compTable)
        vColorPresetConstraintStates(compTable.get());
    return true;
}

void PDEPlugInInterface::terminate() {
    pdePluginCallbackObject = nullptr;
}

void PDEPlugInInterface::selectItem(QObject*) {
    if (onColorView && onColorView->getControlData())
        vColorPresetConstraints(onColorView->getControlData());
}

void PDEPlugInInterface::constraints(QObject*) {
    if (compTable)
        vColorPresetConstraints(compTable.get());
}

} // namespace PDE
