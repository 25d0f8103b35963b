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
        const QUrl url(uri);
        QString location = url.host(QUrl::FullyEncoded);
        if (url.port() >= 0)
            location += u':' + QString::number(url.port());
        if (location.isEmpty())
            return std::nullopt;
        host = location.toUtf8();
    } else {
        return std::nullopt;
    }
    const qsizetype colon = host.indexOf(':');
    if (colon >= 0)
        host.truncate(colon);
    if (host.isEmpty() || host.size() > kMaxHostLength)
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
