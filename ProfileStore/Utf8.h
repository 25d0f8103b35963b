// Small UTF-8 helpers of the store (internal).
#pragma once

#include <cstddef>
#include <string_view>

namespace zrk::utf8 {

// Length in bytes of the well-formed sequence that starts the text (1 to 4),
// or 0 when it starts with no well-formed sequence (stray continuation byte,
// overlong form, surrogate, beyond U+10FFFF, or cut short).
std::size_t sequenceLength(std::string_view text);

// Every byte belongs to a well-formed sequence.
bool isValid(std::string_view text);

// Valid UTF-8 whose characters may all stand in an XML 1.0 document: no
// control characters other than tab, line feed and carriage return, and
// neither U+FFFE nor U+FFFF.
bool isValidXmlText(std::string_view text);

// The longest prefix of at most maxBytes bytes that does not end inside a
// well-formed multi-byte sequence.
std::size_t boundaryAtMost(std::string_view text, std::size_t maxBytes);

} // namespace zrk::utf8
