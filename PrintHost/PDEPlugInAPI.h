// The print-dialog extension protocol: what the host offers a plug-in bundle
// and what it asks of the panels the bundle contributes.
#pragma once

#include "Bundle.h"
#include "PrintingLayer.h"

#include <QString>
#include <QStringList>
#include <QVariantMap>

#include <cups/ppd.h>

#include <memory>
#include <optional>
#include <vector>

class QWidget;

namespace PrintHost {

// The dialog type of the print dialog.
inline constexpr const char* kPrintDialogTypeID = "BDB091F4-E57F-11D3-B5CC-0050E4603277";

// The key under which a summary dictionary lists its item names in order.
inline constexpr const char* kSummaryDisplayOrderKey = "Summary Display Order";

// Name of the one symbol a plug-in library exports:
//   extern "C" PrintHost::PDEPlugInPrincipal* PDEPlugInCreatePrincipal();
// The host owns the returned object.
inline constexpr const char* kPlugInEntrySymbol = "PDEPlugInCreatePrincipal";

// What the host answers a panel about the dialog it sits in.
class PDEPlugInCallbackProtocol {
public:
    virtual ~PDEPlugInCallbackProtocol() = default;
    virtual PMPrintSettings* printSettings() = 0;
    virtual PMPrintSession* printSession() = 0;
    // The current queue's PPD; the host keeps it open while the panel lives.
    virtual ppd_file_t* ppdFile() = 0;
};

// One panel of the dialog. Every BOOL answer of the protocol is a bool here;
// error out-parameters are QString pointers the panel may fill.
class PDEPanel {
public:
    virtual ~PDEPanel() = default;
    virtual QWidget* panelView() = 0;
    virtual QString panelName() = 0;
    virtual QString panelKind() = 0;
    virtual QStringList supportedPPDOptionKeys() = 0;
    virtual void willShow() = 0;
    virtual bool shouldHide() = 0;
    virtual void PPDOptionKeyValueDidChange(const QString& option, const QString& choice) = 0;
    virtual bool restoreValuesAndReturnError(QString* error) = 0;
    virtual bool saveValuesAndReturnError(QString* error) = 0;
    // Item name -> display text, plus kSummaryDisplayOrderKey -> QStringList.
    virtual QVariantMap summaryInfo() = 0;
    virtual bool shouldPrint() = 0;
    virtual void terminate() = 0;
};

using PDEPanelList = std::vector<std::unique_ptr<PDEPanel>>;

// The bundle's principal object.
class PDEPlugInPrincipal {
public:
    virtual ~PDEPlugInPrincipal() = default;
    virtual bool initWithBundle(Bundle* bundle) = 0;
    // std::nullopt stands for nil: never an empty list.
    virtual std::optional<PDEPanelList> PDEPanelsForType(const QString& type,
                                                         PDEPlugInCallbackProtocol* callback) = 0;
};

// Properties a panel sets on each control it binds, so that a host script can
// find a control and tell its row (read by print-dialog --set and --state).
// A control's "action" is sent by QComboBox::activated(int) for pop-ups and
// QAbstractButton::clicked(bool) for check boxes and buttons.
namespace ControlProperty {
inline constexpr const char* kRow = "pdeRow";               // int: row in the combined table
inline constexpr const char* kKind = "pdeKind";             // int: control kind code
inline constexpr const char* kKeyword = "pdeKeyword";       // QString: PPD main keyword or ""
inline constexpr const char* kIdentifier = "pdeIdentifier"; // QString: constraint name or ""
// QString on a window: why its last confirmation was refused ("" when it was
// not); the window itself refuses silently.
inline constexpr const char* kRefusal = "pdeRefusal";
} // namespace ControlProperty

} // namespace PrintHost
