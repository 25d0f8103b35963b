#include "TextFilters.h"

namespace PDE {

namespace {
// Punctuation allowed in a file name on the printer besides letters and digits.
constexpr char kFileNamePunctuation[] = "!#$%&'()-.^_`{}~";

bool isDigit(uint32_t v) {
    return v >= '0' && v <= '9';
}
bool isLetter(uint32_t v) {
    return (v >= 'A' && v <= 'Z') || (v >= 'a' && v <= 'z');
}
} // namespace

bool AsciiKeyFilter(uint32_t value) {
    return value >= 32 && value <= 126;
}

bool AsciiKeyFilterAppoint(uint32_t value) {
    if (isDigit(value) || isLetter(value))
        return true;
    for (const char* p = kFileNamePunctuation; *p; ++p) {
        if (value == static_cast<unsigned char>(*p))
            return true;
    }
    return false;
}

bool AlphaNumericKeyFilter(uint32_t value) {
    return isDigit(value) || isLetter(value);
}

bool NumericKeyFilter(uint32_t value) {
    return isDigit(value);
}

bool WideCharKeyFilter(uint32_t value) {
    return value != '"' && value != '+';
}

int FilterEditTextInputKey(int32_t inputKey, uint32_t value) {
    switch (inputKey) {
    case kInputKeyAscii:
        return AsciiKeyFilter(value) ? 1 : 0;
    case kInputKeyFileName:
        return AsciiKeyFilterAppoint(value) ? 1 : 0;
    case kInputKeyAlphaNumeric:
        return AlphaNumericKeyFilter(value) ? 1 : 0;
    case kInputKeyNumeric:
        return NumericKeyFilter(value) ? 1 : 0;
    default:
        return WideCharKeyFilter(value) ? 1 : 0;
    }
}

uint32_t UCFindComposedCharAtIndex(const char16_t* buffer, qsizetype length, qsizetype index,
                                   qsizetype* next) {
    if (next)
        *next = index + 1;
    if (!buffer || index < 0 || index >= length)
        return 0;
    const uint32_t unit = buffer[index];
    if (unit >= 0xD800 && unit <= 0xDFFF && index + 1 < length) {
        const uint32_t following = buffer[index + 1];
        return (((unit & 0x3FF) << 10) | (following & 0x3FF)) + 0x10000;
    }
    return unit;
}

void CheckUniCharString(const char16_t* buffer, qsizetype length, int32_t inputKey, QString* text) {
    if (!buffer || length <= 0 || !text)
        return;
    qsizetype deletion = 0;
    qsizetype index = 0;
    while (index < length) {
        qsizetype next = index + 1;
        const uint32_t value = UCFindComposedCharAtIndex(buffer, length, index, &next);
        if (FilterEditTextInputKey(inputKey, value))
            ++deletion;
        else if (deletion < text->size())
            text->remove(deletion, 1);
        index = next;
    }
}

} // namespace PDE
