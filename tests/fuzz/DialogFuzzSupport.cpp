#include "DialogFuzzSupport.h"

#include "PrintDialogRun.h"

#include <QApplication>
#include <QByteArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <system_error>

namespace zrkfuzz {

namespace {

std::string gScratch;

std::string makeFolder(const char* purpose) {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern =
        std::string(tmp && tmp[0] ? tmp : "/tmp") + "/zrk-fuzz-" + purpose + "-XXXXXX";
    if (!::mkdtemp(pattern.data()))
        finding("cannot make a scratch folder");
    return pattern;
}

// Calls visit(key, value) for each entry of a dictionary, in stored order.
template <typename Visit> void forEachEntry(plist_t dict, Visit visit) {
    plist_dict_iter iter = nullptr;
    plist_dict_new_iter(dict, &iter);
    for (;;) {
        char* key = nullptr;
        plist_t value = nullptr;
        plist_dict_next_item(dict, iter, &key, &value);
        if (!key)
            break;
        visit(std::string(key), value);
        std::free(key);
    }
    std::free(iter);
}

// A value as its XML text, a dictionary as its entries in key order.
std::string canonical(plist_t node) {
    switch (plist_get_node_type(node)) {
    case PLIST_DICT: {
        std::map<std::string, std::string> entries;
        forEachEntry(
            node, [&](const std::string& key, plist_t value) { entries[key] = canonical(value); });
        std::string text = "{";
        for (const auto& [key, value] : entries)
            text += std::to_string(key.size()) + ":" + key + "=" + value + ";";
        return text + "}";
    }
    case PLIST_ARRAY: {
        std::string text = "[";
        for (uint32_t i = 0; i < plist_array_get_size(node); ++i)
            text += canonical(plist_array_get_item(node, i)) + ",";
        return text + "]";
    }
    default: {
        plist_t wrapper = plist_new_array();
        plist_array_append_item(wrapper, plist_copy(node));
        char* xml = nullptr;
        uint32_t length = 0;
        plist_to_xml(wrapper, &xml, &length);
        std::string text(xml ? xml : "", xml ? length : 0);
        if (xml)
            plist_to_xml_free(xml);
        plist_free(wrapper);
        return text;
    }
    }
}

void removeTree(const std::string& path) {
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
}

} // namespace

void finding(const char* what) {
    std::fprintf(stderr, "fuzz finding: %s\n", what);
    std::fflush(stderr);
    std::abort();
}

void startDialogProcess() {
    static bool started = false;
    if (started)
        return;
    started = true;
    gScratch = makeFolder("scratch");
    static const std::string runtime = makeFolder("runtime");
    static const std::string root = makeFolder("root");
    ::chmod(runtime.c_str(), 0700);
    // Nothing of the machine's own: no profile files, no helper tool, no
    // display, and qDebug lines stay out of the fuzzer's output.
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    ::setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
    ::setenv("ZRK5100_ROOT", root.c_str(), 1);
    ::setenv("QT_LOGGING_RULES", "*=false", 1);
    std::atexit([] {
        removeTree(gScratch);
        removeTree(runtime);
        removeTree(root);
    });
    static int argc = 1;
    static char name[] = "fuzz";
    static char* argv[] = {name, nullptr};
    static QApplication app(argc, argv);
}

std::string writeScratchFile(const char* name, const uint8_t* data, size_t size) {
    const std::string path = gScratch + "/" + name;
    ::unlink(path.c_str());
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        finding("cannot write a scratch file");
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n <= 0)
            finding("cannot write a scratch file");
        data += n;
        size -= static_cast<size_t>(n);
    }
    ::close(fd);
    return path;
}

std::string readWholeFile(const std::string& path, bool* exists) {
    std::string text;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    *exists = file != nullptr;
    if (!file)
        return text;
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        text.append(buffer, n);
    std::fclose(file);
    return text;
}

DialogRun runDialog(PrintHost::PrintDialogOptions options) {
    options.headless = true;
    options.pluginDirectory = QStringLiteral(ZRK_FUZZ_BUNDLE_DIR);
    char* outText = nullptr;
    size_t outSize = 0;
    std::FILE* out = ::open_memstream(&outText, &outSize);
    static std::FILE* err = std::fopen("/dev/null", "w");
    if (!out || !err)
        finding("cannot open the output streams");
    DialogRun run;
    run.status = PrintHost::runPrintDialog(options, false, out, err);
    std::fclose(out);
    run.out.assign(outText ? outText : "", outSize);
    std::free(outText);
    return run;
}

bool jsonLinesParse(const std::string& out) {
    size_t start = 0;
    while (start < out.size()) {
        size_t end = out.find('\n', start);
        if (end == std::string::npos)
            end = out.size();
        if (out[start] == '{') {
            QJsonParseError error{};
            const QJsonDocument doc = QJsonDocument::fromJson(
                QByteArray(out.data() + start, static_cast<qsizetype>(end - start)), &error);
            if (error.error != QJsonParseError::NoError || !doc.isObject())
                return false;
        }
        start = end + 1;
    }
    return true;
}

std::map<std::string, std::string> otherQueues(plist_t settings, const char* queue) {
    std::map<std::string, std::string> queues;
    if (!settings || plist_get_node_type(settings) != PLIST_DICT)
        return queues;
    plist_t product = plist_dict_get_item(settings, "zrk5100");
    if (!product || plist_get_node_type(product) != PLIST_DICT)
        return queues;
    forEachEntry(product, [&](const std::string& key, plist_t value) {
        if (key != queue)
            queues[key] = canonical(value);
    });
    return queues;
}

const TicketActions& ticketActions(uint8_t selector) {
    static const TicketActions kActions[] = {
        {},
        {{"VXQuickColor", "Photo"}},
        {{"VXQuickColor", "CustomColor"}, {"VXImageHalftone", "Detail"}, {"VXBrightness", "Plus1"}},
        {{"VXEconoMode", "True"}, {"VXColorAsGray", "True"}},
        {{"VXQuickColor", "CustomColor"},
         {"VXTextRGBSource", "None"},
         {"VXImageDestinationProfile", "#0"}},
        {{"VXColorSeparation", "True"}, {"VXQuickColor", "Vivid"}},
    };
    return kActions[selector % (sizeof kActions / sizeof kActions[0])];
}

} // namespace zrkfuzz
