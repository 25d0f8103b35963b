// The service's object on the bus: the eight methods of the protocol's
// interface, each "s -> s", handed to a VXmacServiceXPC for the caller.
#pragma once

#include <sdbus-c++/sdbus-c++.h>

#include <memory>

namespace zrk {

class ServiceAdaptor {
public:
    // Exports the object at xpc::kObjectPath on the connection.
    explicit ServiceAdaptor(sdbus::IConnection& connection);
    ServiceAdaptor(const ServiceAdaptor&) = delete;
    ServiceAdaptor& operator=(const ServiceAdaptor&) = delete;

private:
    std::unique_ptr<sdbus::IObject> object_;
};

} // namespace zrk
