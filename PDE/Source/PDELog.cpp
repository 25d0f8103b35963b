#include "PDELog.h"

#include <QObject>

#include <cerrno>
#include <cstring>
#include <iconv.h>
#include <langinfo.h>
#include <syslog.h>
#include <vector>

namespace PDE {

namespace {

// "%@" (with any flags, width or precision) becomes the same "%s"; every
// other conversion is copied as it stands.
std::string objectPlaceholdersToStrings(const char* format) {
    std::string out;
    for (const char* p = format; *p; ++p) {
        out += *p;
        if (*p != '%')
            continue;
        std::string flags;
        std::string lengthModifiers;
        for (++p; *p && std::strchr("-+ #0123456789.*'", *p); ++p)
            flags += *p;
        for (; *p && std::strchr("hlLqjzt", *p); ++p)
            lengthModifiers += *p;
        if (!*p) {
            out += flags + lengthModifiers;
            break;
        }
        // A string takes no length modifier.
        out += *p == '@' ? flags + 's' : flags + lengthModifiers + *p;
    }
    return out;
}

// Text used inside a format must not act as a placeholder.
std::string escapePercent(const std::string& text) {
    std::string out;
    for (char c : text) {
        out += c;
        if (c == '%')
            out += '%';
    }
    return out;
}

std::string vformat(const std::string& format, va_list arguments) {
    va_list copy;
    va_copy(copy, arguments);
    const int length = std::vsnprintf(nullptr, 0, format.c_str(), copy);
    va_end(copy);
    if (length < 0)
        return std::string();
    std::vector<char> buffer(size_t(length) + 1);
    std::vsnprintf(buffer.data(), buffer.size(), format.c_str(), arguments);
    return std::string(buffer.data(), size_t(length));
}

std::string describe(const QObject* object) {
    if (!object)
        return "(null)";
    char address[32];
    std::snprintf(address, sizeof address, "%p", static_cast<const void*>(object));
    return std::string("<") + object->metaObject()->className() + ": " + address + ">";
}

size_t utf8SequenceLength(unsigned char lead) {
    if (lead < 0x80)
        return 1;
    if ((lead & 0xE0) == 0xC0)
        return 2;
    if ((lead & 0xF0) == 0xE0)
        return 3;
    if ((lead & 0xF8) == 0xF0)
        return 4;
    return 1;
}

void vtrace(const char* lineTemplate, const QObject* object, const char* format,
            va_list arguments) {
    const std::string line = formatTraceLine(lineTemplate, object, format, arguments);
    syslog(LOG_NOTICE, "%s", line.c_str());
}

} // namespace

std::string toSystemEncoding(const std::string& utf8) {
    const char* codeset = nl_langinfo(CODESET);
    iconv_t cd = iconv_open(codeset && *codeset ? codeset : "ASCII", "UTF-8");
    if (cd == reinterpret_cast<iconv_t>(-1))
        return std::string();
    std::string out;
    char chunk[256];
    char* in = const_cast<char*>(utf8.data());
    size_t inLeft = utf8.size();
    while (inLeft > 0) {
        char* outPtr = chunk;
        size_t outLeft = sizeof chunk;
        const size_t result = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
        out.append(chunk, size_t(outPtr - chunk));
        if (result == size_t(-1) && errno != E2BIG) {
            // A character the encoding lacks (or a broken sequence) becomes "?".
            out += '?';
            const size_t skip =
                std::min(inLeft, utf8SequenceLength(static_cast<unsigned char>(*in)));
            in += skip;
            inLeft -= skip;
        }
    }
    iconv_close(cd);
    return out;
}

std::string formatTraceLine(const char* lineTemplate, const QObject* object, const char* format,
                            va_list arguments) {
    // The template's two "%@" are the object's description and the message.
    std::string line = lineTemplate;
    const size_t first = line.find("%@");
    line.replace(first, 2, escapePercent(describe(object)));
    const size_t second = line.find("%@", first);
    line.replace(second, 2, format ? objectPlaceholdersToStrings(format) : std::string());
    return vformat(line, arguments);
}

} // namespace PDE

int MyLog(FILE* stream, const char* format, ...) {
    if (!stream || !format)
        return 0;
    va_list arguments;
    va_start(arguments, format);
    const std::string text = PDE::vformat(PDE::objectPlaceholdersToStrings(format), arguments);
    va_end(arguments);
    const std::string converted = PDE::toSystemEncoding(text);
    if (!converted.empty()) {
        std::fwrite(converted.data(), 1, converted.size(), stream);
        std::fflush(stream);
    }
    return 0;
}

void _PDEProlog(const QObject* object, const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    PDE::vtrace("BEGIN self(%@) %@", object, format, arguments);
    va_end(arguments);
}

void _PDEEpilog(const QObject* object, const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    PDE::vtrace("END self(%@) %@", object, format, arguments);
    va_end(arguments);
}

void _PDELog(const QObject* object, const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    PDE::vtrace("LOG self(%@): %@", object, format, arguments);
    va_end(arguments);
}

int16_t _DEBUGControlTable(const PDE::ControlTableEntry* table) {
    if (!table)
        return 0;
    int16_t rows = 1;
    for (const PDE::ControlTableEntry* row = table; row->control; ++row)
        ++rows;
    return rows;
}
