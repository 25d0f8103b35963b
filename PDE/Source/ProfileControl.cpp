#include "ProfileControl.h"

#include "AdvancedColorOptions.h"

#include <QWidget>

namespace PDE {

void ProfileControl::awakeFromInterface(QWidget* root) {
    onAdvancedView = root->findChild<AdvancedColorOptions*>(QStringLiteral("onAdvancedView"));
}

void ProfileControl::showProfileManagementWindow(QObject*) {
    protocolType = PDECommon::commoniGetProtocol(session);
    // The window itself is not part of this build yet: opening it changes nothing.
}

} // namespace PDE
