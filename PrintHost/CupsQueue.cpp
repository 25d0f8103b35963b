#include "CupsQueue.h"

#include <QFile>

#include <cups/cups.h>
#include <cups/ppd.h>

#include <memory>

namespace PrintHost {

namespace {

struct HttpCloser {
    void operator()(http_t* http) const { httpClose(http); }
};
using HttpConnection = std::unique_ptr<http_t, HttpCloser>;

struct IppDeleter {
    void operator()(ipp_t* ipp) const { ippDelete(ipp); }
};
using IppMessage = std::unique_ptr<ipp_t, IppDeleter>;

HttpConnection connectToServer(QString* error) {
    http_t* http = httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1,
                                30000, nullptr);
    if (!http && error)
        *error =
            QStringLiteral("cannot connect to the CUPS server %1: %2")
                .arg(QString::fromUtf8(cupsServer()), QString::fromUtf8(cupsLastErrorString()));
    return HttpConnection(http);
}

} // namespace

// The names the CUPS server itself accepts for a queue: up to 127 bytes of
// UTF-8 without controls, space, DEL, '/', '\\', '?', '\'', '"', '#' and '@'
// (which would end the name in a printer URI). Letters beyond ASCII ("Büro")
// are fine.
bool isValidQueueName(const QString& name) {
    const QByteArray bytes = name.toUtf8();
    if (bytes.isEmpty() || bytes.size() > 127 || QString::fromUtf8(bytes) != name)
        return false;
    for (const char c : bytes) {
        const auto u = static_cast<unsigned char>(c);
        if (u <= 0x20 || u == 0x7f || c == '/' || c == '#' || c == '\\' || c == '\'' || c == '"' ||
            c == '?' || c == '@')
            return false;
    }
    return true;
}

std::optional<QueueDescription> describeQueue(const QString& name, QString* error) {
    if (!isValidQueueName(name)) {
        if (error)
            *error = QStringLiteral("\"%1\" is not a valid queue name").arg(name);
        return std::nullopt;
    }
    HttpConnection http = connectToServer(error);
    if (!http)
        return std::nullopt;
    const QByteArray queue = name.toUtf8();

    char uri[HTTP_MAX_URI];
    httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof(uri), "ipp", nullptr, "localhost", ippPort(),
                     "/printers/%s", queue.constData());
    ipp_t* request = ippNewRequest(IPP_OP_GET_PRINTER_ATTRIBUTES);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr,
                 cupsUser());
    static const char* const kAttributes[] = {"device-uri", "printer-name"};
    ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes",
                  static_cast<int>(sizeof(kAttributes) / sizeof(kAttributes[0])), nullptr,
                  kAttributes);
    IppMessage response(cupsDoRequest(http.get(), request, "/"));
    if (!response || cupsLastError() > IPP_STATUS_OK_CONFLICTING) {
        if (error)
            *error = QStringLiteral("the CUPS server has no queue %1: %2")
                         .arg(name, QString::fromUtf8(cupsLastErrorString()));
        return std::nullopt;
    }

    QueueDescription description;
    if (ipp_attribute_t* attr = ippFindAttribute(response.get(), "device-uri", IPP_TAG_URI)) {
        if (const char* value = ippGetString(attr, 0, nullptr); value && *value)
            description.deviceURI = value;
    }

    const char* ppd = cupsGetPPD2(http.get(), queue.constData());
    if (!ppd) {
        if (error)
            *error = QStringLiteral("the queue %1 has no PPD: %2")
                         .arg(name, QString::fromUtf8(cupsLastErrorString()));
        return std::nullopt;
    }
    description.ppdPath = QFile::decodeName(ppd);
    return description;
}

int submitJob(const QString& queue, const QString& documentPath, const QString& title,
              const JobOptionList& options, QString* error) {
    if (!isValidQueueName(queue)) {
        if (error)
            *error = QStringLiteral("\"%1\" is not a valid queue name").arg(queue);
        return 0;
    }
    HttpConnection http = connectToServer(error);
    if (!http)
        return 0;
    int count = 0;
    cups_option_t* list = nullptr;
    for (const auto& [key, value] : options)
        count = cupsAddOption(key.c_str(), value.c_str(), count, &list);
    const int job = cupsPrintFile2(http.get(), queue.toUtf8().constData(),
                                   QFile::encodeName(documentPath).constData(),
                                   title.toUtf8().constData(), count, list);
    cupsFreeOptions(count, list);
    if (job <= 0) {
        if (error)
            *error = QStringLiteral("the queue %1 did not accept the job: %2")
                         .arg(queue, QString::fromUtf8(cupsLastErrorString()));
        return 0;
    }
    return job;
}

QByteArray testPageDocument() {
    return QByteArrayLiteral("%!PS-Adobe-3.0\n"
                             "%%Title: print-dialog test page\n"
                             "%%Pages: 1\n"
                             "%%EndComments\n"
                             "%%Page: 1 1\n"
                             "/Helvetica findfont 24 scalefont setfont\n"
                             "72 720 moveto (ZR-K5100 color options) show\n"
                             "showpage\n"
                             "%%EOF\n");
}

} // namespace PrintHost
