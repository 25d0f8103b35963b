// Resolves a Bonjour service to its IPv4 address through the Avahi daemon,
// within a time limit. Without a daemon nothing resolves.
#include "DeviceAddress.h"

#include <avahi-client/client.h>
#include <avahi-client/lookup.h>
#include <avahi-common/address.h>
#include <avahi-common/simple-watch.h>

#include <QElapsedTimer>

#include <memory>

namespace PDE {

namespace {

struct PollFree {
    void operator()(AvahiSimplePoll* poll) const { avahi_simple_poll_free(poll); }
};
struct ClientFree {
    void operator()(AvahiClient* client) const { avahi_client_free(client); }
};
struct ResolverFree {
    void operator()(AvahiServiceResolver* resolver) const { avahi_service_resolver_free(resolver); }
};

struct Resolution {
    bool done = false;
    std::optional<QString> address;
};

void resolved(AvahiServiceResolver*, AvahiIfIndex, AvahiProtocol, AvahiResolverEvent event,
              const char*, const char*, const char*, const char*, const AvahiAddress* address,
              uint16_t, AvahiStringList*, AvahiLookupResultFlags, void* context) {
    auto* resolution = static_cast<Resolution*>(context);
    resolution->done = true;
    if (event != AVAHI_RESOLVER_FOUND || !address || address->proto != AVAHI_PROTO_INET)
        return;
    char text[AVAHI_ADDRESS_STR_MAX];
    if (avahi_address_snprint(text, sizeof text, address))
        resolution->address = QString::fromLatin1(text);
}

void clientStateChanged(AvahiClient*, AvahiClientState, void*) {}

std::optional<QString> resolveWithAvahi(const QString& name, const QString& type,
                                        const QString& domain, int timeoutMs) {
    std::unique_ptr<AvahiSimplePoll, PollFree> poll(avahi_simple_poll_new());
    if (!poll)
        return std::nullopt;
    int error = 0;
    std::unique_ptr<AvahiClient, ClientFree> client(
        avahi_client_new(avahi_simple_poll_get(poll.get()), AvahiClientFlags(0),
                         &clientStateChanged, nullptr, &error));
    if (!client)
        return std::nullopt;
    Resolution resolution;
    const QByteArray serviceName = name.toUtf8();
    const QByteArray serviceType = type.toUtf8();
    const QByteArray serviceDomain = domain.toUtf8();
    std::unique_ptr<AvahiServiceResolver, ResolverFree> resolver(avahi_service_resolver_new(
        client.get(), AVAHI_IF_UNSPEC, AVAHI_PROTO_INET, serviceName.constData(),
        serviceType.constData(), serviceDomain.isEmpty() ? nullptr : serviceDomain.constData(),
        AVAHI_PROTO_INET, AvahiLookupFlags(0), &resolved, &resolution));
    if (!resolver)
        return std::nullopt;
    QElapsedTimer timer;
    timer.start();
    while (!resolution.done) {
        const qint64 left = timeoutMs - timer.elapsed();
        if (left <= 0)
            break;
        if (avahi_simple_poll_iterate(poll.get(), int(left)) != 0)
            break;
    }
    return resolution.address;
}

} // namespace

BonjourResolver defaultBonjourResolver() {
    return &resolveWithAvahi;
}

} // namespace PDE
