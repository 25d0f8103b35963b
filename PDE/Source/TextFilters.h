// Character filters of the profile window's text fields, one per input key,
// the character reader and the string cleaner.
#pragma once

#include <QString>

#include <cstdint>

namespace PDE {

// Input keys.
constexpr int32_t kInputKeyAscii = 0;        // printable ASCII
constexpr int32_t kInputKeyFileName = 1;     // the file-name set
constexpr int32_t kInputKeyAlphaNumeric = 2; // 0-9, A-Z, a-z
constexpr int32_t kInputKeyNumeric = 3;      // 0-9
// Any other key: every character but the double quote and plus.

bool AsciiKeyFilter(uint32_t value);
bool AsciiKeyFilterAppoint(uint32_t value);
bool AlphaNumericKeyFilter(uint32_t value);
bool NumericKeyFilter(uint32_t value);
bool WideCharKeyFilter(uint32_t value);

// 1 when the input key's filter accepts the character, else 0.
int FilterEditTextInputKey(int32_t inputKey, uint32_t value);

// The character value at `index`: the UTF-16 unit, or the code point a
// surrogate forms with the unit after it. `next` is always index + 1.
uint32_t UCFindComposedCharAtIndex(const char16_t* buffer, qsizetype length, qsizetype index,
                                   qsizetype* next);

// Removes from `text` every character the input key's filter rejects;
// `buffer` holds the same text as `text` on entry.
void CheckUniCharString(const char16_t* buffer, qsizetype length, int32_t inputKey, QString* text);

} // namespace PDE
