// Controller of the Profile Management window. It keeps the ticket and the
// panel's combined table, over which the constraint rules run when the
// window is confirmed.
#pragma once

#include "PDECommon.h"

#include <QObject>
#include <QPointer>

namespace PDE {

class AdvancedColorOptions;

class ProfileControl : public QObject {
    Q_OBJECT
public:
    explicit ProfileControl(QObject* parent = nullptr) : QObject(parent) {}

    void awakeFromInterface(QWidget* root);
    void setPMPrint(PMPrintSettings* settings, PMPrintSession* printSession) {
        setting = settings;
        session = printSession;
    }
    void setConstTable(ControlTableEntry* table) { constTable = table; }

    // Action of the Advanced pane's "Management Profile" button.
    Q_INVOKABLE void showProfileManagementWindow(QObject* sender);

private:
    PMPrintSettings* setting = nullptr;
    PMPrintSession* session = nullptr;
    int16_t protocolType = -1;
    ControlTableEntry* constTable = nullptr;
    QPointer<AdvancedColorOptions> onAdvancedView;
};

} // namespace PDE
