// The service's object on the bus: the eight methods of the protocol's
// interface, each "s -> s", handed to a VXmacServiceXPC for the caller. File
// requests are answered at once; a walk is answered when its worker has
// walked and merged (WalkWorkers.h), while the file requests go on.
#pragma once

#include <sdbus-c++/sdbus-c++.h>

#include <memory>

namespace zrk {

class WalkWorkers;

class ServiceAdaptor {
public:
    // Exports the object at helper::kObjectPath on the connection.
    ServiceAdaptor(sdbus::IConnection& connection, WalkWorkers& walks);
    ServiceAdaptor(const ServiceAdaptor&) = delete;
    ServiceAdaptor& operator=(const ServiceAdaptor&) = delete;

private:
    std::unique_ptr<sdbus::IObject> object_;
};

} // namespace zrk
