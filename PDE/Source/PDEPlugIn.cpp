#include "PDEPlugIn.h"

#include "PDECommon.h"
#include "PDEPlugInInterface.h"

namespace PDE {

bool PDEPlugIn::initWithBundle(PrintHost::Bundle* bundle) {
    PDECommon::setBundle(bundle);
    return true;
}

std::optional<PrintHost::PDEPanelList>
PDEPlugIn::PDEPanelsForType(const QString& type, PrintHost::PDEPlugInCallbackProtocol* callback) {
    if (type != QLatin1String(PrintHost::kPrintDialogTypeID))
        return std::nullopt;
    PrintHost::PDEPanelList panels;
    panels.push_back(std::make_unique<PDEPlugInInterface>(callback));
    return panels;
}

} // namespace PDE

extern "C" __attribute__((visibility("default"))) PrintHost::PDEPlugInPrincipal*
PDEPlugInCreatePrincipal() {
    return new (std::nothrow) PDE::PDEPlugIn;
}
