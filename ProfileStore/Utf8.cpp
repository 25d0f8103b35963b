#include "Utf8.h"

namespace zrk::utf8 {

std::size_t sequenceLength(std::string_view text) {
    if (text.empty()) {
        return 0;
    }
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    unsigned char lead = p[0];
    if (lead < 0x80) {
        return 1;
    }
    std::size_t length;
    unsigned char low = 0x80, high = 0xBF; // allowed range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) {
            low = 0xA0; // no overlong forms
        } else if (lead == 0xED) {
            high = 0x9F; // no surrogates
        }
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) {
            low = 0x90;
        } else if (lead == 0xF4) {
            high = 0x8F; // nothing beyond U+10FFFF
        }
    } else {
        return 0;
    }
    if (text.size() < length || p[1] < low || p[1] > high) {
        return 0;
    }
    for (std::size_t i = 2; i < length; ++i) {
        if ((p[i] & 0xC0) != 0x80) {
            return 0;
        }
    }
    return length;
}

bool isValid(std::string_view text) {
    while (!text.empty()) {
        std::size_t n = sequenceLength(text);
        if (n == 0) {
            return false;
        }
        text.remove_prefix(n);
    }
    return true;
}

bool isValidXmlText(std::string_view text) {
    while (!text.empty()) {
        std::size_t n = sequenceLength(text);
        if (n == 0) {
            return false;
        }
        auto c = static_cast<unsigned char>(text[0]);
        if (n == 1 && c < 0x20 && c != '\t' && c != '\n' && c != '\r') {
            return false;
        }
        if (n == 3 && text.substr(0, 2) == "\xEF\xBF" &&
            (static_cast<unsigned char>(text[2]) == 0xBE ||
             static_cast<unsigned char>(text[2]) == 0xBF)) {
            return false;
        }
        text.remove_prefix(n);
    }
    return true;
}

std::size_t boundaryAtMost(std::string_view text, std::size_t maxBytes) {
    std::size_t end = 0;
    while (end < text.size()) {
        std::size_t n = sequenceLength(text.substr(end));
        if (n == 0) {
            n = 1; // a stray byte stands for itself
        }
        if (end + n > maxBytes) {
            break;
        }
        end += n;
    }
    return end;
}

} // namespace zrk::utf8
