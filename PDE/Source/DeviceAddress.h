// Finding the printer's network address from a queue's device URI.
#pragma once

#include <QString>

#include <functional>
#include <optional>

namespace PDE {

// Resolves a Bonjour service (name, type, domain) to a dotted IPv4 address
// within the time limit; nothing when it does not resolve. Replaceable so that
// tests need no mDNS responder.
using BonjourResolver = std::function<std::optional<QString>(
    const QString& name, const QString& type, const QString& domain, int timeoutMs)>;

// The Avahi client; null restores it.
BonjourResolver defaultBonjourResolver();
void setBonjourResolver(BonjourResolver resolver);
const BonjourResolver& bonjourResolver();

// The host to walk for a device URI: the net location of an LPD URI, the
// resolved address of a Bonjour URI, cut at its first colon. Nothing for
// other schemes, when no address is found, and when the host is not a host
// name or dotted IPv4 address: an LPD net location with a user-info part
// ("user@host") or an IPv6 literal ("[fe80::1]") is not walked.
std::optional<QByteArray> walkHostForDeviceURI(const QString& uri);

} // namespace PDE
