// Device address and profile refresh: classifying the device URI, finding the
// printer's address and having the service walk its profile table.
#include "DeviceAddress.h"
#include "PDECommon.h"

#include <HelperLauncher.h>
#include <HelperMethods.h>
#include <InstallRoot.h>
#include <StorePaths.h>
#include <VXPList.h>

#include <QUrl>

#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace PDE {

namespace {

struct SchemeCode {
    const char* prefix;
    int16_t code;
};

// Tested in this order; the first prefix that matches decides.
constexpr SchemeCode kSchemeCodes[] = {
    {"mdns://", 1}, {"dnssd://", 1}, {"lpd://", 0}, {"pap://", 2}, {"usb://", 3},
};

constexpr int16_t kProtocolLPD = 0;
constexpr int16_t kProtocolBonjour = 1;
constexpr int16_t kProtocolUnknown = -1;

constexpr int kBonjourTimeoutMs = 1000;
constexpr int kMaxHostLength = 254;

constexpr const char* kWalkRootOID = "1.3.6.1.4.1.18334.1.1.1.1.6.13.1.1";
constexpr const char* kWalkModelToken = "zrk5100";

// A host name of letters, digits and hyphens in dot-separated labels of 1 to
// 63 characters that neither begin nor end with a hyphen (a dotted IPv4
// address is one too); a final dot is allowed.
bool isHostNameOrIPv4(const QByteArray& host) {
    if (host.isEmpty())
        return false;
    const QByteArray name = host.endsWith('.') ? host.chopped(1) : host;
    if (name.isEmpty())
        return false;
    for (const QByteArray& label : name.split('.')) {
        if (label.isEmpty() || label.size() > 63 || label.startsWith('-') || label.endsWith('-'))
            return false;
        for (const char c : label) {
            const bool letterOrDigit =
                (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
            if (!letterOrDigit && c != '-')
                return false;
        }
    }
    return true;
}

BonjourResolver& resolverSlot() {
    static BonjourResolver resolver = defaultBonjourResolver();
    return resolver;
}

} // namespace

void setBonjourResolver(BonjourResolver resolver) {
    resolverSlot() = resolver ? std::move(resolver) : defaultBonjourResolver();
}

const BonjourResolver& bonjourResolver() {
    return resolverSlot();
}

int16_t PDECommon::commoniGetProtocolByUrl(const QString* url) {
    if (!url)
        return kProtocolUnknown;
    for (const SchemeCode& scheme : kSchemeCodes) {
        if (url->startsWith(QLatin1String(scheme.prefix), Qt::CaseSensitive))
            return scheme.code;
    }
    return kProtocolUnknown;
}

int16_t PDECommon::commoniGetProtocol(PMPrintSession* session) {
    PrintHost::PMPrinter* printer = nullptr;
    if (!session || PrintHost::PMSessionGetCurrentPrinter(session, &printer) != PrintHost::noErr ||
        !printer)
        return kProtocolUnknown;
    std::string uri;
    if (PrintHost::PMPrinterCopyDeviceURI(printer, &uri) != PrintHost::noErr || uri.empty())
        return kProtocolUnknown;
    const QString text = QString::fromUtf8(uri);
    return commoniGetProtocolByUrl(&text);
}

std::optional<QByteArray> walkHostForDeviceURI(const QString& uri) {
    QByteArray host;
    const int16_t protocol = PDECommon::commoniGetProtocolByUrl(&uri);
    if (protocol == kProtocolBonjour) {
        // The host name is "<escaped name>.<type>.<protocol>.<domain>".
        const qsizetype schemeEnd = uri.indexOf(QLatin1String("://"));
        QString hostName = uri.mid(schemeEnd + 3);
        hostName =
            hostName.left(hostName.indexOf(u'/') < 0 ? hostName.size() : hostName.indexOf(u'/'));
        if (hostName.isEmpty())
            return std::nullopt;
        const QStringList parts = hostName.split(u'.');
        const QString name = QUrl::fromPercentEncoding(parts.value(0).toUtf8());
        const QString type = parts.value(1) + u'.' + parts.value(2);
        const QString domain = parts.value(3);
        const std::optional<QString> address =
            bonjourResolver()(name, type, domain, kBonjourTimeoutMs);
        if (!address)
            return std::nullopt;
        host = address->toLatin1();
    } else if (protocol == kProtocolLPD) {
        // The net location: everything from the scheme's "//" to the path,
        // query or fragment, as written.
        QString location = uri.mid(qsizetype(std::strlen("lpd://")));
        for (const char16_t end : {u'/', u'?', u'#'}) {
            const qsizetype at = location.indexOf(end);
            if (at >= 0)
                location.truncate(at);
        }
        // With a user-info part ("user@host") the net location is no host
        // (and cut at its first colon, "user:password@host" would name the
        // wrong machine); an IPv6 literal cut at its first colon is no host
        // either. Such queues are not walked.
        if (location.contains(u'@') || location.startsWith(u'['))
            return std::nullopt;
        host = location.toUtf8();
    } else {
        return std::nullopt;
    }
    const qsizetype colon = host.indexOf(':');
    if (colon >= 0)
        host.truncate(colon);
    if (host.size() > kMaxHostLength || !isHostNameOrIPv4(host))
        return std::nullopt;
    return host;
}

int PDECommon::commonGetProfilesFromMIB(PMPrintSession* session) {
    VXPListSwapProfile(kSwapBackup);

    PrintHost::PMPrinter* printer = nullptr;
    std::string uri;
    if (!session || PrintHost::PMSessionGetCurrentPrinter(session, &printer) != PrintHost::noErr ||
        !printer || PrintHost::PMPrinterCopyDeviceURI(printer, &uri) != PrintHost::noErr)
        return 0;
    const std::optional<QByteArray> host = walkHostForDeviceURI(QString::fromUtf8(uri));
    if (!host)
        return 0;

    const std::string helper = zrk::resolveInstallPath(zrk::kHelperToolPath);
    struct stat info {};
    if (::stat(helper.c_str(), &info) != 0)
        return 0;
    const std::vector<std::string> arguments = {std::string(zrk::helper::kMibWalk),
                                                kWalkModelToken,
                                                zrk::realUserLoginName(),
                                                "snmpwalk",
                                                "-Os",
                                                "-c",
                                                "snmpro",
                                                "-v",
                                                "1",
                                                host->toStdString(),
                                                kWalkRootOID};
    // The walk's result ("mibwalk_XPC=iRet=N") is not acted on: the rewritten
    // profile file is the effect.
    zrk::runHelper(helper, arguments, zrk::kWalkRequestTimeLimit);
    return 0;
}

} // namespace PDE
