// The bundle's principal object: answers the print dialog's type with the
// one "Color Options" panel.
#pragma once

#include <PDEPlugInAPI.h>

namespace PDE {

class PDEPlugIn : public PrintHost::PDEPlugInPrincipal {
public:
    bool initWithBundle(PrintHost::Bundle* bundle) override;
    std::optional<PrintHost::PDEPanelList>
    PDEPanelsForType(const QString& type, PrintHost::PDEPlugInCallbackProtocol* callback) override;
};

} // namespace PDE
